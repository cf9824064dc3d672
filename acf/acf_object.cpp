#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <tuple>
#include <vector>

#include "acf/acf_node.hpp"

namespace {

// Room in an object's first block; later blocks double the room.
constexpr std::size_t first_block_entries = 8;
// Up to this many entries a key out of order is found by comparing it with
// each one; beyond that, through the hash index.
constexpr std::size_t scan_limit = 16;

std::size_t hash_key(const std::string& key) noexcept {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (unsigned char byte : key) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    return static_cast<std::size_t>(hash ^ (hash >> 32));
}

// Keys are short: comparing them in line beats a call to memcmp. The order is
// that of unsigned bytes, as std::string's own comparison.
bool key_less(const std::string& a, const std::string& b) noexcept {
    const auto* x = reinterpret_cast<const unsigned char*>(a.data());
    const auto* y = reinterpret_cast<const unsigned char*>(b.data());
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (x[i] != y[i]) return x[i] < y[i];
    }
    return a.size() < b.size();
}

bool same_key(const std::string& a, const std::string& b) noexcept {
    // Keys of one object often differ only at the end ("228980", "228981").
    return a.size() == b.size() &&
           (a.empty() || (a.back() == b.back() && std::memcmp(a.data(), b.data(), a.size()) == 0));
}

bool entry_less(const acf_object::value_type* a, const acf_object::value_type* b) noexcept {
    return key_less(a->first, b->first);
}

// Where a copy sorts the entries of an object kept out of order. One stack
// for all the objects of a tree being copied, nested ones above their parent.
thread_local std::vector<const acf_object::value_type*> copy_order;

[[noreturn]] void missing_key() { throw std::out_of_range("invalid map<K, T> key"); }

}  // namespace

struct acf_object::body {
    block first;           // its entries follow the body in the same allocation
    block* last = &first;  // where new entries go
    value_type* newest = nullptr;
    std::size_t size = 0;
    // Walking the blocks in turn meets the keys in ascending order: lookups
    // bisect, iteration and copies walk. Holds for a copy until a key is
    // added out of order.
    bool in_key_order = true;
    // Otherwise `order` lists every entry in key order, once iterated.
    bool order_valid = false;
    std::vector<value_type*> order;
    // Open addressing, linear probing; once non-empty it holds every entry.
    std::vector<value_type*> buckets;

    static body* create(std::size_t capacity) {
        static_assert(sizeof(body) % alignof(value_type) == 0 && sizeof(block) % alignof(value_type) == 0);
        body* created = new (::operator new(sizeof(body) + capacity * sizeof(value_type))) body;
        created->first.entries = reinterpret_cast<value_type*>(created + 1);
        created->first.capacity = capacity;
        return created;
    }

    static block* create_block(std::size_t capacity) {
        block* created = new (::operator new(sizeof(block) + capacity * sizeof(value_type))) block;
        created->entries = reinterpret_cast<value_type*>(created + 1);
        created->capacity = capacity;
        return created;
    }

    static void destroy(body* gone) noexcept {
        for (block* run = &gone->first; run;) {
            block* next = run->next;
            std::destroy_n(run->entries, run->used);
            if (run != &gone->first) {
                run->~block();
                ::operator delete(run);
            }
            run = next;
        }
        gone->~body();
        ::operator delete(gone);
    }

    template <class visit>
    void for_each_entry(visit action) const {
        for (const block* run = &first; run; run = run->next) {
            for (std::size_t i = 0; i < run->used; ++i) action(run->entries + i);
        }
    }

    static void place(std::vector<value_type*>& table, value_type* entry) noexcept {
        const std::size_t mask = table.size() - 1;
        std::size_t slot = hash_key(entry->first) & mask;
        while (table[slot]) slot = (slot + 1) & mask;
        table[slot] = entry;
    }

    // Makes room in the index for `entries` entries at most half full,
    // indexing every present entry; changes nothing if it throws.
    void reserve_buckets(std::size_t entries) {
        if (buckets.size() >= 2 * entries) return;
        std::size_t count = 64;
        while (count < 4 * entries) count *= 2;
        std::vector<value_type*> rebuilt(count, nullptr);
        for_each_entry([&](value_type* entry) { place(rebuilt, entry); });
        buckets.swap(rebuilt);
    }

    void sort_order() {
        if (order_valid) return;
        order.clear();
        order.reserve(size);
        for_each_entry([&](value_type* entry) { order.push_back(entry); });
        std::sort(order.begin(), order.end(), entry_less);
        order_valid = true;
    }
};

