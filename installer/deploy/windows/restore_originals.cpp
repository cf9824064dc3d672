#include <windows.h>

#include "common/paths.hpp"
#include "common/windows/file_queries.hpp"
#include "installer/deploy/windows/held_file.hpp"
#include "installer/deploy/windows/stages.hpp"

std::optional<change_failure> restore_originals(const std::wstring& game_folder, const run_plan& plan,
                                                std::vector<file_handle>& handles) {
    std::size_t next = 0;
    for (const planned_file& file : plan.files) {
        if (file.action != file_action::restore) continue;
        file_handle& original = handles.at(next++);
        // The place was set aside a moment ago; it is never taken over.
        if (!rename_held_file(original.get(), paths::long_path_form(paths::child(game_folder, file.place)))) {
            const DWORD error = ::GetLastError();
            return change_failure{failure_kind::restore_failed, paths::child(game_folder, file.former), 0,
                                  system_error_text(error)};
        }
        original.reset();
    }
    return std::nullopt;
}
