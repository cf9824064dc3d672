#pragma once
#include <string>
#include <vector>

#include "installer/patch/patch_listing.hpp"

// Every file below the archives folder except entries named config.json and
// the file the configuration was read from, in the file system's order.
std::vector<patch_file> collect_patch_files(const std::wstring& archives_folder, listing_notes* notes = nullptr);
