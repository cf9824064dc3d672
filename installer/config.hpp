#pragma once
// config.json, the one file that ties the installer to a game.
#include <nlohmann/json_fwd.hpp>
#include <stdexcept>
#include <string>

#include "common/installer_config.hpp"

// A config.json object without one of the required members.
class config_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads <archives>\config.json. Raises nlohmann's parse_error for a missing,
// empty or malformed file, its type_error for a member of the wrong type, and
// config_error for a missing member.
installer_config load_installer_config(const std::wstring& archives_folder);

// The second half of load_installer_config.
installer_config read_installer_config(const nlohmann::json& document);

// Where load_installer_config looks for the file.
std::wstring config_file_path(const std::wstring& archives_folder);
