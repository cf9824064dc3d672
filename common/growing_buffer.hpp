#pragma once
// Windows calls that write text into a caller's buffer tell of a buffer too
// small in one of two ways: GetModuleFileNameW fills it and returns its size,
// GetFinalPathNameByHandleW returns the size it needs. Either way the buffer
// grows until the whole text fits.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>

// `read(buffer, size)` writes into `buffer` and returns the text's length, or
// 0 when it fails. Returns the whole text; none when `read` failed, or when
// the text would need more than `limit` units (the system's last error then
// tells which).
template <class read_function>
std::optional<std::wstring> read_growing(std::size_t initial_size, std::size_t limit, read_function read) {
    std::wstring buffer(std::max<std::size_t>(initial_size, 1), L'\0');
    for (;;) {
        const std::size_t length = read(buffer.data(), buffer.size());
        if (length == 0) return std::nullopt;
        // A result that fills the buffer exactly has been cut short.
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        if (buffer.size() >= limit) return std::nullopt;
        buffer.resize(std::min(limit, std::max(buffer.size() * 2, length + 1)));
    }
}
