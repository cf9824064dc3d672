#pragma once
#include <string>

// True when a process whose image file name equals `image_file_name` exactly
// (case and all) is running. Processes that cannot be queried do not match.
bool is_process_running(const std::wstring& image_file_name);
