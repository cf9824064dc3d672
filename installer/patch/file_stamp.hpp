#pragma once
#include <cstdint>

// What the copy must reproduce of a file: a destination with the source's
// size and last-write time (as FILETIME ticks) is taken to be a full copy.
struct file_stamp {
    std::uint64_t size = 0;
    std::uint64_t last_write = 0;
    friend bool operator==(const file_stamp&, const file_stamp&) = default;
};
