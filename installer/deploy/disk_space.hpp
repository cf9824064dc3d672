#pragma once
// Room on the game's drive. Every patch file sits there beside the original it
// replaces until the copy has succeeded, so the whole patch must fit.
#include <cstdint>
#include <vector>

// Bytes the files take on a drive with clusters of `cluster_size` bytes: each
// file fills whole clusters.
std::uint64_t space_needed(const std::vector<std::uint64_t>& file_sizes, std::uint64_t cluster_size);

// The game's drive as a copy that failed part way left it, before anything
// was put back: the shell's own code does not say that the drive was full.
struct drive_after_failure {
    std::uint64_t free_bytes = 0;
    std::uint64_t still_to_copy = 0;  // the files that had not arrived, in whole clusters
    bool refused_new_file = false;    // the drive said it is full when a new file was made
    bool refused_bytes = false;       // the drive said it is full when a cluster was written
};

enum class drive_shortage { none, room, entries };

// What, if anything, the drive ran out of. A drive that refused a new file
// but has room for what was left ran out of entries (a tmpfs's inodes, a
// FAT folder's slots).
drive_shortage judge_drive_after_failure(const drive_after_failure& drive);
