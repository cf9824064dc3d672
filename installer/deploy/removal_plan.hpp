#pragma once
// Plans the removal of what the installs recorded: the same plan record as
// an install, run the other way. Each file an install wrote waits aside
// until the removal is kept; each original gets its place back; the folders
// the installs created go once they are empty.
#include "installer/deploy/game_survey.hpp"
#include "installer/deploy/install_record.hpp"
#include "installer/deploy/plan.hpp"

// The places whose folders the survey must look at: every recorded file and
// every original.
std::vector<std::wstring> places_to_survey(const install_record& record);

// Raises stopped_before_change, before anything is changed, when an original
// was not kept, when a file the install wrote is not as it left it (the game
// has changed since), or when an original is missing.
run_plan plan_removal(const std::wstring& game_folder, const install_record& record, const game_survey& survey,
                      const case_fold& fold);
