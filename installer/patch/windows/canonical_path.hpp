#pragma once
#include <string>

// Our own, where std::filesystem::weakly_canonical would be expected:
// libstdc++ for Windows returns a link's path unchanged from it, so links
// would not be resolved.
//
// The path with its longest existing leading part replaced by the final path
// the file system reports for it (links and junctions resolved, without the
// "\\?\" prefix), and the rest normalised lexically. Raises
// std::filesystem::filesystem_error ("weakly_canonical") when the system
// cannot tell.
std::wstring weakly_canonical_path(const std::wstring& path);
