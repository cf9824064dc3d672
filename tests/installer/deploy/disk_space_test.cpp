#include "installer/deploy/disk_space.hpp"

#include <gtest/gtest.h>

#include "installer/deploy/set_aside_name.hpp"

namespace {

TEST(space_needed, fills_whole_clusters) {
    EXPECT_EQ(space_needed({}, 4096), 0u);
    EXPECT_EQ(space_needed({0, 1, 4096, 4097}, 4096), 0u + 4096 + 4096 + 8192);
    EXPECT_EQ(space_needed({10, 20}, 0), 30u);
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

TEST(set_aside_name, says_what_the_file_is_and_counts_on_when_taken) {
    EXPECT_EQ(set_aside_name(L"C:\\Game\\game.exe", 1), L"C:\\Game\\game.exe.before-patch");
    EXPECT_EQ(set_aside_name(L"C:\\Game\\game.exe", 2), L"C:\\Game\\game.exe.before-patch-2");
    EXPECT_EQ(set_aside_name(L"C:\\Game\\game.exe", 17), L"C:\\Game\\game.exe.before-patch-17");
}

}  // namespace
