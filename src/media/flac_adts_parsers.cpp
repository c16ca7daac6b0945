// FLAC, and AAC in ADTS frames. Both may stand behind ID3v2 tags.
#include <algorithm>
#include <cstring>
#include <vector>

#include "media/media_parsers.h"

namespace {

// FLAC's checksums, neither reflected and both starting at 0: CRC-8
// (x^8 + x^2 + x + 1) over a frame's header, CRC-16 (FlacCrc16) over the
// whole frame. So a frame followed by its own CRC-16 sums to 0, which is
// how a frame's end is found without decoding its sound. The CRC-16's
// table here is for taking it back a byte.
struct FlacTables {
    uint8_t crc8[256];
    uint16_t crc16[256];
    uint8_t back[256];  // the byte whose entry in crc16 has this low byte
    FlacTables()
    {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int b = 0; b < 8; ++b)
                c = (c & 0x80) ? (c << 1) ^ 0x07 : c << 1;
            crc8[i] = static_cast<uint8_t>(c);
            uint32_t d = i << 8;
            for (int b = 0; b < 8; ++b)
                d = (d & 0x8000) ? (d << 1) ^ 0x8005 : d << 1;
            crc16[i] = static_cast<uint16_t>(d);
        }
        for (int i = 0; i < 256; ++i)
            back[crc16[i] & 0xFF] = static_cast<uint8_t>(i);
    }
};

const FlacTables& Flac()
{
    static const FlacTables tables;
    return tables;
}

// The CRC-16 before the byte b was taken, from the one after.
uint16_t Crc16Back(uint16_t after, uint8_t b)
{
    const FlacTables& t = Flac();
    const uint8_t index = t.back[after & 0xFF];
    const uint32_t low = static_cast<uint32_t>(after ^ t.crc16[index]) >> 8;
    return static_cast<uint16_t>(static_cast<uint32_t>(index ^ b) << 8 | low);
}

// How many bytes the frame or sample number takes, from its first byte
// (coded as UTF-8 codes characters, up to seven bytes); 0 when none.
size_t NumberLength(uint8_t first)
{
    if (!(first & 0x80))
        return 1;
    if ((first & 0xC0) == 0x80 || first == 0xFF)
        return 0;
    size_t n = 1;
    while (first & (0x80 >> n))
        ++n;
    return n;
}

uint64_t Number(const uint8_t* h)
{
    const size_t n = NumberLength(h[4]);
    uint64_t value = h[4] & (n == 1 ? 0x7F : 0x7F >> n);
    for (size_t i = 1; i < n; ++i)
        value = value << 6 | (h[4 + i] & 0x3F);
    return value;
}

// Whether the n bytes at h can begin a frame header: -1 they cannot, 0
// more bytes are needed to tell, else the header's length (its CRC-8 right).
int HeaderLength(const uint8_t* h, size_t n)
{
    if (h[0] != 0xFF)
        return -1;
    if (n < 2)
        return 0;
    if ((h[1] & 0xFE) != 0xF8)
        return -1;
    if (n < 3)
        return 0;
    if ((h[2] >> 4) == 0 || (h[2] & 0xF) == 15)
        return -1;
    if (n < 4)
        return 0;
    if ((h[3] >> 4) > 10 || ((h[3] >> 1) & 7) == 3 || (h[3] & 1))
        return -1;
    if (n < 5)
        return 0;
    const size_t number = NumberLength(h[4]);
    if (number == 0 || (h[1] == 0xF8 && number > 6))
        return -1;
    for (size_t i = 5; i < std::min(n, 4 + number); ++i)
        if ((h[i] & 0xC0) != 0x80)
            return -1;
    const uint32_t block = h[2] >> 4, rate = h[2] & 0xF;
    const size_t length = 4 + number + (block == 6 ? 1 : block == 7 ? 2 : 0) +
                          (rate == 12 ? 1 : rate == 13 || rate == 14 ? 2 : 0) + 1;
    if (n < length)
        return 0;
    uint8_t crc = 0;
    for (size_t i = 0; i + 1 < length; ++i)
        crc = Flac().crc8[crc ^ h[i]];
    return crc == h[length - 1] ? static_cast<int>(length) : -1;
}

