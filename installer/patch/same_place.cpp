#include "installer/patch/same_place.hpp"

#include <map>

std::vector<std::pair<std::size_t, std::size_t>> places_taken_twice(const std::vector<std::wstring>& places,
                                                                    const case_fold& fold) {
    std::vector<std::pair<std::size_t, std::size_t>> twice;
    std::map<std::wstring, std::size_t> first;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const auto [at, inserted] = first.emplace(fold(places[i]), i);
        if (!inserted) twice.emplace_back(i, at->second);
    }
    return twice;
}
