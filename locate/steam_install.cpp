#include "locate/steam_install.hpp"

std::optional<std::wstring> find_steam_install(const installer_config&) { return std::nullopt; }
