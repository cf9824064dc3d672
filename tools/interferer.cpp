// Another program that gets in a run's way at a chosen moment, for the
// end-to-end tests. It watches the game folder (or a run's journal) until
// the moment comes, freezes the run, makes sure while it is frozen that the
// moment is still the chosen one, acts, and lets the run go on (or ends it).
// Freezing is what makes the tests deterministic: nothing the run does can
// slip in between the look and the act. What it did goes into REPORT, so
// that a test tells "acted at the chosen moment" from "came too late" (a busy
// machine) and never mistakes one for the other.
//
//   interferer REPORT PROCESS [after FILE TEXT] MOMENT... ACTION...
//
// PROCESS is the image name of the run (patch_installer.exe). "after FILE
// TEXT" is for a moment too short to be seen while the run goes at its own
// pace: once FILE (the journal) holds the line TEXT, the run goes on only in
// slices of a fraction of a millisecond, and is looked at frozen between
// them. One moment:
//   arrival FOLDER SIZE TOTAL  a file of SIZE bytes directly in FOLDER (the
//                              copy's; the originals have other sizes) is
//                              complete, while at most TOTAL-2 of the TOTAL
//                              such files the copy writes there are: one is
//                              written, and one more is still to come
//   set-aside FOLDER SUFFIX TOTAL
//                              between 1 and TOTAL-1 of the TOTAL files
//                              directly in FOLDER wait aside under a name
//                              with SUFFIX (".before-patch": an install;
//                              ".while-patching": a removal)
//   line FILE TEXT UNLESS      FILE holds the line TEXT, but not UNLESS
//   aside FOLDER SUFFIX        a file directly in FOLDER waits aside under a
//                              name with SUFFIX: it is the subject
// Then actions, in order:
//   change-time                the arrival: one byte changed, its size kept,
//                              its last-write time an hour later
//   change-size                the arrival: one byte longer
//   hold MS                    the arrival held alone (no sharing) for MS ms
//                              after the run goes on; 0 holds it until ended
//   lock-sources ARCHIVES      every file directly in ARCHIVES whose namesake
//                              in FOLDER has not arrived is held alone, so
//                              that the copy fails at the next file
//   freeze-until FILE          the run stays frozen until FILE exists
//   kill                       the run ends at once, as in a power cut
// REPORT reads "watching", then "acted: <file>" or "late"; a freeze adds
// "frozen" as it begins.
#include <windows.h>
#include <tlhelp32.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using nt_process_call = LONG(NTAPI*)(HANDLE);

void report(const std::wstring& path, const std::string& line) {
    std::ofstream out(std::filesystem::path(path), std::ios::app | std::ios::binary);
    out << line << "\n";
}

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

struct entry {
    std::wstring name;
    std::uint64_t size = 0;
};

// The files directly in `folder`, in the order Wine lists them (by name).
std::vector<entry> files_in(const std::wstring& folder) {
    std::vector<entry> found;
    WIN32_FIND_DATAW data{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return found;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        found.push_back({data.cFileName, (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow});
    } while (::FindNextFileW(search, &data));
    ::FindClose(search);
    return found;
}

HANDLE open_alone(const std::wstring& path) {
    return ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

// Whether FILE holds LINE as a whole line, read while its writer has it open.
bool has_line(const std::wstring& file, const std::wstring& line) {
    HANDLE in = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE) return false;
    std::string text;
    char block[1 << 16];
    DWORD read = 0;
    while (::ReadFile(in, block, sizeof block, &read, nullptr) && read > 0) text.append(block, read);
    ::CloseHandle(in);
    std::string wanted = "\n";
    wanted += narrow(line);
    wanted += '\n';
    text.insert(text.begin(), '\n');
    return text.find(wanted) != std::string::npos;
}

enum class moment_state { not_yet, now, passed };

struct moment {
    std::wstring kind;
    std::vector<std::wstring> args;

    // For an arrival, `subject` gets the complete file, held alone.
    moment_state look(HANDLE* subject, std::wstring* subject_path) const {
        if (kind == L"arrival") {
            const std::uint64_t size = std::stoull(args[1]);
            const std::size_t total = std::stoul(args[2]);
            std::vector<std::wstring> arrived;
            for (const entry& e : files_in(args[0])) {
                if (e.size == size && e.name.find(L".before-patch") == std::wstring::npos) arrived.push_back(e.name);
            }
            if (arrived.size() + 1 >= total) return moment_state::passed;
            for (const std::wstring& name : arrived) {
                const std::wstring path = args[0] + L"\\" + name;
                HANDLE held = open_alone(path);
                if (held == INVALID_HANDLE_VALUE) continue;  // still being written
                if (subject) {
                    *subject = held;
                    *subject_path = path;
                } else {
                    ::CloseHandle(held);
                }
                return moment_state::now;
            }
            return moment_state::not_yet;
        }
        if (kind == L"set-aside") {
            const std::size_t total = std::stoul(args[2]);
            std::size_t aside = 0;
            for (const entry& e : files_in(args[0])) aside += e.name.find(args[1]) != std::wstring::npos;
            if (aside >= total) return moment_state::passed;
            return aside > 0 ? moment_state::now : moment_state::not_yet;
        }
        if (kind == L"aside") {
            for (const entry& e : files_in(args[0])) {
                if (e.name.find(args[1]) == std::wstring::npos) continue;
                const std::wstring path = args[0] + L"\\" + e.name;
                HANDLE held = open_alone(path);
                if (held == INVALID_HANDLE_VALUE) continue;
                if (subject) {
                    *subject = held;
                    *subject_path = path;
                } else {
                    ::CloseHandle(held);
                }
                return moment_state::now;
            }
            return moment_state::not_yet;
        }
        // line
        if (has_line(args[0], args[2])) return moment_state::passed;
        return has_line(args[0], args[1]) ? moment_state::now : moment_state::not_yet;
    }
};

std::optional<DWORD> find_process(const std::wstring& image_name) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return std::nullopt;
    PROCESSENTRY32W process{};
    process.dwSize = sizeof process;
    std::optional<DWORD> found;
    for (BOOL more = ::Process32FirstW(snapshot, &process); more; more = ::Process32NextW(snapshot, &process)) {
        if (_wcsicmp(process.szExeFile, image_name.c_str()) == 0) found = process.th32ProcessID;
    }
    ::CloseHandle(snapshot);
    return found;
}

