#pragma once
#include "installer/deploy/windows/copy_plan.hpp"

// Looks at every pair of the plan before anything is written, and raises
// copy_problem for the first one that would make the copy fail part way:
// a path the shell cannot take, a destination that is a folder (or a folder
// on the way that is a file), a file that another program holds, too little
// room on the game's drive. Fills in which destinations exist already and
// which folders the copy will create.
void check_copy(copy_plan& plan);

// Raises copy_problem when the shell could not take `path` as a source: the
// patch's own file names are judged before anything else is done with them.
void check_source_path(const std::wstring& path);
