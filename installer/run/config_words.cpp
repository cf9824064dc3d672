#include "installer/run/config_words.hpp"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>

#include "common/format.hpp"

namespace {

struct member_rule {
    const char* name;
    const char* example;  // a value of the right kind, as the author writes it
};
constexpr member_rule members[] = {
    {"game_name", "\"Tides of Wavelorn\""},
    {"process_name", "\"TidesOfWavelorn.exe\""},
    {"data_directory", "\"data\""},
    {"registry_key", "\"Tides of Wavelorn\""},
    {"steam_id", "\"4242\""},
};

std::string a_type(const nlohmann::json& value) {
    const std::string name = value.type_name();
    return (name == "array" || name == "object") ? "an " + name : "a " + name;
}

bool looks_like_utf16(std::string_view bytes) {
    if (bytes.size() >= 2 &&
        ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
        return true;
    }
    return bytes.find('\0') != std::string_view::npos;
}

// The plain words, from the file itself: the library's error does not name
// the member it met.
std::string plain_words(std::string_view bytes, const std::exception& error) {
    if (auto own = dynamic_cast<const config_error*>(&error)) {
        // Plain already, but for a member that is missing: what to add.
        for (const member_rule& member : members) {
            if (own->missing_member() == member.name) {
                return format_template("{} is missing: add it, a JSON string such as {}", std::string_view(member.name),
                                       std::string_view(member.example));
            }
        }
        return {};
    }
    if (looks_like_utf16(bytes)) return "config.json is saved as UTF-16: save it as UTF-8";
    if (dynamic_cast<const nlohmann::json::parse_error*>(&error)) {
        if (bytes.find_first_not_of(" \t\r\n") == std::string_view::npos) return "config.json is empty";
        return "config.json is not valid JSON: look for a missing quote, comma or brace, or a comment, which JSON "
               "does not allow";
    }
    nlohmann::json document;
    try {
        document = nlohmann::json::parse(bytes);
    } catch (const nlohmann::json::exception&) {
        return {};
    }
    if (!document.is_object())
        return "config.json must hold one JSON object, { ... }, but it holds " + a_type(document);
    for (const member_rule& member : members) {
        auto found = document.find(member.name);
        if (found != document.end() && !found->is_string()) {
            return format_template("{} must be a JSON string such as {}, but it is {}", std::string_view(member.name),
                                   std::string_view(member.example), std::string_view(a_type(*found)));
        }
    }
    auto keep = document.find("keep_originals");
    if (keep != document.end() && !keep->is_boolean()) {
        return "keep_originals must be true or false, without quotes, but it is " + a_type(*keep);
    }
    return {};
}

}  // namespace

std::string config_failure_words(std::string_view bytes, const std::exception& error) {
    const std::string plain = plain_words(bytes, error);
    const std::string detail = error.what();
    return plain.empty() ? detail : plain + " (" + detail + ")";
}

installer_config load_config_or_explain(const std::wstring& archives_folder) {
    try {
        return load_installer_config(archives_folder);
    } catch (const config_error& error) {
        // Its own words are plain; only a missing member gains what to add.
        throw config_error(config_failure_words({}, error));
    } catch (const std::exception& error) {
        // Read again, as bytes: only the file tells which member the library met.
        std::ifstream file(std::filesystem::path(config_file_path(archives_folder)), std::ios::binary);
        std::string bytes(std::size_t{1} << 20, '\0');  // a configuration is a few hundred bytes
        file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(file.gcount()));
        throw config_error(config_failure_words(bytes, error));
    }
}
