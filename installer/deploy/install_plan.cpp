#include "installer/deploy/install_plan.hpp"

#include <map>
#include <set>

#include "common/paths.hpp"
#include "installer/deploy/aside_names.hpp"
#include "installer/deploy/check_problem.hpp"
#include "installer/deploy/journal_format.hpp"
#include "installer/deploy/set_aside_name.hpp"
#include "installer/patch/path_rules.hpp"
#include "installer/patch/same_place.hpp"

namespace {

[[noreturn]] void stop(check_problem problem) { throw stopped_before_change(std::move(problem)); }

[[noreturn]] void stop(check_problem_kind kind, std::wstring file, std::wstring other = {}) {
    stop({kind, std::move(file), std::move(other)});
}

void check_path(check_problem_kind kind, const std::wstring& path, std::size_t limit) {
    const path_fault fault = find_path_fault(path, limit);
    if (fault != path_fault::none) stop({kind, path, {}, fault, path.size(), limit});
}

// The game folder's length without the separators it may end in: what
// room_for_game_folder is judged against.
std::size_t folder_length(const std::wstring& folder) {
    std::size_t length = folder.size();
    while (length > 0 && paths::is_separator(folder[length - 1])) --length;
    return length;
}

// `relative` below the game folder: its names, then its length, which the
// patch checker works out for authors with the same room_for_game_folder.
void check_below_game(check_problem_kind kind, const std::wstring& game_folder, const std::wstring& relative,
                      std::size_t limit) {
    const std::wstring path = paths::child(game_folder, relative);
    check_path(kind, path, static_cast<std::size_t>(-1));
    const std::size_t length = folder_length(game_folder);
    if (length > room_for_game_folder(relative, limit)) {
        stop({kind, path, {}, path_fault::too_long, length + 1 + relative.size(), limit});
    }
}

// A place split into the folder it lies in and its name.
struct split_place {
    std::wstring folder;  // "" for the game folder itself
    std::wstring name;
};
split_place split(const std::wstring& place) {
    const std::size_t at = place.rfind(L'\\');
    if (at == std::wstring::npos) return {L"", place};
    return {place.substr(0, at), place.substr(at + 1)};
}

class planner {
public:
    planner(const install_request& request, const std::vector<std::wstring>& folded_places,
            const install_record& record, const game_survey& survey, const case_fold& fold)
        : request_(request),
          folded_places_(folded_places),
          survey_(survey),
          fold_(fold),
          taken_(names_taken(survey, fold)) {
        for (const recorded_file& file : record.files) recorded_[fold(file.place)] = &file;
        taken_.insert(folded_places.begin(), folded_places.end());
    }

    install_plan make() {
        install_plan plan;
        plan.run.keep_originals = request_.keep_originals;
        plan.run.files.reserve(request_.files.size());
        for (std::size_t i = 0; i < request_.files.size(); ++i) plan_file(request_.files[i], folded_places_[i], plan);
        return plan;
    }

private:
    std::wstring full(const std::wstring& place) const { return paths::child(request_.game_folder, place); }

    // The folder `place` (`folded` is its folded form) as the game folder
    // spells it, if it exists; raises when something other than one folder
    // stands in its way. Each folder is judged once.
    std::optional<std::wstring> existing_folder(const std::wstring& place, const std::wstring& folded,
                                                install_plan& plan) {
        if (place.empty()) return std::wstring();
        if (auto known = judged_.find(folded); known != judged_.end()) return known->second;
        std::optional<std::wstring> result = judge_folder(place, folded, plan);
        judged_.emplace(folded, result);
        return result;
    }

    std::optional<std::wstring> judge_folder(const std::wstring& place, const std::wstring& folded,
                                             install_plan& plan) {
        if (auto known = survey_.folders.find(folded); known != survey_.folders.end()) return known->second.place;
        const split_place parts = split(place);
        const split_place folded_parts = split_folded(parts, folded);
        const std::optional<std::wstring> outer = existing_folder(parts.folder, folded_parts.folder, plan);
        if (outer) {
            const std::vector<const surveyed_entry*> found = survey_.find(folded_parts.folder, folded_parts.name);
            if (found.size() > 1) {
                stop(check_problem_kind::case_twins, full(paths::child(*outer, found[0]->name)),
                     full(paths::child(*outer, found[1]->name)));
            }
            if (found.size() == 1 && !found.front()->is_folder) {
                stop(check_problem_kind::file_where_folder_needed, full(paths::child(*outer, found.front()->name)));
            }
        }
        check_below_game(check_problem_kind::created_folder_path, request_.game_folder, place, max_created_folder_path);
        plan.run.folders.push_back(place);
        if (outer) note_receiving(*outer, folded_parts.folder, plan);
        return std::nullopt;
    }

    // The folded forms of a place's folder and name. Folding keeps each
    // unit where it was, so the folded place splits where the place does;
    // should a fold ever change a length, the parts are folded apart.
    split_place split_folded(const split_place& parts, const std::wstring& folded) const {
        const std::size_t name_start = folded.size() - parts.name.size();
        if (folded.size() == parts.folder.size() + (parts.folder.empty() ? 0 : 1) + parts.name.size()) {
            return {folded.substr(0, parts.folder.size()), folded.substr(name_start)};
        }
        return {fold_(parts.folder), fold_(parts.name)};
    }

    void note_receiving(const std::wstring& folder, const std::wstring& folded, install_plan& plan) {
        if (receiving_.insert(folded).second) plan.receiving_folders.push_back(folder);
    }

