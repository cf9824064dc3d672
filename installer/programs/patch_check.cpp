// patch_check [FOLDER]: checks the unpacked distribution folder FOLDER (by
// default the one it is in) the way the installer would see it, and tells
// the patch's author what to mend before shipping. It writes nothing, reads
// neither the registry nor Steam, and shows no box. Status 0: ready to ship;
// 1: not.
#include <windows.h>

#include <string>

#include "common/paths.hpp"
#include "common/windows/utf16.hpp"
#include "installer/patch/config.hpp"
#include "installer/run/windows/module_path.hpp"
#include "installer/patch/windows/patch_files.hpp"
#include "installer/checker/patch_report.hpp"

namespace {

// The name config.json has in the folder: Windows finds "Config.json" too.
std::wstring name_on_disk(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    ::FindClose(search);
    return found.cFileName;
}

patch_report_input look_at(const std::wstring& folder) {
    patch_report_input input;
    input.folder = folder;
    const std::wstring archives = paths::join(folder, L"archives");
    try {
        const installer_config config = load_installer_config(archives);
        input.config_loaded = true;
        input.game_name = utf8_to_utf16(config.game_name);
        input.process_name = utf8_to_utf16(config.process_name);
    } catch (const std::exception& error) {
        input.config_error = utf8_to_utf16(error.what());  // as the installer's box shows it
    }
    input.config_file_name = name_on_disk(config_file_path(archives));
    try {
        for (const patch_file& file : collect_patch_files(archives, &input.notes)) input.files.push_back(file.relative);
    } catch (const std::exception& error) {
        input.listing_error = utf8_to_utf16(error.what());
    }
    return input;
}

// To the console as text of its own; into a pipe or file as UTF-8.
void print(const std::wstring& text) {
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(out, &mode)) {
        ::WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                          nullptr);
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
        const patch_report report = build_patch_report(look_at(folder));
        print(render_patch_report(report));
        status = report.ready() ? 0 : 1;
    } catch (const std::exception& error) {
        print(L"problem: the check could not be made: " + utf8_to_utf16(error.what()) + L"\nnot ready to ship\n");
    }
    wait_for_a_key_if_double_clicked();
    return status;
}
