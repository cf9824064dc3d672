#pragma once
// The tree that Steam's key-value files are read into: a value is either text
// or an object of keyed values, nothing else.
#include <cstddef>
#include <map>
#include <stdexcept>
#include <string>
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
class acf_object {
public:
    using entries = std::map<std::string, acf_node>;
    using const_iterator = entries::const_iterator;
    using iterator = entries::iterator;

    // The entry's value; an absent key raises std::out_of_range
    // ("invalid map<K, T> key").
    acf_node& at(const std::string& key);
    const acf_node& at(const std::string& key) const;
    // The entry's value, inserting empty text first if the key is absent.
    acf_node& get_or_insert(const std::string& key);
    // The entry for `key`: the new one, or the existing one unchanged (the
    // offered value is then dropped).
    acf_node& try_insert(const std::string& key, acf_node value);

    iterator begin() { return entries_.begin(); }
    iterator end() { return entries_.end(); }
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    friend bool operator==(const acf_object&, const acf_object&);

private:
    entries entries_;
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
