#pragma once
// Where a patch file reached through a link goes. Plain string work:
// the canonical forms come from the caller.
#include <string>
#include <vector>

// A file's place below the archives folder, from the canonical forms of the
// file and of the archives folder; its destination is that place below the
// installation folder. A file that does not resolve to a place inside the
// archives folder (a link to elsewhere) would be written outside the game:
// that raises std::filesystem::filesystem_error naming `listed_path`.
std::wstring place_below_archives(const std::wstring& listed_path, const std::wstring& canonical_file,
                                  const std::wstring& canonical_archives);
