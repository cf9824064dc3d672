#pragma once
// Templates with replacement fields: "{}" takes the next value in its plain
// form (text unchanged, true/false for a truth value, decimal for a number);
// "{:#010x}" takes a number as "0x" and lower-case hex digits, zero-padded to
// ten characters in all. Values are never scanned for fields themselves.
//
// A template written as a literal has its fields counted against its values
// while compiling, as std::format does; one known only at run time (a named
// constant passed along) is counted as it is filled. A field the value's type
// cannot take is found as it is filled. Either mismatch is a programming
// error (std::logic_error).
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

namespace format_detail {

template <class Char>
bool field_is(std::basic_string_view<Char> field, std::string_view ascii) {
    if (field.size() != ascii.size()) return false;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != static_cast<Char>(ascii[i])) return false;
    }
    return true;
}

template <class Char>
void append_ascii(std::basic_string<Char>& out, std::string_view ascii) {
    for (char c : ascii) out += static_cast<Char>(c);
}

[[noreturn]] inline void bad_field(std::string_view why) {
    throw std::logic_error(std::string("template: ") + std::string(why));
}

template <class Char>
void append_value(std::basic_string<Char>& out, std::basic_string_view<Char> field, std::basic_string_view<Char> text) {
    if (!field_is(field, "")) bad_field("text takes only {}");
    out += text;
}

template <class Char>
void append_value(std::basic_string<Char>& out, std::basic_string_view<Char> field, bool value) {
    if (!field_is(field, "")) bad_field("a truth value takes only {}");
    append_ascii(out, value ? "true" : "false");
}

template <class Char>
void append_value(std::basic_string<Char>& out, std::basic_string_view<Char> field, std::uint32_t value) {
    if (field_is(field, "")) {
        append_ascii(out, std::to_string(value));
    } else if (field_is(field, ":#010x")) {
        static constexpr char digits[] = "0123456789abcdef";
        std::string hex = "0x00000000";
        for (int i = 9; i >= 2; --i, value >>= 4) hex[static_cast<std::size_t>(i)] = digits[value & 0xF];
        append_ascii(out, hex);
    } else {
        bad_field("unknown number format");
    }
}

template <class Char>
std::basic_string_view<Char> as_value(const std::basic_string<Char>& s) {
    return s;
}
template <class Char>
std::basic_string_view<Char> as_value(std::basic_string_view<Char> s) {
    return s;
}
template <class Char>
std::basic_string_view<Char> as_value(const Char* s) {
    return s;
}
template <class Char>
bool as_value(bool b) {
    return b;
}
template <class Char>
std::uint32_t as_value(std::uint32_t n) {
    return n;
}

// The number of fields, or none when a field is not closed.
template <class Char>
constexpr std::size_t count_fields(std::basic_string_view<Char> pattern, bool& closed) {
    std::size_t fields = 0;
    closed = true;
    for (std::size_t at = pattern.find(Char('{')); at != pattern.npos; at = pattern.find(Char('{'), at + 1)) {
        at = pattern.find(Char('}'), at);
        if (at == pattern.npos) {
            closed = false;
            break;
        }
        ++fields;
    }
    return fields;
}

template <class Char, class... Values>
std::basic_string<Char> fill(std::basic_string_view<Char> pattern, const Values&... values) {
    std::basic_string<Char> out;
    out.reserve(pattern.size() + 32);
    std::size_t pos = 0;
    [[maybe_unused]] auto next_field = [&](auto&& append) {
        std::size_t open = pattern.find(static_cast<Char>('{'), pos);
        if (open == pattern.npos) bad_field("more values than fields");
        std::size_t close = pattern.find(static_cast<Char>('}'), open);
        if (close == pattern.npos) bad_field("unclosed field");
        out.append(pattern.substr(pos, open - pos));
        append(pattern.substr(open + 1, close - open - 1));
        pos = close + 1;
    };
    (next_field([&](std::basic_string_view<Char> field) { append_value<Char>(out, field, as_value<Char>(values)); }),
     ...);
    if (pattern.find(static_cast<Char>('{'), pos) != pattern.npos) bad_field("more fields than values");
    out.append(pattern.substr(pos));
    return out;
}

}  // namespace format_detail

// A template for exactly `Values`: from a literal, checked while compiling
// (a template whose fields do not match its values does not compile); from a
// string view, checked as it is filled.
template <class Char, class... Values>
class checked_template {
public:
    template <std::size_t size>
    consteval checked_template(const Char (&literal)[size]) : text_(literal, size - 1) {
        bool closed = true;
        if (format_detail::count_fields(text_, closed) != sizeof...(Values) || !closed) {
            throw "the template's fields do not match its values";  // not a constant: a compile error
        }
    }
    checked_template(std::basic_string_view<Char> text) : text_(text) {}

    std::basic_string_view<Char> text() const { return text_; }

private:
    std::basic_string_view<Char> text_;
};

template <class... Values>
using narrow_template = checked_template<char, std::type_identity_t<Values>...>;
template <class... Values>
using wide_template = checked_template<wchar_t, std::type_identity_t<Values>...>;

// Fills `pattern` with `values` in order.
template <class... Values>
std::string format_template(narrow_template<Values...> pattern, const Values&... values) {
    return format_detail::fill(pattern.text(), values...);
}
template <class... Values>
std::wstring format_template(wide_template<Values...> pattern, const Values&... values) {
    return format_detail::fill(pattern.text(), values...);
}
