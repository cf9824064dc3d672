#pragma once
#include <string>
#include <utility>
#include <vector>

// The members of config.json, read once and then only read: five UTF-8
// strings, whether an install keeps the originals it replaces, and the
// game files the patch was made for.
struct installer_config {
    std::string game_name;       // shown to the player in every message
    std::string process_name;    // file name of the game's executable
    std::string data_directory;  // required, not used by any step
    std::string registry_key;    // sub-key under the publisher's registry key
    std::string steam_id;        // Steam application number, as text
    bool keep_originals = true;  // optional; false lets an install delete them, and then it cannot be removed
    // Optional "expects": the place of each file the patch replaces (UTF-8,
    // '\'-separated) and the SHA-256 of the original it was made for, as
    // 64 lowercase hex digits. Empty: no expectation.
    std::vector<std::pair<std::string, std::string>> expects;
};
