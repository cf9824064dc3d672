#include "installer/patch/config.hpp"

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "common/file_presence.hpp"
#include "common/paths.hpp"
#include "common/wtf8.hpp"
#include "installer/patch/expectations.hpp"

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
        throw config_error(std::string("config.json has no member \"") + key + "\"", key);
    }
    field = member->get<std::string>();
}

// Optional: absent means the originals are kept.
void read_optional_member(const nlohmann::json& document, const char* key, bool& field) {
    auto member = document.find(key);
    if (member != document.end()) field = member->get<bool>();
}

std::string type_name(const nlohmann::json& value) { return value.type_name(); }

// Optional "expects": an object of plain places and SHA-256 hashes. The
// places are judged as the checker prints them; the value of each must be
// the hash as the checker writes it.
void read_expectations(const nlohmann::json& document, installer_config& config) {
    auto member = document.find("expects");
    if (member == document.end()) return;
    if (!member->is_object()) {
        throw config_error("config.json's \"expects\" must be a JSON object that maps places of the game to SHA-256 "
                           "hashes, but it is " + type_name(*member));
    }
    for (const auto& [place, hash] : member->items()) {
        const std::optional<std::wstring> wide = from_wtf8(place);
        if (!wide || !is_plain_place(*wide)) {
            throw config_error("config.json's \"expects\" names \"" + place +
                               "\", which is no plain place below the game folder (such as \"data\\\\level.pak\")");
        }
        if (!hash.is_string() || !is_sha256_hex(hash.get<std::string>())) {
            throw config_error("config.json's \"expects\" gives \"" + place +
                               "\" no SHA-256 (64 lowercase hex digits in a JSON string)");
        }
        config.expects.emplace_back(place, hash.get<std::string>());
    }
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
    read_optional_member(document, "keep_originals", config.keep_originals);
    read_expectations(document, config);
    return config;
}

installer_config load_installer_config(const std::wstring& archives_folder) {
    // Text mode, shared for reading and writing; a file that is there but
    // does not open is an empty stream, which the parser reports as
    // unexpected end of input.
    const std::filesystem::path path(config_file_path(archives_folder));
    // A folder opens as a stream that reads nothing, which the parser would
    // call "unexpected end of input".
    std::error_code not_asked;
    if (std::filesystem::is_directory(path, not_asked)) {
        throw config_error("config.json in the folder \"archives\" is a folder, not a file");
    }
    std::ifstream file(path);
    if (!file.is_open()) {
        if (is_missing(std::filesystem::path(archives_folder))) {
            throw config_error("config.json was not found: there is no folder \"archives\" beside the installer");
        }
        if (is_missing(path)) throw config_error("config.json was not found in the folder \"archives\"");
    }
    nlohmann::json document;
    file >> document;  // one JSON value from the start; what follows is not read
    return read_installer_config(document);
}