// The samples of a channel in the frame whose whole header is at h.
uint32_t BlockSize(const uint8_t* h)
{
    const uint32_t code = h[2] >> 4;
    const uint8_t* extra = h + 4 + NumberLength(h[4]);
    if (code == 1)
        return 192;
    if (code <= 5)
        return 576u << (code - 2);
    if (code == 6)
        return extra[0] + 1u;
    if (code == 7)
        return Be16(extra) + 1u;
    return 256u << (code - 8);
}

// FLAC: its marker, the metadata blocks (the stream information first, the
// last one flagged), then frames. A frame's length is not written down:
// the next frame begins at a sync whose header's CRC-8 holds and where the
// frame before sums to 0 by its CRC-16. A header that follows on the
// stream's last frame but after a wrong sum is a checksum fault. The
// frames' samples must reach the count the stream information gives.
// Bytes after the last frame (ID3v1, a few added bytes) are found from the
// end: the sum taken back byte by byte until it is 0.
class CFlacParser : public CStreamParser {
public:
    explicit CFlacParser(uint64_t fileSize) : CStreamParser(fileSize) { Need(4, kMarker); }

private:
    enum { kMarker, kTag, kAfterTag, kBlock, kStreamInfo, kNextBlock, kFrames };
    // The file's last bytes are kept to find where its last frame ends.
    static constexpr size_t kKeep = kNotedTrailing + 256;
    uint8_t m_tagVersion = 0;
    bool m_info = false, m_lastBlock = false;
    uint64_t m_total = 0;  // samples the stream information gives (0: not known)
    uint64_t m_audio = 0;  // where the first frame begins
    // The frames, followed byte by byte.
    bool m_stopped = false;
    uint64_t m_at = 0;      // offset of the next byte to take
    uint16_t m_crc = 0;     // of the frame's bytes before m_at, or before a header being read
    uint64_t m_frames = 0;  // frames begun
    uint64_t m_samples = 0; // in the frames before the current one
    uint32_t m_block = 0;   // in the current one
    uint64_t m_frameStart = 0;
    size_t m_headerLength = 0;
    uint8_t m_first[4] = {};  // the first frame's codes: the stream's
    bool m_pending = false;   // a header may begin at m_candAt
    uint64_t m_candAt = 0;
    uint8_t m_cand[16] = {};
    size_t m_candLength = 0;
    std::vector<uint8_t> m_tail;  // the last bytes taken, a ring
    size_t m_tailNext = 0;
    uint64_t m_tailCount = 0;

    void Stop(ParseResult result)
    {
        m_stopped = true;
        Done(result);
    }

    void NextBlock()
    {
        if (!m_lastBlock)
            return Need(4, kBlock);
        m_audio = m_at = m_pos;
        m_pending = true;  // the first frame must begin here
        m_candAt = m_pos;
        m_candLength = 0;
        m_tail.assign(kKeep, 0);
        Scan(kFrames);
    }

    void Step(const uint8_t* b) override
    {
        switch (m_state) {
        case kMarker:
            if (std::memcmp(b, "fLaC", 4) == 0)
                return Need(4, kBlock);
            if (std::memcmp(b, "ID3", 3) == 0) {
                m_tagVersion = b[3];
                return Need(6, kTag);
            }
            return Fail(ParseResult::Broken);
        case kTag: {
            uint64_t size = 0;
            if (!Id3v2Size(m_tagVersion, b + 1, size))
                return Fail(ParseResult::Broken);
            return Skip(size, kAfterTag);
        }
        case kAfterTag:
            return Need(4, kMarker);
        case kBlock: {
            const uint32_t type = b[0] & 0x7F, length = static_cast<uint32_t>(b[1]) << 16 | Be16(b + 2);
            m_lastBlock = (b[0] & 0x80) != 0;
            if (type == 127 || (type == 0) == m_info)  // the stream information first, and once
                return Fail(ParseResult::Broken);
            if (type == 0)
                return length == 34 ? Need(34, kStreamInfo) : Fail(ParseResult::Broken);
            return Skip(length, kNextBlock);
        }
        case kStreamInfo:  // block sizes, frame sizes, rate, channels, bits, samples, MD5
            m_info = true;
            m_total = static_cast<uint64_t>(b[13] & 0xF) << 32 | Be32(b + 14);
            return NextBlock();
        case kNextBlock:
            return NextBlock();
        }
    }

    void Keep(const uint8_t* data, size_t size)
    {
        m_tailCount += size;
        if (size > kKeep) {
            data += size - kKeep;
            size = kKeep;
        }
        const size_t first = std::min(size, kKeep - m_tailNext);
        std::memcpy(&m_tail[m_tailNext], data, first);
        std::memcpy(&m_tail[0], data + first, size - first);
        m_tailNext = (m_tailNext + size) % kKeep;
    }

