#include "installer/deploy/disk_space.hpp"

#include <array>

#include "common/format.hpp"

std::uint64_t space_needed(const std::vector<std::uint64_t>& file_sizes, std::uint64_t cluster_size) {
    if (cluster_size == 0) cluster_size = 1;
    std::uint64_t total = 0;
    for (std::uint64_t size : file_sizes) total += (size + cluster_size - 1) / cluster_size * cluster_size;
    return total;
}

std::wstring describe_bytes(std::uint64_t bytes, rounding direction) {
    if (bytes < 1024) return format_template(L"{} bytes", static_cast<std::uint32_t>(bytes));
    static constexpr std::array<const wchar_t*, 4> units = {L"KB", L"MB", L"GB", L"TB"};
    std::uint64_t unit = 1024;
    std::size_t index = 0;
    while (index + 1 < units.size() && bytes >= unit * 1024) {
        unit *= 1024;
        ++index;
    }
    const std::uint64_t tenths = (bytes * 10 + (direction == rounding::up ? unit - 1 : 0)) / unit;
    return std::to_wstring(tenths / 10) + L"." + std::to_wstring(tenths % 10) + L" " + units[index];
}
