#include "installer/deploy/removal_plan.hpp"

#include <set>

#include "common/paths.hpp"
#include "installer/deploy/check_problem.hpp"
#include "installer/deploy/journal_format.hpp"
#include "installer/deploy/set_aside_name.hpp"

namespace {

const surveyed_entry* file_at(const game_survey& survey, const std::wstring& place, const case_fold& fold) {
    const std::wstring name(paths::file_name(place));
    const std::wstring folder = place.size() > name.size() ? place.substr(0, place.size() - name.size() - 1) : L"";
    const std::vector<const surveyed_entry*> found = survey.find(fold(folder), fold(name));
    return found.size() == 1 && !found.front()->is_folder ? found.front() : nullptr;
}

}  // namespace

std::vector<std::wstring> places_to_survey(const install_record& record) {
    std::vector<std::wstring> places;
    for (const recorded_file& file : record.files) {
        places.push_back(file.place);
        if (file.original == original_state::kept) places.push_back(file.original_place);
    }
    return places;
}

run_plan plan_removal(const std::wstring& game_folder, const install_record& record, const game_survey& survey,
                      const case_fold& fold) {
    const auto stop = [&](check_problem_kind kind, const std::wstring& place) {
        throw stopped_before_change({kind, paths::child(game_folder, place)});
    };
    for (const recorded_file& file : record.files) {
        if (file.original == original_state::discarded) stop(check_problem_kind::originals_discarded, file.place);
    }
    std::set<std::wstring> taken{fold(journal_file_name), fold(journal_lock_name)};
    for (const auto& [folded_folder, folder] : survey.folders) {
        for (const auto& [folded_name, index] : folder.by_folded_name) {
            taken.insert(folded_folder.empty() ? folded_name : folded_folder + L"\\" + folded_name);
        }
    }
    run_plan plan;
    plan.kind = run_kind::remove;
    for (const recorded_file& file : record.files) {
        const surveyed_entry* there = file_at(survey, file.place, fold);
        if (!there || there->stamp != file.written) stop(check_problem_kind::game_changed, file.place);
        if (file.original == original_state::kept && !file_at(survey, file.original_place, fold)) {
            stop(check_problem_kind::original_missing, file.original_place);
        }
        planned_file planned;
        planned.place = file.place;
        planned.action = file.original == original_state::kept ? file_action::restore : file_action::take_away;
        planned.former = file.original_place;
        for (unsigned attempt = 1; planned.aside.empty(); ++attempt) {
            if (attempt > max_set_aside_attempts) stop(check_problem_kind::set_aside_names_taken, file.place);
            std::wstring name = set_aside_name(file.place, passing_suffix, attempt);
            if (taken.insert(fold(name)).second) planned.aside = std::move(name);
        }
        plan.files.push_back(std::move(planned));
    }
    plan.folders = record.folders;
    return plan;
}
