#pragma once
// What the listing of the archives folder gives: its files, and what the
// walk met besides them.
#include <string>
#include <vector>

#include "installer/patch/file_stamp.hpp"

// One file met below the archives folder.
struct patch_file {
    std::wstring path;      // the full path under which the walk met it
    std::wstring relative;  // its place below the archives folder
    file_stamp stamp;       // of what a copy would read (a link's target)
    bool is_link = false;   // a link: where it lands follows its target
};

// What the walk met besides the files it lists, by place below the archives
// folder: for the patch checker's report.
struct listing_notes {
    std::vector<std::wstring> passed_over;    // files named config.json in subfolders
    std::vector<std::wstring> links;          // symbolic links and junctions, to files or folders
    std::vector<std::wstring> empty_folders;  // the outermost folders with no file to copy below them
};

