// The real installer under Wine: a patch lands completely or not at all.
// What can be seen in advance stops the run before anything is written
// (status 3); a copy that fails part way is put back (status 4); what cannot
// be put back is named (status 5). In every failure the game folder, and
// everything else the scenario holds, is byte for byte as it was.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "tests/e2e/game_case.hpp"

namespace {

using all_or_nothing = game_case;

constexpr wchar_t installed_text[] = L"Patch installed. Have fun ;)";

// A layout, and perhaps a program holding something, for one check case.
using arrange = std::function<std::unique_ptr<background_program>(scenario&, const fs::path& game)>;

struct check_case {
    const wchar_t* name;
    arrange setup;
    std::optional<std::wstring> install_path;  // when the registry names the game another way
    std::vector<std::wstring> expected;        // parts of the box's text
    const wchar_t* prepared = nullptr;         // an installer folder made by the prefix set-up
};

std::unique_ptr<background_program> none(scenario&, const fs::path&) { return nullptr; }

TEST_F(all_or_nothing, what_can_be_seen_in_advance_stops_the_run_before_anything_is_written) {
    // Folders so deep that the patch's files (or a folder they need) pass the
    // shell's path limits: 259 units for a file, 247 for a folder it creates.
    const std::wstring deep_root = L"C:\\e2e\\checks\\";
    const std::wstring deep_game = deep_root + std::wstring(250 - deep_root.size(), L'g');
    const std::wstring less_deep_game = deep_root + std::wstring(240 - deep_root.size(), L'g');
    const check_case cases[] = {
        {L"a file passes the path limit",
         [](scenario& s, const fs::path&) {
             write_file(s.archives() / L"data" / L"level.pak", "patched");
             return nullptr;
         },
         deep_game,
         {L"File: " + deep_game + L"\\data\\level.pak", L"too long for the Windows copy: 265 characters, where 259",
          L"install the game in a shorter folder"}},
        {L"a folder to create passes its limit",
         [](scenario& s, const fs::path&) {
             write_file(s.archives() / L"levels" / L"a", "patched");
             return nullptr;
         },
         less_deep_game + L"gggggg",
         {L"File: " + less_deep_game + L"gggggg\\levels", L"253 characters, where 247"}},
        {L"the game folder in the device form",
         none,
         std::wstring(L"\\\\?\\C:\\e2e\\checks\\Game"),
         {L"File: \\\\?\\C:\\e2e\\checks\\Game", L"device form", L"repair or reinstall the game"}},
        {L"a wildcard in a patch file's name",
         none,
         std::nullopt,
         {L"\\archives\\what?.txt\n", L"one of the characters * ? < > \" |", L"contact the patch's author"},
         L"odd_what__txt"},
        {L"a colon in a patch file's name", none, std::nullopt, {L"\\archives\\a:b.txt\n", L"colon"}, L"odd_a_b_txt"},
        {L"a device name", none, std::nullopt, {L"\\archives\\CON.txt\n", L"keeps for a device"}, L"odd_CON_txt"},
        {L"a control character",
         none,
         std::nullopt,
         {L"\\archives\\tab\there.txt\n", L"control character"},
         L"odd_tab_here_txt"},
        {L"a name ending in a dot", none, std::nullopt, {L"\\archives\\end.\n", L"ends in a dot"}, L"odd_end_"},
        {L"a folder where the patch has a file",
         [](scenario& s, const fs::path& game) {
             write_file(s.archives() / L"data" / L"level.pak", "patched");
             fs::create_directories(game / L"data" / L"level.pak");
             return nullptr;
         },
         std::nullopt,
         {L"level.pak", L"is a folder in the game, where the patch has a file", L"contact the patch's author"}},
        {L"a file where the patch needs a folder",
         [](scenario& s, const fs::path& game) {
             write_file(s.archives() / L"data" / L"level.pak", "patched");
             write_file(game / L"data", "a file named data");
             return nullptr;
         },
         std::nullopt,
         {L"\\Game\\data\n", L"is a file in the game, where the patch needs a folder"}},
        {L"a file another program holds",
         [](scenario& s, const fs::path& game) {
             write_file(s.archives() / L"a.txt", "patched");
             write_file(s.archives() / L"level.pak", "patched");
             write_file(game / L"level.pak", "old");
             auto holder = std::make_unique<background_program>(built_stand_in_game(),
                                                                L"--hold \"" + (game / L"level.pak").wstring() + L"\"");
             wait_until_held(game / L"level.pak");
             return holder;
         },
         std::nullopt,
         {L"\\Game\\level.pak\n", L"this file is in use by another program, so it cannot be replaced",
          L"Close the program that uses this file"}},
        {L"the game folder reached through \"..\" is the patch's own folder",
         [](scenario& s, const fs::path&) {
             write_file(s.archives() / L"data" / L"level.pak", "patched");
             return nullptr;
         },
         std::wstring(L"C:\\e2e\\checks\\installer\\archives\\data\\.."),
         {L"File: C:\\e2e\\checks\\installer\\archives\\data\\..\n", L"is the patch's own folder \"archives\"",
          L"repair or reinstall the game"}},
        {L"every name to set an original aside under is taken by earlier leftovers",
         [](scenario& s, const fs::path& game) {
             write_file(s.archives() / L"a.txt", "patched");
             write_file(game / L"a.txt", "original");
             write_file(game / L"a.txt.before-patch", "left by an earlier run");
             for (int i = 2; i <= 100; ++i) {
                 write_file(game / (L"a.txt.before-patch-" + std::to_wstring(i)), "left by an earlier run");
             }
             return nullptr;
         },
         std::nullopt,
         {L"File: C:\\e2e\\checks\\Game\\a.txt\n", L"all 100 names for it, from \".before-patch\" on, are taken",
          L"Move the files whose names end in \".before-patch\""}},
        {L"a patch file that another program holds",
         [](scenario& s, const fs::path&) {
             write_file(s.archives() / L"a.txt", "patched a");
             write_file(s.archives() / L"b.txt", "patched b");
             auto holder = std::make_unique<background_program>(built_stand_in_game(),
                                                                L"--hold \"" + (s.archives() / L"b.txt").wstring() + L"\"");
             wait_until_held(s.archives() / L"b.txt");
             return holder;
         },
         std::nullopt,
         {L"File: C:\\e2e\\checks\\installer\\archives\\b.txt\n",
          L"this patch file is in use by another program, so it cannot be copied", L"a virus scan of the download"}},
        {L"a pipe among the patch files", none, std::nullopt, {L"\\archives\\stream.bin\n", L"no ordinary file"},
         L"pipe"},
        {L"a socket among the patch files", none, std::nullopt, {L"\\archives\\talk.bin\n", L"no ordinary file"},
         L"socket"},
        {L"the game running from a path in other capitals",
         [](scenario& s, const fs::path& game) {
             // The running-game check compares names exactly, so it misses
             // this one; the game's executable cannot be written all the same.
             fs::copy_file(built_stand_in_game(), game / L"SampleGame.exe");
             write_file(s.archives() / L"SampleGame.exe", "patched executable");
             return std::make_unique<background_program>(game / L"samplegame.exe");
         },
         std::nullopt,
         {L"SampleGame.exe", L"in use by another program"}},
    };
    for (const check_case& c : cases) {
        SCOPED_TRACE(c.name);
        scenario& s = make(L"checks", c.install_path, c.prepared);
        if (c.install_path) fs::create_directories(fs::path(c.install_path->substr(c.install_path->rfind(L"C:\\"))));
        std::unique_ptr<background_program> program = c.setup(s, game);
        const tree_snapshot before = snapshot(s.root);
        const tree_snapshot installer_before = snapshot(s.installer_folder);
        watched_run run = s.run();
        std::vector<std::wstring> expected = c.expected;
        expected.push_back(L"checking the patch against the game folder failed");
        expected.push_back(L"Nothing was copied; the game is unchanged.");
        expect_box(run, 3, expected);
        EXPECT_EQ(snapshot(s.root), before);
        EXPECT_EQ(snapshot(s.installer_folder), installer_before);
    }
}

// A case-sensitive game folder (a Linux drive, or case sensitivity turned on)
// holds a.txt and A.txt; the copy would take either.
TEST_F(all_or_nothing, a_destination_that_two_game_files_match_stops_the_run) {
    const fs::path case_game = L"C:\\e2e_links\\case_game\\Game";  // made by the prefix set-up
    ASSERT_TRUE(fs::exists(case_game / L"A.txt"));
    scenario& s = make(L"case_game", case_game.wstring());
    write_file(s.archives() / L"a.txt", "patched");
    const tree_snapshot before = snapshot(case_game);
    watched_run run = s.run();
    expect_box(run, 3,
               {L"File: " + (case_game / L"A.txt").wstring() + L"\n", L"holds both this and " + (case_game / L"a.txt").wstring(),
                L"whose names differ only in case"});
    EXPECT_EQ(snapshot(case_game), before);
}

// 243 characters and ".before-patch" pass the 255 one name may have: the
// original waits under a name cut to fit, and comes back whole.
TEST_F(all_or_nothing, an_original_with_a_name_too_long_for_its_suffix_is_still_set_aside) {
    scenario& s = make(L"l");
    s.installer_folder = L"C:\\p";  // the source's path must fit too
    remove_tree(s.installer_folder);
    s.install_executable();
    s.write_config(fields);
    const std::wstring name(243, L'n');
    write_file(s.archives() / name, "patched");
    write_file(game / name, "original");
    const tree_snapshot original = snapshot(game);
    expect_installed(s.run());
    EXPECT_EQ(read_file(game / name), "patched");
    EXPECT_EQ(read_file(game / (std::wstring(242, L'n') + L".before-patch")), "original");
    watched_run removal = s.run_remover();
    EXPECT_EQ(removal.exit_code, 0u);
    EXPECT_EQ(snapshot(game), original);
}

TEST_F(all_or_nothing, two_patch_files_for_one_place_stop_the_run) {
    scenario& s = make(L"twins", std::nullopt, L"twins");
    const tree_snapshot before = snapshot(s.root);
    const tree_snapshot installer_before = snapshot(s.installer_folder);
    watched_run run = s.run();
    expect_box(run, 3, {L"two files of the patch would be copied to this same place"});
    EXPECT_EQ(snapshot(s.root), before);
    EXPECT_EQ(snapshot(s.installer_folder), installer_before);
}

TEST_F(all_or_nothing, a_patch_replaces_and_adds_and_keeps_the_originals_beside_them) {
    scenario& s = make(L"complete");
    write_file(s.archives() / L"readme.txt", "new readme");
    write_file(s.archives() / L"bin" / L"game.dll", "new dll");
    write_file(s.archives() / L"levels" / L"deep" / L"one.pak", "new level");
    write_file(game / L"readme.txt", "old readme");
    write_file(game / L"bin" / L"game.dll", "old dll");
    write_file(game / L"bin" / L"other.dll", "untouched");
    ::SetFileAttributesW((game / L"bin" / L"game.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    // An original left by an interrupted earlier run is kept as it is.
    write_file(game / L"readme.txt.before-patch", "readme before an earlier, interrupted patch");

    tree_snapshot expected = snapshot(game);
    expected[L"readme.txt"] = "new readme";
    expected[L"bin\\game.dll"] = "new dll";
    expected[L"levels"] = "<folder>";
    expected[L"levels\\deep"] = "<folder>";
    expected[L"levels\\deep\\one.pak"] = "new level";
    // The originals, for the remover; the earlier leftover keeps its name.
    expected[L"readme.txt.before-patch-2"] = "old readme";
    expected[L"bin\\game.dll.before-patch"] = "old dll";

    watched_run run = s.run();
    expect_box(run, 0, {});
    EXPECT_EQ(run.boxes.at(0).text, installed_text);
    EXPECT_EQ(without_journal(snapshot(game)), expected);
    EXPECT_TRUE(has_journal(game));
}

}  // namespace
