// The real installer under Wine for a game registered under the publisher's
// key: the running-game check, the registry lookup and the copy.
#include <gtest/gtest.h>

#include "tests/e2e/game_case.hpp"

namespace {

constexpr wchar_t not_found_text[] = L"This patch requires Sample Game. Please install it first.";
constexpr wchar_t caption[] = L"Sample Game patch installer";

class deploy : public ::testing::Test {
protected:
    void SetUp() override { delete_user_tree(L"Software\\Valve\\Steam"); }

    // A scenario whose game is registered under a key of the test's own;
    // its installer folder may be one of the prepared folders with links.
    scenario registered(const std::wstring& name, config_fields& fields, const wchar_t* link_folder = nullptr) {
        scenario s(name);
        if (link_folder) s.installer_folder = prepared_folder(link_folder);
        s.install_executable();
        fields.registry_key = "e2e " + std::string(name.begin(), name.end());
        return s;
    }
};

const std::string binary_bytes("\x00\x01\r\n\x1a\xff\xfe text\n", 14);

TEST_F(deploy, registered_game_gets_the_whole_tree_and_nothing_else) {
    config_fields fields;
    scenario s = registered(L"tree", fields);
    s.write_config(fields);
    write_file(s.archives() / L"readme.txt", "new readme\r\n");
    // Windows names are case-insensitive: the two spellings live in two folders.
    write_file(s.archives() / L"data" / L"Config.json", "copied: only the exact name is passed over");
    write_file(s.archives() / L"data" / L"deep" / L"config.json", "a config.json at any depth is passed over");
    write_file(s.archives() / L"data" / L"deep" / L"level.bin", binary_bytes);
    write_file(s.archives() / L"data" / L"hidden.dat", "hidden");
    ::SetFileAttributesW((s.archives() / L"data" / L"hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
    fs::create_directories(s.archives() / L"empty" / L"still_empty");

    const fs::path game = s.root / L"Game";
    write_file(game / L"readme.txt", "old readme, to be replaced");
    write_file(game / L"config.json", "the game's own settings");
    write_file(game / L"untouched.txt", "not part of the patch");
    registered_game registration(fields.registry_key, game.wstring() + L"\\");  // a trailing backslash

    watched_run run = s.run();
    expect_installed(run);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].caption, caption);
    EXPECT_FALSE(run.boxes[0].has_owner);

    EXPECT_EQ(read_file(game / L"readme.txt"), "new readme\r\n");
    EXPECT_EQ(read_file(game / L"data" / L"Config.json"), "copied: only the exact name is passed over");
    EXPECT_FALSE(fs::exists(game / L"data" / L"deep" / L"config.json"));
    EXPECT_EQ(read_file(game / L"config.json"), "the game's own settings");
    EXPECT_EQ(read_file(game / L"data" / L"deep" / L"level.bin"), binary_bytes);
    EXPECT_EQ(read_file(game / L"data" / L"hidden.dat"), "hidden");
    EXPECT_FALSE(fs::exists(game / L"empty"));
    EXPECT_EQ(read_file(game / L"untouched.txt"), "not part of the patch");
    EXPECT_FALSE(fs::exists(s.working_folder / L"install_log.log"));
}

TEST_F(deploy, archives_with_nothing_but_config_json_is_a_finished_patch) {
    config_fields fields;
    scenario s = registered(L"nothing", fields);
    s.write_config(fields);
    fs::create_directories(s.root / L"Game");
    registered_game registration(fields.registry_key, (s.root / L"Game").wstring());
    expect_installed(s.run());
}

TEST_F(deploy, non_ascii_key_and_name_reach_the_registry_and_the_caption) {
    config_fields fields;
    scenario s = registered(L"unicode", fields);
    fields.registry_key = "Spiel \xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC";
    fields.game_name = "\xC3\x89t\xC3\xA9 \xE2\x80\x94 \xE6\x97\xA5";
    s.write_config(fields);
    write_file(s.archives() / L"patch.txt", "p");
    const fs::path game = s.root / L"Game \u00E9";
    fs::create_directories(game);
    registered_game registration(fields.registry_key, game.wstring());
    watched_run run = s.run();
    expect_installed(run);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].caption, L"\u00C9t\u00E9 \u2014 \u65E5 patch installer");
    EXPECT_EQ(read_file(game / L"patch.txt"), "p");

    fields.game_name = "";
    s.write_config(fields);
    watched_run unnamed = s.run();
    expect_installed(unnamed);
    ASSERT_EQ(unnamed.boxes.size(), 1u);
    EXPECT_EQ(unnamed.boxes[0].caption, L" patch installer");
}

