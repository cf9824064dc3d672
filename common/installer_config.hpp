#pragma once
#include <string>

// The five members of config.json, UTF-8, read once and then only read.
struct installer_config {
    std::string game_name;       // shown to the player in every message
    std::string process_name;    // file name of the game's executable
    std::string data_directory;  // required, not used by any step
    std::string registry_key;    // sub-key under the publisher's registry key
    std::string steam_id;        // Steam application number, as text
};
