#include "installer/deploy/windows/sha256_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// The system's SHA-256 against the published answers (FIPS 180-2, and the
// empty input), over one block, less than one and more than one.
TEST(sha256_of_file, gives_the_known_answers) {
    const fs::path folder = fs::path(TEST_SCRATCH_DIR) / "sha256";
    fs::create_directories(folder);
    const std::pair<std::string, const char*> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1'000'000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {std::string(3 << 20, 'a'), "6f850bc94ae6f7de14297c01616c36d712d22864497b28a63b81d776b035e656"},
    };
    for (const auto& [bytes, hash] : cases) {
        SCOPED_TRACE(bytes.size());
        const fs::path file = folder / "input.bin";
        std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        EXPECT_EQ(sha256_of_file(file.wstring()), std::optional<std::string>(hash));
    }
    EXPECT_EQ(sha256_of_file((folder / "not there.bin").wstring()), std::nullopt);
}

}  // namespace
