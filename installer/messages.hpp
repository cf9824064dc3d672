#pragma once
// What the player reads: captions and texts of the installer's boxes.
#include <string>
#include <string_view>

#include "installer/copy_outcome.hpp"

inline constexpr std::string_view caption_template = "{} patch installer";
inline constexpr std::string_view game_running_template = "Please close {} before installing the patch.";
inline constexpr std::string_view game_not_found_template = "This patch requires {}. Please install it first.";
inline constexpr std::wstring_view patch_installed_text = L"Patch installed. Have fun ;)";

// Caption of a failure box shown before config.json has given the game's name.
inline constexpr std::string_view fallback_caption = "Patch installer";

std::string fill_game_name(std::string_view pattern, std::string_view game_name);

// The box for an error that ended the run before anything was changed: which
// step failed, the file involved (if any), the error's own message, that
// nothing was copied, and what the player can do.
std::wstring run_failure_text(std::wstring_view step, std::wstring_view file, std::wstring_view error,
                              std::wstring_view advice);

// The success box, with the originals that could not be removed, if any.
std::wstring installed_text(const leftovers& left);

// The box for a copy that failed and was undone.
std::wstring copy_put_back_text(const copy_attempt& attempt);

// The box for a copy that failed and could not be undone completely: where
// the player's originals are, and what is left over.
std::wstring copy_not_put_back_text(const copy_attempt& attempt, const leftovers& left);
