#include "installer/deploy/windows/finish_copy.hpp"

#include <windows.h>

#include "installer/deploy/windows/held_file.hpp"

namespace {

// A file the copy has just written, or an original just renamed, may be held
// for a moment by a virus scanner or an indexer: try again, for about two
// seconds in all over one stage, so that many stuck files cannot keep the
// player waiting for long.
struct retry_budget {
    int waits_left = 40;
};

template <class operation>
bool retry_while_busy(retry_budget& budget, operation attempt) {
    for (;;) {
        if (attempt()) return true;
        const DWORD error = ::GetLastError();
        const bool busy =
            error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
        if (!busy || budget.waits_left == 0) return false;
        --budget.waits_left;
        ::Sleep(50);
    }
}

bool exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool remove_file(const std::wstring& path, retry_budget& budget) {
    return retry_while_busy(budget, [&] {
        if (::DeleteFileW(path.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND) return true;
        // A read-only file cannot be deleted until it is writable again.
        if (::GetLastError() != ERROR_ACCESS_DENIED) return false;
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) {
            ::SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        ::SetFileAttributesW(path.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
        return ::DeleteFileW(path.c_str()) != FALSE;
    });
}

}  // namespace

leftovers clean_up(copy_plan& plan) {
    leftovers left;
    retry_budget budget;
    for (planned_file& file : plan.files) {
        if (file.set_aside.empty()) continue;
        if (!retry_while_busy(budget, [&] { return delete_held_file(file.original.get()); })) {
            left.not_removed.push_back(file.set_aside);
        }
        file.original.reset();  // the file goes with its last handle
    }
    return left;
}

leftovers put_back(copy_plan& plan, bool copy_ran) {
    leftovers left;
    retry_budget budget;
    if (copy_ran) {
        // Whatever stands at a destination now was written by the copy: the
        // name was free (a new file, or an original moved aside).
        for (const planned_file& file : plan.files) {
            const bool name_was_freed = !file.original || !file.set_aside.empty();
            if (name_was_freed && exists(file.destination) && !remove_file(file.destination, budget)) {
                left.not_removed.push_back(file.destination);
            }
        }
    }
    for (planned_file& file : plan.files) {
        if (file.set_aside.empty()) continue;
        const bool restored =
            retry_while_busy(budget, [&] { return rename_held_file(file.original.get(), file.destination); });
        if (!restored) left.originals_not_restored.push_back(file.set_aside);
        file.original.reset();
    }
    if (copy_ran) {
        // Only folders this run created, and only once they are empty again.
        for (auto folder = plan.new_folders.rbegin(); folder != plan.new_folders.rend(); ++folder) {
            if (!::RemoveDirectoryW(folder->c_str()) && exists(*folder)) left.not_removed.push_back(*folder);
        }
    }
    return left;
}
