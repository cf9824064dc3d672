#include <gtest/gtest.h>

#include "locate/install_folder_name.hpp"
#include "locate/unescape.hpp"

namespace {

TEST(unescape_doubled_backslashes, reduces_pairs_from_the_left) {
    const std::pair<const char*, const char*> cases[] = {
        {"D:\\\\Games", "D:\\Games"},
        {"\\\\\\\\server\\\\share", "\\\\server\\share"},
        {"a\\\\\\b", "a\\\\b"},  // three become two
        {"\\\\\\\\", "\\\\"},    // four become two
        {"single\\one", "single\\one"},
        {"trailing\\\\", "trailing\\"},
        {"", ""},
        {"C:/Steam", "C:/Steam"},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(unescape_doubled_backslashes(text), expected);
    }
}

TEST(is_plain_folder_name, accepts_one_folder_name_only) {
    for (const char* good : {"Tides of Wavelorn", "Game.v2", "...", "..x", "\xC3\xA9t\xC3\xA9", " spaced "}) {
        EXPECT_TRUE(is_plain_folder_name(good)) << good;
    }
    for (const char* bad : {"", ".", "..", "a\\b", "a/b", "\\rooted", "/rooted", "C:", "C:\\Games", "D:x",
                            "\\\\server\\share", "name:stream"}) {
        EXPECT_FALSE(is_plain_folder_name(bad)) << bad;
    }
    EXPECT_FALSE(is_plain_folder_name(std::string_view("Game\0x", 6)));
    EXPECT_FALSE(is_plain_folder_name(std::string_view("\0", 1)));
}

}  // namespace
