#include "installer/deploy/install_record.hpp"

#include <algorithm>

namespace {

recorded_file* find(install_record& record, const std::wstring& place) {
    for (recorded_file& file : record.files) {
        if (file.place == place) return &file;
    }
    return nullptr;
}

file_stamp written_stamp(const journal_run& run, const planned_file& file) {
    for (const written_file& written : run.written) {
        if (written.place == file.place) return written.stamp;
    }
    return file.source_stamp;
}

void apply(install_record& record, const journal_run& run) {
    if (run.plan.kind == run_kind::remove) {
        record = {};
        return;
    }
    const original_state set_aside = run.plan.keep_originals ? original_state::kept : original_state::discarded;
    for (const planned_file& file : run.plan.files) {
        recorded_file* entry = find(record, file.place);
        if (!entry) {
            record.files.push_back({file.place, original_state::none, {}, {}});
            entry = &record.files.back();
        }
        switch (file.action) {
        case file_action::add:
            *entry = {file.place, original_state::none, {}, {}};
            break;
        case file_action::replace:
        case file_action::refresh:
            entry->original = set_aside;
            entry->original_place = run.plan.keep_originals ? file.aside : std::wstring();
            break;
        case file_action::update:  // the earlier original stays
        case file_action::take_away:
        case file_action::restore:
            break;
        }
        entry->written = written_stamp(run, file);
    }
    for (const std::wstring& folder : run.plan.folders) {
        if (std::find(record.folders.begin(), record.folders.end(), folder) == record.folders.end()) {
            record.folders.push_back(folder);
        }
    }
}

}  // namespace

install_record record_before(const journal_contents& journal, std::size_t run_index) {
    install_record record;
    for (std::size_t i = 0; i < run_index && i < journal.runs.size(); ++i) {
        if (journal.runs[i].reached >= run_stage::kept) apply(record, journal.runs[i]);
    }
    return record;
}

install_record installed_record(const journal_contents& journal) {
    return record_before(journal, journal.runs.size());
}
