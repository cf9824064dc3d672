#include "common/paths.hpp"

#include <gtest/gtest.h>

namespace {

struct binary_case {
    const wchar_t* left;
    const wchar_t* right;
    const wchar_t* expected;
};

TEST(paths, join_follows_windows_rules) {
    const binary_case cases[] = {
        {L"C:\\game", L"archives", L"C:\\game\\archives"},
        {L"C:\\game\\", L"archives", L"C:\\game\\archives"},
        {L"C:/Steam", L"steamapps", L"C:/Steam\\steamapps"},
        {L"C:/Steam/", L"steamapps", L"C:/Steam/steamapps"},
        {L"C:", L"archives", L"C:archives"},
        {L"C:\\", L"archives", L"C:\\archives"},
        {L"", L"steamapps", L"steamapps"},
        {L"C:\\game", L"", L"C:\\game\\"},
        {L"C:\\game\\", L"", L"C:\\game\\"},
        {L"C:\\game", L"D:\\other", L"D:\\other"},
        {L"C:\\game", L"D:relative", L"D:relative"},
        {L"C:\\game", L"\\\\server\\share\\x", L"\\\\server\\share\\x"},
        {L"C:\\game", L"\\rooted\\x", L"C:\\rooted\\x"},
        {L"C:\\game", L"/rooted", L"C:/rooted"},
        {L"\\\\server\\share", L"steamapps", L"\\\\server\\share\\steamapps"},
        {L"\\\\server\\share", L"\\x", L"\\\\server\\x"},
        {L"relative", L"steamapps\\common", L"relative\\steamapps\\common"},
        {L"C:\\game", L"C:sub", L"C:\\game\\sub"},
    };
    for (const binary_case& c : cases) {
        SCOPED_TRACE(testing::Message() << "join(" << c.left << ", " << c.right << ")");
        EXPECT_EQ(paths::join(c.left, c.right), c.expected);
    }
}

TEST(paths, child_takes_a_name_as_it_is) {
    const binary_case cases[] = {
        {L"C:\\game", L"a.txt", L"C:\\game\\a.txt"},
        {L"C:\\game\\", L"a.txt", L"C:\\game\\a.txt"},
        {L"C:\\game", L"a:b.txt", L"C:\\game\\a:b.txt"},  // join would read a drive here
        {L"C:\\game", L"C:", L"C:\\game\\C:"},
        {L"", L"a.txt", L"a.txt"},
        {L"C:", L"a.txt", L"C:a.txt"},
        {L"C:\\game", L"data\\a:b.txt", L"C:\\game\\data\\a:b.txt"},
    };
    for (const binary_case& c : cases) {
        SCOPED_TRACE(testing::Message() << "child(" << c.left << ", " << c.right << ")");
        EXPECT_EQ(paths::child(c.left, c.right), c.expected);
    }
}

TEST(paths, parent_never_cuts_into_the_root) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\Games\\Patch\\patch_installer.exe", L"C:\\Games\\Patch"},
        {L"C:\\patch_installer.exe", L"C:\\"},
        {L"C:\\\\double\\\\sep.exe", L"C:\\\\double"},
        {L"C:/mixed\\seps/x.exe", L"C:/mixed\\seps"},
        {L"C:\\", L"C:\\"},
        {L"C:", L"C:"},
        {L"\\\\server\\share\\x.exe", L"\\\\server\\share"},
        {L"\\\\server\\x.exe", L"\\\\server\\"},
        {L"C:\\folder\\", L"C:\\folder"},
        {L"x.exe", L""},
    };
    for (const auto& [path, expected] : cases) {
        SCOPED_TRACE(testing::Message() << "parent(" << path << ")");
        EXPECT_EQ(paths::parent(path), expected);
    }
}

TEST(paths, file_name_is_the_last_component) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\Games\\Game.exe", L"Game.exe"},
        {L"C:/Games/Game.exe", L"Game.exe"},
        {L"Game.exe", L"Game.exe"},
        {L"C:Game.exe", L"Game.exe"},
        {L"C:\\", L""},
        {L"\\\\server", L""},
        {L"C:\\Games\\", L""},
    };
    for (const auto& [path, expected] : cases) {
        SCOPED_TRACE(testing::Message() << "file_name(" << path << ")");
        EXPECT_EQ(paths::file_name(path), expected);
    }
}

TEST(paths, lexically_relative_drops_shared_elements) {
    const binary_case cases[] = {
        {L"C:\\p\\archives\\data\\a.bin", L"C:\\p\\archives", L"data\\a.bin"},
        {L"C:\\p\\archives\\a.bin", L"C:\\p\\archives\\", L"a.bin"},
        {L"C:\\p\\secret.txt", L"C:\\p\\archives", L"..\\secret.txt"},
        {L"C:\\elsewhere\\x", L"C:\\p\\archives", L"..\\..\\elsewhere\\x"},
        {L"D:\\p\\archives\\a.bin", L"C:\\p\\archives", L""},
        {L"\\\\host\\share\\a", L"C:\\p", L""},
        {L"C:\\p\\archives", L"C:\\p\\archives", L""},
        {L"C:\\p\\Archives\\a", L"C:\\p\\archives", L"..\\Archives\\a"},
    };
    for (const binary_case& c : cases) {
        SCOPED_TRACE(testing::Message() << "relative(" << c.left << ", " << c.right << ")");
        EXPECT_EQ(paths::lexically_relative(c.left, c.right), c.expected);
    }
}

TEST(paths, lexically_normal_resolves_dots_as_text_and_never_climbs_above_the_root) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:/Games/./a/../b", L"C:\\Games\\b"},
        {L"C:\\e2e\\archives\\data\\..", L"C:\\e2e\\archives"},
        {L"C:\\..\\..\\x", L"C:\\x"},
        {L"C:\\a\\\\b\\", L"C:\\a\\b"},
        {L"\\\\server\\share\\x\\..\\y", L"\\\\server\\share\\y"},
        {L"a\\..\\..\\b", L"..\\b"},
        {L"C:", L"C:"},
    };
    for (const auto& [path, expected] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(paths::lexically_normal(path), expected);
    }
}

TEST(paths, long_path_form_lifts_the_limit_only_where_it_is_passed) {
    const std::wstring deep(300, L'd');
    EXPECT_EQ(paths::long_path_form(L"C:\\Games\\a.txt"), L"C:\\Games\\a.txt");
    EXPECT_EQ(paths::long_path_form(L"C:/Games/" + deep), L"\\\\?\\C:\\Games\\" + deep);
    EXPECT_EQ(paths::long_path_form(L"\\\\server\\share\\" + deep), L"\\\\?\\UNC\\server\\share\\" + deep);
    EXPECT_EQ(paths::long_path_form(L"\\\\?\\C:\\" + deep), L"\\\\?\\C:\\" + deep);
}

}  // namespace
