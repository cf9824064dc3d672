#include "installer/deploy/aside_names.hpp"

#include "installer/deploy/journal_format.hpp"
#include "installer/deploy/set_aside_name.hpp"

std::set<std::wstring> names_taken(const game_survey& survey, const case_fold& fold) {
    std::set<std::wstring> taken{fold(journal_file_name), fold(journal_lock_name)};
    for (const auto& [folded_folder, folder] : survey.folders) {
        for (const auto& [folded_name, index] : folder.by_folded_name) {
            taken.insert(folded_folder.empty() ? folded_name : folded_folder + L"\\" + folded_name);
        }
    }
    return taken;
}

std::optional<std::wstring> take_aside_name(std::wstring_view place, std::wstring_view suffix,
                                            std::set<std::wstring>& taken, const case_fold& fold) {
    for (unsigned attempt = 1; attempt <= max_set_aside_attempts; ++attempt) {
        std::wstring name = set_aside_name(place, suffix, attempt);
        if (taken.insert(fold(name)).second) return name;
    }
    return std::nullopt;
}
