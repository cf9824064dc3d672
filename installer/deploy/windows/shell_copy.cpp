#include <windows.h>
#include <shellapi.h>

#include "common/paths.hpp"
#include "installer/deploy/shell_copy_request.hpp"
#include "installer/deploy/windows/stages.hpp"

static_assert(shell_copy_function == FO_COPY);
static_assert(shell_multiple_destinations == FOF_MULTIDESTFILES && shell_yes_to_all == FOF_NOCONFIRMATION);

shell_report shell_copy(const std::wstring& game_folder, const run_plan& plan) {
    std::vector<std::wstring> sources;
    std::vector<std::wstring> destinations;
    sources.reserve(plan.files.size());
    destinations.reserve(plan.files.size());
    for (const planned_file& file : plan.files) {
        sources.push_back(file.source);
        destinations.push_back(paths::child(game_folder, file.place));
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
