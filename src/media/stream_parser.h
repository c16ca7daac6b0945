// The machinery every content parser shares: a parser asks for its next
// step (so many bytes to look at, so many to pass over, or a scan) and is
// called back when the step is complete, however the bytes were chunked.
// Nothing here holds more than a few dozen bytes of the file; a length read
// from a file only ever sets how far to pass over.
#pragma once

#include <cstddef>
#include <cstdint>

// What a parser found. The order matters to nobody; the caller turns it
// into a reason for the user.
enum class ParseResult {
    Whole,      // structure complete
    Hevc,       // whole, but its video is HEVC
    Trailing,   // whole, but followed by many bytes that are no part of it
    SizeOff,    // whole, but a size in its heading is off by a known writer's mistake
    NotJudged,  // a variant this parser cannot follow (too large a table, a layout it cannot see)
    CutShort,   // the file ends before its structure does
    Broken,     // a structure field that cannot be right
    Checksum,   // a checksum in the file does not match its bytes
};

class CStreamParser {
public:
    explicit CStreamParser(uint64_t fileSize) : m_fileSize(fileSize) {}
    virtual ~CStreamParser() = default;
    CStreamParser(const CStreamParser&) = delete;
    CStreamParser& operator=(const CStreamParser&) = delete;

    void Feed(const uint8_t* data, size_t size);
    ParseResult Finish();
    // After Finish: whether the bytes were of this kind at all, for a kind
    // told only by a pattern that other data may hold by chance.
    virtual bool Recognised() const { return true; }
    // After Finish: another kind found where this one was expected (after
    // a tag both kinds use, or under this kind's name).
    enum class Found { None, Flac, Adts };
    virtual Found FoundKind() const { return Found::None; }

protected:
    static constexpr size_t kMaxNeed = 96;

    // The next step; each ends by calling Step() with m_state as set here.
    void Need(size_t n, int state);      // n <= kMaxNeed bytes, handed to Step
    void Skip(uint64_t n, int state);    // pass over n bytes (seen by OnSkipped)
    void Scan(int state);                // every byte to OnScan until it sets another step
    void Done(ParseResult result);       // verdict; any bytes after are allowed
    void Fail(ParseResult problem) { Done(problem); }

    // bytes: the n bytes asked for by Need, or nullptr after a Skip.
    virtual void Step(const uint8_t* bytes) = 0;
    // Bytes passed over by a Skip, for checksums.
    virtual void OnSkipped(const uint8_t*, size_t) {}
    // During Scan: look at the bytes, return how many are used up.
    virtual size_t OnScan(const uint8_t*, size_t size) { return size; }
    // The bytes ran out in the middle of a step (or a scan): what that
    // means for this kind. Where the parser stands is in m_state and m_pos.
    virtual ParseResult AtEnd() { return ParseResult::CutShort; }

    int m_state = 0;
    uint64_t m_pos = 0;  // offset of the first byte not yet used
    const uint64_t m_fileSize;

private:
    enum class Mode { Need, Skip, Scan, Done };
    Mode m_mode = Mode::Need;
    size_t m_need = 0;
    size_t m_have = 0;
    uint64_t m_skip = 0;
    ParseResult m_result = ParseResult::Whole;
    uint8_t m_hold[kMaxNeed] = {};
};

// The last N bytes (N <= 8) a scan took one by one, so that what it finds
// does not depend on how the file was cut into chunks.
template <size_t N>
class CLastBytes {
public:
    void Clear() { m_bits = m_seen = 0; }
    // Takes the next byte; once N are there, true with them in bytes, oldest first.
    bool Push(uint8_t b, uint8_t (&bytes)[N])
    {
        m_bits = m_bits << 8 | b;
        if (++m_seen < N)
            return false;
        for (size_t k = 0; k < N; ++k)
            bytes[k] = static_cast<uint8_t>(m_bits >> (8 * (N - 1 - k)));
        return true;
    }

private:
    uint64_t m_bits = 0;
    uint64_t m_seen = 0;
};

// Bytes after a complete structure are no damage (copies and downloads
// add a few); from this many on they are worth a word to the user.
constexpr uint64_t kNotedTrailing = 64 * 1024;

// Byte order helpers over a few bytes the parser asked for.
inline uint32_t Be16(const uint8_t* p) { return static_cast<uint32_t>(p[0] << 8 | p[1]); }
inline uint32_t Be32(const uint8_t* p) { return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3]; }
inline uint64_t Be64(const uint8_t* p) { return static_cast<uint64_t>(Be32(p)) << 32 | Be32(p + 4); }
inline uint32_t Le16(const uint8_t* p) { return static_cast<uint32_t>(p[1] << 8 | p[0]); }
inline uint32_t Le32(const uint8_t* p) { return static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0]; }
inline uint64_t Le64(const uint8_t* p) { return static_cast<uint64_t>(Le32(p + 4)) << 32 | Le32(p); }

// The first byte of value in p[0, n), or nullptr: memchr, but as fast as
// the disk on every C library (the one MinGW links looks at a byte a time).
const uint8_t* FindByte(const uint8_t* p, size_t n, uint8_t value);

// CRC-32 as PNG (and zip) compute it: reflected, start and end inverted.
// Pass the previous value to continue; start with 0.
uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size);
// CRC-32 as Ogg pages carry it: not reflected, no inversion.
uint32_t OggCrc(uint32_t crc, const uint8_t* data, size_t size);
// FLAC's CRC-16 (x^16 + x^15 + x^2 + 1): not reflected, no inversion.
uint16_t FlacCrc16(uint16_t crc, const uint8_t* data, size_t size);
