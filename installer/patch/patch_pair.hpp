#pragma once
#include <string>

#include "installer/patch/file_stamp.hpp"

// One file of the patch and where it goes.
struct patch_pair {
    std::wstring source;  // full path, as the listing met it
    std::wstring place;   // below the game folder, as the patch spells it
    file_stamp stamp;     // of what the copy reads
};
