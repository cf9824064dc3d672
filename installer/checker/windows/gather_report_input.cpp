#include "installer/checker/windows/gather_report_input.hpp"

#include <windows.h>

#include "common/paths.hpp"
#include "common/windows/utf16.hpp"
#include "common/windows/win_handles.hpp"
#include "installer/deploy/check_problem.hpp"
#include "installer/deploy/windows/check_system.hpp"
#include "installer/deploy/windows/survey_game.hpp"
#include "installer/patch/config.hpp"
#include "installer/patch/windows/patch_files.hpp"
#include "installer/run/messages.hpp"

namespace {

// The name config.json has in the folder: Windows finds "Config.json" too.
std::wstring name_on_disk(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    find_handle search(::FindFirstFileW(path.c_str(), &found));
    return search ? std::wstring(found.cFileName) : std::wstring();
}

}  // namespace

patch_report_input gather_report_input(const std::wstring& folder) {
    patch_report_input input;
    input.folder = folder;
    input.fold = windows_case_fold();
    const std::wstring archives = paths::join(folder, L"archives");
    try {
        const installer_config config = load_installer_config(archives);
        input.config_loaded = true;
        input.game_name = utf8_to_utf16(config.game_name);
        input.process_name = utf8_to_utf16(config.process_name);
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
