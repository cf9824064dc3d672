#include "common/sha256.hpp"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define SHA256_HAS_X86 1
#endif

namespace {

constexpr std::uint32_t round_constants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

constexpr std::uint32_t rotate_right(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

std::uint32_t big_endian_word(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

void blocks_portable(std::uint32_t h[8], const unsigned char* data, std::size_t blocks) {
    for (; blocks > 0; --blocks, data += 64) {
        std::uint32_t w[64];
        for (int t = 0; t < 16; ++t) w[t] = big_endian_word(data + 4 * t);
        for (int t = 16; t < 64; ++t) {
            const std::uint32_t s0 = rotate_right(w[t - 15], 7) ^ rotate_right(w[t - 15], 18) ^ (w[t - 15] >> 3);
            const std::uint32_t s1 = rotate_right(w[t - 2], 17) ^ rotate_right(w[t - 2], 19) ^ (w[t - 2] >> 10);
            w[t] = w[t - 16] + s0 + w[t - 7] + s1;
        }
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], k = h[7];
        for (int t = 0; t < 64; ++t) {
            const std::uint32_t sum1 = rotate_right(e, 6) ^ rotate_right(e, 11) ^ rotate_right(e, 25);
            const std::uint32_t choice = (e & f) ^ (~e & g);
            const std::uint32_t first = k + sum1 + choice + round_constants[t] + w[t];
            const std::uint32_t sum0 = rotate_right(a, 2) ^ rotate_right(a, 13) ^ rotate_right(a, 22);
            const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
            k = g;
            g = f;
            f = e;
            e = d + first;
            d = c;
            c = b;
            b = a;
            a = first + sum0 + majority;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e, h[5] += f, h[6] += g, h[7] += k;
    }
}

#ifdef SHA256_HAS_X86
// Four rounds at a time: sha256rnds2 takes the state as ABEF and CDGH and
// two message words plus constants at a time; sha256msg1 and sha256msg2
// extend the message schedule four words at a time.
__attribute__((target("sha,sse4.1,ssse3"))) void blocks_cpu(std::uint32_t h[8], const unsigned char* data,
                                                            std::size_t blocks) {
    const __m128i byte_order = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + 4));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abef_before = abef;
        const __m128i cdgh_before = cdgh;
        __m128i w[4];
        for (int i = 0; i < 4; ++i) {
            w[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)), byte_order);
        }
        for (int group = 0; group < 16; ++group) {
            __m128i words = _mm_add_epi32(
                w[group & 3], _mm_loadu_si128(reinterpret_cast<const __m128i*>(round_constants + 4 * group)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, words);
            words = _mm_shuffle_epi32(words, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, words);
            if (group < 12) {
                // The words four groups on: W[t-16] + s0(W[t-15]), + W[t-7], + s1(W[t-2]).
                __m128i next = _mm_sha256msg1_epu32(w[group & 3], w[(group + 1) & 3]);
                next = _mm_add_epi32(next, _mm_alignr_epi8(w[(group + 3) & 3], w[(group + 2) & 3], 4));
                w[group & 3] = _mm_sha256msg2_epu32(next, w[(group + 3) & 3]);
            }
        }
        abef = _mm_add_epi32(abef, abef_before);
        cdgh = _mm_add_epi32(cdgh, cdgh_before);
    }
    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    dcba = _mm_blend_epi16(feba, dchg, 0xF0);
    hgfe = _mm_alignr_epi8(dchg, feba, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(h), dcba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(h + 4), hgfe);
}
#endif

void blocks(sha256_state& state, const unsigned char* data, std::size_t count) {
#ifdef SHA256_HAS_X86
    if (state.engine == sha256_engine::cpu) {
        blocks_cpu(state.h, data, count);
        return;
    }
#endif
    blocks_portable(state.h, data, count);
}

}  // namespace

bool cpu_has_sha256_instructions() {
#ifdef SHA256_HAS_X86
    static const bool has = [] {
        unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
        if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
        const bool sse = (ecx & bit_SSSE3) && (ecx & bit_SSE4_1);
        if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return false;
        return sse && (ebx & bit_SHA);
    }();
    return has;
#else
    return false;
#endif
}

void sha256_add(sha256_state& state, const unsigned char* data, std::size_t size) {
    state.length += size;
    if (state.pending_size > 0) {
        const std::size_t taken = std::min(size, sizeof state.pending - state.pending_size);
        std::memcpy(state.pending + state.pending_size, data, taken);
        state.pending_size += taken;
        data += taken;
        size -= taken;
        if (state.pending_size < sizeof state.pending) return;
        blocks(state, state.pending, 1);
        state.pending_size = 0;
    }
    const std::size_t whole = size / 64;
    if (whole > 0) blocks(state, data, whole);
    std::memcpy(state.pending, data + whole * 64, size - whole * 64);
    state.pending_size = size - whole * 64;
}

std::array<unsigned char, 32> sha256_finish(sha256_state& state) {
    const std::uint64_t bits = state.length * 8;
    // 0x80, zeros up to 56 bytes into a block, then the length in bits.
    unsigned char tail[72] = {0x80};
    const std::size_t zeros = (state.pending_size < 56 ? 56 : 120) - state.pending_size;
    for (int i = 0; i < 8; ++i) tail[zeros + i] = static_cast<unsigned char>(bits >> (56 - 8 * i));
    const std::uint64_t length = state.length;
    sha256_add(state, tail, zeros + 8);
    state.length = length;
    std::array<unsigned char, 32> digest{};
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<unsigned char>(state.h[i] >> (24 - 8 * j));
    }
    return digest;
}

std::string hex_of(const unsigned char* bytes, std::size_t count) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 0x0F];
    }
    return hex;
}
