// The transaction's decisions played through on a game folder in memory: an
// install and a removal planned, interrupted after every single step and put
// back, kept and finished, installed twice and removed once.
#include <gtest/gtest.h>

#include "installer/deploy/check_problem.hpp"
#include "installer/deploy/install_plan.hpp"
#include "installer/deploy/removal_plan.hpp"
#include "tests/installer/deploy/fake_game.hpp"

namespace {

const std::wstring game_folder = L"C:\\Games\\Sample";
const std::wstring archives = L"C:\\Patch\\archives";

// The game before any patch: a file whose name the game spells in other
// capitals than the patch, a folder that stays empty, one with files.
fake_game original_game() {
    fake_game game;
    game.add_file(L"bin\\Game.DLL", {20, 1});
    game.add_file(L"readme.txt", {30, 1});
    game.add_file(L"data\\other.txt", {5, 1});
    game.folders.insert(L"empty");
    return game;
}

patch_pair pair(const std::wstring& place, file_stamp stamp) { return {archives + L"\\" + place, place, stamp}; }

// Replaces two files, adds three: into an existing empty folder, an existing
// folder with files, and two new nested folders.
install_request patch_request(bool keep_originals = true, file_stamp version = {1, 2}) {
    install_request request;
    request.game_folder = game_folder;
    request.archives_folder = archives;
    request.keep_originals = keep_originals;
    auto stamp = [&](std::uint64_t size) { return file_stamp{size + version.size, version.last_write}; };
    request.files = {pair(L"bin\\game.dll", stamp(20)), pair(L"data\\y.txt", stamp(2)),
                     pair(L"empty\\x.txt", stamp(3)), pair(L"new\\deeper\\z.txt", stamp(4)),
                     pair(L"readme.txt", stamp(30))};
    return request;
}

install_plan plan_for(const fake_game& game, const install_request& request, const install_record& record = {}) {
    return plan_install(request, record, game.survey(places_to_survey(request)), game.fold);
}

journal_run kept(const run_plan& plan) {
    journal_run run;
    run.plan = plan;
    run.reached = run_stage::kept;
    return run;
}

// Installs `request` over `game` all the way: played, kept and finished.
void install_completely(fake_game& game, journal_contents& journal, const install_request& request) {
    const run_plan plan = plan_for(game, request, installed_record(journal)).run;
    play_forward(game, plan, static_cast<std::size_t>(-1));
    journal.runs.push_back(kept(plan));
    EXPECT_TRUE(finish_run(journal.runs.back(), game.operations()).empty());
}

TEST(plan_install, decides_each_file_and_names_everything_before_the_first_change) {
    const install_plan plan = plan_for(original_game(), patch_request());
    ASSERT_EQ(plan.run.files.size(), 5u);
    const std::tuple<file_action, std::wstring, std::wstring> expected[] = {
        // The game's own spelling, so that the original gets its name back.
        {file_action::replace, L"bin\\Game.DLL", L"bin\\Game.DLL.before-patch"},
        {file_action::add, L"data\\y.txt", L""},
        {file_action::add, L"empty\\x.txt", L""},
        {file_action::add, L"new\\deeper\\z.txt", L""},
        {file_action::replace, L"readme.txt", L"readme.txt.before-patch"},
    };
    for (std::size_t i = 0; i < plan.run.files.size(); ++i) {
        const auto& [action, place, aside] = expected[i];
        SCOPED_TRACE(place);
        EXPECT_EQ(plan.run.files[i].action, action);
        EXPECT_EQ(plan.run.files[i].place, place);
        EXPECT_EQ(plan.run.files[i].aside, aside);
        EXPECT_EQ(plan.run.files[i].source, archives + L"\\" + patch_request().files[i].place);
    }
    EXPECT_EQ(plan.run.folders, (std::vector<std::wstring>{L"new", L"new\\deeper"}));
    EXPECT_EQ(plan.receiving_folders, (std::vector<std::wstring>{L"data", L"empty", L""}));
}

TEST(plan_install, never_sets_aside_under_a_name_that_is_taken_or_that_the_patch_writes) {
    fake_game game;
    game.add_file(L"a.dll", {1, 1});
    game.add_file(L"b.dll", {1, 1});
    game.add_file(L"b.dll.before-patch", {9, 9});  // left by something else
    install_request request;
    request.game_folder = game_folder;
    request.archives_folder = archives;
    request.files = {pair(L"a.dll", {2, 2}), pair(L"a.dll.before-patch", {3, 3}), pair(L"b.dll", {2, 2})};
    const install_plan plan = plan_for(game, request);
    EXPECT_EQ(plan.run.files[0].aside, L"a.dll.before-patch-2");
    EXPECT_EQ(plan.run.files[1].action, file_action::add);
    EXPECT_EQ(plan.run.files[2].aside, L"b.dll.before-patch-2");
}

TEST(plan_install, stops_before_the_first_change_for_what_names_and_the_folder_tell) {
    using kind = check_problem_kind;
    struct problem_case {
        const char* name;
        std::function<void(fake_game&, install_request&)> arrange;
        kind expected;
        std::wstring file;
        std::wstring other = {};
    };
    const problem_case cases[] = {
        {"two entries that differ only in case (a case-sensitive folder)",
         [](fake_game& g, install_request&) { g.files[L"README.TXT"] = {1, 1}; }, kind::case_twins,
         game_folder + L"\\README.TXT", game_folder + L"\\readme.txt"},
        {"two folders on the way that differ only in case",
         [](fake_game& g, install_request&) { g.folders.insert(L"DATA"); }, kind::case_twins,
         game_folder + L"\\DATA", game_folder + L"\\data"},
        {"a file where the patch needs a folder",
         [](fake_game& g, install_request&) { g.files[L"new"] = {1, 1}; }, kind::file_where_folder_needed,
         game_folder + L"\\new"},
        {"a folder where the patch has a file",
         [](fake_game& g, install_request&) { g.folders.insert(L"data\\y.txt"); }, kind::folder_where_file_needed,
         game_folder + L"\\data\\y.txt"},
        {"every name to set an original aside under is taken",
         [](fake_game& g, install_request&) {
             g.files[L"readme.txt.before-patch"] = {1, 1};
             for (int i = 2; i <= 100; ++i) g.files[L"readme.txt.before-patch-" + std::to_wstring(i)] = {1, 1};
         },
         kind::set_aside_names_taken, game_folder + L"\\readme.txt"},
        {"a file where the journal lives",
         [](fake_game&, install_request& r) { r.files.push_back(pair(L"Patch-Journal.txt", {1, 1})); },
         kind::reserved_name, game_folder + L"\\Patch-Journal.txt"},
        {"two patch files for one place",
         [](fake_game&, install_request& r) { r.files.push_back(pair(L"README.txt", {1, 1})); },
         kind::same_place_twice, game_folder + L"\\README.txt"},
        {"the game folder is the archives folder, reached through \"..\"",
         [](fake_game&, install_request& r) { r.game_folder = archives + L"\\data\\.."; }, kind::game_folder_in_patch,
         archives + L"\\data\\.."},
        {"the game folder lies inside the archives folder",
         [](fake_game&, install_request& r) { r.game_folder = archives + L"/Game"; }, kind::game_folder_in_patch,
         archives + L"/Game"},
        {"a destination too long for the shell",
         [](fake_game&, install_request& r) {
             r.game_folder += L"\\" + std::wstring(20, L'g');
             r.files.push_back(pair(std::wstring(240, L'n'), {1, 1}));
         },
         kind::destination_path, game_folder + L"\\" + std::wstring(20, L'g') + L"\\" + std::wstring(240, L'n')},
    };
    for (const problem_case& c : cases) {
        SCOPED_TRACE(c.name);
        fake_game game = original_game();
        install_request request = patch_request();
        c.arrange(game, request);
        try {
            plan_for(game, request);
            ADD_FAILURE() << "planned";
        } catch (const stopped_before_change& stopped) {
            EXPECT_EQ(stopped.problem().kind, c.expected);
            EXPECT_EQ(stopped.problem().file, c.file);
            EXPECT_EQ(stopped.problem().other_file, c.other);
        }
    }
}

// Interrupted after every single step (a rename, a folder, a file copied),
// then put back from the plan and the stage it reached: the game as before.
TEST(undo_run, puts_an_install_back_from_any_point_it_was_interrupted_at) {
    const fake_game before = original_game();
    const run_plan plan = plan_for(before, patch_request()).run;
    for (std::size_t steps = 0;; ++steps) {
        SCOPED_TRACE(steps);
        fake_game game = before;
        journal_run run;
        run.plan = plan;
        run.reached = play_forward(game, plan, steps);
        if (steps > 0) {
            EXPECT_NE(game, before);
        }
        const leftovers left = undo_run(run, game.operations());
        EXPECT_TRUE(left.empty());
        EXPECT_EQ(game, before);
        // Twice does no harm: a recovery interrupted in turn is recovered again.
        EXPECT_TRUE(undo_run(run, game.operations()).empty());
        EXPECT_EQ(game, before);
        if (run.reached == run_stage::copied) break;
    }
}

TEST(undo_run, names_what_it_could_not_put_back_and_touches_nothing_it_did_not_make) {
    const fake_game before = original_game();
    const run_plan plan = plan_for(before, patch_request()).run;
    fake_game game = before;
    journal_run run{plan, play_forward(game, plan, static_cast<std::size_t>(-1))};
    game.busy = {ascii_fold(L"bin\\Game.DLL"), ascii_fold(L"new\\deeper\\z.txt")};
    const leftovers left = undo_run(run, game.operations());
    EXPECT_EQ(left.not_restored, std::vector<std::wstring>{L"bin\\Game.DLL.before-patch"});
    EXPECT_EQ(left.not_removed,
              (std::vector<std::wstring>{L"bin\\Game.DLL", L"new\\deeper\\z.txt", L"new\\deeper", L"new"}));
    EXPECT_TRUE(game.folder_exists(L"empty"));
    EXPECT_EQ(game.files.at(L"data\\other.txt"), (file_stamp{5, 1}));

    // Before the copy began, a file at a freed place is no file of the run.
    fake_game early = before;
    journal_run interrupted{plan, play_forward(early, plan, 1)};
    ASSERT_EQ(interrupted.reached, run_stage::planned);
    early.files[L"bin\\Game.DLL"] = {77, 7};
    const leftovers early_left = undo_run(interrupted, early.operations());
    EXPECT_EQ(early_left.not_restored, std::vector<std::wstring>{L"bin\\Game.DLL.before-patch"});
    EXPECT_TRUE(early_left.not_removed.empty());
    EXPECT_EQ(early.files.at(L"bin\\Game.DLL"), (file_stamp{77, 7}));
}

TEST(finish_run, keeps_the_originals_or_lets_them_go_as_the_author_chose) {
    for (bool keep : {true, false}) {
        SCOPED_TRACE(keep);
        fake_game game = original_game();
        journal_contents journal;
        install_completely(game, journal, patch_request(keep));
        EXPECT_EQ(game.file_named(L"bin\\Game.DLL.before-patch").has_value(), keep);
        EXPECT_EQ(game.file_named(L"readme.txt.before-patch").has_value(), keep);
        const install_record record = installed_record(journal);
        ASSERT_EQ(record.files.size(), 5u);
        EXPECT_EQ(record.files[0].original, keep ? original_state::kept : original_state::discarded);
        EXPECT_EQ(record.files[1].original, original_state::none);
        EXPECT_EQ(record.folders, (std::vector<std::wstring>{L"new", L"new\\deeper"}));
    }
}

TEST(plan_removal, gives_back_the_game_as_it_was_before_the_first_of_two_installs) {
    const fake_game before = original_game();
    fake_game game = before;
    journal_contents journal;
    install_completely(game, journal, patch_request(true, {1, 2}));
    install_completely(game, journal, patch_request(true, {2, 3}));
    // The second install only updated what the first wrote.
    for (const planned_file& file : journal.runs[1].plan.files) EXPECT_EQ(file.action, file_action::update);
    EXPECT_EQ(game.files.at(L"readme.txt"), (file_stamp{32, 3}));

    const install_record record = installed_record(journal);
    const run_plan removal = plan_removal(game_folder, record, game.survey(places_to_survey(record)), game.fold);
    const fake_game installed = game;
    for (std::size_t steps = 0;; ++steps) {
        SCOPED_TRACE(steps);
        game = installed;
        journal_run run{removal, play_forward(game, removal, steps)};
        if (run.reached == run_stage::copied) {
            run.reached = run_stage::kept;
            EXPECT_TRUE(finish_run(run, game.operations()).empty());
            EXPECT_EQ(game, before);
            break;
        }
        // A removal interrupted part way goes back to the installed game.
        EXPECT_TRUE(undo_run(run, game.operations()).empty());
        EXPECT_EQ(game, installed);
    }
}

TEST(plan_removal, refuses_before_anything_changes_when_it_could_not_give_the_game_back) {
    using kind = check_problem_kind;
    const std::tuple<const char*, std::function<void(fake_game&)>, bool, kind, std::wstring> cases[] = {
        {"a file the install wrote has changed (a game update)",
         [](fake_game& g) { g.files[L"readme.txt"] = {99, 9}; }, true, kind::game_changed,
         game_folder + L"\\readme.txt"},
        {"an original is gone", [](fake_game& g) { g.files.erase(L"bin\\Game.DLL.before-patch"); }, true,
         kind::original_missing, game_folder + L"\\bin\\Game.DLL.before-patch"},
        {"the originals were not kept", [](fake_game&) {}, false, kind::originals_discarded,
         game_folder + L"\\bin\\Game.DLL"},
    };
    for (const auto& [name, change, keep, expected, file] : cases) {
        SCOPED_TRACE(name);
        fake_game game = original_game();
        journal_contents journal;
        install_completely(game, journal, patch_request(keep));
        change(game);
        const install_record record = installed_record(journal);
        try {
            plan_removal(game_folder, record, game.survey(places_to_survey(record)), game.fold);
            ADD_FAILURE() << "planned";
        } catch (const stopped_before_change& stopped) {
            EXPECT_EQ(stopped.problem().kind, expected);
            EXPECT_EQ(stopped.problem().file, file);
        }
    }
}

// A game update overwrote a patched file: installing again makes the
// update's file the original, and removing then gives the updated game.
TEST(plan_install, a_file_changed_since_the_install_becomes_its_original) {
    fake_game game = original_game();
    journal_contents journal;
    install_completely(game, journal, patch_request());
    game.files[L"readme.txt"] = {300, 9};  // the update
    install_completely(game, journal, patch_request(true, {2, 3}));
    const planned_file& readme = journal.runs[1].plan.files[4];
    EXPECT_EQ(readme.action, file_action::refresh);
    EXPECT_EQ(readme.aside, L"readme.txt.before-patch-2");
    EXPECT_EQ(readme.former, L"readme.txt.before-patch");
    EXPECT_FALSE(game.file_named(L"readme.txt.before-patch"));

    const install_record record = installed_record(journal);
    journal.runs.push_back(kept(plan_removal(game_folder, record, game.survey(places_to_survey(record)), game.fold)));
    play_forward(game, journal.runs.back().plan, static_cast<std::size_t>(-1));
    EXPECT_TRUE(finish_run(journal.runs.back(), game.operations()).empty());
    EXPECT_EQ(game.files.at(L"readme.txt"), (file_stamp{300, 9}));
    EXPECT_TRUE(installed_record(journal).empty());
}

TEST(installed_record, counts_only_kept_runs_and_takes_the_times_files_arrived_with) {
    fake_game game = original_game();
    journal_contents journal;
    const run_plan plan = plan_for(game, patch_request()).run;
    journal_run run = kept(plan);
    run.written = {{L"readme.txt", {31, 12345}}};
    journal.runs.push_back(run);
    EXPECT_EQ(installed_record(journal).files[4].written, (file_stamp{31, 12345}));
    EXPECT_EQ(installed_record(journal).files[0].written, plan.files[0].source_stamp);
    journal.runs.push_back(journal_run{plan, run_stage::copied});  // interrupted: not kept
    EXPECT_EQ(installed_record(journal).files.size(), 5u);
    EXPECT_EQ(record_before(journal, 0).files.size(), 0u);
}

}  // namespace
