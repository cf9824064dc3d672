#include "installer/deploy/windows/sha256_file.hpp"

#include <windows.h>
#include <bcrypt.h>

#include <memory>
#include <stdexcept>

#include "common/paths.hpp"
#include "common/unique_handle.hpp"
#include "common/windows/file_queries.hpp"
#include "common/windows/win_handles.hpp"
#include "installer/deploy/check_problem.hpp"
#include "installer/patch/expectations.hpp"

namespace {

struct hash_handle_traits {
    using pointer = BCRYPT_HASH_HANDLE;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::BCryptDestroyHash(h); }
};
using hash_handle = unique_handle<hash_handle_traits>;

struct algorithm_traits {
    using pointer = BCRYPT_ALG_HANDLE;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::BCryptCloseAlgorithmProvider(h, 0); }
};
using algorithm_handle = unique_handle<algorithm_traits>;

// Opened once for the run: opening a provider costs more than a small file's hash.
BCRYPT_ALG_HANDLE sha256_provider() {
    static const algorithm_handle provider = [] {
        BCRYPT_ALG_HANDLE opened = nullptr;
        if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&opened, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
            throw std::runtime_error("the system's SHA-256 cannot be used");
        }
        return algorithm_handle(opened);
    }();
    return provider.get();
}

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
    BCRYPT_HASH_HANDLE created = nullptr;
    if (!BCRYPT_SUCCESS(::BCryptCreateHash(sha256_provider(), &created, nullptr, 0, nullptr, 0, 0))) {
        throw std::runtime_error("the system's SHA-256 cannot be used");
    }
    const hash_handle hash(created);
    constexpr DWORD block = 1 << 20;
    const auto buffer = std::make_unique<unsigned char[]>(block);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), buffer.get(), block, &read, nullptr)) cannot_read(path, ::GetLastError());
        if (read == 0) break;
        if (!BCRYPT_SUCCESS(::BCryptHashData(hash.get(), buffer.get(), read, 0))) {
            throw std::runtime_error("the system's SHA-256 failed");
        }
    }
    unsigned char digest[32];
    if (!BCRYPT_SUCCESS(::BCryptFinishHash(hash.get(), digest, sizeof digest, 0))) {
        throw std::runtime_error("the system's SHA-256 failed");
    }
    return hex_of(digest, sizeof digest);
}
