#pragma once
#include <string>
#include <vector>

// What the shell reported for the copy.
struct copy_outcome {
    int result = 0;        // SHFileOperationW's return value
    bool aborted = false;  // fAnyOperationsAborted
    bool succeeded() const { return result == 0 && !aborted; }
};

// Copies every listed file to the same place below the installation folder
// that it has below the archives folder, in one shell copy.
copy_outcome deploy_patch(const std::vector<std::wstring>& patch_files, const std::wstring& archives_folder,
                          const std::wstring& installation_folder);
