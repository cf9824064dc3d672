#include "installer/patch/patch_destinations.hpp"

#include <gtest/gtest.h>

#include "tests/common/expect_error.hpp"

#include <filesystem>

namespace {

TEST(place_below_archives, keeps_the_place_below_the_archives_folder) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\dl\\archives\\a.bin", L"a.bin"},
        {L"C:\\dl\\archives\\data\\deep\\a.bin", L"data\\deep\\a.bin"},
        {L"C:\\dl\\archives\\..hidden", L"..hidden"},
    };
    for (const auto& [canonical_file, expected] : cases) {
        SCOPED_TRACE(testing::Message() << canonical_file);
        EXPECT_EQ(place_below_archives(L"listed", canonical_file, L"C:\\dl\\archives"), expected);
        EXPECT_EQ(place_below_archives(L"listed", canonical_file, L"C:\\dl\\archives\\"), expected);
    }
}

TEST(place_below_archives, refuses_files_that_resolve_outside_the_archives_folder) {
    const wchar_t* escapes[] = {
        L"C:\\dl\\secret.txt",            // a link to the folder above
        L"C:\\Windows\\system32\\x.dll",  // a link anywhere on the drive
        L"E:\\other\\volume.txt",         // another volume: no relative path at all
        L"\\\\server\\share\\x",
        L"C:\\dl\\archives",         // the folder itself
        L"C:\\dl\\Archives\\a.bin",  // another folder, as the file system spells it
    };
    for (const wchar_t* target : escapes) {
        SCOPED_TRACE(testing::Message() << target);
        expect_error_that<std::filesystem::filesystem_error>(
            [&] { place_below_archives(L"C:\\dl\\archives\\link.txt", target, L"C:\\dl\\archives"); },
            [](const std::filesystem::filesystem_error& e) {
                EXPECT_EQ(e.path1(), std::filesystem::path(L"C:\\dl\\archives\\link.txt"));
            });
    }
}


}  // namespace
