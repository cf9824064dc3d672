#pragma once
#include <string>
#include <vector>

// Every file below the archives folder except entries named config.json, with
// the full path under which the walk met it, in the file system's order.
std::vector<std::wstring> collect_patch_files(const std::wstring& archives_folder);
