#pragma once

// What the process's exit status tells.
enum class exit_status : int {
    patch_installed = 0,
    game_running = 1,
    game_not_found = 2,
    run_failed = 3,         // the run stopped before anything in the game folder changed
    copy_put_back = 4,      // the copy failed and the game folder was put back as it was
    copy_not_put_back = 5,  // the copy failed and the game folder could not be put back
};

// The whole run: configuration, running-game check, location, copy, and the
// one box that tells the player the outcome.
exit_status run_installer();
