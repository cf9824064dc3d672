// patch_check [FOLDER]: checks the unpacked distribution folder FOLDER (by
// default the one it is in) the way the installer would see it, and tells
// the patch's author what to mend before shipping. It writes nothing, reads
// neither the registry nor Steam, and shows no box. Status 0: ready to ship;
// 1: not.
// patch_check [FOLDER] --expect-game GAME: writes into FOLDER's
// archives\config.json what the patch expects of the game, from the
// unpatched game folder GAME (status 0: written; 1: nothing written).
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "common/paths.hpp"
#include "common/windows/utf16.hpp"
#include "common/wtf8.hpp"
#include "installer/checker/patch_report.hpp"
#include "installer/checker/windows/expect_game.hpp"
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
        std::vector<std::wstring> arguments(argv + 1, argv + argc);
        std::optional<std::wstring> game;
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            if (arguments[i] == L"--expect-game" && i + 1 < arguments.size()) {
                game = arguments[i + 1];
                arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i), arguments.begin() + static_cast<std::ptrdiff_t>(i) + 2);
                break;
            }
        }
        const std::wstring folder = !arguments.empty() ? arguments.front() : paths::parent(module_path());
        if (game) {
            const expect_game_outcome outcome = write_expectations(folder, *game);
            print(outcome.report);
            status = outcome.written ? 0 : 1;
        } else {
            const patch_report report = build_patch_report(gather_report_input(folder));
            print(render_patch_report(report));
            status = report.ready() ? 0 : 1;
        }
    } catch (const std::exception& error) {
        print(L"problem: the check could not be made: " + utf8_to_utf16(error.what()) + L"\nnot ready to ship\n");
    }
    wait_for_a_key_if_double_clicked();
    return status;
}
