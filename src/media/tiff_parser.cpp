// TIFF: directories and the tables of strip and tile offsets may lie
// anywhere in the file, before or after what points to them. The parser
// cannot go back, so it notes the ranges it must read, reads each when its
// last byte has come by (from the chunk at hand or from a look-back of the
// last bytes), and checks every strip and tile against the file's size.
// What lies too far behind to read makes the file not judged, never damaged.
#include <algorithm>
#include <cstring>
#include <vector>

#include "media/media_parsers.h"

namespace {

class CTiffParser : public CStreamParser {
public:
    explicit CTiffParser(uint64_t fileSize) : CStreamParser(fileSize), m_window(kWindow)
    {
        m_regions.push_back({0, 8, What::Header, 0, 0, 0});
        Scan(0);
    }

private:
    static constexpr size_t kWindow = 256 * 1024;  // look-back, and the largest range read
    static constexpr size_t kMaxRegions = 4096;
    static constexpr size_t kMaxDirectories = 1024;
    static constexpr size_t kMaxHeld = 1 << 20;  // table values kept until their partner table is read

    enum class What { Header, Count, Directory, Offsets, Counts };
    struct Region {
        uint64_t offset;
        uint32_t length;
        What what;
        uint32_t directory;
        int pair;      // 0 strips, 1 tiles
        uint32_t unit; // bytes per table value
    };
    struct Pair {
        std::vector<uint64_t> offsets, counts;
        bool wantOffsets = false, wantCounts = false, haveOffsets = false, haveCounts = false;
    };
    struct Directory {
        uint64_t offset;
        Pair pairs[2];
    };

    std::vector<uint8_t> m_window;
    size_t m_windowEnd = 0;  // where the next byte goes
    size_t m_windowFill = 0;
    std::vector<Region> m_regions;
    std::vector<Directory> m_directories;
    size_t m_held = 0;
    bool m_little = true;
    bool m_lost = false;
    bool m_stopped = false;

    void Step(const uint8_t*) override {}

    void Stop(ParseResult result)
    {
        m_stopped = true;
        Done(result);
    }

    uint32_t U16(const uint8_t* p) const { return m_little ? Le16(p) : Be16(p); }
    uint32_t U32(const uint8_t* p) const { return m_little ? Le32(p) : Be32(p); }

    void AddRegion(uint64_t offset, uint64_t length, What what, uint32_t directory = 0, int pair = 0,
                   uint32_t unit = 0)
    {
        if (offset > m_fileSize || length > m_fileSize - offset)
            return Stop(ParseResult::CutShort);
        if (length > kWindow || m_regions.size() >= kMaxRegions) {
            m_lost = true;
            return;
        }
        m_regions.push_back({offset, static_cast<uint32_t>(length), what, directory, pair, unit});
    }

    void AddDirectory(uint64_t offset)
    {
        if (offset == 0)
            return;
        for (const Directory& d : m_directories)
            if (d.offset == offset)
                return Stop(ParseResult::Broken);  // the chain runs in a circle
        if (m_directories.size() >= kMaxDirectories) {
            m_lost = true;
            return;
        }
        m_directories.push_back({offset, {}});
        AddRegion(offset, 2, What::Count, static_cast<uint32_t>(m_directories.size() - 1));
    }

    size_t OnScan(const uint8_t* data, size_t size) override
    {
        const uint64_t start = m_pos;
        const uint64_t end = start + size;
        std::vector<uint8_t> bytes;
        while (!m_stopped) {
            size_t next = m_regions.size();
            for (size_t i = 0; i < m_regions.size(); ++i) {
                const uint64_t e = m_regions[i].offset + m_regions[i].length;
                if (e <= end && (next == m_regions.size() ||
                                 e < m_regions[next].offset + m_regions[next].length))
                    next = i;
            }
            if (next == m_regions.size())
                break;
            const Region r = m_regions[next];
            m_regions.erase(m_regions.begin() + static_cast<ptrdiff_t>(next));
            if (r.offset + m_windowFill < start) {
                m_lost = true;  // behind the look-back
                continue;
            }
            bytes.resize(r.length);
            for (uint32_t i = 0; i < r.length; ++i) {
                const uint64_t at = r.offset + i;
                bytes[i] = at >= start ? data[at - start]
                                       : m_window[(m_windowEnd + kWindow - static_cast<size_t>(start - at)) % kWindow];
            }
            Read(r, bytes.data());
        }
        Remember(data, size);
        return size;
    }

