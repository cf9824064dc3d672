#include "installer/run/windows/module_path.hpp"

#include <windows.h>
#include <gtest/gtest.h>

namespace {

TEST(module_path, grows_its_buffer_until_the_whole_path_fits) {
    wchar_t reference[4096] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, reference, 4096);
    ASSERT_GT(length, 20u);
    // Every start size, from far too small to exactly the length (which
    // leaves no room for the terminator) to roomy, gives the same path.
    for (std::size_t capacity : {std::size_t{1}, std::size_t{7}, std::size_t{length - 1}, std::size_t{length},
                                 std::size_t{length + 1}, std::size_t{260}}) {
        SCOPED_TRACE(capacity);
        EXPECT_EQ(module_path(capacity), std::wstring(reference, length));
    }
}

}  // namespace
