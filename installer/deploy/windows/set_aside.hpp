#pragma once
#include <optional>
#include <string>

#include "installer/deploy/windows/copy_plan.hpp"

// Renames every destination file that exists already to a name beside it
// (see set_aside_name), so that its contents survive whatever the copy does.
// Stops at the first file that cannot be moved and says why; what was moved
// before it is recorded in the plan.
struct set_aside_failure {
    std::wstring file;
    std::wstring reason;
};
std::optional<set_aside_failure> set_aside(copy_plan& plan);
