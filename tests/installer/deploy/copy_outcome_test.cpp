#include "installer/deploy/copy_outcome.hpp"

#include <gtest/gtest.h>

namespace {

// Every way a copy can go wrong, alone and together: only a shell call that
// reported success, aborted nothing and left every file verified counts.
TEST(copy_succeeded, needs_a_clean_report_and_every_file_verified) {
    struct outcome_case {
        const char* name;
        bool ran;
        int result;
        bool aborted;
        bool error;
        bool unverified;
        bool succeeded;
    };
    const outcome_case cases[] = {
        {"clean", true, 0, false, false, false, true},
        {"shell error", true, 0x4c7, false, false, false, false},
        {"aborted with result 0", true, 0, true, false, false, false},
        {"a file missing after a clean report", true, 0, false, false, true, false},
        {"error and aborted", true, 0x70, true, false, false, false},
        {"aborted and a file missing", true, 0, true, false, true, false},
        {"everything wrong", true, 0x4c7, true, true, true, false},
        {"an error after a clean report", true, 0, false, true, false, false},
        {"never ran", false, 0, false, false, false, false},
        {"never ran: setting aside failed", false, 0, false, true, false, false},
    };
    for (const outcome_case& c : cases) {
        SCOPED_TRACE(c.name);
        copy_attempt attempt;
        if (c.ran) attempt.shell = shell_report{c.result, c.aborted};
        if (c.error) attempt.error = L"boom";
        if (c.unverified) attempt.unverified = L"C:\\Game\\a.pak";
        EXPECT_EQ(copy_succeeded(attempt), c.succeeded);
        if (!c.succeeded) {
            EXPECT_NE(describe_copy_failure(attempt), L"nothing went wrong");
        }
    }
}

TEST(describe_copy_failure, names_the_first_cause) {
    copy_attempt attempt;
    attempt.shell = shell_report{0x4c7, true};
    EXPECT_EQ(describe_copy_failure(attempt), L"Windows reported error 0x000004c7");
    attempt.shell = shell_report{0, true};
    EXPECT_EQ(describe_copy_failure(attempt), L"it was cancelled, or a file was skipped");
    attempt.shell = shell_report{0, false};
    attempt.unverified = L"C:\\Game\\a.pak";
    EXPECT_EQ(describe_copy_failure(attempt), L"a file did not arrive complete");
    attempt.error = L"the original of this file could not be set aside: Access denied";
    EXPECT_EQ(describe_copy_failure(attempt), *attempt.error);
}

TEST(stamps_match, wants_the_same_size_and_time_within_fat_precision) {
    const std::uint64_t second = 10'000'000;
    const file_stamp source{1000, 500 * second};
    EXPECT_TRUE(stamps_match(source, source));
    EXPECT_TRUE(stamps_match(source, {1000, 502 * second}));
    EXPECT_TRUE(stamps_match(source, {1000, 498 * second}));
    EXPECT_FALSE(stamps_match(source, {1000, 502 * second + 1}));
    EXPECT_FALSE(stamps_match(source, {1000, 498 * second - 1}));
    EXPECT_FALSE(stamps_match(source, {999, 500 * second}));
    EXPECT_FALSE(stamps_match(source, {0, 0}));
}

// Status 4 promises the game is as it was: any leftover at all, an original
// still set aside or only a new file of the patch, makes it status 5.
TEST(status_after_put_back, is_put_back_only_when_nothing_is_left) {
    struct left_case {
        const char* name;
        std::vector<std::wstring> originals_not_restored;
        std::vector<std::wstring> not_removed;
        deploy_status status;
    };
    const left_case cases[] = {
        {"nothing left", {}, {}, deploy_status::put_back},
        {"an original still set aside", {L"C:\\Game\\a.dll.before-patch"}, {}, deploy_status::not_put_back},
        {"only a new file left", {}, {L"C:\\Game\\new.dll"}, deploy_status::not_put_back},
        {"only a new folder left", {}, {L"C:\\Game\\levels"}, deploy_status::not_put_back},
        {"both", {L"C:\\Game\\a.dll.before-patch"}, {L"C:\\Game\\a.dll"}, deploy_status::not_put_back},
    };
    for (const left_case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(status_after_put_back({c.originals_not_restored, c.not_removed}), c.status);
    }
}

}  // namespace
