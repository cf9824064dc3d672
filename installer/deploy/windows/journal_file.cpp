#include "installer/deploy/windows/journal_file.hpp"

#include <algorithm>
#include <system_error>

#include "common/paths.hpp"
#include "common/windows/file_queries.hpp"
#include "installer/deploy/check_problem.hpp"
#include "installer/deploy/journal_format.hpp"

namespace {

[[noreturn]] void fail() { throw std::system_error(static_cast<int>(::GetLastError()), std::system_category()); }

void write_all(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) fail();
        bytes.remove_prefix(written);
    }
}

}  // namespace

journal_file::journal_file(const std::wstring& game_folder)
    : path_(paths::long_path_form(paths::child(game_folder, journal_file_name))) {}

std::string journal_file::read() const {
    file_handle file(::CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        if (is_not_found(error)) return {};
        throw stopped_before_change(
            {check_problem_kind::file_cannot_be_checked, path_, {}, path_fault::none, 0, 0, system_error_text(error)});
    }
    std::string text;
    char block[1 << 16];
    DWORD read = 0;
    while (::ReadFile(file.get(), block, sizeof block, &read, nullptr) && read > 0) text.append(block, read);
    return text;
}

void journal_file::open() {
    if (handle_) return;
    // Others may read it meanwhile (a person, with an editor); nobody writes.
    handle_.reset(::CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle_) fail();
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle_.get(), &size)) fail();
    if (size.QuadPart == 0) write_all(handle_.get(), journal_header());
}

void journal_file::append(std::string_view records) {
    open();
    LARGE_INTEGER end{};
    if (!::SetFilePointerEx(handle_.get(), {}, &end, FILE_END)) fail();
    write_all(handle_.get(), records);
    if (!::FlushFileBuffers(handle_.get())) fail();
}

std::size_t journal_file::size() const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (::GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data)) {
        return static_cast<std::size_t>((std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
    }
    if (is_not_found(::GetLastError())) return 0;
    fail();
}

void journal_file::cut_back_to(std::size_t offset) {
    open();
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(handle_.get(), at, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle_.get()) ||
        !::FlushFileBuffers(handle_.get())) {
        fail();
    }
}

void journal_file::remove() {
    handle_.reset();
    if (!::DeleteFileW(path_.c_str()) && !is_not_found(::GetLastError())) fail();
}
