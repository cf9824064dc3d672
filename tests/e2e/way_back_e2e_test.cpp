// The real installer and remover under Wine, across runs: a run killed at
// any stage is undone by the next run of either program, one run works on a
// game at a time, and the remover gives back the game exactly as it was.
#include <future>

#include "tests/e2e/game_case.hpp"

namespace {

using way_back = game_case;

constexpr std::size_t patch_file_size = 64;
constexpr int replaced_count = 100;
constexpr wchar_t undone_note[] =
    L"\n\nAn earlier run of a patch on this game had been interrupted; what it had changed was undone first.";
constexpr wchar_t removed_text[] = L"Patch removed: the game's files are as they were before the patch was installed.";

std::string sized(const std::string& text, std::size_t size) {
    std::string bytes = text + " ";
    bytes.resize(size, '.');
    return bytes;
}

// A patch that replaces files (data\, its originals of another size), adds
// files into an existing folder (levels\), into a new folder within it, and
// into new nested folders, with one read-only original.
void lay_out_patch(scenario& s, const fs::path& game, int version = 1) {
    const std::string patched = "patched v" + std::to_string(version);
    for (int i = 0; i < replaced_count; ++i) {
        wchar_t name[16];
        swprintf(name, 16, L"f%03d.bin", i);
        write_file(s.archives() / L"data" / name, sized(patched + " " + to_utf8(name), patch_file_size));
        write_file(game / L"data" / name, "original " + to_utf8(name));
    }
    write_file(s.archives() / L"levels" / L"bonus.pak", patched + " bonus");
    write_file(s.archives() / L"levels" / L"extra" / L"one.pak", patched + " one");
    write_file(game / L"levels" / L"main.pak", "the game's own level");
    write_file(s.archives() / L"new" / L"deeper" / L"deepest.txt", patched + " deepest");
    write_file(s.archives() / L"readme.txt", patched + " readme");
    write_file(game / L"readme.txt", "original readme");
    ::SetFileAttributesW((game / L"readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);
}

// The game as the patch of `version` leaves it, but for the originals kept
// beside their files and the journal.
void expect_patched(const fs::path& game, int version = 1) {
    const std::string patched = "patched v" + std::to_string(version);
    for (int i = 0; i < replaced_count; i += 33) {
        wchar_t name[16];
        swprintf(name, 16, L"f%03d.bin", i);
        EXPECT_EQ(read_file(game / L"data" / name), sized(patched + " " + to_utf8(name), patch_file_size));
    }
    EXPECT_EQ(read_file(game / L"levels" / L"extra" / L"one.pak"), patched + " one");
    EXPECT_EQ(read_file(game / L"new" / L"deeper" / L"deepest.txt"), patched + " deepest");
    EXPECT_EQ(read_file(game / L"readme.txt"), patched + " readme");
    EXPECT_TRUE(has_journal(game));
}

void expect_removed(const watched_run& run, const fs::path& game, const tree_snapshot& original,
                    const std::wstring& note = L"") {
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 0u);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].caption, L"Sample Game patch remover");
    EXPECT_EQ(run.boxes[0].text, removed_text + note);
    EXPECT_EQ(snapshot(game), original);
    EXPECT_EQ(::GetFileAttributesW((game / L"readme.txt").c_str()) & FILE_ATTRIBUTE_READONLY,
              DWORD{FILE_ATTRIBUTE_READONLY});
}

void expect_installed_after_recovery(const watched_run& run) {
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 0u);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, std::wstring(L"Patch installed. Have fun ;)") + undone_note);
}

TEST_F(way_back, install_then_remove_gives_back_the_game_exactly) {
    scenario& s = make(L"install_remove");
    lay_out_patch(s, game);
    fs::create_directories(game / L"empty");
    const tree_snapshot original = snapshot(game);
    expect_installed(s.run());
    expect_patched(game);
    // Installing twice builds on the first install: the originals stay those
    // of the game before it.
    expect_installed(s.run());
    expect_patched(game);
    expect_removed(s.run_remover(), game, original);

    // Removing again: nothing is installed, and nothing changes.
    watched_run again = s.run_remover();
    EXPECT_EQ(again.exit_code, 6u);
    ASSERT_EQ(again.boxes.size(), 1u);
    EXPECT_EQ(again.boxes.at(0).caption, L"Sample Game patch remover");
    EXPECT_EQ(again.boxes.at(0).text,
              L"This patch is not installed in the game's folder, so there is nothing to remove.\n\nNothing was changed.");
    EXPECT_EQ(snapshot(game), original);
}

TEST_F(way_back, a_new_version_of_the_patch_over_the_old_is_removed_to_the_original) {
    scenario& s = make(L"two_versions");
    lay_out_patch(s, game, 1);
    const tree_snapshot original = snapshot(game);
    expect_installed(s.run());
    lay_out_patch(s, s.root / L"scratch", 2);  // version 2, with its originals elsewhere
    expect_installed(s.run());
    expect_patched(game, 2);
    expect_removed(s.run_remover(), game, original);
}

