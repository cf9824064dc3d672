// An install, as its list of stages over one plan record: plan, check, write
// the plan down, set aside, copy, verify, keep; or, from the first change on,
// put back.
#include "installer/deploy/windows/install.hpp"

#include <unordered_map>
#include <unordered_set>

#include "common/paths.hpp"
#include "common/wtf8.hpp"
#include "installer/deploy/version_check.hpp"
#include "installer/deploy/windows/check_system.hpp"
#include "installer/deploy/windows/drive_room.hpp"
#include "installer/deploy/windows/live_run.hpp"
#include "installer/deploy/windows/sha256_file.hpp"
#include "installer/deploy/windows/stages.hpp"
#include "installer/deploy/windows/survey_game.hpp"

namespace {

// The files of `plan` that replace a file the patch expects, by their folded
// place: what the version check reads is what the run moves aside.
std::unordered_map<std::wstring, std::size_t> expected_files_moved(const run_plan& plan,
                                                                   const std::vector<expected_file>& expects,
                                                                   const case_fold& fold) {
    std::unordered_set<std::wstring> expected;
    for (const expected_file& file : expects) expected.insert(fold(from_wtf8(file.place).value_or(std::wstring())));
    std::unordered_map<std::wstring, std::size_t> moved;
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        if (plan.files[i].aside.empty()) continue;
        std::wstring folded = fold(plan.files[i].place);
        if (expected.contains(folded)) moved.emplace(std::move(folded), i);
    }
    return moved;
}

// A copy that filled the drive is told as that: the shell's own code says
// only that it stopped.
change_failure copy_failure(const live_run& live, change_failure failure, std::uint64_t patch_needs) {
    const run_plan& plan = live.run.plan;
    switch (judge_drive_after_failure(look_at_drive(live.game_folder, plan))) {
    case drive_shortage::room:
        failure.kind = failure_kind::out_of_room;
        failure.needed = patch_needs;
        break;
    case drive_shortage::entries:
        failure.kind = failure_kind::out_of_entries;
        failure.needed = plan.files.size() + plan.folders.size();
        break;
    case drive_shortage::none:
        break;
    }
    return failure;
}

std::optional<change_failure> set_aside_copy_verify(live_run& live, std::vector<file_handle>& originals,
                                                    std::uint64_t patch_needs) {
    const std::wstring& game = live.game_folder;
    const run_plan& plan = live.run.plan;
    if (std::optional<change_failure> failure = set_aside(game, plan, originals)) return failure;
    pass(live, run_stage::set_aside);
    // Every file the patch replaces waits under its aside name; each
    // destination is free.
    const shell_report shell = shell_copy(game, plan);
    if (shell.result != 0) {
        return copy_failure(live, {failure_kind::shell_failed, {}, static_cast<std::uint32_t>(shell.result)},
                            patch_needs);
    }
    if (shell.aborted) return copy_failure(live, {failure_kind::shell_aborted}, patch_needs);
    pass(live, run_stage::copied);
    // The shell is done: whatever stands at a destination is the copy's.
    const verification verified = verify_copy(game, plan);
    if (verified.incomplete) return copy_failure(live, {failure_kind::not_arrived, *verified.incomplete}, patch_needs);
    live.journal.append(written_records(verified.other_times));
    live.run.written = verified.other_times;
    pass(live, run_stage::verified);
    // Every file arrived complete; the originals still wait beside them.
    return std::nullopt;
}

}  // namespace

change_result install_patch(const install_request& request, journal_file& journal, const journal_contents& contents) {
    const std::wstring& game = request.game_folder;
    const install_record record = installed_record(contents);
    std::vector<std::wstring> places = places_to_survey(request);
    for (std::wstring& place : places_to_survey(request.expects, record)) places.push_back(std::move(place));
    const case_fold fold = windows_case_fold();
    const game_survey survey = survey_game(game, places);
    const install_plan plan = plan_install(request, record, survey, fold);
    // A patch made for another version of the game stops here; without
    // "expects" nothing is hashed.
    // A file the run moves and the version check reads is opened once, for
    // both: under Wine an open costs about as much as hashing 100 kB.
    const std::unordered_map<std::wstring, std::size_t> hashed = expected_files_moved(plan.run, request.expects, fold);
    std::vector<bool> read_too(plan.run.files.size());
    for (const auto& [place, index] : hashed) read_too[index] = true;
    std::vector<file_handle> originals = open_files_to_move(game, plan.run, plan.read_only, read_too);
    check_expectations(game, request.expects, record, survey, fold, [&](const std::wstring& place) {
        const std::wstring path = paths::child(game, place);
        const auto opened = hashed.find(fold(place));
        if (opened == hashed.end()) return sha256_of_file(path);
        return std::optional<std::string>(sha256_of_open_file(originals[opened->second].get(), path));
    });
    for (const planned_file& file : plan.run.files) check_source(file.source, file.source_stamp.size);
    check_receiving_folders(game, plan.receiving_folders);
    const std::uint64_t patch_needs =
        check_space(game, plan.run, journal_header().size() + plan_records(plan.run).size());
    // Checked: nothing has changed yet, and nothing foreseeable stands in the way.
    if (plan.run.files.empty()) return {};
    live_run live = start_run(game, journal, contents, plan.run);
    return run_and_keep(live, [&] { return set_aside_copy_verify(live, originals, patch_needs); });
}
