#include "installer/deploy/outcome.hpp"

#include <gtest/gtest.h>

namespace {

// Status 4 promises the game is as it was: any leftover at all, a file still
// waiting aside or only a new file of the patch, makes it status 5.
TEST(status_after_put_back, is_put_back_only_when_nothing_is_left) {
    struct left_case {
        const char* name;
        std::vector<std::wstring> not_restored;
        std::vector<std::wstring> not_removed;
        change_status status;
    };
    const left_case cases[] = {
        {"nothing left", {}, {}, change_status::put_back},
        {"an original still set aside", {L"C:\\Game\\a.dll.before-patch"}, {}, change_status::not_put_back},
        {"only a new file left", {}, {L"C:\\Game\\new.dll"}, change_status::not_put_back},
        {"only a new folder left", {}, {L"C:\\Game\\levels"}, change_status::not_put_back},
        {"both", {L"C:\\Game\\a.dll.before-patch"}, {L"C:\\Game\\a.dll"}, change_status::not_put_back},
    };
    for (const left_case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(status_after_put_back({c.not_restored, c.not_removed}), c.status);
    }
}

TEST(judge_arrival, wants_the_size_and_asks_the_contents_when_only_the_time_differs) {
    const std::uint64_t second = 10'000'000;
    const file_stamp source{1000, 500 * second};
    const std::tuple<const char*, file_stamp, arrival> cases[] = {
        {"the same", source, arrival::complete},
        {"two seconds later (FAT)", {1000, 502 * second}, arrival::complete},
        {"two seconds earlier", {1000, 498 * second}, arrival::complete},
        {"just past two seconds", {1000, 502 * second + 1}, arrival::compare_contents},
        {"years away (a drive that cannot hold the time)", {1000, 5 * second}, arrival::compare_contents},
        {"one byte short", {999, 500 * second}, arrival::incomplete},
        {"empty", {0, 0}, arrival::incomplete},
    };
    for (const auto& [name, destination, expected] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(judge_arrival(source, destination), expected);
    }
}

}  // namespace
