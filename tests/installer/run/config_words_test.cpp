#include "installer/run/config_words.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "installer/patch/config.hpp"

namespace {

// The error reading `bytes` as a configuration raises, in the words the run
// gives it.
std::string words_for(const std::string& bytes) {
    try {
        read_installer_config(nlohmann::json::parse(bytes));
    } catch (const std::exception& error) {
        return config_failure_words(bytes, error);
    }
    return "(loaded)";
}

const std::string five = R"("game_name":"G","process_name":"g.exe","data_directory":"d","registry_key":"k")";

TEST(config_failure_words, names_the_member_and_what_it_must_be_and_keeps_the_library_text) {
    struct words_case {
        const char* name;
        std::string bytes;
        const char* plain;   // the words that must lead
        const char* detail;  // the library's own, which must follow
    };
    const words_case cases[] = {
        {"steam_id as a number", "{" + five + R"(,"steam_id":4242})",
         "steam_id must be a JSON string such as \"4242\", but it is a number",
         "([json.exception.type_error.302] type must be string, but is number)"},
        {"game_name as an array", R"({"game_name":["a"]})",
         "game_name must be a JSON string such as \"Tides of Wavelorn\", but it is an array",
         "type must be string, but is array"},
        {"process_name as null", R"({"game_name":"G","process_name":null})",
         "process_name must be a JSON string such as \"TidesOfWavelorn.exe\", but it is a null", "but is null"},
        {"data_directory as an object", R"({"game_name":"G","process_name":"g","data_directory":{}})",
         "data_directory must be a JSON string such as \"data\", but it is an object", "but is object"},
        {"registry_key as a truth value",
         R"({"game_name":"G","process_name":"g","data_directory":"d","registry_key":true})",
         "registry_key must be a JSON string such as \"Tides of Wavelorn\", but it is a boolean", "but is boolean"},
        {"keep_originals quoted", "{" + five + R"(,"steam_id":"1","keep_originals":"no"})",
         "keep_originals must be true or false, without quotes, but it is a string",
         "type must be boolean, but is string"},
        {"an array for the whole", R"(["game_name"])", "config.json must hold one JSON object, { ... }, but it holds an array",
         "[json.exception.type_error.305]"},
        {"a member missing", "{" + five + "}", "steam_id is missing: add it, a JSON string such as \"4242\"",
         "(config.json has no member \"steam_id\")"},
        {"the first of two missing", R"({"game_name":"G","data_directory":"d"})",
         "process_name is missing: add it, a JSON string such as \"TidesOfWavelorn.exe\"",
         "(config.json has no member \"process_name\")"},
    };
    for (const words_case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = words_for(c.bytes);
        EXPECT_EQ(text.rfind(c.plain, 0), 0u) << text;
        EXPECT_NE(text.find(c.detail), std::string::npos) << text;
    }
}

TEST(config_failure_words, says_what_is_wrong_with_a_file_that_does_not_parse) {
    struct parse_case {
        const char* name;
        std::string bytes;
        const char* plain;
    };
    const parse_case cases[] = {
        {"UTF-16 with its byte-order mark", std::string("\xFF\xFE{\0\"\0", 6), "config.json is saved as UTF-16: save it as UTF-8"},
        {"UTF-16 without one", std::string("{\0\"\0g\0", 6), "config.json is saved as UTF-16: save it as UTF-8"},
        {"empty", "", "config.json is empty"},
        {"blanks only", " \r\n ", "config.json is empty"},
        {"a comment", "{ // the game\n\"game_name\": \"x\" }", "config.json is not valid JSON"},
        {"a missing quote", "{\"game_name: \"x\" }", "config.json is not valid JSON"},
    };
    for (const parse_case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            const nlohmann::json parsed = nlohmann::json::parse(c.bytes);
            ADD_FAILURE() << "parsed: " << parsed.dump();
        } catch (const nlohmann::json::parse_error& error) {
            const std::string text = config_failure_words(c.bytes, error);
            EXPECT_EQ(text.rfind(c.plain, 0), 0u) << text;
            EXPECT_NE(text.find("[json.exception.parse_error"), std::string::npos) << text;
        }
    }
}

}  // namespace
