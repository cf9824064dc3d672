#pragma once
// Room on the game's drive. Every patch file sits there beside the original it
// replaces until the copy has succeeded, so the whole patch must fit.
#include <cstdint>
#include <string>
#include <vector>

// Bytes the files take on a drive with clusters of `cluster_size` bytes: each
// file fills whole clusters.
std::uint64_t space_needed(const std::vector<std::uint64_t>& file_sizes, std::uint64_t cluster_size);

// "512 bytes", "3.4 KB", "12.3 MB", "1.5 GB" (units of 1024). Round what is
// needed up and what is free down, so that a shortage never reads as none.
enum class rounding { up, down };
std::wstring describe_bytes(std::uint64_t bytes, rounding direction);
