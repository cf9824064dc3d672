#include "locate/windows/registry_install.hpp"

#include "common/windows/file_system.hpp"
#include "common/format.hpp"
#include "common/paths.hpp"
#include "common/windows/utf16.hpp"
#include "locate/windows/registry_value.hpp"

std::optional<std::wstring> find_registry_install(const installer_config& config) {
    const std::string sub_key = format_template("Software\\Wavelorn\\{}", config.registry_key);
    const registry_string value = read_user_string(utf8_to_utf16(sub_key), L"InstallPath");
    if (!value.found()) return std::nullopt;
    // An empty or relative value names no folder we could copy into: it would
    // resolve against the working folder. Uninstallers leave the value
    // behind, so a folder that is not there is no game either. The Steam
    // search gets its turn.
    std::wstring folder = value.text();
    if (!paths::is_absolute(folder) || !is_existing_folder(folder)) return std::nullopt;
    return folder;
}
