// Another program that gets in a run's way at a chosen moment, for the
// end-to-end tests. It watches the game folder (or a run's journal) until
// the moment comes, freezes the run, makes sure while it is frozen that the
// moment is still the chosen one, acts, and lets the run go on (or ends it).
// Freezing is what makes the tests deterministic: nothing the run does can
// slip in between the look and the act. What it did goes into REPORT, so
// that a test tells "acted at the chosen moment" from "came too late" (a busy
// machine) and never mistakes one for the other.
//
//   interferer REPORT PROCESS MOMENT... ACTION...
//
// PROCESS is the image name of the run (patch_installer.exe). One moment:
//   arrival FOLDER SIZE TOTAL  a file of SIZE bytes directly in FOLDER (the
//                              copy's; the originals have other sizes) is
//                              complete, while at most TOTAL-2 of the TOTAL
//                              such files the copy writes there are: one is
//                              written, and one more is still to come
//   set-aside FOLDER TOTAL     between 1 and TOTAL-1 of the TOTAL originals
//                              directly in FOLDER are set aside
//   line FILE TEXT UNLESS      FILE holds the line TEXT, but not UNLESS
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
// REPORT reads "watching", then "acted: <file>" or "late".
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

bool has_line(const std::wstring& file, const std::wstring& line) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    const std::string wanted = narrow(line);
    for (std::string read; std::getline(in, read);) {
        if (!read.empty() && read.back() == '\r') read.pop_back();
        if (read == wanted) return true;
    }
    return false;
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
            const std::size_t total = std::stoul(args[1]);
            std::size_t aside = 0;
            for (const entry& e : files_in(args[0])) aside += e.name.find(L".before-patch") != std::wstring::npos;
            if (aside >= total) return moment_state::passed;
            return aside > 0 ? moment_state::now : moment_state::not_yet;
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

std::size_t arg_count(const std::wstring& kind) {
    if (kind == L"arrival" || kind == L"line") return 3;
    if (kind == L"set-aside") return 2;
    if (kind == L"hold" || kind == L"lock-sources" || kind == L"freeze-until") return 1;
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    const std::wstring report_path = argv[1];
    const std::wstring process_name = argv[2];
    moment when{argv[3], {}};
    int at = 4;
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
    report(report_path, "watching");

    HANDLE subject = INVALID_HANDLE_VALUE;
    std::wstring subject_path;
    HANDLE run = nullptr;
    for (;;) {
        const moment_state seen = when.look(nullptr, nullptr);
        if (seen == moment_state::passed) {
            report(report_path, "late");
            return 1;
        }
        if (seen == moment_state::now) {
            const std::optional<DWORD> id = find_process(process_name);
            if (!id) {
                report(report_path, "late");
                return 1;
            }
            run = ::OpenProcess(PROCESS_SUSPEND_RESUME | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, *id);
            if (!run) {
                report(report_path, "late");
                return 1;
            }
            suspend(run);
            // Frozen: is it still the chosen moment?
            const moment_state confirmed = when.look(&subject, &subject_path);
            if (confirmed == moment_state::now) break;
            resume(run);
            ::CloseHandle(run);
            run = nullptr;
            if (confirmed == moment_state::passed) {
                report(report_path, "late");
                return 1;
            }
        }
        ::Sleep(1);
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
            while (::GetFileAttributesW(arg.c_str()) == INVALID_FILE_ATTRIBUTES) ::Sleep(5);
        } else if (kind == L"kill") {
            ::TerminateProcess(run, 0xDEAD);
            ::WaitForSingleObject(run, 10000);
            ended = true;
        }
    }
    report(report_path, "acted: " + narrow(subject_path));
    if (!ended) resume(run);
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
