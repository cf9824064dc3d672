// The real installer under Wine with a patch that knows which game version
// it fits ("expects"): a game of another version is refused before anything
// is written.
#include "tests/e2e/game_case.hpp"

namespace {

using game_version = game_case;

const std::string hash_a = "99124f806bc3b419d37ac573192acec5823aaa1c508f7eea1a6aec21d8cc291a";  // "original a"
const std::string hash_b = "0063d7660ed630e73ec1d8055051ed757ced9d3051795edb45b65dda0bd5d4ad";  // "original b"
const std::string hash_c = "8b0aa3efb723f7664e81cc589ef292ddc935bdef304a6af5063cefdc73904e28";  // "original c"

std::string config_expecting(const config_fields& fields, const std::string& expects) {
    std::string text = config_text(fields);
    text.insert(text.rfind('}'), ",\n  \"expects\": {" + expects + "}\n");
    return text;
}

TEST_F(game_version, a_patch_made_for_another_version_is_refused_before_anything_is_written) {
    const std::string all_three = R"("a.txt": ")" + hash_a + R"(", "data\\b.txt": ")" + hash_b +
                                  R"(", "data\\c.txt": ")" + hash_c + "\"";
    struct version_case {
        const char* name;
        std::string expects;
        std::function<void(const fs::path& game)> change;  // how the player's game differs
        unsigned status;
        std::vector<std::wstring> fragments;
    };
    const version_case cases[] = {
        {"every file as the patch expects", all_three, [](const fs::path&) {}, 0, {}},
        {"no expectation at all", "", [](const fs::path& game) { write_file(game / L"a.txt", "not the original"); }, 0,
         {}},
        {"one file of another version", all_three,
         [](const fs::path& game) { write_file(game / L"data" / L"b.txt", "not the original"); }, 3,
         {L"\\data\\b.txt\n", L"this patch was made for another version of the game: this file is not the one the "
                                  L"patch was made for\n"}},
        {"several files of another version", all_three,
         [](const fs::path& game) {
             write_file(game / L"a.txt", "not the original");
             write_file(game / L"data" / L"c.txt", "not the original");
         },
         3, {L"\\Game\\a.txt\n", L"(2 files differ from those the patch was made for)"}},
        {"a file the patch expects is not there", all_three,
         [](const fs::path& game) { fs::remove(game / L"data" / L"b.txt"); }, 3,
         {L"\\data\\b.txt\n", L"this file, which the patch was made to replace, is not in the game folder"}},
    };
    for (const version_case& c : cases) {
        SCOPED_TRACE(c.name);
        scenario& s = make(L"version");
        write_file(s.archives() / L"config.json", config_expecting(fields, c.expects));
        for (const wchar_t* place : {L"a.txt", L"data\\b.txt", L"data\\c.txt"}) {
            write_file(s.archives() / place, "patched");
        }
        write_file(game / L"a.txt", "original a");
        write_file(game / L"data" / L"b.txt", "original b");
        write_file(game / L"data" / L"c.txt", "original c");
        c.change(game);
        const tree_snapshot before = snapshot(s.root);
        watched_run run = s.run();
        if (c.status == 0) {
            expect_installed(run);
            EXPECT_EQ(read_file(game / L"data" / L"b.txt"), "patched");
            continue;
        }
        std::vector<std::wstring> fragments = c.fragments;
        fragments.push_back(L"Nothing was copied; the game is unchanged.");
        fragments.push_back(L"Update the game through Steam, or get the version of the patch made for your game.");
        expect_box(run, 3, fragments);
        EXPECT_EQ(snapshot(s.root), before);
    }
}

// Installed once, the game holds the patch's files; installing again judges
// the originals the first install kept, and the version still fits.
TEST_F(game_version, installing_again_judges_the_originals_the_first_install_kept) {
    scenario& s = make(L"version_again");
    write_file(s.archives() / L"config.json", config_expecting(fields, R"("a.txt": ")" + hash_a + "\""));
    write_file(s.archives() / L"a.txt", "patched");
    write_file(game / L"a.txt", "original a");
    expect_installed(s.run());
    expect_installed(s.run());
    EXPECT_EQ(read_file(game / L"a.txt.before-patch"), "original a");
}

}  // namespace
