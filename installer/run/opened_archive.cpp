#include "installer/run/opened_archive.hpp"

#include "common/ascii.hpp"
#include "common/paths.hpp"

namespace {

bool starts_with_ignoring_ascii_case(std::wstring_view text, std::wstring_view head) {
    return text.size() >= head.size() && equals_ignoring_ascii_case(text.substr(0, head.size()), head);
}

bool is_digit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool is_hex_digit(wchar_t c) { return is_digit(c) || (ascii_upper(c) >= L'A' && ascii_upper(c) <= L'F'); }

// Windows: "Temp", a number, "_", and the zip's own name.
bool is_windows_zip_folder(std::wstring_view name) {
    if (!starts_with_ignoring_ascii_case(name, L"Temp")) return false;
    std::size_t at = 4;
    while (at < name.size() && is_digit(name[at])) ++at;
    return at > 4 && at < name.size() && name[at] == L'_' && ends_with_ignoring_ascii_case(name, L".zip") &&
           name.size() > at + 1 + 4;
}

// 7-Zip: "7zO" and eight hex digits.
bool is_7zip_folder(std::wstring_view name) {
    if (name.size() != 11 || !starts_with_ignoring_ascii_case(name, L"7zO")) return false;
    for (wchar_t c : name.substr(3)) {
        if (!is_hex_digit(c)) return false;
    }
    return true;
}

// WinRAR: "Rar$EX" (opened) or "Rar$DI" (dragged), then its own numbering.
bool is_winrar_folder(std::wstring_view name) {
    return name.size() > 6 &&
           (starts_with_ignoring_ascii_case(name, L"Rar$EX") || starts_with_ignoring_ascii_case(name, L"Rar$DI"));
}

}  // namespace

bool is_opened_archive_folder(std::wstring_view folder) {
    for (std::wstring_view name : paths::elements(folder)) {
        if (is_windows_zip_folder(name) || is_7zip_folder(name) || is_winrar_folder(name)) return true;
    }
    return false;
}
