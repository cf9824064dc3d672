#include "installer/run/messages.hpp"

#include <gtest/gtest.h>

namespace {

TEST(messages, templates_take_the_game_name_as_written) {
    EXPECT_EQ(fill_game_name(caption_template, "Sample Game"), "Sample Game patch installer");
    EXPECT_EQ(fill_game_name(caption_template, ""), " patch installer");
    EXPECT_EQ(fill_game_name(game_running_template, "A {} B"), "Please close A {} B before installing the patch.");
    EXPECT_EQ(fill_game_name(game_not_found_template, "\xC3\x86"),
              "This patch requires \xC3\x86. Please install it first.");
}

TEST(messages, run_failure_names_step_file_and_error_then_advises) {
    EXPECT_EQ(run_failure_text(L"reading the configuration", L"C:\\a\\config.json", L"boom", L"Do this."),
              L"The patch could not be installed: reading the configuration failed.\n\n"
              L"File: C:\\a\\config.json\n\nError: boom\n\nNothing was copied; the game is unchanged.\n\nDo this.");
    EXPECT_EQ(run_failure_text(L"checking", L"", L"boom", L""),
              L"The patch could not be installed: checking failed.\n\nError: boom\n\n"
              L"Nothing was copied; the game is unchanged.");
    // A path as the registry gave it, with both separators, is shown with one.
    EXPECT_EQ(run_failure_text(L"searching", L"c:/program files (x86)/steam\\steamapps\\libraryfolders.vdf",
                               L"a/b", L""),
              L"The patch could not be installed: searching failed.\n\nFile: c:\\program files "
              L"(x86)\\steam\\steamapps\\libraryfolders.vdf\n\nError: a/b\n\nNothing was copied; the game is "
              L"unchanged.");
}

std::vector<std::wstring> numbered(const std::wstring& stem, int count) {
    std::vector<std::wstring> paths;
    for (int i = 1; i <= count; ++i) paths.push_back(stem + std::to_wstring(i));
    return paths;
}

// The parts of the boxes after the first change that only some outcomes
// have: the file named, what a success could not delete, what waits aside
// (originals apart from files of the patch), and lists cut after five paths.
TEST(messages, boxes_after_the_first_change_name_the_file_and_list_what_is_left) {
    const change_failure shell_failed{failure_kind::shell_failed, L"", 0x4c7, L""};
    const change_failure set_aside_failed{failure_kind::set_aside_failed, L"C:\\G\\a.dll", 0, L"Access denied"};
    const change_failure unverified{failure_kind::not_arrived, L"C:\\G\\b.pak", 0, L""};

    const std::wstring put_back_tail =
        L"\n\nThe game folder is as it was before: what the patch had copied was removed, and every file it replaced "
        L"was put back.\n\nRun the patch again once the cause is removed: make sure the game's drive has room and that "
        L"no other program uses the game's files.";
    const std::wstring not_put_back_tail =
        L"\n\nClose every program that may use the game's files, then run the patch again: it first puts back what "
        L"is left, as it was before.";
    struct text_case {
        const char* name;
        std::wstring text;
        std::wstring expected;
    };
    const text_case cases[] = {
        {"installed, nothing left", installed_text({}), L"Patch installed. Have fun ;)"},
        {"installed, files left", installed_text({{}, numbered(L"C:\\G\\o", 2)}),
         L"Patch installed. Have fun ;)\n\nThese files, which the patch no longer needs, could not be removed; you "
         L"may delete them:\nC:\\G\\o1\nC:\\G\\o2"},
        {"installed, more than five left", installed_text({{}, numbered(L"o", 7)}),
         L"Patch installed. Have fun ;)\n\nThese files, which the patch no longer needs, could not be removed; you "
         L"may delete them:\no1\no2\no3\no4\no5\nand 2 more"},
        {"put back, no file", copy_put_back_text(shell_failed),
         L"The patch could not be installed, because the copy failed: Windows reported error 0x000004c7." +
             put_back_tail},
        {"put back, the drive full", copy_put_back_text({failure_kind::out_of_room, L"", 0x4c7, L"", 1288 * 1024}),
         L"The patch could not be installed, because the copy failed: the game's drive ran out of room (the patch "
         L"needs 1.3 MB there)." +
             put_back_tail},
        {"put back, the drive out of entries", copy_put_back_text({failure_kind::out_of_entries, L"", 0x4c7, L"", 5}),
         L"The patch could not be installed, because the copy failed: the game's drive ran out of room for new files "
         L"and folders, though it may have free space (the patch makes 5 of them there)." +
             put_back_tail},
        {"put back, the file that could not be set aside", copy_put_back_text(set_aside_failed),
         L"The patch could not be installed, because the copy failed: the original of this file could not be set "
         L"aside: Access denied.\n\nFile: C:\\G\\a.dll" +
             put_back_tail},
        {"put back, a file named with both separators",
         copy_put_back_text({failure_kind::not_arrived, L"D:/Games/Sample Game\\b.pak"}),
         L"The patch could not be installed, because the copy failed: a file did not arrive complete.\n\nFile: "
         L"D:\\Games\\Sample Game\\b.pak" +
             put_back_tail},
        {"put back, the file that did not arrive", copy_put_back_text(unverified),
         L"The patch could not be installed, because the copy failed: a file did not arrive complete.\n\nFile: "
         L"C:\\G\\b.pak" +
             put_back_tail},
        {"not put back, originals cut after five, a file of the patch aside, one not removed",
         copy_not_put_back_text(unverified,
                                {{L"a1.before-patch", L"a2.before-patch", L"a3.before-patch", L"a4.before-patch",
                                  L"a5.before-patch", L"a6.before-patch", L"u.while-patching"},
                                 {L"n1"}}),
         L"The patch could not be installed, because the copy failed: a file did not arrive complete.\n\nFile: "
         L"C:\\G\\b.pak\n\nThe game folder could not be put back as it was.\n\nYour original files are safe beside the "
         L"game's files, with \".before-patch\" added to their names:\na1.before-patch\na2.before-patch\na3.before-patch"
         L"\na4.before-patch\na5.before-patch\nand 1 more\n\nThese files of the patch wait beside their places, with "
         L"\".while-patching\" added to their names:\nu.while-patching\n\nThese files or folders of the patch could not "
         L"be removed:\nn1" +
             not_put_back_tail},
        {"not put back, only new files", copy_not_put_back_text(shell_failed, {{}, numbered(L"n", 5)}),
         L"The patch could not be installed, because the copy failed: Windows reported error 0x000004c7.\n\nThe game "
         L"folder could not be put back as it was.\n\nThese files or folders of the patch could not be "
         L"removed:\nn1\nn2\nn3\nn4\nn5" +
             not_put_back_tail},
        {"removal put back", removal_put_back_text(set_aside_failed),
         L"The patch could not be removed: the original of this file could not be set aside: Access denied.\n\nFile: "
         L"C:\\G\\a.dll\n\nThe game folder is as it was before: the patch is still installed.\n\nRun the remover again "
         L"once the cause is removed: make sure that no other program uses the game's files."},
        {"a recovery before the run", with_recovery_note(installed_text({})),
         L"Patch installed. Have fun ;)\n\nAn earlier run of a patch on this game had been interrupted; what it had "
         L"changed was undone first."},
    };
    for (const text_case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.text, c.expected);
    }
}

