#pragma once
#include <filesystem>

// Whether nothing at all exists at `path`: false when something does, or
// when the system cannot tell (access denied, a device error).
inline bool is_missing(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found;
}
