#include "installer/process_check.hpp"

bool is_process_running(const std::wstring&) { return false; }
