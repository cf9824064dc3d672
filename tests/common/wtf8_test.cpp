#include "common/wtf8.hpp"

#include <gtest/gtest.h>

namespace {

TEST(wtf8, names_read_back_exactly) {
    const std::wstring names[] = {
        L"",
        L"data\\level.pak",
        L"Spiele \u00E9\u2014\u65E5",
        std::wstring(L"a\0b", 3),
        // A character beyond the first plane: a surrogate pair on Windows.
        L"\U0001F3AE.txt",
        // What Windows allows in a name but UTF-8 cannot say: an unpaired
        // surrogate, high or low, alone or at the end.
        std::wstring(1, static_cast<wchar_t>(0xD800)) + L"x",
        L"x" + std::wstring(1, static_cast<wchar_t>(0xDFFF)),
    };
    for (const std::wstring& name : names) {
        const std::string bytes = to_wtf8(name);
        EXPECT_EQ(from_wtf8(bytes), name);
    }
    EXPECT_EQ(to_wtf8(L"\u00E9\U0001F3AE"), "\xC3\xA9\xF0\x9F\x8E\xAE");
    EXPECT_EQ(to_wtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xED\xA0\x80");
}

TEST(wtf8, bytes_it_never_writes_do_not_read) {
    for (const char* bad : {"\xFF", "\xC0\x80", "\xE2\x80", "\x80", "\xF4\x90\x80\x80", "\xE0\x80\xAF", "a\xC3"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(from_wtf8(bad).has_value());
    }
}

}  // namespace
