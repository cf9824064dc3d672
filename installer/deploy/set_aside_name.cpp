#include "installer/deploy/set_aside_name.hpp"

std::wstring set_aside_name(const std::wstring& destination, unsigned attempt) {
    std::wstring name = destination + set_aside_suffix;
    if (attempt > 1) name += L"-" + std::to_wstring(attempt);
    return name;
}
