#include "installer/run/windows/run_steps.hpp"

#include <filesystem>

#include "common/file_presence.hpp"
#include "common/paths.hpp"
#include "common/windows/utf16.hpp"
#include "installer/patch/config.hpp"
#include "installer/run/config_words.hpp"
#include "installer/run/opened_archive.hpp"
#include "installer/run/windows/message_box.hpp"
#include "installer/run/windows/module_path.hpp"
#include "installer/run/windows/process_check.hpp"
#include "locate/windows/registry_install.hpp"
#include "locate/windows/steam_install.hpp"

namespace {

std::wstring caption_for(const installer_config& config, std::string_view pattern) {
    return utf8_to_utf16(fill_game_name(pattern, config.game_name));
}

void report_failure(const run_progress& progress, const std::exception* error) {
    const std::wstring caption = progress.caption.value_or(utf8_to_utf16(fallback_caption));
    std::wstring file = progress.file;
    std::wstring detail = L"an unknown error";
    std::wstring advice = progress.advice;
    if (auto stopped = dynamic_cast<const stopped_before_change*>(error)) {
        const check_problem& problem = stopped->problem();
        if (problem.kind == check_problem_kind::another_run) {
            show_message(another_run_text(), &caption);
            return;
        }
        file = problem.file;
        detail = problem_error(problem);
        advice = problem_advice(problem);
    } else if (error) {
        detail = utf8_to_utf16(error->what());
        if (auto fs_error = dynamic_cast<const std::filesystem::filesystem_error*>(error)) {
            if (!fs_error->path1().empty()) file = fs_error->path1().wstring();
        }
    }
    show_message(run_failure_text(progress.step, file, detail, advice, progress.speaker, progress.earlier_run_undone),
                 &caption);
}

}  // namespace

std::optional<prepared_game> prepare_game(run_progress& progress, exit_status& ended) {
    prepared_game game;
    progress.enter(L"finding the installer's own folder", advice_move_patch);
    const std::wstring own_folder = paths::parent(module_path());
    game.archives_folder = paths::join(own_folder, L"archives");

    // Started from inside the download, it has no "archives" beside it: a
    // download again would end the same way.
    const bool from_inside_download =
        is_opened_archive_folder(own_folder) && is_missing(std::filesystem::path(game.archives_folder));
    progress.enter(L"reading the configuration", from_inside_download ? advice_extract_first : advice_download_again,
                   config_file_path(game.archives_folder));
    game.config = load_config_or_explain(game.archives_folder);
    // The boxes of a running or missing game are the installer's, whichever program shows them.
    const std::wstring installer_caption = caption_for(game.config, caption_template);
    game.caption = progress.speaker == program::installer ? installer_caption
                                                          : caption_for(game.config, remover_caption_template);
    progress.caption = game.caption;

    progress.enter(L"checking whether the game is running", advice_retry);
    if (is_process_running(utf8_to_utf16(game.config.process_name))) {
        show_message(utf8_to_utf16(fill_game_name(game_running_template, game.config.game_name)), &installer_caption);
        ended = exit_status::game_running;
        return std::nullopt;
    }

    progress.enter(L"looking up the game's folder in the registry", advice_retry);
    std::optional<std::wstring> folder = find_registry_install(game.config);
    if (!folder) {
        progress.enter(L"searching the Steam libraries for the game", advice_restart_steam);
        folder = find_steam_install(game.config, &progress.file);
    }
    if (!folder) {
        // No caption of its own: this box shows the system's default title.
        show_message(utf8_to_utf16(fill_game_name(game_not_found_template, game.config.game_name)), nullptr);
        ended = exit_status::game_not_found;
        return std::nullopt;
    }
    game.folder = *folder;

    // One run at a time: before anything is looked at in the game folder.
    progress.enter(L"checking the patch against the game folder", advice_damaged_patch, game.folder);
    game.lock = std::make_unique<game_lock>(take_game_lock(game.folder));
    game.journal = std::make_unique<journal_file>(game.folder);

    progress.enter(L"finishing an earlier run of a patch that was interrupted", advice_retry, game.journal->path());
    game.recovered = recover_interrupted_run(game.folder, *game.journal);
    if (game.recovered.outcome == recovery::not_undone) {
        show_message(recovery_failed_text(game.recovered.left), &game.caption);
        ended = exit_status::copy_not_put_back;
        return std::nullopt;
    }
    progress.earlier_run_undone = game.recovered.outcome == recovery::undone;
    return game;
}

void tell(const prepared_game& game, std::wstring text) {
    if (game.recovered.outcome == recovery::undone) text = with_recovery_note(std::move(text));
    show_message(text, &game.caption);
}

exit_status run_guarded(program speaker, const std::function<exit_status(run_progress&)>& sequence) {
    run_progress progress;
    progress.speaker = speaker;
    try {
        return sequence(progress);
    } catch (const std::exception& error) {
        try {
            report_failure(progress, &error);
        } catch (...) {
            // Nothing more can be told; the status still says the run failed.
        }
    } catch (...) {
        try {
            report_failure(progress, nullptr);
        } catch (...) {
        }
    }
    return exit_status::run_failed;
}
