#include "installer/file_queries.hpp"

#include <filesystem>
#include <system_error>

file_handle open_for_query(const std::wstring& path) {
    return file_handle(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

bool is_not_found(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

void throw_filesystem_error(const char* operation, const std::wstring& path, DWORD error) {
    throw std::filesystem::filesystem_error(operation, std::filesystem::path(path),
                                            std::error_code(static_cast<int>(error), std::system_category()));
}
