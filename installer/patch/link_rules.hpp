#pragma once
// Which entries of the archives folder are links. Only symbolic links and
// junctions (mount points) are: they lead elsewhere. OneDrive folders, other
// cloud placeholders, deduplicated and compressed files are reparse points
// too, with tags of their own, and are ordinary files and folders to a
// program that reads them.
#include <cstdint>

inline constexpr std::uint32_t attribute_reparse_point = 0x400;  // FILE_ATTRIBUTE_REPARSE_POINT
inline constexpr std::uint32_t tag_mount_point = 0xA0000003;     // IO_REPARSE_TAG_MOUNT_POINT
inline constexpr std::uint32_t tag_symbolic_link = 0xA000000C;   // IO_REPARSE_TAG_SYMLINK

// From a directory entry's attributes and, for a reparse point, its tag.
// Windows always names the tag; Wine names none (0) for its links, so an
// entry without a tag counts as a link, which is never entered.
bool is_link(std::uint32_t attributes, std::uint32_t reparse_tag);