// The run, frozen and let go. Windows' (and Wine's) suspension of a process
// returns before its threads have stopped; a thread's context can only be
// read once it has, so reading each one waits for that. The run's threads
// are found once: its work is done on the thread it starts with.
struct frozen_run {
    HANDLE process = nullptr;
    std::vector<HANDLE> threads;
    nt_process_call suspend = nullptr;
    nt_process_call resume = nullptr;

    void freeze() const {
        suspend(process);
        for (HANDLE thread : threads) {
            CONTEXT context{};
            context.ContextFlags = CONTEXT_CONTROL;
            ::GetThreadContext(thread, &context);
        }
    }
    void thaw() const { resume(process); }
    bool ended() const { return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }
    // As in a power cut: at once, wherever it is.
    void kill() const {
        ::TerminateProcess(process, 0xDEAD);
        thaw();  // a frozen thread ends only once it runs again
        ::WaitForSingleObject(process, 10000);
    }
};

std::optional<frozen_run> open_run(const std::wstring& image_name, nt_process_call suspend, nt_process_call resume) {
    const std::optional<DWORD> id = find_process(image_name);
    if (!id) return std::nullopt;
    frozen_run run{::OpenProcess(PROCESS_SUSPEND_RESUME | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, *id), {}, suspend,
                   resume};
    if (!run.process) return std::nullopt;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 thread{};
    thread.dwSize = sizeof thread;
    for (BOOL more = ::Thread32First(snapshot, &thread); more; more = ::Thread32Next(snapshot, &thread)) {
        if (thread.th32OwnerProcessID != *id) continue;
        if (HANDLE handle = ::OpenThread(THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION, FALSE, thread.th32ThreadID)) {
            run.threads.push_back(handle);
        }
    }
    ::CloseHandle(snapshot);
    return run;
}

