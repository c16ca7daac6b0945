#include "backup/sha256_ni.h"

#include <cpuid.h>
#include <immintrin.h>

#include <cstring>

namespace {
constexpr uint32_t kInitial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                  0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

alignas(16) constexpr uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

#define ZK_SHA_TARGET __attribute__((target("sha,sse4.1")))

// Rounds 4g to 4g+3, with the words of the message: cur, and the words
// one and three groups ahead, whose schedule the instructions extend here.
template <int g>
ZK_SHA_TARGET __attribute__((always_inline)) inline void FourRounds(__m128i& abef, __m128i& cdgh, __m128i cur,
                                                                    __m128i& next, __m128i& third) {
    __m128i msg = _mm_add_epi32(cur, _mm_load_si128(reinterpret_cast<const __m128i*>(kRound + 4 * g)));
    cdgh = _mm_sha256rnds2_epu32(cdgh, abef, msg);
    if (g >= 3 && g <= 14) next = _mm_sha256msg2_epu32(_mm_add_epi32(next, _mm_alignr_epi8(cur, third, 4)), cur);
    abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(msg, 0x0E));
    if (g >= 1 && g <= 12) third = _mm_sha256msg1_epu32(third, cur);
}
}  // namespace

bool HasShaInstructions() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
    const bool sse41 = (c & bit_SSE4_1) != 0 && (c & bit_SSSE3) != 0;
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
    return sse41 && (b & (1u << 29)) != 0;  // CPUID.7.0:EBX bit 29 is SHA
}

ZK_SHA_TARGET void Sha256NiBlocks(uint32_t state[8], const uint8_t* data, size_t blocks) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    // The instructions keep the state as ABEF and CDGH.
    __m128i tmp = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xB1);
    __m128i cdgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1B);
    __m128i abef = _mm_alignr_epi8(tmp, cdgh, 8);
    cdgh = _mm_blend_epi16(cdgh, tmp, 0xF0);

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abefSaved = abef, cdghSaved = cdgh;
        const __m128i* words = reinterpret_cast<const __m128i*>(data);
        __m128i w0 = _mm_shuffle_epi8(_mm_loadu_si128(words), byteSwap);
        __m128i w1 = _mm_shuffle_epi8(_mm_loadu_si128(words + 1), byteSwap);
        __m128i w2 = _mm_shuffle_epi8(_mm_loadu_si128(words + 2), byteSwap);
        __m128i w3 = _mm_shuffle_epi8(_mm_loadu_si128(words + 3), byteSwap);
        FourRounds<0>(abef, cdgh, w0, w1, w3);
        FourRounds<1>(abef, cdgh, w1, w2, w0);
        FourRounds<2>(abef, cdgh, w2, w3, w1);
        FourRounds<3>(abef, cdgh, w3, w0, w2);
        FourRounds<4>(abef, cdgh, w0, w1, w3);
        FourRounds<5>(abef, cdgh, w1, w2, w0);
        FourRounds<6>(abef, cdgh, w2, w3, w1);
        FourRounds<7>(abef, cdgh, w3, w0, w2);
        FourRounds<8>(abef, cdgh, w0, w1, w3);
        FourRounds<9>(abef, cdgh, w1, w2, w0);
        FourRounds<10>(abef, cdgh, w2, w3, w1);
        FourRounds<11>(abef, cdgh, w3, w0, w2);
        FourRounds<12>(abef, cdgh, w0, w1, w3);
        FourRounds<13>(abef, cdgh, w1, w2, w0);
        FourRounds<14>(abef, cdgh, w2, w3, w1);
        FourRounds<15>(abef, cdgh, w3, w0, w2);
        abef = _mm_add_epi32(abef, abefSaved);
        cdgh = _mm_add_epi32(cdgh, cdghSaved);
    }

    tmp = _mm_shuffle_epi32(abef, 0x1B);
    cdgh = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(tmp, cdgh, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(cdgh, tmp, 8));
}

void CSha256Ni::Begin() {
    std::memcpy(m_state, kInitial, sizeof m_state);
    m_filled = 0;
    m_length = 0;
}

void CSha256Ni::Add(const uint8_t* data, size_t size) {
    if (size == 0) return;
    m_length += size;
    if (m_filled > 0) {
        const size_t take = size < 64 - m_filled ? size : 64 - m_filled;
        std::memcpy(m_block + m_filled, data, take);
        m_filled += take;
        data += take;
        size -= take;
        if (m_filled < 64) return;
        Sha256NiBlocks(m_state, m_block, 1);
        m_filled = 0;
    }
    if (size >= 64) {  // whole blocks straight from the caller's memory
        Sha256NiBlocks(m_state, data, size / 64);
        data += size / 64 * 64;
        size %= 64;
    }
    if (size > 0) std::memcpy(m_block, data, size);
    m_filled = size;
}

std::array<uint8_t, 32> CSha256Ni::Finish() {
    const uint64_t bits = m_length * 8;
    uint8_t tail[128] = {0x80};
    // The message, a 1 bit, zeros and the length in bits fill whole blocks.
    const size_t pad = (m_filled < 56 ? 56 : 120) - m_filled;
    for (int i = 0; i < 8; ++i) tail[pad + i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
    Add(tail, pad + 8);
    std::array<uint8_t, 32> digest;
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<uint8_t>(m_state[i] >> (24 - 8 * j));
    Begin();
    return digest;
}
