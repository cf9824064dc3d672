// time_runs N FOLDER PROGRAM...: runs each PROGRAM (a path, or a whole
// command line when it starts with a quote) N times in turn from FOLDER, pressing OK in its boxes as a
// player would, and prints for each the median and the least of its times
// in milliseconds, as "PROGRAM median least". A program must end with status
// 0 and show at most one box (a baseline may show none). Started once under Wine, so
// that only the programs' own starts are timed, not Wine's launcher.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/box_watch.hpp"

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    const int runs = _wtoi(argv[1]);
    const std::wstring folder = argv[2];
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    std::vector<std::vector<double>> times(static_cast<std::size_t>(argc - 3));
    for (int run = 0; run < runs; ++run) {
        for (int program = 3; program < argc; ++program) {
            LARGE_INTEGER start{}, end{};
            ::QueryPerformanceCounter(&start);
            const std::wstring given = argv[program];
            const std::wstring command = given.rfind(L"\"", 0) == 0 ? given : L"\"" + given + L"\"";
            const watched_run watched = run_answering_boxes(command, folder, 60000, 1);
            ::QueryPerformanceCounter(&end);
            if (!watched.started || watched.exit_code != 0 || watched.boxes.size() > 1) {
                std::fwprintf(stderr, L"%ls did not end with status 0 and at most one box (status %lu)\n", argv[program],
                              watched.exit_code);
                return 1;
            }
            times[static_cast<std::size_t>(program - 3)].push_back(
                1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
        }
    }
    for (int program = 3; program < argc; ++program) {
        std::vector<double>& samples = times[static_cast<std::size_t>(program - 3)];
        std::sort(samples.begin(), samples.end());
        std::wprintf(L"%ls %.1f %.1f\n", argv[program], samples[samples.size() / 2], samples.front());
    }
    return 0;
}
