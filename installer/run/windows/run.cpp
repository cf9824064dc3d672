#include "installer/run/windows/run.hpp"

#include <filesystem>
#include <optional>
#include <string>

#include "common/paths.hpp"
#include "common/windows/utf16.hpp"
#include "installer/patch/config.hpp"
#include "installer/deploy/windows/copy_problem.hpp"
#include "installer/deploy/windows/deploy.hpp"
#include "installer/run/windows/message_box.hpp"
#include "installer/run/messages.hpp"
#include "installer/run/windows/module_path.hpp"
#include "installer/patch/windows/patch_files.hpp"
#include "installer/run/windows/process_check.hpp"
#include "locate/windows/registry_install.hpp"
#include "locate/windows/steam_install.hpp"

namespace {

// Where the run is, for the box that reports an error.
struct run_progress {
    std::wstring step;
    std::wstring file;
    std::wstring advice;
    std::optional<std::wstring> caption;  // once config.json has named the game

    void enter(std::wstring_view next_step, std::wstring_view next_advice, std::wstring_view next_file = {}) {
        step = next_step;
        advice = next_advice;
        file = next_file;
    }
};

std::wstring game_caption(const installer_config& config) {
    return utf8_to_utf16(fill_game_name(caption_template, config.game_name));
}

exit_status run_sequence(run_progress& progress) {
    progress.enter(L"finding the installer's own folder", advice_move_patch);
    const std::wstring archives_folder = paths::join(paths::parent(module_path()), L"archives");

    progress.enter(L"reading the configuration", advice_download_again, config_file_path(archives_folder));
    const installer_config config = load_installer_config(archives_folder);
    const std::wstring caption = game_caption(config);
    progress.caption = caption;

    progress.enter(L"checking whether the game is running", advice_retry);
    if (is_process_running(utf8_to_utf16(config.process_name))) {
        show_message(utf8_to_utf16(fill_game_name(game_running_template, config.game_name)), &caption);
        return exit_status::game_running;
    }

    progress.enter(L"looking up the game's folder in the registry", advice_retry);
    std::optional<std::wstring> installation_folder = find_registry_install(config);
    if (!installation_folder) {
        progress.enter(L"searching the Steam libraries for the game", advice_restart_steam);
        installation_folder = find_steam_install(config, &progress.file);
    }
    if (!installation_folder) {
        // No caption of its own: this box shows the system's default title.
        show_message(utf8_to_utf16(fill_game_name(game_not_found_template, config.game_name)), nullptr);
        return exit_status::game_not_found;
    }

    progress.enter(L"listing the patch files", advice_download_again, archives_folder);
    const std::vector<patch_file> patch_files = collect_patch_files(archives_folder);

    // A problem found here brings advice of its own; what is left is a patch
    // file that would land outside the game folder.
    progress.enter(L"checking the patch against the game folder", advice_damaged_patch, *installation_folder);
    const deploy_result result = deploy_patch(patch_files, archives_folder, *installation_folder);
    switch (result.status) {
    case deploy_status::installed:
        show_message(installed_text(result.left), &caption);
        return exit_status::patch_installed;
    case deploy_status::put_back:
        show_message(copy_put_back_text(result.attempt), &caption);
        return exit_status::copy_put_back;
    case deploy_status::not_put_back:
        break;
    }
    show_message(copy_not_put_back_text(result.attempt, result.left), &caption);
    return exit_status::copy_not_put_back;
}

void report_failure(const run_progress& progress, const std::exception* error) {
    std::wstring file = progress.file;
    std::wstring detail = L"an unknown error";
    std::wstring advice = progress.advice;
    if (auto problem = dynamic_cast<const copy_problem*>(error)) {
        file = problem->file();
        detail = problem->problem();
        advice = problem->advice();
    } else if (error) {
        detail = utf8_to_utf16(error->what());
        if (auto fs_error = dynamic_cast<const std::filesystem::filesystem_error*>(error)) {
            if (!fs_error->path1().empty()) file = fs_error->path1().wstring();
        }
    }
    const std::wstring caption = progress.caption.value_or(utf8_to_utf16(fallback_caption));
    show_message(run_failure_text(progress.step, file, detail, advice), &caption);
}

}  // namespace

exit_status run_installer() {
    run_progress progress;
    try {
        return run_sequence(progress);
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
