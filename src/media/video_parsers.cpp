// ASF (WMA, WMV) and MP4 (MOV, M4A).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "media/media_parsers.h"

namespace {

const uint8_t kAsfHeader[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const uint8_t kAsfFileProperties[16] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                        0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const uint8_t kAsfData[16] = {0x36, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                              0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
// The indexes that may follow the data packets.
const uint8_t kAsfSimpleIndex[16] = {0x90, 0x08, 0x00, 0x33, 0xB1, 0xE5, 0xCF, 0x11,
                                     0x89, 0xF4, 0x00, 0xA0, 0xC9, 0x03, 0x49, 0xCB};
const uint8_t kAsfIndex[16] = {0xD3, 0x29, 0xE2, 0xD6, 0xDA, 0x35, 0xD1, 0x11,
                               0x90, 0x34, 0x00, 0xA0, 0xC9, 0x03, 0x49, 0xBE};
const uint8_t kAsfMediaIndex[16] = {0xF8, 0x03, 0xB1, 0xFE, 0xAD, 0x12, 0x64, 0x4C,
                                    0x84, 0x0F, 0x2A, 0x1D, 0x2F, 0x7A, 0xD4, 0x8C};
const uint8_t kAsfTimecodeIndex[16] = {0xD0, 0x3F, 0xB7, 0x3C, 0x4A, 0x0C, 0x03, 0x48,
                                       0x95, 0x3D, 0xED, 0xF7, 0xB6, 0x22, 0x8F, 0x0C};

// ASF: the header object and the objects in it, the file properties'
// declared size against the real one, then the top-level objects. A
// broadcast (its sizes not known when written) or a data object of size 0
// has its packets to the end of the file, or up to an index: each packet
// is as long as the file properties say.
class CAsfParser : public CStreamParser {
public:
    explicit CAsfParser(uint64_t fileSize) : CStreamParser(fileSize) { Need(30, kHeader); }

private:
    enum { kHeader, kObject, kProperties, kNextObject, kTop, kNextTop, kPacket, kNextPacket, kIndexSize };
    uint64_t m_headerEnd = 0;
    uint64_t m_objectRest = 0;
    bool m_properties = false;
    bool m_broadcast = false;
    uint32_t m_packetSize = 0;  // 0: packets of more than one size

    void NextPacket()
    {
        const uint64_t left = m_fileSize - m_pos;
        if (left == 0)
            return Done(ParseResult::Whole);
        if (m_packetSize < 16 || left < 16)
            return left < m_packetSize ? Fail(ParseResult::CutShort) : Skip(m_packetSize, kNextPacket);
        Need(16, kPacket);
    }

    void NextObject()
    {
        if (m_pos == m_headerEnd)
            return m_properties ? NextTop() : Fail(ParseResult::Broken);
        if (m_headerEnd - m_pos < 24)
            return Fail(ParseResult::Broken);
        Need(24, kObject);
    }

    void NextTop()
    {
        const uint64_t left = m_fileSize - m_pos;
        if (left == 0)
            return Done(ParseResult::Whole);
        if (left < 24)
            return Fail(ParseResult::Broken);
        Need(24, kTop);
    }

    // An object's size after its 24 bytes of heading, checked against
    // what holds it; false (and the verdict given) when it cannot be.
    bool ObjectRest(const uint8_t* b, uint64_t end, uint64_t& rest)
    {
        const uint64_t size = Le64(b + 16);
        if (size < 24 || size - 24 > end - m_pos) {
            Fail(size >= 24 && size - 24 > m_fileSize - m_pos ? ParseResult::CutShort : ParseResult::Broken);
            return false;
        }
        rest = size - 24;
        return true;
    }

    void Step(const uint8_t* b) override
    {
        switch (m_state) {
        case kHeader: {
            const uint64_t size = Le64(b + 16);
            if (std::memcmp(b, kAsfHeader, 16) != 0 || size < 30)
                return Fail(ParseResult::Broken);
            if (size > m_fileSize)
                return Fail(ParseResult::CutShort);
            m_headerEnd = size;
            return NextObject();
        }
        case kObject: {
            if (!ObjectRest(b, m_headerEnd, m_objectRest))
                return;
            if (std::memcmp(b, kAsfFileProperties, 16) == 0 && m_objectRest >= 80) {
                m_properties = true;
                return Need(80, kProperties);
            }
            return Skip(m_objectRest, kNextObject);
        }
        case kProperties: {
            const uint64_t declared = Le64(b + 16);
            m_broadcast = (Le32(b + 64) & 1) != 0;  // the sizes are not known yet
            if (!m_broadcast && declared > m_fileSize)
                return Fail(ParseResult::CutShort);
            m_packetSize = Le32(b + 68) == Le32(b + 72) ? Le32(b + 68) : 0;
            return Skip(m_objectRest - 80, kNextObject);
        }
        case kNextObject:
            return NextObject();
        case kTop: {
            if (std::memcmp(b, kAsfData, 16) == 0 && (Le64(b + 16) == 0 || m_broadcast)) {
                if (m_packetSize == 0 || m_fileSize - m_pos < 26)
                    return Done(ParseResult::Whole);  // nothing to measure the packets by
                return Skip(26, kNextPacket);         // file id, packet count, reserved
            }
            uint64_t rest = 0;
            if (ObjectRest(b, m_fileSize, rest))
                Skip(rest, kNextTop);
            return;
        }
        case kNextTop:
            return NextTop();
        case kNextPacket:
            return NextPacket();
        case kPacket:
            for (const uint8_t* index : {kAsfSimpleIndex, kAsfIndex, kAsfMediaIndex, kAsfTimecodeIndex})
                if (std::memcmp(b, index, 16) == 0)
                    return Need(8, kIndexSize);
            if (m_fileSize - m_pos < m_packetSize - 16)
                return Fail(ParseResult::CutShort);
            return Skip(m_packetSize - 16, kNextPacket);
        case kIndexSize: {
            const uint64_t size = Le64(b);
            if (size < 24 || size - 24 > m_fileSize - m_pos)
                return Fail(size >= 24 ? ParseResult::CutShort : ParseResult::Broken);
            return Skip(size - 24, kNextTop);
        }
        }
    }
};

bool IsType(const uint8_t* type, const char* name) { return std::memcmp(type, name, 4) == 0; }

// MP4 and QuickTime: top-level boxes inside the file and a movie box among
// them. Inside the movie box, the path to the sample descriptions is
// followed to find the video's codec, and the sample tables are summed:
// every chunk must begin inside the file and the samples must fit in the
// media data there is (a last media box of size 0, "to the end", says
// nothing of its own length). A segment index before fragments gives how
// far they reach. Other faults in there are not judged.
class CMp4Parser : public CStreamParser {
public:
    explicit CMp4Parser(uint64_t fileSize) : CStreamParser(fileSize) { Need(8, kBox); }

private:
    enum { kBox, kLargeSize, kNextBox, kChild, kNextChild, kDescriptions, kSizes, kOffsets, kTableEnd, kReferences,
           kSidxVersion, kSidxHead, kSidxEnd };
    enum class Table { None, Sizes, Offsets32, Offsets64, References };
    static constexpr int kMaxDepth = 8;
    uint64_t m_ends[kMaxDepth] = {};
    bool m_descriptions[kMaxDepth] = {};  // this level holds sample descriptions
    int m_depth = 0;
    uint64_t m_boxStart = 0;
    uint64_t m_boxEnd = 0;
    uint64_t m_tableRest = 0;  // bytes of a table box after its heading
    uint8_t m_type[4] = {};
    bool m_movie = false;
    bool m_hevc = false;
    // The sample tables, read as they pass.
    Table m_table = Table::None;
    uint8_t m_entry[12] = {};
    size_t m_entryHave = 0;
    uint64_t m_sampleBytes = 0;  // all samples of all tracks
    uint64_t m_dataBytes = 0;    // all media data boxes' contents
    uint64_t m_lastChunk = 0;    // the highest chunk offset
    bool m_chunks = false;
    bool m_external = false;     // samples in another file: not ours to measure
    // The first segment index: where the fragments it lists end.
    bool m_sidxSeen = false, m_sidx = false;
    uint8_t m_sidxVersion = 0;
    uint64_t m_sidxEnd = 0;

    static uint64_t Add(uint64_t a, uint64_t b) { return a + b < a ? UINT64_MAX : a + b; }

    ParseResult Verdict() const
    {
        if (!m_movie)
            return ParseResult::CutShort;  // a recording that was never closed has no movie box
        if (!m_external && ((m_chunks && m_lastChunk >= m_fileSize) || m_sampleBytes > m_dataBytes))
            return ParseResult::CutShort;  // samples the file no longer holds
        if (m_sidx && m_sidxEnd > m_fileSize)
            return ParseResult::CutShort;  // fragments the index lists are missing
        return m_hevc ? ParseResult::Hevc : ParseResult::Whole;
    }

    void OnSkipped(const uint8_t* data, size_t size) override
    {
        if (m_table == Table::None)
            return;
        const size_t entry = m_table == Table::Offsets64 ? 8 : m_table == Table::References ? 12 : 4;
        for (size_t i = 0; i < size; ++i) {
            m_entry[m_entryHave++] = data[i];
            if (m_entryHave < entry)
                continue;
            m_entryHave = 0;
            switch (m_table) {
            case Table::Sizes: m_sampleBytes = Add(m_sampleBytes, Be32(m_entry)); break;
            case Table::Offsets32: m_lastChunk = std::max<uint64_t>(m_lastChunk, Be32(m_entry)); break;
            case Table::Offsets64: m_lastChunk = std::max(m_lastChunk, Be64(m_entry)); break;
            case Table::References: m_sidxEnd = Add(m_sidxEnd, Be32(m_entry) & 0x7FFFFFFF); break;
            case Table::None: break;
            }
        }
    }

    // Passes over a table's entries, each seen by OnSkipped.
    void ReadTable(Table table, uint64_t bytes, int then)
    {
        m_table = table;
        m_entryHave = 0;
        Skip(bytes, then);
    }

    // After the movie box, what is no box was added after the file
    // (cameras, downloads and editors do): no damage.
    void Trailing()
    {
        const ParseResult verdict = Verdict();
        Done(verdict == ParseResult::Whole && m_fileSize - m_boxStart >= kNotedTrailing ? ParseResult::Trailing
                                                                                          : verdict);
    }

    void NextBox()
    {
        m_boxStart = m_pos;
        if (m_pos == m_fileSize)
            return Done(Verdict());
        if (m_movie && m_fileSize - m_pos < 8)
            return Trailing();
        Need(8, kBox);
    }

    // A top-level box's type as writers give them: letters, digits, spaces.
    static bool BoxName(const uint8_t* type)
    {
        for (int i = 0; i < 4; ++i) {
            const uint8_t c = type[i];
            if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == 0xA9))
                return false;
        }
        return true;
    }

    void Box(uint64_t size, uint64_t header)
    {
        const uint64_t left = m_fileSize - m_boxStart;
        if (size == 0)  // to the end of the file
            size = left;
        if (size < header)
            return Fail(ParseResult::Broken);
        if (size > left)
            return Fail(ParseResult::CutShort);
        if (IsType(m_type, "mdat"))
            m_dataBytes = Add(m_dataBytes, size - header);
        if (IsType(m_type, "sidx") && !m_sidxSeen && size - header >= 4 + 20) {
            m_sidxSeen = true;
            m_boxEnd = m_boxStart + size;
            return Need(4, kSidxVersion);
        }
        if (IsType(m_type, "moov")) {
            m_movie = true;
            m_depth = 0;
            m_ends[m_depth] = m_boxStart + size;
            m_descriptions[m_depth++] = false;
            return NextChild();
        }
        Skip(size - header, kNextBox);
    }

    void NextChild()
    {
        while (m_depth > 0 && m_pos >= m_ends[m_depth - 1])
            --m_depth;
        if (m_depth == 0)
            return NextBox();
        const uint64_t left = m_ends[m_depth - 1] - m_pos;
        if (left < 8)
            return Skip(left, kNextChild);
        Need(8, kChild);
    }

    void Step(const uint8_t* b) override
    {
        switch (m_state) {
        case kBox: {
            std::memcpy(m_type, b + 4, 4);
            const uint32_t size = Be32(b);
            if (m_movie && (!BoxName(m_type) || (size > 1 && size < 8)))
                return Trailing();
            for (uint8_t c : m_type)
                if ((c < 0x20 || c > 0x7E) && c != 0xA9)
                    return Fail(ParseResult::Broken);
            if (size == 1)
                return Need(8, kLargeSize);
            return Box(size, 8);
        }
        case kLargeSize:
            return Box(Be64(b), 16);
        case kNextBox:
            return NextBox();
        case kChild: {
            const uint64_t size = Be32(b);
            const uint64_t end = m_ends[m_depth - 1];
            if (size < 8 || size - 8 > end - m_pos)  // not ours to judge: pass over the rest
                return Skip(end - m_pos, kNextChild);
            if (m_descriptions[m_depth - 1]) {
                for (const char* hevc : {"hvc1", "hev1", "dvh1", "dvhe"})
                    m_hevc = m_hevc || IsType(b + 4, hevc);
                return Skip(size - 8, kNextChild);
            }
            m_tableRest = size - 8;
            if (IsType(b + 4, "stsz") && size >= 20)
                return Need(12, kSizes);
            if ((IsType(b + 4, "stco") || IsType(b + 4, "co64")) && size >= 16) {
                m_table = IsType(b + 4, "co64") ? Table::Offsets64 : Table::Offsets32;
                return Need(8, kOffsets);
            }
            if (IsType(b + 4, "dref") && size >= 28)
                return Need(20, kReferences);
            bool container = false;
            for (const char* name : {"trak", "mdia", "minf", "dinf", "stbl", "stsd"})
                container = container || IsType(b + 4, name);
            if (!container || m_depth == kMaxDepth)
                return Skip(size - 8, kNextChild);
            m_ends[m_depth] = m_pos - 8 + size;
            m_descriptions[m_depth++] = IsType(b + 4, "stsd");
            if (m_descriptions[m_depth - 1])
                return Skip(size >= 16 ? 8 : size - 8, kNextChild);  // version, flags and count
            return NextChild();
        }
        case kNextChild:
            return NextChild();
        case kSizes: {  // version and flags, one size for all samples or 0, the count
            const uint64_t all = Be32(b + 4), count = Be32(b + 8);
            if (all != 0) {
                // QuickTime's older sound gives 1 and counts decoded samples,
                // not bytes (ADPCM holds fewer): it says nothing here.
                if (all != 1)
                    m_sampleBytes = Add(m_sampleBytes, all * count);
                return Skip(m_tableRest - 12, kNextChild);
            }
            return ReadTable(Table::Sizes, m_tableRest - 12, kTableEnd);
        }
        case kOffsets:  // version and flags, the count
            m_chunks = true;
            return ReadTable(m_table, m_tableRest - 8, kTableEnd);
        case kTableEnd:
            m_table = Table::None;
            return NextChild();
        case kReferences:  // version and flags, the count, the first entry's size, type and flags
            if ((Be32(b + 16) & 1) == 0)  // not "in this file"
                m_external = true;
            return Skip(m_tableRest - 20, kNextChild);
        case kSidxVersion:
            m_sidxVersion = b[0];
            if (m_boxEnd - m_pos < (m_sidxVersion == 0 ? 20u : 28u))
                return Skip(m_boxEnd - m_pos, kNextBox);
            return Need(m_sidxVersion == 0 ? 20 : 28, kSidxHead);
        case kSidxHead: {  // id, time scale, first time, first offset, reserved, count
            const uint64_t firstOffset = m_sidxVersion == 0 ? Be32(b + 12) : Be64(b + 16);
            const uint64_t refs = 12ull * Be16(b + (m_sidxVersion == 0 ? 18 : 26));
            if (refs > m_boxEnd - m_pos)  // an index that does not fit its box: not read
                return Skip(m_boxEnd - m_pos, kNextBox);
            m_sidxEnd = Add(m_boxEnd, firstOffset);
            return ReadTable(Table::References, refs, kSidxEnd);
        }
        case kSidxEnd:
            m_table = Table::None;
            m_sidx = true;
            return Skip(m_boxEnd - m_pos, kNextBox);
        }
    }

    ParseResult AtEnd() override { return ParseResult::CutShort; }
};

}  // namespace

std::unique_ptr<CStreamParser> MakeAsfParser(uint64_t fileSize) { return std::make_unique<CAsfParser>(fileSize); }
std::unique_ptr<CStreamParser> MakeMp4Parser(uint64_t fileSize) { return std::make_unique<CMp4Parser>(fileSize); }
