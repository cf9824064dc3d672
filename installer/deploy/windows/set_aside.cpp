#include <windows.h>

#include "common/paths.hpp"
#include "common/windows/file_queries.hpp"
#include "installer/deploy/windows/held_file.hpp"
#include "installer/deploy/windows/stages.hpp"

std::optional<change_failure> set_aside(const std::wstring& game_folder, const run_plan& plan,
                                        std::vector<file_handle>& handles) {
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        const planned_file& file = plan.files[i];
        if (file.aside.empty()) continue;
        // The aside name was free when planned; it is never taken over.
        const std::wstring aside = paths::long_path_form(paths::child(game_folder, file.aside));
        if (!rename_held_file(handles[i].get(), aside)) {
            const DWORD error = ::GetLastError();
            return change_failure{failure_kind::set_aside_failed, paths::child(game_folder, file.place), 0,
                                  system_error_text(error)};
        }
        handles[i].reset();
    }
    return std::nullopt;
}
