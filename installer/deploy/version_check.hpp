#pragma once
// Whether the game is the version a patch was made for: each file the patch
// expects is hashed, before anything is written, and a patch made for
// another version stops the run (status 3). What is hashed, how the verdict
// falls and which file it names is decided here; the hashing itself is the
// system's (installer/deploy/windows/sha256_file.hpp).
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "installer/deploy/game_survey.hpp"
#include "installer/deploy/install_record.hpp"
#include "installer/patch/expectations.hpp"

// What shows the game's own version of `place`: the file there; or, when an
// earlier install of a patch wrote it and it is still as that install left
// it, what was there before: the original that install kept, or nothing
// (the patch added it). Unknown when that original was not kept.
struct game_version {
    enum class state { file, none, unknown } is = state::file;
    std::wstring place;  // for a file: where it is
};
game_version game_version_of(const std::wstring& place, const install_record& record, const game_survey& survey,
                             const case_fold& fold);

// The places the survey must look at for `expects`.
std::vector<std::wstring> places_to_survey(const std::vector<expected_file>& expects, const install_record& record);

// Hashes what each expectation judges with `sha256_of` (none: no file
// there) and raises stopped_before_change (other_version) naming the first
// that is missing or differs, in the order config.json lists them, and
// counting all that do.
void check_expectations(const std::wstring& game_folder, const std::vector<expected_file>& expects,
                        const install_record& record, const game_survey& survey, const case_fold& fold,
                        const std::function<std::optional<std::string>(const std::wstring& place)>& sha256_of);
