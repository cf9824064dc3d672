#include "installer/deploy.hpp"

copy_outcome deploy_patch(const std::vector<std::wstring>&, const std::wstring&, const std::wstring&) { return {}; }
