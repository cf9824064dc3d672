#include "installer/run/messages.hpp"

#include <vector>

#include "common/format.hpp"

namespace {

// Up to five paths, one per line, and how many more there are.
std::wstring path_list(const std::vector<std::wstring>& paths) {
    constexpr std::size_t shown = 5;
    std::wstring list;
    for (std::size_t i = 0; i < paths.size() && i < shown; ++i) list += L"\n" + paths[i];
    if (paths.size() > shown) {
        list += format_template(L"\nand {} more", static_cast<std::uint32_t>(paths.size() - shown));
    }
    return list;
}

std::wstring failed_copy_opening(const copy_attempt& attempt) {
    std::wstring text = format_template(L"The patch could not be installed, because the copy failed: {}.",
                                        std::wstring_view(describe_copy_failure(attempt)));
    const std::wstring& file = attempt.unverified ? *attempt.unverified : attempt.error_file;
    if (!file.empty()) text += format_template(L"\n\nFile: {}", std::wstring_view(file));
    return text;
}

}  // namespace

std::string fill_game_name(std::string_view pattern, std::string_view game_name) {
    return format_template(pattern, game_name);
}

std::wstring run_failure_text(std::wstring_view step, std::wstring_view file, std::wstring_view error,
                              std::wstring_view advice) {
    std::wstring text = format_template(L"The patch could not be installed: {} failed.", step);
    if (!file.empty()) text += format_template(L"\n\nFile: {}", file);
    text += format_template(L"\n\nError: {}", error);
    text += L"\n\nNothing was copied; the game is unchanged.";
    if (!advice.empty()) text += format_template(L"\n\n{}", advice);
    return text;
}

std::wstring installed_text(const leftovers& left) {
    std::wstring text(patch_installed_text);
    if (!left.empty()) {
        text += L"\n\nThese original files, which the patch replaced, could not be removed; you may delete them:";
        text += path_list(left.not_removed);
    }
    return text;
}

std::wstring copy_put_back_text(const copy_attempt& attempt) {
    return failed_copy_opening(attempt) +
           L"\n\nThe game folder is as it was before: what the patch had copied was removed, and every file it "
           L"replaced was put back.\n\nRun the patch again once the cause is removed: make sure the game's drive has "
           L"room and that no other program uses the game's files.";
}

std::wstring copy_not_put_back_text(const copy_attempt& attempt, const leftovers& left) {
    std::wstring text = failed_copy_opening(attempt) + L"\n\nThe game folder could not be put back as it was.";
    if (!left.originals_not_restored.empty()) {
        text +=
            L"\n\nYour original files are safe beside the game's files, with \".before-patch\" added to their "
            L"names:";
        text += path_list(left.originals_not_restored);
    }
    if (!left.not_removed.empty()) {
        text += L"\n\nThese files or folders of the patch could not be removed:";
        text += path_list(left.not_removed);
    }
    text +=
        L"\n\nClose every program that may use the game's files, then run the patch again to install it "
        L"completely. To go back instead, delete each file named like an original without \".before-patch\" "
        L"and remove \".before-patch\" from the original's name.";
    return text;
}
