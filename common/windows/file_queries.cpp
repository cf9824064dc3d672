#include "common/windows/file_queries.hpp"

#include <filesystem>
#include <system_error>

file_handle open_for_query(const std::wstring& path) {
    return file_handle(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

bool is_not_found(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

std::wstring fold_case(const std::wstring& path) {
    std::wstring out(path.size(), L'\0');
    const int length =
        ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, path.c_str(), static_cast<int>(path.size()), out.data(),
                        static_cast<int>(out.size()), nullptr, nullptr, 0);
    out.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    for (wchar_t& c : out) {
        if (c == L'/') c = L'\\';
    }
    return out;
}

std::wstring system_error_text(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : L"error " + std::to_wstring(error);
    ::LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.')) {
        text.pop_back();
    }
    return text;
}

void throw_filesystem_error(const char* operation, const std::wstring& path, DWORD error) {
    throw std::filesystem::filesystem_error(operation, std::filesystem::path(path),
                                            std::error_code(static_cast<int>(error), std::system_category()));
}
