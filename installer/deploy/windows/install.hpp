#pragma once
#include "installer/deploy/install_plan.hpp"
#include "installer/deploy/journal_format.hpp"
#include "installer/deploy/outcome.hpp"
#include "installer/deploy/windows/journal_file.hpp"

// Copies every file of `request` to its place below the game folder, in one
// shell copy, all or nothing, on top of what `journal` says is installed.
// Raises stopped_before_change before the first change when the copy cannot
// work; from the first change on, the outcome is a value.
change_result install_patch(const install_request& request, journal_file& journal, const journal_contents& contents);
