// The real installer under Wine finding the game through Steam: the library
// list, the manifests, the install log's bytes and the failures of broken
// Steam files.
#include <gtest/gtest.h>

#include <optional>

#include "tests/e2e/scenario.hpp"

namespace {

constexpr wchar_t not_found_text[] = L"This patch requires Sample Game. Please install it first.";
const std::wstring steam_key = L"Software\\Valve\\Steam";

// A path as Steam writes it in libraryfolders.vdf: UTF-8, backslashes doubled.
std::string steam_text(const fs::path& path) {
    std::string out;
    for (char c : to_utf8(path.wstring())) {
        out += c;
        if (c == '\\') out += '\\';
    }
    return out;
}

std::string library(const std::string& key, const std::string& path_text) {
    return "\t\"" + key + "\"\n\t{\n\t\t\"path\"\t\t\"" + path_text + "\"\n\t\t\"label\"\t\t\"\"\n\t}\n";
}

std::string library_list(const std::string& members) { return "\"libraryfolders\"\n{\n" + members + "}\n"; }

// Blocks under the key "a", each inside the one before, never closed.
std::string nested(std::size_t levels) {
    std::string text;
    text.reserve(levels * 4);
    for (std::size_t i = 0; i < levels; ++i) text += "\"a\"{";
    return text;
}

std::string manifest(const std::string& install_dir) {
    return "\"AppState\"\n{\n\t\"appid\"\t\t\"4000\"\n\t\"name\"\t\t\"Sample Game\"\n\t\"installdir\"\t\t\"" +
           install_dir + "\"\n}\n";
}

class steam : public ::testing::Test {
protected:
    void SetUp() override { delete_user_tree(steam_key); }
    void TearDown() override { delete_user_tree(steam_key); }

    // A scenario with one patch file, unregistered with the publisher, and a
    // Steam folder of its own named in SteamPath.
    scenario make(const std::wstring& name) {
        scenario s(name);
        s.install_executable();
        s.write_config({});
        write_file(s.archives() / L"patch.txt", "patched");
        steam_folder = s.root / L"Steam";
        fs::create_directories(steam_folder / L"steamapps");
        set_user_string(steam_key, L"SteamPath", steam_folder.wstring());
        return s;
    }

    void write_library_list(const std::string& text) {
        write_file(steam_folder / L"steamapps" / L"libraryfolders.vdf", text);
    }

    static void write_manifest(const fs::path& library_folder, const std::string& text) {
        write_file(library_folder / L"steamapps" / L"appmanifest_4000.acf", text);
    }

    // The game installed in a library: its manifest and its folder.
    static void install_game(const fs::path& library_folder) {
        write_manifest(library_folder, manifest("Sample Game"));
        fs::create_directories(library_folder / L"steamapps" / L"common" / L"Sample Game");
    }

    static std::string log_of(const scenario& s) { return read_file(s.working_folder / L"install_log.log"); }

    static std::string first_line(const fs::path& steam_path) {
        return "attempt to get Steam install path returned status 0x00000000 and path " +
               to_utf8(steam_path.wstring()) + "\r\n";
    }

    fs::path steam_folder;
};

TEST_F(steam, no_steam_path_logs_one_line_and_the_game_is_not_found) {
    scenario s = make(L"steam_none");
    delete_user_tree(steam_key);
    watched_run run = s.run();
    EXPECT_EQ(run.exit_code, 2u);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, not_found_text);
    EXPECT_EQ(log_of(s), "attempt to get Steam install path returned status 0x00000002 and path \r\n");
}

TEST_F(steam, game_in_the_second_library_is_found_and_patched) {
    scenario s = make(L"steam_two");
    const fs::path first = s.root / L"LibA";
    const fs::path second = s.root / L"LibB";
    fs::create_directories(first / L"steamapps");
    install_game(second);
    write_library_list(library_list(library("0", steam_text(first)) + library("1", steam_text(second))));

    expect_installed(s.run());
    EXPECT_EQ(read_file(second / L"steamapps" / L"common" / L"Sample Game" / L"patch.txt"), "patched");
    EXPECT_EQ(log_of(s), first_line(steam_folder) + "manifest found in " + to_utf8(first.wstring()) +
                             ": false\r\nmanifest found in " + to_utf8(second.wstring()) + ": true\r\n");

    // A second run writes the log afresh.
    write_file(s.working_folder / L"install_log.log", "stale\r\nstale\r\nstale\r\nstale\r\nstale\r\n");
    expect_installed(s.run());
    EXPECT_EQ(log_of(s), first_line(steam_folder) + "manifest found in " + to_utf8(first.wstring()) +
                             ": false\r\nmanifest found in " + to_utf8(second.wstring()) + ": true\r\n");
}

