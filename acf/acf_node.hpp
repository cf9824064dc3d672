#pragma once
// The tree that Steam's key-value files are read into: a value is either text
// or an object of keyed values, nothing else.
#include <cstddef>
#include <iterator>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

class acf_node;

// Thrown by as_object/as_text on the other alternative. The standard
// library's own message varies between implementations; ours does not.
class acf_bad_access : public std::bad_variant_access {
public:
    const char* what() const noexcept override { return "bad variant access"; }
};

// Keys in ascending order of their bytes read as unsigned values (the order
// std::string's char_traits define), so "10" sorts before "2". Entries never
// move once inserted: references into the tree stay valid while it grows.
//
// A library list holds hundreds of thousands of small entries, so an object
// keeps its entries in a few blocks (one for a copy) instead of a heap node
// each. While keys arrive in ascending order (always so in a copy) the blocks
// themselves are in key order and lookups bisect them; otherwise a large
// object finds keys through a hash index, and the key order is worked out
// when the object is first iterated or copied.
// Inserting a new key invalidates iterators, never entries.
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

class acf_node {
public:
    acf_node() = default;  // empty text
    acf_node(std::string text) : value_(std::move(text)) {}
    acf_node(const char* text) : value_(std::string(text)) {}
    acf_node(acf_object object) : value_(std::move(object)) {}

    // 0 for text, 1 for an object.
    std::size_t index() const { return value_.index(); }

    acf_object& as_object();
    const acf_object& as_object() const;
    std::string& as_text();
    const std::string& as_text() const;

    friend bool operator==(const acf_node& a, const acf_node& b) { return a.value_ == b.value_; }

private:
    std::variant<std::string, acf_object> value_;
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

    reference operator*() const { return slot_ ? **slot_ : run_->entries[index_]; }
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
