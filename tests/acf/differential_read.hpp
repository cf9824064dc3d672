#pragma once
// The reader's two modes held to each other: the shipped one (runs of bytes
// at once) and the reference (each byte alone) must give the same tree or
// the same error for any bytes. Shared by the fuzzer and the corpus replay.
#include <sstream>
#include <stdexcept>
#include <string>
#include <variant>

#include "acf/acf_parser.hpp"

// A read's tree, or its error's kind and message.
struct acf_read_outcome {
    acf_node tree;
    std::string error;  // empty when the read succeeded

    friend bool operator==(const acf_read_outcome& a, const acf_read_outcome& b) {
        return a.error == b.error && a.tree == b.tree;
    }
};

inline acf_read_outcome read_once(const std::string& bytes, acf_read_mode mode) {
    acf_parser parser;
    std::istringstream input(bytes);
    try {
        return {parser.read_acf(input, mode), {}};
    } catch (const std::bad_variant_access& e) {
        return {{}, std::string("bad access: ") + e.what()};
    } catch (const std::runtime_error& e) {
        return {{}, std::string("runtime error: ") + e.what()};
    }
}

// Whether both modes read `bytes` alike.
inline bool modes_agree(const std::string& bytes) {
    return read_once(bytes, acf_read_mode::runs) == read_once(bytes, acf_read_mode::byte_by_byte);
}
