#pragma once
// A registered game for the end-to-end cases of the copy: the installer with
// a config.json whose game is registered at <root>\Game, and what such cases
// assert about the one box.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/scenario.hpp"

inline constexpr wchar_t game_caption[] = L"Sample Game patch installer";

// Exactly one box, with the caption and every fragment, and the status.
void expect_box(const watched_run& run, unsigned status, const std::vector<std::wstring>& fragments);

// Files anywhere below `root` whose names say they are set-aside originals.
std::vector<std::wstring> set_aside_files(const fs::path& root);

// `tree` without the installer's journal, wherever it lies in it: what the
// game's own files are. Its bytes hold times, so cases compare it apart.
tree_snapshot without_journal(tree_snapshot tree);
bool has_journal(const fs::path& game);

class game_case : public ::testing::Test {
protected:
    void SetUp() override { delete_user_tree(L"Software\\Valve\\Steam"); }

    // The installer with a config.json whose game is registered, under the
    // key of this scenario, at `install_path` (default: <root>\Game, made).
    scenario& make(const std::wstring& name, const std::optional<std::wstring>& install_path = std::nullopt,
                   const wchar_t* link_folder = nullptr);

    config_fields fields;
    std::unique_ptr<scenario> current;
    fs::path game;
    std::unique_ptr<registered_game> registration;
};
