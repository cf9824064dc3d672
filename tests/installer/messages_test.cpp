#include "installer/messages.hpp"

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

}  // namespace
