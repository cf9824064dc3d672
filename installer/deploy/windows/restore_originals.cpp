#include <windows.h>

#include "common/paths.hpp"
#include "common/windows/file_queries.hpp"
#include "installer/deploy/windows/game_files.hpp"
#include "installer/deploy/windows/stages.hpp"

std::optional<change_failure> restore_originals(const std::wstring& game_folder, const run_plan& plan) {
    busy_budget budget;
    const disk_operations disk = game_folder_operations(game_folder, budget);
    for (const planned_file& file : plan.files) {
        if (file.action != file_action::restore) continue;
        if (!disk.rename(file.former, file.place)) {
            const DWORD error = ::GetLastError();
            return change_failure{failure_kind::restore_failed, paths::child(game_folder, file.former), 0,
                                  system_error_text(error)};
        }
    }
    return std::nullopt;
}
