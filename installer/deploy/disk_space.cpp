#include "installer/deploy/disk_space.hpp"

std::uint64_t space_needed(const std::vector<std::uint64_t>& file_sizes, std::uint64_t cluster_size) {
    if (cluster_size == 0) cluster_size = 1;
    std::uint64_t total = 0;
    for (std::uint64_t size : file_sizes) total += (size + cluster_size - 1) / cluster_size * cluster_size;
    return total;
}

drive_shortage judge_drive_after_failure(const drive_after_failure& drive) {
    if (drive.refused_bytes || drive.still_to_copy > drive.free_bytes) return drive_shortage::room;
    if (drive.refused_new_file) return drive_shortage::entries;
    return drive_shortage::none;
}
