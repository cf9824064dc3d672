#pragma once
// Two patch files for one place: the copy would write the second over the
// first. Windows ignores case, so "data\b.bin" and "data\B.bin" are one
// place. The installer stops at the first such pair; the checker lists
// every one, by the same rule.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "common/case_fold.hpp"

// Each place (by index) that an earlier place already takes, with that one.
std::vector<std::pair<std::size_t, std::size_t>> places_taken_twice(const std::vector<std::wstring>& places,
                                                                    const case_fold& fold);
