#pragma once
// patch_check --expect-game: the checker's only mode that writes. It reads
// the author's own unpatched game folder, hashes the file at each place the
// patch would replace there, and writes the "expects" member of
// archives\config.json, keeping every other member, in its order and with
// its value.
#include <string>

struct expect_game_outcome {
    bool written = false;
    std::wstring report;  // the lines the author reads
};

expect_game_outcome write_expectations(const std::wstring& kit_folder, const std::wstring& game_folder);
