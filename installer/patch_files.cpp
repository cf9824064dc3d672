#include "installer/patch_files.hpp"

#include <windows.h>

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

// Whether the entry is a directory once links are followed. An entry that
// vanished (or a link whose target is missing) is no directory.
bool is_directory_following_links(const std::wstring& path) {
    file_handle target = open_for_query(path);
    if (!target) {
        DWORD error = ::GetLastError();
        if (is_not_found(error)) return false;
        throw_filesystem_error("directory_entry::status", path, error);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(target.get(), &info)) throw_filesystem_error("directory_entry::status", path, ::GetLastError());
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Depth first, in the file system's order: a real subfolder's files come
// right after it. Links and junctions to folders are neither entered nor
// listed.
void walk(const std::wstring& folder, bool is_top, std::vector<std::wstring>& files) {
    const char* open_operation =
        is_top ? "recursive_directory_iterator::recursive_directory_iterator" : "recursive_directory_iterator::operator++";
    WIN32_FIND_DATAW entry{};
    find_handle search(::FindFirstFileExW(paths::join(folder, L"*").c_str(), FindExInfoBasic, &entry,
                                          FindExSearchNameMatch, nullptr, 0));
    if (!search) throw_filesystem_error(open_operation, folder, ::GetLastError());
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = paths::join(folder, name);
        const bool is_link = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        const bool is_directory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (is_directory && !is_link) {
            walk(path, false, files);
            continue;
        }
        if (is_link ? is_directory_following_links(path) : is_directory) continue;
        if (name == L"config.json") continue;
        files.push_back(path);
    } while (::FindNextFileW(search.get(), &entry));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES) throw_filesystem_error("recursive_directory_iterator::operator++", folder, error);
}

}  // namespace

std::vector<std::wstring> collect_patch_files(const std::wstring& archives_folder) {
    std::vector<std::wstring> files;
    walk(archives_folder, true, files);
    return files;
}
