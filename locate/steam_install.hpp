#pragma once
#include <optional>
#include <string>

#include "common/installer_config.hpp"

// The game's folder from the current user's Steam libraries.
std::optional<std::wstring> find_steam_install(const installer_config& config);
