#include "installer/deploy/removal_plan.hpp"

#include <set>

#include "common/paths.hpp"
#include "installer/deploy/aside_names.hpp"
#include "installer/deploy/check_problem.hpp"
#include "installer/deploy/set_aside_name.hpp"

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
    std::set<std::wstring> taken = names_taken(survey, fold);
    run_plan plan;
    plan.kind = run_kind::remove;
    for (const recorded_file& file : record.files) {
        const surveyed_entry* there = survey.file_at(file.place, fold);
        if (!there || there->stamp != file.written) stop(check_problem_kind::game_changed, file.place);
        if (file.original == original_state::kept && !survey.file_at(file.original_place, fold)) {
            stop(check_problem_kind::original_missing, file.original_place);
        }
        planned_file planned;
        planned.place = file.place;
        planned.action = file.original == original_state::kept ? file_action::restore : file_action::take_away;
        planned.former = file.original_place;
        std::optional<std::wstring> aside = take_aside_name(file.place, passing_suffix, taken, fold);
        if (!aside) stop(check_problem_kind::set_aside_names_taken, file.place);
        planned.aside = std::move(*aside);
        plan.files.push_back(std::move(planned));
    }
    plan.folders = record.folders;
    return plan;
}
