#include "installer/deploy.hpp"

#include <windows.h>
#include <shellapi.h>

#include "installer/canonical_path.hpp"
#include "installer/patch_destinations.hpp"

copy_outcome deploy_patch(const std::vector<std::wstring>& patch_files, const std::wstring& archives_folder,
                          const std::wstring& installation_folder) {
    // Every destination is known (and checked) before the shell copies anything.
    const std::wstring canonical_archives = weakly_canonical_path(archives_folder);
    std::vector<std::wstring> destinations;
    destinations.reserve(patch_files.size());
    for (const std::wstring& file : patch_files) {
        destinations.push_back(
            patch_destination(file, weakly_canonical_path(file), canonical_archives, installation_folder));
    }
    if (patch_files.empty()) return {};

    const std::wstring from = multi_string(patch_files);
    const std::wstring to = multi_string(destinations);
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = nullptr;
    operation.wFunc = FO_COPY;
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    // Yes to every question: replace existing files, create missing folders.
    operation.fFlags = FOF_MULTIDESTFILES | FOF_NOCONFIRMATION;
    copy_outcome outcome;
    outcome.result = ::SHFileOperationW(&operation);
    outcome.aborted = operation.fAnyOperationsAborted != FALSE;
    return outcome;
}
