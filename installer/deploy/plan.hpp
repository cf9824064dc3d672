#pragma once
// The plan of one run that changes the game folder, an install or a removal:
// made before the first change, written to the journal and flushed before
// the first rename. Every stage reads it, and a run that was interrupted is
// put back from the journal and from what is on disk alone.
//
// Invariants (the planners make them hold; the journal keeps them):
// - A place is a path below the game folder: relative, elements joined by
//   '\', no "." or ".." element, no place twice (case ignored).
// - Every name the run creates did not exist when the plan was made: the
//   destination of an added file, each `aside`, each folder. Aside names are
//   no destination and no other aside (case ignored). So whatever stands at
//   such a name after an interruption was put there by the run.
// - A file that was in the game keeps its place spelled as the game folder
//   had it, so that it gets its own name back.
// - Folders are listed outermost first.
#include <string>
#include <vector>

#include "installer/patch/file_stamp.hpp"

enum class run_kind { install, remove };

enum class file_action {
    // An install:
    add,      // nothing was there; the patch's file is new
    replace,  // the game's file goes to `aside`: its original, kept after the install unless keep_originals is off
    update,   // the file an earlier install wrote goes to `aside` while the run lasts (none when it is gone); the
              // original that install set aside stays the original
    refresh,  // the file an earlier install wrote has changed since (a game update): it goes to `aside` as the new
              // original, and the earlier original `former` (if any) goes once the run is kept
    // A removal:
    take_away,  // the patch's file, which had no original, goes to `aside`, and is gone once the removal is kept
    restore,    // the patch's file goes to `aside` (gone once kept), and the original at `former` gets its place back
};

struct planned_file {
    file_action action = file_action::add;
    std::wstring place;
    std::wstring aside;   // where the file now at `place` waits; empty when nothing is there
    std::wstring former;  // refresh: the earlier original; restore: the original that comes back
    // An install's file: where the copy reads it, and what it must arrive as.
    std::wstring source;
    file_stamp source_stamp;

    friend bool operator==(const planned_file&, const planned_file&) = default;
};

struct run_plan {
    run_kind kind = run_kind::install;
    bool keep_originals = true;
    std::vector<planned_file> files;
    // An install: the folders the copy creates. A removal: the folders the
    // installs created, removed once the removal is kept and they are empty.
    std::vector<std::wstring> folders;

    friend bool operator==(const run_plan&, const run_plan&) = default;
};

// How far a run got, in the order of its stages. The journal records each
// boundary as it is passed.
enum class run_stage {
    planning,   // the plan is not complete on disk: nothing was changed
    planned,    // the plan is on disk; setting aside may have begun
    set_aside,  // every `aside` holds what stood at its place; the copy (or the restore) may have begun
    copied,     // install: the shell copy returned; remove: every original is back at its place
    verified,   // install: every file arrived complete
    kept,       // the run is kept: it cannot be put back any more, only finished
    cleaned,    // what a kept run no longer needs is gone
};

// What stands at a place after the install, for the remover's check and
// the next install.
struct written_file {
    std::wstring place;
    file_stamp stamp;

    friend bool operator==(const written_file&, const written_file&) = default;
};
