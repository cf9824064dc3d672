// The real installer under Wine: configuration handling, the boxes a player
// sees and the exit statuses, for runs that end before anything is copied.
#include <gtest/gtest.h>

#include "tests/e2e/scenario.hpp"

namespace {

constexpr wchar_t not_found_text[] = L"This patch requires Sample Game. Please install it first.";
constexpr wchar_t system_default_caption[] = L"Error";

class run_sequence : public ::testing::Test {
protected:
    void SetUp() override { delete_user_tree(L"Software\\Valve\\Steam"); }
};

void expect_single_plain_box(const watched_run& run) {
    ASSERT_FALSE(run.timed_out);
    ASSERT_EQ(run.boxes.size(), 1u);
    const seen_box& box = run.boxes.front();
    EXPECT_FALSE(box.has_owner);
    EXPECT_TRUE(box.has_ok);
    EXPECT_FALSE(box.has_cancel);
    EXPECT_FALSE(box.has_icon);
}

TEST_F(run_sequence, game_found_nowhere_gets_the_not_found_box_with_the_default_title) {
    scenario s(L"not_found");
    s.install_executable();
    s.write_config({});
    watched_run run = s.run();
    expect_single_plain_box(run);
    EXPECT_EQ(run.exit_code, 2u);
    EXPECT_EQ(run.boxes.at(0).caption, system_default_caption);
    EXPECT_EQ(run.boxes.at(0).text, not_found_text);
}

struct config_case {
    const char* name;
    std::string bytes;  // config.json's content; absent file when null_file
    bool no_file;
    const wchar_t* error;  // a part of the failure text; none: the run reads the file
    bool as_folder = false;  // config.json is a folder
    const wchar_t* plain = nullptr;  // the plain words that lead the error
};

const std::string valid = config_text({});

TEST_F(run_sequence, configuration_files_are_accepted_or_end_the_run_with_status_3) {
    const config_case cases[] = {
        {"missing", "", true, L"Error: config.json was not found in the folder \"archives\""},
        {"empty", "", false, L"[json.exception.parse_error.101]"},
        {"blanks_only", " \r\n\t\r\n", false, L"[json.exception.parse_error.101]"},
        {"malformed", "{\"game_name\": }", false, L"[json.exception.parse_error.101]"},
        {"comment", "{ // the game\n\"game_name\": \"x\" }", false, L"[json.exception.parse_error.101]"},
        {"top_level_array", "[\"game_name\"]", false,
         L"[json.exception.type_error.305] cannot use operator[] with a string argument with array"},
        {"steam_id_number",
         R"({"game_name":"G","process_name":"g.exe","data_directory":"d","registry_key":"k","steam_id":4000})", false,
         L"[json.exception.type_error.302] type must be string, but is number", false,
         L"Error: steam_id must be a JSON string such as \"4242\", but it is a number ("},
        {"missing_member", R"({"game_name":"G","process_name":"g.exe","data_directory":"d","registry_key":"k"})", false,
         L"config.json has no member \"steam_id\"", false,
         L"Error: steam_id is missing: add it, a JSON string such as \"4242\" ("},
        {"utf16", std::string("\xFF\xFE{\0\"\0g\0", 7), false, L"[json.exception.parse_error.101]", false,
         L"Error: config.json is saved as UTF-16: save it as UTF-8 ("},
        {"capitalised_key",
         R"({"Game_name":"G","process_name":"g.exe","data_directory":"d","registry_key":"k","steam_id":"1"})", false,
         L"config.json has no member \"game_name\""},
        {"a folder named config.json", "", true,
         L"Error: config.json in the folder \"archives\" is a folder, not a file", true},
        {"text_after_object", valid + "} this is not JSON {", false, nullptr},
        {"byte_order_mark", "\xEF\xBB\xBF" + valid, false, nullptr},
        {"crlf_and_extra_members",
         "{\r\n\"extra\": [1, 2],\r\n\"steam_id\": \"4000\",\r\n\"registry_key\": \"e2e-not-registered\",\r\n"
         "\"data_directory\": \"\",\r\n\"process_name\": \"SampleGame.exe\",\r\n\"game_name\": \"Sample Game\"\r\n}",
         false, nullptr},
    };
    for (const config_case& c : cases) {
        SCOPED_TRACE(c.name);
        scenario s(L"config");
        s.install_executable();
        if (!c.no_file) write_file(s.archives() / L"config.json", c.bytes);
        if (c.as_folder) fs::create_directories(s.archives() / L"config.json");
        const tree_snapshot before = snapshot(s.root);
        watched_run run = s.run();
        expect_single_plain_box(run);
        // A not-found game searched Steam (none here) and wrote its log.
        expect_unchanged_but_log(before, snapshot(s.root));
        if (c.error) {
            EXPECT_EQ(run.exit_code, 3u);
            const std::wstring& text = run.boxes.at(0).text;
            EXPECT_EQ(run.boxes.at(0).caption, L"Patch installer");
            EXPECT_NE(text.find(L"reading the configuration failed"), std::wstring::npos) << text;
            EXPECT_NE(text.find(L"File: " + (s.archives() / L"config.json").wstring()), std::wstring::npos) << text;
            EXPECT_NE(text.find(c.error), std::wstring::npos) << text;
            if (c.plain) {
                EXPECT_NE(text.find(c.plain), std::wstring::npos) << text;
            }
            EXPECT_NE(text.find(L"Nothing was copied"), std::wstring::npos) << text;
            EXPECT_NE(text.find(L"The patch download is incomplete or damaged: download it again, or contact the "
                                L"patch's author."),
                      std::wstring::npos)
                << text;
        } else {
            EXPECT_EQ(run.exit_code, 2u);
            EXPECT_EQ(run.boxes.at(0).text, not_found_text);
        }
    }
}

// Without "archives" beside it, the box names where it looked. Started from
// a zip's temporary folder (as Windows starts a program inside a zip), it
// asks for the download to be extracted first, not downloaded again.
TEST_F(run_sequence, an_installer_without_its_archives_folder_says_where_it_looked) {
    struct folder_case {
        const wchar_t* installer_folder;  // below the scenario's root
        const wchar_t* advice;
        const wchar_t* not_advised;
    };
    const folder_case cases[] = {
        {L"installer", L"The patch download is incomplete or damaged: download it again", L"Extract all files"},
        {L"Temp1_Starfall Patch 1.2.zip",
         L"The patch was started from inside its download. Extract all files of the download to a folder first (in "
         L"Windows, right-click the downloaded file and choose \"Extract All\"), then run the patch from that folder.",
         L"download it again"},
        {L"Temp1_Starfall Patch 1.2.zip\\Starfall Patch", L"Extract all files of the download", L"download it again"},
    };
    for (const folder_case& c : cases) {
        SCOPED_TRACE(to_utf8(c.installer_folder));
        scenario s(L"no_archives");
        fs::remove_all(s.archives());
        s.installer_folder = s.root / c.installer_folder;
        s.install_executable();
        const tree_snapshot before = snapshot(s.root);
        for (bool remover : {false, true}) {
            watched_run run = remover ? s.run_remover() : s.run();
            expect_single_plain_box(run);
            EXPECT_EQ(run.exit_code, 3u);
            const std::wstring& text = run.boxes.at(0).text;
            EXPECT_NE(text.find(L"File: " + (s.archives() / L"config.json").wstring() + L"\n"), std::wstring::npos)
                << text;
            EXPECT_NE(text.find(L"Error: config.json was not found: there is no folder \"archives\" beside the "
                                L"installer"),
                      std::wstring::npos)
                << text;
            EXPECT_NE(text.find(c.advice), std::wstring::npos) << text;
            EXPECT_EQ(text.find(c.not_advised), std::wstring::npos) << text;
            EXPECT_EQ(snapshot(s.root), before);
        }
    }
}

TEST_F(run_sequence, game_name_fills_the_message_as_written) {
    struct name_case {
        std::string game_name;
        std::wstring text;
    };
    const name_case cases[] = {
        {"\xC3\x86r\xC3\xB8 \xE2\x80\x94 \xE6\x97\xA5\xE6\x9C\xAC",
         L"This patch requires \u00C6r\u00F8 \u2014 \u65E5\u672C. Please install it first."},
        {"", L"This patch requires . Please install it first."},
        {"{} and {0}", L"This patch requires {} and {0}. Please install it first."},
    };
    for (const name_case& c : cases) {
        SCOPED_TRACE(c.game_name);
        scenario s(L"game_name");
        s.install_executable();
        config_fields fields;
        fields.game_name = c.game_name;
        s.write_config(fields);
        watched_run run = s.run();
        expect_single_plain_box(run);
        EXPECT_EQ(run.exit_code, 2u);
        EXPECT_EQ(run.boxes.at(0).text, c.text);
    }
}

TEST_F(run_sequence, command_line_arguments_change_nothing) {
    scenario s(L"arguments");
    s.install_executable();
    s.write_config({});
    watched_run run = s.run(L"/S --silent C:\\elsewhere \"two words\"");
    expect_single_plain_box(run);
    EXPECT_EQ(run.exit_code, 2u);
    EXPECT_EQ(run.boxes.at(0).text, not_found_text);
}

TEST_F(run_sequence, executable_in_a_drive_root_finds_archives_there) {
    // R: is mapped to a folder of the build tree by the prefix set-up.
    const fs::path root = L"R:\\";
    std::error_code ignored;
    fs::remove_all(root / L"archives", ignored);
    scenario s(L"drive_root");
    s.install_executable(root);
    s.installer_folder = root;

    watched_run missing = s.run();
    EXPECT_EQ(missing.exit_code, 3u);
    ASSERT_EQ(missing.boxes.size(), 1u);
    EXPECT_NE(missing.boxes[0].text.find(L"File: R:\\archives\\config.json\n"), std::wstring::npos)
        << missing.boxes[0].text;

    s.write_config({});
    watched_run found = s.run();
    EXPECT_EQ(found.exit_code, 2u);
    ASSERT_EQ(found.boxes.size(), 1u);
    EXPECT_EQ(found.boxes[0].text, not_found_text);
}

TEST_F(run_sequence, executable_path_of_the_longest_startable_length_is_read_whole) {
    // 259 units fill the first 260-unit buffer but for its terminator; Windows
    // (and Wine) start no program from a longer path without long-path support.
    scenario s(L"long_path");
    fs::path deep = s.root / L"x";
    deep += std::wstring(259 - deep.wstring().size() - std::wstring(L"\\patch_installer.exe").size(), L'd');
    s.installer_folder = deep;
    s.install_executable();
    s.write_config({});
    ASSERT_EQ(s.installer().wstring().size(), 259u);
    watched_run run = s.run();
    expect_single_plain_box(run);
    EXPECT_EQ(run.exit_code, 2u);
    EXPECT_EQ(run.boxes.at(0).text, not_found_text);
}

}  // namespace
