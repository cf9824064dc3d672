#include "locate/install_folder_name.hpp"

bool is_plain_folder_name(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    // A NUL would end the name early wherever it is passed on as a C string.
    return name.find_first_of(std::string_view("\\/:\0", 4)) == std::string_view::npos;
}