    size_t OnScan(const uint8_t* data, size_t size) override
    {
        Keep(data, size);
        Take(data, size);
        return size;
    }

    void Take(const uint8_t* p, size_t n)
    {
        while (n > 0 && !m_stopped) {
            if (m_pending) {
                m_cand[m_candLength++] = *p++;
                --n;
                ++m_at;
                const int length = HeaderLength(m_cand, m_candLength);
                if (length < 0)
                    Reject();
                else if (length > 0)
                    Header(static_cast<size_t>(length));
                continue;
            }
            // Sound up to the next byte that may begin a sync: an 0xFF
            // whose next byte, when it is there, is 0xF8 or 0xF9.
            size_t run = 0;
            const uint8_t* sync = nullptr;
            while (run < n) {
                sync = FindByte(p + run, n - run, 0xFF);
                if (!sync)
                    break;
                run = static_cast<size_t>(sync - p);
                if (run + 1 >= n || (p[run + 1] & 0xFE) == 0xF8)
                    break;
                sync = nullptr;
                run += 1;
            }
            if (!sync)
                run = n;
            m_crc = FlacCrc16(m_crc, p, run);
            p += run;
            n -= run;
            m_at += run;
            if (sync) {
                m_pending = true;
                m_candAt = m_at;
                m_candLength = 0;
            }
        }
    }

    // No header at m_candAt: its first byte is sound, the rest is looked at again.
    void Reject()
    {
        if (m_frames == 0)
            return Stop(ParseResult::Broken);  // the first frame must follow the metadata
        m_pending = false;
        uint8_t rest[16];
        const size_t n = m_candLength - 1;
        std::memcpy(rest, m_cand + 1, n);
        m_crc = FlacCrc16(m_crc, m_cand, 1);
        m_at = m_candAt + 1;
        Take(rest, n);
    }

    // Channels as the header codes them: 1 to 8 each alone, or a pair
    // stored as one channel and a difference (which encoders choose frame
    // by frame).
    static uint32_t Channels(uint8_t code) { return (code >> 4) <= 7 ? (code >> 4) + 1u : 2u; }

    // The stream's next frame: its rate, channels, sample size and number.
    bool FollowsOn(const uint8_t* h) const
    {
        if (h[1] != m_first[1] || (h[2] & 0xF) != (m_first[2] & 0xF) || Channels(h[3]) != Channels(m_first[3]) ||
            (h[3] & 0x0E) != (m_first[3] & 0x0E))
            return false;
        return Number(h) == (h[1] == 0xF8 ? m_frames : m_samples + m_block);
    }

    // A whole header at m_candAt, its CRC-8 right.
    void Header(size_t length)
    {
        const uint8_t* h = m_cand;
        if (m_frames > 0 && m_crc != 0) {
            if (FollowsOn(h))
                return Stop(ParseResult::Checksum);
            return Reject();  // a sync by chance in the sound
        }
        m_pending = false;
        if (m_frames == 0)
            std::memcpy(m_first, h, 4);
        m_samples += m_block;
        ++m_frames;
        m_frameStart = m_candAt;
        m_headerLength = length;
        m_block = BlockSize(h);
        m_crc = FlacCrc16(0, h, length);
    }

    // Where the last frame ends when bytes were added after it: the sum
    // taken back from the end until it is 0; 0 when it never is.
    uint64_t LastFrameEnd() const
    {
        uint16_t crc = m_crc;
        const uint64_t kept = std::min<uint64_t>(m_tailCount, kKeep);
        const uint64_t earliest = std::max(m_frameStart + m_headerLength + 2, m_fileSize - kept);
        size_t index = m_tailNext;
        for (uint64_t end = m_fileSize; end > earliest;) {
            index = (index + kKeep - 1) % kKeep;
            crc = Crc16Back(crc, m_tail[index]);
            if (crc == 0)
                return end - 1;
            --end;
        }
        return 0;
    }

    uint64_t ZerosAtEnd() const
    {
        const uint64_t kept = std::min<uint64_t>(m_tailCount, kKeep);
        uint64_t zeros = 0;
        for (size_t index = m_tailNext; zeros < kept && m_tail[(index + kKeep - 1) % kKeep] == 0; ++zeros)
            index = (index + kKeep - 1) % kKeep;
        return zeros;
    }

