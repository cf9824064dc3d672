// The patch checker under Wine, on prepared distribution folders: the report
// lines an author reads and the status a script sees.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include <nlohmann/json.hpp>

#include "common/windows/win_handles.hpp"
#include "tests/e2e/scenario.hpp"

namespace {

// Whether `lines` hold `expected`, or a line that starts with it when it
// ends in "...".
bool holds_line(const std::vector<std::string>& lines, const std::string& expected) {
    const std::string ellipsis = "...";
    const bool start_only = expected.size() >= ellipsis.size() &&
                            expected.compare(expected.size() - ellipsis.size(), ellipsis.size(), ellipsis) == 0;
    const std::string start = start_only ? expected.substr(0, expected.size() - ellipsis.size()) : expected;
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return start_only ? line.rfind(start, 0) == 0 : line == expected;
    });
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

using prepare = std::function<void(const fs::path& archives)>;

struct check_case {
    const char* name;
    prepare setup;
    std::vector<std::string> expected;  // whole lines of the report, among others; "..." ends a line's start
    unsigned status;
    const wchar_t* prepared = nullptr;     // a distribution folder made by the prefix set-up
    std::vector<std::string> absent = {};  // lines the report must not hold
};

void valid_config(const fs::path& archives) { write_file(archives / L"config.json", config_text({})); }

prepare with_config(config_fields fields) {
    return [fields](const fs::path& archives) { write_file(archives / L"config.json", config_text(fields)); };
}

prepare then(prepare first, prepare second) {
    return [first, second](const fs::path& archives) {
        first(archives);
        second(archives);
    };
}

config_fields process_named(const char* name) {
    config_fields fields;
    fields.process_name = name;
    return fields;
}

config_fields steam_id_of(const char* id) {
    config_fields fields;
    fields.steam_id = id;
    return fields;
}

config_fields game_named(const char* name) {
    config_fields fields;
    fields.game_name = name;
    return fields;
}

void a_patch_file(const fs::path& archives) { write_file(archives / L"a.txt", "a"); }

