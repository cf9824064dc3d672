#pragma once
// Plans an install before anything is written: what becomes of each patch
// file's destination (added, replacing the game's file, or building on an
// earlier install of a patch), under which name each file that is there
// waits, and which folders the copy creates. Whatever can be told from names
// and from what the game folder holds is checked here; what needs the system
// (a file held by another program, a drive's room) is checked after.
#include <string>
#include <vector>

#include "installer/deploy/game_survey.hpp"
#include "installer/deploy/install_record.hpp"
#include "installer/deploy/plan.hpp"
#include "installer/patch/expectations.hpp"
#include "installer/patch/patch_pair.hpp"

struct install_request {
    std::wstring game_folder;
    std::wstring archives_folder;
    std::vector<patch_pair> files;
    bool keep_originals = true;
    std::vector<expected_file> expects;  // the game files the patch was made for
};

struct install_plan {
    run_plan run;
    // For each file of `run`: whether what stands at its place is read-only.
    std::vector<bool> read_only;
    // Folders that exist and will get a new file or folder: the run must be
    // able to create entries in them.
    std::vector<std::wstring> receiving_folders;
};

// The places whose folders the survey must look at: every destination.
std::vector<std::wstring> places_to_survey(const install_request& request);

// Raises stopped_before_change for the first problem, in the order: the game
// folder's path, the patch files' paths, then for each file its
// destination's path, two files for one place, a place the journal keeps,
// the game folder being the patch's own, and then file by file the folders
// on the way and what stands at the destination.
install_plan plan_install(const install_request& request, const install_record& record, const game_survey& survey,
                          const case_fold& fold);
