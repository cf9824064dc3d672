#pragma once
#include <string>
#include <vector>

#include "installer/patch/patch_pair.hpp"
#include "installer/patch/windows/patch_files.hpp"

// Pairs each listed file with its place below the game folder: the place it
// has below the archives folder. A link lands where its target lies; one
// whose target is outside the archives folder raises
// std::filesystem::filesystem_error naming it. A link to another file of
// the patch is that file a second time, and is left out.
std::vector<patch_pair> pair_patch_files(const std::vector<patch_file>& files, const std::wstring& archives_folder);
