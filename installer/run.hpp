#pragma once

// What the process's exit status tells.
enum exit_status : int {
    patch_installed = 0,
    game_running = 1,
    game_not_found = 2,
    run_failed = 3,   // an error ended the run before anything was copied
    copy_failed = 4,  // the shell copy did not finish: the game may be partly patched
};

// The whole run: configuration, running-game check, location, copy, and the
// one box that tells the player the outcome.
exit_status run_installer();
