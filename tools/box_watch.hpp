#pragma once
// Starts a program and answers its message boxes as a player would, pressing
// OK, while recording what each box showed. Works under Wine's null graphics
// driver, where boxes are real but invisible windows.
#include <windows.h>

#include <string>
#include <vector>

struct seen_box {
    std::wstring caption;
    std::wstring text;
    bool has_owner = false;
    bool has_ok = false;
    bool has_cancel = false;
    bool has_icon = false;
};

struct watched_run {
    bool started = false;
    bool timed_out = false;  // the program was ended by force
    DWORD exit_code = 0;
    std::vector<seen_box> boxes;
};

// `command_line` is passed to CreateProcessW as is; `working_folder` may be
// empty. Boxes are looked for every `poll_ms` milliseconds.
watched_run run_answering_boxes(const std::wstring& command_line, const std::wstring& working_folder,
                                DWORD timeout_ms = 60000, DWORD poll_ms = 10);
