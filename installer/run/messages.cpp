#include "installer/run/messages.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include "common/format.hpp"
#include "installer/deploy/set_aside_name.hpp"

namespace {

// A path as a box shows it: with one kind of separator, whatever mix the
// registry or Steam's files gave it. The log keeps it as it was.
std::wstring shown_path(std::wstring_view path) {
    std::wstring shown(path);
    std::replace(shown.begin(), shown.end(), L'/', L'\\');
    return shown;
}

// Up to five paths, one per line, and how many more there are.
std::wstring path_list(const std::vector<std::wstring>& paths) {
    constexpr std::size_t shown = 5;
    std::wstring list;
    for (std::size_t i = 0; i < paths.size() && i < shown; ++i) list += L"\n" + shown_path(paths[i]);
    if (paths.size() > shown) {
        list += format_template(L"\nand {} more", static_cast<std::uint32_t>(paths.size() - shown));
    }
    return list;
}

std::wstring failure_cause(const change_failure& failure) {
    switch (failure.kind) {
    case failure_kind::journal_not_written:
        return L"the journal of the run could not be written: " + failure.system_text;
    case failure_kind::set_aside_failed:
        return L"the original of this file could not be set aside: " + failure.system_text;
    case failure_kind::shell_failed:
        return format_template(L"Windows reported error {:#010x}", failure.shell_result);
    case failure_kind::shell_aborted:
        return L"it was cancelled, or a file was skipped";
    case failure_kind::not_arrived:
        return L"a file did not arrive complete";
    case failure_kind::out_of_room:
        return format_template(L"the game's drive ran out of room (the patch needs {} there)",
                               std::wstring_view(describe_bytes(failure.needed, rounding::up)));
    case failure_kind::out_of_entries:
        return format_template(L"the game's drive ran out of room for new files and folders, though it may have "
                               L"free space (the patch makes {} of them there)",
                               std::wstring_view(std::to_wstring(failure.needed)));
    case failure_kind::restore_failed:
        return L"this original file could not get its name back: " + failure.system_text;
    case failure_kind::unexpected:
        break;
    }
    return failure.system_text.empty() ? L"an unknown error" : failure.system_text;
}

std::wstring failed_opening(program speaker, const change_failure& failure) {
    const std::wstring cause = failure_cause(failure);
    std::wstring text =
        speaker == program::installer
            ? format_template(L"The patch could not be installed, because the copy failed: {}.", std::wstring_view(cause))
            : format_template(L"The patch could not be removed: {}.", std::wstring_view(cause));
    if (!failure.file.empty()) text += format_template(L"\n\nFile: {}", std::wstring_view(shown_path(failure.file)));
    return text;
}

// Names files wait under: originals first, then files of the patch.
std::wstring waiting_files(const leftovers& left) {
    std::vector<std::wstring> originals;
    std::vector<std::wstring> others;
    for (const std::wstring& path : left.not_restored) {
        (path.find(original_suffix) != std::wstring::npos ? originals : others).push_back(path);
    }
    std::wstring text;
    if (!originals.empty()) {
        text += format_template(
            L"\n\nYour original files are safe beside the game's files, with \"{}\" added to their names:",
            original_suffix);
        text += path_list(originals);
    }
    if (!others.empty()) {
        text += format_template(L"\n\nThese files of the patch wait beside their places, with \"{}\" added to their "
                                L"names:",
                                passing_suffix);
        text += path_list(others);
    }
    if (!left.not_removed.empty()) {
        text += L"\n\nThese files or folders of the patch could not be removed:";
        text += path_list(left.not_removed);
    }
    return text;
}

constexpr wchar_t run_again_to_finish[] =
    L"\n\nClose every program that may use the game's files, then run the patch again: it first puts back what "
    L"is left, as it was before.";

}  // namespace

std::string fill_game_name(std::string_view pattern, std::string_view game_name) {
    return format_template(pattern, game_name);
}

