#include "installer/patch/path_rules.hpp"

#include <algorithm>
#include <array>

#include "common/ascii.hpp"
#include "common/paths.hpp"

namespace {

// Windows maps these names to devices in every folder, whatever extension
// follows and whatever blanks precede it; the superscript digits count too.
bool is_reserved_name(std::wstring_view name) {
    std::wstring_view stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.remove_suffix(1);
    static constexpr std::array<std::wstring_view, 6> plain = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (std::wstring_view reserved : plain) {
        if (equals_ignoring_ascii_case(stem, reserved)) return true;
    }
    if (stem.size() != 4) return false;
    const std::wstring_view prefix = stem.substr(0, 3);
    if (!equals_ignoring_ascii_case(prefix, L"COM") && !equals_ignoring_ascii_case(prefix, L"LPT")) return false;
    const wchar_t digit = stem[3];
    return (digit >= L'1' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

path_fault find_character_fault(std::wstring_view text) {
    for (wchar_t c : text) {
        if (c < 0x20) return path_fault::control_character;
    }
    if (text.find_first_of(L"*?<>\"|") != std::wstring_view::npos) return path_fault::forbidden_character;
    return path_fault::none;
}

path_fault find_element_fault(std::wstring_view element) {
    if (element.empty() || element == L"." || element == L"..") return path_fault::none;
    if (element.find(L':') != std::wstring_view::npos) return path_fault::misplaced_colon;
    if (is_reserved_name(element)) return path_fault::reserved_name;
    if (element.back() == L'.' || element.back() == L' ') return path_fault::trailing_dot_or_space;
    return path_fault::none;
}

}  // namespace

path_fault find_name_fault(std::wstring_view name) {
    if (path_fault fault = find_character_fault(name); fault != path_fault::none) return fault;
    return find_element_fault(name);
}

path_fault find_path_fault(std::wstring_view path, std::size_t limit) {
    for (std::wstring_view prefix : {L"\\\\?\\", L"\\\\.\\", L"\\??\\", L"//?/", L"//./"}) {
        if (path.substr(0, prefix.size()) == prefix) return path_fault::device_form;
    }
    if (path_fault fault = find_character_fault(path); fault != path_fault::none) return fault;
    const paths::split_path parts = paths::split(path);
    // A drive's colon belongs to the root name; a colon in a server name is
    // as wrong as one anywhere else.
    if (parts.root_name.find(L':') != std::wstring_view::npos && parts.root_name.size() != 2) {
        return path_fault::misplaced_colon;
    }
    for (std::wstring_view element : paths::elements(parts.relative)) {
        if (path_fault fault = find_element_fault(element); fault != path_fault::none) return fault;
    }
    if (path.size() > limit) return path_fault::too_long;
    return path_fault::none;
}

std::size_t room_for_game_folder(std::wstring_view relative, std::size_t limit) {
    const std::size_t taken = relative.size() + 1;
    return limit > taken ? limit - taken : 0;
}

std::size_t longest_game_folder(std::wstring_view place) {
    std::size_t longest = room_for_game_folder(place, max_file_path);
    for (std::size_t at = place.find(L'\\'); at != std::wstring_view::npos; at = place.find(L'\\', at + 1)) {
        longest = std::min(longest, room_for_game_folder(place.substr(0, at), max_created_folder_path));
    }
    return longest;
}

