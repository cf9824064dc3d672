#include "installer/patch/windows/canonical_path.hpp"

#include <windows.h>

#include <optional>
#include <vector>

#include "common/growing_buffer.hpp"
#include "common/paths.hpp"
#include "common/windows/file_queries.hpp"

namespace {

[[noreturn]] void fail(const std::wstring& path, DWORD error) {
    throw_filesystem_error("weakly_canonical", path, error);
}

std::wstring final_path(HANDLE file, const std::wstring& path) {
    std::optional<std::wstring> found = read_growing(MAX_PATH, 32768, [file](wchar_t* buffer, std::size_t size) {
        return static_cast<std::size_t>(::GetFinalPathNameByHandleW(file, buffer, static_cast<DWORD>(size),
                                                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS));
    });
    if (!found) fail(path, ::GetLastError());
    const std::wstring& buffer = *found;
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
