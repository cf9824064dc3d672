#pragma once
// The container behind acf_object, the keyed members of a block.
//
// Its contract:
// - Keys are ordered by their bytes read as unsigned values, shorter first
//   when one is a prefix of the other (std::string's own order): "10"
//   sorts before "2", and a key starting with a byte of 0x80 or more after
//   every key that starts with an ASCII character.
// - Entries never move once inserted: a reference or pointer to a key or
//   an acf_node stays valid until the object (or an enclosing one) goes,
//   whatever is inserted anywhere in the tree. The reader relies on this.
// - Inserting a new key invalidates iterators into that object, nothing
//   else; lookups and insertions of an existing key invalidate nothing.
// - Iteration walks the keys in order. A library list holds hundreds of
//   thousands of small entries, so an object keeps its entries in a few
//   blocks (one for a copy) instead of a heap node each. While keys arrive
//   in ascending order (always so in a copy) the blocks themselves are in
//   key order: lookups bisect them and iteration walks them. Otherwise a
//   large object finds keys through a hash index, and the order is worked
//   out lazily, the first time the object is iterated (even through a const
//   object) or copied, and kept up to date by later insertions.
#include <cstddef>
#include <iterator>
#include <string>
#include <type_traits>
#include <utility>

class acf_node;

class acf_object {
public:
    using value_type = std::pair<const std::string, acf_node>;

    template <class entry>
    class basic_iterator;
    using iterator = basic_iterator<value_type>;
    using const_iterator = basic_iterator<const value_type>;

    acf_object() noexcept = default;
    acf_object(const acf_object& other);
    acf_object(acf_object&& other) noexcept : body_(std::exchange(other.body_, nullptr)) {}
    acf_object& operator=(const acf_object& other);
    acf_object& operator=(acf_object&& other) noexcept;
    ~acf_object();

    // The entry's value; an absent key raises std::out_of_range
    // ("invalid map<K, T> key").
    acf_node& at(const std::string& key);
    const acf_node& at(const std::string& key) const;
    // The entry's value, inserting empty text first if the key is absent.
    acf_node& get_or_insert(const std::string& key);
    // The entry for `key`: the new one, or the existing one unchanged (the
    // offered value is then dropped).
    acf_node& try_insert(const std::string& key, acf_node value);

    iterator begin();
    iterator end();
    const_iterator begin() const;
    const_iterator end() const;
    std::size_t size() const noexcept;
    bool empty() const noexcept { return size() == 0; }

    friend bool operator==(const acf_object& a, const acf_object& b);

private:
    // A run of entries that never moves.
    struct block {
        block* next = nullptr;
        value_type* entries = nullptr;
        std::size_t used = 0;
        std::size_t capacity = 0;
    };
    struct body;

    value_type* find(const std::string& key) const;
    value_type& insert_new(const std::string& key, acf_node&& value);
    // The first entry in key order, or the end.
    template <class iterator_type>
    iterator_type walk_from(bool end) const;

    body* body_ = nullptr;  // null while the object has never held an entry
};

// Walks an object's entries in key order: straight through its blocks when
// they are in that order, otherwise through the order index.
template <class entry>
class acf_object::basic_iterator {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = acf_object::value_type;
    using difference_type = std::ptrdiff_t;
    using pointer = entry*;
    using reference = entry&;

    basic_iterator() = default;
    // An iterator converts to a const_iterator.
    template <class other, class = std::enable_if_t<std::is_const_v<entry> && !std::is_const_v<other>>>
    basic_iterator(const basic_iterator<other>& it) : run_(it.run_), index_(it.index_), slot_(it.slot_) {}

    // Through `pointer`, so that the entry's type (acf_node is declared after
    // this) is needed only where an iterator is used.
    reference operator*() const {
        return slot_ ? *static_cast<pointer>(*slot_) : static_cast<pointer>(run_->entries)[index_];
    }
    pointer operator->() const { return &**this; }
    basic_iterator& operator++() {
        if (slot_) {
            ++slot_;
        } else {
            ++index_;
            skip_used_up_blocks();
        }
        return *this;
    }
    basic_iterator operator++(int) {
        basic_iterator before = *this;
        ++*this;
        return before;
    }
    friend bool operator==(const basic_iterator& a, const basic_iterator& b) {
        return a.run_ == b.run_ && a.index_ == b.index_ && a.slot_ == b.slot_;
    }
    friend bool operator!=(const basic_iterator& a, const basic_iterator& b) { return !(a == b); }

private:
    friend class acf_object;
    template <class>
    friend class basic_iterator;
    explicit basic_iterator(const block* run) : run_(run) { skip_used_up_blocks(); }
    explicit basic_iterator(acf_object::value_type* const* slot) : slot_(slot) {}

    void skip_used_up_blocks() {
        while (run_ && index_ == run_->used) {
            run_ = run_->next;
            index_ = 0;
        }
    }

    const block* run_ = nullptr;
    std::size_t index_ = 0;
    acf_object::value_type* const* slot_ = nullptr;
};
