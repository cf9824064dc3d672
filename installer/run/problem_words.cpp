// A check's problem, found before the first change, in a player's words.
#include "common/format.hpp"
#include "installer/deploy/set_aside_name.hpp"
#include "installer/run/messages.hpp"

std::wstring describe_path_fault(path_fault fault, std::size_t length, std::size_t limit) {
    switch (fault) {
    case path_fault::none:
        return L"is fine";
    case path_fault::too_long:
        return format_template(L"is too long for the Windows copy: {} characters, where {} is the most",
                               static_cast<std::uint32_t>(length), static_cast<std::uint32_t>(limit));
    case path_fault::device_form:
        return L"is written in the \\\\?\\ device form, which the Windows copy cannot take";
    case path_fault::control_character:
        return L"holds a control character, which Windows does not allow in file names";
    case path_fault::forbidden_character:
        return L"holds one of the characters * ? < > \" |, which Windows does not allow in file names";
    case path_fault::misplaced_colon:
        return L"holds a colon that is not part of a drive letter, which Windows does not allow in file names";
    case path_fault::reserved_name:
        return L"holds a name that Windows keeps for a device (such as CON, NUL, COM1 or LPT1)";
    case path_fault::trailing_dot_or_space:
        return L"holds a name that ends in a dot or a blank, which Windows would drop";
    }
    return L"cannot be used";
}

namespace {

bool is_path_kind(check_problem_kind kind) {
    return kind == check_problem_kind::game_folder_path || kind == check_problem_kind::source_path ||
           kind == check_problem_kind::destination_path || kind == check_problem_kind::created_folder_path;
}

}  // namespace

std::wstring problem_error(const check_problem& p) {
    if (is_path_kind(p.kind)) return L"this path " + describe_path_fault(p.fault, p.length, p.limit);
    switch (p.kind) {
    case check_problem_kind::another_run:
        return L"another patch run is working on this game";
    case check_problem_kind::game_folder_missing:
        return L"this game folder does not exist";
    case check_problem_kind::same_place_twice:
        return L"two files of the patch would be copied to this same place";
    case check_problem_kind::patch_into_itself:
        return L"this file is one of the patch's own files: the game folder is the patch's folder";
    case check_problem_kind::game_folder_in_patch:
        return L"this game folder is the patch's own folder \"archives\", or lies inside it, so the patch would be "
               L"copied onto itself";
    case check_problem_kind::reserved_name:
        return L"this file of the patch has the name under which the installer keeps its journal in the game folder";
    case check_problem_kind::folder_cannot_be_checked:
        return L"this folder cannot be checked: " + p.system_text;
    case check_problem_kind::file_where_folder_needed:
        return L"this is a file in the game, where the patch needs a folder of that name";
    case check_problem_kind::folder_where_file_needed:
        return L"this is a folder in the game, where the patch has a file of that name";
    case check_problem_kind::file_cannot_be_checked:
        return L"this file cannot be checked: " + p.system_text;
    case check_problem_kind::case_twins:
        return format_template(L"the game folder holds both this and {}, whose names differ only in case, so the "
                               L"copy could replace either of them",
                               std::wstring_view(p.other_file));
    case check_problem_kind::in_use:
        return L"this file is in use by another program, so it cannot be replaced";
    case check_problem_kind::access_denied:
        return L"this file cannot be replaced: Windows denies access to it";
    case check_problem_kind::cannot_be_replaced:
        return L"this file cannot be replaced: " + p.system_text;
    case check_problem_kind::folder_not_writable:
        return L"no new file can be made in this folder: " + p.system_text;
    case check_problem_kind::set_aside_names_taken:
        return format_template(L"the original of this file cannot be set aside: all {} names for it, from \"{}\" on, "
                               L"are taken by files that earlier runs of a patch left behind",
                               static_cast<std::uint32_t>(max_set_aside_attempts), original_suffix);
    case check_problem_kind::source_in_use:
        return L"this patch file is in use by another program, so it cannot be copied";
    case check_problem_kind::source_unreadable:
        return L"this patch file cannot be read: " + p.system_text;
    case check_problem_kind::source_not_a_file:
        return L"this patch file is no ordinary file (it is a pipe, a socket or a device), so it cannot be copied";
    case check_problem_kind::free_space_unreadable:
        return L"the free space on the game's drive cannot be read: " + p.system_text;
    case check_problem_kind::not_enough_space:
        return L"there is not enough free space on the game's drive: the patch needs " +
               describe_bytes(p.needed, rounding::up) + L", and " + describe_bytes(p.available, rounding::down) +
               L" are free";
    case check_problem_kind::journal_unreadable:
        return L"the game folder holds a patch journal of a kind this program cannot read: a newer version of the "
               L"patch installer wrote it";
    case check_problem_kind::other_version: {
        std::wstring text = p.missing ? L"this patch was made for another version of the game: this file, which the "
                                        L"patch was made to replace, is not in the game folder"
                                      : L"this patch was made for another version of the game: this file is not the "
                                        L"one the patch was made for";
        if (p.count > 1) {
            text += format_template(L" ({} files differ from those the patch was made for)",
                                    static_cast<std::uint32_t>(p.count));
        }
        return text;
    }
    case check_problem_kind::originals_discarded:
        return L"this patch was installed without keeping the game's original files (its author turned that off), "
               L"so it cannot be removed";
    case check_problem_kind::game_changed:
        return L"this file is not as the patch left it: the game has changed since the patch was installed (an "
               L"update, or another mod)";
    case check_problem_kind::original_missing:
        return L"the original file that the patch set aside here is gone, so it cannot be put back";
    default:
        break;
    }
    return L"the patch cannot be copied into the game folder";
}

