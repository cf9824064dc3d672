#include "installer/deploy/windows/held_file.hpp"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

bool rename_held_file(HANDLE file, const std::wstring& path) {
    // FILE_RENAME_INFO ends in the name's first unit; the rest follows it.
    const std::size_t name_bytes = path.size() * sizeof(wchar_t);
    const std::size_t size = offsetof(FILE_RENAME_INFO, FileName) + name_bytes + sizeof(wchar_t);
    std::vector<unsigned char> buffer(std::max(size, sizeof(FILE_RENAME_INFO)));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = nullptr;  // the name is a full path
    info->FileNameLength = static_cast<DWORD>(name_bytes);
    std::memcpy(info->FileName, path.c_str(), name_bytes + sizeof(wchar_t));
    return ::SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(buffer.size())) != FALSE;
}

bool delete_held_file(HANDLE file) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition)) return true;
    if (::GetLastError() != ERROR_ACCESS_DENIED) return false;
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) ||
        !(basic.FileAttributes & FILE_ATTRIBUTE_READONLY)) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    // Zero times mean "leave as they are".
    basic.CreationTime.QuadPart = basic.LastAccessTime.QuadPart = 0;
    basic.LastWriteTime.QuadPart = basic.ChangeTime.QuadPart = 0;
    basic.FileAttributes &= ~DWORD{FILE_ATTRIBUTE_READONLY};
    if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) &&
           ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}
