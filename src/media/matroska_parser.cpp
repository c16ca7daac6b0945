// Matroska and WebM: EBML elements, each an id and a size in a variable
// number of bytes.
#include <cstring>
#include <initializer_list>

#include "media/media_parsers.h"

namespace {

constexpr uint32_t kEbml = 0x1A45DFA3, kDocType = 0x4282, kSegment = 0x18538067, kCluster = 0x1F43B675;
constexpr uint32_t kSeekHead = 0x114D9B74, kSeek = 0x4DBB, kSeekPosition = 0x53AC;
constexpr uint32_t kCues = 0x1C53BB6B, kCuePoint = 0xBB, kCueTrackPositions = 0xB7, kCueClusterPosition = 0xF1;

// The elements that stand directly in a segment: one of them ends a
// cluster whose size was left unknown.
bool InSegment(uint32_t id)
{
    for (uint32_t top : {kSeekHead, 0x1549A966u /* Info */, 0x1654AE6Bu /* Tracks */, kCluster, kCues,
                         0x1043A770u /* Chapters */, 0x1254C367u /* Tags */, 0x1941A469u /* Attachments */})
        if (id == top)
            return true;
    return false;
}

// The EBML header (its document type must be Matroska's or WebM's), then
// the segment: its size, or "unknown" (a live recording: to the end of the
// file), and the elements in it. Clusters of known size are passed over;
// one of unknown size lasts until the next element of the segment. The
// positions the cues and the seek head give must lie inside the file: a
// file cut after its index says so. After a sized segment, other bytes
// were added and are no damage.
class CMatroskaParser : public CStreamParser {
public:
    explicit CMatroskaParser(uint64_t fileSize) : CStreamParser(fileSize) { Need(1, kId); }

private:
    enum { kId, kIdRest, kSize, kSizeRest, kDocTypeText, kPosition, kNext };
    static constexpr int kMaxDepth = 8;
    struct Level {
        uint32_t id;
        uint64_t end;
        bool open;  // size unknown
    };
    Level m_levels[kMaxDepth] = {};
    int m_depth = 0;
    uint32_t m_id = 0;
    size_t m_length = 0;  // of the id or size being read
    uint64_t m_value = 0;
    bool m_header = false, m_segment = false;
    uint64_t m_segmentData = 0;  // where the segment's contents begin: positions count from there
    size_t m_valueSize = 0;  // of the text or number being read

    static size_t VintLength(uint8_t first)
    {
        for (size_t n = 1; n <= 8; ++n)
            if (first & (0x80 >> (n - 1)))
                return n;
        return 0;
    }

    void Next()
    {
        while (m_depth > 0 && (m_pos >= m_levels[m_depth - 1].end)) {
            if (m_levels[--m_depth].id == kSegment && m_depth == 0) {  // what follows was added
                const uint64_t rest = m_fileSize - m_pos;
                return Done(rest >= kNotedTrailing ? ParseResult::Trailing : ParseResult::Whole);
            }
        }
        if (m_pos == m_fileSize)
            return Done(m_segment ? ParseResult::Whole : ParseResult::CutShort);
        Need(1, kId);
    }

    void Element(uint64_t size, bool unknown)
    {
        // A cluster of unknown size ends where the segment's next element begins.
        if (m_depth > 0 && m_levels[m_depth - 1].id == kCluster && m_levels[m_depth - 1].open && InSegment(m_id))
            --m_depth;
        const uint32_t parent = m_depth > 0 ? m_levels[m_depth - 1].id : 0;
        const uint64_t parentEnd = m_depth > 0 ? m_levels[m_depth - 1].end : m_fileSize;
        if (!m_header && m_id != kEbml)
            return Fail(ParseResult::Broken);
        const bool openable = (m_id == kSegment && parent == 0) || (m_id == kCluster && parent == kSegment);
        if (unknown && !openable)
            return Fail(ParseResult::Broken);
        const uint64_t left = parentEnd - m_pos;
        if (!unknown && size > left)
            return Fail(size > m_fileSize - m_pos ? ParseResult::CutShort : ParseResult::Broken);
        const uint64_t end = unknown ? parentEnd : m_pos + size;

        bool descend = false;
        if (parent == 0) {
            if (m_id == kEbml) {
                m_header = true;
                descend = true;
            } else if (m_id == kSegment && !m_segment) {
                m_segment = true;
                m_segmentData = m_pos;
                descend = true;
            }
        } else if (parent == kEbml && m_id == kDocType) {
            if (size == 0 || size > 16)
                return Done(ParseResult::NotJudged);
            m_valueSize = static_cast<size_t>(size);
            return Need(m_valueSize, kDocTypeText);
        } else if (parent == kSegment) {
            descend = m_id == kCues || m_id == kSeekHead || (m_id == kCluster && unknown);
        } else if ((parent == kCues && m_id == kCuePoint) || (parent == kCuePoint && m_id == kCueTrackPositions) ||
                   (parent == kSeekHead && m_id == kSeek)) {
            descend = true;
        } else if ((parent == kCueTrackPositions && m_id == kCueClusterPosition) ||
                   (parent == kSeek && m_id == kSeekPosition)) {
            if (size > 8)
                return Fail(ParseResult::Broken);
            if (size == 0)
                return Next();
            m_valueSize = static_cast<size_t>(size);
            return Need(m_valueSize, kPosition);
        }
        if (descend) {
            if (m_depth == kMaxDepth)
                return Fail(ParseResult::NotJudged);
            m_levels[m_depth++] = {m_id, end, unknown};
            return Next();
        }
        Skip(end - m_pos, kNext);
    }

    void Step(const uint8_t* b) override
    {
        switch (m_state) {
        case kId:
            m_length = VintLength(b[0]);
            if (m_length == 0 || m_length > 4)
                return Fail(ParseResult::Broken);
            m_id = b[0];
            if (m_length == 1)
                return Need(1, kSize);
            return Need(m_length - 1, kIdRest);
        case kIdRest:
            for (size_t i = 0; i + 1 < m_length; ++i)
                m_id = m_id << 8 | b[i];
            return Need(1, kSize);
        case kSize: {
            m_length = VintLength(b[0]);
            if (m_length == 0)
                return Fail(ParseResult::Broken);
            m_value = b[0] & (0xFFu >> m_length);
            if (m_length == 1)
                return Element(m_value, m_value == 0x7F);
            return Need(m_length - 1, kSizeRest);
        }
        case kSizeRest: {
            for (size_t i = 0; i + 1 < m_length; ++i)
                m_value = m_value << 8 | b[i];
            const uint64_t allOnes = (uint64_t{1} << (7 * m_length)) - 1;  // "unknown"
            return Element(m_value, m_value == allOnes);
        }
        case kDocTypeText: {  // text, perhaps padded with zero bytes
            size_t n = m_valueSize;
            while (n > 0 && b[n - 1] == 0)
                --n;
            const bool known = (n == 8 && std::memcmp(b, "matroska", 8) == 0) || (n == 4 && std::memcmp(b, "webm", 4) == 0);
            if (!known)
                return Done(ParseResult::NotJudged);
            return Next();
        }
        case kPosition: {
            uint64_t position = 0;
            for (size_t i = 0; i < m_valueSize; ++i)
                position = position << 8 | b[i];
            if (position >= m_fileSize - m_segmentData)
                return Fail(ParseResult::CutShort);
            return Next();
        }
        case kNext:
            return Next();
        }
    }
};

}  // namespace

std::unique_ptr<CStreamParser> MakeMatroskaParser(uint64_t fileSize)
{
    return std::make_unique<CMatroskaParser>(fileSize);
}
