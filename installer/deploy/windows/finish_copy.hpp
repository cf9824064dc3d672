#pragma once
#include "installer/deploy/copy_outcome.hpp"
#include "installer/deploy/windows/copy_plan.hpp"

// After a copy that succeeded: removes the originals that were set aside,
// and lets go of them. Returns those that could not be removed.
leftovers clean_up(copy_plan& plan);

// After a copy that failed: removes every file the copy created, puts every
// original back under its own name, then removes the folders the copy
// created, innermost first, where they are empty. Never touches anything the
// run neither created nor set aside. `copy_ran` tells whether the shell got
// to write anything at all. Returns what could not be undone.
leftovers put_back(copy_plan& plan, bool copy_ran);
