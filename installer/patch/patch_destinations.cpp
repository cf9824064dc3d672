#include "installer/patch/patch_destinations.hpp"

#include <filesystem>
#include <system_error>

#include "common/paths.hpp"

std::wstring place_below_archives(const std::wstring& listed_path, const std::wstring& canonical_file,
                                  const std::wstring& canonical_archives) {
    const std::wstring relative = paths::lexically_relative(canonical_file, canonical_archives);
    const paths::split_path parts = paths::split(relative);
    const bool escapes = relative.empty() || !parts.root_name.empty() || !parts.root_directory.empty() ||
                         relative == L".." || relative.rfind(L"..\\", 0) == 0;
    if (escapes) {
        throw std::filesystem::filesystem_error(
            "this patch file resolves to a place outside the archives folder and would be copied outside the "
            "game folder",
            std::filesystem::path(listed_path), std::make_error_code(std::errc::invalid_argument));
    }
    return relative;
}
