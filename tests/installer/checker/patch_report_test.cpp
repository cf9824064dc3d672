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
    input.files = std::move(files);
    return input;
}

// The deepest game folder a patch fits: a file must fit 259 units, a folder
// the copy creates 247, each below "<game folder>\".
TEST(build_patch_report, works_out_how_deep_a_game_folder_may_lie) {
    struct depth_case {
        std::vector<std::wstring> files;
        std::wstring longest;
        unsigned allowed;
    };
    const depth_case cases[] = {
        {{L"a.pak"}, L"a.pak (5 characters)", 253},
        {{L"data\\a.pak", L"readme.txt"}, L"data\\a.pak (10 characters)", 242},
        {{L"x\\" + std::wstring(240, L'y')}, L"x\\" + std::wstring(240, L'y') + L" (242 characters)", 16},
        {{std::wstring(300, L'n')}, std::wstring(300, L'n') + L" (300 characters)", 0},
    };
    for (const depth_case& c : cases) {
        SCOPED_TRACE(c.allowed);
        const patch_report report = build_patch_report(ready_input(c.files));
        EXPECT_TRUE(has_line(report, report_kind::note,
                             L"the longest destination is " + c.longest + L": a game folder's path may be up to " +
                                 std::to_wstring(c.allowed) + L" characters long"))
            << render_patch_report(report);
        // C:\Program Files (x86)\Steam\steamapps\common\Game is 50 units.
        EXPECT_EQ(report.ready(), c.allowed >= 50);
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
