#include "common/growing_buffer.hpp"

#include <gtest/gtest.h>

namespace {

// A stand-in for a Windows call: writes `text` and its terminator when they
// fit, else reports a too small buffer the way the call named does.
enum class too_small { fills_and_returns_size, returns_size_needed };

std::optional<std::wstring> read_text(const std::wstring& text, too_small convention, std::size_t initial,
                                      std::size_t limit = 65536) {
    return read_growing(initial, limit, [&](wchar_t* buffer, std::size_t size) -> std::size_t {
        if (text.size() < size) {
            text.copy(buffer, text.size());
            buffer[text.size()] = L'\0';
            return text.size();
        }
        if (convention == too_small::returns_size_needed) return text.size() + 1;
        text.copy(buffer, size - 1);
        buffer[size - 1] = L'\0';
        return size;
    });
}

TEST(read_growing, grows_until_the_whole_text_fits) {
    const std::wstring text = L"C:\\Games\\A long way down\\patch_installer.exe";
    for (too_small convention : {too_small::fills_and_returns_size, too_small::returns_size_needed}) {
        for (std::size_t initial : {std::size_t{0}, std::size_t{1}, std::size_t{7}, text.size() - 1, text.size(),
                                    text.size() + 1, std::size_t{260}}) {
            SCOPED_TRACE(testing::Message() << "convention " << static_cast<int>(convention) << ", start " << initial);
            EXPECT_EQ(read_text(text, convention, initial), text);
        }
    }
}

TEST(read_growing, gives_up_past_its_limit_or_when_the_call_fails) {
    const std::wstring text(100, L'x');
    EXPECT_EQ(read_text(text, too_small::fills_and_returns_size, 8, 64), std::nullopt);
    EXPECT_EQ(read_text(text, too_small::returns_size_needed, 8, 100), std::nullopt);
    EXPECT_EQ(read_text(text, too_small::returns_size_needed, 8, 101), text);
    EXPECT_EQ(read_growing(8, 64, [](wchar_t*, std::size_t) -> std::size_t { return 0; }), std::nullopt);
}

}  // namespace
