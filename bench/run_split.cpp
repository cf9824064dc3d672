// run_split: the installer's run, step by step, with the product's own
// functions and a clock around each: where a run that copies nothing spends
// its time. Started from the installer's folder, as the installer is. Prints
// one line per step in milliseconds.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "common/paths.hpp"
#include "common/windows/utf16.hpp"
#include "installer/deploy/windows/game_lock.hpp"
#include "installer/deploy/windows/install.hpp"
#include "installer/deploy/windows/journal_file.hpp"
#include "installer/deploy/windows/recover.hpp"
#include "installer/patch/config.hpp"
#include "installer/patch/windows/patch_files.hpp"
#include "installer/patch/windows/patch_pairs.hpp"
#include "installer/run/windows/module_path.hpp"
#include "installer/run/windows/process_check.hpp"
#include "locate/windows/registry_install.hpp"
#include "locate/windows/steam_install.hpp"

namespace {

double now_ms() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f{};
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void step(const char* name, const std::function<void()>& work) {
    const double start = now_ms();
    work();
    std::printf("  %-40s %7.2f ms\n", name, now_ms() - start);
}

}  // namespace

int wmain() {
    std::wstring archives;
    installer_config config;
    std::optional<std::wstring> folder;
    step("configuration", [&] {
        archives = paths::join(paths::parent(module_path()), L"archives");
        config = load_installer_config(archives);
    });
    step("running-game check", [&] { is_process_running(utf8_to_utf16(config.process_name)); });
    step("registry lookup", [&] { folder = find_registry_install(config); });
    step("Steam search (50 libraries)", [&] { folder = find_steam_install(config); });
    if (!folder) return 1;
    std::optional<game_lock> lock;
    journal_file journal(*folder);
    recovery_result recovered;
    step("lock", [&] { lock.emplace(take_game_lock(*folder)); });
    step("recovery (the journal read)", [&] { recovered = recover_interrupted_run(*folder, journal); });
    std::vector<patch_file> files;
    step("listing", [&] { files = collect_patch_files(archives); });
    step("plan and checks", [&] {
        install_request request{*folder, archives, pair_patch_files(files, archives), config.keep_originals, {}};
        install_patch(request, journal, recovered.journal);
    });
    return 0;
}
