#pragma once
// The reader's states. Outside quotes only '"', '{' and '}' mean anything;
// inside quotes every byte is data, and a backslash takes the byte after it
// along as data, so \" does not end a key or text. Nothing is unescaped.
#include <string>

class acf_parser;

namespace acf_parser_states {

class state {
public:
    explicit state(acf_parser& parser) : parser_(parser) {}
    virtual ~state() = default;
    state(const state&) = delete;
    state& operator=(const state&) = delete;

    virtual void handle_char(char c) = 0;
    // The input ended here: an error unless between entries.
    virtual void handle_eof();

protected:
    acf_parser& parser_;
};

// Between entries: waiting for a key or a closing brace.
class default_state final : public state {
public:
    using state::state;
    void handle_char(char c) override;
    void handle_eof() override {}
};

// Inside the quotes of a key; appends to the parser's current_key.
class read_key final : public state {
public:
    using state::state;
    void handle_char(char c) override;

private:
    bool escaped_ = false;
};

// After a key: waiting for a quoted text or an opening brace.
class wait_for_value final : public state {
public:
    using state::state;
    void handle_char(char c) override;
};

// Inside the quotes of a text value.
class read_string final : public state {
public:
    using state::state;
    void handle_char(char c) override;

private:
    std::string buffer_;
    bool escaped_ = false;
};

}  // namespace acf_parser_states
