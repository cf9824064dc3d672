#include "installer/deploy/journal_format.hpp"

#include <charconv>
#include <initializer_list>
#include <optional>
#include <stdexcept>

#include "common/wtf8.hpp"

namespace {

constexpr std::string_view header_line = "patch journal 1";

struct verb {
    file_action action;
    std::string_view name;
    std::size_t names;  // fields after the place that are names
    bool stamped;       // a size and a time follow
};
constexpr verb verbs[] = {
    {file_action::add, "add", 0, true},
    {file_action::replace, "replace", 1, true},
    {file_action::update, "update", 1, true},
    {file_action::refresh, "refresh", 2, true},
    {file_action::take_away, "take away", 1, false},
    {file_action::restore, "restore", 2, false},
};

const verb& verb_of(file_action action) {
    for (const verb& v : verbs) {
        if (v.action == action) return v;
    }
    throw std::logic_error("journal: an action without a verb");
}

std::string_view stage_name(run_kind kind, run_stage stage) {
    switch (stage) {
    case run_stage::planning:
        break;
    case run_stage::planned:
        return "planned";
    case run_stage::set_aside:
        return "set aside";
    case run_stage::copied:
        return kind == run_kind::install ? "copied" : "restored";
    case run_stage::verified:
        return "verified";
    case run_stage::kept:
        return kind == run_kind::install ? "kept" : "removed";
    case run_stage::cleaned:
        return "cleaned";
    }
    throw std::logic_error("journal: a stage without a record");
}

// A name as one field: tabs and line ends would split the record, and no
// name the plan holds may carry them.
std::string field(const std::wstring& name) {
    if (name.find_first_of(L"\t\r\n") != std::wstring::npos) {
        throw std::invalid_argument("journal: a name with a tab or a line end");
    }
    return to_wtf8(name);
}

// Appends "\t" and each field. (One append at a time: GCC 12 warns wrongly
// of overlapping copies in chains of "literal" + string.)
void add_fields(std::string& text, std::initializer_list<std::string> fields) {
    for (const std::string& f : fields) {
        text += '\t';
        text += f;
    }
}

std::vector<std::string_view> split_fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return fields;
        line.remove_prefix(tab + 1);
    }
}

std::optional<std::uint64_t> number(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::optional<file_stamp> stamp_of(std::string_view size, std::string_view time) {
    const std::optional<std::uint64_t> bytes = number(size);
    const std::optional<std::uint64_t> ticks = number(time);
    if (!bytes || !ticks) return std::nullopt;
    return file_stamp{*bytes, *ticks};
}

// One record applied to the run it belongs to; false when it does not fit
// there (torn, damaged, or out of order).
bool apply_record(std::string_view line, std::vector<journal_run>& runs, std::size_t line_start) {
    const std::vector<std::string_view> fields = split_fields(line);
    const std::string_view name = fields[0];
    if (name == "run") {
        if (!runs.empty() && runs.back().reached < run_stage::kept) return false;
        journal_run run;
        run.begins_at = line_start;
        if (fields.size() == 3 && fields[1] == "install" &&
            (fields[2] == "keep originals" || fields[2] == "discard originals")) {
            run.plan.kind = run_kind::install;
            run.plan.keep_originals = fields[2] == "keep originals";
        } else if (fields.size() == 2 && fields[1] == "remove") {
            run.plan.kind = run_kind::remove;
        } else {
            return false;
        }
        runs.push_back(std::move(run));
        return true;
    }
    if (runs.empty()) return false;
    journal_run& run = runs.back();
    const bool planning = run.reached == run_stage::planning;

    for (const verb& v : verbs) {
        if (name != v.name) continue;
        const bool for_this_kind = (v.action == file_action::take_away || v.action == file_action::restore) ==
                                   (run.plan.kind == run_kind::remove);
        if (!planning || !for_this_kind || fields.size() != 2 + v.names + (v.stamped ? 2 : 0)) return false;
        planned_file file;
        file.action = v.action;
        std::optional<std::wstring> place = from_wtf8(fields[1]);
        std::optional<std::wstring> aside = v.names >= 1 ? from_wtf8(fields[2]) : std::wstring();
        std::optional<std::wstring> former = v.names >= 2 ? from_wtf8(fields[3]) : std::wstring();
        if (!place || !aside || !former || place->empty()) return false;
        file.place = std::move(*place);
        file.aside = std::move(*aside);
        file.former = std::move(*former);
        if (v.stamped) {
            std::optional<file_stamp> stamp = stamp_of(fields[2 + v.names], fields[3 + v.names]);
            if (!stamp) return false;
            file.source_stamp = *stamp;
        }
        run.plan.files.push_back(std::move(file));
        return true;
    }
    if (name == "folder") {
        std::optional<std::wstring> place = fields.size() == 2 ? from_wtf8(fields[1]) : std::nullopt;
        if (!planning || !place || place->empty()) return false;
        run.plan.folders.push_back(std::move(*place));
        return true;
    }
    if (name == "wrote") {
        if (run.reached != run_stage::copied || run.putting_back || fields.size() != 4) return false;
        std::optional<std::wstring> place = from_wtf8(fields[1]);
        std::optional<file_stamp> stamp = stamp_of(fields[2], fields[3]);
        if (!place || !stamp) return false;
        run.written.push_back({std::move(*place), *stamp});
        return true;
    }
    if (name == "putting back") {
        if (fields.size() != 1 || planning || run.reached >= run_stage::kept) return false;
        run.putting_back = true;
        return true;
    }
    // A stage: the next one, in order, and none once putting back began.
    if (fields.size() != 1 || run.putting_back || run.reached == run_stage::cleaned) return false;
    auto next = static_cast<run_stage>(static_cast<int>(run.reached) + 1);
    // A removal verifies nothing: the originals come back by renaming.
    if (run.plan.kind == run_kind::remove && next == run_stage::verified) next = run_stage::kept;
    if (name != stage_name(run.plan.kind, next)) return false;
    run.reached = next;
    return true;
}

}  // namespace

