// The checker tells authors how long a game folder's path may be; the
// installer refuses one unit more. Both come from room_for_game_folder: here
// the number is held to what the installer's own check does.
#include <gtest/gtest.h>

#include "installer/deploy/check_problem.hpp"
#include "installer/deploy/install_plan.hpp"
#include "installer/patch/path_rules.hpp"
#include "tests/installer/deploy/fake_game.hpp"

namespace {

std::optional<check_problem_kind> problem_for(const std::wstring& place, std::size_t game_folder_length) {
    install_request request;
    request.game_folder = L"C:\\" + std::wstring(game_folder_length - 3, L'g');
    request.archives_folder = L"C:\\a";
    request.files = {{L"C:\\a\\" + place, place, {1, 1}}};
    const fake_game game;  // nothing there yet: every folder on the way is created
    try {
        plan_install(request, {}, game.survey(places_to_survey(request)), game.fold);
        return std::nullopt;
    } catch (const stopped_before_change& stopped) {
        EXPECT_EQ(stopped.problem().fault, path_fault::too_long);
        return stopped.problem().kind;
    }
}

TEST(longest_game_folder, is_the_longest_the_installer_takes) {
    struct limit_case {
        std::wstring place;
        std::size_t longest;
        check_problem_kind refused_by;
    };
    const limit_case cases[] = {
        {L"a.pak", 253, check_problem_kind::destination_path},
        {L"data\\a.pak", 242, check_problem_kind::created_folder_path},
        {L"x\\" + std::wstring(240, L'y'), 16, check_problem_kind::destination_path},
        {L"levels\\deep\\deeper\\one.pak", 228, check_problem_kind::created_folder_path},
    };
    for (const limit_case& c : cases) {
        SCOPED_TRACE(c.place);
        EXPECT_EQ(longest_game_folder(c.place), c.longest);
        EXPECT_EQ(problem_for(c.place, c.longest), std::nullopt);
        EXPECT_EQ(problem_for(c.place, c.longest + 1), c.refused_by);
    }
}

}  // namespace
