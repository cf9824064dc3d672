#include "installer/deploy/disk_space.hpp"

#include <gtest/gtest.h>


namespace {

TEST(space_needed, fills_whole_clusters) {
    EXPECT_EQ(space_needed({}, 4096), 0u);
    EXPECT_EQ(space_needed({0, 1, 4096, 4097}, 4096), 0u + 4096 + 4096 + 8192);
    EXPECT_EQ(space_needed({10, 20}, 0), 30u);
}

TEST(judge_drive_after_failure, tells_room_from_entries_and_a_failure_of_another_cause) {
    struct drive_case {
        const char* name;
        drive_after_failure drive;
        drive_shortage expected;
    };
    const drive_case cases[] = {
        {"room for what was left, nothing refused", {1 << 20, 8192, false, false}, drive_shortage::none},
        {"nothing left to copy, nothing free", {0, 0, false, false}, drive_shortage::none},
        {"less free than what was left", {4096, 8192, false, false}, drive_shortage::room},
        {"a cluster refused though the count says free", {1 << 20, 4096, true, true}, drive_shortage::room},
        {"a new file refused, bytes to spare", {1 << 20, 4096, true, false}, drive_shortage::entries},
        {"a new file refused and too little free", {1024, 4096, true, false}, drive_shortage::room},
    };
    for (const drive_case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(judge_drive_after_failure(c.drive), c.expected);
    }
}

}  // namespace
