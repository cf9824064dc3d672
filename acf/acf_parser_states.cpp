#include "acf/acf_parser_states.hpp"

#include <memory>
#include <stdexcept>

#include "acf/acf_parser.hpp"

#if defined(__SANITIZE_ADDRESS__)
#define ACF_STATES_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ACF_STATES_UNDER_ASAN 1
#endif
#endif
#ifdef ACF_STATES_UNDER_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace acf_parser_states {

namespace {

// Room for the largest state; at most two states live at once per parser.
constexpr std::size_t block_size = 96;
static_assert(sizeof(read_string) <= block_size && sizeof(read_key) <= block_size);

// A block waiting in the cache is dead memory to AddressSanitizer: a state
// touched after set_state has destroyed it is reported just as it would be
// without the cache, so that the sanitizers test the code that ships.
void mark_free([[maybe_unused]] void* block) {
#ifdef ACF_STATES_UNDER_ASAN
    ASAN_POISON_MEMORY_REGION(block, block_size);
#endif
}

void mark_in_use([[maybe_unused]] void* block) {
#ifdef ACF_STATES_UNDER_ASAN
    ASAN_UNPOISON_MEMORY_REGION(block, block_size);
#endif
}

struct block_cache {
    void* blocks[4] = {};
    int count = 0;
    ~block_cache() {
        while (count > 0) {
            void* block = blocks[--count];
            mark_in_use(block);
            ::operator delete(block);
        }
    }
};
thread_local block_cache cache;

}  // namespace

void* state::operator new(std::size_t size) {
    if (size > block_size) return ::operator new(size);
    if (cache.count > 0) {
        void* block = cache.blocks[--cache.count];
        mark_in_use(block);
        return block;
    }
    return ::operator new(block_size);
}

void state::operator delete(void* block, std::size_t size) noexcept {
    if (size <= block_size && cache.count < 4) {
        mark_free(block);
        cache.blocks[cache.count++] = block;
        return;
    }
    ::operator delete(block);
}

read_key::read_key(acf_parser& parser) : state(parser) {
    stops_ = &text_stops;
    sink_ = &parser.current_key;
}

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
    // The byte after a backslash must come here, whatever it is.
    stops_ = escaped_ ? nullptr : &text_stops;
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
    stops_ = escaped_ ? nullptr : &text_stops;
}

}  // namespace acf_parser_states
