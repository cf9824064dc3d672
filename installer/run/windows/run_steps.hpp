#pragma once
// What the installer's run and the remover's share: where the run is (for
// the box of an error), its start up to the game's locked folder with an
// interrupted run recovered, and the one box for an error.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/installer_config.hpp"
#include "installer/deploy/windows/game_lock.hpp"
#include "installer/deploy/windows/journal_file.hpp"
#include "installer/deploy/windows/recover.hpp"
#include "installer/run/messages.hpp"
#include "installer/run/windows/run.hpp"

struct run_progress {
    program speaker = program::installer;
    std::wstring step;
    std::wstring file;
    std::wstring advice;
    std::optional<std::wstring> caption;  // once config.json has named the game
    bool earlier_run_undone = false;       // what the box of an error must then say too

    void enter(std::wstring_view next_step, std::wstring_view next_advice, std::wstring_view next_file = {}) {
        step = next_step;
        advice = next_advice;
        file = next_file;
    }
};

// The game folder a run works on, held for it alone, with an interrupted
// earlier run put back.
struct prepared_game {
    installer_config config;
    std::wstring archives_folder;
    std::wstring folder;
    std::wstring caption;  // the program's own
    std::unique_ptr<game_lock> lock;
    std::unique_ptr<journal_file> journal;
    recovery_result recovered;
};

// The configuration, the running-game check, the lookup, the lock and the
// recovery, each ending the run with its box and status where it must:
// then `ended` holds the status and nothing is returned.
std::optional<prepared_game> prepare_game(run_progress& progress, exit_status& ended);

// Shows `text` under the program's caption, with the note of an undone
// earlier run where there was one.
void tell(const prepared_game& game, std::wstring text);

// Runs `sequence`, and turns whatever error ends it into the one box of a
// run that stopped before its first change (status 3).
exit_status run_guarded(program speaker, const std::function<exit_status(run_progress&)>& sequence);