TEST_F(steam, libraries_are_tried_in_byte_order_of_their_keys) {
    scenario s = make(L"steam_order");
    const fs::path two = s.root / L"Two";
    const fs::path ten = s.root / L"Ten";
    install_game(two);
    install_game(ten);
    write_library_list(library_list(library("2", steam_text(two)) + library("10", steam_text(ten))));
    expect_installed(s.run());
    EXPECT_TRUE(fs::exists(ten / L"steamapps" / L"common" / L"Sample Game" / L"patch.txt"));
    EXPECT_FALSE(fs::exists(two / L"steamapps" / L"common" / L"Sample Game" / L"patch.txt"));
    EXPECT_EQ(log_of(s), first_line(steam_folder) + "manifest found in " + to_utf8(ten.wstring()) + ": true\r\n");
}

TEST_F(steam, steam_path_with_forward_slashes_and_real_world_library_lists) {
    scenario s = make(L"steam_real");
    // Steam stores its own folder with forward slashes; joins add backslashes.
    std::wstring forward = steam_folder.wstring();
    for (wchar_t& c : forward) {
        if (c == L'\\') c = L'/';
    }
    set_user_string(steam_key, L"SteamPath", forward);
    const fs::path accented = s.root / L"Biblioth\u00E8que";
    const fs::path cyrillic = s.root / L"\u0418\u0433\u0440\u044B";
    const fs::path last = s.root / L"Last";
    install_game(last);
    write_library_list(library_list("\t\"contentstatsid\"\t\t\"-3457340823\"\n" + library("0", steam_text(accented)) +
                                    library("1", steam_text(cyrillic)) + library("2", "\\\\\\\\e2e-server\\\\share") +
                                    library("3", steam_text(last) + "\\\\")));
    expect_installed(s.run());
    EXPECT_EQ(read_file(last / L"steamapps" / L"common" / L"Sample Game" / L"patch.txt"), "patched");
    EXPECT_EQ(log_of(s), "attempt to get Steam install path returned status 0x00000000 and path " + to_utf8(forward) +
                             "\r\nmanifest found in " + std::string("C:\\e2e\\steam_real\\Biblioth\xE8que") +
                             ": false\r\nmanifest found in C:\\e2e\\steam_real\\????: false\r\n"
                             "manifest found in \\\\e2e-server\\share: false\r\n"
                             "manifest found in " +
                             to_utf8(last.wstring()) + "\\: true\r\n");
}

TEST_F(steam, no_library_holding_the_game_means_not_found) {
    // No library list at all is Steam without libraries: uninstalling Steam
    // leaves its registry value behind.
    const std::optional<std::string> lists[] = {std::string(), library("0", "C:\\\\nowhere") + library("1", ""),
                                                std::nullopt};
    for (const std::optional<std::string>& members : lists) {
        SCOPED_TRACE(members.value_or("no library list"));
        scenario s = make(L"steam_absent");
        if (members) write_library_list(library_list(*members));
        const tree_snapshot before = snapshot(s.root);
        watched_run run = s.run();
        expect_unchanged_but_log(before, snapshot(s.root));
        EXPECT_EQ(run.exit_code, 2u);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.boxes[0].text, not_found_text);
        const std::string log = log_of(s);
        EXPECT_EQ(log.substr(log.size() - 26), "no install folders found\r\n");
    }
}

