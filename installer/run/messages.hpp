#pragma once
// What the player reads: captions and texts of the installer's boxes.
#include <string>
#include <string_view>

#include "installer/deploy/copy_outcome.hpp"

inline constexpr std::string_view caption_template = "{} patch installer";
inline constexpr std::string_view game_running_template = "Please close {} before installing the patch.";
inline constexpr std::string_view game_not_found_template = "This patch requires {}. Please install it first.";
inline constexpr std::wstring_view patch_installed_text = L"Patch installed. Have fun ;)";

// What a player can do when a step fails, in plain words: the last line of
// its box.
inline constexpr wchar_t advice_download_again[] =
    L"The patch download is incomplete or damaged: download it again, or contact the patch's author.";
inline constexpr wchar_t advice_restart_steam[] =
    L"Start Steam once so that it rewrites its files, then run the patch again.";
inline constexpr wchar_t advice_damaged_patch[] = L"The patch is damaged: contact its author.";
inline constexpr wchar_t advice_author[] = L"The patch does not fit this game: contact the patch's author.";
inline constexpr wchar_t advice_move_patch[] =
    L"Move the patch's folder closer to the root of its drive (for example to C:\\Patch), then run it again.";
inline constexpr wchar_t advice_shorter_game_folder[] =
    L"The game's folder is too deep for this patch: install the game in a shorter folder (such as C:\\Games), "
    L"or ask the patch's author for shorter names.";
inline constexpr wchar_t advice_game_folder[] =
    L"The game's folder cannot be used as it is registered: repair or reinstall the game, then run the patch "
    L"again.";
inline constexpr wchar_t advice_in_use[] =
    L"Close the program that uses this file (the game itself, its launcher, an overlay or a crash reporter), then "
    L"run the patch again.";
inline constexpr wchar_t advice_access[] =
    L"If the game is in a protected folder such as Program Files, right-click the patch and choose \"Run as "
    L"administrator\".";
inline constexpr wchar_t advice_retry[] = L"Run the patch again; if this keeps happening, restart Windows first.";

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
