#include "media/stream_parser.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#endif

void CStreamParser::Need(size_t n, int state)
{
    m_state = state;
    if (n > kMaxNeed) {  // a parser's own mistake, never the file's
        Done(ParseResult::NotJudged);
        return;
    }
    m_mode = Mode::Need;
    m_need = n;
    m_have = 0;
}

void CStreamParser::Skip(uint64_t n, int state)
{
    m_state = state;
    m_mode = Mode::Skip;
    m_skip = n;
}

void CStreamParser::Scan(int state)
{
    m_state = state;
    m_mode = Mode::Scan;
}

void CStreamParser::Done(ParseResult result)
{
    m_mode = Mode::Done;
    m_result = result;
}

void CStreamParser::Feed(const uint8_t* data, size_t size)
{
    for (;;) {
        switch (m_mode) {
        case Mode::Done:
            return;
        case Mode::Need:
            if (m_have == 0 && size >= m_need) {  // the common case: no copy
                const uint8_t* bytes = data;
                data += m_need;
                size -= m_need;
                m_pos += m_need;
                Step(bytes);
            } else {
                if (size == 0)
                    return;
                const size_t take = std::min(size, m_need - m_have);
                std::memcpy(m_hold + m_have, data, take);
                m_have += take;
                data += take;
                size -= take;
                m_pos += take;
                if (m_have == m_need) {
                    m_have = 0;
                    Step(m_hold);
                }
            }
            break;
        case Mode::Skip:
            if (m_skip == 0) {
                Step(nullptr);
            } else {
                if (size == 0)
                    return;
                const size_t take = static_cast<size_t>(std::min<uint64_t>(size, m_skip));
                OnSkipped(data, take);
                data += take;
                size -= take;
                m_pos += take;
                m_skip -= take;
                if (m_skip == 0)
                    Step(nullptr);
            }
            break;
        case Mode::Scan: {
            if (size == 0)
                return;
            const size_t used = std::min(OnScan(data, size), size);
            data += used;
            size -= used;
            m_pos += used;
            break;
        }
        }
    }
}

const uint8_t* FindByte(const uint8_t* p, size_t n, uint8_t value)
{
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(value));
    for (; n >= 16; p += 16, n -= 16) {
        const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), wanted));
        if (hits != 0)
            return p + __builtin_ctz(static_cast<unsigned>(hits));
    }
#endif
    for (; n > 0; ++p, --n)
        if (*p == value)
            return p;
    return nullptr;
}

ParseResult CStreamParser::Finish()
{
    if (m_mode == Mode::Done)
        return m_result;
    return AtEnd();
}

namespace {

// The polynomials of the CRCs that are not reflected. FLAC's CRC-16
// (x^16 + x^15 + x^2 + 1) is taken as a CRC-32 whose polynomial is its own
// times x^16: its sum is then the upper half, and the same code serves.
constexpr uint32_t kOggPolynomial = 0x04C11DB7u, kFlacPolynomial = 0x80050000u;

using Table = uint32_t[8][256];

void ForwardTable(uint32_t polynomial, Table& t)
{
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t o = i << 24;
        for (int b = 0; b < 8; ++b)
            o = (o & 0x80000000u) ? (o << 1) ^ polynomial : o << 1;
        t[0][i] = o;
    }
    for (int k = 1; k < 8; ++k)
        for (int i = 0; i < 256; ++i)
            t[k][i] = (t[k - 1][i] << 8) ^ t[0][t[k - 1][i] >> 24];
}

struct CrcTables {
    Table reflected;
    Table ogg;
    Table flac;
    CrcTables()
    {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t r = i;
            for (int b = 0; b < 8; ++b)
                r = (r & 1) ? (r >> 1) ^ 0xEDB88320u : r >> 1;
            reflected[0][i] = r;
        }
        for (int k = 1; k < 8; ++k)
            for (int i = 0; i < 256; ++i)
                reflected[k][i] = (reflected[k - 1][i] >> 8) ^ reflected[0][reflected[k - 1][i] & 0xFF];
        ForwardTable(kOggPolynomial, ogg);
        ForwardTable(kFlacPolynomial, flac);
    }
};

const CrcTables& Tables()
{
    static const CrcTables tables;
    return tables;
}

uint32_t ReflectedTable(uint32_t crc, const uint8_t* p, size_t size)
{
    const auto& t = Tables().reflected;
    // Eight bytes a turn: the tables fold what each byte does to the rest.
    for (; size >= 8; p += 8, size -= 8) {
        crc ^= Le32(p);
        crc = t[7][crc & 0xFF] ^ t[6][(crc >> 8) & 0xFF] ^ t[5][(crc >> 16) & 0xFF] ^ t[4][crc >> 24] ^
              t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; size > 0; ++p, --size)
        crc = (crc >> 8) ^ t[0][(crc ^ *p) & 0xFF];
    return crc;
}

uint32_t ForwardTableCrc(const Table& t, uint32_t crc, const uint8_t* p, size_t size)
{
    for (; size >= 8; p += 8, size -= 8) {
        crc ^= Be32(p);
        crc = t[7][crc >> 24] ^ t[6][(crc >> 16) & 0xFF] ^ t[5][(crc >> 8) & 0xFF] ^ t[4][crc & 0xFF] ^
              t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; size > 0; ++p, --size)
        crc = (crc << 8) ^ t[0][(crc >> 24) ^ *p];
    return crc;
}

#if defined(__x86_64__) || defined(__i386__)

// With carry-less multiplication the processor folds 64 bytes a turn into
// four 128-bit remainders, then those into one; what is left is 16 bytes
// that the tables finish. About ten times the tables' speed, which the
// sound and image checks need to keep up with the disk.
bool HasCarrylessMultiply()
{
    static const bool has = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        return __get_cpuid(1, &a, &b, &c, &d) && (c & bit_PCLMUL) && (c & bit_SSSE3) && (c & bit_SSE4_1);
    }();
    return has;
}

