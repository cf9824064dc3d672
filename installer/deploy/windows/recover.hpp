#pragma once
// The first stage of every run that may change the game folder, of the
// installer and of the remover alike: the journal of a run that was
// interrupted (a crash, a power cut, a player ending it) is read, and that
// run is put back, or finished if it had been kept. Only then does the run
// go on with its own work.
#include <string>

#include "installer/deploy/journal_format.hpp"
#include "installer/deploy/undo.hpp"
#include "installer/deploy/windows/journal_file.hpp"

enum class recovery {
    nothing,     // no interrupted run
    finished,    // a run that was kept has been tidied up
    undone,      // an interrupted run was put back: the game is as before it
    not_undone,  // it could not be put back completely: `left` says what is left
};

struct recovery_result {
    recovery outcome = recovery::nothing;
    leftovers left;            // full paths
    journal_contents journal;  // what the journal holds now
};

// Raises stopped_before_change when the journal is of a kind this program
// cannot read: nothing may be done to a game on its word.
recovery_result recover_interrupted_run(const std::wstring& game_folder, journal_file& journal);
