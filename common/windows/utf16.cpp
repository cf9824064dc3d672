#include "common/windows/utf16.hpp"

#include <windows.h>

#include <climits>
#include <system_error>

std::wstring utf8_to_utf16(std::string_view utf8) {
    if (utf8.empty() || utf8.size() >= INT_MAX) return {};
    std::wstring out(utf8.size() + 1, L'\0');
    int written = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(),
                                        static_cast<int>(out.size()));
    out.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return out;
}

std::wstring utf8_to_utf16_strict(std::string_view utf8) {
    if (utf8.empty()) return {};
    if (utf8.size() >= INT_MAX) throw std::system_error(ERROR_ARITHMETIC_OVERFLOW, std::system_category());
    const int length = static_cast<int>(utf8.size());
    int needed = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (needed <= 0) throw std::system_error(static_cast<int>(::GetLastError()), std::system_category());
    std::wstring out(static_cast<std::size_t>(needed), L'\0');
    if (::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, out.data(), needed) != needed) {
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category());
    }
    return out;
}
