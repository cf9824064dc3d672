#pragma once
#include <string>

#include <cstddef>

// The running executable's full path, however long it is: the buffer starts
// at `initial_capacity` units and doubles until the whole path fits. Raises
// std::system_error when the system cannot tell.
std::wstring module_path(std::size_t initial_capacity = 260);
