// The listing and canonical forms go through the Windows file APIs, so these
// run under Wine only.
#include <windows.h>
#include <gtest/gtest.h>

#include "tests/common/expect_error.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "installer/patch/windows/canonical_path.hpp"
#include "installer/patch/windows/patch_files.hpp"

namespace {

namespace fs = std::filesystem;

class patch_files : public ::testing::Test {
protected:
    fs::path archives = fs::path(TEST_SCRATCH_DIR) / L"listing" / L"archives";
    void SetUp() override {
        fs::remove_all(archives.parent_path());
        fs::create_directories(archives);
    }
    void touch(const fs::path& relative, const std::string& content = "x") {
        fs::create_directories((archives / relative).parent_path());
        std::ofstream(archives / relative, std::ios::binary) << content;
    }
    std::wstring full(const wchar_t* relative) { return (archives / relative).wstring(); }
};

TEST_F(patch_files, lists_every_file_depth_first_except_config_json) {
    touch(L"config.json");
    touch(L"a.txt");
    touch(L"data\\b.bin");
    touch(L"data\\config.json");
    touch(L"data\\deep\\c.dat");
    touch(L"data\\deep\\Config.JSON");
    touch(L"other\\d.txt");
    fs::create_directories(archives / L"empty" / L"emptier");

    std::vector<std::wstring> files;
    for (const patch_file& file : collect_patch_files(archives.wstring())) {
        EXPECT_EQ(file.path, full(file.relative.c_str()));
        EXPECT_FALSE(file.is_link);
        files.push_back(file.path);
    }
    std::vector<std::wstring> expected = {full(L"a.txt"), full(L"data\\b.bin"), full(L"data\\deep\\c.dat"),
                                          full(L"data\\deep\\Config.JSON"), full(L"other\\d.txt")};
    std::vector<std::wstring> sorted = files;
    std::sort(sorted.begin(), sorted.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sorted, expected);

    // A folder's files come together, right where the walk met the folder.
    auto first_in = [&](const std::wstring& prefix) {
        return std::find_if(files.begin(), files.end(), [&](const std::wstring& f) { return f.rfind(prefix, 0) == 0; });
    };
    auto deep = first_in(full(L"data\\deep\\"));
    ASSERT_NE(deep, files.end());
    EXPECT_EQ((deep + 1)->rfind(full(L"data\\deep\\"), 0), 0u);
}

TEST_F(patch_files, each_file_carries_the_size_and_time_a_copy_must_keep) {
    touch(L"data\\five.bin", "12345");
    touch(L"empty.bin", "");
    const FILETIME set_time{0x12345678, 0x01D00000};
    {
        HANDLE file = ::CreateFileW(full(L"data\\five.bin").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                    0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(::SetFileTime(file, nullptr, nullptr, &set_time));
        ::CloseHandle(file);
    }
    std::vector<patch_file> files = collect_patch_files(archives.wstring());
    std::sort(files.begin(), files.end(),
              [](const patch_file& a, const patch_file& b) { return a.relative < b.relative; });
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].relative, L"data\\five.bin");
    EXPECT_EQ(files[0].stamp, (file_stamp{5, (std::uint64_t{set_time.dwHighDateTime} << 32) | set_time.dwLowDateTime}));
    EXPECT_EQ(files[1].relative, L"empty.bin");
    EXPECT_EQ(files[1].stamp.size, 0u);
}

TEST_F(patch_files, an_empty_folder_lists_nothing_and_a_missing_one_is_an_error) {
    EXPECT_TRUE(collect_patch_files(archives.wstring()).empty());
    expect_error_that<fs::filesystem_error>(
        [&] { collect_patch_files((archives / L"missing").wstring()); },
        [&](const fs::filesystem_error& e) {
            EXPECT_NE(std::string(e.what()).find("recursive_directory_iterator::recursive_directory_iterator"),
                      std::string::npos)
                << e.what();
            EXPECT_EQ(e.path1(), archives / L"missing");
        });
}

TEST_F(patch_files, canonical_forms_resolve_what_exists_and_normalise_the_rest) {
    touch(L"data\\b.bin");
    const std::wstring folder = weakly_canonical_path(archives.wstring());
    EXPECT_EQ(weakly_canonical_path((archives / L"data\\b.bin").wstring()), folder + L"\\data\\b.bin");
    EXPECT_EQ(weakly_canonical_path(archives.wstring() + L"\\data\\.\\..\\data\\b.bin"), folder + L"\\data\\b.bin");
    EXPECT_EQ(weakly_canonical_path(archives.wstring() + L"\\not\\there\\..\\x.bin"), folder + L"\\not\\x.bin");
    EXPECT_EQ(folder.rfind(L"\\\\?\\", 0), std::wstring::npos);
}

}  // namespace
