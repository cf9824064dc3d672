#include "installer/deploy/version_check.hpp"

#include "common/paths.hpp"
#include "common/wtf8.hpp"
#include "installer/deploy/check_problem.hpp"

namespace {

const recorded_file* recorded(const std::wstring& place, const install_record& record, const case_fold& fold) {
    for (const recorded_file& file : record.files) {
        if (fold(file.place) == fold(place)) return &file;
    }
    return nullptr;
}

std::wstring wide(const std::string& utf8) { return from_wtf8(utf8).value_or(std::wstring()); }

}  // namespace

game_version game_version_of(const std::wstring& place, const install_record& record, const game_survey& survey,
                             const case_fold& fold) {
    using state = game_version::state;
    const recorded_file* earlier = recorded(place, record, fold);
    const surveyed_entry* there = survey.file_at(place, fold);
    if (!earlier || (there && there->stamp != earlier->written)) {
        return there ? game_version{state::file, place} : game_version{state::none, {}};
    }
    // What is there is the earlier patch's own file: the game's version is
    // what that install found.
    switch (earlier->original) {
    case original_state::kept:
        return survey.file_at(earlier->original_place, fold) ? game_version{state::file, earlier->original_place}
                                                             : game_version{state::none, {}};
    case original_state::none:
        return {state::none, {}};
    case original_state::discarded:
        break;
    }
    return {state::unknown, {}};
}

std::vector<std::wstring> places_to_survey(const std::vector<expected_file>& expects, const install_record& record) {
    std::vector<std::wstring> places;
    for (const expected_file& expected : expects) places.push_back(wide(expected.place));
    for (const recorded_file& file : record.files) {
        if (file.original == original_state::kept) places.push_back(file.original_place);
    }
    return places;
}

void check_expectations(const std::wstring& game_folder, const std::vector<expected_file>& expects,
                        const install_record& record, const game_survey& survey, const case_fold& fold,
                        const std::function<std::optional<std::string>(const std::wstring& place)>& sha256_of) {
    check_problem verdict{check_problem_kind::other_version};
    for (const expected_file& expected : expects) {
        const std::wstring place = wide(expected.place);
        const game_version version = game_version_of(place, record, survey, fold);
        if (version.is == game_version::state::unknown) continue;
        const bool missing = version.is == game_version::state::none;
        if (!missing && sha256_of(version.place) == expected.sha256) continue;
        if (verdict.count++ == 0) {
            verdict.file = paths::child(game_folder, place);
            verdict.missing = missing;
        }
    }
    if (verdict.count > 0) throw stopped_before_change(verdict);
}
