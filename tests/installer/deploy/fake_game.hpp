#pragma once
// A game folder in memory for the transaction's decisions: files (by their
// stamps) and folders by place, names compared ignoring ASCII case as Windows
// does, with the runs' stages played on it the way the Windows edge plays
// them on disk.
#include <map>
#include <optional>
#include <set>
#include <string>

#include "installer/deploy/game_survey.hpp"
#include "installer/deploy/plan.hpp"
#include "installer/deploy/undo.hpp"

inline std::wstring ascii_fold(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
        if (c == L'/') c = L'\\';
    }
    return out;
}

struct fake_game {
    std::map<std::wstring, file_stamp> files;  // by place, as spelled
    std::set<std::wstring> folders;
    std::set<std::wstring> busy;  // folded places whose file cannot be moved or removed
    case_fold fold = ascii_fold;

    friend bool operator==(const fake_game& a, const fake_game& b) {
        return a.files == b.files && a.folders == b.folders;
    }

    std::optional<std::wstring> file_named(const std::wstring& place) const {
        for (const auto& [name, stamp] : files) {
            if (fold(name) == fold(place)) return name;
        }
        return std::nullopt;
    }
    bool folder_exists(const std::wstring& place) const {
        if (place.empty()) return true;
        for (const std::wstring& folder : folders) {
            if (fold(folder) == fold(place)) return true;
        }
        return false;
    }
    void add_file(const std::wstring& place, file_stamp stamp) {
        for (std::size_t at = place.find(L'\\'); at != std::wstring::npos; at = place.find(L'\\', at + 1)) {
            if (!folder_exists(place.substr(0, at))) folders.insert(place.substr(0, at));
        }
        files[place] = stamp;
    }

    game_survey survey(const std::vector<std::wstring>& places) const {
        return survey_folders(folders_of(places), fold, [this](const std::wstring& folder) {
            std::vector<surveyed_entry> entries;
            const std::wstring prefix = folder.empty() ? L"" : fold(folder) + L"\\";
            auto directly_inside = [&](const std::wstring& place) {
                const std::wstring folded = fold(place);
                return folded.rfind(prefix, 0) == 0 && folded.find(L'\\', prefix.size()) == std::wstring::npos &&
                       folded.size() > prefix.size();
            };
            for (const auto& [place, stamp] : files) {
                if (directly_inside(place)) entries.push_back({place.substr(prefix.size()), false, false, stamp});
            }
            for (const std::wstring& place : folders) {
                if (directly_inside(place)) entries.push_back({place.substr(prefix.size()), true, false, {}});
            }
            return entries;
        });
    }

    disk_operations operations() {
        disk_operations disk;
        disk.exists = [this](const std::wstring& place) { return file_named(place) || folder_exists(place); };
        disk.remove_file = [this](const std::wstring& place) {
            if (busy.count(fold(place))) return false;
            if (auto name = file_named(place)) files.erase(*name);
            return true;
        };
        disk.rename = [this](const std::wstring& from, const std::wstring& to) {
            const std::optional<std::wstring> name = file_named(from);
            if (!name || busy.count(fold(from)) || file_named(to) || folder_exists(to)) return false;
            const file_stamp stamp = files[*name];
            files.erase(*name);
            files[to] = stamp;
            return true;
        };
        disk.remove_folder = [this](const std::wstring& place) {
            const std::wstring prefix = fold(place) + L"\\";
            for (const auto& [name, stamp] : files) {
                if (fold(name).rfind(prefix, 0) == 0) return folder_removal::not_empty;
            }
            for (const std::wstring& folder : folders) {
                if (fold(folder).rfind(prefix, 0) == 0) return folder_removal::not_empty;
            }
            std::erase_if(folders, [&](const std::wstring& f) { return fold(f) == fold(place); });
            return folder_removal::gone;
        };
        return disk;
    }
};

// The forward stages, as far as `steps` of them (each rename, each folder
// and each file copied is one step): how a run that is interrupted leaves
// the folder. Returns how far it got.
inline run_stage play_forward(fake_game& game, const run_plan& plan, std::size_t steps) {
    disk_operations disk = game.operations();
    std::size_t done = 0;
    auto step = [&] { return done++ < steps; };
    for (const planned_file& file : plan.files) {
        if (!file.aside.empty() && !step()) return run_stage::planned;
        if (!file.aside.empty()) disk.rename(file.place, file.aside);
    }
    if (plan.kind == run_kind::install) {
        for (const std::wstring& folder : plan.folders) {
            if (!step()) return run_stage::set_aside;
            game.folders.insert(folder);
        }
        for (const planned_file& file : plan.files) {
            if (!step()) return run_stage::set_aside;
            game.files[file.place] = file.source_stamp;
        }
    } else {
        for (const planned_file& file : plan.files) {
            if (file.action != file_action::restore) continue;
            if (!step()) return run_stage::set_aside;
            disk.rename(file.former, file.place);
        }
    }
    return run_stage::copied;
}
