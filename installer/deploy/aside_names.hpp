#pragma once
// Choosing the names files wait under, for an install and a removal alike:
// a name is free when nothing in the game folder has it, whatever its case,
// and no earlier choice of the same plan took it.
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "common/case_fold.hpp"
#include "installer/deploy/game_survey.hpp"

// The folded places no set-aside name may take: every entry the survey saw,
// and the journal's own names.
std::set<std::wstring> names_taken(const game_survey& survey, const case_fold& fold);

// The first free set-aside name for what stands at `place`, which is then
// taken; none when all max_set_aside_attempts names are.
std::optional<std::wstring> take_aside_name(std::wstring_view place, std::wstring_view suffix,
                                            std::set<std::wstring>& taken, const case_fold& fold);
