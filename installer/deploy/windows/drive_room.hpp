#pragma once
// The game's drive as Windows reports it: the size of its clusters, and
// what a copy that failed part way left on it.
#include <cstdint>
#include <string>

#include "installer/deploy/disk_space.hpp"
#include "installer/deploy/plan.hpp"

// Bytes in a cluster of the folder's drive; 4096 when Windows does not say.
std::uint64_t cluster_size(const std::wstring& folder);

// Looks at the drive before anything is put back, while what the copy filled
// it with is still there: its free bytes, what had not arrived, and whether
// it takes one more file of one cluster (made and gone again at once).
drive_after_failure look_at_drive(const std::wstring& game_folder, const run_plan& plan);
