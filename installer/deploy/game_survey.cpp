#include "installer/deploy/game_survey.hpp"

#include <algorithm>
#include <set>

#include "common/paths.hpp"

std::vector<const surveyed_entry*> game_survey::find(const std::wstring& folded_folder,
                                                     const std::wstring& folded_name) const {
    std::vector<const surveyed_entry*> found;
    const auto it = folders.find(folded_folder);
    if (it == folders.end()) return found;
    const auto [first, last] = it->second.by_folded_name.equal_range(folded_name);
    for (auto match = first; match != last; ++match) found.push_back(&it->second.entries[match->second]);
    return found;
}

const surveyed_entry* game_survey::file_at(const std::wstring& place, const case_fold& fold) const {
    const std::wstring name(paths::file_name(place));
    const std::wstring folder = place.size() > name.size() ? place.substr(0, place.size() - name.size() - 1) : L"";
    const std::vector<const surveyed_entry*> found = find(fold(folder), fold(name));
    return found.size() == 1 && !found.front()->is_folder ? found.front() : nullptr;
}

namespace {

game_survey::folder indexed(std::wstring place, std::vector<surveyed_entry> entries, const case_fold& fold) {
    game_survey::folder folder{std::move(place), std::move(entries), {}};
    for (std::size_t i = 0; i < folder.entries.size(); ++i)
        folder.by_folded_name.emplace(fold(folder.entries[i].name), i);
    return folder;
}

}  // namespace

std::vector<std::wstring> folders_of(const std::vector<std::wstring>& places) {
    std::vector<std::wstring> ordered{L""};
    std::set<std::wstring> seen{L""};
    for (const std::wstring& place : places) {
        // Every '\' ends the name of a folder on the way.
        for (std::size_t at = place.find(L'\\'); at != std::wstring::npos; at = place.find(L'\\', at + 1)) {
            std::wstring folder = place.substr(0, at);
            if (seen.insert(folder).second) ordered.push_back(std::move(folder));
        }
    }
    // Outermost first: a folder's outer folders are shorter prefixes of it.
    std::stable_sort(ordered.begin(), ordered.end(), [](const std::wstring& a, const std::wstring& b) {
        return std::count(a.begin(), a.end(), L'\\') + !a.empty() < std::count(b.begin(), b.end(), L'\\') + !b.empty();
    });
    return ordered;
}

game_survey survey_folders(const std::vector<std::wstring>& folder_places, const case_fold& fold,
                           const std::function<std::vector<surveyed_entry>(const std::wstring& place)>& list) {
    game_survey survey;
    for (const std::wstring& place : folder_places) {
        if (place.empty()) {
            survey.folders[L""] = indexed(L"", list(L""), fold);
            continue;
        }
        const std::wstring name(paths::file_name(place));
        const std::wstring outer = place.size() > name.size() ? place.substr(0, place.size() - name.size() - 1) : L"";
        const auto outer_folder = survey.folders.find(fold(outer));
        if (outer_folder == survey.folders.end()) continue;
        const std::vector<const surveyed_entry*> found = survey.find(fold(outer), fold(name));
        if (found.size() != 1 || !found.front()->is_folder) continue;
        std::wstring spelled = paths::child(outer_folder->second.place, found.front()->name);
        std::vector<surveyed_entry> entries = list(spelled);
        survey.folders[fold(place)] = indexed(std::move(spelled), std::move(entries), fold);
    }
    return survey;
}
