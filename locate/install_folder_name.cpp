#include "locate/install_folder_name.hpp"

bool is_plain_folder_name(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of("\\/:") == std::string_view::npos;
}
