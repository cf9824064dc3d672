#include "installer/deploy/windows/survey_game.hpp"

#include <windows.h>

#include "common/paths.hpp"
#include "common/windows/file_queries.hpp"
#include "common/windows/win_handles.hpp"
#include "installer/deploy/check_problem.hpp"

namespace {

std::uint64_t join_halves(DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; }

std::vector<surveyed_entry> list_folder(const std::wstring& folder) {
    std::vector<surveyed_entry> entries;
    WIN32_FIND_DATAW data{};
    find_handle search(::FindFirstFileExW(paths::long_path_form(paths::child(folder, L"*")).c_str(), FindExInfoBasic,
                                          &data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!search) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return entries;  // a drive's empty root
        throw stopped_before_change({check_problem_kind::folder_cannot_be_checked, folder, {}, path_fault::none, 0, 0,
                                     system_error_text(error)});
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        entries.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                           (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0,
                           {join_halves(data.nFileSizeHigh, data.nFileSizeLow),
                            join_halves(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)}});
    } while (::FindNextFileW(search.get(), &data));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES) {
        throw stopped_before_change({check_problem_kind::folder_cannot_be_checked, folder, {}, path_fault::none, 0, 0,
                                     system_error_text(error)});
    }
    return entries;
}

}  // namespace

case_fold windows_case_fold() {
    return [](std::wstring_view text) { return fold_case(std::wstring(text)); };
}

game_survey survey_game(const std::wstring& game_folder, const std::vector<std::wstring>& places) {
    return survey_folders(folders_of(places), windows_case_fold(), [&](const std::wstring& place) {
        return list_folder(paths::child(game_folder, place));
    });
}
