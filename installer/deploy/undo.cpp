#include "installer/deploy/undo.hpp"

namespace {

// The place a file went to its aside name from (install), or the file that
// comes back there (removal).
void give_place_back(const std::wstring& aside, const std::wstring& place, bool written_there_by_run,
                     const disk_operations& disk, leftovers& left) {
    if (aside.empty() || !disk.exists(aside)) return;  // never moved, or already back
    if (disk.exists(place)) {
        if (!written_there_by_run || !disk.remove_file(place)) {
            // Something the run did not make stands there: both stay.
            if (written_there_by_run) left.not_removed.push_back(place);
            left.not_restored.push_back(aside);
            return;
        }
    }
    if (!disk.rename(aside, place)) left.not_restored.push_back(aside);
}

void undo_install(const journal_run& run, const disk_operations& disk, leftovers& left) {
    // Only once the copy may have begun is a file at a freed place the copy's.
    const bool copy_may_have_begun = run.reached >= run_stage::set_aside;
    for (const planned_file& file : run.plan.files) {
        if (file.aside.empty()) {
            if (copy_may_have_begun && disk.exists(file.place) && !disk.remove_file(file.place)) {
                left.not_removed.push_back(file.place);
            }
            continue;
        }
        give_place_back(file.aside, file.place, copy_may_have_begun, disk, left);
    }
    for (auto folder = run.plan.folders.rbegin(); folder != run.plan.folders.rend(); ++folder) {
        if (disk.exists(*folder) && disk.remove_folder(*folder) != folder_removal::gone) {
            left.not_removed.push_back(*folder);
        }
    }
}

void undo_removal(const journal_run& run, const disk_operations& disk, leftovers& left) {
    for (const planned_file& file : run.plan.files) {
        if (!disk.exists(file.aside)) continue;  // the patch's file never moved
        if (file.action == file_action::restore && disk.exists(file.place)) {
            // The original was back: it waits under its name again.
            if (disk.exists(file.former) || !disk.rename(file.place, file.former)) {
                left.not_restored.push_back(file.aside);
                continue;
            }
        }
        give_place_back(file.aside, file.place, false, disk, left);
    }
}

void remove_if_there(const std::wstring& place, const disk_operations& disk, leftovers& left) {
    if (!place.empty() && disk.exists(place) && !disk.remove_file(place)) left.not_removed.push_back(place);
}

}  // namespace

leftovers undo_run(const journal_run& run, const disk_operations& disk) {
    leftovers left;
    if (run.reached == run_stage::planning) return left;  // nothing was changed
    if (run.plan.kind == run_kind::install) {
        undo_install(run, disk, left);
    } else {
        undo_removal(run, disk, left);
    }
    return left;
}

leftovers finish_run(const journal_run& run, const disk_operations& disk) {
    leftovers left;
    for (const planned_file& file : run.plan.files) {
        switch (file.action) {
        case file_action::add:
            break;
        case file_action::replace:
            if (!run.plan.keep_originals) remove_if_there(file.aside, disk, left);
            break;
        case file_action::update:
        case file_action::take_away:
        case file_action::restore:
            remove_if_there(file.aside, disk, left);
            break;
        case file_action::refresh:
            remove_if_there(file.former, disk, left);
            if (!run.plan.keep_originals) remove_if_there(file.aside, disk, left);
            break;
        }
    }
    if (run.plan.kind == run_kind::remove) {
        // The game may have put files of its own into them: those stay.
        for (auto folder = run.plan.folders.rbegin(); folder != run.plan.folders.rend(); ++folder) {
            if (disk.exists(*folder) && disk.remove_folder(*folder) == folder_removal::failed) {
                left.not_removed.push_back(*folder);
            }
        }
    }
    return left;
}
