#pragma once
// Looks at the game folder where a run will work: each folder that a place
// lies in, and each on the way, listed once (installer/deploy/game_survey.hpp).
#include <string>
#include <vector>

#include "installer/deploy/game_survey.hpp"

// Windows' own way of ignoring case in names.
case_fold windows_case_fold();

// Raises stopped_before_change when a folder cannot be listed.
game_survey survey_game(const std::wstring& game_folder, const std::vector<std::wstring>& places);
