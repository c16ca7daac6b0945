// RIFF (WAV and AVI), MP3 and Ogg.
#include <cstring>

#include "media/media_parsers.h"

namespace {

// RIFF: the RIFF chunk's size against the file, every chunk (and every
// chunk inside a LIST) inside what holds it; for WAV a sane sound format
// and a data chunk. After the RIFF chunk an AVI may go on in further RIFF
// chunks (large AVIs do); other bytes after it are allowed.
class CRiffParser : public CStreamParser {
public:
    CRiffParser(uint64_t fileSize, bool wave) : CStreamParser(fileSize), m_wave(wave) { Need(12, kRiff); }

private:
    enum { kRiff, kChunk, kListType, kFormat, kNext };
    static constexpr int kMaxDepth = 8;
    const bool m_wave;
    uint64_t m_ends[kMaxDepth] = {};
    int m_depth = 0;
    uint64_t m_chunkRest = 0;  // bytes of the current chunk still to pass over
    bool m_format = false;
    bool m_data = false;

    bool Printable(const uint8_t* id) const
    {
        if (std::memcmp(id, "\0\0\0\0", 4) == 0)  // zero padding some writers leave
            return true;
        for (int i = 0; i < 4; ++i)
            if (id[i] < 0x20 || id[i] > 0x7E)
                return false;
        return true;
    }

    // Where the next chunk begins: close what has ended, then read on.
    void Next()
    {
        while (m_depth > 0 && m_pos >= m_ends[m_depth - 1])
            --m_depth;
        if (m_depth == 0) {
            if (m_wave && (!m_format || !m_data))
                return Fail(ParseResult::Broken);
            if (!m_wave && m_fileSize - m_pos >= 12)
                return Need(12, kRiff);  // a following RIFF chunk, or anything else
            return Done(ParseResult::Whole);
        }
        const uint64_t left = m_ends[m_depth - 1] - m_pos;
        if (left < 8)  // too little for a chunk: padding at the end of a list
            return Skip(left, kNext);
        Need(8, kChunk);
    }

    void Step(const uint8_t* b) override
    {
        switch (m_state) {
        case kRiff: {
            if (m_pos > 12 && std::memcmp(b, "RIFF", 4) != 0)
                return Done(ParseResult::Whole);  // bytes after an AVI, allowed
            if (std::memcmp(b, "RF64", 4) == 0 || std::memcmp(b, "BW64", 4) == 0)
                return Done(ParseResult::NotJudged);  // 64-bit sizes elsewhere
            if (std::memcmp(b, "RIFF", 4) != 0)
                return Fail(ParseResult::Broken);
            if (m_pos == 12 && std::memcmp(b + 8, m_wave ? "WAVE" : "AVI ", 4) != 0)
                return Fail(ParseResult::Broken);
            uint64_t end = m_pos - 4 + Le32(b + 4);
            if (end == m_fileSize + 1)  // the pad byte of an odd last chunk, left off
                end = m_fileSize;
            if (end > m_fileSize)
                return Fail(ParseResult::CutShort);
            m_ends[m_depth++] = end;
            return Next();
        }
        case kChunk: {
            const uint32_t size = Le32(b + 4);
            const uint64_t end = m_pos + size;
            uint64_t padded = end + (size & 1);
            const uint64_t outer = m_ends[m_depth - 1];
            if (end == outer)  // an odd last chunk without its pad byte
                padded = outer;
            if (!Printable(b))
                return Fail(ParseResult::Broken);
            if (padded > outer)
                return Fail(end > m_fileSize ? ParseResult::CutShort : ParseResult::Broken);
            m_chunkRest = padded - m_pos;
            if (std::memcmp(b, "LIST", 4) == 0 && size >= 4 && m_depth < kMaxDepth) {
                m_ends[m_depth++] = padded;
                return Skip(4, kNext);  // the list's type; its chunks follow
            }
            if (m_wave && m_depth == 1 && std::memcmp(b, "fmt ", 4) == 0) {
                if (size < 16)
                    return Fail(ParseResult::Broken);
                return Need(16, kFormat);
            }
            if (m_wave && m_depth == 1 && std::memcmp(b, "data", 4) == 0)
                m_data = true;
            return Skip(m_chunkRest, kNext);
        }
        case kFormat: {
            const uint32_t tag = Le16(b), channels = Le16(b + 2), rate = Le32(b + 4);
            const uint32_t align = Le16(b + 12), bits = Le16(b + 14);
            if (tag == 0 || channels == 0 || channels > 64 || rate < 1000 || rate > 1000000 || align == 0)
                return Fail(ParseResult::Broken);
            if ((tag == 1 || tag == 3) && (bits == 0 || bits > 64 || align != channels * ((bits + 7) / 8)))
                return Fail(ParseResult::Broken);
            m_format = true;
            return Skip(m_chunkRest - 16, kNext);
        }
        case kNext:
            return Next();
        }
    }
};

// The frame's length, or 0 when the header is not one.
uint32_t FrameLength(const uint8_t* h)
{
    static const uint16_t kRates[3][16] = {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},   // layer I
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},      // layer II
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}};      // layer III
    static const uint16_t kLowRates[2][16] = {
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}};
    static const uint32_t kSampleRates[3] = {44100, 48000, 32000};
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0)
        return 0;
    const int version = (h[1] >> 3) & 3;  // 0: 2.5, 2: 2, 3: 1
    const int layer = 4 - ((h[1] >> 1) & 3);
    const int rateIndex = h[2] >> 4, sampleIndex = (h[2] >> 2) & 3, padding = (h[2] >> 1) & 1;
    if (version == 1 || layer == 4 || sampleIndex == 3)
        return 0;
    const uint32_t kbps = version == 3 ? kRates[layer - 1][rateIndex] : kLowRates[layer == 1 ? 0 : 1][rateIndex];
    if (kbps == 0)
        return 0;
    const uint32_t sampleRate = kSampleRates[sampleIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    if (layer == 1)
        return (12 * kbps * 1000 / sampleRate + padding) * 4;
    const uint32_t factor = layer == 3 && version != 3 ? 72 : 144;
    return factor * kbps * 1000 / sampleRate + padding;
}

