#pragma once
#include <string>
#include <vector>

#include "installer/deploy/windows/copy_plan.hpp"
#include "installer/patch/windows/patch_files.hpp"

// Pairs each listed file with its destination: the same place below the
// installation folder that it has below the archives folder. A link lands
// where its target lies; one whose target is outside the archives folder
// raises std::filesystem::filesystem_error naming it. A source path the shell
// cannot take raises copy_problem.
copy_plan plan_copy(const std::vector<patch_file>& files, const std::wstring& archives_folder,
                    const std::wstring& installation_folder);
