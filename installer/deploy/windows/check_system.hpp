#pragma once
// The checks before the first change that only the system can answer, once
// the plan has named every file: that each patch file can be read, that each
// file the run moves aside is free to be moved, that new files can be made
// where they go, and that the drive has room.
#include <string>
#include <vector>

#include "common/windows/win_handles.hpp"
#include "installer/deploy/install_plan.hpp"
#include "installer/deploy/plan.hpp"

// Raises stopped_before_change when a patch file cannot be read, is held by
// another program, or is no regular file (a pipe or a socket on a drive
// Wine shows from Linux): a copy would find it only part way. `listed_size`
// is its size as the listing saw it.
void check_source(const std::wstring& path, std::uint64_t listed_size);

// Each file the run moves aside opened, so that it is moved through the very
// handle that was tried: one handle for each file of `plan`, invalid where
// nothing is moved. Raises stopped_before_change for a file another program
// holds or that Windows denies access to. Where `read_too` is set, the
// handle may also read the file (for the version check).
std::vector<file_handle> open_files_to_move(const std::wstring& game_folder, const run_plan& plan,
                                            const std::vector<bool>& read_only,
                                            const std::vector<bool>& read_too = {});

// Raises stopped_before_change for a folder in which no new file can be made.
void check_receiving_folders(const std::wstring& game_folder, const std::vector<std::wstring>& folders);

// Raises stopped_before_change when the drive cannot take every file of the
// patch beside what it replaces, each in whole clusters, the new folders,
// and the journal of `journal_bytes`. Returns the bytes it needs.
std::uint64_t check_space(const std::wstring& game_folder, const run_plan& plan, std::uint64_t journal_bytes);
