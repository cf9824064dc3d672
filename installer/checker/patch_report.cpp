#include "installer/checker/patch_report.hpp"

#include <algorithm>
#include <cstdint>
#include <set>

#include "common/ascii.hpp"
#include "common/format.hpp"
#include "common/paths.hpp"
#include "common/wtf8.hpp"
#include "installer/deploy/journal_format.hpp"
#include "installer/patch/path_rules.hpp"
#include "installer/patch/same_place.hpp"
#include "installer/run/messages.hpp"

namespace {

class report_builder {
public:
    void add(report_kind kind, std::wstring text) {
        if (kind == report_kind::problem) ++report_.problems;
        report_.lines.push_back({kind, std::move(text)});
    }
    patch_report take() { return std::move(report_); }

private:
    patch_report report_;
};

std::uint32_t count(std::size_t n) { return static_cast<std::uint32_t>(n); }

// The running-game check compares image file names: a name that can never be
// one turns the check off without a word.
void check_process_name(const patch_report_input& input, report_builder& report) {
    const std::wstring& name = input.process_name;
    std::wstring why;
    if (name.empty()) {
        why = L"it is empty";
    } else if (name.find_first_of(L"\\/") != std::wstring::npos) {
        why = L"it holds a folder, and only the file name of a running program is compared";
    } else if (!ends_with_ignoring_ascii_case(name, L".exe")) {
        why = L"it does not end in .exe";
    }
    if (why.empty()) {
        report.add(report_kind::note, format_template(L"process_name \"{}\" can match the running game", name));
    } else {
        report.add(report_kind::problem,
                   format_template(L"process_name \"{}\" can never match a running game, so the installer would "
                                   L"patch the game while it runs: {}",
                                   name, why));
    }
}

// The Steam search finds a game by its app ID, which is a number.
void check_steam_id(const patch_report_input& input, report_builder& report) {
    const std::wstring& id = input.steam_id;
    if (!id.empty() && id.find_first_not_of(L"0123456789") == std::wstring::npos) return;
    const std::wstring what = id.empty() ? std::wstring(L"steam_id is empty")
                                         : format_template(L"steam_id \"{}\" is not a number", id);
    report.add(report_kind::warning,
               what + L": Steam names a game by the number in its store page's address (store.steampowered.com/app/"
                      L"<number>), so the installer can never find the game in the player's Steam libraries, only "
                      L"through registry_key");
}

// Every box names the game: without a name they read oddly.
void check_game_name(const patch_report_input& input, report_builder& report) {
    if (!input.game_name.empty()) return;
    const auto box_text = [](std::string_view pattern) { return from_wtf8(fill_game_name(pattern, "")).value_or(L""); };
    report.add(report_kind::warning,
               L"game_name is empty, and every box names the game: the player would read \"" +
                   box_text(game_not_found_template) + L"\" and \"" + box_text(game_running_template) + L"\"");
}

void check_configuration(const patch_report_input& input, report_builder& report) {
    if (!input.config_loaded) {
        report.add(report_kind::problem,
                   format_template(L"archives\\config.json does not load; the installer would say: {}",
                                   input.config_error));
        return;
    }
    report.add(report_kind::note, format_template(L"archives\\config.json loads, for \"{}\"", input.game_name));
    if (input.keep_originals) {
        report.add(report_kind::note, L"keep_originals: the installer keeps each file it replaces beside it, so that "
                                      L"patch_remove.exe can give the game back as it was");
    } else {
        report.add(report_kind::warning, L"keep_originals is false: the installer deletes each file it replaces, so "
                                         L"the patch cannot be removed (patch_remove.exe will refuse)");
    }
    if (!input.config_file_name.empty() && input.config_file_name != L"config.json") {
        report.add(report_kind::problem,
                   format_template(L"the configuration file is named \"{}\"; name it exactly \"config.json\"",
                                   input.config_file_name));
    }
    check_process_name(input, report);
    check_steam_id(input, report);
    check_game_name(input, report);
}

const wchar_t* name_fault_reason(path_fault fault) {
    switch (fault) {
    case path_fault::control_character:
        return L"a control character";
    case path_fault::forbidden_character:
        return L"one of the characters * ? < > \" |";
    case path_fault::misplaced_colon:
        return L"a colon";
    case path_fault::reserved_name:
        return L"a device's name, such as CON, NUL, COM1 or LPT1";
    case path_fault::trailing_dot_or_space:
        return L"a dot or a blank at its end, which Windows drops";
    default:
        return L"a form Windows cannot take";
    }
}

// A name the shell cannot take, in any element of a place below archives.
path_fault name_fault_in(const std::wstring& relative) {
    for (std::wstring_view element : paths::elements(relative)) {
        if (const path_fault fault = find_name_fault(element); fault != path_fault::none) return fault;
    }
    return path_fault::none;
}

void check_names(const std::wstring& relative, report_builder& report) {
    if (const path_fault fault = name_fault_in(relative); fault != path_fault::none) {
        report.add(report_kind::problem, format_template(L"{}: a name Windows forbids, with {}", relative,
                                                         std::wstring_view(name_fault_reason(fault))));
    }
}

// Two files for one place and names the journal keeps: by the installer's
// own rules, on the names as the game's drive compares them.
void check_places(const patch_report_input& input, report_builder& report) {
    const case_fold fold = input.fold ? input.fold : case_fold([](std::wstring_view text) { return std::wstring(text); });
    for (const auto& [second, first] : places_taken_twice(input.files, fold)) {
        report.add(report_kind::problem,
                   format_template(L"{}: two files of the patch would be copied to this same place, with {}",
                                   input.files[second], input.files[first]));
    }
    for (const std::wstring& file : input.files) {
        if (fold(file) == fold(journal_file_name) || fold(file) == fold(journal_lock_name)) {
            report.add(report_kind::problem,
                       format_template(L"{}: the installer keeps its journal under this name in the game folder; "
                                       L"rename this file",
                                       file));
        }
    }
    for (const auto& [file, why] : input.unreadable) {
        // A name Windows forbids cannot be opened either: its name is the problem.
        if (name_fault_in(file) == path_fault::none) report.add(report_kind::problem, format_template(L"{}: {}", file, why));
    }
}

// Which files the patch says it was made for: a file without an expectation
// while others have one may be a replaced file the author forgot.
void check_expectations(const patch_report_input& input, report_builder& report) {
    if (input.expected_places.empty()) return;
    const case_fold fold = input.fold ? input.fold : case_fold([](std::wstring_view text) { return std::wstring(text); });
    std::set<std::wstring> expected;
    for (const std::wstring& place : input.expected_places) expected.insert(fold(place));
    std::set<std::wstring> files;
    for (const std::wstring& file : input.files) {
        files.insert(fold(file));
        if (expected.count(fold(file))) {
            report.add(report_kind::note, format_template(L"expects: {} as the game's file the patch was made for", file));
        } else {
            report.add(report_kind::warning,
                       format_template(L"{} has no expectation, while other files do: if it replaces a file of the "
                                       L"game, run patch_check --expect-game again (a file the patch adds needs none)",
                                       file));
        }
    }
    for (const std::wstring& place : input.expected_places) {
        if (!files.count(fold(place))) {
            report.add(report_kind::warning,
                       format_template(L"{}: config.json expects this file of the game, but the patch has no file there",
                                       place));
        }
    }
}

void check_remover(const patch_report_input& input, report_builder& report) {
    if (input.remover_present) {
        report.add(report_kind::note, L"patch_remove.exe is beside the installer: players can remove the patch");
    } else {
        report.add(report_kind::warning,
                   L"patch_remove.exe is not beside the installer: ship it, so that players can remove the patch");
    }
}

// The shortest game folder there is, such as C:\G.
constexpr std::size_t shortest_game_folder = 4;

// How long a game folder's path may be before a file (or a folder the copy
// creates) below it passes the shell's limits: by the installer's own rule.
void check_path_lengths(const patch_report_input& input, report_builder& report) {
    if (input.files.empty()) return;
    std::size_t allowed = max_file_path;
    const std::wstring* longest = &input.files.front();
    const std::wstring* tightest = &input.files.front();
    for (const std::wstring& file : input.files) {
        if (file.size() > longest->size()) longest = &file;
        const std::size_t fits = longest_game_folder(file);
        if (fits < allowed) {
            allowed = fits;
            tightest = &file;
        }
    }
    if (allowed < shortest_game_folder) {
        report.add(report_kind::problem,
                   format_template(L"{}: this destination is {} characters long, too long for any game folder (a "
                                   L"file's whole path may be up to {} characters); shorten the patch's folders and "
                                   L"names",
                                   *tightest, count(tightest->size()), count(max_file_path)));
        return;
    }
    report.add(report_kind::note,
               format_template(L"the longest destination is {} ({} characters): a game folder's path may be up to {} "
                               L"characters long",
                               *longest, count(longest->size()), count(allowed)));
    // Players unpack the patch anywhere: <folder>\archives\<file>.
    const std::size_t taken = longest->size() + 10;
    const std::size_t unpack = max_file_path > taken ? max_file_path - taken : 0;
    if (unpack < shortest_game_folder) {
        report.add(report_kind::problem,
                   format_template(L"{}: as archives\\{} this file is too long to be unpacked into any folder (a "
                                   L"file's whole path may be up to {} characters); shorten the patch's folders and "
                                   L"names",
                                   *longest, *longest, count(max_file_path)));
    } else {
        report.add(report_kind::note,
                   format_template(L"players may unpack the patch into a folder whose path is up to {} characters "
                                   L"long",
                                   count(unpack)));
    }
    if (input.config_loaded) {
        const std::wstring steam = typical_steam_folder + input.game_name;
        if (steam.size() <= allowed) {
            report.add(report_kind::note,
                       format_template(L"a typical Steam library fits: {} ({} characters)", steam, count(steam.size())));
        } else {
            report.add(report_kind::problem,
                       format_template(L"a typical Steam library does not fit: {} ({} characters); shorten the "
                                       L"patch's folders and names",
                                       steam, count(steam.size())));
        }
    }
}

}  // namespace

