#pragma once
#include <string>
#include <string_view>

// Steam writes each backslash of a library path twice. Pairs are reduced from
// the left and never overlap: two backslashes become one, three become two,
// four become two.
std::string unescape_doubled_backslashes(std::string_view text);
