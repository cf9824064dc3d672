#pragma once
// The tree that Steam's key-value files are read into: a value is either text
// or an object of keyed values (acf_object), nothing else. Text is UTF-8 as it
// stood in the file: never decoded, validated or unescaped.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>

#include "acf/acf_object.hpp"

// Thrown by as_object/as_text on the other alternative. The standard
// library's own message varies between implementations; ours does not.
class acf_bad_access : public std::bad_variant_access {
public:
    const char* what() const noexcept override { return "bad variant access"; }
};

class acf_node {
public:
    acf_node() = default;  // empty text
    acf_node(std::string text) : value_(std::move(text)) {}
    acf_node(const char* text) : value_(std::string(text)) {}
    acf_node(acf_object object) : value_(std::move(object)) {}

    // 0 for text, 1 for an object.
    std::size_t index() const { return value_.index(); }
    bool is_text() const { return index() == 0; }

    acf_object& as_object();
    const acf_object& as_object() const;
    std::string& as_text();
    const std::string& as_text() const;

    friend bool operator==(const acf_node& a, const acf_node& b) { return a.value_ == b.value_; }

private:
    std::variant<std::string, acf_object> value_;
};
