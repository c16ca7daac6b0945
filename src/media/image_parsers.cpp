// JPEG, PNG, GIF and BMP: each followed marker by marker, chunk by chunk
// or block by block; lengths in the file only say how far to pass over.
#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "media/media_parsers.h"

namespace {

// JPEG: markers and their segments up to the end marker, the entropy-coded
// data of each scan passed over by looking for 0xFF. Phones append data
// after the end marker; that is allowed.
class CJpegParser : public CStreamParser {
public:
    explicit CJpegParser(uint64_t fileSize) : CStreamParser(fileSize) { Need(2, kStart); }

private:
    enum { kStart, kMarkerFF, kMarkerCode, kLength, kScanHeader, kAfterFF };
    uint8_t m_marker = 0;

    void Marker(uint8_t code)
    {
        if (code == 0xFF) {  // fill byte before a marker
            Need(1, kMarkerCode);
        } else if (code == 0xD9) {
            Done(ParseResult::Whole);
        } else if (code == 0x00 || code == 0xD8) {
            Fail(ParseResult::Broken);
        } else if ((code >= 0xD0 && code <= 0xD7) || code == 0x01) {
            Need(1, kMarkerFF);  // no segment
        } else {
            m_marker = code;
            Need(2, kLength);
        }
    }

    void Step(const uint8_t* b) override
    {
        switch (m_state) {
        case kStart:
            if (b[0] != 0xFF || b[1] != 0xD8)
                return Fail(ParseResult::Broken);
            return Need(1, kMarkerFF);
        case kMarkerFF:
            if (!b)  // after a segment
                return Need(1, kMarkerFF);
            if (b[0] != 0xFF)
                return Fail(ParseResult::Broken);
            return Need(1, kMarkerCode);
        case kMarkerCode:
            return Marker(b[0]);
        case kLength: {
            const uint32_t length = Be16(b);
            if (length < 2)
                return Fail(ParseResult::Broken);
            return Skip(length - 2, m_marker == 0xDA ? kScanHeader : kMarkerFF);
        }
        case kScanHeader:
            return Scan(kScanHeader);
        case kAfterFF:
            if (b[0] == 0x00 || (b[0] >= 0xD0 && b[0] <= 0xD7))
                return Scan(kScanHeader);  // stuffed byte or restart marker
            return Marker(b[0]);
        }
    }

    size_t OnScan(const uint8_t* data, size_t size) override
    {
        // A stuffed byte or a restart marker in the same chunk is passed
        // over here, as kAfterFF would: most 0xFF bytes are those.
        for (size_t at = 0;;) {
            const uint8_t* ff = FindByte(data + at, size - at, 0xFF);
            if (!ff)
                return size;
            const size_t next = static_cast<size_t>(ff - data) + 1;
            if (next < size && (data[next] == 0x00 || (data[next] >= 0xD0 && data[next] <= 0xD7))) {
                at = next + 1;
                continue;
            }
            Need(1, kAfterFF);
            return next;
        }
    }
};

// PNG: the signature, then chunks, each with its CRC; the header chunk
// first and the end chunk last. Bytes after the end chunk are allowed.
class CPngParser : public CStreamParser {
public:
    explicit CPngParser(uint64_t fileSize) : CStreamParser(fileSize) { Need(8, kSignature); }

private:
    enum { kSignature, kChunk, kCrc };
    uint32_t m_crc = 0;
    bool m_first = true;
    bool m_end = false;

