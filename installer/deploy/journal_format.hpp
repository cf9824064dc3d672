#pragma once
// The journal's text: what each run set out to do and how far it got. Plain
// UTF-8, one record a line and its fields separated by tabs, so that a person
// can read it and a power cut can tear no more than the line being written.
// Runs follow one another in the order they ran; a run that was put back is
// cut away again, so every run but the last was kept.
//
//   patch journal 1
//   # (what the file is for, for a person who finds it)
//   run       install  keep originals         (or: discard originals; or: run remove)
//   add       <place>  <size> <time>          the plan, one line for each file:
//   replace   <place>  <aside> <size> <time>    size and last-write time are the
//   update    <place>  <aside> <size> <time>    patch file's, which the copy keeps
//   refresh   <place>  <aside> <former> <size> <time>
//   take away <place>  <aside>
//   restore   <place>  <aside> <former>
//   folder    <place>                         outermost first
//   planned                                   the plan is complete
//   set aside
//   copied                                    (a removal: restored)
//   wrote     <place>  <size> <time>          a file that arrived with another time
//   verified
//   kept                                      (a removal: removed)
//   cleaned
//   putting back                              a failed or interrupted run being undone
//
// Places are below the game folder; an empty field is an absent name. Times
// are FILETIME ticks, in decimal.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "installer/deploy/plan.hpp"

// In the game folder, beside the game's own files.
inline constexpr wchar_t journal_file_name[] = L"patch-journal.txt";
// Held by the live run: see installer/deploy/windows/game_lock.hpp.
inline constexpr wchar_t journal_lock_name[] = L"patch-journal.lock";
// Made for a moment after a failed copy, to see whether the drive takes one
// more file: see installer/deploy/windows/drive_room.hpp.
inline constexpr wchar_t drive_probe_name[] = L"patch-journal.room";

// One run as the journal tells it.
struct journal_run {
    run_plan plan;
    run_stage reached = run_stage::planning;
    bool putting_back = false;
    std::vector<written_file> written = {};  // files that arrived with a time other than their source's
    std::size_t begins_at = 0;               // the byte its first line starts at: where the journal is cut back to
};

struct journal_contents {
    bool readable = true;  // false: a journal of another format, which nothing here may act on
    std::vector<journal_run> runs;
};

std::string journal_header();
// The plan's lines, ending with "planned".
std::string plan_records(const run_plan& plan);
std::string stage_record(run_kind kind, run_stage stage);
std::string putting_back_record();
std::string written_records(const std::vector<written_file>& files);

// Reads a journal. The first line that is torn, damaged or out of place ends
// it: what follows is not trusted, and the runs read so far stand as they are.
journal_contents read_journal(std::string_view text);
