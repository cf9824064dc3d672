#pragma once
// What the shell's copy can take as a path, decided on plain strings. The
// shell (SHFileOperationW) has no long-path support: a path longer than the
// limits below, or one that Windows would read as something else (a device,
// a wildcard, an alternate data stream), is refused or, worse, written
// somewhere the player never asked for.
#include <cstddef>
#include <string>
#include <string_view>

// A file path must fit MAX_PATH (260 units) with its terminator.
inline constexpr std::size_t max_file_path = 259;
// CreateDirectoryW keeps room for an 8.3 name: a folder the copy has to
// create must fit 248 units with its terminator.
inline constexpr std::size_t max_created_folder_path = 247;

enum class path_fault {
    none,
    too_long,
    device_form,            // \\?\, \\.\ or \??\ in front
    control_character,      // NUL or another unit below 0x20
    forbidden_character,    // * ? < > " |
    misplaced_colon,        // anywhere but right after a drive letter
    reserved_name,          // CON, PRN, AUX, NUL, COM1-9, LPT1-9, also with an extension
    trailing_dot_or_space,  // Windows drops these, so the name would change
};

// The first fault of `path` (an absolute path), or none. `limit` is the
// longest length the path may have.
path_fault find_path_fault(std::wstring_view path, std::size_t limit = max_file_path);

// The same rules for one name (a file or folder name, no separators), with
// no length limit: for reports on a patch's own names.
path_fault find_name_fault(std::wstring_view name);

// How long the game folder's path may be for `relative` below it to fit
// `limit`: one '\\' and `relative` follow it. The installer judges each path
// with it, and the checker tells authors the least of them, so the two agree.
std::size_t room_for_game_folder(std::wstring_view relative, std::size_t limit);

// The longest game folder below which `place` fits if every folder on its
// way has to be created: the file's path within max_file_path, each
// folder's within max_created_folder_path.
std::size_t longest_game_folder(std::wstring_view place);