std::string journal_header() {
    std::string text(header_line);
    text +=
           "\n"
           "# What the patch installer and remover did to this game folder, so that\n"
           "# the next run can finish or undo a run that was interrupted, and the\n"
           "# remover can give the game back as it was. Keep it as long as the patch\n"
           "# is installed; the \".before-patch\" files beside the game's files are\n"
           "# the originals it names.\n";
    return text;
}

std::string plan_records(const run_plan& plan) {
    std::string text = plan.kind == run_kind::remove ? "run\tremove\n"
                       : plan.keep_originals          ? "run\tinstall\tkeep originals\n"
                                                      : "run\tinstall\tdiscard originals\n";
    for (const planned_file& file : plan.files) {
        const verb& v = verb_of(file.action);
        text += v.name;
        add_fields(text, {field(file.place)});
        if (v.names >= 1) add_fields(text, {field(file.aside)});
        if (v.names >= 2) add_fields(text, {field(file.former)});
        if (v.stamped) add_fields(text, {std::to_string(file.source_stamp.size), std::to_string(file.source_stamp.last_write)});
        text += '\n';
    }
    for (const std::wstring& folder : plan.folders) {
        text += "folder";
        add_fields(text, {field(folder)});
        text += '\n';
    }
    text += "planned\n";
    return text;
}

std::string stage_record(run_kind kind, run_stage stage) {
    std::string text(stage_name(kind, stage));
    text += '\n';
    return text;
}

std::string putting_back_record() { return "putting back\n"; }

std::string written_records(const std::vector<written_file>& files) {
    std::string text;
    for (const written_file& file : files) {
        text += "wrote";
        add_fields(text, {field(file.place), std::to_string(file.stamp.size), std::to_string(file.stamp.last_write)});
        text += '\n';
    }
    return text;
}

journal_contents read_journal(std::string_view text) {
    journal_contents contents;
    std::size_t at = 0;
    bool header_seen = false;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) break;  // torn: the line was never finished
        std::string_view line = text.substr(at, end - at);
        const std::size_t line_start = at;
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!header_seen) {
            // Only a complete first line tells another format.
            if (line != header_line) {
                contents.readable = false;
                return contents;
            }
            header_seen = true;
            continue;
        }
        if (line.empty() || line.front() == '#') continue;
        if (!apply_record(line, contents.runs, line_start)) break;
    }
    // Without a complete first line (a header torn by a power cut, or the
    // zeros a drive may leave there) nothing was planned, so nothing changed.
    return contents;
}
