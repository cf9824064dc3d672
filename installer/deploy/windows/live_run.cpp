#include "installer/deploy/windows/live_run.hpp"

#include <system_error>

#include "common/paths.hpp"
#include "common/windows/file_queries.hpp"
#include "common/windows/utf16.hpp"
#include "installer/deploy/windows/game_files.hpp"

namespace {

std::wstring system_words(const std::exception& error) {
    if (auto system = dynamic_cast<const std::system_error*>(&error)) {
        return system_error_text(static_cast<DWORD>(system->code().value()));
    }
    return utf8_to_utf16(error.what());
}

// Takes a run that is no more (its plan never whole, or put back) out of the
// journal: the whole file when it was the only run.
void forget_run(journal_file& journal, std::size_t begins_at, bool alone) {
    if (alone) {
        journal.remove();
    } else {
        journal.cut_back_to(begins_at);
    }
}

}  // namespace

leftovers in_game_folder(const std::wstring& game_folder, const leftovers& left) {
    leftovers full;
    for (const std::wstring& place : left.not_restored) full.not_restored.push_back(paths::child(game_folder, place));
    for (const std::wstring& place : left.not_removed) full.not_removed.push_back(paths::child(game_folder, place));
    return full;
}

live_run start_run(const std::wstring& game_folder, journal_file& journal, const journal_contents& contents,
                   const run_plan& plan) {
    live_run live{game_folder, journal, {}, contents.runs.empty()};
    live.run.plan = plan;
    return live;
}

std::optional<change_failure> write_plan(live_run& live) {
    try {
        const std::size_t size = live.journal.size();
        live.run.begins_at = size == 0 ? journal_header().size() : size;
        live.journal.append(plan_records(live.run.plan));
        live.run.reached = run_stage::planned;
        return std::nullopt;
    } catch (const std::exception& error) {
        change_failure failure{failure_kind::journal_not_written, live.journal.path(), 0, system_words(error)};
        try {
            // A plan cut short by the failure is no plan: it goes again.
            forget_run(live.journal, live.run.begins_at, live.alone);
        } catch (...) {
            // A torn plan is read as no plan at all by the next run.
        }
        return failure;
    }
}

void pass(live_run& live, run_stage stage) {
    live.journal.append(stage_record(live.run.plan.kind, stage));
    live.run.reached = stage;
}

leftovers undo_last_run(const std::wstring& game_folder, journal_file& journal, const journal_run& run, bool alone) {
    try {
        busy_budget budget;
        leftovers left = in_game_folder(game_folder, undo_run(run, game_folder_operations(game_folder, budget)));
        if (!left.empty()) return left;  // the journal stays, for the next run to finish the job
        try {
            forget_run(journal, run.begins_at, alone);
        } catch (...) {
            left.not_removed.push_back(journal.path());
        }
        return left;
    } catch (...) {
        leftovers unknown;
        unknown.not_removed.push_back(journal.path());
        return unknown;
    }
}

change_result put_back(live_run& live, change_failure failure) {
    try {
        live.journal.append(putting_back_record());
        live.run.putting_back = true;
    } catch (...) {
        // The put-back is the same with or without that record.
    }
    const leftovers left = undo_last_run(live.game_folder, live.journal, live.run, live.alone);
    return {status_after_put_back(left), std::move(failure), left};
}

change_result run_and_keep(live_run& live, const std::function<std::optional<change_failure>()>& stages) {
    if (std::optional<change_failure> failure = write_plan(live)) return {change_status::put_back, failure, {}};
    // The plan is on disk, flushed; nothing else has changed.
    try {
        if (std::optional<change_failure> failure = stages()) return put_back(live, *failure);
    } catch (const std::exception& error) {
        return put_back(live, {failure_kind::unexpected, {}, 0, system_words(error)});
    } catch (...) {
        return put_back(live, {failure_kind::unexpected});
    }
    return keep(live);
}

change_result keep(live_run& live) {
    try {
        pass(live, run_stage::kept);
    } catch (const std::exception& error) {
        return put_back(live, {failure_kind::journal_not_written, live.journal.path(), 0, system_words(error)});
    }
    // Kept: from here on the run is finished, never put back.
    try {
        return {change_status::done, std::nullopt,
                in_game_folder(live.game_folder, tidy_kept_run(live.game_folder, live.journal, live.run))};
    } catch (...) {
        // What was not tidied up is tidied by the next run, which finds the run kept.
        return {change_status::done, std::nullopt, {}};
    }
}

leftovers tidy_kept_run(const std::wstring& game_folder, journal_file& journal, const journal_run& run) {
    busy_budget budget;
    leftovers left = finish_run(run, game_folder_operations(game_folder, budget));
    if (!left.empty()) return left;  // the next run tidies again
    if (run.plan.kind == run_kind::remove) {
        journal.remove();  // nothing is installed any more
    } else {
        journal.append(stage_record(run.plan.kind, run_stage::cleaned));
    }
    return left;
}
