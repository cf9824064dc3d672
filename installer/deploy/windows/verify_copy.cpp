#include <windows.h>

#include <cstring>
#include <memory>

#include "common/paths.hpp"
#include "installer/deploy/windows/stages.hpp"

namespace {

bool stamp_of(const std::wstring& path, file_stamp& stamp) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    stamp = {(std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
             (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime};
    return true;
}

file_handle open_to_read(const std::wstring& path) {
    return file_handle(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// Byte for byte, in large blocks.
bool same_contents(const std::wstring& source, const std::wstring& destination) {
    const file_handle a = open_to_read(source);
    const file_handle b = open_to_read(destination);
    if (!a || !b) return false;
    constexpr DWORD block = 1 << 20;
    const auto left = std::make_unique<char[]>(block);
    const auto right = std::make_unique<char[]>(block);
    for (;;) {
        DWORD read_left = 0, read_right = 0;
        if (!::ReadFile(a.get(), left.get(), block, &read_left, nullptr) ||
            !::ReadFile(b.get(), right.get(), block, &read_right, nullptr) || read_left != read_right) {
            return false;
        }
        if (read_left == 0) return true;
        if (std::memcmp(left.get(), right.get(), read_left) != 0) return false;
    }
}

}  // namespace

verification verify_copy(const std::wstring& game_folder, const run_plan& plan) {
    verification result;
    for (const planned_file& file : plan.files) {
        const std::wstring destination = paths::long_path_form(paths::child(game_folder, file.place));
        file_stamp arrived;
        bool complete = stamp_of(destination, arrived);
        if (complete) {
            switch (judge_arrival(file.source_stamp, arrived)) {
            case arrival::complete:
                break;
            case arrival::incomplete:
                complete = false;
                break;
            case arrival::compare_contents:
                complete = same_contents(paths::long_path_form(file.source), destination);
                break;
            }
        }
        if (!complete) {
            result.incomplete = paths::child(game_folder, file.place);
            return result;
        }
        // What the record holds is what is there, not what was read.
        if (arrived != file.source_stamp) result.other_times.push_back({file.place, arrived});
    }
    return result;
}
