#pragma once
// The only conversions the installer makes: from UTF-8 bytes to UTF-16.
#include <string>
#include <string_view>

// Lenient: ill-formed UTF-8 becomes replacement characters; a failed
// conversion gives an empty string. For configuration text and messages.
std::wstring utf8_to_utf16(std::string_view utf8);

// Strict: ill-formed UTF-8 raises std::system_error with the system's error
// code. For paths read from Steam's files.
std::wstring utf8_to_utf16_strict(std::string_view utf8);
