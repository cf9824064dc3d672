#pragma once
// The journal on disk, in the game folder: read whole when a run starts,
// then appended to, each record flushed to the disk (FlushFileBuffers)
// before the run goes on, so that the journal is ahead of every change it
// describes. Cut back when a run is put back, deleted when nothing is left
// to record. Only the run holding the game's lock touches it.
#include <cstddef>
#include <string>
#include <string_view>

#include "common/windows/win_handles.hpp"

class journal_file {
public:
    explicit journal_file(const std::wstring& game_folder);

    const std::wstring& path() const { return path_; }

    // The whole journal; empty when there is none. Raises
    // stopped_before_change when it is there but cannot be read.
    std::string read() const;

    // Appends `records` (whole lines) and flushes them; a journal that is not
    // there yet starts with its header. Raises std::system_error.
    void append(std::string_view records);

    // Its size in bytes; 0 when there is none. Raises std::system_error.
    std::size_t size() const;

    // Drops everything from byte `offset` on, and flushes. Raises
    // std::system_error.
    void cut_back_to(std::size_t offset);

    // Deletes the journal. Raises std::system_error.
    void remove();

private:
    void open();

    std::wstring path_;
    file_handle handle_;
};