TEST_F(way_back, the_remover_refuses_when_the_game_changed_since_the_install) {
    scenario& s = make(L"changed");
    lay_out_patch(s, game);
    expect_installed(s.run());
    write_file(game / L"data" / L"f042.bin", sized("a game update", patch_file_size));
    const tree_snapshot before = snapshot(game);
    watched_run run = s.run_remover();
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.exit_code, 3u);
    EXPECT_EQ(run.boxes[0].caption, L"Sample Game patch remover");
    const std::wstring& text = run.boxes[0].text;
    for (const std::wstring& part :
         {std::wstring(L"The patch could not be removed: checking the game folder failed."),
          L"File: " + (game / L"data" / L"f042.bin").wstring() + L"\n",
          std::wstring(L"the game has changed since the patch was installed"),
          std::wstring(L"Nothing was changed; the game is as it was."), std::wstring(L"Verify the game's files in Steam")}) {
        EXPECT_NE(text.find(part), std::wstring::npos) << part << "\nin:\n" << text;
    }
    EXPECT_EQ(snapshot(game), before);
}

TEST_F(way_back, originals_not_kept_cannot_be_removed) {
    scenario& s = make(L"not_kept");
    lay_out_patch(s, game);
    write_file(s.archives() / L"config.json",
               R"({"game_name":"Sample Game","process_name":"SampleGame.exe","data_directory":"d",)"
               R"("registry_key":"e2e not_kept","steam_id":"4000","keep_originals":false})");
    expect_installed(s.run());
    EXPECT_TRUE(set_aside_files(game).empty());
    const tree_snapshot installed = snapshot(game);
    watched_run run = s.run_remover();
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.exit_code, 3u);
    EXPECT_NE(run.boxes[0].text.find(L"installed without keeping the game's original files"), std::wstring::npos)
        << run.boxes[0].text;
    EXPECT_EQ(snapshot(game), installed);
}

// A virus scanner holds an original for 300 ms just when the kept install
// deletes it (keep_originals is off): the install waits, and nothing is left
// set aside.
TEST_F(way_back, a_kept_install_waits_for_a_file_held_for_a_moment) {
    run_until_interfered([&] {
        scenario& s = make(L"held_original");
        lay_out_patch(s, game);
        write_file(s.archives() / L"config.json",
                   R"({"game_name":"Sample Game","process_name":"SampleGame.exe","data_directory":"d",)"
                   R"("registry_key":"e2e held_original","steam_id":"4000","keep_originals":false})");
        interference scanner({L"after", (game / L"patch-journal.txt").wstring(), L"verified", L"aside",
                              (game / L"data").wstring(), L".before-patch", L"hold", L"300"});
        watched_run run = s.run();
        if (!scanner.acted()) return false;
        expect_installed(run);
        EXPECT_TRUE(set_aside_files(game).empty());
        return true;
    });
}

TEST_F(way_back, a_journal_torn_or_empty_is_read_as_far_as_it_goes) {
    scenario& s = make(L"torn");
    lay_out_patch(s, game);
    const tree_snapshot original = snapshot(game);
    // Empty, as a power cut can leave a file just created: nothing had changed.
    write_file(game / L"patch-journal.txt", "");
    expect_installed(s.run());
    // A record torn at the end: what stands before it stands.
    std::string journal = read_file(game / L"patch-journal.txt");
    write_file(game / L"patch-journal.txt", journal + "run\tremo");
    expect_removed(s.run_remover(), game, original);
}

TEST_F(way_back, a_config_with_keep_originals_of_another_type_is_refused) {
    scenario& s = make(L"keep_type");
    lay_out_patch(s, game);
    write_file(s.archives() / L"config.json",
               R"({"game_name":"Sample Game","process_name":"SampleGame.exe","data_directory":"d",)"
               R"("registry_key":"e2e keep_type","steam_id":"4000","keep_originals":"no"})");
    const tree_snapshot before = snapshot(s.root);
    watched_run run = s.run();
    EXPECT_EQ(run.exit_code, 3u);
    ASSERT_EQ(run.boxes.size(), 1u);
    for (const wchar_t* part : {L"reading the configuration failed", L"type must be boolean, but is string"}) {
        EXPECT_NE(run.boxes[0].text.find(part), std::wstring::npos) << run.boxes[0].text;
    }
    EXPECT_EQ(snapshot(s.root), before);
}

// A second installer started while the first is frozen part way through its
// copy: it says another run is working and changes nothing; the first goes
// on and installs.
TEST_F(way_back, two_installers_at_once_one_installs_the_other_changes_nothing) {
    run_until_interfered([&] {
        scenario& s = make(L"two_at_once");
        lay_out_patch(s, game);
        const fs::path release = L"C:\\e2e_reports\\release_two_at_once";
        fs::remove(release);
        interference freezer({L"arrival", (game / L"data").wstring(), std::to_wstring(patch_file_size),
                              std::to_wstring(replaced_count), L"freeze-until", release.wstring()});
        std::future<watched_run> first = std::async(std::launch::async, [&] { return s.run(); });
        if (!freezer.wait_until_frozen()) {
            write_file(release, "");
            first.get();
            return false;
        }
        // A frozen run may still finish the one call it was in: the game is
        // looked at once that has settled.
        tree_snapshot during = snapshot(s.root);
        for (tree_snapshot again = snapshot(s.root); again != during; again = snapshot(s.root)) during = again;
        watched_run second = s.run();
        write_file(release, "");
        expect_box(second, 3, {});
        EXPECT_EQ(second.boxes.at(0).text,
                  L"Another patch run is working on this game right now, so this one changed nothing.\n\nWait until "
                  L"the other run has finished and shown its message, then run the patch again if you still need to.");
        expect_same_tree(snapshot(s.root), during);
        expect_installed(first.get());
        expect_patched(game);
        return true;
    });
}

