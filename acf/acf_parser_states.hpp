#pragma once
// The reader's states. Outside quotes only '"', '{' and '}' mean anything;
// inside quotes every byte is data, and a backslash takes the byte after it
// along as data, so \" does not end a key or text. Nothing is unescaped.
#include <array>
#include <cstddef>
#include <string>

class acf_parser;

namespace acf_parser_states {

// A set of bytes, for the runs a state passes over or collects.
using byte_set = std::array<bool, 256>;

constexpr byte_set make_byte_set(const char* bytes) {
    byte_set set{};
    for (; *bytes; ++bytes) set[static_cast<unsigned char>(*bytes)] = true;
    return set;
}

// Outside quotes only the quote and the braces matter; inside, only the
// closing quote and the escaping backslash.
inline constexpr byte_set structure_stops = make_byte_set("\"{}");
inline constexpr byte_set text_stops = make_byte_set("\"\\");

class state {
public:
    explicit state(acf_parser& parser) : parser_(parser) {}
    virtual ~state() = default;
    state(const state&) = delete;
    state& operator=(const state&) = delete;

    virtual void handle_char(char c) = 0;
    // The input ended here: an error unless between entries.
    virtual void handle_eof();

    // What handle_char would do with most bytes, so that the parser can pass
    // runs of them at once: every byte not in `stops()` is appended to
    // `sink()` (or ignored when there is none). No stops: every byte matters.
    const byte_set* stops() const { return stops_; }
    std::string* sink() const { return sink_; }

    // A transition makes a new state object every few bytes; their memory
    // is recycled instead of going back to the general heap each time.
    static void* operator new(std::size_t size);
    static void operator delete(void* block, std::size_t size) noexcept;

protected:
    acf_parser& parser_;
    const byte_set* stops_ = nullptr;
    std::string* sink_ = nullptr;
};

// Between entries: waiting for a key or a closing brace.
class default_state final : public state {
public:
    explicit default_state(acf_parser& parser) : state(parser) { stops_ = &structure_stops; }
    void handle_char(char c) override;
    void handle_eof() override {}
};

// Inside the quotes of a key; appends to the parser's current_key.
class read_key final : public state {
public:
    explicit read_key(acf_parser& parser);
    void handle_char(char c) override;

private:
    bool escaped_ = false;
};

// After a key: waiting for a quoted text or an opening brace.
class wait_for_value final : public state {
public:
    explicit wait_for_value(acf_parser& parser) : state(parser) { stops_ = &structure_stops; }
    void handle_char(char c) override;
};

// Inside the quotes of a text value.
class read_string final : public state {
public:
    explicit read_string(acf_parser& parser) : state(parser) {
        stops_ = &text_stops;
        sink_ = &buffer_;
    }
    void handle_char(char c) override;

private:
    std::string buffer_;
    bool escaped_ = false;
};

}  // namespace acf_parser_states
