#pragma once
// The game folder as the steps that undo and finish a run see it
// (installer/deploy/undo.hpp): by place below it, through Windows' own
// calls, with names past MAX_PATH in their long form.
#include <string>

#include "installer/deploy/undo.hpp"

// A file that another program holds for a moment (a virus scanner, an
// indexer) is tried again, for two seconds in all over one put-back or one
// tidying up, so that many stuck files cannot keep the player waiting long.
inline constexpr unsigned busy_wait_total_ms = 2000;
inline constexpr unsigned busy_wait_step_ms = 50;

struct busy_budget {
    unsigned waits_left = busy_wait_total_ms / busy_wait_step_ms;
};

// The operations on `game_folder`, drawing on `budget` while files are busy;
// both must outlive what is returned.
disk_operations game_folder_operations(const std::wstring& game_folder, busy_budget& budget);
