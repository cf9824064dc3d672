// libFuzzer target: any bytes either read into a tree or fail with one of the
// reader's documented errors; the shipped reader (runs of bytes at once) and
// the reference (each byte alone) agree on the tree or the error; a second
// read on the same parser is unaffected by the first; and the returned copy
// equals the parser's own tree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>
#include <variant>

#include "acf/acf_parser.hpp"
#include "tests/acf/differential_read.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!modes_agree(bytes)) std::abort();

    acf_parser parser;
    bool first_failed = false;
    acf_node first;
    try {
        std::istringstream input(bytes);
        first = parser.read_acf(input);
        if (first.is_text()) std::abort();
    } catch (const std::bad_variant_access&) {
        first_failed = true;
    } catch (const std::runtime_error&) {
        first_failed = true;
    }
    // The same input again on the used parser gives the same outcome.
    try {
        std::istringstream input(bytes);
        acf_node again = parser.read_acf(input);
        if (first_failed || !(again == first)) std::abort();
        // The parser's own tree, kept in the order keys came, walks the same.
        if (!(parser.root == again)) std::abort();
    } catch (const std::bad_variant_access&) {
        if (!first_failed) std::abort();
    } catch (const std::runtime_error&) {
        if (!first_failed) std::abort();
    }
    return 0;
}