TEST(patch_check, reports_what_the_installer_would_do_and_whether_the_patch_may_ship) {
    const check_case cases[] = {
        {"ready",
         then(valid_config,
              [](const fs::path& archives) {
                  write_file(archives / L"data" / L"a.pak", "a");
                  write_file(archives / L"readme.txt", "r");
              }),
         {"archives\\config.json loads, for \"Sample Game\"",
          "process_name \"SampleGame.exe\" can match the running game", "copy: data\\a.pak", "copy: readme.txt",
          "the longest destination is data\\a.pak (10 characters): a game folder's path may be up to 242 characters "
          "long",
          "players may unpack the patch into a folder whose path is up to 239 characters long",
          "a typical Steam library fits: C:\\Program Files (x86)\\Steam\\steamapps\\common\\Sample Game (57 "
          "characters)",
          "keep_originals: the installer keeps each file it replaces beside it, so that patch_remove.exe can give the "
          "game back as it was",
          "warning: patch_remove.exe is not beside the installer: ship it, so that players can remove the patch",
          "ready to ship"},
         0},
        {"the remover beside the installer, originals not kept",
         [](const fs::path& archives) {
             write_file(archives / L"config.json",
                        R"({"game_name":"G","process_name":"g.exe","data_directory":"d","registry_key":"k",)"
                        R"("steam_id":"1","keep_originals":false})");
             write_file(archives / L"a.txt", "a");
             fs::copy_file(built_remover(), archives.parent_path() / L"patch_remove.exe");
         },
         {"patch_remove.exe is beside the installer: players can remove the patch",
          "warning: keep_originals is false: the installer deletes each file it replaces, so the patch cannot be "
          "removed (patch_remove.exe will refuse)",
          "ready to ship"},
         0},
        {"two files that differ only in case, as the installer judges them",
         valid_config,
         {"problem: level.pak: two files of the patch would be copied to this same place, with LEVEL.pak"},
         1,
         L"twins"},
        {"a pipe among the patch files",
         valid_config,
         {"problem: stream.bin: this patch file is no ordinary file (it is a pipe, a socket or a device), so it cannot "
          "be copied"},
         1,
         L"pipe"},
        {"a socket among the patch files",
         valid_config,
         {"problem: talk.bin: this patch file is no ordinary file (it is a pipe, a socket or a device), so it cannot "
          "be copied"},
         1,
         L"socket"},
        {"a file where the installer keeps its journal",
         then(valid_config, [](const fs::path& archives) { write_file(archives / L"patch-journal.txt", "mine"); }),
         {"problem: patch-journal.txt: the installer keeps its journal under this name in the game folder; rename this "
          "file"},
         1},
        {"steam_id written as a number",
         [](const fs::path& archives) {
             write_file(
                 archives / L"config.json",
                 R"({"game_name":"G","process_name":"g.exe","data_directory":"d","registry_key":"k","steam_id":4000})");
         },
         {"problem: archives\\config.json does not load; the installer would say: steam_id must be a JSON string "
          "such as \"4242\", but it is a number ([json.exception.type_error.302] type must be string, but is number)",
          "not ready to ship: 1 problem"},
         1},
        {"config.json saved as UTF-16",
         [](const fs::path& archives) {
             std::string utf16 = "\xFF\xFE";
             for (char c : config_text({})) utf16 += std::string{c, '\0'};
             write_file(archives / L"config.json", utf16);
         },
         {"problem: archives\\config.json does not load; the installer would say: config.json is saved as UTF-16: "
          "save it as UTF-8 ([json.exception.parse_error.101] ...",
          "not ready to ship: 1 problem"},
         1},
        {"steam_id not a number",
         then(with_config(steam_id_of("starfall")), a_patch_file),
         {"warning: steam_id \"starfall\" is not a number: Steam names a game by the number in its store page's "
          "address (store.steampowered.com/app/<number>), so the installer can never find the game in the player's "
          "Steam libraries, only through registry_key",
          "ready to ship"},
         0},
        {"steam_id empty",
         then(with_config(steam_id_of("")), a_patch_file),
         {"warning: steam_id is empty: Steam names a game by the number in its store page's address "
          "(store.steampowered.com/app/<number>), so the installer can never find the game in the player's Steam "
          "libraries, only through registry_key"},
         0},
        {"game_name empty",
         then(with_config(game_named("")), a_patch_file),
         {"warning: game_name is empty, and every box names the game: the player would read \"This patch requires . "
          "Please install it first.\" and \"Please close  before installing the patch.\""},
         0},
        {"a destination too long for any game folder",
         then(valid_config,
              [](const fs::path& archives) {
                  write_file(archives / std::wstring(120, L'd') / std::wstring(120, L'e') / std::wstring(24, L'f'),
                             "f");
              }),
         {"problem: " + std::string(120, 'd') + "\\" + std::string(120, 'e') + "\\" + std::string(24, 'f') +
              ": this destination is 266 characters long, too long for any game folder (a file's whole path may be "
              "up to 259 characters); shorten the patch's folders and names",
          "not ready to ship: 1 problem"},
         1},
        {"no config.json",
         [](const fs::path&) {},
         {"problem: archives\\config.json does not load; the installer would say: config.json was not found in the "
          "folder \"archives\""},
         1},
        {"empty process_name",
         with_config(process_named("")),
         {"problem: process_name \"\" can never match a running game, so the installer would patch the game while it "
          "runs: it is empty"},
         1},
        {"process_name with a folder",
         with_config(process_named("bin\\Game.exe")),
         {"problem: process_name \"bin\\Game.exe\" can never match a running game, so the installer would patch the "
          "game while it runs: it holds a folder, and only the file name of a running program is compared"},
         1},
        {"process_name without .exe",
         with_config(process_named("Game")),
         {"problem: process_name \"Game\" can never match a running game, so the installer would patch the game "
          "while it runs: it does not end in .exe"},
         1},
        {"process_name in capitals", with_config(process_named("GAME.EXE")), {"ready to ship"}, 0},
        {"the configuration named Config.json",
         [](const fs::path& archives) {
             write_file(archives / L"Config.json", config_text({}));
             write_file(archives / L"a.txt", "a");
         },
         {"problem: the configuration file is named \"Config.json\"; name it exactly \"config.json\"", "copy: a.txt"},
         1},
        {"config.json in a subfolder and an empty folder",
         then(valid_config,
              [](const fs::path& archives) {
                  write_file(archives / L"a.txt", "a");
                  write_file(archives / L"data" / L"config.json", "the data's own settings");
                  fs::create_directories(archives / L"empty" / L"emptier");
              }),
         {"warning: data\\config.json: passed over: a file named config.json is copied from no folder",
          "warning: data: a folder with no file to copy, which will not be created",
          "warning: empty: a folder with no file to copy, which will not be created", "ready to ship"},
         0},
        {"a link to a folder",
         valid_config,
         {"problem: linked: a link, which the installer does not copy as one; put the real file or folder here"},
         1,
         L"folder"},
        {"a name Windows forbids",
         valid_config,
         {"problem: what?.txt: a name Windows forbids, with one of the characters * ? < > \" |",
          "not ready to ship: 1 problem"},
         1,
         L"odd_what__txt",
         {"copy: what?.txt"}},
        {"a device name",
         valid_config,
         {"problem: CON.txt: a name Windows forbids, with a device's name, such as CON, NUL, COM1 or LPT1"},
         1,
         L"odd_CON_txt",
         {"copy: CON.txt"}},
        {"too deep for a typical Steam library",
         then(valid_config,
              [](const fs::path& archives) {
                  write_file(archives / (L"levels\\" + std::wstring(200, L'l')) / L"map.pak", "m");
              }),
         {"problem: a typical Steam library does not fit: C:\\Program Files (x86)\\Steam\\steamapps\\common\\Sample "
          "Game (57 characters); shorten the patch's folders and names"},
         1},
    };
    for (const check_case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path folder = L"C:\\e2e\\check";
        remove_tree(folder);
        if (c.prepared) {
            folder = prepared_folder(c.prepared);
        } else {
            fs::create_directories(folder / L"archives");
        }
        c.setup(folder / L"archives");
        fs::copy_file(built_patch_check(), folder / L"patch_check.exe", fs::copy_options::overwrite_existing);
        const tree_snapshot before = snapshot(folder);

        // Started in the folder it checks (as by a double-click) or given it.
        for (const std::wstring& arguments : {std::wstring(), L" \"" + folder.wstring() + L"\""}) {
            const std::wstring command = L"\"" + (folder / L"patch_check.exe").wstring() + L"\"" + arguments;
            const captured_run run = run_capturing(command);
            EXPECT_FALSE(run.timed_out);
            EXPECT_EQ(run.exit_code, c.status) << run.output;
            const std::vector<std::string> lines = lines_of(run.output);
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines.front(), "checking the patch in " + to_utf8(folder.wstring()));
            if (c.status == 0) {
                EXPECT_EQ(lines.back(), "ready to ship");
            } else {
                EXPECT_EQ(lines.back().rfind("not ready to ship: ", 0), 0u) << lines.back();
            }
            for (const std::string& expected : c.expected) {
                EXPECT_TRUE(holds_line(lines, expected)) << "missing: " << expected << "\nin:\n" << run.output;
            }
            for (const std::string& absent : c.absent) {
                EXPECT_EQ(std::find(lines.begin(), lines.end(), absent), lines.end())
                    << "present: " << absent << "\nin:\n"
                    << run.output;
            }
        }
        // It writes nothing.
        EXPECT_EQ(snapshot(folder), before);
    }
}

