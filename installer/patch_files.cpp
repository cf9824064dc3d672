#include "installer/patch_files.hpp"

std::vector<std::wstring> collect_patch_files(const std::wstring&) { return {}; }
