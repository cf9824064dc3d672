#include "installer/deploy/windows/game_files.hpp"

#include <windows.h>

#include "common/paths.hpp"

namespace {

bool is_busy(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

bool is_gone(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Tries `attempt` until it succeeds, fails for another reason than a busy
// file, or the budget is spent. `attempt` leaves the system's error set.
template <class operation>
bool while_busy(busy_budget& budget, operation attempt) {
    for (;;) {
        if (attempt()) return true;
        if (!is_busy(::GetLastError()) || budget.waits_left == 0) return false;
        --budget.waits_left;
        ::Sleep(busy_wait_step_ms);
    }
}

bool delete_file(const std::wstring& path) {
    if (::DeleteFileW(path.c_str()) || is_gone(::GetLastError())) return true;
    // A read-only file cannot be deleted until it is writable again.
    if (::GetLastError() != ERROR_ACCESS_DENIED) return false;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    ::SetFileAttributesW(path.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
    return ::DeleteFileW(path.c_str()) != FALSE;
}

}  // namespace

disk_operations game_folder_operations(const std::wstring& game_folder, busy_budget& budget) {
    auto path = [game_folder](const std::wstring& place) { return paths::long_path_form(paths::child(game_folder, place)); };
    disk_operations disk;
    disk.exists = [path](const std::wstring& place) {
        return ::GetFileAttributesW(path(place).c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    disk.remove_file = [path, &budget](const std::wstring& place) {
        const std::wstring target = path(place);
        return while_busy(budget, [&] { return delete_file(target); });
    };
    disk.rename = [path, &budget](const std::wstring& from, const std::wstring& to) {
        const std::wstring source = path(from);
        const std::wstring target = path(to);
        // No MOVEFILE_REPLACE_EXISTING: never over a name that is taken.
        return while_busy(budget, [&] { return ::MoveFileExW(source.c_str(), target.c_str(), 0) != FALSE; });
    };
    disk.remove_folder = [path, &budget](const std::wstring& place) {
        const std::wstring target = path(place);
        folder_removal result = folder_removal::failed;
        while_busy(budget, [&] {
            if (::RemoveDirectoryW(target.c_str()) || is_gone(::GetLastError())) {
                result = folder_removal::gone;
                return true;
            }
            const DWORD error = ::GetLastError();
            if (error == ERROR_DIR_NOT_EMPTY) {
                result = folder_removal::not_empty;
                return true;
            }
            ::SetLastError(error);
            return false;
        });
        return result;
    };
    return disk;
}
