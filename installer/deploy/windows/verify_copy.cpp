#include "installer/deploy/windows/verify_copy.hpp"

#include <windows.h>

#include "installer/deploy/copy_outcome.hpp"

std::optional<std::wstring> first_unverified(const copy_plan& plan) {
    for (const planned_file& file : plan.files) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(file.destination.c_str(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return file.destination;
        }
        const file_stamp arrived{
            (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
            (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime};
        if (!stamps_match(file.source_stamp, arrived)) return file.destination;
    }
    return std::nullopt;
}