struct kill_case {
    const char* name;
    // The moment and the actions of the interferer that kills the run, and
    // of one that makes its copy fail first (none: the copy would succeed).
    std::function<std::vector<std::wstring>(scenario&, const fs::path& game)> killer;
    std::function<std::vector<std::wstring>(scenario&, const fs::path& game)> failer = {};
};

const kill_case kill_cases[] = {
    {"during the set-aside",
     [](scenario&, const fs::path& game) {
         // Some 30 ms: the run goes on in slices once its plan is down.
         return std::vector<std::wstring>{L"after", (game / L"patch-journal.txt").wstring(), L"planned",
                                          L"set-aside", (game / L"data").wstring(), L".before-patch",
                                          std::to_wstring(replaced_count), L"kill"};
     }},
    {"during the copy",
     [](scenario&, const fs::path& game) {
         return std::vector<std::wstring>{L"arrival", (game / L"data").wstring(), std::to_wstring(patch_file_size),
                                          std::to_wstring(replaced_count), L"kill"};
     }},
    {"after the copy, before the install is kept",
     [](scenario&, const fs::path& game) {
         // A few milliseconds: the run goes on in slices once its copy began.
         const std::wstring journal = (game / L"patch-journal.txt").wstring();
         return std::vector<std::wstring>{L"after", journal, L"set aside", L"line", journal, L"copied", L"kept", L"kill"};
     }},
    {"during a put-back",
     [](scenario&, const fs::path& game) {
         const std::wstring journal = (game / L"patch-journal.txt").wstring();
         return std::vector<std::wstring>{L"after", journal,          L"set aside",    L"line",
                                          journal,  L"putting back", L"never written", L"kill"};
     },
     [](scenario& s, const fs::path& game) {
         return std::vector<std::wstring>{L"arrival",      (game / L"data").wstring(),
                                          std::to_wstring(patch_file_size), std::to_wstring(replaced_count),
                                          L"lock-sources", (s.archives() / L"data").wstring()};
     }},
};

// Killed at each stage, then either installed again (fully patched, and a
// removal gives back the original) or removed at once (the original).
TEST_F(way_back, a_run_killed_at_any_stage_is_undone_by_the_next_run_of_either_program) {
    for (const kill_case& c : kill_cases) {
        for (bool install_next : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.name << (install_next ? ", then installed" : ", then removed"));
            run_until_interfered([&] {
                scenario& s = make(L"killed");
                lay_out_patch(s, game);
                const tree_snapshot original = snapshot(game);
                std::unique_ptr<interference> failer;
                if (c.failer) failer = std::make_unique<interference>(c.failer(s, game));
                interference killer(c.killer(s, game));
                watched_run killed = s.run();
                failer.reset();  // lets go of the sources it took
                if (!killer.acted()) return false;
                EXPECT_TRUE(killed.boxes.empty());
                EXPECT_TRUE(has_journal(game));
                if (install_next) {
                    expect_installed_after_recovery(s.run());
                    expect_patched(game);
                    expect_removed(s.run_remover(), game, original);
                } else {
                    watched_run removal = s.run_remover();
                    EXPECT_EQ(removal.exit_code, 6u);
                    EXPECT_EQ(removal.boxes.size(), 1u);
                    if (removal.boxes.empty()) return true;
                    EXPECT_EQ(removal.boxes[0].text,
                              std::wstring(L"This patch is not installed in the game's folder, so there is nothing to "
                                           L"remove.\n\nNothing was changed.") +
                                  undone_note);
                    EXPECT_EQ(snapshot(game), original);
                }
                return true;
            });
        }
    }
}

// A removal killed part way is undone by the next run: the game is installed
// again, and the next removal gives back the original.
TEST_F(way_back, a_removal_killed_part_way_is_undone_by_the_next_run) {
    run_until_interfered([&] {
        scenario& s = make(L"removal_killed");
        lay_out_patch(s, game);
        const tree_snapshot original = snapshot(game);
        expect_installed(s.run());
        // The removal's own plan is the journal's second "planned".
        interference killer({L"after", (game / L"patch-journal.txt").wstring(), L"run\tremove", L"set-aside",
                             (game / L"data").wstring(), L".while-patching", std::to_wstring(replaced_count), L"kill"},
                            L"patch_remove.exe");
        watched_run killed = s.run_remover();
        if (!killer.acted()) return false;
        EXPECT_TRUE(killed.boxes.empty());
        expect_removed(s.run_remover(), game, original, undone_note);
        return true;
    });
}

}  // namespace
