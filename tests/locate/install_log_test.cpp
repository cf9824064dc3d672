#include "locate/install_log.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

TEST(install_log_bytes, writes_latin_1_bytes_question_marks_and_crlf) {
    const std::pair<std::wstring, std::string> cases[] = {
        {L"plain\n", "plain\r\n"},
        {L"D:\\Spi\u00E9le\n", "D:\\Spi\xE9le\r\n"},
        {L"\u00FF\u0100", "\xFF?"},
        {L"C:\\\u0418\u0433\u0440\u044B\\x: true\n", "C:\\????\\x: true\r\n"},
        {L"\U0001F3AE", sizeof(wchar_t) == 2 ? "??" : "?"},  // two units where wchar_t is UTF-16
        {L"two\nlines\n", "two\r\nlines\r\n"},
        {L"", ""},
    };
    for (const auto& [text, bytes] : cases) {
        EXPECT_EQ(install_log_bytes(text), bytes);
    }
}

std::string file_bytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(install_log, writes_the_three_line_formats_and_truncates_on_creation) {
    const char* path = "install_log_test.log";
    {
        std::ofstream(path, std::ios::binary) << "left from an earlier search\n";
        install_log log(L"install_log_test.log");
        log.write(L"attempt to get Steam install path returned status {:#010x} and path {}\n", std::uint32_t{234},
                  std::wstring_view(L"C:/Steam"));
        log.write(L"manifest found in {}: {}\n", std::wstring_view(L"C:\\\u0416"), false);
        log.write(L"manifest found in {}: {}\n", std::wstring_view(L"D:\\Library"), true);
        log.write(L"no install folders found\n");
    }
    EXPECT_EQ(file_bytes(path),
              "attempt to get Steam install path returned status 0x000000ea and path C:/Steam\r\n"
              "manifest found in C:\\?: false\r\n"
              "manifest found in D:\\Library: true\r\n"
              "no install folders found\r\n");
    std::remove(path);
}

TEST(install_log, a_log_that_cannot_be_opened_drops_its_text) {
    install_log log(L"no_such_folder/install_log.log");
    log.write(L"manifest found in {}: {}\n", std::wstring_view(L"x"), true);
    EXPECT_FALSE(std::ifstream("no_such_folder/install_log.log").is_open());
}

}  // namespace
