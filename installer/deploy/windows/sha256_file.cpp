#include "installer/deploy/windows/sha256_file.hpp"

#include <windows.h>

#include <memory>

#include "common/paths.hpp"
#include "common/sha256.hpp"
#include "common/windows/file_queries.hpp"
#include "common/windows/win_handles.hpp"
#include "installer/deploy/check_problem.hpp"

namespace {

[[noreturn]] void cannot_read(const std::wstring& path, DWORD error) {
    const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
    throw stopped_before_change({held ? check_problem_kind::in_use : check_problem_kind::file_cannot_be_checked, path,
                                 {}, path_fault::none, 0, 0, held ? std::wstring() : system_error_text(error)});
}

}  // namespace

std::optional<std::string> sha256_of_file(const std::wstring& path) {
    file_handle file(::CreateFileW(paths::long_path_form(path).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        if (is_not_found(error)) return std::nullopt;
        cannot_read(path, error);
    }
    return sha256_of_open_file(file.get(), path);
}

std::string sha256_of_open_file(void* file, const std::wstring& path) {
    // One buffer for the run: a fresh megabyte for each file costs more
    // than hashing it (Windows hands out and zeroes new pages each time).
    constexpr DWORD block = 1 << 20;
    static const std::unique_ptr<unsigned char[]> buffer(new unsigned char[block]);
    sha256_state hash;
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file, buffer.get(), block, &read, nullptr)) cannot_read(path, ::GetLastError());
        if (read == 0) break;
        sha256_add(hash, buffer.get(), read);
    }
    const std::array<unsigned char, 32> digest = sha256_finish(hash);
    return hex_of(digest.data(), digest.size());
}
