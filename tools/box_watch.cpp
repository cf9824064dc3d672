#include "tools/box_watch.hpp"

#include <algorithm>

namespace {

constexpr int static_text_id = 0xFFFF;  // the text control of a message box

struct search {
    DWORD process_id;
    std::vector<HWND> found;
};

BOOL CALLBACK collect_dialog(HWND window, LPARAM context) {
    auto* s = reinterpret_cast<search*>(context);
    DWORD owner_process = 0;
    ::GetWindowThreadProcessId(window, &owner_process);
    wchar_t class_name[16] = {};
    ::GetClassNameW(window, class_name, 16);
    if (owner_process == s->process_id && std::wstring(class_name) == L"#32770" && ::IsWindowVisible(window)) {
        s->found.push_back(window);
    }
    return TRUE;
}

std::wstring window_text(HWND window) {
    int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

bool has_visible_icon(HWND dialog) {
    // The icon is a static control with the SS_ICON style holding an image.
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        LONG style = ::GetWindowLongW(child, GWL_STYLE);
        if ((style & SS_TYPEMASK) == SS_ICON && ::IsWindowVisible(child) &&
            ::SendMessageW(child, STM_GETICON, 0, 0) != 0) {
            return true;
        }
    }
    return false;
}

seen_box read_box(HWND dialog) {
    seen_box box;
    box.caption = window_text(dialog);
    if (HWND text = ::GetDlgItem(dialog, static_text_id)) box.text = window_text(text);
    box.has_owner = ::GetWindow(dialog, GW_OWNER) != nullptr;
    box.has_ok = ::GetDlgItem(dialog, IDOK) != nullptr;
    box.has_cancel = ::GetDlgItem(dialog, IDCANCEL) != nullptr;
    box.has_icon = has_visible_icon(dialog);
    return box;
}

}  // namespace

watched_run run_answering_boxes(const std::wstring& command_line, const std::wstring& working_folder,
                                DWORD timeout_ms, DWORD poll_ms) {
    watched_run run;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring mutable_command = command_line;
    if (!::CreateProcessW(nullptr, mutable_command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          working_folder.empty() ? nullptr : working_folder.c_str(), &startup, &process)) {
        return run;
    }
    run.started = true;
    ::CloseHandle(process.hThread);

    std::vector<HWND> answered;
    const ULONGLONG deadline = ::GetTickCount64() + timeout_ms;
    while (::WaitForSingleObject(process.hProcess, poll_ms) == WAIT_TIMEOUT) {
        if (::GetTickCount64() > deadline) {
            ::TerminateProcess(process.hProcess, 0xDEAD);
            ::WaitForSingleObject(process.hProcess, 5000);
            run.timed_out = true;
            break;
        }
        search s{process.dwProcessId, {}};
        ::EnumWindows(collect_dialog, reinterpret_cast<LPARAM>(&s));
        // Forget boxes that are gone, so that a reused handle is seen anew.
        answered.erase(std::remove_if(answered.begin(), answered.end(), [](HWND w) { return !::IsWindow(w); }),
                       answered.end());
        for (HWND dialog : s.found) {
            if (std::find(answered.begin(), answered.end(), dialog) != answered.end()) continue;
            run.boxes.push_back(read_box(dialog));
            answered.push_back(dialog);
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
        }
    }
    ::GetExitCodeProcess(process.hProcess, &run.exit_code);
    ::CloseHandle(process.hProcess);
    return run;
}
