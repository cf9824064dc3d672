#include "installer/deploy/disk_space.hpp"

#include <gtest/gtest.h>


namespace {

TEST(space_needed, fills_whole_clusters) {
    EXPECT_EQ(space_needed({}, 4096), 0u);
    EXPECT_EQ(space_needed({0, 1, 4096, 4097}, 4096), 0u + 4096 + 4096 + 8192);
    EXPECT_EQ(space_needed({10, 20}, 0), 30u);
}

}  // namespace
