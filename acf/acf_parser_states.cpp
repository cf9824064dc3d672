#include "acf/acf_parser_states.hpp"

#include <memory>
#include <stdexcept>

#include "acf/acf_parser.hpp"

namespace acf_parser_states {

void state::handle_eof() { throw std::runtime_error("premature end of file"); }

void default_state::handle_char(char c) {
    switch (c) {
    case '"':
        parser_.current_key.clear();
        parser_.set_state(std::make_unique<read_key>(parser_));
        return;
    case '{':
        throw std::runtime_error("not a valid place to open a subobject");
    case '}':
        parser_.close_subobject();
        return;
    default:
        return;
    }
}

void read_key::handle_char(char c) {
    if (c == '"' && !escaped_) {
        parser_.set_state(std::make_unique<wait_for_value>(parser_));
        return;
    }
    escaped_ = !escaped_ && c == '\\';
    parser_.current_key += c;
}

void wait_for_value::handle_char(char c) {
    switch (c) {
    case '"':
        parser_.set_state(std::make_unique<read_string>(parser_));
        return;
    case '{':
        parser_.open_subobject();
        parser_.set_state(std::make_unique<default_state>(parser_));
        return;
    case '}':
        throw std::runtime_error("not a valid place to close a subobject");
    default:
        return;
    }
}

void read_string::handle_char(char c) {
    if (c == '"' && !escaped_) {
        parser_.store_text(std::move(buffer_));
        parser_.set_state(std::make_unique<default_state>(parser_));
        return;
    }
    escaped_ = !escaped_ && c == '\\';
    buffer_ += c;
}

}  // namespace acf_parser_states
