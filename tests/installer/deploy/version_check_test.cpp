#include "installer/deploy/version_check.hpp"

#include <gtest/gtest.h>

#include "installer/deploy/check_problem.hpp"
#include "tests/installer/deploy/fake_game.hpp"

namespace {

// A file's stand-in hash: its size in the last hex digit.
std::string hash_for(std::uint64_t size) { return std::string(63, '0') + "0123456789abcdef"[size % 16]; }

struct version_case {
    const char* name;
    std::vector<expected_file> expects;
    std::size_t differing;  // 0: the patch fits
    std::wstring first = {};
    bool missing = false;
};

TEST(check_expectations, names_the_first_file_that_differs_and_counts_them_all) {
    fake_game game;
    game.add_file(L"data\\a.pak", {1, 1});
    game.add_file(L"data\\b.pak", {2, 1});
    game.add_file(L"readme.txt", {3, 1});
    const version_case cases[] = {
        {"every file as expected", {{"data\\a.pak", hash_for(1)}, {"readme.txt", hash_for(3)}}, 0},
        {"spelled in other capitals, as Windows ignores them", {{"DATA\\A.PAK", hash_for(1)}}, 0},
        {"one differs", {{"data\\a.pak", hash_for(1)}, {"data\\b.pak", hash_for(9)}}, 1, L"C:\\G\\data\\b.pak"},
        {"several differ: the first in the order listed is named",
         {{"readme.txt", hash_for(1)}, {"data\\a.pak", hash_for(2)}, {"data\\b.pak", hash_for(2)}},
         2,
         L"C:\\G\\readme.txt"},
        {"an expected file is missing", {{"data\\gone.pak", hash_for(1)}, {"data\\a.pak", hash_for(5)}}, 2,
         L"C:\\G\\data\\gone.pak", true},
    };
    for (const version_case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::wstring> hashed;
        const auto sha256_of = [&](const std::wstring& place) -> std::optional<std::string> {
            hashed.push_back(place);
            const std::optional<std::wstring> name = game.file_named(place);
            if (!name) return std::nullopt;
            return hash_for(game.files.at(*name).size);
        };
        const game_survey survey = game.survey(places_to_survey(c.expects, {}));
        try {
            check_expectations(L"C:\\G", c.expects, {}, survey, game.fold, sha256_of);
            EXPECT_EQ(c.differing, 0u);
        } catch (const stopped_before_change& stopped) {
            EXPECT_EQ(stopped.problem().kind, check_problem_kind::other_version);
            EXPECT_EQ(stopped.problem().count, c.differing);
            EXPECT_EQ(stopped.problem().file, c.first);
            EXPECT_EQ(stopped.problem().missing, c.missing);
        }
        for (const std::wstring& place : hashed) EXPECT_TRUE(game.file_named(place)) << "hashed what is not there";
    }
}

// After an earlier install, what the game was is what that install found:
// the original it kept, or nothing where it added the file.
TEST(game_version_of, looks_past_an_earlier_install_at_what_it_found) {
    fake_game game;
    game.add_file(L"a.pak", {20, 2});                // the earlier patch's, as it left it
    game.add_file(L"a.pak.before-patch", {10, 1});   // the game's original
    game.add_file(L"b.pak", {21, 2});                // the earlier patch's; it had no original
    game.add_file(L"c.pak", {99, 9});                // changed since that install: a game update
    game.add_file(L"d.pak", {23, 2});                // its original was not kept
    install_record record;
    record.files = {{L"a.pak", original_state::kept, L"a.pak.before-patch", {20, 2}},
                    {L"b.pak", original_state::none, {}, {21, 2}},
                    {L"c.pak", original_state::kept, L"c.pak.before-patch", {22, 2}},
                    {L"d.pak", original_state::discarded, {}, {23, 2}}};
    const std::vector<expected_file> expects = {{"a.pak", ""}, {"b.pak", ""}, {"c.pak", ""}, {"d.pak", ""}, {"e.pak", ""}};
    const game_survey survey = game.survey(places_to_survey(expects, record));
    using state = game_version::state;
    const std::tuple<const wchar_t*, state, std::wstring> cases[] = {
        {L"a.pak", state::file, L"a.pak.before-patch"},
        {L"b.pak", state::none, L""},
        {L"c.pak", state::file, L"c.pak"},
        {L"d.pak", state::unknown, L""},
        {L"e.pak", state::none, L""},
    };
    for (const auto& [place, is, judged] : cases) {
        SCOPED_TRACE(place);
        const game_version version = game_version_of(place, record, survey, game.fold);
        EXPECT_EQ(version.is, is);
        EXPECT_EQ(version.place, judged);
    }
}

TEST(expectations, places_and_hashes_as_the_checker_writes_them) {
    EXPECT_TRUE(is_plain_place(L"data\\level.pak"));
    EXPECT_TRUE(is_plain_place(L"readme.txt"));
    for (const wchar_t* place : {L"", L"\\a", L"a\\", L"a\\\\b", L"a/b", L"C:\\a", L"..\\a", L"a\\.\\b", L"CON", L"a?"}) {
        SCOPED_TRACE(place);
        EXPECT_FALSE(is_plain_place(place));
    }
    EXPECT_TRUE(is_sha256_hex(std::string(64, 'f')));
    EXPECT_FALSE(is_sha256_hex(std::string(64, 'F')));
    EXPECT_FALSE(is_sha256_hex(std::string(63, '0')));
}

}  // namespace
