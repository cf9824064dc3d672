#pragma once
#include <optional>
#include <string>

#include "common/installer_config.hpp"

// The game's folder from HKCU\Software\Wavelorn\<registry_key>, value
// InstallPath: a string naming an absolute path to a folder that exists.
std::optional<std::wstring> find_registry_install(const installer_config& config);
