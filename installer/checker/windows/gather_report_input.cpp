#include "installer/checker/windows/gather_report_input.hpp"

#include <windows.h>

#include "common/ascii.hpp"
#include "common/paths.hpp"
#include "common/windows/utf16.hpp"
#include "common/windows/win_handles.hpp"
#include "installer/deploy/check_problem.hpp"
#include "installer/deploy/windows/check_system.hpp"
#include "installer/deploy/windows/survey_game.hpp"
#include "installer/patch/config.hpp"
#include "installer/patch/windows/patch_files.hpp"
#include "installer/run/config_words.hpp"
#include "installer/run/messages.hpp"

namespace {

// The name config.json has in the folder: Windows finds "Config.json" too.
std::wstring name_on_disk(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    find_handle search(::FindFirstFileW(path.c_str(), &found));
    return search ? std::wstring(found.cFileName) : std::wstring();
}

bool is_folder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(paths::long_path_form(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring last_element(const std::wstring& path) {
    const std::vector<std::wstring_view> elements = paths::elements(path);
    return elements.empty() ? std::wstring() : std::wstring(elements.back());
}

}  // namespace

patch_report_input gather_report_input(const std::wstring& given) {
    patch_report_input input;
    input.folder = given;
    input.fold = windows_case_fold();
    input.folder_found = is_folder(given);
    if (!input.folder_found) return input;
    // An easy slip: the archives folder itself, named for the patch's folder.
    if (!is_folder(paths::join(given, L"archives")) && equals_ignoring_ascii_case(last_element(given), L"archives")) {
        input.given_folder = given;
        std::wstring trimmed = given;
        while (trimmed.size() > 3 && (trimmed.back() == L'\\' || trimmed.back() == L'/')) trimmed.pop_back();
        input.folder = paths::parent(trimmed);
    }
    const std::wstring& folder = input.folder;
    const std::wstring archives = paths::join(folder, L"archives");
    input.archives_found = is_folder(archives);
    if (!input.archives_found) return input;
    try {
        const installer_config config = load_config_or_explain(archives);
        input.config_loaded = true;
        input.game_name = utf8_to_utf16(config.game_name);
        input.process_name = utf8_to_utf16(config.process_name);
        input.steam_id = utf8_to_utf16(config.steam_id);
        input.keep_originals = config.keep_originals;
        for (const auto& [place, hash] : config.expects) input.expected_places.push_back(utf8_to_utf16(place));
    } catch (const std::exception& error) {
        input.config_error = utf8_to_utf16(error.what());  // as the installer's box shows it
    }
    input.config_file_name = name_on_disk(config_file_path(archives));
    input.remover_present = !name_on_disk(paths::join(folder, L"patch_remove.exe")).empty();
    try {
        for (const patch_file& file : collect_patch_files(archives, &input.notes)) {
            input.files.push_back(file.relative);
            // As the installer checks each source before its first change.
            try {
                check_source(file.path, file.stamp.size);
            } catch (const stopped_before_change& stopped) {
                input.unreadable.emplace_back(file.relative, problem_error(stopped.problem()));
            }
        }
    } catch (const std::exception& error) {
        input.listing_error = utf8_to_utf16(error.what());
    }
    return input;
}
