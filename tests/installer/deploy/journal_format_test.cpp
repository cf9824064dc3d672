#include "installer/deploy/journal_format.hpp"

#include <gtest/gtest.h>

namespace {

planned_file file(file_action action, std::wstring place, std::wstring aside = {}, std::wstring former = {},
                  file_stamp stamp = {}) {
    planned_file f;
    f.action = action;
    f.place = std::move(place);
    f.aside = std::move(aside);
    f.former = std::move(former);
    f.source_stamp = stamp;
    return f;
}

run_plan install_plan() {
    run_plan plan;
    plan.files = {
        file(file_action::add, L"levels\\deep\\one.pak", {}, {}, {10, 133'000'000'000'000'000}),
        file(file_action::replace, L"bin\\Game.DLL", L"bin\\Game.DLL.before-patch", {}, {20, 2}),
        file(file_action::update, L"readme.txt", L"readme.txt.while-patching", {}, {30, 3}),
        file(file_action::update, L"gone.txt", {}, {}, {0, 4}),
        file(file_action::refresh, L"data\\b.bin", L"data\\b.bin.before-patch-2", L"data\\b.bin.before-patch", {5, 5}),
        // A name Windows allows and UTF-8 cannot say: an unpaired surrogate.
        file(file_action::add, L"\u00E9t\u00E9 \u65E5" + std::wstring(1, static_cast<wchar_t>(0xD800)), {}, {}, {1, 1}),
    };
    plan.folders = {L"levels", L"levels\\deep"};
    return plan;
}

run_plan removal_plan() {
    run_plan plan;
    plan.kind = run_kind::remove;
    plan.files = {
        file(file_action::take_away, L"levels\\deep\\one.pak", L"levels\\deep\\one.pak.while-patching"),
        file(file_action::restore, L"bin\\Game.DLL", L"bin\\Game.DLL.while-patching", L"bin\\Game.DLL.before-patch"),
    };
    plan.folders = {L"levels", L"levels\\deep"};
    return plan;
}

// An install that was kept and tidied up, and a removal that had restored.
std::string two_runs() {
    return journal_header() + plan_records(install_plan()) + stage_record(run_kind::install, run_stage::set_aside) +
           stage_record(run_kind::install, run_stage::copied) + written_records({{L"readme.txt", {30, 99}}}) +
           stage_record(run_kind::install, run_stage::verified) + stage_record(run_kind::install, run_stage::kept) +
           stage_record(run_kind::install, run_stage::cleaned) + plan_records(removal_plan()) +
           stage_record(run_kind::remove, run_stage::set_aside) + stage_record(run_kind::remove, run_stage::copied);
}

TEST(journal, reads_back_what_it_wrote) {
    const std::string text = two_runs();
    const journal_contents journal = read_journal(text);
    ASSERT_TRUE(journal.readable);
    ASSERT_EQ(journal.runs.size(), 2u);
    EXPECT_EQ(journal.runs[0].plan, install_plan());
    EXPECT_EQ(journal.runs[0].reached, run_stage::cleaned);
    EXPECT_EQ(journal.runs[0].written, (std::vector<written_file>{{L"readme.txt", {30, 99}}}));
    EXPECT_EQ(journal.runs[1].plan, removal_plan());
    EXPECT_EQ(journal.runs[1].reached, run_stage::copied);
    EXPECT_FALSE(journal.runs[1].putting_back);
    // The second run starts where its "run" line does: a put-back cuts back to there.
    EXPECT_EQ(text.substr(journal.runs[1].begins_at, 11), "run\tremove\n");
    EXPECT_EQ(text.substr(journal.runs[0].begins_at, 4), "run\t");
    // A person reads it: the removal's stages carry their own words.
    EXPECT_NE(text.find("\nrestored\n"), std::string::npos);
    EXPECT_NE(text.find("\nreplace\tbin\\Game.DLL\tbin\\Game.DLL.before-patch\t20\t2\n"), std::string::npos);
}

TEST(journal, a_torn_or_damaged_line_ends_it_and_what_came_before_stands) {
    const std::string whole = two_runs();
    const std::string before_last = whole.substr(0, whole.size() - std::string("restored\n").size());
    struct torn_case {
        const char* name;
        std::string text;
        std::size_t runs;
        run_stage last_reached;
        bool putting_back;
    };
    const torn_case cases[] = {
        {"the last record torn", before_last + "resto", 2, run_stage::set_aside, false},
        {"the last record written but its line end not", before_last + "restored", 2, run_stage::set_aside, false},
        {"zeros where the drive lost the last write", before_last + std::string(40, '\0'), 2, run_stage::set_aside,
         false},
        {"a damaged record with more after it", before_last + "rest\x01red\nremoved\n", 2, run_stage::set_aside, false},
        {"a stage out of order", before_last + "removed\n", 2, run_stage::set_aside, false},
        {"a plan torn before it was complete", journal_header() + "run\tinstall\tkeep originals\nadd\tlev", 1,
         run_stage::planning, false},
        {"a put-back begun", before_last + putting_back_record(), 2, run_stage::set_aside, true},
        {"a stage after putting back began", before_last + putting_back_record() + "restored\n", 2,
         run_stage::set_aside, true},
        {"a new run while the last was not kept", before_last + plan_records(install_plan()), 2, run_stage::set_aside,
         false},
    };
    for (const torn_case& c : cases) {
        SCOPED_TRACE(c.name);
        const journal_contents journal = read_journal(c.text);
        EXPECT_TRUE(journal.readable);
        ASSERT_EQ(journal.runs.size(), c.runs);
        EXPECT_EQ(journal.runs.back().reached, c.last_reached);
        EXPECT_EQ(journal.runs.back().putting_back, c.putting_back);
        EXPECT_EQ(journal.runs.front().reached, c.runs == 2 ? run_stage::cleaned : c.last_reached);
    }
}

TEST(journal, an_empty_or_unfinished_file_holds_no_run_and_another_format_is_unreadable) {
    const std::tuple<const char*, std::string, bool> cases[] = {
        {"empty", "", true},
        {"a header torn", "patch jou", true},
        {"zeros only", std::string(512, '\0'), true},
        {"the header alone", journal_header(), true},
        {"lines ending in CR LF, as an editor may save them", "patch journal 1\r\n# note\r\n", true},
        {"a later format", "patch journal 2\nrun\tinstall\tkeep originals\n", false},
        {"no journal at all", "{\"game_name\": \"x\"}\n", false},
    };
    for (const auto& [name, text, readable] : cases) {
        SCOPED_TRACE(name);
        const journal_contents journal = read_journal(text);
        EXPECT_EQ(journal.readable, readable);
        EXPECT_TRUE(journal.runs.empty());
    }
}

TEST(journal, a_run_that_got_no_further_than_its_first_rename_reads_as_planned) {
    const journal_contents journal = read_journal(journal_header() + plan_records(install_plan()));
    ASSERT_EQ(journal.runs.size(), 1u);
    EXPECT_EQ(journal.runs[0].reached, run_stage::planned);
    EXPECT_EQ(journal.runs[0].plan, install_plan());
}

TEST(journal, refuses_to_write_a_name_that_would_split_its_line) {
    run_plan plan;
    plan.files = {file(file_action::add, L"a\tb")};
    EXPECT_THROW(plan_records(plan), std::invalid_argument);
    plan.files = {file(file_action::add, L"a\nb")};
    EXPECT_THROW(plan_records(plan), std::invalid_argument);
}

}  // namespace