std::wstring describe_bytes(std::uint64_t bytes, rounding direction) {
    if (bytes < 1024) return format_template(L"{} bytes", static_cast<std::uint32_t>(bytes));
    static constexpr std::array<const wchar_t*, 4> units = {L"KB", L"MB", L"GB", L"TB"};
    std::uint64_t unit = 1024;
    std::size_t index = 0;
    while (index + 1 < units.size() && bytes >= unit * 1024) {
        unit *= 1024;
        ++index;
    }
    const std::uint64_t tenths = (bytes * 10 + (direction == rounding::up ? unit - 1 : 0)) / unit;
    return std::to_wstring(tenths / 10) + L"." + std::to_wstring(tenths % 10) + L" " + units[index];
}

std::wstring run_failure_text(std::wstring_view step, std::wstring_view file, std::wstring_view error,
                              std::wstring_view advice, program speaker, bool earlier_run_undone) {
    std::wstring text = format_template(L"The patch could not be {}: {} failed.",
                                        std::wstring_view(speaker == program::installer ? L"installed" : L"removed"), step);
    if (!file.empty()) text += format_template(L"\n\nFile: {}", std::wstring_view(shown_path(file)));
    text += format_template(L"\n\nError: {}", error);
    if (earlier_run_undone) {
        text += speaker == program::installer ? L"\n\nNothing was copied." : L"\n\nNothing else was changed.";
    } else {
        text += speaker == program::installer ? L"\n\nNothing was copied; the game is unchanged."
                                              : L"\n\nNothing was changed; the game is as it was.";
    }
    if (!advice.empty()) text += format_template(L"\n\n{}", advice);
    return earlier_run_undone ? with_recovery_note(std::move(text)) : text;
}

std::wstring another_run_text() {
    return L"Another patch run is working on this game right now, so this one changed nothing.\n\nWait until the "
           L"other run has finished and shown its message, then run the patch again if you still need to.";
}

std::wstring installed_text(const leftovers& left) {
    std::wstring text(patch_installed_text);
    if (!left.empty()) {
        text += L"\n\nThese files, which the patch no longer needs, could not be removed; you may delete them:";
        text += path_list(left.not_removed);
    }
    return text;
}

std::wstring copy_put_back_text(const change_failure& failure) {
    return failed_opening(program::installer, failure) +
           L"\n\nThe game folder is as it was before: what the patch had copied was removed, and every file it "
           L"replaced was put back.\n\nRun the patch again once the cause is removed: make sure the game's drive has "
           L"room and that no other program uses the game's files.";
}

std::wstring copy_not_put_back_text(const change_failure& failure, const leftovers& left) {
    return failed_opening(program::installer, failure) + L"\n\nThe game folder could not be put back as it was." +
           waiting_files(left) + run_again_to_finish;
}

std::wstring removed_text(const leftovers& left) {
    std::wstring text = L"Patch removed: the game's files are as they were before the patch was installed.";
    if (!left.empty()) {
        text += L"\n\nThese files of the patch could not be deleted; you may delete them:";
        text += path_list(left.not_removed);
    }
    return text;
}

std::wstring removal_put_back_text(const change_failure& failure) {
    return failed_opening(program::remover, failure) +
           L"\n\nThe game folder is as it was before: the patch is still installed.\n\nRun the remover again once "
           L"the cause is removed: make sure that no other program uses the game's files.";
}

std::wstring removal_not_put_back_text(const change_failure& failure, const leftovers& left) {
    return failed_opening(program::remover, failure) +
           L"\n\nThe game folder could not be put back as it was before the removal began." + waiting_files(left) +
           L"\n\nClose every program that may use the game's files, then run the remover again: it first puts back "
           L"what is left, then removes the patch.";
}

std::wstring not_installed_text() {
    return L"This patch is not installed in the game's folder, so there is nothing to remove.\n\nNothing was "
           L"changed.";
}

std::wstring with_recovery_note(std::wstring text) {
    return text + L"\n\nAn earlier run of a patch on this game had been interrupted; what it had changed was undone "
                  L"first.";
}

std::wstring recovery_failed_text(const leftovers& left) {
    return L"An earlier run of a patch on this game had been interrupted, and what it had changed could not be put "
           L"back completely, so nothing more was done." +
           waiting_files(left) + run_again_to_finish;
}
