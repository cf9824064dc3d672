#pragma once
// What the one shell copy is asked to do, as plain values: the Windows edge
// copies it into SHFILEOPSTRUCTW unchanged.
#include <cstdint>
#include <string>
#include <vector>

// The shell's own values (shellapi.h), checked against it where it is built.
inline constexpr std::uint32_t shell_copy_function = 0x0002;      // FO_COPY
inline constexpr std::uint16_t shell_multiple_destinations = 0x0001;  // FOF_MULTIDESTFILES
inline constexpr std::uint16_t shell_yes_to_all = 0x0010;         // FOF_NOCONFIRMATION

struct shell_copy_request {
    std::uint32_t function = shell_copy_function;
    // The i-th destination is the i-th source's; every question is answered
    // Yes to All (create missing folders), so the player is asked nothing
    // in the middle of the copy. Its progress and error windows stay.
    std::uint16_t flags = shell_multiple_destinations | shell_yes_to_all;
    std::wstring from;  // multi-string: each path and a NUL, then two more NULs
    std::wstring to;
};

// The shell's multi-string form: each path and a NUL, then two more NULs.
std::wstring multi_string(const std::vector<std::wstring>& paths);

shell_copy_request make_shell_copy_request(const std::vector<std::wstring>& sources,
                                           const std::vector<std::wstring>& destinations);
