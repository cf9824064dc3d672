#pragma once
// What the player reads: the captions and texts of the boxes of the
// installer and of the remover. Everything below reports kinds and facts;
// only this says them in words.
#include <cstdint>
#include <string>
#include <string_view>

#include "installer/deploy/check_problem.hpp"
#include "installer/deploy/outcome.hpp"

inline constexpr std::string_view caption_template = "{} patch installer";
inline constexpr std::string_view remover_caption_template = "{} patch remover";
inline constexpr std::string_view game_running_template = "Please close {} before installing the patch.";
inline constexpr std::string_view game_not_found_template = "This patch requires {}. Please install it first.";
inline constexpr std::wstring_view patch_installed_text = L"Patch installed. Have fun ;)";

// What a player can do when a step fails, in plain words: the last line of
// its box.
inline constexpr wchar_t advice_download_again[] =
    L"The patch download is incomplete or damaged: download it again, or contact the patch's author.";
inline constexpr wchar_t advice_extract_first[] =
    L"The patch was started from inside its download. Extract all files of the download to a folder first (in "
    L"Windows, right-click the downloaded file and choose \"Extract All\"), then run the patch from that folder.";
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
inline constexpr wchar_t advice_verify_game[] =
    L"Verify the game's files in Steam (in the game's Properties, Installed Files, \"Verify integrity of game "
    L"files\"), or reinstall the game, instead of removing the patch.";

// Caption of a failure box shown before config.json has given the game's name.
inline constexpr std::string_view fallback_caption = "Patch installer";

// Which program speaks: the boxes of the remover tell of a removal.
enum class program { installer, remover };

std::string fill_game_name(std::string_view pattern, std::string_view game_name);

// "512 bytes", "3.4 KB", "12.3 MB", "1.5 GB" (units of 1024). Round what is
// needed up and what is free down, so that a shortage never reads as none.
enum class rounding { up, down };
std::wstring describe_bytes(std::uint64_t bytes, rounding direction);

// The box for an error that ended the run before anything was changed: which
// step failed, the file involved (if any), the error's own message, that
// nothing was changed, and what the player can do.
// After an earlier, interrupted run was undone first, the game is not
// unchanged, and the box says so.
std::wstring run_failure_text(std::wstring_view step, std::wstring_view file, std::wstring_view error,
                              std::wstring_view advice, program speaker = program::installer,
                              bool earlier_run_undone = false);

// What a path's fault means, for a sentence such as "this path <what>".
std::wstring describe_path_fault(path_fault fault, std::size_t length, std::size_t limit);

// A check's problem in words: the error line of that box, and its advice.
std::wstring problem_error(const check_problem& problem);
std::wstring problem_advice(const check_problem& problem);

// Another run holds the game folder: this one stopped at once.
std::wstring another_run_text();

// The success box, with the files the run no longer needs but could not
// delete, if any.
std::wstring installed_text(const leftovers& left);

// The boxes of a copy that failed: undone, or not completely.
std::wstring copy_put_back_text(const change_failure& failure);
std::wstring copy_not_put_back_text(const change_failure& failure, const leftovers& left);

// The remover's boxes.
std::wstring removed_text(const leftovers& left);
std::wstring removal_put_back_text(const change_failure& failure);
std::wstring removal_not_put_back_text(const change_failure& failure, const leftovers& left);
std::wstring not_installed_text();

// An earlier run was interrupted: what the next run's box adds when it was
// undone first, and the whole box when it could not be.
std::wstring with_recovery_note(std::wstring text);
std::wstring recovery_failed_text(const leftovers& left);