TEST_F(steam, broken_steam_files_end_the_run_before_anything_is_copied) {
    struct broken_case {
        const char* name;
        std::string library_list;  // "<lib>" stands for the library's path
        std::string manifest;      // not written when empty
        const wchar_t* error;      // a part of the box's text
        bool names_manifest;       // the box's File: line is the manifest
    };
    const std::string one_library = library_list(library("0", "<lib>"));
    const broken_case cases[] = {
        {"no libraryfolders", "\"LibraryFolders\" { }", "", L"bad variant access", false},
        {"libraryfolders holds text", "\"libraryfolders\" \"x\"", "", L"bad variant access", false},
        {"malformed library list", "\"libraryfolders\" { \"0\" }", "", L"not a valid place to close a subobject",
         false},
        {"library without path", library_list("\t\"0\" { \"label\" \"\" }\n"), "", L"invalid map<K, T> key", false},
        {"path holds a block", library_list("\t\"0\" { \"path\" { } }\n"), "", L"bad variant access", false},
        {"path not UTF-8", library_list(library("0", "C:\\\\\xFF")), "", L"Unicode", false},
        {"malformed manifest", one_library, "\"AppState\" { \"installdir\" ", L"premature end of file", true},
        {"no AppState", one_library, "\"appid\" \"4000\"\n\"installdir\" \"Sample Game\"\n", L"bad variant access",
         true},
        {"no installdir", one_library, "\"AppState\" { \"appid\" \"4000\" }", L"invalid map<K, T> key", true},
        {"installdir holds a block", one_library, "\"AppState\" { \"installdir\" { } }", L"bad variant access", true},
        {"installdir not UTF-8", one_library, manifest("Game\xC3"), L"Unicode", true},
        {"installdir empty", one_library, manifest(""), L"no plain folder name", true},
        {"installdir parent", one_library, manifest(".."), L"no plain folder name", true},
        {"installdir with a separator", one_library, manifest("..\\\\..\\\\Windows"), L"no plain folder name", true},
        {"installdir absolute", one_library, manifest("C:\\\\Windows"), L"no plain folder name", true},
        {"installdir rooted", one_library, manifest("/etc"), L"no plain folder name", true},
        {"installdir holding NUL", one_library, manifest(std::string("Game\0x", 6)), L"no plain folder name", true},
        {"library path holding NUL", library_list(library("0", std::string("<lib>\0x", 7))), "",
         L"a library's \"path\" holds a NUL character", false},
        {"library list nested 10,000 deep", "\"libraryfolders\" {" + nested(10000), "",
         L"blocks nested more than 256 levels deep", false},
        {"library list of 16 MB nested as deep as it goes", nested(4'000'000), "",
         L"blocks nested more than 256 levels deep", false},
        {"manifest nested 10,000 deep", one_library, "\"AppState\" {" + nested(10000),
         L"blocks nested more than 256 levels deep", true},
    };
    for (const broken_case& c : cases) {
        SCOPED_TRACE(c.name);
        scenario s = make(L"steam_broken");
        const fs::path lib = s.root / L"Lib";
        fs::create_directories(lib / L"steamapps" / L"common" / L"Sample Game");
        std::string list = c.library_list;
        if (auto at = list.find("<lib>"); at != std::string::npos) list.replace(at, 5, steam_text(lib));
        if (!list.empty()) write_library_list(list);
        if (!c.manifest.empty()) write_manifest(lib, c.manifest);
        const tree_snapshot before = snapshot(s.root);

        watched_run run = s.run();
        expect_unchanged_but_log(before, snapshot(s.root));
        EXPECT_EQ(run.exit_code, 3u);
        ASSERT_EQ(run.boxes.size(), 1u);
        const std::wstring& text = run.boxes[0].text;
        EXPECT_EQ(run.boxes[0].caption, L"Sample Game patch installer");
        EXPECT_NE(text.find(L"searching the Steam libraries for the game failed"), std::wstring::npos) << text;
        EXPECT_NE(text.find(c.error), std::wstring::npos) << text;
        const fs::path named = c.names_manifest ? lib / L"steamapps" / L"appmanifest_4000.acf"
                                                : steam_folder / L"steamapps" / L"libraryfolders.vdf";
        EXPECT_NE(text.find(L"File: " + named.wstring() + L"\n"), std::wstring::npos) << text;
        EXPECT_NE(text.find(L"Start Steam once so that it rewrites its files, then run the patch again."),
                  std::wstring::npos)
            << text;
        EXPECT_FALSE(fs::exists(lib / L"steamapps" / L"common" / L"Sample Game" / L"patch.txt"));
        EXPECT_FALSE(fs::exists(lib / L"steamapps" / L"common" / L"patch.txt"));
    }
}

