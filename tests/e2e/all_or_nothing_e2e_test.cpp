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

// On T:, a tmpfs of 16 MiB and 256 entries mapped by the prefix set-up.
class full_disk : public all_or_nothing {
protected:
    const fs::path drive = L"T:\\";
    const fs::path base = L"T:\\e2e";

    void SetUp() override {
        all_or_nothing::SetUp();
        ULARGE_INTEGER total{};
        if (!fs::exists(drive) || !::GetDiskFreeSpaceExW(drive.c_str(), nullptr, &total, nullptr) ||
            total.QuadPart > (64ull << 20)) {
            GTEST_SKIP() << "T: is not mapped to a small tmpfs (mounting one needs root): this full-disk case was not "
                            "tried";
        }
        remove_tree(base);
        fs::create_directories(base);
    }
    void TearDown() override {
        if (fs::exists(drive)) remove_tree(base);
    }

    // Takes every free entry of the drive but `left`.
    void leave_free_entries(int left) {
        fs::create_directories(base / L"filler");
        int made = 0;
        for (;; ++made) {
            HANDLE file = ::CreateFileW((base / L"filler" / std::to_wstring(made)).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_NEW, 0, nullptr);
            if (file == INVALID_HANDLE_VALUE) break;
            ::CloseHandle(file);
        }
        ASSERT_GT(made, left);
        for (int i = 0; i < left; ++i) fs::remove(base / L"filler" / std::to_wstring(i));
    }

    // Takes every free byte of the drive but about `left`.
    void leave_free_bytes(std::uint64_t left) {
        ULARGE_INTEGER available{};
        ASSERT_TRUE(::GetDiskFreeSpaceExW(drive.c_str(), &available, nullptr, nullptr));
        ASSERT_GT(available.QuadPart, left);
        write_file(base / L"filler.bin", std::string(available.QuadPart - left, '\0'));
    }

    // The game on T:, registered; the installer where the other cases have it.
    scenario& make_on_drive(const std::wstring& name) {
        scenario& s = make(name, (base / L"Game").wstring());
        game = base / L"Game";
        fs::create_directories(game);
        return s;
    }
};

TEST_F(full_disk, a_drive_too_full_for_the_patch_stops_the_run_before_anything_is_written) {
    scenario& s = make_on_drive(L"full_bytes");
    write_file(s.archives() / L"big.pak", std::string(256 << 10, 'p'));
    write_file(game / L"big.pak", "old");
    leave_free_bytes(64 << 10);
    const tree_snapshot before = snapshot(game);
    watched_run run = s.run();
    expect_box(
        run, 3,
        {L"File: T:\\e2e\\Game\n", L"there is not enough free space on the game's drive: the patch needs 256.0 KB, and",
         L"Free up space on that drive"});
    EXPECT_EQ(snapshot(game), before);
}

// Each small file fills a whole cluster (a page on the tmpfs): 60 files of
// one byte need 240 KB, not 60 bytes.
TEST_F(full_disk, many_small_files_are_counted_in_whole_clusters) {
    scenario& s = make_on_drive(L"full_clusters");
    for (int i = 0; i < 60; ++i) write_file(s.archives() / (L"small" + std::to_wstring(i) + L".txt"), "x");
    leave_free_bytes(120 << 10);
    const tree_snapshot before = snapshot(game);
    watched_run run = s.run();
    expect_box(run, 3,
               {L"there is not enough free space on the game's drive: the patch needs 240.0 KB", L"Nothing was copied"});
    EXPECT_EQ(snapshot(game), before);
}

TEST_F(full_disk, a_drive_that_runs_out_of_entries_part_way_is_put_back) {
    scenario& s = make_on_drive(L"full_entries");
    write_file(s.archives() / L"a.txt", "patched a");
    write_file(s.archives() / L"b" / L"new.txt", "patched b");
    write_file(s.archives() / L"c.txt", "patched c");
    write_file(s.archives() / L"z.txt", "patched z");
    write_file(game / L"a.txt", "original a");
    write_file(game / L"c.txt", "original c");
    write_file(game / L"z.txt", "original z");
    // Room for a.txt and the folder b: the copy fails at b\new.txt, after one
    // replacement and before two others.
    leave_free_entries(2);
    const tree_snapshot before = snapshot(game);
    watched_run run = s.run();
    expect_box(run, 4, {L"because the copy failed", L"The game folder is as it was before"});
    EXPECT_EQ(snapshot(game), before);
}

}  // namespace
