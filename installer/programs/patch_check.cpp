// patch_check [FOLDER]: checks the unpacked distribution folder FOLDER (by
// default the one it is in) the way the installer would see it, and tells
// the patch's author what to mend before shipping. It writes nothing, reads
// neither the registry nor Steam, and shows no box. Status 0: ready to ship;
// 1: not.
#include <windows.h>

#include <string>

#include "common/paths.hpp"
#include "common/windows/utf16.hpp"
#include "common/wtf8.hpp"
#include "installer/checker/patch_report.hpp"
#include "installer/checker/windows/gather_report_input.hpp"
#include "installer/run/windows/module_path.hpp"

namespace {

// To the console as text of its own; into a pipe or file as UTF-8.
void print(const std::wstring& text) {
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(out, &mode)) {
        ::WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string bytes = to_wtf8(text);
    ::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Started by a double-click, the program is alone in a console window of its
// own, which would close before the report could be read. Output that goes
// elsewhere than a window (a file, a pipe) is nobody's to wait for.
void wait_for_a_key_if_double_clicked() {
    DWORD processes[2] = {};
    HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (::GetConsoleProcessList(processes, 2) != 1 || !::GetConsoleMode(in, &mode) ||
        !::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode)) {
        return;
    }
    print(L"\nPress any key to close this window.\n");
    ::FlushConsoleInputBuffer(in);
    for (;;) {
        INPUT_RECORD record{};
        DWORD read = 0;
        if (!::ReadConsoleInputW(in, &record, 1, &read) || read == 0) return;
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return;
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    int status = 1;
    try {
        const std::wstring folder = argc > 1 ? std::wstring(argv[1]) : paths::parent(module_path());
        const patch_report report = build_patch_report(gather_report_input(folder));
        print(render_patch_report(report));
        status = report.ready() ? 0 : 1;
    } catch (const std::exception& error) {
        print(L"problem: the check could not be made: " + utf8_to_utf16(error.what()) + L"\nnot ready to ship\n");
    }
    wait_for_a_key_if_double_clicked();
    return status;
}
