#include "locate/registry_install.hpp"

std::optional<std::wstring> find_registry_install(const installer_config&) { return std::nullopt; }
