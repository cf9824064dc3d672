// patch_check [FOLDER]: checks the unpacked distribution folder FOLDER (by
// default the one it is in) the way the installer would see it, and tells
// the patch's author what to mend before shipping. It writes nothing, reads
// neither the registry nor Steam, and shows no box. Status 0: ready to ship;
// 1: not.
// patch_check [FOLDER] --expect-game GAME: writes into FOLDER's
// archives\config.json what the patch expects of the game, from the
// unpatched game folder GAME (status 0: written; 1: nothing written).
// patch_check /?, -h or --help: says this, and checks nothing (status 2, as
// for arguments it does not take).
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "common/ascii.hpp"
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

constexpr wchar_t usage[] =
    L"patch_check checks a patch before it ships, the way the installer will see it.\n"
    L"\n"
    L"  patch_check [FOLDER]\n"
    L"      checks the patch's folder FOLDER, the one that holds patch_installer.exe and its folder\n"
    L"      \"archives\" (by default the folder patch_check is in). It writes nothing.\n"
    L"      Status 0: ready to ship; 1: not.\n"
    L"  patch_check [FOLDER] --expect-game GAME\n"
    L"      writes into FOLDER's archives\\config.json which files of the game the patch was made for,\n"
    L"      from the unpatched game folder GAME. Status 0: written; 1: nothing written.\n"
    L"  patch_check /?   (or -h, --help)\n"
    L"      shows this. Status 2, as for arguments patch_check does not take.\n";

constexpr int usage_status = 2;

bool asks_for_help(const std::wstring& argument) {
    for (const wchar_t* word : {L"/?", L"-?", L"-h", L"/h", L"--help", L"/help"}) {
        if (equals_ignoring_ascii_case(argument, word)) return true;
    }
    return false;
}

// What patch_check is given, or why it cannot be taken.
struct request {
    std::optional<std::wstring> folder;
    std::optional<std::wstring> game;
    std::wstring fault;  // empty when the arguments can be taken
    bool help = false;
};

request read_arguments(const std::vector<std::wstring>& arguments) {
    request asked;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (asks_for_help(argument)) {
            asked.help = true;
        } else if (argument == L"--expect-game") {
            if (i + 1 == arguments.size() || asked.game) {
                asked.fault = L"--expect-game takes one game folder";
                return asked;
            }
            asked.game = arguments[++i];
        } else if (argument.size() > 1 && argument[0] == L'-') {
            asked.fault = L"patch_check does not take " + argument;
            return asked;
        } else if (asked.folder) {
            asked.fault = L"patch_check checks one folder at a time";
            return asked;
        } else {
            asked.folder = argument;
        }
    }
    return asked;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    int status = 1;
    try {
        const request asked = read_arguments(std::vector<std::wstring>(argv + 1, argv + argc));
        const std::wstring folder = asked.folder.value_or(paths::parent(module_path()));
        if (asked.help || !asked.fault.empty()) {
            print((asked.fault.empty() ? std::wstring() : asked.fault + L"\n\n") + usage);
            status = usage_status;
        } else if (asked.game) {
            const expect_game_outcome outcome = write_expectations(folder, *asked.game);
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