std::size_t arg_count(const std::wstring& kind) {
    if (kind == L"arrival" || kind == L"line" || kind == L"set-aside") return 3;
    if (kind == L"aside") return 2;
    if (kind == L"hold" || kind == L"lock-sources" || kind == L"freeze-until") return 1;
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    const std::wstring report_path = argv[1];
    const std::wstring process_name = argv[2];
    int at = 3;
    std::optional<std::pair<std::wstring, std::wstring>> stepped_after;
    if (std::wstring(argv[at]) == L"after" && at + 2 < argc) {
        stepped_after.emplace(argv[at + 1], argv[at + 2]);
        at += 3;
    }
    if (at >= argc) return 2;
    moment when{argv[at++], {}};
    for (std::size_t i = 0; i < arg_count(when.kind) && at < argc; ++i) when.args.push_back(argv[at++]);
    std::vector<std::pair<std::wstring, std::wstring>> actions;
    while (at < argc) {
        std::wstring kind = argv[at++];
        std::wstring arg = arg_count(kind) && at < argc ? argv[at++] : L"";
        actions.emplace_back(kind, arg);
    }

    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    // Through void*: the system hands out every export as a FARPROC.
    auto suspend = reinterpret_cast<nt_process_call>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtSuspendProcess")));
    auto resume = reinterpret_cast<nt_process_call>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtResumeProcess")));
    std::wstring watched;
    for (int i = 3; i < argc; ++i) watched += std::wstring(i > 3 ? L" " : L"") + argv[i];
    report(report_path, "watching: " + narrow(watched));

    HANDLE subject = INVALID_HANDLE_VALUE;
    std::wstring subject_path;
    std::optional<frozen_run> run;
    const auto late = [&] {
        report(report_path, "late");
        return 1;
    };
    if (stepped_after) {
        while (!has_line(stepped_after->first, stepped_after->second)) ::Sleep(1);
        run = open_run(process_name, suspend, resume);
        if (!run) return late();
        LARGE_INTEGER frequency{};
        ::QueryPerformanceFrequency(&frequency);
        for (;;) {
            run->freeze();
            const moment_state seen = when.look(&subject, &subject_path);
            if (seen == moment_state::now) break;
            run->thaw();
            if (seen == moment_state::passed || run->ended()) return late();
            LARGE_INTEGER start{}, now{};
            ::QueryPerformanceCounter(&start);
            do {
                ::QueryPerformanceCounter(&now);
            } while ((now.QuadPart - start.QuadPart) * 2000 < frequency.QuadPart);  // half a millisecond
        }
    }
    while (!run) {
        const moment_state seen = when.look(nullptr, nullptr);
        if (seen == moment_state::passed) return late();
        if (seen == moment_state::now) {
            run = open_run(process_name, suspend, resume);
            if (!run) return late();
            run->freeze();
            // Frozen: is it still the chosen moment?
            const moment_state confirmed = when.look(&subject, &subject_path);
            if (confirmed == moment_state::now) break;
            run->thaw();
            ::CloseHandle(run->process);
            run.reset();
            if (confirmed == moment_state::passed) return late();
        }
        ::Sleep(1);
    }

    // The arrival was opened alone to be sure it was complete; it stays held
    // only for an action that works on it.
    bool works_on_subject = false;
    for (const auto& action : actions) {
        works_on_subject |= action.first == L"change-time" || action.first == L"change-size" || action.first == L"hold";
    }
    if (!works_on_subject && subject != INVALID_HANDLE_VALUE) {
        ::CloseHandle(subject);
        subject = INVALID_HANDLE_VALUE;
    }
    std::vector<HANDLE> locked_sources;
    DWORD hold_ms = 0;
    bool holding = false;
    bool ended = false;
    for (const auto& [kind, arg] : actions) {
        if (kind == L"change-time" || kind == L"change-size") {
            char byte = 0;
            DWORD done = 0;
            if (kind == L"change-time") {
                ::ReadFile(subject, &byte, 1, &done, nullptr);
                byte = static_cast<char>(byte ^ 0x20);
                ::SetFilePointer(subject, 0, nullptr, FILE_BEGIN);
            } else {
                ::SetFilePointer(subject, 0, nullptr, FILE_END);
                byte = '+';
            }
            ::WriteFile(subject, &byte, 1, &done, nullptr);
            FILETIME written{};
            ::GetFileTime(subject, nullptr, nullptr, &written);
            ULARGE_INTEGER later{{written.dwLowDateTime, written.dwHighDateTime}};
            later.QuadPart += 3600ull * 10'000'000;
            written = {later.LowPart, later.HighPart};
            ::SetFileTime(subject, nullptr, nullptr, &written);
        } else if (kind == L"hold") {
            holding = true;
            hold_ms = static_cast<DWORD>(std::stoul(arg));
        } else if (kind == L"lock-sources") {
            const std::uint64_t size = std::stoull(when.args[1]);
            std::vector<std::wstring> arrived;
            for (const entry& e : files_in(when.args[0])) {
                if (e.size == size) arrived.push_back(e.name);
            }
            for (const entry& source : files_in(arg)) {
                bool done_already = false;
                for (const std::wstring& name : arrived) done_already |= _wcsicmp(name.c_str(), source.name.c_str()) == 0;
                if (done_already) continue;
                // The file being copied now is open in the run, so it cannot
                // be held; the next one can.
                HANDLE held = open_alone(arg + L"\\" + source.name);
                if (held != INVALID_HANDLE_VALUE) locked_sources.push_back(held);
            }
        } else if (kind == L"freeze-until") {
            report(report_path, "frozen: " + narrow(subject_path));
            while (::GetFileAttributesW(arg.c_str()) == INVALID_FILE_ATTRIBUTES) ::Sleep(5);
        } else if (kind == L"kill") {
            // Told first: the test wakes as soon as the run has ended.
            report(report_path, "acted: " + narrow(subject_path));
            run->kill();
            ended = true;
        }
    }
    if (ended) {
        if (!holding && subject != INVALID_HANDLE_VALUE) ::CloseHandle(subject);
        ::Sleep(INFINITE);
    }
    // Told while the run is still frozen: the test reads this once the run has ended.
    report(report_path, "acted: " + narrow(subject_path));
    run->thaw();
    if (!holding && subject != INVALID_HANDLE_VALUE) {
        ::CloseHandle(subject);
        subject = INVALID_HANDLE_VALUE;
    }
    if (holding && hold_ms > 0) {
        ::Sleep(hold_ms);
        ::CloseHandle(subject);
        subject = INVALID_HANDLE_VALUE;
    }
    ::Sleep(INFINITE);  // until the test ends it; what it still holds goes with it
    return 0;
}