// What the checker is given: a plea for help, an argument it does not take,
// the archives folder itself, a folder that is not there or holds no
// archives. Each gets its own plain answer and status.
TEST(patch_check, answers_what_it_is_given_in_plain_words) {
    const fs::path kit = L"C:\\e2e\\check_given";
    remove_tree(kit);
    write_file(kit / L"archives" / L"config.json", config_text({}));
    write_file(kit / L"archives" / L"a.txt", "a");
    fs::create_directories(kit / L"bare");
    fs::copy_file(built_patch_check(), kit / L"patch_check.exe");
    const std::string usage_first = "patch_check checks a patch before it ships, the way the installer will see it.";
    struct given_case {
        std::wstring arguments;
        std::vector<std::string> expected;  // whole lines, among others
        unsigned status;
        std::size_t problems;  // lines that start with "problem: "
    };
    const std::string kit_text = to_utf8(kit.wstring());
    const given_case cases[] = {
        {L"/?", {usage_first}, 2, 0},
        {L"-h", {usage_first}, 2, 0},
        {L"--help", {usage_first, "  patch_check [FOLDER] --expect-game GAME"}, 2, 0},
        {L"--check-harder", {"patch_check does not take --check-harder", usage_first}, 2, 0},
        {L"\"" + kit.wstring() + L"\" --expect-game", {"--expect-game takes one game folder", usage_first}, 2, 0},
        {L"\"" + (kit / L"archives").wstring() + L"\"",
         {kit_text + "\\archives is the archives folder itself: checking the folder that holds it, where the installer "
                     "goes",
          "checking the patch in " + kit_text, "copy: a.txt", "ready to ship"},
         0,
         0},
        {(kit / L"ARCHIVES").wstring() + L"\\",  // the path has no blank: no quotes to end in \"
         {"checking the patch in " + kit_text, "copy: a.txt", "ready to ship"},
         0,
         0},
        {L"\"" + (kit / L"missing").wstring() + L"\"",
         {"problem: there is no folder " + kit_text +
              "\\missing: give the patch's folder, the one that holds the installer and its folder \"archives\"",
          "not ready to ship: 1 problem"},
         1,
         1},
        {L"\"" + (kit / L"bare").wstring() + L"\"",
         {"problem: there is no folder \"archives\" in " + kit_text +
              "\\bare: the installer reads config.json and the patch's files from archives beside it",
          "not ready to ship: 1 problem"},
         1,
         1},
    };
    const tree_snapshot before = snapshot(kit);
    for (const given_case& c : cases) {
        SCOPED_TRACE(to_utf8(c.arguments));
        const captured_run run = run_capturing(L"\"" + (kit / L"patch_check.exe").wstring() + L"\" " + c.arguments);
        EXPECT_FALSE(run.timed_out);
        EXPECT_EQ(run.exit_code, c.status) << run.output;
        const std::vector<std::string> lines = lines_of(run.output);
        for (const std::string& expected : c.expected) {
            EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end())
                << "missing: " << expected << "\nin:\n"
                << run.output;
        }
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& line) { return line.rfind("problem: ", 0) == 0; }),
                  static_cast<std::ptrdiff_t>(c.problems))
            << run.output;
        EXPECT_EQ(run.output.find("filesystem error"), std::string::npos) << run.output;
    }
    EXPECT_EQ(snapshot(kit), before);
}

}  // namespace