// Uninstallers leave the value behind, and other programs write odd ones:
// anything but a string naming an existing folder by its absolute path is
// absent, and the game is then not found (no Steam here). No folder is ever
// made for a value.
TEST_F(deploy, registry_values_that_name_no_usable_folder_count_as_absent) {
    enum class place { user, machine_only };
    struct value_case {
        const char* name;
        std::wstring value;
        DWORD type;
        place where;
        bool folder_exists;
        unsigned status;
        // A folder made below the run's working folder, where a value
        // relative to it would lead.
        const wchar_t* below_work = nullptr;
    };
    const std::wstring base = L"C:\\e2e\\values\\";
    const std::wstring game = base + L"game";
    const value_case cases[] = {
        // So long a folder takes no file below the shell's path limit: only an
        // empty patch proves the value was read whole.
        {"259 characters", base + std::wstring(259 - base.size(), L'g'), REG_SZ, place::user, true, 0},
        {"260 characters", base + std::wstring(260 - base.size(), L'g'), REG_SZ, place::user, false, 2},
        {"empty", L"", REG_SZ, place::user, false, 2},
        {"relative", L"Games\\Sample", REG_SZ, place::user, false, 2},
        {"drive relative", L"C:Games", REG_SZ, place::user, false, 2},
        {"drive relative, leading to a folder below the working folder", L"C:Games", REG_SZ, place::user, false, 2,
         L"Games"},
        {"relative, leading to a folder below the working folder", L"Games", REG_SZ, place::user, false, 2, L"Games"},
        {"rooted without drive", L"\\Games\\Sample", REG_SZ, place::user, false, 2},
        {"forward slashes", L"C:/e2e/values/game", REG_SZ, place::user, true, 0},
        {"only in HKEY_LOCAL_MACHINE", game, REG_SZ, place::machine_only, true, 2},
        {"a folder that is not there", game, REG_SZ, place::user, false, 2},
        {"a file, not a folder", base + L"file.txt", REG_SZ, place::user, false, 2},
        {"stored as REG_BINARY", game, REG_BINARY, place::user, true, 2},
        {"stored as REG_MULTI_SZ", game, REG_MULTI_SZ, place::user, true, 2},
    };
    for (const value_case& c : cases) {
        SCOPED_TRACE(c.name);
        config_fields fields;
        scenario s = registered(L"values", fields);
        s.write_config(fields);
        const bool with_patch_file = c.value.size() < 250;
        if (with_patch_file) write_file(s.archives() / L"patch.txt", "p");
        write_file(base + L"file.txt", "a file where a folder is expected");
        if (c.folder_exists) fs::create_directories(c.value);
        if (c.below_work) fs::create_directories(s.working_folder / c.below_work);
        const std::wstring sub_key = L"Software\\Wavelorn\\" + from_utf8(fields.registry_key);
        delete_user_tree(sub_key);
        // A REG_MULTI_SZ value ends in two NULs; the others are written with one.
        const std::wstring data = c.type == REG_MULTI_SZ ? c.value + L'\0' : c.value;
        const HKEY hive = c.where == place::machine_only ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        ASSERT_EQ(::RegSetKeyValueW(hive, sub_key.c_str(), L"InstallPath", c.type, data.c_str(),
                                    static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        const tree_snapshot before = snapshot(s.root);
        watched_run run = s.run();
        ::RegDeleteTreeW(hive, sub_key.c_str());
        if (c.status == 0) {
            expect_installed(run);
            if (with_patch_file) {
                EXPECT_EQ(read_file(fs::path(c.value) / L"patch.txt"), "p");
            }
        } else {
            EXPECT_EQ(run.exit_code, c.status);
            ASSERT_EQ(run.boxes.size(), 1u);
            EXPECT_EQ(run.boxes[0].text, not_found_text);
            expect_unchanged_but_log(before, snapshot(s.root));
        }
    }
}

TEST_F(deploy, the_configuration_file_is_never_copied_whatever_its_name) {
    // Windows opens "Config.json" as config.json: the file that was read is
    // the configuration, whatever the case of its name.
    config_fields fields;
    scenario s = registered(L"config_case", fields);
    write_file(s.archives() / L"Config.json", config_text(fields));
    write_file(s.archives() / L"patch.txt", "p");
    const fs::path game = s.root / L"Game";
    write_file(game / L"Config.json", "the game's own settings");
    registered_game registration(fields.registry_key, game.wstring());
    expect_installed(s.run());
    EXPECT_EQ(read_file(game / L"patch.txt"), "p");
    EXPECT_EQ(read_file(game / L"Config.json"), "the game's own settings");
}

TEST_F(deploy, a_separate_file_named_Config_json_beside_config_json_is_copied) {
    // Possible in case-sensitive folders; made by the prefix set-up.
    config_fields fields;
    scenario s = registered(L"config_twin", fields, L"configs");
    s.write_config(fields);
    ASSERT_EQ(read_file(s.archives() / L"Config.json"), "the author's other file");
    const fs::path game = s.root / L"Game";
    fs::create_directories(game);
    registered_game registration(fields.registry_key, game.wstring());
    expect_installed(s.run());
    EXPECT_EQ(read_file(game / L"Config.json"), "the author's other file");
    EXPECT_FALSE(fs::exists(game / L"config.json.before-patch"));
    EXPECT_EQ(without_journal(snapshot(game)).size(), 1u);
}

TEST_F(deploy, running_game_stops_the_run_before_anything_is_looked_up) {
    config_fields fields;
    scenario s = registered(L"running", fields);
    s.write_config(fields);
    write_file(s.archives() / L"patch.txt", "p");
    const fs::path game = s.root / L"Game";
    fs::create_directories(game);
    registered_game registration(fields.registry_key, game.wstring());
    fs::create_directories(s.root / L"bin");
    fs::copy_file(built_stand_in_game(), s.root / L"bin" / L"SampleGame.exe");
    fs::copy_file(built_stand_in_game(), s.root / L"bin" / L"samplegame.exe.bak");
    {
        background_program game_process(s.root / L"bin" / L"SampleGame.exe");
        watched_run run = s.run();
        EXPECT_EQ(run.exit_code, 1u);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.boxes[0].caption, caption);
        EXPECT_EQ(run.boxes[0].text, L"Please close Sample Game before installing the patch.");
        EXPECT_FALSE(run.boxes[0].has_owner);
        EXPECT_FALSE(fs::exists(game / L"patch.txt"));
        EXPECT_FALSE(fs::exists(s.working_folder / L"install_log.log"));
    }
    // A name that differs in case, or that carries a folder, is another program.
    for (const char* other : {"samplegame.exe", "bin\\SampleGame.exe", ""}) {
        SCOPED_TRACE(other);
        config_fields differing = fields;
        differing.process_name = other;
        s.write_config(differing);
        background_program game_process(s.root / L"bin" / L"SampleGame.exe");
        fs::remove(game / L"patch.txt");
        expect_installed(s.run());
        EXPECT_EQ(read_file(game / L"patch.txt"), "p");
    }
    // The installer's own process counts too.
    config_fields itself = fields;
    itself.process_name = "patch_installer.exe";
    s.write_config(itself);
    EXPECT_EQ(s.run().exit_code, 1u);
}

// Windows shows a symbolic link to a file as a reparse point: the installer
// copies it to where its target lies, and refuses one that leads out of the
// archives folder (the decision is tested natively). Wine shows a link to a
// file as the file itself; it must then land under its own name, inside the
// game folder, like any file.
TEST_F(deploy, files_that_wine_shows_through_links_land_under_their_own_names_inside_the_game) {
    struct link_case {
        const wchar_t* fixture;
        const wchar_t* link;   // below archives
        const char* contents;  // the target's
    };
    const link_case cases[] = {
        {L"escape", L"escape.txt", "outside the archives folder"},
        {L"inside", L"data\\alias.txt", "the real file"},
    };
    for (const link_case& c : cases) {
        SCOPED_TRACE(c.fixture);
        config_fields fields;
        scenario s = registered(std::wstring(L"link_") + c.fixture, fields, c.fixture);
        s.write_config(fields);
        const fs::path game = s.root / L"Game" / L"Inner";
        fs::create_directories(game);
        registered_game registration(fields.registry_key, game.wstring());

        expect_installed(s.run());
        EXPECT_EQ(read_file(game / c.link), c.contents);
        EXPECT_FALSE(fs::exists(s.root / L"Game" / L"secret.txt"));
        EXPECT_FALSE(fs::exists(s.root / L"secret.txt"));
    }
}

TEST_F(deploy, a_link_to_a_folder_is_neither_entered_nor_listed) {
    config_fields fields;
    scenario s = registered(L"folder_link", fields, L"folder");
    s.write_config(fields);
    write_file(s.archives() / L"a.txt", "patched");
    const fs::path game = s.root / L"Game";
    fs::create_directories(game);
    registered_game registration(fields.registry_key, game.wstring());

    expect_installed(s.run());
    EXPECT_EQ(read_file(game / L"a.txt"), "patched");
    EXPECT_FALSE(fs::exists(game / L"linked"));
    EXPECT_FALSE(fs::exists(game / L"hidden.txt"));
}

}  // namespace