    void Remember(const uint8_t* data, size_t size)
    {
        if (size >= kWindow) {
            std::memcpy(m_window.data(), data + size - kWindow, kWindow);
            m_windowEnd = 0;
            m_windowFill = kWindow;
            return;
        }
        const size_t first = std::min(size, kWindow - m_windowEnd);
        std::memcpy(m_window.data() + m_windowEnd, data, first);
        std::memcpy(m_window.data(), data + first, size - first);
        m_windowEnd = (m_windowEnd + size) % kWindow;
        m_windowFill = std::min(m_windowFill + size, kWindow);
    }

    void Read(const Region& r, const uint8_t* b)
    {
        switch (r.what) {
        case What::Header: {
            if (b[0] == 'I' && b[1] == 'I')
                m_little = true;
            else if (b[0] == 'M' && b[1] == 'M')
                m_little = false;
            else
                return Stop(ParseResult::Broken);
            const uint32_t version = U16(b + 2);
            if (version == 43)  // BigTIFF: 64-bit offsets, not followed here
                return Stop(ParseResult::NotJudged);
            if (version != 42 || U32(b + 4) < 8)
                return Stop(ParseResult::Broken);
            return AddDirectory(U32(b + 4));
        }
        case What::Count: {
            const uint32_t entries = U16(b);
            if (entries == 0)
                return Stop(ParseResult::Broken);
            return AddRegion(r.offset, 2 + 12ull * entries + 4, What::Directory, r.directory);
        }
        case What::Directory:
            return ReadDirectory(r, b);
        case What::Offsets:
        case What::Counts: {
            const uint32_t n = r.length / r.unit;
            if (m_held + n > kMaxHeld) {
                m_lost = true;
                return;
            }
            Pair& pair = m_directories[r.directory].pairs[r.pair];
            std::vector<uint64_t>& values = r.what == What::Offsets ? pair.offsets : pair.counts;
            for (uint32_t i = 0; i < n; ++i)
                values.push_back(r.unit == 2 ? U16(b + 2 * i) : U32(b + 4 * i));
            m_held += n;
            (r.what == What::Offsets ? pair.haveOffsets : pair.haveCounts) = true;
            return CheckPair(pair);
        }
        }
    }

    void ReadDirectory(const Region& r, const uint8_t* b)
    {
        const uint32_t entries = U16(b);
        const uint32_t directory = r.directory;
        for (uint32_t i = 0; i < entries && !m_stopped; ++i) {
            const uint8_t* e = b + 2 + 12 * i;
            const uint32_t tag = U16(e);
            const bool offsets = tag == 273 || tag == 324;
            if (!offsets && tag != 279 && tag != 325)
                continue;
            const int p = tag == 273 || tag == 279 ? 0 : 1;
            const uint32_t type = U16(e + 2);
            const uint32_t count = U32(e + 4);
            if ((type != 3 && type != 4) || count == 0)
                return Stop(ParseResult::Broken);
            const uint32_t unit = type == 3 ? 2 : 4;
            Pair& pair = m_directories[directory].pairs[p];
            (offsets ? pair.wantOffsets : pair.wantCounts) = true;
            const uint64_t length = static_cast<uint64_t>(count) * unit;
            if (length > 4) {
                AddRegion(U32(e + 8), length, offsets ? What::Offsets : What::Counts, directory, p, unit);
                continue;
            }
            std::vector<uint64_t>& values = offsets ? pair.offsets : pair.counts;
            for (uint32_t v = 0; v < count; ++v)
                values.push_back(unit == 2 ? U16(e + 8 + 2 * v) : U32(e + 8));
            m_held += count;
            (offsets ? pair.haveOffsets : pair.haveCounts) = true;
        }
        if (m_stopped)
            return;
        for (Pair& pair : m_directories[directory].pairs)
            CheckPair(pair);
        if (!m_stopped)
            AddDirectory(U32(b + 2 + 12 * entries));
    }

    // Once a table and its partner are both read: every strip or tile in the file.
    void CheckPair(Pair& pair)
    {
        if (!pair.haveOffsets || (pair.wantCounts && !pair.haveCounts))
            return;
        if (pair.wantCounts && pair.counts.size() != pair.offsets.size())
            return Stop(ParseResult::Broken);
        for (size_t i = 0; i < pair.offsets.size(); ++i) {
            const uint64_t count = pair.wantCounts ? pair.counts[i] : 0;
            if (pair.offsets[i] > m_fileSize || count > m_fileSize - pair.offsets[i])
                return Stop(ParseResult::CutShort);
        }
        m_held -= std::min(m_held, pair.offsets.size() + pair.counts.size());
        pair = Pair{};
    }

    ParseResult AtEnd() override
    {
        if (!m_regions.empty())
            return ParseResult::CutShort;
        return m_lost ? ParseResult::NotJudged : ParseResult::Whole;
    }
};

}  // namespace

std::unique_ptr<CStreamParser> MakeTiffParser(uint64_t fileSize) { return std::make_unique<CTiffParser>(fileSize); }
