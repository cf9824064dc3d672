#include "installer/patch/link_rules.hpp"

#include <gtest/gtest.h>

namespace {

TEST(is_link, only_symbolic_links_and_junctions_lead_elsewhere) {
    constexpr std::uint32_t file = 0x20, folder = 0x10, reparse = attribute_reparse_point;
    struct entry_case {
        const char* name;
        std::uint32_t attributes;
        std::uint32_t tag;
        bool link;
    };
    const entry_case cases[] = {
        {"plain file", file, 0, false},
        {"plain folder", folder, 0, false},
        {"symbolic link to a file", file | reparse, tag_symbolic_link, true},
        {"symbolic link to a folder", folder | reparse, tag_symbolic_link, true},
        {"junction", folder | reparse, tag_mount_point, true},
        {"OneDrive folder", folder | reparse, 0x9000601A, false},
        {"cloud placeholder file", file | reparse | 0x400000, 0x9000001A, false},
        {"deduplicated file", file | reparse, 0x80000013, false},
        {"compressed file (WOF)", file | reparse, 0x80000017, false},
        {"app execution alias", file | reparse, 0x8000001B, false},
        {"a reparse point without a tag, as Wine shows links", folder | reparse, 0, true},
        {"a tag without the attribute", file, tag_symbolic_link, false},
    };
    for (const entry_case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(is_link(c.attributes, c.tag), c.link);
    }
}

}  // namespace
