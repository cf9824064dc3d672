#pragma once
#include <functional>
#include <string>
#include <string_view>

// Folds a name or a place the way Windows ignores case ('/' as '\'), so that
// two spellings of one file give the same text. Windows' own fold is at the
// edge (installer/deploy/windows/survey_game.hpp); tests fold ASCII.
using case_fold = std::function<std::wstring(std::wstring_view)>;
