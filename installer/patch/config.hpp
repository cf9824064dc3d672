#pragma once
// config.json, the one file that ties the installer to a game.
#include <nlohmann/json_fwd.hpp>
#include <stdexcept>
#include <string>
#include <utility>

#include "common/installer_config.hpp"

// A config.json that is not there, or an object without one of the
// required members.
class config_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    config_error(const std::string& what, std::string missing_member)
        : std::runtime_error(what), missing_member_(std::move(missing_member)) {}

    // The required member that is absent; empty for any other error.
    const std::string& missing_member() const { return missing_member_; }

private:
    std::string missing_member_;
};

// Reads <archives>\config.json. Raises config_error when the file or the
// archives folder is not there, when config.json is a folder, or when a
// required member is missing, nlohmann's
// parse_error for an unreadable, empty or malformed file, and its type_error
// for a member of the wrong type.
installer_config load_installer_config(const std::wstring& archives_folder);

// The second half of load_installer_config.
installer_config read_installer_config(const nlohmann::json& document);

// Where load_installer_config looks for the file.
std::wstring config_file_path(const std::wstring& archives_folder);
