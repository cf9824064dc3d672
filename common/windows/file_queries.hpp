#pragma once
// The file-system queries the listing and the canonical forms share.
#include <windows.h>

#include <string>

#include "common/windows/win_handles.hpp"

// A handle for asking about a file or folder (no read or write access, no
// sharing restriction), following links; invalid when the open fails.
file_handle open_for_query(const std::wstring& path);

bool is_not_found(DWORD error);

// The path with its case folded the way Windows ignores it, and '/' as '\\':
// two paths that give the same result name the same file.
std::wstring fold_case(const std::wstring& path);

// The system's own words for an error code, without the line end it adds.
std::wstring system_error_text(DWORD error);

// std::filesystem::filesystem_error with the system's error code.
[[noreturn]] void throw_filesystem_error(const char* operation, const std::wstring& path, DWORD error);
