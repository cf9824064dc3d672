#include "tests/e2e/scenario.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace {

fs::path test_executable_folder() {
    wchar_t buffer[MAX_PATH * 4] = {};
    ::GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
    return fs::path(buffer).parent_path();
}

}  // namespace

std::string config_text(const config_fields& fields) {
    nlohmann::json document = {
        {"game_name", fields.game_name},
        {"process_name", fields.process_name},
        {"data_directory", fields.data_directory},
        {"registry_key", fields.registry_key},
        {"steam_id", fields.steam_id},
    };
    return document.dump(2) + "\n";
}

fs::path built_installer() { return test_executable_folder().parent_path() / L"patch_installer.exe"; }
fs::path built_patch_check() { return test_executable_folder().parent_path() / L"patch_check.exe"; }
fs::path built_remover() { return test_executable_folder().parent_path() / L"patch_remove.exe"; }

captured_run run_capturing(const std::wstring& command_line) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    if (!::CreatePipe(&read_end, &write_end, &inheritable, 0)) throw std::runtime_error("cannot make a pipe");
    ::SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    HANDLE nothing = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                   OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing;
    startup.hStdOutput = write_end;
    startup.hStdError = write_end;
    PROCESS_INFORMATION process{};
    std::wstring command = command_line;
    // No console of its own: a program that waits for a key when started by
    // a double-click must not wait here.
    const BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                          nullptr, &startup, &process);
    ::CloseHandle(write_end);
    ::CloseHandle(nothing);
    if (!started) {
        ::CloseHandle(read_end);
        throw std::runtime_error("cannot start a program: error " + std::to_string(::GetLastError()));
    }
    captured_run run;
    // Read as it comes, so that a program that hangs ends the test, not CI.
    auto drain = [&] {
        char buffer[4096];
        DWORD available = 0;
        DWORD read = 0;
        while (::PeekNamedPipe(read_end, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
               ::ReadFile(read_end, buffer, sizeof buffer, &read, nullptr) && read > 0) {
            run.output.append(buffer, read);
        }
    };
    const ULONGLONG deadline = ::GetTickCount64() + 30000;
    while (::WaitForSingleObject(process.hProcess, 10) == WAIT_TIMEOUT) {
        drain();
        if (::GetTickCount64() > deadline) {
            ::TerminateProcess(process.hProcess, 0xDEAD);
            ::WaitForSingleObject(process.hProcess, 5000);
            run.timed_out = true;
            break;
        }
    }
    drain();
    ::CloseHandle(read_end);
    ::GetExitCodeProcess(process.hProcess, &run.exit_code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return run;
}
fs::path built_stand_in_game() { return test_executable_folder() / L"stand_in_game.exe"; }
fs::path built_interferer() { return test_executable_folder() / L"interferer.exe"; }

namespace {

struct tree_entry {
    std::wstring relative;  // below the root walked
    std::wstring path;      // in the long form
    bool is_folder = false;
};

// Everything below `root`, each folder before what it holds: by the
// system's own calls on the long form, so that what lies past MAX_PATH is
// walked too (std::filesystem stops there).
void walk(const std::wstring& long_root, const std::wstring& relative, std::vector<tree_entry>& found) {
    const std::wstring folder = relative.empty() ? long_root : long_root + L"\\" + relative;
    WIN32_FIND_DATAW data{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring below = relative.empty() ? name : relative + L"\\" + name;
        const bool is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        found.push_back({below, folder + L"\\" + name, is_folder});
        if (is_folder && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) walk(long_root, below, found);
    } while (::FindNextFileW(search, &data));
    ::FindClose(search);
}

std::wstring long_form(const fs::path& path) {
    const std::wstring& given = path.native();
    return given.size() > 2 && given[1] == L':' ? L"\\\\?\\" + given : given;
}

std::vector<tree_entry> walk(const fs::path& root) {
    std::vector<tree_entry> found;
    walk(long_form(root), L"", found);
    return found;
}

}  // namespace

void remove_tree(const fs::path& root) {
    // Read-only files (kept originals among them) go only once writable;
    // the deepest go first, so that each folder is empty when it goes.
    const std::vector<tree_entry> found = walk(root);
    for (auto it = found.rbegin(); it != found.rend(); ++it) {
        ::SetFileAttributesW(it->path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (it->is_folder) {
            ::RemoveDirectoryW(it->path.c_str());
        } else {
            ::DeleteFileW(it->path.c_str());
        }
    }
    const std::wstring whole = long_form(root);
    ::RemoveDirectoryW(whole.c_str());
    if (::GetFileAttributesW(whole.c_str()) != INVALID_FILE_ATTRIBUTES) {
        throw std::runtime_error("cannot clear " + root.string());
    }
}

scenario::scenario(const std::wstring& name)
    : root(fs::path(L"C:\\e2e") / name), installer_folder(root / L"installer"), working_folder(root / L"work") {
    remove_tree(root);
    fs::create_directories(installer_folder);
    fs::create_directories(working_folder);
    fs::create_directories(archives());
}

void scenario::install_executable(const std::optional<fs::path>& folder) {
    fs::create_directories(folder.value_or(installer_folder));
    fs::copy_file(built_installer(), folder.value_or(installer_folder) / L"patch_installer.exe",
                  fs::copy_options::overwrite_existing);
    fs::copy_file(built_remover(), folder.value_or(installer_folder) / L"patch_remove.exe",
                  fs::copy_options::overwrite_existing);
}

void scenario::write_config(const config_fields& fields) const {
    write_file(archives() / L"config.json", config_text(fields));
}

watched_run scenario::run_remover() const {
    watched_run result = run_answering_boxes(L"\"" + remover().wstring() + L"\"", working_folder.wstring());
    if (!result.started) {
        throw std::runtime_error("the remover did not start: error " + std::to_string(::GetLastError()));
    }
    return result;
}

watched_run scenario::run(const std::wstring& arguments) const {
    std::wstring command = L"\"" + installer().wstring() + L"\"";
    if (!arguments.empty()) command += L" " + arguments;
    watched_run result = run_answering_boxes(command, working_folder.wstring());
    if (!result.started) {
        throw std::runtime_error("the installer did not start: error " + std::to_string(::GetLastError()));
    }
    return result;
}

std::wstring from_utf8(const std::string& utf8) {
    int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
    return out;
}

std::string to_utf8(const std::wstring& text) {
    int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

void write_file(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

tree_snapshot snapshot(const fs::path& root) {
    tree_snapshot tree;
    for (const tree_entry& entry : walk(root)) {
        const std::wstring& relative = entry.relative;
        if (entry.is_folder) {
            tree[relative] = "<folder>";
            continue;
        }
        std::string bytes = read_file(entry.path);
        if (bytes.size() > 200) {
            // Large files by size and digest (FNV-1a), so that a failure
            // report stays readable.
            std::uint64_t hash = 14695981039346656037ull;
            for (unsigned char byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
            bytes = "<" + std::to_string(bytes.size()) + " bytes, digest " + std::to_string(hash) + ">";
        }
        tree[relative] = std::move(bytes);
    }
    return tree;
}

void expect_same_tree(const tree_snapshot& after, const tree_snapshot& before) {
    for (const auto& [place, bytes] : after) {
        const auto was = before.find(place);
        if (was == before.end()) {
            ADD_FAILURE() << "new: " << to_utf8(place);
        } else if (was->second != bytes) {
            ADD_FAILURE() << "changed: " << to_utf8(place) << ": [" << was->second << "] became [" << bytes << "]";
        }
    }
    for (const auto& [place, bytes] : before) {
        if (!after.count(place)) ADD_FAILURE() << "gone: " << to_utf8(place);
    }
}

void expect_installed(const watched_run& run) {
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 0u);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, L"Patch installed. Have fun ;)");
}

void expect_unchanged_but_log(tree_snapshot before, tree_snapshot after) {
    before.erase(L"work\\install_log.log");
    after.erase(L"work\\install_log.log");
    EXPECT_EQ(after, before);
}

void wait_until_held(const fs::path& path) {
    for (int i = 0; i < 1000; ++i) {
        HANDLE probe = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
        if (probe == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_SHARING_VIOLATION) return;
        if (probe != INVALID_HANDLE_VALUE) ::CloseHandle(probe);
        ::Sleep(10);
    }
    throw std::runtime_error("nothing came to hold " + path.string() + " within 10 s");
}

void set_user_string(const std::wstring& sub_key, const std::wstring& name, const std::wstring& value) {
    LSTATUS status = ::RegSetKeyValueW(HKEY_CURRENT_USER, sub_key.c_str(), name.c_str(), REG_SZ, value.c_str(),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) throw std::runtime_error("cannot set a registry value");
}

void delete_user_tree(const std::wstring& sub_key) { ::RegDeleteTreeW(HKEY_CURRENT_USER, sub_key.c_str()); }

fs::path prepared_folder(const std::wstring& name) {
    fs::path folder = fs::path(L"C:\\e2e_links") / name;
    if (!fs::exists(folder / L"archives")) throw std::runtime_error("the prefix set-up left no " + folder.string());
    return folder;
}

background_program::background_program(const fs::path& executable, const std::wstring& arguments) {
    std::wstring command = L"\"" + executable.wstring() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!::CreateProcessW(executable.wstring().c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process_)) {
        throw std::runtime_error("cannot start " + executable.string() + ": error " + std::to_string(::GetLastError()));
    }
    ::WaitForInputIdle(process_.hProcess, 2000);
}

background_program::~background_program() {
    ::TerminateProcess(process_.hProcess, 0);
    ::WaitForSingleObject(process_.hProcess, 5000);
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
}

registered_game::registered_game(const std::string& registry_key_utf8, const std::wstring& install_path)
    : sub_key_(L"Software\\Wavelorn\\" + from_utf8(registry_key_utf8)) {
    set_user_string(sub_key_, L"InstallPath", install_path);
}

registered_game::~registered_game() { delete_user_tree(sub_key_); }

interference::interference(const std::vector<std::wstring>& arguments, const std::wstring& process) {
    static int made = 0;
    const fs::path reports = L"C:\\e2e_reports";
    fs::create_directories(reports);
    report_ = reports / (std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++made) + L".txt");
    fs::remove(report_);
    std::wstring command = L"\"" + report_.wstring() + L"\" \"" + process + L"\"";
    for (const std::wstring& argument : arguments) command += L" \"" + argument + L"\"";
    program_ = std::make_unique<background_program>(built_interferer(), command);
    for (int i = 0; i < 1000 && report().find("watching") == std::string::npos; ++i) ::Sleep(10);
    if (report().find("watching") == std::string::npos) throw std::runtime_error("the interferer did not start");
}

bool interference::acted() const { return report().find("acted: ") != std::string::npos; }

bool interference::wait_until_frozen() const {
    for (int i = 0; i < 3000; ++i) {
        const std::string text = report();
        if (text.find("frozen: ") != std::string::npos) return true;
        if (text.find("late") != std::string::npos) return false;
        ::Sleep(10);
    }
    return false;
}

std::string interference::report() const { return read_file(report_); }

std::wstring interference::subject() const {
    const std::string text = report();
    const std::size_t at = text.find("acted: ");
    if (at == std::string::npos) return {};
    const std::size_t end = text.find('\n', at);
    return from_utf8(text.substr(at + 7, end == std::string::npos ? std::string::npos : end - at - 7));
}

void run_until_interfered(const std::function<bool()>& attempt) {
    for (int tries = 0; tries < 3; ++tries) {
        if (attempt()) return;
        std::printf("the interferer came too late (a busy machine); the case is laid out and run again\n");
    }
    ADD_FAILURE() << "the interferer came too late three times: the case was never tried at its moment";
}
