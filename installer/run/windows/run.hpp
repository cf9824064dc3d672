#pragma once

// What the process's exit status tells, for the installer and the remover.
enum class exit_status : int {
    done = 0,                // the patch was installed (the remover: removed)
    game_running = 1,
    game_not_found = 2,
    run_failed = 3,          // the run stopped before anything in the game folder changed
    copy_put_back = 4,       // the change failed part way and the game folder was put back as it was
    copy_not_put_back = 5,   // the change failed and the game folder could not be put back
    nothing_to_remove = 6,   // the remover: the patch is not installed
};

// The installer's whole run: configuration, running-game check, location,
// recovery of an interrupted run, the copy, and the one box that tells the
// player the outcome.
exit_status run_installer();

// The remover's: the same start, then the removal.
exit_status run_remover();
