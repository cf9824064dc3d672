#pragma once
// Plain questions about the file system, for the location steps and the
// installer alike.
#include <string>

// Whether `path` names a folder that exists (links followed).
bool is_existing_folder(const std::wstring& path);
