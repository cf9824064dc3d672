#pragma once
// SHA-256 (FIPS 180-4), on the run's one thread: with the processor's SHA
// instructions where it has them (most processors since 2017), else in
// plain C++. A patch's expectations hash every file it replaces, and the
// system's provider is several times slower than the instructions.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

enum class sha256_engine {
    portable,  // plain C++, on any processor
    cpu,       // the x86 SHA extensions
};

// Whether this processor has the SHA instructions (and the SSE they need).
bool cpu_has_sha256_instructions();

struct sha256_state {
    std::uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                          0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::uint64_t length = 0;  // bytes added so far
    unsigned char pending[64] = {};
    std::size_t pending_size = 0;
    sha256_engine engine = cpu_has_sha256_instructions() ? sha256_engine::cpu : sha256_engine::portable;
};

void sha256_add(sha256_state& state, const unsigned char* data, std::size_t size);

// The digest of what was added; the state is used up.
std::array<unsigned char, 32> sha256_finish(sha256_state& state);

// The bytes of a digest as lowercase hex digits, as config.json holds them.
std::string hex_of(const unsigned char* bytes, std::size_t count);