    void Step(const uint8_t* b) override
    {
        switch (m_state) {
        case kSignature:
            if (std::memcmp(b, "\x89PNG\r\n\x1A\n", 8) != 0)
                return Fail(ParseResult::Broken);
            return Need(8, kChunk);
        case kChunk: {
            const uint32_t length = Be32(b);
            const uint8_t* type = b + 4;
            for (int i = 0; i < 4; ++i) {
                const uint8_t c = static_cast<uint8_t>(type[i] | 0x20);
                if (c < 'a' || c > 'z')
                    return Fail(ParseResult::Broken);
            }
            const bool header = std::memcmp(type, "IHDR", 4) == 0;
            if (length > 0x7FFFFFFFu || header != m_first || (header && length != 13))
                return Fail(ParseResult::Broken);
            m_first = false;
            m_end = std::memcmp(type, "IEND", 4) == 0;
            m_crc = Crc32(0, type, 4);
            return Skip(length, kCrc);
        }
        case kCrc:
            if (!b)
                return Need(4, kCrc);
            if (Be32(b) != m_crc)
                return Fail(ParseResult::Checksum);
            if (m_end)
                return Done(ParseResult::Whole);
            return Need(8, kChunk);
        }
    }

    void OnSkipped(const uint8_t* data, size_t size) override { m_crc = Crc32(m_crc, data, size); }
};

// GIF: header and screen descriptor, then images and extensions, each a
// row of sub-blocks, up to the trailer.
class CGifParser : public CStreamParser {
public:
    explicit CGifParser(uint64_t fileSize) : CStreamParser(fileSize) { Need(13, kHeader); }

private:
    enum { kHeader, kBlock, kImage, kCodeSize, kLabel, kSubBlocks };
    uint32_t m_rest = 0;  // of the sub-block being passed over

    // Sub-blocks in a row, each its length and that many bytes, up to a
    // length of 0: walked here, a step each would cost more than the bytes.
    void SubBlocks()
    {
        m_rest = 0;
        Scan(kSubBlocks);
    }

    size_t OnScan(const uint8_t* data, size_t size) override
    {
        size_t at = 0;
        while (at < size) {
            if (m_rest > 0) {
                const size_t take = std::min<size_t>(m_rest, size - at);
                at += take;
                m_rest -= static_cast<uint32_t>(take);
                continue;
            }
            m_rest = data[at++];
            if (m_rest == 0) {
                Need(1, kBlock);
                return at;
            }
        }
        return size;
    }

    static uint64_t ColourTable(uint8_t flags) { return (flags & 0x80) ? 3u << ((flags & 7) + 1) : 0; }

    void Step(const uint8_t* b) override
    {
        switch (m_state) {
        case kHeader:
            if (std::memcmp(b, "GIF87a", 6) != 0 && std::memcmp(b, "GIF89a", 6) != 0)
                return Fail(ParseResult::Broken);
            return Skip(ColourTable(b[10]), kBlock);
        case kBlock:
            if (!b)
                return Need(1, kBlock);
            if (b[0] == 0x2C)
                return Need(9, kImage);
            if (b[0] == 0x21)
                return Need(1, kLabel);
            if (b[0] == 0x3B)
                return Done(ParseResult::Whole);
            return Fail(ParseResult::Broken);
        case kImage:
            return Skip(ColourTable(b[8]), kCodeSize);
        case kCodeSize:
            if (!b)
                return Need(1, kCodeSize);
            if (b[0] < 1 || b[0] > 11)
                return Fail(ParseResult::Broken);
            return SubBlocks();
        case kLabel:
            return SubBlocks();
        case kSubBlocks:
            break;
        }
    }
};

// BMP: everything that matters is in the two headers: the sizes they
// declare are compared with the file's size, and the pixels are not read.
// Where neither header gives the size of run-length coded pixels, the runs
// are followed to their end.
class CBmpParser : public CStreamParser {
public:
    explicit CBmpParser(uint64_t fileSize) : CStreamParser(fileSize) { Need(18, kFileHeader); }

private:
    enum { kFileHeader, kInfoHeader, kRun, kNextRun };
    uint32_t m_pixelOffset = 0;
    uint32_t m_infoSize = 0;
    uint32_t m_declared = 0;
    bool m_fourBits = false;

