#pragma once
// A folder of its own for one end-to-end case under C:\e2e, with a copy of the
// real installer, its archives folder and a working folder, plus helpers for
// the registry and for reading back what the run left.
#include <windows.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>
#include <map>
#include <optional>
#include <string>

#include "tools/box_watch.hpp"

namespace fs = std::filesystem;

// The five members as a config.json object; `extra` is appended verbatim
// after the object's closing brace.
struct config_fields {
    std::string game_name = "Sample Game";
    std::string process_name = "SampleGame.exe";
    std::string data_directory = "data";
    std::string registry_key = "e2e-not-registered";
    std::string steam_id = "4000";
};
std::string config_text(const config_fields& fields);

class scenario {
public:
    // Starts from an empty folder C:\e2e\<name>; the installer goes to
    // <root>\installer, the run's working folder is <root>\work.
    explicit scenario(const std::wstring& name);

    fs::path root;
    fs::path installer_folder;
    fs::path working_folder;

    fs::path archives() const { return installer_folder / L"archives"; }
    fs::path installer() const { return installer_folder / L"patch_installer.exe"; }
    fs::path remover() const { return installer_folder / L"patch_remove.exe"; }

    // Copies the built installer and remover to `folder` (default:
    // installer_folder).
    void install_executable(const std::optional<fs::path>& folder = std::nullopt);
    void write_config(const config_fields& fields) const;

    watched_run run(const std::wstring& arguments = L"") const;
    watched_run run_remover() const;
};

std::wstring from_utf8(const std::string& utf8);
std::string to_utf8(const std::wstring& text);

// Removes `root` and all below it, read-only files too.
void remove_tree(const fs::path& root);

void write_file(const fs::path& path, const std::string& bytes);
std::string read_file(const fs::path& path);

// Every file and folder below `root`, by relative path: a file's bytes, or
// "<folder>". Two equal snapshots mean a byte-identical tree.
using tree_snapshot = std::map<std::wstring, std::string>;
tree_snapshot snapshot(const fs::path& root);

// `after` equals `before`; otherwise each entry that differs is named.
void expect_same_tree(const tree_snapshot& after, const tree_snapshot& before);

// A finished patch, seen the way a player sees it: status 0 alone proves
// nothing (a crash under Wine can end with 0), so the one box must say so.
void expect_installed(const watched_run& run);

// `after` equals `before` but for the install log in the working folder,
// which a Steam search writes.
void expect_unchanged_but_log(tree_snapshot before, tree_snapshot after);

// Waits (up to 10 s) until another program holds `path` so that it cannot
// be opened for reading and writing.
void wait_until_held(const fs::path& path);

// A console program's exit status and what it wrote to its standard output
// and error, as UTF-8.
struct captured_run {
    DWORD exit_code = 0;
    bool timed_out = false;  // ended by force after 30 s
    std::string output;
};
captured_run run_capturing(const std::wstring& command_line);

// Build output next to the test executable.
fs::path built_installer();
fs::path built_patch_check();
fs::path built_remover();
fs::path built_stand_in_game();
fs::path built_interferer();

// HKEY_CURRENT_USER helpers.
void set_user_string(const std::wstring& sub_key, const std::wstring& name, const std::wstring& value);
void delete_user_tree(const std::wstring& sub_key);

// An installer folder made by the prefix set-up, whose archives hold what
// Windows programs cannot make under Wine: symbolic links (Wine's
// CreateSymbolicLinkW makes none) and names Windows forbids.
//   escape: archives\escape.txt -> ..\secret.txt ("outside the archives folder")
//   inside: archives\data\alias.txt -> real.txt ("the real file")
//   folder: archives\linked -> ..\elsewhere, a folder holding hidden.txt
//   twins:  archives\level.pak ("lower") and archives\LEVEL.pak ("upper")
//   configs: archives\config.json ("{}", for the test to fill in) and
//           archives\Config.json ("the author's other file")
//   odd_<name with _ for other than letters and digits>: archives\<name>
//           for what?.txt, a:b.txt, CON.txt, tab<TAB>here.txt and end.
fs::path prepared_folder(const std::wstring& name);

// A program started from `executable` and ended when this goes out of scope.
class background_program {
public:
    background_program(const fs::path& executable, const std::wstring& arguments = L"");
    ~background_program();
    background_program(const background_program&) = delete;
    background_program& operator=(const background_program&) = delete;

private:
    PROCESS_INFORMATION process_{};
};

// tools/interferer.cpp, started for one run and watching for its moment
// before this returns; ended, with whatever it still holds, when this goes
// out of scope. Its report lies outside every scenario's folder.
class interference {
public:
    // `arguments`: the moment and the actions, as the interferer takes them.
    explicit interference(const std::vector<std::wstring>& arguments,
                          const std::wstring& process = L"patch_installer.exe");
    // Whether it acted at its moment (false: too late, or not yet).
    bool acted() const;
    // Waits (up to 30 s) until it has frozen the run; false when it never did.
    bool wait_until_frozen() const;
    std::string report() const;
    // The file it acted on, when it acted on one.
    std::wstring subject() const;

private:
    fs::path report_;
    std::unique_ptr<background_program> program_;
};

// Runs a case whose interferer a busy machine may delay past its moment:
// `attempt` lays the case out, runs it and returns whether its interferer
// acted, making its assertions only then. Up to three attempts; a test whose
// interferer never acted fails, saying so.
void run_until_interfered(const std::function<bool()>& attempt);

// A unique sub-key under Software\Wavelorn, removed again at the end.
class registered_game {
public:
    registered_game(const std::string& registry_key_utf8, const std::wstring& install_path);
    ~registered_game();
    registered_game(const registered_game&) = delete;
    registered_game& operator=(const registered_game&) = delete;

private:
    std::wstring sub_key_;
};
