#pragma once
#include <string>
#include <vector>

#include "installer/deploy/copy_outcome.hpp"
#include "installer/patch/windows/patch_files.hpp"

struct deploy_result {
    deploy_status status = deploy_status::installed;
    copy_attempt attempt;
    leftovers left;  // what could not be removed or restored
};

// Copies every listed file to the same place below the installation folder
// that it has below the archives folder, in one shell copy, all or nothing.
// Raises copy_problem (or the listing's filesystem_error for a link out of
// the archives folder) before anything is written when the copy cannot work.
deploy_result deploy_patch(const std::vector<patch_file>& patch_files, const std::wstring& archives_folder,
                           const std::wstring& installation_folder);