    // A free name for what stands at `place` to wait under.
    std::wstring aside_for(const std::wstring& place, std::wstring_view suffix) {
        std::optional<std::wstring> name = take_aside_name(place, suffix, taken_, fold_);
        if (!name) stop(check_problem_kind::set_aside_names_taken, full(place));
        return std::move(*name);
    }

    void plan_file(const patch_pair& file, const std::wstring& folded_place, install_plan& plan) {
        const split_place parts = split(file.place);
        const split_place folded_parts = split_folded(parts, folded_place);
        const std::optional<std::wstring> folder = existing_folder(parts.folder, folded_parts.folder, plan);
        const surveyed_entry* there = nullptr;
        if (folder) {
            const std::vector<const surveyed_entry*> found = survey_.find(folded_parts.folder, folded_parts.name);
            if (found.size() > 1) {
                stop(check_problem_kind::case_twins, full(paths::child(*folder, found[0]->name)),
                     full(paths::child(*folder, found[1]->name)));
            }
            if (found.size() == 1) there = found.front();
        }
        if (there && there->is_folder) stop(check_problem_kind::folder_where_file_needed, full(file.place));

        planned_file planned;
        planned.source = file.source;
        planned.source_stamp = file.stamp;
        const auto recorded = recorded_.find(folded_place);
        const recorded_file* earlier = recorded == recorded_.end() ? nullptr : recorded->second;
        if (there) {
            // Its own spelling, so that whatever comes back gets its own name.
            planned.place = earlier ? earlier->place : paths::child(*folder, there->name);
            if (!earlier) {
                planned.action = file_action::replace;
                planned.aside = aside_for(planned.place, original_suffix);
            } else if (there->stamp == earlier->written) {
                planned.action = file_action::update;
                planned.aside = aside_for(planned.place, passing_suffix);
            } else {
                // Changed since that install wrote it: the game's own newer file.
                planned.action = file_action::refresh;
                planned.aside = aside_for(planned.place, original_suffix);
                if (earlier->original == original_state::kept) planned.former = earlier->original_place;
            }
        } else {
            planned.place = earlier ? earlier->place : file.place;
            planned.action = earlier ? file_action::update : file_action::add;
            if (folder) note_receiving(*folder, folded_parts.folder, plan);
        }
        plan.read_only.push_back(there && there->read_only);
        plan.run.files.push_back(std::move(planned));
    }

    const install_request& request_;
    const std::vector<std::wstring>& folded_places_;
    const game_survey& survey_;
    const case_fold& fold_;
    std::map<std::wstring, const recorded_file*> recorded_;
    std::set<std::wstring> taken_;  // folded places of every name that exists or is planned
    std::map<std::wstring, std::optional<std::wstring>> judged_;  // folders on the way, by folded place
    std::set<std::wstring> receiving_;
};

void check_names(const install_request& request, const std::vector<std::wstring>& folded_places,
                 const case_fold& fold) {
    check_path(check_problem_kind::game_folder_path, request.game_folder, static_cast<std::size_t>(-1));
    for (const patch_pair& file : request.files) {
        check_path(check_problem_kind::source_path, file.source, max_file_path);
    }
    const std::wstring game = fold(paths::lexically_normal(request.game_folder));
    const std::wstring archives = fold(paths::lexically_normal(request.archives_folder));
    if (game == archives || game.rfind(archives + L"\\", 0) == 0) {
        stop(check_problem_kind::game_folder_in_patch, request.game_folder);
    }
    // A destination can be a source of the patch only when the archives
    // folder lies inside the game folder: only then are they compared.
    const bool archives_inside_game = archives.rfind(game + L"\\", 0) == 0;
    std::set<std::wstring> sources;
    if (archives_inside_game) {
        for (const patch_pair& file : request.files) sources.insert(fold(paths::lexically_normal(file.source)));
    }
    std::set<std::size_t> second_for_its_place;
    const case_fold already_folded = [](std::wstring_view text) { return std::wstring(text); };
    for (const auto& [second, first] : places_taken_twice(folded_places, already_folded)) {
        second_for_its_place.insert(second);
    }
    const std::set<std::wstring> reserved = {fold(journal_file_name), fold(journal_lock_name)};
    for (std::size_t i = 0; i < request.files.size(); ++i) {
        const patch_pair& file = request.files[i];
        const std::wstring destination = paths::child(request.game_folder, file.place);
        check_below_game(check_problem_kind::destination_path, request.game_folder, file.place, max_file_path);
        if (second_for_its_place.count(i)) stop(check_problem_kind::same_place_twice, destination);
        if (reserved.count(folded_places[i])) stop(check_problem_kind::reserved_name, destination);
        if (archives_inside_game && sources.count(fold(paths::lexically_normal(destination)))) {
            stop(check_problem_kind::patch_into_itself, destination);
        }
    }
}

}  // namespace

std::vector<std::wstring> places_to_survey(const install_request& request) {
    std::vector<std::wstring> places;
    places.reserve(request.files.size());
    for (const patch_pair& file : request.files) places.push_back(file.place);
    return places;
}

install_plan plan_install(const install_request& request, const install_record& record, const game_survey& survey,
                          const case_fold& fold) {
    // Each place folded once: folding is a system call on Windows.
    std::vector<std::wstring> folded_places;
    folded_places.reserve(request.files.size());
    for (const patch_pair& file : request.files) folded_places.push_back(fold(file.place));
    check_names(request, folded_places, fold);
    return planner(request, folded_places, record, survey, fold).make();
}
