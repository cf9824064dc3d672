#include "common/format.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(format_template, fills_fields_in_order_without_rescanning_values) {
    EXPECT_EQ(format_template("{} patch installer", std::string_view("Game")), "Game patch installer");
    EXPECT_EQ(format_template("a{}b{}c", std::string_view("{}"), std::string_view("x")), "a{}bxc");
    EXPECT_EQ(format_template("{}", std::string_view("")), "");
    EXPECT_EQ(format_template("no fields"), "no fields");
}

TEST(format_template, writes_truth_values_and_hex_status) {
    const std::wstring_view line = L"manifest found in {}: {}\n";
    EXPECT_EQ(format_template(line, std::wstring_view(L"C:\\Steam"), false), L"manifest found in C:\\Steam: false\n");
    EXPECT_EQ(format_template(line, std::wstring_view(L"D:\\L"), true), L"manifest found in D:\\L: true\n");

    const std::pair<std::uint32_t, const wchar_t*> statuses[] = {
        {0, L"0x00000000"},          {2, L"0x00000002"},          {234, L"0x000000ea"},
        {0xFFFFFFFF, L"0xffffffff"}, {0x80070005, L"0x80070005"},
    };
    for (const auto& [status, text] : statuses) {
        EXPECT_EQ(format_template(L"[{:#010x}]", status), std::wstring(L"[") + text + L"]");
    }
    EXPECT_EQ(format_template("{}", std::uint32_t{42}), "42");
}

// A literal whose fields do not match its values does not compile; a
// template known only at run time is checked as it is filled.
TEST(format_template, mismatched_fields_are_programming_errors) {
    EXPECT_THROW(format_template(std::string_view("{} {}"), std::string_view("one")), std::logic_error);
    EXPECT_THROW(format_template(std::string_view("{}"), std::string_view("a"), std::string_view("b")),
                 std::logic_error);
    EXPECT_THROW(format_template("{:x}", std::string_view("a")), std::logic_error);
    EXPECT_THROW(format_template(std::string_view("{"), std::string_view("a")), std::logic_error);
}

}  // namespace
