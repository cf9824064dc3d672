#pragma once
// The conversions of what others wrote, from UTF-8 bytes to UTF-16: the
// configuration, the messages' templates, Steam's files. What the installer
// writes down and reads back itself goes through common/wtf8.hpp.
#include <string>
#include <string_view>

// Lenient: ill-formed UTF-8 becomes replacement characters; a failed
// conversion gives an empty string. For configuration text and messages.
std::wstring utf8_to_utf16(std::string_view utf8);

// Strict: ill-formed UTF-8 raises std::system_error with the system's error
// code. For paths read from Steam's files.
std::wstring utf8_to_utf16_strict(std::string_view utf8);
