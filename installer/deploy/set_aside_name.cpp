#include "installer/deploy/set_aside_name.hpp"

#include "common/paths.hpp"

std::wstring set_aside_name(std::wstring_view place, std::wstring_view suffix, unsigned attempt) {
    const std::wstring_view name = paths::file_name(place);
    const std::wstring_view folder = place.substr(0, place.size() - name.size());
    std::wstring ending(suffix);
    if (attempt > 1) ending += L"-" + std::to_wstring(attempt);
    const std::size_t room = max_name_length > ending.size() ? max_name_length - ending.size() : 0;
    return std::wstring(folder) + std::wstring(name.substr(0, room)) + ending;
}
