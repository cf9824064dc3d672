#pragma once
// Room on the game's drive. Every patch file sits there beside the original it
// replaces until the copy has succeeded, so the whole patch must fit.
#include <cstdint>
#include <vector>

// Bytes the files take on a drive with clusters of `cluster_size` bytes: each
// file fills whole clusters.
std::uint64_t space_needed(const std::vector<std::uint64_t>& file_sizes, std::uint64_t cluster_size);
