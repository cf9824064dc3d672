#include "installer/deploy/windows/set_aside.hpp"

#include <windows.h>

#include <set>

#include "common/windows/file_queries.hpp"
#include "installer/deploy/windows/held_file.hpp"
#include "installer/deploy/set_aside_name.hpp"

std::optional<set_aside_failure> set_aside(copy_plan& plan) {
    // A name the copy is about to write must not hold an original.
    std::set<std::wstring> destinations;
    for (const planned_file& file : plan.files) destinations.insert(fold_case(file.destination));
    for (planned_file& file : plan.files) {
        if (!file.original) continue;
        for (unsigned attempt = 1;; ++attempt) {
            const std::wstring name = set_aside_name(file.destination, attempt);
            if (destinations.count(fold_case(name))) continue;
            // Never over an existing file: an original left by an
            // interrupted run keeps its name, and this one takes the next.
            if (rename_held_file(file.original.get(), name)) {
                file.set_aside = name;
                break;
            }
            const DWORD error = ::GetLastError();
            if ((error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) && attempt < 100) continue;
            return set_aside_failure{file.destination,
                                     L"the original of this file could not be set aside: " + system_error_text(error)};
        }
    }
    return std::nullopt;
}
