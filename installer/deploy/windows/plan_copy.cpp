#include "installer/deploy/windows/plan_copy.hpp"

#include <optional>
#include <set>

#include "common/paths.hpp"
#include "installer/patch/windows/canonical_path.hpp"
#include "installer/deploy/windows/check_copy.hpp"
#include "installer/patch/patch_destinations.hpp"

copy_plan plan_copy(const std::vector<patch_file>& files, const std::wstring& archives_folder,
                    const std::wstring& installation_folder) {
    copy_plan plan;
    plan.archives_folder = archives_folder;
    plan.installation_folder = installation_folder;
    plan.files.reserve(files.size());
    std::optional<std::wstring> canonical_archives;
    std::set<std::wstring> planned_places;
    for (const patch_file& file : files) {
        check_source_path(file.path);
        // Only a link can lead elsewhere than where the walk met it; the
        // canonical form (an open and a final-path query) is not worth taking
        // for every file of a large patch.
        std::wstring relative = file.relative;
        if (file.is_link) {
            if (!canonical_archives) canonical_archives = weakly_canonical_path(archives_folder);
            relative = place_below_archives(file.path, weakly_canonical_path(file.path), *canonical_archives);
        }
        // A link to another file of the patch is that file a second time.
        if (!planned_places.insert(relative).second) continue;
        planned_file planned;
        planned.source = file.path;
        planned.relative = relative;
        planned.destination = paths::child(installation_folder, relative);
        planned.source_stamp = file.stamp;
        plan.files.push_back(std::move(planned));
    }
    return plan;
}
