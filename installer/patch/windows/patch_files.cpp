#include "installer/patch/windows/patch_files.hpp"

#include <windows.h>

#include <optional>

#include "common/paths.hpp"
#include "common/windows/win_handles.hpp"
#include "installer/patch/config.hpp"
#include "common/windows/file_queries.hpp"
#include "installer/patch/link_rules.hpp"

namespace {

std::uint64_t join_halves(DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; }

// Which file a path leads to, links followed.
struct file_identity {
    DWORD volume = 0;
    std::uint64_t index = 0;
    friend bool operator==(const file_identity&, const file_identity&) = default;
};

// What a path leads to, links followed: none when it leads nowhere (a
// vanished entry or a dangling link, which is no directory).
struct target_info {
    bool is_directory = false;
    file_stamp stamp;
    file_identity identity;
};
std::optional<target_info> follow(const std::wstring& path) {
    file_handle target = open_for_query(path);
    if (!target) {
        DWORD error = ::GetLastError();
        if (is_not_found(error)) return std::nullopt;
        throw_filesystem_error("directory_entry::status", path, error);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(target.get(), &info)) {
        throw_filesystem_error("directory_entry::status", path, ::GetLastError());
    }
    return target_info{(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       {join_halves(info.nFileSizeHigh, info.nFileSizeLow),
                        join_halves(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)},
                       {info.dwVolumeSerialNumber, join_halves(info.nFileIndexHigh, info.nFileIndexLow)}};
}

// The file the configuration was read from, whatever the case of its name:
// it is never copied. Windows opens "Config.json" as config.json.
class configuration_file {
public:
    explicit configuration_file(const std::wstring& archives_folder) {
        if (std::optional<target_info> config = follow(config_file_path(archives_folder))) identity_ = config->identity;
    }

    bool is(const std::wstring& name, const std::wstring& path) const {
        if (!identity_ || ::CompareStringOrdinal(name.c_str(), -1, L"config.json", -1, TRUE) != CSTR_EQUAL)
            return false;
        const std::optional<target_info> candidate = follow(path);
        return candidate && candidate->identity == *identity_;
    }

private:
    std::optional<file_identity> identity_;
};

// One folder being walked: its search, where it is, its place below the
// archives folder, and how many files were listed before it was entered.
struct open_folder {
    find_handle search;
    std::wstring path;
    std::wstring relative;
    std::size_t files_before = 0;
};

// A folder left with no file listed below it is created by no copy. Only the
// outermost such folder is noted: the ones inside it went before it.
void note_if_empty(const open_folder& folder, std::size_t files_listed, listing_notes& notes) {
    if (folder.relative.empty() || files_listed != folder.files_before) return;
    const std::wstring inside = folder.relative + L"\\";
    std::erase_if(notes.empty_folders, [&](const std::wstring& noted) { return noted.rfind(inside, 0) == 0; });
    notes.empty_folders.push_back(folder.relative);
}

// Starts the walk of `folder`, with its first entry in `entry`; none when
// the folder holds nothing at all (a drive's empty root).
std::optional<open_folder> open(const std::wstring& folder, const std::wstring& relative, WIN32_FIND_DATAW& entry) {
    find_handle search(::FindFirstFileExW(paths::join(folder, L"*").c_str(), FindExInfoBasic, &entry,
                                          FindExSearchNameMatch, nullptr, 0));
    if (search) return open_folder{std::move(search), folder, relative};
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return std::nullopt;
    throw_filesystem_error(relative.empty() ? "recursive_directory_iterator::recursive_directory_iterator"
                                            : "recursive_directory_iterator::operator++",
                           folder, error);
}

}  // namespace

// Depth first, in the file system's order: a real subfolder's files come
// right after it. Links and junctions to folders are neither entered nor
// listed. The open folders are kept on a stack of their own, not on the call
// stack, so that no depth of folders can exhaust it.
// Our own walk, where std::filesystem::recursive_directory_iterator would be
// expected: libstdc++ for Windows does not see reparse points, so it would
// enter links to folders.
std::vector<patch_file> collect_patch_files(const std::wstring& archives_folder, listing_notes* notes) {
    listing_notes unused;
    listing_notes& noted = notes ? *notes : unused;
    std::vector<patch_file> files;
    const configuration_file configuration(archives_folder);
    std::vector<open_folder> folders;
    WIN32_FIND_DATAW entry{};
    bool entry_ready = false;
    if (std::optional<open_folder> top = open(archives_folder, L"", entry)) {
        folders.push_back(std::move(*top));
        entry_ready = true;
    }
    while (!folders.empty()) {
        if (!entry_ready && !::FindNextFileW(folders.back().search.get(), &entry)) {
            const DWORD error = ::GetLastError();
            if (error != ERROR_NO_MORE_FILES) {
                throw_filesystem_error("recursive_directory_iterator::operator++", folders.back().path, error);
            }
            note_if_empty(folders.back(), files.size(), noted);
            folders.pop_back();
            continue;
        }
        entry_ready = false;
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        // A name is one element whatever it holds ("a:b" is no drive).
        const std::wstring path = paths::child(folders.back().path, name);
        const std::wstring relative = paths::child(folders.back().relative, name);
        const bool link = is_link(entry.dwFileAttributes, entry.dwReserved0);
        const bool is_directory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (is_directory && !link) {
            if (std::optional<open_folder> inner = open(path, relative, entry)) {
                inner->files_before = files.size();
                folders.push_back(std::move(*inner));
                entry_ready = true;
            }
            continue;
        }
        if (link) noted.links.push_back(relative);
        file_stamp stamp{join_halves(entry.nFileSizeHigh, entry.nFileSizeLow),
                         join_halves(entry.ftLastWriteTime.dwHighDateTime, entry.ftLastWriteTime.dwLowDateTime)};
        if (link) {
            const std::optional<target_info> target = follow(path);
            if (target && target->is_directory) continue;
            if (target) stamp = target->stamp;
        } else if (is_directory) {
            continue;
        }
        if (folders.size() == 1 && configuration.is(name, path)) continue;
        if (name == L"config.json") {
            noted.passed_over.push_back(relative);
            continue;
        }
        files.push_back({path, relative, stamp, link});
    }
    return files;
}
