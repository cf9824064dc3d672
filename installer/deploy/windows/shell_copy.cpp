#include "installer/deploy/windows/shell_copy.hpp"

#include <windows.h>
#include <shellapi.h>

#include "installer/deploy/shell_copy_request.hpp"

static_assert(shell_copy_function == FO_COPY);
static_assert(shell_multiple_destinations == FOF_MULTIDESTFILES && shell_yes_to_all == FOF_NOCONFIRMATION);

shell_report shell_copy(const copy_plan& plan) {
    std::vector<std::wstring> sources;
    std::vector<std::wstring> destinations;
    sources.reserve(plan.files.size());
    destinations.reserve(plan.files.size());
    for (const planned_file& file : plan.files) {
        sources.push_back(file.source);
        destinations.push_back(file.destination);
    }
    const shell_copy_request request = make_shell_copy_request(sources, destinations);
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = nullptr;
    operation.wFunc = request.function;
    operation.pFrom = request.from.c_str();
    operation.pTo = request.to.c_str();
    operation.fFlags = request.flags;
    shell_report report;
    report.result = ::SHFileOperationW(&operation);
    report.aborted = operation.fAnyOperationsAborted != FALSE;
    return report;
}
