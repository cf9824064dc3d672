#include "installer/patch/path_rules.hpp"

#include <gtest/gtest.h>

namespace {

struct path_case {
    std::wstring path;
    path_fault fault;
};

TEST(find_path_fault, finds_what_the_shell_copy_cannot_take) {
    const std::wstring base = L"C:\\Games\\";
    const path_case cases[] = {
        {L"C:\\Games\\Tides of Wavelorn\\data\\a.pak", path_fault::none},
        {L"C:/Games/forward/slashes.txt", path_fault::none},
        {L"\\\\server\\share\\game\\a.pak", path_fault::none},
        {L"D:\\Spiele\\\u00C9t\u00E9\\\u65E5\u672C.txt", path_fault::none},
        {L"C:\\Games\\..\\Games\\.\\a.pak", path_fault::none},
        {L"C:\\Games\\Game\\", path_fault::none},
        {L"C:\\Games\\.hidden\\..dots", path_fault::none},
        {L"C:\\Games\\CONSOLE\\COM10\\LPT0\\nullable\\auxiliary.txt", path_fault::none},
        {base + std::wstring(max_file_path - base.size(), L'x'), path_fault::none},
        {base + std::wstring(max_file_path - base.size() + 1, L'x'), path_fault::too_long},
        {L"\\\\?\\C:\\Games\\a.pak", path_fault::device_form},
        {L"\\\\.\\C:\\Games\\a.pak", path_fault::device_form},
        {L"\\??\\C:\\Games\\a.pak", path_fault::device_form},
        {std::wstring(L"C:\\Games\\a\0b.pak", 16), path_fault::control_character},
        {L"C:\\Games\\tab\there.pak", path_fault::control_character},
        {L"C:\\Games\\line\nend.pak", path_fault::control_character},
        {L"C:\\Games\\gam?\\a.pak", path_fault::forbidden_character},
        {L"C:\\Games\\*.pak", path_fault::forbidden_character},
        {L"C:\\Games\\a<b>.pak", path_fault::forbidden_character},
        {L"C:\\Games\\\"quoted\".pak", path_fault::forbidden_character},
        {L"C:\\Games\\pipe|d.pak", path_fault::forbidden_character},
        {L"C:\\Games\\a.pak:stream", path_fault::misplaced_colon},
        {L"C:\\Games\\D:\\a.pak", path_fault::misplaced_colon},
        {L"\\\\server:1\\share\\a.pak", path_fault::misplaced_colon},
        {L"C:\\Games\\CON", path_fault::reserved_name},
        {L"C:\\Games\\nul.txt", path_fault::reserved_name},
        {L"C:\\Games\\Aux.tar.gz", path_fault::reserved_name},
        {L"C:\\Games\\prn\\a.pak", path_fault::reserved_name},
        {L"C:\\Games\\com1", path_fault::reserved_name},
        {L"C:\\Games\\LPT9.log", path_fault::reserved_name},
        {L"C:\\Games\\COM\u00B9.dat", path_fault::reserved_name},
        {L"C:\\Games\\con .txt", path_fault::reserved_name},
        {L"C:\\Games\\CONIN$", path_fault::reserved_name},
        {L"C:\\Games\\name.\\a.pak", path_fault::trailing_dot_or_space},
        {L"C:\\Games\\blank \\a.pak", path_fault::trailing_dot_or_space},
        {L"C:\\Games\\a.pak.", path_fault::trailing_dot_or_space},
    };
    for (const path_case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.path);
        EXPECT_EQ(find_path_fault(c.path), c.fault);
    }
}

TEST(find_path_fault, folders_the_copy_creates_have_a_shorter_limit) {
    const std::wstring folder = L"C:\\" + std::wstring(max_created_folder_path - 3, L'f');
    EXPECT_EQ(find_path_fault(folder, max_created_folder_path), path_fault::none);
    EXPECT_EQ(find_path_fault(folder + L"g", max_created_folder_path), path_fault::too_long);
    EXPECT_EQ(find_path_fault(folder + L"g"), path_fault::none);
}

TEST(find_name_fault, judges_one_name) {
    EXPECT_EQ(find_name_fault(L"a.pak"), path_fault::none);
    EXPECT_EQ(find_name_fault(std::wstring(300, L'n')), path_fault::none);
    EXPECT_EQ(find_name_fault(L"a:b"), path_fault::misplaced_colon);
    EXPECT_EQ(find_name_fault(L"NUL.pak"), path_fault::reserved_name);
    EXPECT_EQ(find_name_fault(L"what?"), path_fault::forbidden_character);
    EXPECT_EQ(find_name_fault(L"end."), path_fault::trailing_dot_or_space);
}

}  // namespace
