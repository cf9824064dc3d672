#pragma once
#include "installer/deploy/copy_outcome.hpp"
#include "installer/deploy/windows/copy_plan.hpp"

// Copies every file of the plan to its destination in one shell copy, which
// creates the folders on the way.
shell_report shell_copy(const copy_plan& plan);