namespace {

// The author's own unpatched game: the checker writes what the patch
// expects of it, keeping every other member of config.json as it was; the
// installer then installs over that game, and a game that lacks a replaced
// file is refused before anything is written.
TEST(patch_check, expect_game_writes_what_the_patch_expects_and_nothing_else) {
    const fs::path kit = L"C:\\e2e\\expect_kit";
    const fs::path author_game = L"C:\\e2e\\expect_game";
    remove_tree(kit);
    remove_tree(author_game);
    fs::create_directories(kit / L"archives");
    fs::copy_file(built_patch_check(), kit / L"patch_check.exe");
    const std::string config =
        "{\n  \"steam_id\": \"4000\",\n  \"note\": \"the author's own\",\n  \"game_name\": \"Sample "
        "Game\",\n  \"process_name\": \"SampleGame.exe\",\n  \"data_directory\": \"data\",\n  "
        "\"registry_key\": \"e2e expect_game\",\n  \"keep_originals\": true,\n  \"level\": 2.5\n}\n";
    write_file(kit / L"archives" / L"config.json", config);
    write_file(kit / L"archives" / L"a.txt", "patched a");
    write_file(kit / L"archives" / L"data" / L"b.txt", "patched b");
    write_file(kit / L"archives" / L"data" / L"new.txt", "a file the patch adds");
    write_file(author_game / L"a.txt", "original a");
    write_file(author_game / L"data" / L"b.txt", "original b");
    const tree_snapshot game_before = snapshot(author_game);

    const captured_run run = run_capturing(L"\"" + (kit / L"patch_check.exe").wstring() + L"\" \"" + kit.wstring() +
                                           L"\" --expect-game \"" + author_game.wstring() + L"\"");
    EXPECT_EQ(run.exit_code, 0u) << run.output;
    const std::vector<std::string> lines = lines_of(run.output);
    for (const std::string& expected :
         {std::string("expect: a.txt 99124f806bc3b419d37ac573192acec5823aaa1c508f7eea1a6aec21d8cc291a"),
          std::string("expect: data\\b.txt 0063d7660ed630e73ec1d8055051ed757ced9d3051795edb45b65dda0bd5d4ad"),
          std::string("wrote archives\\config.json: \"expects\" lists 2 files of the game (patch_check writes only "
                      "when asked with --expect-game)")}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected << "\nin:\n" << run.output;
    }
    EXPECT_EQ(snapshot(author_game), game_before);
    // Every other member is kept, in its order and with its value.
    const nlohmann::ordered_json written = nlohmann::ordered_json::parse(read_file(kit / L"archives" / L"config.json"));
    const nlohmann::ordered_json original = nlohmann::ordered_json::parse(config);
    std::vector<std::string> keys;
    for (const auto& [key, value] : written.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"steam_id", "note", "game_name", "process_name", "data_directory",
                                              "registry_key", "keep_originals", "level", "expects"}));
    for (const auto& [key, value] : original.items()) EXPECT_EQ(written[key], value) << key;

    // The normal check reports the expectations, and the file without one.
    const captured_run check = run_capturing(L"\"" + (kit / L"patch_check.exe").wstring() + L"\"");
    const std::vector<std::string> report = lines_of(check.output);
    for (const std::string& expected :
         {std::string("expects: a.txt as the game's file the patch was made for"),
          std::string("warning: data\\new.txt has no expectation, while other files do: if it replaces a file of the "
                      "game, run patch_check --expect-game again (a file the patch adds needs none)")}) {
        EXPECT_NE(std::find(report.begin(), report.end(), expected), report.end()) << expected << "\nin:\n"
                                                                                   << check.output;
    }

    // The installer takes the written config, over that very game.
    scenario s(L"expect_install");
    s.installer_folder = kit;
    s.install_executable();
    registered_game registration("e2e expect_game", author_game.wstring());
    expect_installed(s.run());
    EXPECT_EQ(read_file(author_game / L"data" / L"b.txt"), "patched b");

    // A game that lacks a file the patch expects: said, and nothing written.
    const fs::path other_game = L"C:\\e2e\\expect_other";
    remove_tree(other_game);
    write_file(other_game / L"a.txt", "original a");
    const std::string config_before = read_file(kit / L"archives" / L"config.json");
    const captured_run lacking = run_capturing(L"\"" + (kit / L"patch_check.exe").wstring() + L"\" \"" + kit.wstring() +
                                               L"\" --expect-game \"" + other_game.wstring() + L"\"");
    EXPECT_EQ(lacking.exit_code, 1u);
    const std::vector<std::string> refused = lines_of(lacking.output);
    EXPECT_NE(
        std::find(refused.begin(), refused.end(),
                  "problem: the game folder lacks data\\b.txt, which the patch replaces (config.json expects it): "
                  "is this the game's folder, unpatched?"),
        refused.end())
        << lacking.output;
    EXPECT_EQ(refused.back(), "nothing was written");
    EXPECT_EQ(read_file(kit / L"archives" / L"config.json"), config_before);

    // A config.json that cannot be replaced (another program has it open,
    // sharing it for reading only): said, and the archives keep nothing of
    // the attempt.
    write_file(other_game / L"data" / L"b.txt", "original b");
    const fs::path config_file = kit / L"archives" / L"config.json";
    file_handle holder(::CreateFileW(config_file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    const captured_run held = run_capturing(L"\"" + (kit / L"patch_check.exe").wstring() + L"\" \"" + kit.wstring() +
                                            L"\" --expect-game \"" + other_game.wstring() + L"\"");
    holder.reset();
    EXPECT_EQ(held.exit_code, 1u);
    const std::vector<std::string> unwritten = lines_of(held.output);
    EXPECT_NE(std::find(unwritten.begin(), unwritten.end(), "problem: archives\\config.json cannot be written"),
              unwritten.end())
        << held.output;
    EXPECT_EQ(read_file(config_file), config_before);
    EXPECT_FALSE(fs::exists(kit / L"archives" / L"config.json.partial"));
}

}  // namespace
