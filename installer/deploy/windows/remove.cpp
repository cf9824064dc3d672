// A removal, as the install's stages run the other way over the same plan
// record: plan, check, write the plan down, set the patch's files aside,
// restore the originals, keep; or, from the first change on, put back.
#include "installer/deploy/windows/remove.hpp"

#include "installer/deploy/install_record.hpp"
#include "installer/deploy/removal_plan.hpp"
#include "installer/deploy/windows/check_system.hpp"
#include "installer/deploy/windows/live_run.hpp"
#include "installer/deploy/windows/stages.hpp"
#include "installer/deploy/windows/survey_game.hpp"

namespace {

// The originals must be free to move too.
run_plan with_originals_moved(const run_plan& plan) {
    run_plan originals;
    for (const planned_file& file : plan.files) {
        if (file.action != file_action::restore) continue;
        planned_file moved;
        moved.place = file.former;
        moved.aside = file.place;
        originals.files.push_back(moved);
    }
    return originals;
}

}  // namespace

change_result remove_patch(const std::wstring& game_folder, journal_file& journal, const journal_contents& contents) {
    const install_record record = installed_record(contents);
    const run_plan plan =
        plan_removal(game_folder, record, survey_game(game_folder, places_to_survey(record)), windows_case_fold());
    // A rename needs no more than the right to delete: read-only or not.
    std::vector<file_handle> files = open_files_to_move(game_folder, plan, std::vector<bool>(plan.files.size(), true));
    const run_plan originals = with_originals_moved(plan);
    std::vector<file_handle> kept =
        open_files_to_move(game_folder, originals, std::vector<bool>(originals.files.size(), true));
    // Checked: nothing has changed yet.
    live_run live = start_run(game_folder, journal, contents, plan);
    return run_and_keep(live, [&]() -> std::optional<change_failure> {
        if (std::optional<change_failure> failure = set_aside(game_folder, plan, files)) return failure;
        pass(live, run_stage::set_aside);
        // Every file the installs wrote waits under its aside name.
        if (std::optional<change_failure> failure = restore_originals(game_folder, plan, kept)) return failure;
        pass(live, run_stage::copied);
        // Every original is back under its own name.
        return std::nullopt;
    });
}
