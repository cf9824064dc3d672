#pragma once
#include <optional>
#include <string>

#include "installer/deploy/windows/copy_plan.hpp"

// The first destination that is missing, is no file, or differs from its
// source in size or last-write time; none when every file arrived.
std::optional<std::wstring> first_unverified(const copy_plan& plan);
