#pragma once
// UTF-8 for the text the installer writes down and reads back itself (the
// journal, the checker's report), where common/windows/utf16.hpp converts
// what others wrote. Windows names may hold an unpaired surrogate, which has
// no UTF-8 form: it is written as its own three bytes (the WTF-8 rule), so
// that every name reads back exactly. Text of valid UTF-16 gives plain
// UTF-8. Portable: wchar_t is a UTF-16 unit on Windows and a code point
// elsewhere, and both read back as they were.
#include <optional>
#include <string>
#include <string_view>

std::string to_wtf8(std::wstring_view text);

// None when `bytes` is not what to_wtf8 writes (a torn or damaged record).
std::optional<std::wstring> from_wtf8(std::string_view bytes);
