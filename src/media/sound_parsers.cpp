// RIFF (WAV and AVI), MP3 and Ogg.
#include <cstring>

#include "media/media_parsers.h"

namespace {

// RIFF: the RIFF chunk's size against the file, every chunk (and every
// chunk inside a LIST) inside what holds it; for WAV a sane sound format
// and a data chunk. After the RIFF chunk an AVI may go on in further RIFF
// chunks (large AVIs do); other bytes after it are allowed. A writer that
// did not know the length yet (writing through a pipe) leaves a size of 0,
// 4 or 0xFFFFFFFF: to the end of the file, and so may its sound or movie
// list. An AVI needs its header list and its movie list; when its size was
// left unknown, its index too (if its header says it has one) and the
// frames its header counts.
class CRiffParser : public CStreamParser {
public:
    CRiffParser(uint64_t fileSize, bool wave) : CStreamParser(fileSize), m_wave(wave) { Need(12, kRiff); }

private:
    enum { kRiff, kChunk, kListType, kFormat, kAviHeader, kNext };
    static constexpr int kMaxDepth = 8;
    const bool m_wave;
    uint64_t m_ends[kMaxDepth] = {};
    int m_depth = 0;
    uint64_t m_chunkRest = 0;  // bytes of the current chunk still to pass over
    bool m_format = false;
    bool m_data = false;
    bool m_open = false;     // the RIFF size was left unknown
    bool m_sizeOff = false;  // the RIFF size counted its own eight bytes twice
    // What an AVI's first RIFF chunk holds.
    bool m_checked = false, m_header = false, m_movie = false, m_index = false, m_hasIndex = false;
    uint32_t m_totalFrames = 0, m_frames = 0;

