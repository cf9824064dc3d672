#pragma once
// The plan of one patch copy, handed from stage to stage: plan the pairs,
// check them, set aside what they replace, copy, verify, then clean up or put
// back. Each stage fills in what it learns; none keeps state of its own.
#include <string>
#include <vector>

#include "common/windows/win_handles.hpp"
#include "installer/deploy/file_stamp.hpp"

struct planned_file {
    std::wstring source;       // as the listing met it
    std::wstring relative;     // its place below the archives folder
    std::wstring destination;  // the same place below the game folder
    file_stamp source_stamp;
    // The file the copy replaces, held from the check on (open for writing
    // and renaming, shared with everyone) so that it is set aside, deleted
    // or put back through the very handle the check tried. Invalid when the
    // destination is new.
    file_handle original;
    std::wstring set_aside;  // where the original waits while the copy runs; empty until moved
};

struct copy_plan {
    std::wstring archives_folder;
    std::wstring installation_folder;
    std::vector<planned_file> files;
    // Folders that do not exist yet and that the shell will create, outer
    // ones first.
    std::vector<std::wstring> new_folders;
};
