#pragma once
#include <fstream>
#include <string>

#include "acf/acf_node.hpp"
#include "common/installer_config.hpp"

// One Steam library being tried: its folder and the game's manifest there,
// open or failed. Destroying the candidate closes the manifest.
struct library_candidate {
    std::wstring library_folder;
    std::wstring manifest_path;
    std::ifstream manifest;

    bool manifest_found() const { return !manifest.fail(); }
};

// From one member of "libraryfolders": its "path", with doubled backslashes
// reduced, is the library folder; its steamapps\appmanifest_<steam_id>.acf
// is opened. A member without an object, a "path" or valid UTF-8 raises the
// tree's or the conversion's error.
library_candidate make_library_candidate(const installer_config& config,
                                         const std::pair<const std::string, acf_node>& member);
