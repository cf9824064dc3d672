#pragma once
// What the patch checker tells an author about a patch before it ships, with
// the installer's own rules: the configuration, the files and the places they
// land, the names and path lengths Windows takes.
#include <cstddef>
#include <string>
#include <vector>

#include "common/case_fold.hpp"
#include "installer/patch/patch_listing.hpp"

// What the checker found, gathered by its Windows edge.
struct patch_report_input {
    std::wstring folder;               // the distribution folder checked
    std::wstring given_folder;         // what the author named, when it was the archives folder itself
    bool folder_found = true;          // `folder` is a folder
    bool archives_found = true;        // and holds the folder "archives"
    bool config_loaded = false;
    std::wstring config_error;         // the installer's own error text, when it did not load
    std::wstring config_file_name;     // config.json's name as the folder holds it; empty when absent
    std::wstring game_name;            // from config.json, when it loaded
    std::wstring process_name;
    std::wstring steam_id;
    bool keep_originals = true;
    std::vector<std::wstring> expected_places;  // what config.json's "expects" names
    bool remover_present = false;      // patch_remove.exe beside the installer
    std::vector<std::wstring> files;   // places below archives of the files the installer copies
    std::wstring listing_error;        // the listing's error, when archives could not be walked
    listing_notes notes;
    // Files the installer could not copy, by place, with its own words for why.
    std::vector<std::pair<std::wstring, std::wstring>> unreadable;
    case_fold fold;                    // how the game's drive compares names
};

enum class report_kind { note, copy, warning, problem };

struct report_line {
    report_kind kind;
    std::wstring text;
};

struct patch_report {
    std::vector<report_line> lines;
    std::size_t problems = 0;
    bool ready() const { return problems == 0; }
};

// The folder a typical Steam install puts a game in, with the game's name
// standing for its folder name.
inline constexpr wchar_t typical_steam_folder[] = L"C:\\Program Files (x86)\\Steam\\steamapps\\common\\";

patch_report build_patch_report(const patch_report_input& input);

// One line each, prefixed by its kind ("copy:", "warning:", "problem:"),
// and the verdict last.
std::wstring render_patch_report(const patch_report& report);