    // An AVI's first RIFF chunk has ended: is all there that plays it?
    ParseResult AviVerdict()
    {
        m_checked = true;
        if (!m_header || !m_movie)
            return m_open ? ParseResult::CutShort : ParseResult::Broken;
        if (m_open && ((m_hasIndex && !m_index) || m_frames < m_totalFrames))
            return ParseResult::CutShort;
        return ParseResult::Whole;
    }

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
            if (!m_wave && !m_checked) {
                const ParseResult avi = AviVerdict();
                if (avi != ParseResult::Whole)
                    return Fail(avi);
            }
            if (!m_wave && m_fileSize - m_pos >= 12)
                return Need(12, kRiff);  // a following RIFF chunk, or anything else
            return Done(m_sizeOff ? ParseResult::SizeOff : ParseResult::Whole);
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
                return Done(m_sizeOff ? ParseResult::SizeOff : ParseResult::Whole);  // bytes after an AVI, allowed
            if (std::memcmp(b, "RF64", 4) == 0 || std::memcmp(b, "BW64", 4) == 0)
                return Done(ParseResult::NotJudged);  // 64-bit sizes elsewhere
            if (std::memcmp(b, "RIFF", 4) != 0)
                return Fail(ParseResult::Broken);
            if (m_pos == 12 && std::memcmp(b + 8, m_wave ? "WAVE" : "AVI ", 4) != 0)
                return Fail(ParseResult::Broken);
            const uint32_t declared = Le32(b + 4);
            uint64_t end = m_pos - 4 + declared;
            if (declared <= 4 || declared == 0xFFFFFFFF) {
                end = m_fileSize;
                m_open = true;
            } else if (end == m_fileSize + 1) {  // the pad byte of an odd last chunk, left off
                end = m_fileSize;
            } else if (end == m_fileSize + 8 || end == m_fileSize + 9) {  // the chunks decide if all is there
                end = m_fileSize;
                m_sizeOff = true;
            }
            if (end > m_fileSize)
                return Fail(ParseResult::CutShort);
            m_ends[m_depth++] = end;
            return Next();
        }
        case kChunk: {
            const uint64_t outer = m_ends[m_depth - 1];
            uint32_t size = Le32(b + 4);
            // The sound or the movie's list, its length not known when written: to the end.
            const bool list = std::memcmp(b, "LIST", 4) == 0, data = std::memcmp(b, "data", 4) == 0;
            if ((list || data) && m_depth == 1 && (size == 0xFFFFFFFF || (size == 0 && m_open)) &&
                outer - m_pos <= 0xFFFFFFFF)
                size = static_cast<uint32_t>(outer - m_pos);
            const uint64_t end = m_pos + size;
            uint64_t padded = end + (size & 1);
            if (end == outer)  // an odd last chunk without its pad byte
                padded = outer;
            if (!Printable(b))
                return Fail(ParseResult::Broken);
            if (padded > outer)
                return Fail(end > m_fileSize ? ParseResult::CutShort : ParseResult::Broken);
            m_chunkRest = padded - m_pos;
            if (list && size >= 4 && m_depth < kMaxDepth) {
                m_ends[m_depth++] = padded;
                return Need(4, kListType);  // its chunks follow
            }
            if (!m_wave && !m_checked) {
                if (m_depth == 2 && std::memcmp(b, "avih", 4) == 0 && size >= 20)
                    return Need(20, kAviHeader);
                m_index = m_index || (m_depth == 1 && std::memcmp(b, "idx1", 4) == 0) ||
                          std::memcmp(b, "indx", 4) == 0;  // the OpenDML index, in a stream's list
                if (std::memcmp(b, "00dc", 4) == 0 || std::memcmp(b, "00db", 4) == 0)
                    ++m_frames;
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
        case kListType:
            if (m_depth == 2 && std::memcmp(b, "hdrl", 4) == 0)
                m_header = true;
            if (m_depth == 2 && std::memcmp(b, "movi", 4) == 0)
                m_movie = true;
            return Next();
        case kAviHeader:  // time per frame, rate, padding, flags, frames
            m_hasIndex = (Le32(b + 12) & 0x10) != 0;
            m_totalFrames = Le32(b + 16);
            return Skip(m_chunkRest - 20, kNext);
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

}  // namespace

bool Id3v2Size(uint8_t version, const uint8_t* flagsAndSize, uint64_t& size)
{
    if (version < 2 || version > 4)
        return false;
    size = 0;
    for (int i = 1; i < 5; ++i) {
        if (flagsAndSize[i] & 0x80)
            return false;
        size = size << 7 | flagsAndSize[i];
    }
    if (version == 4 && (flagsAndSize[0] & 0x10))  // a footer follows
        size += 10;
    return true;
}

namespace {

// MP3: ID3v2 tags passed over by their size, then MPEG audio frames one
// after the other. The first frame is the first sync that the next frame
// confirms, as players find it: taggers leave padding that is not zeros,
// or a tag size a few bytes off. Tags at the end (ID3v1, APE, Lyrics3)
// are allowed. After the last frame, bytes that never turn into frames
// again were added after the file (copies and downloads do) and are no
// damage; frames that go on after such bytes mean a hole in the sound.
class CMp3Parser : public CStreamParser {
public:
    explicit CMp3Parser(uint64_t fileSize) : CStreamParser(fileSize) { StartScan(kSeek, true); }

private:
    enum { kSeek, kAfterTag, kXing, kCandidate, kConfirm, kHeader, kTagRest, kFrameBody, kEndTag, kTrail,
           kTrailBody, kTrailConfirm, kAdtsLength, kAdtsNext };
    uint64_t m_frameStart = 0;
    uint64_t m_trailStart = 0;
    uint64_t m_frames = 0;
    uint64_t m_declared = 0;   // the frame count a Xing or Info header gives
    uint64_t m_declaredBytes = 0;  // and its byte count
    uint64_t m_pending = 0, m_pendingBytes = 0;  // the same, of a first frame not yet confirmed
    uint64_t m_streamEnd = 0;  // where the last frame ends
    bool m_tagged = false;     // that frame holds a Xing or Info header: proof enough
    uint32_t m_length = 0;     // of the frame being passed over
    CLastBytes<4> m_last;      // what the scan saw
    uint8_t m_first[4] = {};   // the first frame's header: version, layer, rate, mode must hold
    uint8_t m_tagVersion = 0;
    // Where the sound should begin (the file's start, or a tag's end) other
    // sound may stand: FLAC, or AAC in ADTS frames, often behind an ID3 tag.
    bool m_sniff = false;
    uint8_t m_adts[4] = {};
    Found m_found = Found::None;

    // A frame that belongs to the same stream as the first.
    bool Matches(const uint8_t* b) const
    {
        return FrameLength(b) != 0 && b[1] == m_first[1] && (b[2] & 0x0C) == (m_first[2] & 0x0C) &&
               ((b[3] >> 6) == 3) == ((m_first[3] >> 6) == 3);
    }

    // Where a frame or tag is to begin; fewer than four bytes left are
    // looked at as they are.
    void Expect()
    {
        m_frameStart = m_pos;
        const uint64_t left = m_fileSize - m_pos;
        if (left == 0)
            return Done(Verdict());
        Need(left < 4 ? static_cast<size_t>(left) : 4, kHeader);
    }

    void StartScan(int state, bool sniff = false)
    {
        m_last.Clear();
        m_sniff = sniff;
        Scan(state);
    }

    // Four bytes that begin an ADTS frame: its sync, layer 0, a known rate.
    static bool IsAdts(const uint8_t* b) { return b[0] == 0xFF && (b[1] & 0xF6) == 0xF0 && ((b[2] >> 2) & 0xF) < 13; }

    void FoundOther(Found kind)
    {
        m_found = kind;
        Done(ParseResult::NotJudged);
    }

    void StartTrail(uint64_t from)
    {
        m_trailStart = from;
        StartScan(kTrail);
    }

    // A frame header the seek for the first frame found at start.
    void Candidate(const uint8_t* b, uint64_t start)
    {
        std::memcpy(m_first, b, 4);
        m_frameStart = start;
        m_length = FrameLength(b);
        m_pending = m_pendingBytes = 0;
        m_tagged = false;
        const bool mpeg1 = (b[1] & 0x18) == 0x18, mono = (b[3] >> 6) == 3;
        const uint32_t sideInfo = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
        if (((b[1] >> 1) & 3) == 1 && m_length >= 4 + sideInfo + 16) {
            m_length -= 4 + sideInfo + 16;
            return Skip(sideInfo, kXing);
        }
        Skip(m_length - 4, kCandidate);
    }

    // The bytes where the frame after this one begins.
    void Confirm()
    {
        const uint64_t left = m_fileSize - m_pos;
        if (left == 0) {  // a frame that ends the file is its own proof
            Confirmed();
            return Done(Verdict());
        }
        Need(left < 4 ? static_cast<size_t>(left) : 4, kConfirm);
    }

    // Fewer than four bytes at the end: the start of a frame or tag that
    // was cut off, or a byte or two added after the file.
    ParseResult Tail(const uint8_t* b, size_t n) const
    {
        bool frame = b[0] == 0xFF, tag = b[0] == 'T';
        for (size_t i = 1; i < n; ++i) {
            frame = frame && (i != 1 || b[1] == m_first[1]) && (i != 2 || (b[2] & 0x0C) == (m_first[2] & 0x0C));
            tag = tag && b[i] == "TAG"[i];
        }
        return frame || tag ? ParseResult::CutShort : Verdict();
    }

    void Step(const uint8_t* b) override
    {
        switch (m_state) {
        case kAfterTag:
            return m_frames == 0 ? StartScan(kSeek, true) : Expect();
        case kAdtsLength: {  // the frame's length, over its fourth to sixth byte
            const uint32_t length = (m_adts[3] & 3u) << 11 | b[0] << 3 | b[1] >> 5;
            if (length < 7)
                return StartScan(kSeek);
            if (m_fileSize - m_pos < length - 6)
                return StartScan(kSeek);
            return Skip(length - 6, kAdtsNext);
        }
        case kAdtsNext:
            if (!b) {
                if (m_fileSize == m_pos)
                    return FoundOther(Found::Adts);
                return m_fileSize - m_pos < 2 ? StartScan(kSeek) : Need(2, kAdtsNext);
            }
            if (b[0] == 0xFF && (b[1] & 0xF6) == 0xF0)
                return FoundOther(Found::Adts);
            return StartScan(kSeek);
        case kXing: {  // its name, which counts follow, the frame count, the byte count
            if (!b)
                return Need(16, kXing);
            m_tagged = std::memcmp(b, "Xing", 4) == 0 || std::memcmp(b, "Info", 4) == 0;
            const uint32_t flags = m_tagged ? Be32(b + 4) : 0;
            if (flags & 1)
                m_pending = Be32(b + 8);
            if (flags & 2)
                m_pendingBytes = Be32(b + ((flags & 1) ? 12 : 8));
            return Skip(m_length, kCandidate);
        }
        case kCandidate:
            return Confirm();
        case kConfirm: {
            const size_t n = static_cast<size_t>(m_pos - m_frameStart - FrameLength(m_first));
            if (n < 4) {
                const ParseResult tail = Tail(b, n);
                if (tail == ParseResult::CutShort)
                    return Fail(tail);
                Confirmed();
                return Done(Verdict());
            }
            if (!Matches(b) && !m_tagged)
                return StartScan(kSeek);  // a sync by chance in other data
            Confirmed();
            if (!Matches(b))
                return StartTrail(m_pos - 4);
            return Frame(b);
        }
        case kHeader: {
            const size_t n = static_cast<size_t>(m_pos - m_frameStart);
            if (n < 4)
                return Done(Tail(b, n));
            if (std::memcmp(b, "ID3", 3) == 0) {
                m_tagVersion = b[3];
                return Need(6, kTagRest);
            }
            if (std::memcmp(b, "TAG", 3) == 0)  // ID3v1: 128 bytes, the last ones
                return m_fileSize - m_frameStart < 128 ? Fail(ParseResult::CutShort) : Skip(124, kEndTag);
            if (std::memcmp(b, "APET", 4) == 0 || std::memcmp(b, "LYRI", 4) == 0)
                return Done(Verdict());
            if (!Matches(b))
                return StartTrail(m_frameStart);
            return Frame(b);
        }
        case kTagRest: {
            uint64_t size = 0;
            if (!Id3v2Size(m_tagVersion, b + 1, size))
                return m_frames == 0 ? StartScan(kSeek) : StartTrail(m_frameStart);
            return Skip(size, kAfterTag);
        }
        case kFrameBody:
            return Expect();
        case kEndTag:
            if (m_pos == m_fileSize)
                return Done(Verdict());
            return StartTrail(m_pos);
        case kTrailBody: {
            const uint64_t left = m_fileSize - m_pos;
            if (left < 4)
                return Done(AfterTrail());
            return Need(4, kTrailConfirm);
        }
        case kTrailConfirm:
            if (Matches(b))
                return Fail(ParseResult::Broken);  // frames again after bytes that are none
            return StartScan(kTrail);
        }
    }

    // The candidate at m_frameStart is the first frame.
    void Confirmed()
    {
        m_frames = 1;
        m_declared = m_pending;
        m_declaredBytes = m_pendingBytes;
        m_streamEnd = m_frameStart + FrameLength(m_first);
    }

    // A frame of the stream, its header just read.
    void Frame(const uint8_t* b)
    {
        ++m_frames;
        m_frameStart = m_pos - 4;
        m_streamEnd = m_frameStart + FrameLength(b);
        Skip(FrameLength(b) - 4, kFrameBody);
    }

    size_t OnScan(const uint8_t* data, size_t size) override
    {
        for (size_t i = 0; i < size; ++i) {
            uint8_t b[4];
            if (!m_last.Push(data[i], b))
                continue;
            if (m_state == kSeek && m_sniff) {
                m_sniff = false;
                if (std::memcmp(b, "fLaC", 4) == 0) {
                    FoundOther(Found::Flac);
                    return i + 1;
                }
                if (IsAdts(b)) {
                    std::memcpy(m_adts, b, 4);
                    Need(2, kAdtsLength);
                    return i + 1;
                }
            }
            if (m_state == kSeek) {
                if (std::memcmp(b, "ID3", 3) == 0) {
                    m_tagVersion = b[3];
                    Need(6, kTagRest);
                    return i + 1;
                }
                if (FrameLength(b) != 0) {
                    Candidate(b, m_pos + i - 3);
                    return i + 1;
                }
            } else if (Matches(b)) {  // kTrail
                Skip(FrameLength(b) - 4, kTrailBody);
                return i + 1;
            }
        }
        return size;
    }

    ParseResult Verdict() const
    {
        if (m_frames == 0)
            return ParseResult::Broken;
        // The counts of a Xing or Info header above what is there: the end
        // is missing. Writers count the header's own frame or not, and the
        // bytes with or without the tag before it; a frame more is allowed
        // for what they leave at the end.
        if (m_declared > m_frames + 1)
            return ParseResult::CutShort;
        if (m_declaredBytes > m_streamEnd + FrameLength(m_first))
            return ParseResult::CutShort;
        return ParseResult::Whole;
    }

    bool Recognised() const override { return m_frames > 0; }
    Found FoundKind() const override { return m_found; }

    ParseResult AfterTrail() const
    {
        const ParseResult verdict = Verdict();
        if (verdict == ParseResult::Whole && m_fileSize - m_trailStart >= kNotedTrailing)
            return ParseResult::Trailing;
        return verdict;
    }

    ParseResult AtEnd() override
    {
        switch (m_state) {
        case kSeek:
        case kAdtsLength:
            return ParseResult::Broken;  // no frame at all
        case kXing:
        case kCandidate:
            // A first frame cut short, if its Xing or Info header says it
            // was one; else a sync by chance in what is no sound.
            return m_tagged ? ParseResult::CutShort : ParseResult::Broken;
        case kTrail:
        case kTrailBody:
        case kTrailConfirm:
            return AfterTrail();
        default:
            return ParseResult::CutShort;
        }
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
