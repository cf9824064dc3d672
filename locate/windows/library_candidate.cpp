#include "locate/windows/library_candidate.hpp"

#include <windows.h>

#include <climits>
#include <filesystem>
#include <stdexcept>

#include "common/format.hpp"
#include "common/paths.hpp"
#include "common/windows/utf16.hpp"
#include "locate/unescape.hpp"

namespace {

// File names are formed the way the narrow file APIs would read them: from
// the ANSI code page. For the digits of a Steam id this equals UTF-8.
std::wstring from_ansi(const std::string& text) {
    if (text.empty() || text.size() >= INT_MAX) return {};
    const int length = static_cast<int>(text.size());
    int needed = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(needed > 0 ? needed : 0), L'\0');
    if (needed > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, out.data(), needed);
    return out;
}

}  // namespace

library_candidate make_library_candidate(const installer_config& config,
                                         const std::pair<const std::string, acf_node>& member) {
    const std::string& path = member.second.as_object().at("path").as_text();
    const std::string manifest_name = format_template("appmanifest_{}.acf", config.steam_id);
    // A NUL would cut the folder short wherever it is passed on, and the
    // manifest would be looked for somewhere else.
    if (path.find('\0') != std::string::npos) throw std::runtime_error("a library's \"path\" holds a NUL character");
    library_candidate candidate;
    candidate.library_folder = utf8_to_utf16_strict(unescape_doubled_backslashes(path));
    candidate.manifest_path =
        paths::join(paths::join(candidate.library_folder, L"steamapps"), from_ansi(manifest_name));
    candidate.manifest.open(std::filesystem::path(candidate.manifest_path));  // text mode, shared
    return candidate;
}
