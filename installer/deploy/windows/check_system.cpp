#include "installer/deploy/windows/check_system.hpp"

#include <windows.h>

#include "common/paths.hpp"
#include "common/windows/file_queries.hpp"
#include "installer/deploy/check_problem.hpp"
#include "installer/deploy/disk_space.hpp"
#include "installer/deploy/journal_format.hpp"
#include "installer/deploy/windows/drive_room.hpp"

namespace {

[[noreturn]] void stop(check_problem_kind kind, const std::wstring& file, DWORD error = 0) {
    throw stopped_before_change(
        {kind, file, {}, path_fault::none, 0, 0, error ? system_error_text(error) : std::wstring()});
}

bool is_held(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }

}  // namespace

void check_source(const std::wstring& path, std::uint64_t listed_size) {
    // As the shell opens it to copy it.
    file_handle source(::CreateFileW(paths::long_path_form(path).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!source) {
        const DWORD error = ::GetLastError();
        if (is_held(error)) stop(check_problem_kind::source_in_use, path);
        // ERROR_NO_SUCH_DEVICE (433), which the SDK here does not name: what
        // Wine answers for a socket on a Linux drive.
        constexpr DWORD no_such_device = 433;
        if (error == no_such_device) stop(check_problem_kind::source_not_a_file, path);
        stop(check_problem_kind::source_unreadable, path, error);
    }
    // A pipe or a socket lists as an empty file: only then is its type asked,
    // which costs as much as the open itself.
    if (listed_size == 0 && ::GetFileType(source.get()) != FILE_TYPE_DISK) {
        stop(check_problem_kind::source_not_a_file, path);
    }
}

std::vector<file_handle> open_files_to_move(const std::wstring& game_folder, const run_plan& plan,
                                            const std::vector<bool>& read_only, const std::vector<bool>& read_too) {
    std::vector<file_handle> handles(plan.files.size());
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        const planned_file& file = plan.files[i];
        if (file.aside.empty()) continue;
        const std::wstring path = paths::child(game_folder, file.place);
        // The shell must be free to write it (Windows lets a running
        // program's executable be renamed but not written), and it must be
        // free to be renamed. A read-only file is renamed, never written.
        DWORD access = i < read_only.size() && read_only[i] ? DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES
                                                            : GENERIC_WRITE | DELETE;
        if (i < read_too.size() && read_too[i]) access |= FILE_READ_DATA;
        handles[i].reset(::CreateFileW(paths::long_path_form(path).c_str(), access,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (handles[i]) continue;
        const DWORD error = ::GetLastError();
        if (is_held(error)) stop(check_problem_kind::in_use, path);
        if (error == ERROR_ACCESS_DENIED) stop(check_problem_kind::access_denied, path);
        stop(check_problem_kind::cannot_be_replaced, path, error);
    }
    return handles;
}

void check_receiving_folders(const std::wstring& game_folder, const std::vector<std::wstring>& folders) {
    for (const std::wstring& place : folders) {
        // The game folder's own lock has shown that files can be made there.
        if (place.empty()) continue;
        const std::wstring folder = paths::child(game_folder, place);
        // A name of the journal's, which no patch file may have; it goes
        // when its handle closes, even if this run is ended right here.
        const std::wstring probe = paths::child(folder, journal_lock_name);
        file_handle made(::CreateFileW(paths::long_path_form(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (made) continue;
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            stop(check_problem_kind::folder_not_writable, folder, error);
        }
    }
}

std::uint64_t check_space(const std::wstring& game_folder, const run_plan& plan, std::uint64_t journal_bytes) {
    ULARGE_INTEGER available{}, total{}, free{};
    if (!::GetDiskFreeSpaceExW(game_folder.c_str(), &available, &total, &free)) {
        stop(check_problem_kind::free_space_unreadable, game_folder, ::GetLastError());
    }
    std::vector<std::uint64_t> sizes;
    sizes.reserve(plan.files.size() + plan.folders.size());
    for (const planned_file& file : plan.files) sizes.push_back(file.source_stamp.size);
    sizes.insert(sizes.end(), plan.folders.size(), 1);  // a folder takes a cluster of its own
    sizes.push_back(journal_bytes);
    const std::uint64_t needed = space_needed(sizes, cluster_size(game_folder));
    if (needed > available.QuadPart) {
        throw stopped_before_change({check_problem_kind::not_enough_space,
                                     game_folder,
                                     {},
                                     path_fault::none,
                                     0,
                                     0,
                                     {},
                                     needed,
                                     available.QuadPart});
    }
    return needed;
}
