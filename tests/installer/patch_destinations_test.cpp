#include "installer/patch_destinations.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(patch_destination, keeps_the_place_below_the_archives_folder) {
    struct destination_case {
        const wchar_t* canonical_file;
        const wchar_t* installation;
        const wchar_t* expected;
    };
    const destination_case cases[] = {
        {L"C:\\dl\\archives\\a.bin", L"D:\\Game", L"D:\\Game\\a.bin"},
        {L"C:\\dl\\archives\\data\\deep\\a.bin", L"D:\\Game", L"D:\\Game\\data\\deep\\a.bin"},
        {L"C:\\dl\\archives\\a.bin", L"D:\\Game\\", L"D:\\Game\\a.bin"},
        {L"C:\\dl\\archives\\a.bin", L"D:/Game/", L"D:/Game/a.bin"},
        {L"C:\\dl\\archives\\a.bin", L"D:", L"D:a.bin"},
        {L"C:\\dl\\archives\\..hidden", L"D:\\Game", L"D:\\Game\\..hidden"},
    };
    for (const destination_case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.canonical_file << " -> " << c.installation);
        EXPECT_EQ(patch_destination(L"listed", c.canonical_file, L"C:\\dl\\archives", c.installation), c.expected);
    }
}

TEST(patch_destination, refuses_files_that_resolve_outside_the_archives_folder) {
    const wchar_t* escapes[] = {
        L"C:\\dl\\secret.txt",           // a link to the folder above
        L"C:\\Windows\\system32\\x.dll",  // a link anywhere on the drive
        L"E:\\other\\volume.txt",         // another volume: no relative path at all
        L"\\\\server\\share\\x",
        L"C:\\dl\\archives",              // the folder itself
        L"C:\\dl\\Archives\\a.bin",       // another folder, as the file system spells it
    };
    for (const wchar_t* target : escapes) {
        SCOPED_TRACE(testing::Message() << target);
        try {
            patch_destination(L"C:\\dl\\archives\\link.txt", target, L"C:\\dl\\archives", L"D:\\Game");
            ADD_FAILURE() << "accepted";
        } catch (const std::filesystem::filesystem_error& e) {
            EXPECT_EQ(e.path1(), std::filesystem::path(L"C:\\dl\\archives\\link.txt"));
        }
    }
}

TEST(multi_string, ends_each_path_with_nul_and_the_list_with_two_more) {
    EXPECT_EQ(multi_string({}), std::wstring(L"\0\0", 2));
    EXPECT_EQ(multi_string({L"C:\\a"}), std::wstring(L"C:\\a\0\0\0", 7));
    EXPECT_EQ(multi_string({L"a", L"bc", L"d"}), std::wstring(L"a\0bc\0d\0\0\0", 9));
}

}  // namespace
