#include "installer/patch/config.hpp"

#include <gtest/gtest.h>

#include "tests/common/expect_error.hpp"

#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

TEST(read_installer_config, reads_the_five_members_in_any_order_ignoring_others) {
    json document = json::parse(R"({
        "steam_id": "4000", "extra": [1, {"game_name": "inner"}],
        "registry_key": "Key\\Sub", "data_directory": "", "process_name": "Game.exe",
        "game_name": "G\u00e9me \"quoted\""
    })");
    installer_config config = read_installer_config(document);
    EXPECT_EQ(config.game_name, "G\xC3\xA9me \"quoted\"");
    EXPECT_EQ(config.process_name, "Game.exe");
    EXPECT_EQ(config.data_directory, "");
    EXPECT_EQ(config.registry_key, "Key\\Sub");
    EXPECT_EQ(config.steam_id, "4000");
}

struct error_case {
    const char* document;
    int type_error_id;  // 0: a config_error
    const char* message;
};

TEST(read_installer_config, wrong_shapes_raise_the_library_errors_or_name_the_missing_member) {
    const error_case cases[] = {
        {R"(["game_name"])", 305, "cannot use operator[] with a string argument with array"},
        {R"("text")", 305, "cannot use operator[] with a string argument with string"},
        {R"(null)", 305, "cannot use operator[] with a string argument with null"},
        {R"({"game_name": 1})", 302, "type must be string, but is number"},
        {R"({"game_name":"g","process_name":"p","data_directory":"d","registry_key":"k","steam_id":4000})", 302,
         "type must be string, but is number"},
        {R"({"game_name":"g","process_name":null})", 302, "type must be string, but is null"},
        {R"({"game_name":"g","process_name":"p","data_directory":{},"registry_key":3})", 302,
         "type must be string, but is object"},
        {R"({})", 0, "config.json has no member \"game_name\""},
        {R"({"Game_name":"g"})", 0, "config.json has no member \"game_name\""},
        {R"({"game_name":"g","process_name":"p","data_directory":"d","registry_key":"k"})", 0,
         "config.json has no member \"steam_id\""},
        {R"({"game_name":"g","process_name":"p","data_directory":"d","registry_key":"k","steam_id ":"1"})", 0,
         "config.json has no member \"steam_id\""},
    };
    for (const error_case& c : cases) {
        SCOPED_TRACE(c.document);
        json document = json::parse(c.document);
        auto read = [&] { read_installer_config(document); };
        if (c.type_error_id == 0) {
            expect_error<config_error>(read, c.message);
        } else {
            expect_error_that<json::type_error>(read, [&](const json::type_error& e) {
                EXPECT_EQ(e.id, c.type_error_id);
                EXPECT_EQ(std::string(e.what()),
                          "[json.exception.type_error." + std::to_string(c.type_error_id) + "] " + c.message);
            });
        }
    }
}

TEST(config_file_path, is_joined_with_one_separator) {
    EXPECT_EQ(config_file_path(L"C:\\p\\archives"), L"C:\\p\\archives\\config.json");
    EXPECT_EQ(config_file_path(L"R:\\archives\\"), L"R:\\archives\\config.json");
}

}  // namespace

namespace {

const char* const five = R"("game_name":"g","process_name":"p.exe","data_directory":"d","registry_key":"k","steam_id":"1")";

TEST(read_installer_config, expects_maps_plain_places_to_sha256) {
    const std::string hash(64, 'a');
    const installer_config config = read_installer_config(json::parse(
        std::string("{") + five + R"(,"expects":{"data\\level.pak":")" + hash + R"(","readme.txt":")" + hash + "\"}}"));
    ASSERT_EQ(config.expects.size(), 2u);
    EXPECT_EQ(config.expects[0], (std::pair<std::string, std::string>{"data\\level.pak", hash}));
    EXPECT_TRUE(read_installer_config(json::parse(std::string("{") + five + "}")).expects.empty());
}

TEST(read_installer_config, expects_of_the_wrong_shape_is_a_configuration_error) {
    const std::string hash(64, 'a');
    const std::pair<std::string, const char*> cases[] = {
        {R"([])", "\"expects\" must be a JSON object that maps places of the game to SHA-256 hashes, but it is array"},
        {R"("data\\a.pak")", "but it is string"},
        {R"({"data\\a.pak": 42})", "gives \"data\\a.pak\" no SHA-256"},
        {R"({"data\\a.pak": ")" + hash.substr(1) + "\"}", "gives \"data\\a.pak\" no SHA-256"},
        {R"({"data\\a.pak": ")" + std::string(64, 'A') + "\"}", "no SHA-256 (64 lowercase hex digits in a JSON string)"},
        {R"({"C:\\data\\a.pak": ")" + hash + "\"}", "names \"C:\\data\\a.pak\", which is no plain place"},
        {R"({"data/a.pak": ")" + hash + "\"}", "names \"data/a.pak\", which is no plain place"},
        {R"({"..\\a.pak": ")" + hash + "\"}", "which is no plain place"},
        {R"({"\\a.pak": ")" + hash + "\"}", "which is no plain place"},
        {R"({"": ")" + hash + "\"}", "which is no plain place"},
        {R"({"data\\CON.txt": ")" + hash + "\"}", "which is no plain place"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        const std::string document = std::string("{") + five + ",\"expects\":" + c.first + "}";
        const std::string message = c.second;
        expect_error_that<config_error>(
            [&] { read_installer_config(json::parse(document)); },
            [&](const config_error& e) { EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what(); });
    }
}

}  // namespace
