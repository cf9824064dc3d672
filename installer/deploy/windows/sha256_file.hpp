#pragma once
#include <optional>
#include <string>

// The SHA-256 of the file at `path` as 64 lowercase hex digits, read in
// large sequential blocks. None when
// no file is there; raises stopped_before_change when one is there but
// cannot be read.
std::optional<std::string> sha256_of_file(const std::wstring& path);

// The same for a file already open with read access, from its start; `path`
// names it in what is raised.
std::string sha256_of_open_file(void* file, const std::wstring& path);
