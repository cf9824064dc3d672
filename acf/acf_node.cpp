#include "acf/acf_node.hpp"

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
