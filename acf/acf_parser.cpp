#include "acf/acf_parser.hpp"

#include <stdexcept>

#include "acf/acf_parser_states.hpp"

namespace {

// Steam's files nest a few levels. Trees are copied and destroyed
// recursively, so a hostile file nested thousands of levels deep would
// overflow the stack; it is refused instead.
constexpr std::size_t max_nesting = 256;

}  // namespace

acf_parser::acf_parser() = default;
acf_parser::~acf_parser() = default;

acf_node acf_parser::read_acf(std::istream& input, acf_read_mode mode) {
    root = acf_node(acf_object{});
    open_objects.clear();
    open_objects.push_back(&root.as_object());
    set_state(std::make_unique<acf_parser_states::default_state>(*this));
    if (mode == acf_read_mode::byte_by_byte) {
        char c;
        while (input.get(c)) current_state->handle_char(c);
    } else if (input.good()) {
        // Byte by byte as get() would deliver them (a stream that already has
        // a condition delivers none), but fetched from the buffer in blocks:
        // the per-call sentry of get() dominated the reading time.
        std::streambuf& source = *input.rdbuf();
        char block[1 << 16];
        std::streamsize count;
        std::ios::iostate ended = std::ios::eofbit | std::ios::failbit;
        do {
            try {
                count = source.sgetn(block, sizeof block);
            } catch (...) {
                // As with get(): a read that fails ends the input there, like
                // its end, unless the stream was asked to throw.
                if (input.exceptions() & std::ios::badbit) throw;
                ended |= std::ios::badbit;
                break;
            }
            const char* next = block;
            const char* const end = block + count;
            while (next != end) {
                // A run of bytes the current state treats alike goes in one step.
                if (const acf_parser_states::byte_set* stops = current_state->stops()) {
                    const char* run_end = next;
                    while (run_end != end && !(*stops)[static_cast<unsigned char>(*run_end)]) ++run_end;
                    if (std::string* sink = current_state->sink()) sink->append(next, run_end);
                    next = run_end;
                    if (next == end) break;
                }
                current_state->handle_char(*next++);
            }
        } while (count == static_cast<std::streamsize>(sizeof block));
        input.setstate(ended);
    }
    current_state->handle_eof();
    return root;
}

void acf_parser::set_state(std::unique_ptr<acf_parser_states::state> next) {
    // The state being replaced is usually the caller: it must not touch its
    // members after this.
    std::unique_ptr<acf_parser_states::state> previous = std::move(current_state);
    current_state = std::move(next);
}

void acf_parser::open_subobject() {
    // After the root's own closing brace there is no block to open one in.
    if (open_objects.empty()) throw std::runtime_error("not a valid place to open a subobject");
    if (open_objects.size() > max_nesting) throw std::runtime_error("blocks nested more than 256 levels deep");
    acf_node& entry = open_objects.back()->try_insert(current_key, acf_node(acf_object{}));
    open_objects.push_back(&entry.as_object());
}

void acf_parser::close_subobject() {
    if (open_objects.empty()) throw std::runtime_error("not a valid place to close a subobject");
    open_objects.pop_back();
}

void acf_parser::store_text(std::string text) {
    if (open_objects.empty()) throw std::runtime_error("no open block to store a value in");
    open_objects.back()->try_insert(current_key, acf_node(std::move(text)));
}
