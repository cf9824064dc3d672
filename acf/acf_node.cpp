#include "acf/acf_node.hpp"

namespace {

[[noreturn]] void missing_key() { throw std::out_of_range("invalid map<K, T> key"); }

}  // namespace

acf_node& acf_object::at(const std::string& key) {
    auto entry = entries_.find(key);
    if (entry == entries_.end()) missing_key();
    return entry->second;
}

const acf_node& acf_object::at(const std::string& key) const {
    auto entry = entries_.find(key);
    if (entry == entries_.end()) missing_key();
    return entry->second;
}

acf_node& acf_object::get_or_insert(const std::string& key) { return entries_[key]; }

acf_node& acf_object::try_insert(const std::string& key, acf_node value) {
    return entries_.try_emplace(key, std::move(value)).first->second;
}

bool operator==(const acf_object& a, const acf_object& b) { return a.entries_ == b.entries_; }

acf_object& acf_node::as_object() {
    if (auto* object = std::get_if<acf_object>(&value_)) return *object;
    throw acf_bad_access();
}

const acf_object& acf_node::as_object() const {
    if (auto* object = std::get_if<acf_object>(&value_)) return *object;
    throw acf_bad_access();
}

std::string& acf_node::as_text() {
    if (auto* text = std::get_if<std::string>(&value_)) return *text;
    throw acf_bad_access();
}

const std::string& acf_node::as_text() const {
    if (auto* text = std::get_if<std::string>(&value_)) return *text;
    throw acf_bad_access();
}
