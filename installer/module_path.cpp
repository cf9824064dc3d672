#include "installer/module_path.hpp"

#include <windows.h>

#include <system_error>

std::wstring module_path(std::size_t initial_capacity) {
    // Paths may exceed MAX_PATH; grow until the whole path fits. A result that
    // fills the buffer exactly has been cut short.
    std::wstring buffer(initial_capacity > 0 ? initial_capacity : 1, L'\0');
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) throw std::system_error(static_cast<int>(::GetLastError()), std::system_category());
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        if (buffer.size() >= 65536) throw std::system_error(ERROR_INSUFFICIENT_BUFFER, std::system_category());
        buffer.resize(buffer.size() * 2);
    }
}
