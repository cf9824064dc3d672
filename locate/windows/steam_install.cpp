#include "locate/windows/steam_install.hpp"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "acf/acf_parser.hpp"
#include "common/file_presence.hpp"
#include "common/windows/file_system.hpp"
#include "common/paths.hpp"
#include "common/windows/utf16.hpp"
#include "locate/install_folder_name.hpp"
#include "locate/install_log.hpp"
#include "locate/windows/library_candidate.hpp"
#include "locate/windows/registry_value.hpp"

namespace {

// The value as the read reported it: its byte count less the terminator.
// A failed read reports no usable count, so nothing is shown.
std::wstring reported_text(const registry_string& value) {
    if (!value.found() || value.byte_count < sizeof(wchar_t)) return {};
    std::size_t units = value.byte_count / sizeof(wchar_t) - 1;
    if (units > value.buffer.size()) units = value.buffer.size();
    return std::wstring(value.buffer.data(), units);
}

void note_reading(std::wstring* reading, const std::wstring& path) {
    if (reading) *reading = path;
}

// The game's folder as the manifest gives it, read from the candidate's
// manifest: the library's steamapps\common joined with "installdir".
std::wstring folder_in_manifest(acf_parser& parser, library_candidate& candidate) {
    acf_node manifest = parser.read_acf(candidate.manifest);
    // get_or_insert, not at: a manifest without "AppState" must fail with
    // "bad variant access" (the empty text it inserts is no object), as the
    // search's error table has it.
    const std::string& install_dir =
        manifest.as_object().get_or_insert("AppState").as_object().at("installdir").as_text();
    // Anything but one plain folder name would put the patch outside
    // steamapps\common, or into it directly.
    if (!is_plain_folder_name(install_dir)) {
        throw std::filesystem::filesystem_error("the game's manifest gives no plain folder name as \"installdir\"",
                                                std::filesystem::path(candidate.manifest_path),
                                                std::make_error_code(std::errc::invalid_argument));
    }
    const std::wstring folder_name = utf8_to_utf16_strict(install_dir);
    return paths::join(paths::join(candidate.library_folder, L"steamapps\\common"), folder_name);
}

}  // namespace

std::optional<std::wstring> find_steam_install(const installer_config& config, std::wstring* reading) {
    install_log log;
    const registry_string steam = read_user_string(L"Software\\Valve\\Steam", L"SteamPath");
    log.write(L"attempt to get Steam install path returned status {:#010x} and path {}\n",
              static_cast<std::uint32_t>(steam.status), std::wstring_view(reported_text(steam)));
    if (!steam.found()) return std::nullopt;

    const std::wstring library_list = paths::join(paths::join(steam.text(), L"steamapps"), L"libraryfolders.vdf");
    note_reading(reading, library_list);
    // Uninstalling Steam leaves its registry value behind: no library list
    // is Steam without libraries. A list that is there but cannot be read
    // reads as empty, which the lookup below reports as broken.
    if (is_missing(library_list)) {
        log.write(L"no install folders found\n");
        return std::nullopt;
    }
    std::ifstream library_stream{std::filesystem::path(library_list)};  // text mode, shared
    acf_parser parser;
    acf_node document = parser.read_acf(library_stream);
    // get_or_insert, not at: a list without "libraryfolders" (or one that
    // reads as empty) must fail with "bad variant access", as designed.
    const acf_object& libraries = document.as_object().get_or_insert("libraryfolders").as_object();

    for (const auto& member : libraries) {
        // Steam keeps text members (such as "contentstatsid") beside the
        // numbered libraries; they are no libraries.
        if (member.second.is_text()) continue;
        bool found = false;
        {
            const library_candidate candidate = make_library_candidate(config, member);
            found = candidate.manifest_found();
            log.write(L"manifest found in {}: {}\n", std::wstring_view(candidate.library_folder), found);
        }  // the manifest is closed before it is opened again to be read
        if (!found) continue;
        // Opened a second time on purpose: the first candidate only answers
        // "is the game in this library" and is closed at once, so that at most
        // one manifest is open while libraries are tried; this one is read.
        library_candidate candidate = make_library_candidate(config, member);
        note_reading(reading, candidate.manifest_path);
        std::wstring folder = folder_in_manifest(parser, candidate);
        // Steam leaves manifests behind when a library moves: a game whose
        // folder is not there is not installed in this library.
        if (is_existing_folder(folder)) return folder;
        note_reading(reading, library_list);
    }
    log.write(L"no install folders found\n");
    return std::nullopt;
}
