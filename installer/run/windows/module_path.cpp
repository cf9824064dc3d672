#include "installer/run/windows/module_path.hpp"

#include <windows.h>

#include <system_error>

#include "common/growing_buffer.hpp"

std::wstring module_path(std::size_t initial_capacity) {
    // Paths may exceed MAX_PATH.
    std::optional<std::wstring> path = read_growing(initial_capacity, 65536, [](wchar_t* buffer, std::size_t size) {
        return static_cast<std::size_t>(::GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(size)));
    });
    if (!path) {
        const DWORD error = ::GetLastError();
        throw std::system_error(static_cast<int>(error ? error : ERROR_INSUFFICIENT_BUFFER), std::system_category());
    }
    return *path;
}
