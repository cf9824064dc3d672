#pragma once
// Comparisons that ignore the case of ASCII letters only: for the names
// Windows itself compares that way (device names, file extensions), never for
// what a player's drive compares (see common/case_fold.hpp).
#include <string_view>

constexpr wchar_t ascii_upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

constexpr bool equals_ignoring_ascii_case(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ascii_upper(a[i]) != ascii_upper(b[i])) return false;
    }
    return true;
}

constexpr bool ends_with_ignoring_ascii_case(std::wstring_view text, std::wstring_view tail) {
    return text.size() >= tail.size() && equals_ignoring_ascii_case(text.substr(text.size() - tail.size()), tail);
}
