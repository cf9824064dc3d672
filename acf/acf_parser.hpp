#pragma once
// Reads one of Steam's key-value text files ("libraryfolders.vdf",
// "appmanifest_<id>.acf") into an acf_node tree, one byte at a time, through
// the states of acf_parser_states.
#include <deque>
#include <istream>
#include <memory>
#include <string>

#include "acf/acf_node.hpp"

namespace acf_parser_states {
class state;
}

// How read_acf hands the bytes to the states. What ships fetches blocks and
// passes runs of bytes that the current state treats alike in one step
// (its stop and sink tables). The reference hands every byte to handle_char
// on its own, read with get(): the plain algorithm, for the tests and the
// fuzzer to hold the fast one to.
enum class acf_read_mode { runs, byte_by_byte };

class acf_parser {
public:
    acf_parser();
    ~acf_parser();
    acf_parser(const acf_parser&) = delete;
    acf_parser& operator=(const acf_parser&) = delete;

    // Reads the whole stream and returns a copy of the tree, always an
    // object. Raises std::runtime_error for a misplaced brace, an input that
    // ends inside an entry or blocks nested more than 256 levels deep, and
    // acf_bad_access for a block under a key that already holds text. A read
    // error ends the input as its end would.
    acf_node read_acf(std::istream& input, acf_read_mode mode = acf_read_mode::runs);

    // For the states.
    void set_state(std::unique_ptr<acf_parser_states::state> next);
    void open_subobject();
    void close_subobject();
    void store_text(std::string text);

    acf_node root;
    std::unique_ptr<acf_parser_states::state> current_state;
    std::deque<acf_object*> open_objects;  // bottom: root's object; top: the innermost open block
    std::string current_key;
};
