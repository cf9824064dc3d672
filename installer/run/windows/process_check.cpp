#include "installer/run/windows/process_check.hpp"

#include <windows.h>
#include <psapi.h>

#include <vector>

#include "common/paths.hpp"
#include "common/windows/win_handles.hpp"

namespace {

// The identifiers of every process, in the system's order. A list that the
// system filled completely may have been too small: enumerate again with
// twice the room. Should a repeated enumeration fail, the previous (complete
// but possibly short) list is used rather than none.
std::vector<DWORD> process_ids() {
    std::vector<DWORD> ids(1024);
    DWORD bytes = 0;
    if (!::K32EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes)) return {};
    while (bytes == ids.size() * sizeof(DWORD)) {
        std::vector<DWORD> larger(ids.size() * 2);
        DWORD larger_bytes = 0;
        if (!::K32EnumProcesses(larger.data(), static_cast<DWORD>(larger.size() * sizeof(DWORD)), &larger_bytes)) {
            break;
        }
        ids = std::move(larger);
        bytes = larger_bytes;
    }
    ids.resize(bytes / sizeof(DWORD));
    return ids;
}

bool image_file_name_is(DWORD id, const std::wstring& image_file_name) {
    kernel_handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!process) return false;
    wchar_t image_path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!::QueryFullProcessImageNameW(process.get(), 0, image_path, &size)) return false;
    return paths::file_name(std::wstring_view(image_path, size)) == image_file_name;
}

}  // namespace

bool is_process_running(const std::wstring& image_file_name) {
    for (DWORD id : process_ids()) {
        if (image_file_name_is(id, image_file_name)) return true;
    }
    return false;
}