TEST_F(steam, the_log_is_left_alone_when_the_publisher_value_finds_the_game) {
    scenario s = make(L"steam_registry_first");
    write_file(s.working_folder / L"install_log.log", "an earlier search\r\n");
    const fs::path game = s.root / L"Game";
    fs::create_directories(game);
    registered_game registration("e2e-not-registered", game.wstring());
    expect_installed(s.run());
    EXPECT_EQ(read_file(game / L"patch.txt"), "patched");
    EXPECT_EQ(log_of(s), "an earlier search\r\n");
}

TEST_F(steam, a_log_that_cannot_be_created_does_not_stop_the_search) {
    scenario s = make(L"steam_no_log");
    fs::create_directories(s.working_folder / L"install_log.log");  // a folder in the file's place
    const fs::path lib = s.root / L"Lib";
    install_game(lib);
    write_library_list(library_list(library("0", steam_text(lib))));
    expect_installed(s.run());
    EXPECT_EQ(read_file(lib / L"steamapps" / L"common" / L"Sample Game" / L"patch.txt"), "patched");
}

// Steam leaves manifests behind when a library moves, and uninstallers leave
// the publisher's value behind: only a game folder that is there counts, and
// the installer never makes one.
TEST_F(steam, game_folders_that_are_not_there_are_passed_over) {
    scenario s = make(L"steam_stale");
    const fs::path stale = s.root / L"Stale";
    const fs::path real = s.root / L"Real";
    write_manifest(stale, manifest("Sample Game"));
    install_game(real);
    write_library_list(library_list(library("0", steam_text(stale)) + library("1", steam_text(real))));
    // The publisher's value names a folder an uninstaller removed.
    registered_game registration("e2e-not-registered", (s.root / L"Uninstalled").wstring());

    expect_installed(s.run());
    EXPECT_EQ(read_file(real / L"steamapps" / L"common" / L"Sample Game" / L"patch.txt"), "patched");
    EXPECT_FALSE(fs::exists(stale / L"steamapps" / L"common"));
    EXPECT_FALSE(fs::exists(s.root / L"Uninstalled"));
    // The stale library's manifest was found, so its line says so.
    EXPECT_EQ(log_of(s), first_line(steam_folder) + "manifest found in " + to_utf8(stale.wstring()) +
                             ": true\r\nmanifest found in " + to_utf8(real.wstring()) + ": true\r\n");

    // With no real folder anywhere, the game is not installed.
    write_library_list(library_list(library("0", steam_text(stale))));
    const tree_snapshot before = snapshot(s.root);
    watched_run run = s.run();
    EXPECT_EQ(run.exit_code, 2u);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, not_found_text);
    expect_unchanged_but_log(before, snapshot(s.root));
    EXPECT_EQ(log_of(s), first_line(steam_folder) + "manifest found in " + to_utf8(stale.wstring()) +
                             ": true\r\nno install folders found\r\n");
}

TEST_F(steam, a_running_game_stops_the_run_before_anything_is_looked_up) {
    // No publisher's value: a check made after the lookups would show itself
    // in the log of the Steam search.
    scenario s = make(L"steam_running");
    const fs::path lib = s.root / L"Lib";
    install_game(lib);
    write_library_list(library_list(library("0", steam_text(lib))));
    fs::copy_file(built_stand_in_game(), s.root / L"SampleGame.exe");
    background_program game_process(s.root / L"SampleGame.exe");
    const tree_snapshot before = snapshot(s.root);
    watched_run run = s.run();
    EXPECT_EQ(run.exit_code, 1u);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, L"Please close Sample Game before installing the patch.");
    EXPECT_FALSE(fs::exists(s.working_folder / L"install_log.log"));
    EXPECT_EQ(snapshot(s.root), before);
}

}  // namespace
