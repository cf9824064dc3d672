#include "installer/deploy/windows/drive_room.hpp"

#include <windows.h>

#include <vector>

#include "common/paths.hpp"
#include "common/windows/win_handles.hpp"
#include "installer/deploy/journal_format.hpp"

namespace {

bool is_full(DWORD error) { return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL; }

bool arrived(const std::wstring& path, std::uint64_t size) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(paths::long_path_form(path).c_str(), GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    return ((std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow) == size;
}

// Makes a file of one cluster beside the game's files under a name that is
// no file's of the game (CREATE_NEW never touches one that is there), and
// lets it go with its handle, even if this run is ended right here.
void try_one_file(const std::wstring& game_folder, std::uint64_t cluster, drive_after_failure& drive) {
    const std::wstring probe = paths::child(game_folder, drive_probe_name);
    file_handle made(::CreateFileW(paths::long_path_form(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!made) {
        drive.refused_new_file = is_full(::GetLastError());
        return;
    }
    const std::vector<char> zeros(static_cast<std::size_t>(cluster), 0);
    DWORD written = 0;
    if (!::WriteFile(made.get(), zeros.data(), static_cast<DWORD>(zeros.size()), &written, nullptr) ||
        !::FlushFileBuffers(made.get())) {
        drive.refused_bytes = is_full(::GetLastError());
    }
}

}  // namespace

std::uint64_t cluster_size(const std::wstring& folder) {
    std::wstring root(MAX_PATH + 1, L'\0');
    DWORD sectors_per_cluster = 0, bytes_per_sector = 0, free_clusters = 0, clusters = 0;
    if (::GetVolumePathNameW(folder.c_str(), root.data(), static_cast<DWORD>(root.size())) &&
        ::GetDiskFreeSpaceW(root.c_str(), &sectors_per_cluster, &bytes_per_sector, &free_clusters, &clusters)) {
        return std::uint64_t{sectors_per_cluster} * bytes_per_sector;
    }
    return 4096;  // the usual NTFS cluster
}

drive_after_failure look_at_drive(const std::wstring& game_folder, const run_plan& plan) {
    drive_after_failure drive;
    const std::uint64_t cluster = cluster_size(game_folder);
    std::vector<std::uint64_t> missing;
    for (const planned_file& file : plan.files) {
        if (!arrived(paths::child(game_folder, file.place), file.source_stamp.size)) {
            missing.push_back(file.source_stamp.size);
        }
    }
    drive.still_to_copy = space_needed(missing, cluster);
    ULARGE_INTEGER available{}, total{}, free{};
    if (!::GetDiskFreeSpaceExW(game_folder.c_str(), &available, &total, &free)) return {};  // nothing known
    drive.free_bytes = available.QuadPart;
    try_one_file(game_folder, cluster > (1u << 20) ? (1u << 20) : cluster, drive);
    return drive;
}