    ParseResult AtEnd() override
    {
        if (m_state != kFrames)
            return ParseResult::CutShort;
        if (m_frames == 0)  // no frame, or the first cut in its header
            return m_candLength == 0 && m_total == 0 ? ParseResult::Whole : ParseResult::CutShort;
        if (m_pending) {
            if (m_crc == 0)  // the next frame's header, cut
                return ParseResult::CutShort;
            m_crc = FlacCrc16(m_crc, m_cand, m_candLength);
        }
        const uint64_t samples = m_samples + m_block;
        if (m_crc == 0 && m_fileSize - m_frameStart >= m_headerLength + 2) {
            if (m_total != 0 && samples < m_total)
                return ParseResult::CutShort;
            // Zero bytes leave the sum as it is: many of them were added.
            return ZerosAtEnd() >= kNotedTrailing ? ParseResult::Trailing : ParseResult::Whole;
        }
        // Bytes after the stream's last frame: only when the count says it is the last.
        if (m_total == 0 || samples != m_total)
            return ParseResult::CutShort;
        const uint64_t end = LastFrameEnd();
        if (end == 0)
            return ParseResult::CutShort;
        return m_fileSize - end >= kNotedTrailing ? ParseResult::Trailing : ParseResult::Whole;
    }
};

// ADTS: frame after frame, each with its sync, layer 0 and its length
// (seven bytes of header, nine with a CRC). After the last frame, bytes
// that never turn into frames again were added (tags, a few bytes); frames
// that go on after such bytes mean a hole in the sound.
class CAdtsParser : public CStreamParser {
public:
    explicit CAdtsParser(uint64_t fileSize) : CStreamParser(fileSize) { Start(); }

private:
    enum { kStart, kTag, kAfterTag, kHeaderRest, kHeader, kBody, kFrames, kTrail, kTrailBody, kTrailConfirm };
    uint64_t m_rest = 0;  // of the frame being passed over while frames are walked in a chunk
    uint64_t m_frames = 0;
    uint64_t m_frameStart = 0, m_trailStart = 0;
    uint8_t m_first[4] = {};
    uint8_t m_header[7] = {};
    CLastBytes<6> m_last;  // what the trail's scan saw

    static bool IsHeader(const uint8_t* h) { return h[0] == 0xFF && (h[1] & 0xF6) == 0xF0 && ((h[2] >> 2) & 0xF) < 13; }
    static uint32_t Length(const uint8_t* h) { return (h[3] & 3u) << 11 | static_cast<uint32_t>(h[4]) << 3 | h[5] >> 5; }

    // Of the same stream as the first frame: version, layer, profile, rate, channels.
    bool Matches(const uint8_t* h) const
    {
        return IsHeader(h) && h[1] == m_first[1] && (h[2] & 0xFD) == (m_first[2] & 0xFD) &&
               (h[3] & 0xC0) == (m_first[3] & 0xC0);
    }

    // Where the stream (or a tag before it) begins.
    void Start()
    {
        m_frameStart = m_pos;
        const uint64_t left = m_fileSize - m_pos;
        if (left == 0)
            return Fail(ParseResult::Broken);
        Need(left < 3 ? static_cast<size_t>(left) : 3, kStart);
    }

    // Where a frame is to begin; fewer than seven bytes are looked at as they are.
    void Next()
    {
        m_frameStart = m_pos;
        const uint64_t left = m_fileSize - m_pos;
        if (left == 0)
            return Done(ParseResult::Whole);
        if (m_frames > 0) {  // walked in the chunk while the frames are as expected
            m_rest = 0;
            return Scan(kFrames);
        }
        Need(left < 7 ? static_cast<size_t>(left) : 7, kHeader);
    }

    // A step a frame would cost more than its two hundred bytes: whole
    // headers inside the chunk that match the stream and whose frame fits
    // in the file are taken here; anything else goes through Frame().
    size_t WalkFrames(const uint8_t* data, size_t size)
    {
        // The frame being passed over first; then frame after frame.
        const size_t first = static_cast<size_t>(std::min<uint64_t>(m_rest, size));
        m_rest -= first;
        if (m_rest > 0)
            return size;
        const uint64_t base = m_pos, fileSize = m_fileSize;
        uint64_t frames = 0;
        size_t at = first;
        for (;;) {
            if (at >= size) {
                m_rest = at - size;  // of the last frame, in the chunks to come
                m_frames += frames;
                return size;
            }
            const uint8_t* h = data + at;
            const uint32_t length = size - at >= 7 ? Length(h) : 0;
            if (size - at < 7 || !Matches(h) || length < ((h[1] & 1) ? 7u : 9u) || length > fileSize - (base + at)) {
                m_frames += frames;
                m_frameStart = base + at;
                const uint64_t left = fileSize - m_frameStart;
                Need(left < 7 ? static_cast<size_t>(left) : 7, kHeader);
                return at;
            }
            ++frames;
            at += length;
        }
    }