patch_report build_patch_report(const patch_report_input& input) {
    report_builder report;
    if (!input.given_folder.empty()) {
        report.add(report_kind::note,
                   format_template(L"{} is the archives folder itself: checking the folder that holds it, where the "
                                   L"installer goes",
                                   input.given_folder));
    }
    report.add(report_kind::note, format_template(L"checking the patch in {}", input.folder));
    if (!input.folder_found) {
        report.add(report_kind::problem,
                   format_template(L"there is no folder {}: give the patch's folder, the one that holds the installer "
                                   L"and its folder \"archives\"",
                                   input.folder));
        return report.take();
    }
    if (!input.archives_found) {
        report.add(report_kind::problem,
                   format_template(L"there is no folder \"archives\" in {}: the installer reads config.json and the "
                                   L"patch's files from archives beside it",
                                   input.folder));
        return report.take();
    }
    check_configuration(input, report);

    if (!input.listing_error.empty()) {
        report.add(report_kind::problem,
                   format_template(L"the archives folder cannot be listed: {}", input.listing_error));
    }
    // A file the installer would refuse is listed once, as the problem below.
    for (const std::wstring& file : input.files) {
        if (name_fault_in(file) == path_fault::none) report.add(report_kind::copy, file);
    }
    if (input.files.empty() && input.listing_error.empty()) {
        report.add(report_kind::warning, L"the patch has no file to copy");
    }
    for (const std::wstring& file : input.notes.passed_over) {
        report.add(report_kind::warning,
                   format_template(L"{}: passed over: a file named config.json is copied from no folder", file));
    }
    for (const std::wstring& folder : input.notes.empty_folders) {
        report.add(report_kind::warning,
                   format_template(L"{}: a folder with no file to copy, which will not be created", folder));
    }
    for (const std::wstring& link : input.notes.links) {
        report.add(report_kind::problem,
                   format_template(L"{}: a link, which the installer does not copy as one; put the real file or "
                                   L"folder here",
                                   link));
    }
    for (const std::vector<std::wstring>* places : {&input.files, &input.notes.passed_over, &input.notes.empty_folders}) {
        for (const std::wstring& place : *places) check_names(place, report);
    }
    check_places(input, report);
    check_expectations(input, report);
    check_path_lengths(input, report);
    check_remover(input, report);
    return report.take();
}

std::wstring render_patch_report(const patch_report& report) {
    std::wstring text;
    for (const report_line& line : report.lines) {
        switch (line.kind) {
        case report_kind::note:
            break;
        case report_kind::copy:
            text += L"copy: ";
            break;
        case report_kind::warning:
            text += L"warning: ";
            break;
        case report_kind::problem:
            text += L"problem: ";
            break;
        }
        text += line.text + L"\n";
    }
    if (report.ready()) {
        text += L"ready to ship\n";
    } else if (report.problems == 1) {
        text += L"not ready to ship: 1 problem\n";
    } else {
        text += format_template(L"not ready to ship: {} problems\n", count(report.problems));
    }
    return text;
}
