#include "installer/patch_files.hpp"

#include <windows.h>

#include <optional>

#include "common/paths.hpp"
#include "common/unique_handle.hpp"
#include "installer/file_queries.hpp"

namespace {

struct find_handle_traits {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(pointer h) noexcept { ::FindClose(h); }
};
using find_handle = unique_handle<find_handle_traits>;

std::uint64_t join_halves(DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; }

// What a link leads to, links followed: none when it leads nowhere (a
// vanished entry or a dangling link, which is no directory).
struct link_target {
    bool is_directory = false;
    file_stamp stamp;
};
std::optional<link_target> follow_link(const std::wstring& path) {
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
    return link_target{(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       {join_halves(info.nFileSizeHigh, info.nFileSizeLow),
                        join_halves(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)}};
}

// Depth first, in the file system's order: a real subfolder's files come
// right after it. Links and junctions to folders are neither entered nor
// listed.
void walk(const std::wstring& folder, const std::wstring& relative_folder, std::vector<patch_file>& files) {
    const char* open_operation = relative_folder.empty() ? "recursive_directory_iterator::recursive_directory_iterator"
                                                         : "recursive_directory_iterator::operator++";
    WIN32_FIND_DATAW entry{};
    find_handle search(::FindFirstFileExW(paths::join(folder, L"*").c_str(), FindExInfoBasic, &entry,
                                          FindExSearchNameMatch, nullptr, 0));
    if (!search) throw_filesystem_error(open_operation, folder, ::GetLastError());
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        // A name is one element whatever it holds ("a:b" is no drive).
        const std::wstring path = paths::child(folder, name);
        const std::wstring relative = paths::child(relative_folder, name);
        const bool is_link = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        const bool is_directory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (is_directory && !is_link) {
            walk(path, relative, files);
            continue;
        }
        file_stamp stamp{join_halves(entry.nFileSizeHigh, entry.nFileSizeLow),
                         join_halves(entry.ftLastWriteTime.dwHighDateTime, entry.ftLastWriteTime.dwLowDateTime)};
        if (is_link) {
            const std::optional<link_target> target = follow_link(path);
            if (target && target->is_directory) continue;
            if (target) stamp = target->stamp;
        } else if (is_directory) {
            continue;
        }
        if (name == L"config.json") continue;
        files.push_back({path, relative, stamp, is_link});
    } while (::FindNextFileW(search.get(), &entry));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES) throw_filesystem_error("recursive_directory_iterator::operator++", folder, error);
}

}  // namespace

std::vector<patch_file> collect_patch_files(const std::wstring& archives_folder) {
    std::vector<patch_file> files;
    walk(archives_folder, L"", files);
    return files;
}
