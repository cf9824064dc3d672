#include "common/windows/utf16.hpp"

#include <windows.h>
#include <gtest/gtest.h>

#include "tests/common/expect_error.hpp"

#include <system_error>

namespace {

TEST(utf8_to_utf16, lenient_conversion_replaces_what_it_cannot_read) {
    EXPECT_EQ(utf8_to_utf16(""), L"");
    EXPECT_EQ(utf8_to_utf16("Game.exe"), L"Game.exe");
    EXPECT_EQ(utf8_to_utf16("\xC3\xA9\xE2\x80\x94\xF0\x9F\x8E\xAE"), L"\u00E9\u2014\U0001F3AE");
    EXPECT_EQ(utf8_to_utf16(std::string_view("a\0b", 3)), std::wstring(L"a\0b", 3));
    EXPECT_EQ(utf8_to_utf16("a\xFF"
                            "b"),
              L"a\uFFFDb");
}

TEST(utf8_to_utf16_strict, rejects_ill_formed_input_with_the_system_error) {
    EXPECT_EQ(utf8_to_utf16_strict(""), L"");
    EXPECT_EQ(utf8_to_utf16_strict("D:\\Spiele\\\xC3\xA9"), L"D:\\Spiele\\\u00E9");
    for (const char* bad : {"a\xFF", "\xC3\x28", "\xE2\x80", "\xED\xA0\x80"}) {
        SCOPED_TRACE(bad);
        expect_error_that<std::system_error>([&] { utf8_to_utf16_strict(bad); },
                                             [](const std::system_error& e) {
                                                 EXPECT_EQ(e.code().value(), ERROR_NO_UNICODE_TRANSLATION);
                                                 EXPECT_EQ(e.code().category(), std::system_category());
                                             });
    }
}

}  // namespace
