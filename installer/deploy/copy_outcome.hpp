#pragma once
// How a copy ended, decided from what the shell reported and from what is on
// disk afterwards, and what could not be tidied up.
#include <optional>
#include <string>
#include <vector>

#include "installer/deploy/file_stamp.hpp"

// What came back from the shell call.
struct shell_report {
    int result = 0;        // SHFileOperationW's return value
    bool aborted = false;  // fAnyOperationsAborted
};

// Everything that happened between the first change to the game folder and
// the verification.
struct copy_attempt {
    std::optional<shell_report> shell;       // none when the copy never started
    std::optional<std::wstring> error;       // what went wrong on the way (setting aside, copying, verifying)
    std::wstring error_file;                 // the file that error concerns, if any
    std::optional<std::wstring> unverified;  // the first destination that is not a full copy of its source
};

// Whether a destination is a full copy of its source. The last-write time may
// differ by the two seconds in which FAT drives keep it.
bool stamps_match(const file_stamp& source, const file_stamp& destination);

// The copy counts only when the shell ran, reported success, aborted
// nothing, no error was raised and every destination matches its source.
bool copy_succeeded(const copy_attempt& attempt);

// The cause of a failed copy in words, for the player.
std::wstring describe_copy_failure(const copy_attempt& attempt);

// Paths that were left as they should not be: originals that could not be
// put back (by where they now are), new files or folders that could not be
// removed.
struct leftovers {
    std::vector<std::wstring> originals_not_restored;
    std::vector<std::wstring> not_removed;
    bool empty() const { return originals_not_restored.empty() && not_removed.empty(); }
};

enum class deploy_status {
    installed,     // every file arrived; the originals it replaced are gone
    put_back,      // the copy failed and the game folder is as it was
    not_put_back,  // the copy failed and the game folder could not be restored
};

// After a put-back: the game is as it was only when nothing at all is left,
// neither an original still set aside nor a file or folder of the patch.
deploy_status status_after_put_back(const leftovers& left);
