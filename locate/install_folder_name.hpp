#pragma once
#include <string_view>

// Whether a manifest's "installdir" is one plain folder name, so that joined
// to steamapps\common it stays there: not empty, not "." or "..", and without
// separators or a drive colon.
bool is_plain_folder_name(std::string_view name);
