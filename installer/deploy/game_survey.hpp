#pragma once
// What the game folder holds where a run will work, looked at once before
// the plan is made: the entries of every folder a destination lies in (and
// of the folders on the way), by their names as the folder has them.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/case_fold.hpp"
#include "installer/patch/file_stamp.hpp"

struct surveyed_entry {
    std::wstring name;  // as the folder has it
    bool is_folder = false;
    bool read_only = false;
    file_stamp stamp;
};

struct game_survey {
    // The folders that exist, by folded place ("" is the game folder): their
    // place as the game folder spells it, and what they hold.
    struct folder {
        std::wstring place;
        std::vector<surveyed_entry> entries;
        std::multimap<std::wstring, std::size_t> by_folded_name;  // each entry's name folded once
    };
    std::map<std::wstring, folder> folders;

    // The entries of `folder` (a folded place) whose names fold to
    // `folded_name`: none when the folder does not exist or holds no such
    // entry; two or more only in a folder whose names are case-sensitive.
    std::vector<const surveyed_entry*> find(const std::wstring& folded_folder, const std::wstring& folded_name) const;

    // The one file at `place` (as any spelling of it): none when nothing,
    // a folder, or two case twins are there.
    const surveyed_entry* file_at(const std::wstring& place, const case_fold& fold) const;
};

// The folders below the game folder that `places` lie in, and the folders on
// the way to them, each once, outermost first (the game folder itself, "",
// first of all).
std::vector<std::wstring> folders_of(const std::vector<std::wstring>& places);

// Looks at `folder_places` (outermost first) with `list`, which gives the
// entries of a folder by its place as the game folder spells it. A folder is
// listed only when the one outside it holds it, once, as a folder.
game_survey survey_folders(const std::vector<std::wstring>& folder_places, const case_fold& fold,
                           const std::function<std::vector<surveyed_entry>(const std::wstring& place)>& list);