// MP3: an ID3v2 tag passed over by its size, then MPEG audio frames one
// after the other, each header sound and its length inside the file; a
// tag at the end (ID3v1, APE, Lyrics3) is allowed.
class CMp3Parser : public CStreamParser {
public:
    explicit CMp3Parser(uint64_t fileSize) : CStreamParser(fileSize) { Scan(kFrame); }

private:
    enum { kFrame, kTagRest, kXing, kAfterTag };
    uint64_t m_frameStart = 0;
    uint64_t m_frames = 0;
    uint64_t m_declared = 0;  // the frame count a Xing or Info header gives
    uint32_t m_length = 0;
    uint8_t m_first[2] = {};  // version, layer and rate of the first frame must hold

    void Expect()
    {
        m_frameStart = m_pos;
        Need(4, kFrame);
    }

    void Step(const uint8_t* b) override
    {
        switch (m_state) {
        case kFrame: {
            if (std::memcmp(b, "ID3", 3) == 0)
                return Need(6, kTagRest);
            if (m_frames > 0 && std::memcmp(b, "TAG", 3) == 0)  // ID3v1: 128 bytes, the last ones
                return Done(m_fileSize - m_frameStart < 128 ? ParseResult::CutShort : Verdict());
            if (m_frames > 0 && (std::memcmp(b, "APET", 4) == 0 || std::memcmp(b, "LYRI", 4) == 0))
                return Done(Verdict());
            m_length = FrameLength(b);
            if (m_length < 4)
                return Fail(ParseResult::Broken);
            if (m_frames == 0) {
                m_first[0] = b[1];
                m_first[1] = b[2] & 0x0C;
            } else if (b[1] != m_first[0] || (b[2] & 0x0C) != m_first[1]) {
                return Fail(ParseResult::Broken);
            }
            ++m_frames;
            const bool mpeg1 = (b[1] & 0x18) == 0x18, mono = (b[3] >> 6) == 3;
            const uint32_t sideInfo = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
            if (m_frames == 1 && ((b[1] >> 1) & 3) == 1 && m_length >= 4 + sideInfo + 12) {
                m_length -= 4 + sideInfo + 12;
                return Skip(sideInfo, kXing);
            }
            return Skip(m_length - 4, kAfterTag);
        }
        case kXing:
            if (!b)
                return Need(12, kXing);
            if ((std::memcmp(b, "Xing", 4) == 0 || std::memcmp(b, "Info", 4) == 0) && (Be32(b + 4) & 1))
                m_declared = Be32(b + 8);
            return Skip(m_length, kAfterTag);
        case kTagRest: {
            uint64_t size = 0;
            for (int i = 2; i < 6; ++i)
                size = size << 7 | (b[i] & 0x7F);
            if (b[1] & 0x10)  // a footer follows
                size += 10;
            return Skip(size, kAfterTag);
        }
        case kAfterTag:
            if (m_frames == 0)
                return Scan(kFrame);  // zero bytes may pad a tag
            return Expect();
        }
    }

