#include "installer/patch/windows/patch_pairs.hpp"

#include <optional>
#include <set>

#include "installer/patch/patch_destinations.hpp"
#include "installer/patch/windows/canonical_path.hpp"

std::vector<patch_pair> pair_patch_files(const std::vector<patch_file>& files, const std::wstring& archives_folder) {
    std::vector<patch_pair> pairs;
    pairs.reserve(files.size());
    std::optional<std::wstring> canonical_archives;
    std::set<std::wstring> places;
    for (const patch_file& file : files) {
        // Only a link can lead elsewhere than where the walk met it; the
        // canonical form (an open and a final-path query) is not worth taking
        // for every file of a large patch.
        std::wstring place = file.relative;
        if (file.is_link) {
            if (!canonical_archives) canonical_archives = weakly_canonical_path(archives_folder);
            place = place_below_archives(file.path, weakly_canonical_path(file.path), *canonical_archives);
        }
        if (!places.insert(place).second) continue;
        pairs.push_back({file.path, std::move(place), file.stamp});
    }
    return pairs;
}
