#include "installer/shell_copy.hpp"

#include <windows.h>
#include <shellapi.h>

#include "installer/patch_destinations.hpp"

shell_report shell_copy(const copy_plan& plan) {
    std::vector<std::wstring> sources;
    std::vector<std::wstring> destinations;
    sources.reserve(plan.files.size());
    destinations.reserve(plan.files.size());
    for (const planned_file& file : plan.files) {
        sources.push_back(file.source);
        destinations.push_back(file.destination);
    }
    const std::wstring from = multi_string(sources);
    const std::wstring to = multi_string(destinations);
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = nullptr;
    operation.wFunc = FO_COPY;
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    // Yes to every question: create missing folders. Nothing is replaced:
    // what was there has been set aside.
    operation.fFlags = FOF_MULTIDESTFILES | FOF_NOCONFIRMATION;
    shell_report report;
    report.result = ::SHFileOperationW(&operation);
    report.aborted = operation.fAnyOperationsAborted != FALSE;
    return report;
}
