#include "installer/deploy/windows/check_copy.hpp"

#include <windows.h>

#include <map>
#include <set>
#include <vector>

#include "common/windows/file_system.hpp"
#include "common/paths.hpp"
#include "installer/deploy/windows/copy_problem.hpp"
#include "installer/deploy/disk_space.hpp"
#include "common/windows/file_queries.hpp"
#include "installer/run/messages.hpp"
#include "installer/patch/path_rules.hpp"

namespace {

[[noreturn]] void fail(const std::wstring& file, std::wstring problem, const wchar_t* advice) {
    throw copy_problem(file, std::move(problem), advice);
}

void check_path(const std::wstring& path, std::size_t limit, const wchar_t* advice_when_too_long,
                const wchar_t* advice_otherwise) {
    const path_fault fault = find_path_fault(path, limit);
    if (fault == path_fault::none) return;
    fail(path, L"this path " + describe_path_fault(fault, path.size(), limit),
         fault == path_fault::too_long ? advice_when_too_long : advice_otherwise);
}

void check_game_folder(const std::wstring& folder) {
    // Its length is judged with each file below it.
    check_path(folder, static_cast<std::size_t>(-1), advice_game_folder, advice_game_folder);
    if (!is_existing_folder(folder)) fail(folder, L"this game folder does not exist", advice_game_folder);
}

void check_names(const copy_plan& plan) {
    std::set<std::wstring> sources;
    for (const planned_file& file : plan.files) sources.insert(fold_case(file.source));
    std::set<std::wstring> destinations;
    for (const planned_file& file : plan.files) {
        check_path(file.destination, max_file_path, advice_shorter_game_folder, advice_author);
        const std::wstring key = fold_case(file.destination);
        if (!destinations.insert(key).second) {
            fail(file.destination, L"two files of the patch would be copied to this same place", advice_author);
        }
        if (sources.count(key)) {
            fail(file.destination, L"this file is one of the patch's own files: the game folder is the patch's folder",
                 advice_game_folder);
        }
    }
}

// What is at each folder on the way to the destinations, asked once each.
class folder_survey {
public:
    explicit folder_survey(copy_plan& plan) : plan_(plan) {}

    // Makes sure every folder between the game folder and `file` is a folder
    // or will be created.
    void check_way_to(const planned_file& file) {
        std::wstring relative_folder = paths::parent(file.relative);
        if (relative_folder == file.relative) relative_folder.clear();
        visit(relative_folder);
    }

private:
    // True when the folder exists.
    bool visit(const std::wstring& relative_folder) {
        if (relative_folder.empty()) return true;
        if (auto known = exists_.find(relative_folder); known != exists_.end()) return known->second;
        std::wstring outer = paths::parent(relative_folder);
        if (outer == relative_folder) outer.clear();
        const bool outer_exists = visit(outer);
        const std::wstring folder = paths::child(plan_.installation_folder, relative_folder);
        bool exists = false;
        if (outer_exists) {
            const DWORD attributes = ::GetFileAttributesW(folder.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES) {
                const DWORD error = ::GetLastError();
                if (!is_not_found(error))
                    fail(folder, L"this folder cannot be checked: " + system_error_text(error), advice_retry);
            } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                fail(folder, L"this is a file in the game, where the patch needs a folder of that name", advice_author);
            } else {
                exists = true;
            }
        }
        if (!exists) {
            check_path(folder, max_created_folder_path, advice_shorter_game_folder, advice_author);
            plan_.new_folders.push_back(folder);
        }
        exists_.emplace(relative_folder, exists);
        return exists;
    }

    copy_plan& plan_;
    std::map<std::wstring, bool> exists_;
};

// Whether the shell could replace the file: it must be free to be written
// (Windows lets a running program's executable be renamed but not written)
// and to be renamed, which is how its original is set aside. The handle is
// kept for setting it aside.
file_handle open_replaceable(const planned_file& file, DWORD attributes) {
    // A read-only original is renamed, never written (the copy is a new
    // file); removing it needs its attributes changed.
    const DWORD access = (attributes & FILE_ATTRIBUTE_READONLY) ? DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES
                                                                : GENERIC_WRITE | DELETE;
    file_handle original(::CreateFileW(file.destination.c_str(), access,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (original) return original;
    const DWORD error = ::GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
        fail(file.destination, L"this file is in use by another program, so it cannot be replaced", advice_in_use);
    }
    if (error == ERROR_ACCESS_DENIED) {
        fail(file.destination, L"this file cannot be replaced: Windows denies access to it", advice_access);
    }
    fail(file.destination, L"this file cannot be replaced: " + system_error_text(error), advice_retry);
}

void check_destinations(copy_plan& plan) {
    folder_survey survey(plan);
    for (planned_file& file : plan.files) {
        survey.check_way_to(file);
        const DWORD attributes = ::GetFileAttributesW(file.destination.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = ::GetLastError();
            if (is_not_found(error)) continue;
            fail(file.destination, L"this file cannot be checked: " + system_error_text(error), advice_retry);
        }
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            fail(file.destination, L"this is a folder in the game, where the patch has a file of that name",
                 advice_author);
        }
        file.original = open_replaceable(file, attributes);
    }
}

std::uint64_t cluster_size(const std::wstring& folder) {
    std::wstring root(MAX_PATH + 1, L'\0');
    DWORD sectors_per_cluster = 0, bytes_per_sector = 0, free_clusters = 0, clusters = 0;
    if (::GetVolumePathNameW(folder.c_str(), root.data(), static_cast<DWORD>(root.size())) &&
        ::GetDiskFreeSpaceW(root.c_str(), &sectors_per_cluster, &bytes_per_sector, &free_clusters, &clusters)) {
        return std::uint64_t{sectors_per_cluster} * bytes_per_sector;
    }
    return 4096;  // the usual NTFS cluster
}

void check_space(const copy_plan& plan) {
    ULARGE_INTEGER available{}, total{}, free{};
    if (!::GetDiskFreeSpaceExW(plan.installation_folder.c_str(), &available, &total, &free)) {
        const DWORD error = ::GetLastError();
        fail(plan.installation_folder,
             L"the free space on the game's drive cannot be read: " + system_error_text(error), advice_retry);
    }
    std::vector<std::uint64_t> sizes;
    sizes.reserve(plan.files.size() + plan.new_folders.size());
    for (const planned_file& file : plan.files) sizes.push_back(file.source_stamp.size);
    sizes.insert(sizes.end(), plan.new_folders.size(), 1);  // a folder takes a cluster of its own
    const std::uint64_t needed = space_needed(sizes, cluster_size(plan.installation_folder));
    if (needed > available.QuadPart) {
        fail(plan.installation_folder,
             L"there is not enough free space on the game's drive: the patch needs " +
                 describe_bytes(needed, rounding::up) + L", and " + describe_bytes(available.QuadPart, rounding::down) +
                 L" are free",
             L"Free up space on that drive, then run the patch again.");
    }
}

}  // namespace

void check_source_path(const std::wstring& path) { check_path(path, max_file_path, advice_move_patch, advice_author); }

void check_copy(copy_plan& plan) {
    check_game_folder(plan.installation_folder);
    check_names(plan);
    check_destinations(plan);
    check_space(plan);
}
