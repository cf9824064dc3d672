#include "installer/checker/patch_report.hpp"

#include <algorithm>
#include <cstdint>
#include <set>

#include "common/ascii.hpp"
#include "common/format.hpp"
#include "common/paths.hpp"
#include "installer/deploy/journal_format.hpp"
#include "installer/patch/path_rules.hpp"
#include "installer/patch/same_place.hpp"

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

// Names the shell cannot take, in any element of a place below archives.
void check_names(const std::wstring& relative, report_builder& report) {
    for (std::wstring_view element : paths::elements(relative)) {
        const path_fault fault = find_name_fault(element);
        if (fault != path_fault::none) {
            report.add(report_kind::problem, format_template(L"{}: a name Windows forbids, with {}", relative,
                                                             std::wstring_view(name_fault_reason(fault))));
            return;
        }
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
        report.add(report_kind::problem, format_template(L"{}: {}", file, why));
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

// How long a game folder's path may be before a file (or a folder the copy
// creates) below it passes the shell's limits: by the installer's own rule.
void check_path_lengths(const patch_report_input& input, report_builder& report) {
    if (input.files.empty()) return;
    std::size_t allowed = max_file_path;
    const std::wstring* longest = &input.files.front();
    for (const std::wstring& file : input.files) {
        if (file.size() > longest->size()) longest = &file;
        allowed = std::min(allowed, longest_game_folder(file));
    }
    report.add(report_kind::note,
               format_template(L"the longest destination is {} ({} characters): a game folder's path may be up to {} "
                               L"characters long",
                               *longest, count(longest->size()), count(allowed)));
    // Players unpack the patch anywhere: <folder>\archives\<file>.
    const std::size_t unpack = max_file_path - std::min(max_file_path, longest->size() + 10);
    report.add(report_kind::note,
               format_template(L"players may unpack the patch into a folder whose path is up to {} characters long",
                               count(unpack)));
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
    report.add(report_kind::note, format_template(L"checking the patch in {}", input.folder));
    check_configuration(input, report);

    if (!input.listing_error.empty()) {
        report.add(report_kind::problem,
                   format_template(L"the archives folder cannot be listed: {}", input.listing_error));
    }
    for (const std::wstring& file : input.files) report.add(report_kind::copy, file);
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
