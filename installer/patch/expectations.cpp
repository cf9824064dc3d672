#include "installer/patch/expectations.hpp"

#include "common/paths.hpp"
#include "installer/patch/path_rules.hpp"

bool is_plain_place(std::wstring_view place) {
    if (place.empty() || place.find(L'/') != std::wstring_view::npos || place.front() == L'\\' ||
        place.back() == L'\\' || place.find(L"\\\\") != std::wstring_view::npos) {
        return false;
    }
    for (std::wstring_view element : paths::elements(place)) {
        if (element == L"." || element == L".." || find_name_fault(element) != path_fault::none) return false;
    }
    return true;
}

bool is_sha256_hex(std::string_view hash) {
    if (hash.size() != 64) return false;
    for (char c : hash) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}
