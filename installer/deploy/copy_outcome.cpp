#include "installer/deploy/copy_outcome.hpp"

#include <cstdint>

#include "common/format.hpp"

bool stamps_match(const file_stamp& source, const file_stamp& destination) {
    constexpr std::uint64_t two_seconds = 2 * 10'000'000;  // in FILETIME ticks of 100 ns
    const std::uint64_t difference = source.last_write > destination.last_write
                                         ? source.last_write - destination.last_write
                                         : destination.last_write - source.last_write;
    return source.size == destination.size && difference <= two_seconds;
}

bool copy_succeeded(const copy_attempt& attempt) {
    return attempt.shell && attempt.shell->result == 0 && !attempt.shell->aborted && !attempt.error &&
           !attempt.unverified;
}

std::wstring describe_copy_failure(const copy_attempt& attempt) {
    if (attempt.error) return *attempt.error;
    if (!attempt.shell) return L"it did not start";
    if (attempt.shell->result != 0) {
        return format_template(L"Windows reported error {:#010x}", static_cast<std::uint32_t>(attempt.shell->result));
    }
    if (attempt.shell->aborted) return L"it was cancelled, or a file was skipped";
    if (attempt.unverified) return L"a file did not arrive complete";
    return L"nothing went wrong";
}

deploy_status status_after_put_back(const leftovers& left) {
    return left.empty() ? deploy_status::put_back : deploy_status::not_put_back;
}
