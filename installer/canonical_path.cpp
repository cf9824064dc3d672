#include "installer/canonical_path.hpp"

#include <windows.h>

#include <vector>

#include "common/paths.hpp"
#include "installer/file_queries.hpp"

namespace {

[[noreturn]] void fail(const std::wstring& path, DWORD error) { throw_filesystem_error("weakly_canonical", path, error); }

std::wstring final_path(HANDLE file, const std::wstring& path) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = ::GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) fail(path, ::GetLastError());
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(length + 1);
    }
    if (buffer.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + buffer.substr(8);
    if (buffer.rfind(L"\\\\?\\", 0) == 0) return buffer.substr(4);
    return buffer;
}

// Appends `tail` (outermost first) to `base`, resolving "." and ".."
// lexically without climbing above the root.
std::wstring append_normalised(std::wstring base, const std::vector<std::wstring>& tail) {
    for (const std::wstring& element : tail) {
        if (element.empty() || element == L".") continue;
        if (element == L"..") {
            base = paths::parent(base);
            continue;
        }
        base = paths::child(base, element);
    }
    return base;
}

}  // namespace

std::wstring weakly_canonical_path(const std::wstring& path) {
    std::wstring existing = path;
    std::vector<std::wstring> missing;  // innermost first
    for (;;) {
        file_handle file = open_for_query(existing);
        if (file) return append_normalised(final_path(file.get(), path), {missing.rbegin(), missing.rend()});
        const DWORD error = ::GetLastError();
        const std::wstring up = paths::parent(existing);
        if (!is_not_found(error) || up == existing || up.empty()) {
            fail(path, error);
        }
        missing.emplace_back(paths::file_name(existing));
        existing = up;
    }
}