    void Frame(const uint8_t* h, size_t n)
    {
        if (n < 7) {  // the end: a frame cut in its header, or a few bytes added
            if (m_frames == 0)
                return Fail(n > 0 && h[0] == 0xFF ? ParseResult::CutShort : ParseResult::Broken);
            const bool header = h[0] == 0xFF && (n < 2 || h[1] == m_first[1]);
            return Done(header ? ParseResult::CutShort : ParseResult::Whole);
        }
        if (m_frames == 0 ? !IsHeader(h) : !Matches(h)) {
            if (m_frames == 0)
                return Fail(ParseResult::Broken);
            m_trailStart = m_frameStart;
            return Trail();
        }
        const uint32_t length = Length(h);
        if (length < ((h[1] & 1) ? 7u : 9u))
            return Fail(ParseResult::Broken);
        if (length - 7 > m_fileSize - m_pos)
            return Fail(ParseResult::CutShort);
        if (m_frames++ == 0)
            std::memcpy(m_first, h, 4);
        Skip(length - 7, kBody);
    }

    void Trail()
    {
        m_last.Clear();
        Scan(kTrail);
    }

    void Step(const uint8_t* b) override
    {
        const size_t n = static_cast<size_t>(m_pos - m_frameStart);
        switch (m_state) {
        case kStart:
            if (n == 3 && std::memcmp(b, "ID3", 3) == 0)
                return Need(7, kTag);
            std::memcpy(m_header, b, n);
            if (n < 3 || m_fileSize == m_pos)
                return Frame(m_header, n);
            return Need(static_cast<size_t>(std::min<uint64_t>(4, m_fileSize - m_pos)), kHeaderRest);
        case kHeaderRest:
            std::memcpy(m_header + 3, b, n - 3);
            return Frame(m_header, n);
        case kTag: {  // version, revision, flags, size
            uint64_t size = 0;
            if (!Id3v2Size(b[0], b + 2, size))
                return Fail(ParseResult::Broken);
            return Skip(size, kAfterTag);
        }
        case kAfterTag:
            return Start();
        case kHeader:
            return Frame(b, n);
        case kBody:
            return Next();
        case kTrailBody:
            if (m_fileSize - m_pos < 4)
                return Done(AfterTrail());
            return Need(4, kTrailConfirm);
        case kTrailConfirm:
            if (Matches(b))
                return Fail(ParseResult::Broken);  // frames again after bytes that are none
            return Trail();
        }
    }

    size_t OnScan(const uint8_t* data, size_t size) override
    {
        if (m_state == kFrames)
            return WalkFrames(data, size);
        for (size_t i = 0; i < size; ++i) {  // the trail's scan
            uint8_t h[6];
            if (!m_last.Push(data[i], h))
                continue;
            const uint32_t length = Length(h);
            if (Matches(h) && length >= 7) {
                const uint64_t after = m_pos + i + 1;
                if (length - 6 <= m_fileSize - after) {
                    Skip(length - 6, kTrailBody);
                    return i + 1;
                }
            }
        }
        return size;
    }

    ParseResult AfterTrail() const
    {
        return m_fileSize - m_trailStart >= kNotedTrailing ? ParseResult::Trailing : ParseResult::Whole;
    }

    ParseResult AtEnd() override
    {
        switch (m_state) {
        case kFrames:  // the frames walked were checked to fit in the file
            return m_rest == 0 ? ParseResult::Whole : ParseResult::CutShort;
        case kTrail:
        case kTrailBody:
        case kTrailConfirm:
            return AfterTrail();
        default:
            return ParseResult::CutShort;
        }
    }
};

}  // namespace

std::unique_ptr<CStreamParser> MakeFlacParser(uint64_t fileSize) { return std::make_unique<CFlacParser>(fileSize); }
std::unique_ptr<CStreamParser> MakeAdtsParser(uint64_t fileSize) { return std::make_unique<CAdtsParser>(fileSize); }
