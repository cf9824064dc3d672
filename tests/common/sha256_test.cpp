#include "common/sha256.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::string hex_digest(const std::string& bytes, sha256_engine engine, std::size_t piece) {
    sha256_state state;
    state.engine = engine;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        sha256_add(state, data + at, std::min(piece, bytes.size() - at));
    }
    const std::array<unsigned char, 32> digest = sha256_finish(state);
    return hex_of(digest.data(), digest.size());
}

std::vector<sha256_engine> engines_here() {
    std::vector<sha256_engine> engines{sha256_engine::portable};
    if (cpu_has_sha256_instructions()) engines.push_back(sha256_engine::cpu);
    return engines;
}

// The published answers (FIPS 180-2, and the empty input), over lengths at
// each side of the padding's bounds, fed whole and in uneven pieces, by each
// engine this processor has.
TEST(sha256, gives_the_known_answers_by_every_engine_whatever_the_pieces) {
    if (!cpu_has_sha256_instructions()) {
        std::cout << "this processor has no SHA instructions: only the portable engine was tried\n";
    }
    const std::pair<std::string, const char*> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopq"
         "rstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1'000'000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (sha256_engine engine : engines_here()) {
        for (const auto& [bytes, hash] : cases) {
            for (std::size_t piece : {std::size_t{1} << 20, std::size_t{1}, std::size_t{63}, std::size_t{65}}) {
                SCOPED_TRACE(std::to_string(bytes.size()) + " bytes in pieces of " + std::to_string(piece) +
                             (engine == sha256_engine::cpu ? ", the SHA instructions" : ", portable"));
                EXPECT_EQ(hex_digest(bytes, engine, piece), hash);
            }
        }
    }
}

// The two engines agree on every length up to three blocks and beyond, and
// on random bytes.
TEST(sha256, the_engines_agree) {
    if (!cpu_has_sha256_instructions()) GTEST_SKIP() << "this processor has no SHA instructions to compare with";
    std::mt19937 random(1812);
    std::string bytes;
    for (std::size_t size = 0; size <= 300; ++size) {
        SCOPED_TRACE(size);
        EXPECT_EQ(hex_digest(bytes, sha256_engine::cpu, 1 << 20), hex_digest(bytes, sha256_engine::portable, 1 << 20));
        bytes += static_cast<char>(random());
    }
}

TEST(sha256, hex_of_writes_each_byte_as_two_lowercase_digits) {
    const unsigned char bytes[] = {0x00, 0x0f, 0xa5, 0xff};
    EXPECT_EQ(hex_of(bytes, 4), "000fa5ff");
}

}  // namespace
