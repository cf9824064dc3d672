#pragma once
// The stages of a run that change the game folder, each on its own, over one
// plan record. installer/deploy/windows/install.cpp and remove.cpp run them
// in order; each says what is on disk once it is done.
#include <optional>
#include <string>
#include <vector>

#include "common/windows/win_handles.hpp"
#include "installer/deploy/outcome.hpp"
#include "installer/deploy/plan.hpp"

// Moves what stands at each place to its aside name, through the handle the
// check opened (then let go). Stops at the first file that cannot be moved.
std::optional<change_failure> set_aside(const std::wstring& game_folder, const run_plan& plan,
                                        std::vector<file_handle>& handles);

// One shell copy of every file of the plan to its place; it creates the
// folders on the way.
struct shell_report {
    int result = 0;        // SHFileOperationW's return value
    bool aborted = false;  // fAnyOperationsAborted
};
shell_report shell_copy(const std::wstring& game_folder, const run_plan& plan);

// Whether every file arrived complete: the first that did not, and the files
// that arrived complete with another time than their source's (a drive that
// cannot hold that time), for the journal.
struct verification {
    std::optional<std::wstring> incomplete;  // full path
    std::vector<written_file> other_times;
};
verification verify_copy(const std::wstring& game_folder, const run_plan& plan);

// A removal: gives each original its place back, through the handle the
// check opened for it (`handles`: one for each original, in the plan's
// order). Stops at the first that cannot be moved.
std::optional<change_failure> restore_originals(const std::wstring& game_folder, const run_plan& plan,
                                                std::vector<file_handle>& handles);
