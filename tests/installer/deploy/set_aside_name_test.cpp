#include "installer/deploy/set_aside_name.hpp"

#include <gtest/gtest.h>

namespace {

TEST(set_aside_name, says_what_the_file_is_counts_on_when_taken_and_always_fits) {
    const std::wstring long_name(250, L'n');
    struct name_case {
        std::wstring place;
        std::wstring_view suffix;
        unsigned attempt;
        std::wstring expected;
    };
    const name_case cases[] = {
        {L"game.exe", original_suffix, 1, L"game.exe.before-patch"},
        {L"bin\\game.dll", original_suffix, 2, L"bin\\game.dll.before-patch-2"},
        {L"bin\\game.dll", passing_suffix, 17, L"bin\\game.dll.while-patching-17"},
        // 242 characters and the suffix make 255: the longest that needs no cut.
        {std::wstring(242, L'a'), original_suffix, 1, std::wstring(242, L'a') + L".before-patch"},
        {L"data\\" + long_name, original_suffix, 1, L"data\\" + std::wstring(242, L'n') + L".before-patch"},
        {L"data\\" + long_name, original_suffix, 100, L"data\\" + std::wstring(238, L'n') + L".before-patch-100"},
    };
    for (const name_case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.place.size() << " " << c.attempt);
        const std::wstring name = set_aside_name(c.place, c.suffix, c.attempt);
        EXPECT_EQ(name, c.expected);
        EXPECT_LE(name.size() - name.rfind(L'\\') - 1, max_name_length);
    }
}

}  // namespace
