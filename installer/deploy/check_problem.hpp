#pragma once
// Why a run stops before its first change to the game folder: a kind and the
// facts that go with it. The transaction only reports; the run says it in a
// player's words (installer/run/messages.hpp).
#include <cstdint>
#include <exception>
#include <string>

#include "installer/patch/path_rules.hpp"

enum class check_problem_kind {
    another_run,            // another run holds the game folder's lock
    game_folder_missing,    // the registered or found folder is not there
    game_folder_path,       // the game folder's path has `fault`
    source_path,            // a patch file's own path has `fault`
    destination_path,       // a destination's path has `fault`
    created_folder_path,    // a folder the copy creates has `fault`
    same_place_twice,       // two patch files go to `file`
    patch_into_itself,      // `file` is one of the patch's own files: the copy would write over its sources
    game_folder_in_patch,   // the game folder `file` is the archives folder or lies inside it
    reserved_name,          // `file` is where the journal or its lock lives
    folder_cannot_be_checked,  // `file` (a folder) cannot be looked at: `system_text`
    file_where_folder_needed,  // `file` is a file in the game where the patch needs a folder
    folder_where_file_needed,  // `file` is a folder in the game where the patch has a file
    file_cannot_be_checked,    // `file` cannot be looked at: `system_text`
    case_twins,             // `file` and `other_file` differ only in case: the copy would take either
    in_use,                 // another program holds `file`
    access_denied,          // Windows denies access to `file`
    cannot_be_replaced,     // `file` cannot be opened to be replaced: `system_text`
    folder_not_writable,    // no new file can be made in `file` (a folder): `system_text`
    set_aside_names_taken,  // every name to set `file`'s original aside under is taken
    source_in_use,          // another program holds the patch file `file`
    source_unreadable,      // the patch file `file` cannot be read: `system_text`
    source_not_a_file,      // the patch file `file` is no regular file (a pipe, a socket, a device)
    free_space_unreadable,  // the free space on `file`'s drive cannot be read: `system_text`
    not_enough_space,       // `needed` bytes, `available` free on `file`'s drive
    journal_unreadable,     // the journal `file` is of a kind this program cannot read
    other_version,          // `file` is not the game's file the patch was made for (`missing`: not there);
                            // `count` files differ in all
    // A removal:
    originals_discarded,    // the install deleted the original of `file` (keep_originals was off)
    game_changed,           // `file` is not as the install left it: the game has changed since
    original_missing,       // the original `file` that the install set aside is gone
};

struct check_problem {
    check_problem_kind kind;
    std::wstring file = {};
    std::wstring other_file = {};
    path_fault fault = path_fault::none;
    std::size_t length = 0;  // of a path with `fault`
    std::size_t limit = 0;   // its most
    std::wstring system_text = {};  // the system's own words for the error, where one is named
    std::uint64_t needed = 0;
    std::uint64_t available = 0;
    std::size_t count = 0;
    bool missing = false;
};

// Raised by every check before the first change: the game folder is as it
// was, and the run ends with status 3.
class stopped_before_change : public std::exception {
public:
    explicit stopped_before_change(check_problem problem) : problem_(std::move(problem)) {}
    const char* what() const noexcept override { return "the patch cannot be copied into the game folder"; }
    const check_problem& problem() const { return problem_; }

private:
    check_problem problem_;
};