TEST(describe_bytes, rounds_needed_up_and_free_down) {
    const std::tuple<std::uint64_t, rounding, const wchar_t*> cases[] = {
        {0, rounding::up, L"0 bytes"},
        {1023, rounding::down, L"1023 bytes"},
        {1024, rounding::up, L"1.0 KB"},
        {1025, rounding::up, L"1.1 KB"},
        {1025, rounding::down, L"1.0 KB"},
        {10 * 1024 * 1024, rounding::up, L"10.0 MB"},
        {10 * 1024 * 1024 + 1, rounding::up, L"10.1 MB"},
        {10 * 1024 * 1024 - 1, rounding::down, L"9.9 MB"},
        {std::uint64_t{3} << 40, rounding::down, L"3.0 TB"},
        {std::uint64_t{5000} << 40, rounding::down, L"5000.0 TB"},
    };
    for (const auto& [bytes, direction, text] : cases) {
        SCOPED_TRACE(bytes);
        EXPECT_EQ(describe_bytes(bytes, direction), text);
    }
}

TEST(describe_path_fault, gives_the_numbers_of_a_path_too_long) {
    EXPECT_EQ(describe_path_fault(path_fault::too_long, 271, 259),
              L"is too long for the Windows copy: 271 characters, where 259 is the most");
}

}  // namespace
