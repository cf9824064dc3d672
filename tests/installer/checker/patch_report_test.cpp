#include "installer/checker/patch_report.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

bool has_line(const patch_report& report, report_kind kind, const std::wstring& text) {
    return std::any_of(report.lines.begin(), report.lines.end(),
                       [&](const report_line& line) { return line.kind == kind && line.text == text; });
}

patch_report_input ready_input(std::vector<std::wstring> files) {
    patch_report_input input;
    input.folder = L"C:\\Kit";
    input.config_loaded = true;
    input.config_file_name = L"config.json";
    input.game_name = L"Game";
    input.process_name = L"Game.exe";
    input.steam_id = L"4242";
    input.files = std::move(files);
    return input;
}

// The deepest game folder a patch fits: a file must fit 259 units, a folder
// the copy creates 247, each below "<game folder>\". A destination that fits
// no game folder, or that cannot even be unpacked, is one problem that names
// it, with no limit of 0 characters.
TEST(build_patch_report, works_out_how_deep_a_game_folder_may_lie) {
    struct depth_case {
        std::vector<std::wstring> files;
        report_kind kind;
        std::wstring line;
    };
    const std::wstring long_name(300, L'n');
    const std::wstring long_folder = std::wstring(250, L'f') + L"\\a";
    const std::wstring unpackable = L"x\\" + std::wstring(248, L'y');  // fits C:\G, but not archives\ below any folder
    const depth_case cases[] = {
        {{L"a.pak"},
         report_kind::note,
         L"the longest destination is a.pak (5 characters): a game folder's path may be up to 253 characters long"},
        {{L"data\\a.pak", L"readme.txt"},
         report_kind::note,
         L"the longest destination is data\\a.pak (10 characters): a game folder's path may be up to 242 characters "
         L"long"},
        {{L"x\\" + std::wstring(240, L'y')},
         report_kind::note,
         L"the longest destination is x\\" + std::wstring(240, L'y') +
             L" (242 characters): a game folder's path may be up to 16 characters long"},
        {{L"a.pak", long_name},
         report_kind::problem,
         long_name + L": this destination is 300 characters long, too long for any game folder (a file's whole path "
                     L"may be up to 259 characters); shorten the patch's folders and names"},
        // The folder the copy creates is what does not fit, not the longer file.
        {{long_folder, std::wstring(252, L'z')},
         report_kind::problem,
         long_folder + L": this destination is 252 characters long, too long for any game folder (a file's whole "
                       L"path may be up to 259 characters); shorten the patch's folders and names"},
        {{unpackable},
         report_kind::problem,
         unpackable + L": as archives\\" + unpackable +
             L" this file is too long to be unpacked into any folder (a file's whole path may be up to 259 "
             L"characters); shorten the patch's folders and names"},
    };
    for (const depth_case& c : cases) {
        SCOPED_TRACE(c.files.back().size());
        const patch_report report = build_patch_report(ready_input(c.files));
        const std::wstring text = render_patch_report(report);
        EXPECT_TRUE(has_line(report, c.kind, c.line)) << text;
        EXPECT_EQ(text.find(L" 0 characters"), std::wstring::npos) << text;
        // C:\Program Files (x86)\Steam\steamapps\common\Game is 50 units.
        EXPECT_EQ(report.ready(), c.kind == report_kind::note && c.files.back().size() < 200) << text;
        // Nothing more is said of a destination that fits no game folder.
        if (c.line.find(L"too long for any game folder") != std::wstring::npos) {
            EXPECT_EQ(report.problems, 1u) << text;
        }
    }
}

TEST(build_patch_report, counts_problems_for_the_verdict) {
    patch_report_input input = ready_input({L"a.pak"});
    EXPECT_TRUE(build_patch_report(input).ready());
    input.process_name = L"Game";
    input.notes.links = {L"linked"};
    input.notes.empty_folders = {L"empty"};  // a warning, no problem
    const patch_report report = build_patch_report(input);
    EXPECT_EQ(report.problems, 2u);
    const std::wstring text = render_patch_report(report);
    EXPECT_EQ(text.substr(text.size() - 30), L"not ready to ship: 2 problems\n");
}

}  // namespace
