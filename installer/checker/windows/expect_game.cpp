#include "installer/checker/windows/expect_game.hpp"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>

#include "common/format.hpp"
#include "common/paths.hpp"
#include "common/windows/file_system.hpp"
#include "common/windows/utf16.hpp"
#include "common/wtf8.hpp"
#include "installer/deploy/check_problem.hpp"
#include "installer/deploy/windows/sha256_file.hpp"
#include "installer/patch/config.hpp"
#include "installer/patch/windows/patch_files.hpp"
#include "installer/run/messages.hpp"

namespace {

expect_game_outcome refused(std::wstring report, std::wstring_view why) {
    report += format_template(L"problem: {}\nnothing was written\n", why);
    return {false, std::move(report)};
}

std::string read_whole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Written beside it first and then moved over it, so that a failure part way
// never leaves a torn config.json.
bool write_whole(const std::wstring& path, const std::string& bytes) {
    const std::wstring partial = path + L".partial";
    bool written = false;
    {
        std::ofstream out(std::filesystem::path(partial), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        written = static_cast<bool>(out);
    }
    if (written &&
        ::MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE) {
        return true;
    }
    ::DeleteFileW(partial.c_str());  // the author's archives keep nothing of a failed write
    return false;
}

}  // namespace

expect_game_outcome write_expectations(const std::wstring& kit_folder, const std::wstring& game_folder) {
    std::wstring report = format_template(L"writing what the patch in {} expects of the game in {}\n",
                                          std::wstring_view(kit_folder), std::wstring_view(game_folder));
    const std::wstring archives = paths::join(kit_folder, L"archives");
    installer_config config;
    try {
        config = load_installer_config(archives);
    } catch (const std::exception& error) {
        return refused(report, L"archives\\config.json does not load: " + utf8_to_utf16(error.what()));
    }
    if (!is_existing_folder(game_folder)) {
        return refused(report, format_template(L"there is no folder {}", std::wstring_view(game_folder)));
    }
    nlohmann::ordered_json expects = nlohmann::ordered_json::object();
    std::set<std::string> expected_now;
    try {
        for (const patch_file& file : collect_patch_files(archives)) {
            const std::optional<std::string> hash = sha256_of_file(paths::child(game_folder, file.relative));
            if (!hash) continue;  // a file the patch adds: nothing to expect
            const std::string place = to_wtf8(file.relative);
            expects[place] = *hash;
            expected_now.insert(place);
            report += format_template(L"expect: {} {}\n", std::wstring_view(file.relative),
                                      std::wstring_view(utf8_to_utf16(*hash)));
        }
    } catch (const stopped_before_change& stopped) {
        return refused(report, format_template(L"{}: {}", std::wstring_view(stopped.problem().file),
                                               std::wstring_view(problem_error(stopped.problem()))));
    } catch (const std::exception& error) {
        return refused(report, L"the patch or the game cannot be read: " + utf8_to_utf16(error.what()));
    }
    // What the patch expected before must still be there to be expected.
    for (const auto& [place, hash] : config.expects) {
        if (!expected_now.count(place)) {
            return refused(report, format_template(L"the game folder lacks {}, which the patch replaces "
                                                   L"(config.json expects it): is this the game's folder, unpatched?",
                                                   std::wstring_view(utf8_to_utf16(place))));
        }
    }
    if (expected_now.empty()) {
        return refused(report,
                       L"none of the patch's files is in this folder, so there is nothing to expect: is this "
                       L"the game's folder?");
    }
    const std::wstring config_path = config_file_path(archives);
    nlohmann::ordered_json document = nlohmann::ordered_json::parse(read_whole(std::filesystem::path(config_path)));
    document["expects"] = expects;
    if (!write_whole(config_path, document.dump(4) + "\n")) {
        return refused(report, L"archives\\config.json cannot be written");
    }
    report += format_template(
        L"wrote archives\\config.json: \"expects\" lists {} files of the game (patch_check writes "
        L"only when asked with --expect-game)\n",
        static_cast<std::uint32_t>(expected_now.size()));
    return {true, std::move(report)};
}
