#include "installer/deploy/windows/game_lock.hpp"

#include "common/paths.hpp"
#include "common/windows/file_queries.hpp"
#include "common/file_presence.hpp"
#include "common/windows/file_system.hpp"
#include "installer/deploy/check_problem.hpp"
#include "installer/deploy/journal_format.hpp"
#include "installer/patch/path_rules.hpp"

namespace {

[[noreturn]] void stop(check_problem problem) { throw stopped_before_change(std::move(problem)); }

}  // namespace

game_lock take_game_lock(const std::wstring& game_folder) {
    // Its length is judged with each file below it.
    const path_fault fault = find_path_fault(game_folder, static_cast<std::size_t>(-1));
    if (fault != path_fault::none) stop({check_problem_kind::game_folder_path, game_folder, {}, fault, game_folder.size()});
    if (!is_existing_folder(game_folder)) stop({check_problem_kind::game_folder_missing, game_folder});

    const std::wstring lock = paths::child(game_folder, journal_lock_name);
    file_handle handle(::CreateFileW(paths::long_path_form(lock).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (handle) return game_lock(std::move(handle));
    const DWORD error = ::GetLastError();
    // Windows denies access to a lock whose run is closing it right now.
    if (error == ERROR_SHARING_VIOLATION || (error == ERROR_ACCESS_DENIED && !is_missing(lock))) {
        stop({check_problem_kind::another_run, lock});
    }
    stop({check_problem_kind::folder_not_writable, game_folder, {}, path_fault::none, 0, 0, system_error_text(error)});
}
