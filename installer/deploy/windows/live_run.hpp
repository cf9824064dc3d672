#pragma once
// One run from its first change on: the journal records each stage boundary
// as the run passes it, and the run ends in keeping its change or putting it
// back, both as values. The install, the removal and the recovery of an
// interrupted run share this.
#include <functional>
#include <optional>
#include <string>

#include "installer/deploy/journal_format.hpp"
#include "installer/deploy/outcome.hpp"
#include "installer/deploy/windows/journal_file.hpp"

struct live_run {
    std::wstring game_folder;
    journal_file& journal;
    journal_run run;       // the plan, and how far the run got
    bool alone = true;     // no earlier run in the journal: putting this one back deletes it
};

// A run of `plan`, to be written after what the journal holds now.
live_run start_run(const std::wstring& game_folder, journal_file& journal, const journal_contents& contents,
                   const run_plan& plan);

// Writes the plan down and flushes it: the first change. When it cannot, the
// journal is as it was and so is the game folder.
std::optional<change_failure> write_plan(live_run& live);

// Records that the run has passed `stage`. Raises std::system_error.
void pass(live_run& live, run_stage stage);

// The run of a change: writes the plan down, runs `stages` (the failure that
// stopped them, or none), and ends in keeping the run or putting it back;
// whatever `stages` raise puts it back too. Never raises.
change_result run_and_keep(live_run& live, const std::function<std::optional<change_failure>()>& stages);

// Puts the game folder back as it was before the run, and the journal too.
// Never raises.
change_result put_back(live_run& live, change_failure failure);

// Keeps the run, then tidies up what it no longer needs. When even "kept"
// cannot be recorded, the run is put back instead. Never raises.
change_result keep(live_run& live);

// Tidies up after `run`, which is kept: deletes what it no longer needs
// (originals not to be kept, the files a removal took away) and records
// that in the journal (a tidied removal leaves no journal at all). What
// could not be deleted, by place. Raises std::system_error.
leftovers tidy_kept_run(const std::wstring& game_folder, journal_file& journal, const journal_run& run);

// Undoes `run` (the journal's last) and cuts it out of the journal; what is
// left, by full path, when that could not be done completely.
leftovers undo_last_run(const std::wstring& game_folder, journal_file& journal, const journal_run& run, bool alone);

// `left`'s places as full paths below `game_folder`.
leftovers in_game_folder(const std::wstring& game_folder, const leftovers& left);
