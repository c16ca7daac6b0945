#include "media/stream_parser.h"

#include <algorithm>
#include <cstring>

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

ParseResult CStreamParser::Finish()
{
    if (m_mode == Mode::Done)
        return m_result;
    return AtEnd();
}

namespace {

struct CrcTables {
    uint32_t reflected[8][256];
    uint32_t ogg[8][256];
    CrcTables()
    {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t r = i;
            for (int b = 0; b < 8; ++b)
                r = (r & 1) ? (r >> 1) ^ 0xEDB88320u : r >> 1;
            reflected[0][i] = r;
            uint32_t o = i << 24;
            for (int b = 0; b < 8; ++b)
                o = (o & 0x80000000u) ? (o << 1) ^ 0x04C11DB7u : o << 1;
            ogg[0][i] = o;
        }
        for (int k = 1; k < 8; ++k)
            for (int i = 0; i < 256; ++i) {
                reflected[k][i] = (reflected[k - 1][i] >> 8) ^ reflected[0][reflected[k - 1][i] & 0xFF];
                ogg[k][i] = (ogg[k - 1][i] << 8) ^ ogg[0][ogg[k - 1][i] >> 24];
            }
    }
};

const CrcTables& Tables()
{
    static const CrcTables tables;
    return tables;
}

}  // namespace

uint32_t Crc32(uint32_t crc, const uint8_t* p, size_t size)
{
    const auto& t = Tables().reflected;
    crc = ~crc;
    // Eight bytes a turn: the tables fold what each byte does to the rest.
    for (; size >= 8; p += 8, size -= 8) {
        crc ^= Le32(p);
        crc = t[7][crc & 0xFF] ^ t[6][(crc >> 8) & 0xFF] ^ t[5][(crc >> 16) & 0xFF] ^ t[4][crc >> 24] ^
              t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; size > 0; ++p, --size)
        crc = (crc >> 8) ^ t[0][(crc ^ *p) & 0xFF];
    return ~crc;
}

uint32_t OggCrc(uint32_t crc, const uint8_t* p, size_t size)
{
    const auto& t = Tables().ogg;
    for (; size >= 8; p += 8, size -= 8) {
        crc ^= Be32(p);
        crc = t[7][crc >> 24] ^ t[6][(crc >> 16) & 0xFF] ^ t[5][(crc >> 8) & 0xFF] ^ t[4][crc & 0xFF] ^
              t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; size > 0; ++p, --size)
        crc = (crc << 8) ^ t[0][(crc >> 24) ^ *p];
    return crc;
}
