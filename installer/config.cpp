#include "installer/config.hpp"

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "common/paths.hpp"

namespace {

void read_member(const nlohmann::json& document, const char* key, std::string& field) {
    if (!document.is_object()) {
        // The library's own type_error 305 ("cannot use operator[] with a
        // string argument with array"): operator[] on a non-object is defined.
        (void)document[key];
    }
    // operator[] on a const object with an absent key is undefined behaviour.
    auto member = document.find(key);
    if (member == document.end()) {
        throw config_error(std::string("config.json has no member \"") + key + "\"");
    }
    field = member->get<std::string>();
}

}  // namespace

std::wstring config_file_path(const std::wstring& archives_folder) {
    return paths::join(archives_folder, L"config.json");
}

installer_config read_installer_config(const nlohmann::json& document) {
    installer_config config;
    read_member(document, "game_name", config.game_name);
    read_member(document, "process_name", config.process_name);
    read_member(document, "data_directory", config.data_directory);
    read_member(document, "registry_key", config.registry_key);
    read_member(document, "steam_id", config.steam_id);
    return config;
}

installer_config load_installer_config(const std::wstring& archives_folder) {
    // Text mode, shared for reading and writing; a file that does not open is
    // an empty stream, which the parser reports as unexpected end of input.
    std::ifstream file(std::filesystem::path(config_file_path(archives_folder)));
    nlohmann::json document;
    file >> document;  // one JSON value from the start; what follows is not read
    return read_installer_config(document);
}