acf_object::acf_object(const acf_object& other) {
    const std::size_t count = other.size();
    if (count == 0) return;
    // Copied in key order into one block.
    body* copy = body::create(count);
    auto append = [copy](const value_type& entry) {
        new (copy->first.entries + copy->first.used) value_type(entry);
        ++copy->first.used;
    };
    const body& source = *other.body_;
    const std::size_t base = copy_order.size();
    try {
        if (source.in_key_order) {
            source.for_each_entry([&](const value_type* entry) { append(*entry); });
        } else if (source.order_valid) {
            for (const value_type* entry : source.order) append(*entry);
        } else {
            source.for_each_entry([&](const value_type* entry) { copy_order.push_back(entry); });
            std::sort(copy_order.begin() + base, copy_order.end(), entry_less);
            // Copying the values below pushes above `base`: go by index.
            for (std::size_t i = base; i < base + count; ++i) append(*copy_order[i]);
            copy_order.resize(base);
        }
    } catch (...) {
        copy_order.resize(base);
        body::destroy(copy);
        throw;
    }
    copy->size = count;
    copy->newest = copy->first.entries + count - 1;
    body_ = copy;
}

acf_object& acf_object::operator=(const acf_object& other) {
    if (this != &other) {
        acf_object copy(other);  // before anything of ours goes: `other` may lie inside this object
        std::swap(body_, copy.body_);
    }
    return *this;
}

acf_object& acf_object::operator=(acf_object&& other) noexcept {
    if (this != &other) {
        body* taken = std::exchange(other.body_, nullptr);
        if (body* old = std::exchange(body_, taken)) body::destroy(old);
    }
    return *this;
}

acf_object::~acf_object() {
    if (body_) body::destroy(body_);
}

std::size_t acf_object::size() const noexcept { return body_ ? body_->size : 0; }

acf_object::value_type* acf_object::find(const std::string& key) const {
    if (!body_) return nullptr;
    body& data = *body_;
    if (data.in_key_order) {
        for (const block* run = &data.first; run; run = run->next) {
            if (run->used == 0 || key_less(run->entries[run->used - 1].first, key)) continue;
            value_type* const first = run->entries;
            value_type* const last = first + run->used;
            value_type* found = std::lower_bound(first, last, key, [](const value_type& entry, const std::string& k) {
                return key_less(entry.first, k);
            });
            return same_key(found->first, key) ? found : nullptr;
        }
        return nullptr;
    }
    if (!data.buckets.empty()) {
        const std::size_t mask = data.buckets.size() - 1;
        for (std::size_t slot = hash_key(key) & mask;; slot = (slot + 1) & mask) {
            value_type* entry = data.buckets[slot];
            if (!entry || same_key(entry->first, key)) return entry;
        }
    }
    for (const block* run = &data.first; run; run = run->next) {
        for (std::size_t i = 0; i < run->used; ++i) {
            if (same_key(run->entries[i].first, key)) return run->entries + i;
        }
    }
    return nullptr;
}

acf_object::value_type& acf_object::insert_new(const std::string& key, acf_node&& value) {
    if (!body_) body_ = body::create(first_block_entries);
    body& data = *body_;
    block* target = data.last;
    if (target->used == target->capacity) {
        target = body::create_block(data.size);
        data.last->next = target;  // an empty block at the end is harmless if the rest fails
        data.last = target;
    }
    const bool in_key_order = data.in_key_order && (!data.newest || key_less(data.newest->first, key));
    // Everything that can fail comes before the entry exists.
    if (!in_key_order && data.size + 1 > scan_limit) data.reserve_buckets(data.size + 1);
    if (data.order_valid) data.order.reserve(data.size + 1);
    value_type* entry = new (target->entries + target->used)
        value_type(std::piecewise_construct, std::forward_as_tuple(key), std::forward_as_tuple(std::move(value)));
    ++target->used;
    ++data.size;
    data.newest = entry;
    data.in_key_order = in_key_order;
    if (!data.buckets.empty()) body::place(data.buckets, entry);
    if (data.order_valid)
        data.order.insert(std::upper_bound(data.order.begin(), data.order.end(), entry, entry_less), entry);
    return *entry;
}

acf_node& acf_object::at(const std::string& key) {
    if (value_type* entry = find(key)) return entry->second;
    missing_key();
}

const acf_node& acf_object::at(const std::string& key) const {
    if (const value_type* entry = find(key)) return entry->second;
    missing_key();
}

acf_node& acf_object::get_or_insert(const std::string& key) {
    if (value_type* entry = find(key)) return entry->second;
    return insert_new(key, acf_node()).second;
}

acf_node& acf_object::try_insert(const std::string& key, acf_node value) {
    if (value_type* entry = find(key)) return entry->second;
    return insert_new(key, std::move(value)).second;
}

template <class iterator_type>
iterator_type acf_object::walk_from(bool end) const {
    if (size() == 0) return iterator_type();
    if (body_->in_key_order) return end ? iterator_type() : iterator_type(&body_->first);
    // Worked out on first use and kept up to date by later insertions.
    body_->sort_order();
    return iterator_type(body_->order.data() + (end ? body_->size : 0));
}

acf_object::iterator acf_object::begin() { return walk_from<iterator>(false); }
acf_object::iterator acf_object::end() { return walk_from<iterator>(true); }
acf_object::const_iterator acf_object::begin() const { return walk_from<const_iterator>(false); }
acf_object::const_iterator acf_object::end() const { return walk_from<const_iterator>(true); }

bool operator==(const acf_object& a, const acf_object& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}
