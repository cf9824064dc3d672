// Reading config.json from disk goes through Windows paths, so these run
// under Wine only.
#include <gtest/gtest.h>

#include "tests/common/expect_error.hpp"

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "installer/patch/config.hpp"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class load_installer_config_test : public ::testing::Test {
protected:
    fs::path folder = fs::path(TEST_SCRATCH_DIR) / "config_archives";
    void SetUp() override {
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void write(const std::string& bytes) { std::ofstream(folder / "config.json", std::ios::binary) << bytes; }
};

TEST_F(load_installer_config_test, reads_one_value_and_ignores_what_follows) {
    write(
        "\xEF\xBB\xBF \r\n"
        R"({"game_name":"G","process_name":"p","data_directory":"d","registry_key":"k","steam_id":"7"})"
        " trailing words { not json");
    installer_config config = load_installer_config(folder.wstring());
    EXPECT_EQ(config.game_name, "G");
    EXPECT_EQ(config.steam_id, "7");
}

TEST_F(load_installer_config_test, a_file_or_folder_that_is_not_there_is_named_so) {
    const std::pair<fs::path, const char*> cases[] = {
        {folder, "config.json was not found in the folder \"archives\""},
        {folder / "missing", "config.json was not found: there is no folder \"archives\" beside the installer"},
    };
    for (const auto& [archives, message] : cases) {
        SCOPED_TRACE(archives.string());
        expect_error<config_error>([&] { load_installer_config(archives.wstring()); }, message);
    }
}

TEST_F(load_installer_config_test, empty_or_malformed_files_are_parse_errors) {
    const std::pair<const char*, const char*> cases[] = {
        {"empty", ""},
        {"blanks", " \n\t "},
        {"comment", "/* c */ {}"},
        {"line comment", "{\"game_name\": \"x\" // c\n}"},
        {"ill-formed UTF-8", "{\"game_name\": \"\xC3\x28\"}"},
        {"unclosed", "{\"game_name\": \"x\""},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        fs::remove(folder / "config.json");
        write(bytes);
        EXPECT_THROW(load_installer_config(folder.wstring()), json::parse_error);
    }
}

}  // namespace
