#pragma once
#include "installer/deploy/journal_format.hpp"
#include "installer/deploy/outcome.hpp"
#include "installer/deploy/windows/journal_file.hpp"

// Gives the game folder back as it was before the installs `contents`
// records: every file they added removed, every original back under its
// own name, every folder they created removed once empty; nothing else.
// All or nothing, with the same journal and put-back as an install. Raises
// stopped_before_change before the first change when it cannot work (the
// game has changed since, an original is missing or was never kept).
change_result remove_patch(const std::wstring& game_folder, journal_file& journal, const journal_contents& contents);
