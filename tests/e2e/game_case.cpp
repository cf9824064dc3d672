#include "tests/e2e/game_case.hpp"

void expect_box(const watched_run& run, unsigned status, const std::vector<std::wstring>& fragments) {
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, status);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].caption, game_caption);
    for (const std::wstring& fragment : fragments) {
        EXPECT_NE(run.boxes[0].text.find(fragment), std::wstring::npos) << "missing: " << fragment << "\nin:\n"
                                                                        << run.boxes[0].text;
    }
}

std::vector<std::wstring> set_aside_files(const fs::path& root) {
    std::vector<std::wstring> found;
    for (const auto& [relative, content] : snapshot(root)) {
        if (relative.find(L".before-patch") != std::wstring::npos) found.push_back(relative);
    }
    return found;
}

tree_snapshot without_journal(tree_snapshot tree) {
    std::erase_if(tree, [](const auto& entry) {
        const std::wstring& place = entry.first;
        const std::wstring name = L"patch-journal.txt";
        return place.size() >= name.size() && place.compare(place.size() - name.size(), name.size(), name) == 0;
    });
    return tree;
}

bool has_journal(const fs::path& game) { return fs::exists(game / L"patch-journal.txt"); }

scenario& game_case::make(const std::wstring& name, const std::optional<std::wstring>& install_path,
                          const wchar_t* link_folder) {
    current = std::make_unique<scenario>(name);
    if (link_folder) current->installer_folder = prepared_folder(link_folder);
    current->install_executable();
    fields.registry_key = "e2e " + to_utf8(name);
    current->write_config(fields);
    game = current->root / L"Game";
    fs::create_directories(game);
    registration.reset();  // first: the next one has the same key
    registration = std::make_unique<registered_game>(fields.registry_key, install_path.value_or(game.wstring()));
    return *current;
}
