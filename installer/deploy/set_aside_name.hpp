#pragma once
#include <string>

// Where an original file waits while the patch is copied: beside itself, on
// the same volume, under a name that says what it is. "game.exe" becomes
// "game.exe.before-patch"; when that name is taken (an earlier run was
// interrupted and its original is still there) the next try is
// "game.exe.before-patch-2", and so on. Such files are never overwritten.
std::wstring set_aside_name(const std::wstring& destination, unsigned attempt);

inline constexpr wchar_t set_aside_suffix[] = L".before-patch";
