#pragma once
// Windows path syntax on plain strings, so the same rules hold (and are tested)
// whatever platform the code is built for. Both '\' and '/' are separators.
#include <string>
#include <string_view>
#include <vector>

namespace paths {

bool is_separator(wchar_t c);

// The parts of a path: a root name (a drive "C:", a server "\\host", a device
// prefix "\\?"), the run of separators after it, and the relative rest.
struct split_path {
    std::wstring_view root_name;
    std::wstring_view root_directory;
    std::wstring_view relative;
};
split_path split(std::wstring_view path);

bool is_absolute(std::wstring_view path);

// One '\' goes between the parts unless the left part is empty, a bare drive
// or already ends in a separator. A right part that is absolute or names
// another drive replaces the left one; one that starts with a separator keeps
// only the left part's drive.
std::wstring join(std::wstring_view left, std::wstring_view right);

// `folder` with one more element, `name`, taken as it is: a name such as
// "a:b" is no drive here. One '\' goes between as with join.
std::wstring child(std::wstring_view folder, std::wstring_view name);

// The path without its last component and the separators before it, never
// cutting into the root: C:\game\setup.exe -> C:\game, C:\setup.exe -> C:\.
std::wstring parent(std::wstring_view path);

// The characters after the last separator, never reaching into the root.
std::wstring_view file_name(std::wstring_view path);

// `target` relative to `base`, element by element: shared leading elements
// dropped, one ".." per remaining element of `base`. Empty when the two have
// different roots.
std::wstring lexically_relative(std::wstring_view target, std::wstring_view base);

// The elements of a path's relative part, between its separators; empty
// elements (doubled separators) are left out.
std::vector<std::wstring_view> elements(std::wstring_view relative);

// The path with '/' as '\', doubled separators as one, and "." and ".."
// elements resolved as text, never climbing above the root (or, for a
// relative path, above its start): C:/Games/./a/../b -> C:\Games\b.
std::wstring lexically_normal(std::wstring_view path);

// An absolute path as Windows' own file calls take it however long it is:
// unchanged below MAX_PATH (260 units), else normalised and in the form
// "\\?\C:\..." ("\\?\UNC\server\..."), in which no limit applies. Names a run
// sets files aside under may pass MAX_PATH where the file's own name fits.
std::wstring long_path_form(std::wstring_view path);

}  // namespace paths
