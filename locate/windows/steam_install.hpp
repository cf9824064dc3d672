#pragma once
#include <optional>
#include <string>

#include "common/installer_config.hpp"

// The game's folder from the current user's Steam libraries: the first
// library (in ascending key order) holding appmanifest_<steam_id>.acf whose
// steamapps\common\<"installdir"> folder exists. Logs its course to
// install_log.log. Malformed Steam files raise the reader's errors. While it
// runs, `reading` (if given) names the Steam file it is working on, for the
// report of such an error.
std::optional<std::wstring> find_steam_install(const installer_config& config, std::wstring* reading = nullptr);