    void Step(const uint8_t* b) override
    {
        if (m_state == kRun)
            return Run(b);
        if (m_state == kNextRun)
            return Need(2, kRun);
        if (m_state == kFileHeader) {
            if (b[0] != 'B' || b[1] != 'M')
                return Fail(ParseResult::Broken);
            const uint32_t declared = m_declared = Le32(b + 2);
            m_pixelOffset = Le32(b + 10);
            m_infoSize = Le32(b + 14);
            bool known = false;
            for (uint32_t size : {12u, 16u, 40u, 52u, 56u, 64u, 108u, 124u})
                known = known || m_infoSize == size;
            if (!known || m_pixelOffset < 14 + m_infoSize)
                return Fail(ParseResult::Broken);
            // A size of 0 is common and allowed; a larger one than the file is not.
            if (declared > m_fileSize || m_pixelOffset > m_fileSize)
                return Fail(ParseResult::CutShort);
            return Need(m_infoSize == 12 ? 8 : m_infoSize == 16 ? 12 : 20, kInfoHeader);
        }
        int64_t width, height;
        uint32_t planes, bits, compression = 0, imageSize = 0;
        if (m_infoSize == 12) {
            width = Le16(b);
            height = static_cast<int16_t>(Le16(b + 2));
            planes = Le16(b + 4);
            bits = Le16(b + 6);
        } else {
            width = static_cast<int32_t>(Le32(b));
            height = static_cast<int32_t>(Le32(b + 4));
            planes = Le16(b + 8);
            bits = Le16(b + 10);
            if (m_infoSize > 16) {
                compression = Le32(b + 12);
                imageSize = Le32(b + 16);
            }
        }
        bool knownBits = false;
        for (uint32_t n : {1u, 2u, 4u, 8u, 16u, 24u, 32u, 64u})
            knownBits = knownBits || bits == n;
        if (width <= 0 || height == 0 || planes != 1 || !knownBits)
            return Fail(ParseResult::Broken);
        const uint64_t rows = static_cast<uint64_t>(height < 0 ? -height : height);
        const uint64_t room = m_fileSize - m_pixelOffset;
        if (compression == 0 || compression == 3 || compression == 6) {
            const uint64_t rowBytes = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
            if (rows > room / rowBytes)  // rowBytes * rows > room, without overflow
                return Fail(ParseResult::CutShort);
        } else if (compression <= 13) {
            // A size of 0 in both headers is common; the file's own then says it.
            const uint64_t data =
                imageSize ? imageSize : m_declared > m_pixelOffset ? m_declared - m_pixelOffset : 0;
            if (data == 0 && (compression == 1 || compression == 2)) {
                m_fourBits = compression == 2;
                return Skip(m_pixelOffset - m_pos, kNextRun);
            }
            if (data == 0)
                return Done(ParseResult::NotJudged);
            if (data > room)
                return Fail(ParseResult::CutShort);
        } else {
            return Fail(ParseResult::Broken);
        }
        Done(ParseResult::Whole);
    }

    // A run (count, value) or, after a count of 0, an end of line, the end
    // of the picture, a move (two bytes) or that many literal pixels,
    // padded to an even number of bytes.
    void Run(const uint8_t* b)
    {
        if (b[0] != 0 || b[1] == 0)
            return Need(2, kRun);
        if (b[1] == 1)
            return Done(ParseResult::Whole);
        if (b[1] == 2)
            return Skip(2, kNextRun);
        const uint32_t bytes = m_fourBits ? (b[1] + 1u) / 2 : b[1];
        Skip((bytes + 1) & ~1u, kNextRun);
    }
};

}  // namespace

std::unique_ptr<CStreamParser> MakeJpegParser(uint64_t fileSize) { return std::make_unique<CJpegParser>(fileSize); }
std::unique_ptr<CStreamParser> MakePngParser(uint64_t fileSize) { return std::make_unique<CPngParser>(fileSize); }
std::unique_ptr<CStreamParser> MakeGifParser(uint64_t fileSize) { return std::make_unique<CGifParser>(fileSize); }
std::unique_ptr<CStreamParser> MakeBmpParser(uint64_t fileSize) { return std::make_unique<CBmpParser>(fileSize); }