    size_t OnScan(const uint8_t* data, size_t size) override
    {
        size_t zeros = 0;
        while (zeros < size && data[zeros] == 0)
            ++zeros;
        if (zeros < size) {
            m_frameStart = m_pos + zeros;
            Need(4, kFrame);
        }
        return zeros;
    }

    ParseResult Verdict() const
    {
        if (m_frames == 0)
            return ParseResult::Broken;
        // A header's count well above what is there: the end is missing.
        if (m_declared > m_frames + m_frames / 50 + 2)
            return ParseResult::CutShort;
        return ParseResult::Whole;
    }

    ParseResult AtEnd() override
    {
        if (m_state == kFrame && m_pos == m_frameStart)
            return Verdict();
        if (m_state == kFrame && m_frames == 0)
            return ParseResult::Broken;  // no frame at all
        return ParseResult::CutShort;
    }
};

// Ogg: page after page, each with its capture pattern and CRC; the last
// page must end its stream.
class COggParser : public CStreamParser {
public:
    explicit COggParser(uint64_t fileSize) : CStreamParser(fileSize) { Need(27, kPage); }

private:
    enum { kPage, kSegments, kBody };
    uint64_t m_pageStart = 0;
    uint32_t m_crc = 0, m_stored = 0;
    uint64_t m_body = 0;
    bool m_end = false;

    void Step(const uint8_t* b) override
    {
        switch (m_state) {
        case kPage: {
            if (std::memcmp(b, "OggS", 4) != 0 || b[4] != 0)
                return Fail(ParseResult::Broken);
            m_end = (b[5] & 4) != 0;
            m_stored = Le32(b + 22);
            uint8_t header[27];
            std::memcpy(header, b, 27);
            std::memset(header + 22, 0, 4);  // the CRC is computed with its own field as zeros
            m_crc = OggCrc(0, header, 27);
            m_body = 0;
            return Skip(b[26], kSegments);
        }
        case kSegments:
            return Skip(m_body, kBody);
        case kBody:
            if (m_crc != m_stored)
                return Fail(ParseResult::Checksum);
            m_pageStart = m_pos;
            return Need(27, kPage);
        }
    }

    void OnSkipped(const uint8_t* data, size_t size) override
    {
        m_crc = OggCrc(m_crc, data, size);
        if (m_state == kSegments)
            for (size_t i = 0; i < size; ++i)
                m_body += data[i];
    }

    ParseResult AtEnd() override
    {
        if (m_state == kPage && m_pos == m_pageStart && m_pos > 0)
            return m_end ? ParseResult::Whole : ParseResult::CutShort;
        return ParseResult::CutShort;
    }
};

}  // namespace

std::unique_ptr<CStreamParser> MakeRiffParser(uint64_t fileSize, bool wave)
{
    return std::make_unique<CRiffParser>(fileSize, wave);
}
bool IsMpegAudioFrame(const uint8_t* header) { return FrameLength(header) != 0; }

std::unique_ptr<CStreamParser> MakeMp3Parser(uint64_t fileSize) { return std::make_unique<CMp3Parser>(fileSize); }
std::unique_ptr<CStreamParser> MakeOggParser(uint64_t fileSize) { return std::make_unique<COggParser>(fileSize); }
