#include "installer/patch/link_rules.hpp"

bool is_link(std::uint32_t attributes, std::uint32_t reparse_tag) {
    if (!(attributes & attribute_reparse_point)) return false;
    return reparse_tag == tag_symbolic_link || reparse_tag == tag_mount_point || reparse_tag == 0;
}
