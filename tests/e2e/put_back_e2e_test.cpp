// The real installer under Wine, after the first change to the game folder:
// another program gets in the copy's way at a chosen moment (the
// interferer, tools/interferer.cpp), and the run must put the game back
// exactly (status 4) or name what it could not put back (status 5).
#include <functional>

#include "tests/e2e/game_case.hpp"

namespace {

using put_back = game_case;

constexpr std::size_t patch_file_size = 64;

std::string patch_bytes(const std::wstring& name) {
    std::string bytes = "patched " + to_utf8(name) + " ";
    bytes.resize(patch_file_size, 'p');
    return bytes;
}

// `count` patch files data\f000.bin, ... below `folder` of the patch (all
// of patch_file_size bytes), and, when `replacing`, an original of each in
// the game (of another size, so that an arrival can be told by its size).
void lay_out_files(scenario& s, const fs::path& game, const std::wstring& folder, int count, bool replacing) {
    for (int i = 0; i < count; ++i) {
        wchar_t name[16];
        swprintf(name, 16, L"f%03d.bin", i);
        write_file(s.archives() / folder / name, patch_bytes(name));
        if (replacing) write_file(game / folder / name, "original " + to_utf8(name));
    }
}

// The moment a file of the copy has arrived in <game>\<folder>, which holds
// `count` of them, and more are to come.
std::vector<std::wstring> arrival_in(const fs::path& game, const std::wstring& folder, int count) {
    return {L"arrival", (game / folder).wstring(), std::to_wstring(patch_file_size), std::to_wstring(count)};
}

std::vector<std::wstring> operator+(std::vector<std::wstring> left, const std::vector<std::wstring>& right) {
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

struct put_back_case {
    const char* name;
    std::function<void(scenario&, const fs::path& game)> lay_out;
    std::function<std::vector<std::wstring>(scenario&, const fs::path& game)> interferer;
    unsigned status;
    // Parts of the box, given the file the interferer acted on.
    std::function<std::vector<std::wstring>(const std::wstring& subject)> fragments;
    std::vector<std::wstring> absent = {};  // parts the box must not hold
    // What the scenario holds afterwards, given what it held before; by
    // default exactly that.
    std::function<void(tree_snapshot& before, const fs::path& game, const std::wstring& subject)> change = {};
    std::function<void(const fs::path& game)> extra_check = {};
};

const std::wstring as_before = L"The game folder is as it was before";
const std::wstring not_arrived = L"because the copy failed: a file did not arrive complete.";

std::wstring relative_to(const fs::path& root, const std::wstring& path) {
    return fs::path(path).lexically_relative(root).wstring();
}

TEST_F(put_back, a_copy_that_fails_after_the_first_change_is_put_back_or_names_what_is_left) {
    const put_back_case cases[] = {
        {"a file changed after it arrived, its size kept: only its time and bytes tell",
         [](scenario& s, const fs::path& game) { lay_out_files(s, game, L"data", 100, true); },
         [](scenario&, const fs::path& game) { return arrival_in(game, L"data", 100) + std::vector<std::wstring>{L"change-time"}; },
         4,
         [](const std::wstring& subject) {
             return std::vector<std::wstring>{not_arrived, L"File: " + subject + L"\n", as_before};
         }},
        {"originals not to be kept: a file changed after it arrived still brings them all back",
         [](scenario& s, const fs::path& game) {
             write_file(s.archives() / L"config.json",
                        R"({"game_name":"Sample Game","process_name":"SampleGame.exe","data_directory":"d",)"
                        R"("registry_key":"e2e put_back","steam_id":"4000","keep_originals":false})");
             lay_out_files(s, game, L"data", 100, true);
         },
         [](scenario&, const fs::path& game) { return arrival_in(game, L"data", 100) + std::vector<std::wstring>{L"change-time"}; },
         4,
         [](const std::wstring& subject) {
             return std::vector<std::wstring>{not_arrived, L"File: " + subject + L"\n", as_before};
         }},
        {"a file grown after it arrived",
         [](scenario& s, const fs::path& game) { lay_out_files(s, game, L"data", 100, true); },
         [](scenario&, const fs::path& game) { return arrival_in(game, L"data", 100) + std::vector<std::wstring>{L"change-size"}; },
         4,
         [](const std::wstring& subject) {
             return std::vector<std::wstring>{not_arrived, L"File: " + subject + L"\n", as_before};
         }},
        {"a scanner holds a fresh copy for 300 ms while the copy is put back",
         [](scenario& s, const fs::path& game) { lay_out_files(s, game, L"data", 100, true); },
         [](scenario& s, const fs::path& game) {
             return arrival_in(game, L"data", 100) +
                    std::vector<std::wstring>{L"hold", L"300", L"lock-sources", (s.archives() / L"data").wstring()};
         },
         4,
         [](const std::wstring&) { return std::vector<std::wstring>{L"because the copy failed", as_before}; }},
        {"a copy held for good: its original waits beside it, and both are named",
         [](scenario& s, const fs::path& game) { lay_out_files(s, game, L"data", 100, true); },
         [](scenario& s, const fs::path& game) {
             return arrival_in(game, L"data", 100) +
                    std::vector<std::wstring>{L"hold", L"0", L"lock-sources", (s.archives() / L"data").wstring()};
         },
         5,
         [](const std::wstring& subject) {
             return std::vector<std::wstring>{
                 L"The game folder could not be put back as it was",
                 L"Your original files are safe beside the game's files, with \".before-patch\" added to their "
                 L"names:\n" + subject + L".before-patch",
                 L"These files or folders of the patch could not be removed:\n" + subject, L"run the patch again"};
         },
         {},
         [](tree_snapshot& before, const fs::path& game, const std::wstring& subject) {
             const std::wstring place = relative_to(game.parent_path(), subject);
             before[place + L".before-patch"] = before[place];
             before[place] = patch_bytes(fs::path(subject).filename().wstring());
         }},
        {"only a new file held for good: the game is not as before",
         [](scenario& s, const fs::path& game) {
             write_file(s.archives() / L"a.txt", "patched a");
             write_file(game / L"a.txt", "original a");
             lay_out_files(s, game, L"data", 100, false);
         },
         [](scenario& s, const fs::path& game) {
             return arrival_in(game, L"data", 100) +
                    std::vector<std::wstring>{L"hold", L"0", L"lock-sources", (s.archives() / L"data").wstring()};
         },
         5,
         [](const std::wstring& subject) {
             return std::vector<std::wstring>{L"The game folder could not be put back as it was",
                                              L"These files or folders of the patch could not be removed:\n" + subject};
         },
         {as_before, L"Your original files are safe"},
         [](tree_snapshot& before, const fs::path& game, const std::wstring& subject) {
             before[L"Game\\data"] = "<folder>";
             before[relative_to(game.parent_path(), subject)] = patch_bytes(fs::path(subject).filename().wstring());
         }},
        {"folders on the way: the game's own stay, even empty; new nested ones go",
         [](scenario& s, const fs::path& game) {
             write_file(s.archives() / L"a.txt", "patched a");
             write_file(game / L"a.txt", "original a");
             write_file(s.archives() / L"data" / L"y.txt", "patched y");
             write_file(game / L"data" / L"other.txt", "the game's own");
             write_file(s.archives() / L"empty" / L"x.txt", "patched x");
             fs::create_directories(game / L"empty");
             write_file(s.archives() / L"new" / L"deeper" / L"deepest" / L"z.txt", "patched z");
             write_file(s.archives() / L"z.txt", "patched z");
             write_file(game / L"z.txt", "original z");
             ::SetFileAttributesW((game / L"z.txt").c_str(), FILE_ATTRIBUTE_READONLY);
             lay_out_files(s, game, L"zz", 100, false);
         },
         [](scenario& s, const fs::path& game) {
             return arrival_in(game, L"zz", 100) +
                    std::vector<std::wstring>{L"lock-sources", (s.archives() / L"zz").wstring()};
         },
         4,
         [](const std::wstring&) { return std::vector<std::wstring>{L"because the copy failed", as_before}; },
         {},
         {},
         [](const fs::path& game) {
             EXPECT_EQ(::GetFileAttributesW((game / L"z.txt").c_str()) & FILE_ATTRIBUTE_READONLY,
                       DWORD{FILE_ATTRIBUTE_READONLY});
         }},
        {"an original gets back its own spelling of its name",
         [](scenario& s, const fs::path& game) {
             write_file(s.archives() / L"data" / L"b.bin", "patched b");
             write_file(game / L"DATA" / L"B.BIN", "original B");
             lay_out_files(s, game, L"zz", 100, false);
         },
         [](scenario& s, const fs::path& game) {
             return arrival_in(game, L"zz", 100) +
                    std::vector<std::wstring>{L"lock-sources", (s.archives() / L"zz").wstring()};
         },
         4,
         [](const std::wstring&) { return std::vector<std::wstring>{L"because the copy failed", as_before}; }},
        {"a patch that holds a file's set-aside name as a file of its own",
         [](scenario& s, const fs::path& game) {
             write_file(s.archives() / L"a.dll", "patched a.dll");
             write_file(s.archives() / L"a.dll.before-patch", "the patch's own file of that name");
             write_file(game / L"a.dll", "original a.dll");
             lay_out_files(s, game, L"zz", 100, false);
         },
         [](scenario& s, const fs::path& game) {
             return arrival_in(game, L"zz", 100) +
                    std::vector<std::wstring>{L"lock-sources", (s.archives() / L"zz").wstring()};
         },
         4,
         [](const std::wstring&) { return std::vector<std::wstring>{L"because the copy failed", as_before}; }},
    };
    for (const put_back_case& c : cases) {
        SCOPED_TRACE(c.name);
        run_until_interfered([&] {
            scenario& s = make(L"put_back");
            c.lay_out(s, game);
            tree_snapshot expected = snapshot(s.root);
            auto other = std::make_unique<interference>(c.interferer(s, game));
            watched_run run = s.run();
            const std::wstring subject = other->subject();
            if (!other->acted()) return false;
            other.reset();  // lets go of what it holds, so that the snapshot can read it
            expect_box(run, c.status, c.fragments(subject));
            for (const std::wstring& absent : c.absent) {
                EXPECT_EQ(run.boxes.at(0).text.find(absent), std::wstring::npos) << "unexpected: " << absent;
            }
            if (c.change) c.change(expected, game, subject);
            EXPECT_EQ(without_journal(snapshot(s.root)), expected);
            // What could not be put back is left for the next run to finish.
            EXPECT_EQ(has_journal(game), c.status == 5);
            if (c.extra_check) c.extra_check(game);
            return true;
        });
    }
}

TEST_F(put_back, a_patch_may_hold_a_file_named_like_a_set_aside_original) {
    scenario& s = make(L"set_aside_name_in_patch");
    write_file(s.archives() / L"a.dll", "patched a.dll");
    write_file(s.archives() / L"a.dll.before-patch", "the patch's own file of that name");
    write_file(game / L"a.dll", "original a.dll");
    expect_installed(s.run());
    EXPECT_EQ(read_file(game / L"a.dll"), "patched a.dll");
    EXPECT_EQ(read_file(game / L"a.dll.before-patch"), "the patch's own file of that name");
}

}  // namespace
