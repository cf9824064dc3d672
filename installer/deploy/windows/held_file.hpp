#pragma once
// What is done to an original file through the handle the check opened:
// renaming it aside or back, and deleting it. Going through the handle saves
// opening the file again for each step, and it is sure to be the same file.
#include <windows.h>

#include <string>

// Renames the file to `path` (a full path), never over an existing file.
// False with the system's error when it cannot.
bool rename_held_file(HANDLE file, const std::wstring& path);

// Marks the file for deletion when its last handle closes; a read-only file
// is made writable first. False with the system's error when it cannot.
bool delete_held_file(HANDLE file);
