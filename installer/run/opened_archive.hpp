#pragma once
// A patch started from inside its download: Windows shows a zip like a
// folder, and a program started from it runs alone from a temporary folder,
// without the "archives" folder beside it. So do 7-Zip and WinRAR.
#include <string_view>

// Whether `folder` is, or lies in, a temporary folder such a tool made for
// a program started from an opened archive: "Temp1_patch.zip" (Windows),
// "7zO1A2B3C4D" (7-Zip), "Rar$EXa1234.5678" (WinRAR).
bool is_opened_archive_folder(std::wstring_view folder);
