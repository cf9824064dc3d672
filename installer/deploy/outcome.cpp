#include "installer/deploy/outcome.hpp"

change_status status_after_put_back(const leftovers& left) {
    return left.empty() ? change_status::put_back : change_status::not_put_back;
}

arrival judge_arrival(const file_stamp& source, const file_stamp& destination) {
    if (source.size != destination.size) return arrival::incomplete;
    constexpr std::uint64_t two_seconds = 2 * 10'000'000;  // in FILETIME ticks of 100 ns
    const std::uint64_t difference = source.last_write > destination.last_write
                                         ? source.last_write - destination.last_write
                                         : destination.last_write - source.last_write;
    return difference <= two_seconds ? arrival::complete : arrival::compare_contents;
}
