#pragma once
// How a run that changed the game folder ended, as a value: from the first
// change on, every failure is caught and becomes one of these, and the run
// ends in keeping its change or putting it back. The run words it for the
// player (installer/run/messages.hpp).
#include <cstdint>
#include <optional>
#include <string>

#include "installer/patch/file_stamp.hpp"
#include "installer/deploy/undo.hpp"

// What went wrong after the first change.
enum class failure_kind {
    journal_not_written,  // the journal could not be written: `system_text`
    set_aside_failed,     // `file` could not be moved aside: `system_text`
    shell_failed,         // the shell copy returned `shell_result`
    shell_aborted,        // the shell copy reported that it skipped or cancelled something
    not_arrived,          // `file` did not arrive complete
    out_of_room,          // the copy filled the game's drive; the patch needs `needed` bytes there
    out_of_entries,       // the drive could hold no more files; the patch makes `needed` of them
    restore_failed,       // a removal: the original `file` could not get its place back: `system_text`
    unexpected,           // anything else: `system_text`
};

struct change_failure {
    failure_kind kind = failure_kind::unexpected;
    std::wstring file = {};
    std::uint32_t shell_result = 0;
    std::wstring system_text = {};
    std::uint64_t needed = 0;
};

enum class change_status {
    done,          // the run is kept: installed, or removed
    put_back,      // it failed, and the game folder is as it was before it
    not_put_back,  // it failed, and `left` names what could not be put back
};

struct change_result {
    change_status status = change_status::done;
    std::optional<change_failure> failure;
    // Full paths. After a success: what the run no longer needs but could
    // not delete. After a failure: what could not be put back.
    leftovers left;
};

// After a put-back: as before only when nothing at all is left, neither a
// file waiting aside nor a file or folder of the run.
change_status status_after_put_back(const leftovers& left);

// Whether a destination holds what the copy read. The same size and the same
// last-write time (within the two seconds FAT keeps) is a full copy; another
// size is not. When only the time differs, the drive may not hold the
// source's time at all (a time past 2038 on an older volume, a year before
// 1980 on FAT), and the contents decide.
enum class arrival { complete, incomplete, compare_contents };
arrival judge_arrival(const file_stamp& source, const file_stamp& destination);
