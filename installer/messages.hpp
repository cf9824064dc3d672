#pragma once
// What the player reads: captions and texts of the installer's boxes, UTF-8.
#include <string>
#include <string_view>

inline constexpr std::string_view caption_template = "{} patch installer";
inline constexpr std::string_view game_running_template = "Please close {} before installing the patch.";
inline constexpr std::string_view game_not_found_template = "This patch requires {}. Please install it first.";
inline constexpr std::wstring_view patch_installed_text = L"Patch installed. Have fun ;)";

// Caption of a failure box shown before config.json has given the game's name.
inline constexpr std::string_view fallback_caption = "Patch installer";

std::string fill_game_name(std::string_view pattern, std::string_view game_name);

// The box for an error that ended the run: which step failed, the file
// involved (if any), the error's own message, and that nothing was copied.
std::wstring run_failure_text(std::wstring_view step, std::wstring_view file, std::wstring_view error);

// The box for a shell copy that did not finish.
std::wstring copy_failure_text(std::wstring_view error);
