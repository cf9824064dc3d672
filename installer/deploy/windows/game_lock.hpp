#pragma once
// One run at a time per game folder. The lock is a file beside the journal,
// opened without sharing and deleted when its handle closes: it goes with its
// process however that ends (a crash, a power cut, a player ending it), under
// Wine as on Windows, so it can never be left behind to block a later run.
// The journal, which must outlive a killed run, is never the lock: a journal
// left by a dead run is an interrupted run, recovered by the next one.
#include <string>

#include "common/windows/win_handles.hpp"

class game_lock {
public:
    explicit game_lock(file_handle handle) : handle_(std::move(handle)) {}

private:
    file_handle handle_;
};

// Makes sure `game_folder` is a folder a run can use, and takes its lock.
// Raises stopped_before_change: another_run while a live run holds the
// lock; the game folder's path, its absence, or a folder where no file can
// be made otherwise.
game_lock take_game_lock(const std::wstring& game_folder);
