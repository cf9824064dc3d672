// box_reader PROGRAM [ARGUMENTS...]: runs PROGRAM in the current folder,
// presses OK in each message box it shows, and prints what a player saw.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tools/box_watch.hpp"

namespace {

void print_utf8(const std::wstring& text) {
    int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    std::fwrite(out.data(), 1, out.size(), stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: box_reader PROGRAM [ARGUMENTS...]\n", stderr);
        return 2;
    }
    std::wstring command;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) command += L' ';
        command += L'"' + std::wstring(argv[i]) + L'"';
    }
    watched_run run = run_answering_boxes(command, L"");
    if (!run.started) {
        std::fprintf(stderr, "could not start the program (error %lu)\n", ::GetLastError());
        return 2;
    }
    for (const seen_box& box : run.boxes) {
        std::fputs("+------ message box ------\n| caption: ", stdout);
        print_utf8(box.caption.empty() ? L"(system default title)" : box.caption);
        std::fputs("\n| text:    ", stdout);
        std::wstring text = box.text;
        for (std::size_t at = 0; (at = text.find(L'\n', at)) != std::wstring::npos; at += 11) {
            text.replace(at, 1, L"\n|          ");
        }
        print_utf8(text);
        std::fputs("\n| [ OK ]\n+-------------------------\n", stdout);
    }
    std::printf("exit status: %lu%s\n", run.exit_code, run.timed_out ? " (ended by force)" : "");
    return 0;
}
