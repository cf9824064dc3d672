#pragma once
// What the installs a journal holds have left in the game folder: every file
// they wrote, what became of the original at its place, and the folders they
// created. The remover gives this back; the next install builds on it.
#include <string>
#include <vector>

#include "installer/patch/file_stamp.hpp"
#include "installer/deploy/journal_format.hpp"

enum class original_state {
    none,       // the patch added the file: nothing was there before
    kept,       // the original waits at `original`
    discarded,  // the original was deleted (keep_originals was off): it cannot come back
};

struct recorded_file {
    std::wstring place;
    original_state original = original_state::none;
    std::wstring original_place;
    file_stamp written;  // what the install left at `place`
};

struct install_record {
    std::vector<recorded_file> files;
    std::vector<std::wstring> folders;  // outermost first
    bool empty() const { return files.empty() && folders.empty(); }
};

// The record after every kept run, in order. A run that was not kept (the
// last one, interrupted) changes nothing here; a kept removal empties it.
install_record installed_record(const journal_contents& journal);

// The record before `run_index`'s run: what a put-back of that run leaves.
install_record record_before(const journal_contents& journal, std::size_t run_index);
