#include "installer/deploy/windows/recover.hpp"

#include "installer/deploy/check_problem.hpp"
#include "installer/deploy/windows/live_run.hpp"

recovery_result recover_interrupted_run(const std::wstring& game_folder, journal_file& journal) {
    recovery_result result;
    const std::string text = journal.read();
    result.journal = read_journal(text);
    journal_contents& contents = result.journal;
    if (!contents.readable) throw stopped_before_change({check_problem_kind::journal_unreadable, journal.path()});
    if (contents.runs.empty()) {
        // Torn before its first plan was complete: nothing had changed.
        if (!text.empty()) {
            try {
                journal.remove();
            } catch (...) {
            }
        }
        return result;
    }
    const journal_run last = contents.runs.back();
    const bool alone = contents.runs.size() == 1;
    if (last.reached < run_stage::kept) {
        result.left = undo_last_run(game_folder, journal, last, alone);
        if (!result.left.empty()) {
            result.outcome = recovery::not_undone;
            return result;
        }
        contents.runs.pop_back();
        // A plan that never reached the disk whole had changed nothing.
        result.outcome = last.reached == run_stage::planning ? recovery::nothing : recovery::undone;
        return result;
    }
    if (last.reached == run_stage::kept) {
        try {
            if (tidy_kept_run(game_folder, journal, last).empty()) {
                if (last.plan.kind == run_kind::remove) {
                    contents.runs.clear();
                } else {
                    contents.runs.back().reached = run_stage::cleaned;
                }
            }
        } catch (...) {
            // Left for a later run to tidy; the game itself is as the kept run made it.
        }
        result.outcome = recovery::finished;
    }
    return result;
}
