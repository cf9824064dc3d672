#include "installer/deploy/shell_copy_request.hpp"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

// The record the shell gets: a copy of every pair, each to its own
// destination, answering every question with Yes to All and nothing else
// (no silence, no renaming on collision, no undo).
TEST(shell_copy_request, copies_pairs_and_asks_the_player_nothing) {
    const shell_copy_request request =
        make_shell_copy_request({L"C:\\P\\archives\\a.txt", L"C:\\P\\archives\\d\\b.txt"},
                                {L"C:\\Game\\a.txt", L"C:\\Game\\d\\b.txt"});
    EXPECT_EQ(request.function, 0x0002u);
    EXPECT_EQ(request.flags, 0x0011u);
    EXPECT_EQ(request.from, L"C:\\P\\archives\\a.txt\0C:\\P\\archives\\d\\b.txt\0\0\0"s);
    EXPECT_EQ(request.to, L"C:\\Game\\a.txt\0C:\\Game\\d\\b.txt\0\0\0"s);
    const shell_copy_request empty = make_shell_copy_request({}, {});
    EXPECT_EQ(empty.from, std::wstring(2, L'\0'));
    EXPECT_EQ(empty.to, std::wstring(2, L'\0'));
}

TEST(multi_string, ends_each_path_with_nul_and_the_list_with_two_more) {
    EXPECT_EQ(multi_string({}), std::wstring(L"\0\0", 2));
    EXPECT_EQ(multi_string({L"C:\\a"}), std::wstring(L"C:\\a\0\0\0", 7));
    EXPECT_EQ(multi_string({L"a", L"bc", L"d"}), std::wstring(L"a\0bc\0d\0\0\0", 9));
}

}  // namespace
