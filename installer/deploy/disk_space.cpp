#include "installer/deploy/disk_space.hpp"

std::uint64_t space_needed(const std::vector<std::uint64_t>& file_sizes, std::uint64_t cluster_size) {
    if (cluster_size == 0) cluster_size = 1;
    std::uint64_t total = 0;
    for (std::uint64_t size : file_sizes) total += (size + cluster_size - 1) / cluster_size * cluster_size;
    return total;
}