std::wstring problem_advice(const check_problem& p) {
    const bool too_long = p.fault == path_fault::too_long;
    switch (p.kind) {
    case check_problem_kind::game_folder_path:
    case check_problem_kind::game_folder_missing:
    case check_problem_kind::patch_into_itself:
    case check_problem_kind::game_folder_in_patch:
        return advice_game_folder;
    case check_problem_kind::source_path:
        return too_long ? advice_move_patch : advice_author;
    case check_problem_kind::destination_path:
    case check_problem_kind::created_folder_path:
        return too_long ? advice_shorter_game_folder : advice_author;
    case check_problem_kind::same_place_twice:
    case check_problem_kind::reserved_name:
    case check_problem_kind::file_where_folder_needed:
    case check_problem_kind::folder_where_file_needed:
        return advice_author;
    case check_problem_kind::case_twins:
        return L"Keep the one of the two that the game uses and move the other out of the game folder (or verify the "
               L"game's files in Steam), then run the patch again.";
    case check_problem_kind::in_use:
        return advice_in_use;
    case check_problem_kind::access_denied:
    case check_problem_kind::folder_not_writable:
        return advice_access;
    case check_problem_kind::set_aside_names_taken:
        return format_template(L"Move the files whose names end in \"{}\" or \"{}-<number>\" out of the game folder "
                               L"(keep them until the game works), then run the patch again.",
                               original_suffix, original_suffix);
    case check_problem_kind::source_in_use:
        return L"Close the program that uses this file (an editor, an archive program, or a virus scan of the "
               L"download), then run the patch again.";
    case check_problem_kind::source_unreadable:
    case check_problem_kind::source_not_a_file:
        return advice_download_again;
    case check_problem_kind::not_enough_space:
        return L"Free up space on that drive, then run the patch again.";
    case check_problem_kind::other_version:
        return L"Update the game through Steam, or get the version of the patch made for your game.";
    case check_problem_kind::journal_unreadable:
        return L"Run the newest version of this patch, or of its remover, on this game.";
    case check_problem_kind::originals_discarded:
    case check_problem_kind::game_changed:
    case check_problem_kind::original_missing:
        return advice_verify_game;
    default:
        break;
    }
    return advice_retry;
}
