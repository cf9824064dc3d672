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
}

std::vector<std::wstring> numbered(const std::wstring& stem, int count) {
    std::vector<std::wstring> paths;
    for (int i = 1; i <= count; ++i) paths.push_back(stem + std::to_wstring(i));
    return paths;
}

// The parts of the boxes after the first change that only some outcomes
// have: the file named, the originals a success could not remove, and lists
// cut after five paths.
TEST(messages, boxes_after_the_copy_name_the_file_and_list_what_is_left) {
    copy_attempt shell_failed;
    shell_failed.shell = shell_report{0x4c7, false};
    copy_attempt set_aside_failed;
    set_aside_failed.error = L"the original of this file could not be set aside: Access denied";
    set_aside_failed.error_file = L"C:\\G\\a.dll";
    copy_attempt unverified;
    unverified.shell = shell_report{0, false};
    unverified.unverified = L"C:\\G\\b.pak";
    unverified.error_file = L"C:\\G\\not this one";

    const std::wstring put_back_tail =
        L"\n\nThe game folder is as it was before: what the patch had copied was removed, and every file it replaced "
        L"was put back.\n\nRun the patch again once the cause is removed: make sure the game's drive has room and that "
        L"no other program uses the game's files.";
    const std::wstring not_put_back_tail =
        L"\n\nClose every program that may use the game's files, then run the patch again to install it completely. "
        L"To go back instead, delete each file named like an original without \".before-patch\" and remove "
        L"\".before-patch\" from the original's name.";
    struct text_case {
        const char* name;
        std::wstring text;
        std::wstring expected;
    };
    const text_case cases[] = {
        {"installed, nothing left", installed_text({}), L"Patch installed. Have fun ;)"},
        {"installed, originals left", installed_text({{}, numbered(L"C:\\G\\o", 2)}),
         L"Patch installed. Have fun ;)\n\nThese original files, which the patch replaced, could not be removed; you "
         L"may delete them:\nC:\\G\\o1\nC:\\G\\o2"},
        {"installed, more than five left", installed_text({{}, numbered(L"o", 7)}),
         L"Patch installed. Have fun ;)\n\nThese original files, which the patch replaced, could not be removed; you "
         L"may delete them:\no1\no2\no3\no4\no5\nand 2 more"},
        {"put back, no file", copy_put_back_text(shell_failed),
         L"The patch could not be installed, because the copy failed: Windows reported error 0x000004c7." +
             put_back_tail},
        {"put back, the file that could not be set aside", copy_put_back_text(set_aside_failed),
         L"The patch could not be installed, because the copy failed: the original of this file could not be set "
         L"aside: Access denied.\n\nFile: C:\\G\\a.dll" +
             put_back_tail},
        {"put back, the file that did not arrive", copy_put_back_text(unverified),
         L"The patch could not be installed, because the copy failed: a file did not arrive complete.\n\nFile: "
         L"C:\\G\\b.pak" +
             put_back_tail},
        {"not put back, both lists, one cut", copy_not_put_back_text(unverified, {numbered(L"a", 6), {L"n1"}}),
         L"The patch could not be installed, because the copy failed: a file did not arrive complete.\n\nFile: "
         L"C:\\G\\b.pak\n\nThe game folder could not be put back as it was.\n\nYour original files are safe beside the "
         L"game's files, with \".before-patch\" added to their names:\na1\na2\na3\na4\na5\nand 1 more\n\nThese files or "
         L"folders of the patch could not be removed:\nn1" +
             not_put_back_tail},
        {"not put back, only new files", copy_not_put_back_text(shell_failed, {{}, numbered(L"n", 5)}),
         L"The patch could not be installed, because the copy failed: Windows reported error 0x000004c7.\n\nThe game "
         L"folder could not be put back as it was.\n\nThese files or folders of the patch could not be "
         L"removed:\nn1\nn2\nn3\nn4\nn5" +
             not_put_back_tail},
    };
    for (const text_case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.text, c.expected);
    }
}

}  // namespace
