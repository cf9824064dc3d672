#pragma once
// Where a file waits beside itself, on the same volume, under a name that
// says what it is: "game.exe" becomes "game.exe.before-patch" for an
// original, and "game.exe.while-patching" for a file of a patch that waits
// only while a run lasts. When that name is taken, the next tries are
// "game.exe.before-patch-2", "-3", and so on; names are never reused.
#include <string>
#include <string_view>

inline constexpr std::wstring_view original_suffix = L".before-patch";
inline constexpr std::wstring_view passing_suffix = L".while-patching";

// How many names are tried for one file before the run gives up.
inline constexpr unsigned max_set_aside_attempts = 100;

// One name in a folder may hold 255 characters: a name too long for the
// suffix is cut, so that the set-aside name always fits.
inline constexpr std::size_t max_name_length = 255;

// The `attempt`-th name (from 1) for what stands at `place` (a path below
// the game folder); only its last element changes.
std::wstring set_aside_name(std::wstring_view place, std::wstring_view suffix, unsigned attempt);
