#pragma once
// Undoing and finishing a run, decided from its plan (as the journal holds
// it), how far it got, and what is on disk: nothing else. The same code puts
// back a copy that failed, a run that was interrupted (by its next run), and
// a removal; and it finishes a run that was kept before it could tidy up.
// Every step looks before it acts, so that doing it twice does no harm: a
// recovery interrupted in its turn is simply recovered again.
#include <functional>
#include <string>
#include <vector>

#include "installer/deploy/journal_format.hpp"

// What the steps do to the game folder, by place below it. The Windows edge
// waits a little for files that are busy; a fake disk serves the tests.
enum class folder_removal { gone, not_empty, failed };
struct disk_operations {
    std::function<bool(const std::wstring& place)> exists;
    std::function<bool(const std::wstring& place)> remove_file;                  // true when it is gone
    std::function<bool(const std::wstring& from, const std::wstring& to)> rename;  // never over an existing name
    std::function<folder_removal(const std::wstring& place)> remove_folder;
};

// Places that were left as they should not be.
struct leftovers {
    std::vector<std::wstring> not_restored;  // names files still wait under, away from their places
    std::vector<std::wstring> not_removed;   // files or folders of the run that are still there
    bool empty() const { return not_restored.empty() && not_removed.empty(); }
};

// Puts the game folder back as it was before `run`: removes only what the
// run wrote, gives every file that waits aside its place back, and removes
// the folders it created once empty, innermost first.
leftovers undo_run(const journal_run& run, const disk_operations& disk);

// For a run that was kept: deletes what it no longer needs (files of an
// earlier patch that waited aside, originals that are not to be kept; a
// removal's folders once empty).
leftovers finish_run(const journal_run& run, const disk_operations& disk);
