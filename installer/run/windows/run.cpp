// The two runs over one core: each prepares the game the same way, then
// installs or removes, and tells the player in one box.
#include "installer/run/windows/run.hpp"

#include "installer/deploy/install_record.hpp"
#include "installer/deploy/windows/install.hpp"
#include "installer/deploy/windows/remove.hpp"
#include "installer/patch/windows/patch_files.hpp"
#include "installer/patch/windows/patch_pairs.hpp"
#include "installer/run/windows/run_steps.hpp"

namespace {

// The words of each way a change can end, for one program.
struct change_texts {
    std::wstring (*done)(const leftovers&);
    std::wstring (*put_back)(const change_failure&);
    std::wstring (*not_put_back)(const change_failure&, const leftovers&);
};

constexpr change_texts install_texts{installed_text, copy_put_back_text, copy_not_put_back_text};
constexpr change_texts removal_texts{removed_text, removal_put_back_text, removal_not_put_back_text};

exit_status tell_change(const prepared_game& game, const change_result& result, const change_texts& texts) {
    switch (result.status) {
    case change_status::done:
        tell(game, texts.done(result.left));
        return exit_status::done;
    case change_status::put_back:
        tell(game, texts.put_back(*result.failure));
        return exit_status::copy_put_back;
    case change_status::not_put_back:
        break;
    }
    tell(game, texts.not_put_back(*result.failure, result.left));
    return exit_status::copy_not_put_back;
}

exit_status install_sequence(run_progress& progress) {
    exit_status ended = exit_status::run_failed;
    std::optional<prepared_game> game = prepare_game(progress, ended);
    if (!game) return ended;

    progress.enter(L"listing the patch files", advice_download_again, game->archives_folder);
    const std::vector<patch_file> files = collect_patch_files(game->archives_folder);

    // A problem found here brings advice of its own; what is left is a patch
    // file that would land outside the game folder.
    progress.enter(L"checking the patch against the game folder", advice_damaged_patch, game->folder);
    install_request request;
    request.game_folder = game->folder;
    request.archives_folder = game->archives_folder;
    request.files = pair_patch_files(files, game->archives_folder);
    request.keep_originals = game->config.keep_originals;
    for (const auto& [place, sha256] : game->config.expects) request.expects.push_back({place, sha256});
    return tell_change(*game, install_patch(request, *game->journal, game->recovered.journal), install_texts);
}

exit_status remove_sequence(run_progress& progress) {
    exit_status ended = exit_status::run_failed;
    std::optional<prepared_game> game = prepare_game(progress, ended);
    if (!game) return ended;

    if (installed_record(game->recovered.journal).empty()) {
        tell(*game, not_installed_text());
        return exit_status::nothing_to_remove;
    }
    progress.enter(L"checking the game folder", advice_retry, game->folder);
    return tell_change(*game, remove_patch(game->folder, *game->journal, game->recovered.journal), removal_texts);
}

}  // namespace

exit_status run_installer() { return run_guarded(program::installer, install_sequence); }

exit_status run_remover() { return run_guarded(program::remover, remove_sequence); }