// x^n modulo a polynomial, for its folding constants.
uint64_t PowerMod(uint32_t polynomial, int n)
{
    uint32_t r = 1;
    for (int i = 0; i < n; ++i)
        r = (r & 0x80000000u) ? (r << 1) ^ polynomial : r << 1;
    return r;
}

__attribute__((target("sse4.1"))) inline __m128i Load(const uint8_t* at)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

__attribute__((target("ssse3,sse4.1"))) inline __m128i LoadSwapped(const uint8_t* at, __m128i swap)
{
    return _mm_shuffle_epi8(Load(at), swap);
}

// The remainder a moved on by 128 or 512 bits (the constants k say which)
// and the next block added.
__attribute__((target("pclmul,sse4.1"))) inline __m128i Fold(__m128i a, __m128i k, __m128i next)
{
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(a, k, 0x00), _mm_clmulepi64_si128(a, k, 0x11)), next);
}

// PNG's CRC (reflected): the constants are x^(n) modulo the polynomial,
// bit-reflected, as Intel's paper on folding gives them.
__attribute__((target("pclmul,ssse3,sse4.1"))) uint32_t ReflectedFold(uint32_t crc, const uint8_t*& p, size_t& size)
{
    const __m128i k512 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
    const __m128i k128 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
    __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = Load(p + 16), x3 = Load(p + 32), x4 = Load(p + 48);
    p += 64;
    size -= 64;
    for (; size >= 64; p += 64, size -= 64) {
        x1 = Fold(x1, k512, Load(p));
        x2 = Fold(x2, k512, Load(p + 16));
        x3 = Fold(x3, k512, Load(p + 32));
        x4 = Fold(x4, k512, Load(p + 48));
    }
    x1 = Fold(Fold(Fold(x1, k128, x2), k128, x3), k128, x4);
    for (; size >= 16; p += 16, size -= 16)
        x1 = Fold(x1, k128, Load(p));
    uint8_t rest[16];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rest), x1);
    return ReflectedTable(0, rest, 16);
}

// A CRC that is not reflected (Ogg's, FLAC's): each block byte-swapped so
// that its first bit is the highest; the constants are plain powers of x.
// Lane 1 (high) multiplies the high half: x^(n+64); lane 0 the low: x^n.
struct FoldConstants {
    uint64_t k512[2], k128[2];
    explicit FoldConstants(uint32_t polynomial)
        : k512{PowerMod(polynomial, 512), PowerMod(polynomial, 576)},
          k128{PowerMod(polynomial, 128), PowerMod(polynomial, 192)}
    {
    }
};

__attribute__((target("pclmul,ssse3,sse4.1"))) uint32_t ForwardFold(const FoldConstants& c, const Table& table,
                                                                   uint32_t crc, const uint8_t*& p, size_t& size)
{
    const __m128i swap = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m128i k512 = _mm_set_epi64x(static_cast<long long>(c.k512[1]), static_cast<long long>(c.k512[0]));
    const __m128i k128 = _mm_set_epi64x(static_cast<long long>(c.k128[1]), static_cast<long long>(c.k128[0]));
    __m128i x1 = _mm_xor_si128(LoadSwapped(p, swap), _mm_set_epi32(static_cast<int>(crc), 0, 0, 0));
    __m128i x2 = LoadSwapped(p + 16, swap), x3 = LoadSwapped(p + 32, swap), x4 = LoadSwapped(p + 48, swap);
    p += 64;
    size -= 64;
    for (; size >= 64; p += 64, size -= 64) {
        x1 = Fold(x1, k512, LoadSwapped(p, swap));
        x2 = Fold(x2, k512, LoadSwapped(p + 16, swap));
        x3 = Fold(x3, k512, LoadSwapped(p + 32, swap));
        x4 = Fold(x4, k512, LoadSwapped(p + 48, swap));
    }
    x1 = Fold(Fold(Fold(x1, k128, x2), k128, x3), k128, x4);
    for (; size >= 16; p += 16, size -= 16)
        x1 = Fold(x1, k128, LoadSwapped(p, swap));
    uint8_t rest[16];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rest), _mm_shuffle_epi8(x1, swap));
    return ForwardTableCrc(table, 0, rest, 16);
}

#endif

}  // namespace

uint32_t Crc32(uint32_t crc, const uint8_t* p, size_t size)
{
    crc = ~crc;
#if defined(__x86_64__) || defined(__i386__)
    if (size >= 64 && HasCarrylessMultiply())
        crc = ReflectedFold(crc, p, size);
#endif
    return ~ReflectedTable(crc, p, size);
}

uint32_t OggCrc(uint32_t crc, const uint8_t* p, size_t size)
{
#if defined(__x86_64__) || defined(__i386__)
    static const FoldConstants constants(kOggPolynomial);
    if (size >= 64 && HasCarrylessMultiply())
        crc = ForwardFold(constants, Tables().ogg, crc, p, size);
#endif
    return ForwardTableCrc(Tables().ogg, crc, p, size);
}

uint16_t FlacCrc16(uint16_t crc, const uint8_t* p, size_t size)
{
    uint32_t wide = static_cast<uint32_t>(crc) << 16;
#if defined(__x86_64__) || defined(__i386__)
    static const FoldConstants constants(kFlacPolynomial);
    if (size >= 64 && HasCarrylessMultiply())
        wide = ForwardFold(constants, Tables().flac, wide, p, size);
#endif
    return static_cast<uint16_t>(ForwardTableCrc(Tables().flac, wide, p, size) >> 16);
}
