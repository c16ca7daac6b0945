// The content check of a 1 GiB file of each large kind holds a few
// kilobytes, whatever its tables count: the file is generated as it is fed
// (its sound and pictures are zero bytes, never held), and every byte the
// check allocates is counted through the sanitizer's allocation hooks.
#include <sanitizer/allocator_interface.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "media/content_check.h"
#include "media/stream_parser.h"
#include "support/media_variants.h"

namespace {

constexpr uint64_t kGiB = uint64_t{1} << 30;
constexpr size_t kBound = 32u << 20;

// What the check has allocated and not freed, counted only while it runs.
bool g_counting = false;
int64_t g_live = 0, g_peak = 0;

void OnAllocate(const volatile void*, size_t size)
{
    if (!g_counting)
        return;
    g_live += static_cast<int64_t>(size);
    g_peak = std::max(g_peak, g_live);
}

void OnFree(const volatile void* p)
{
    if (g_counting && p)
        g_live -= static_cast<int64_t>(__sanitizer_get_allocated_size(const_cast<const void*>(p)));
}

// A file made of pieces, produced chunk by chunk as it is fed.
class CStream {
public:
    void Bytes(std::vector<uint8_t> bytes)
    {
        m_size += bytes.size();
        m_pieces.push_back({std::move(bytes), 0, 0, nullptr});
    }
    void Zeros(uint64_t count)
    {
        m_size += count;
        m_pieces.push_back({{}, count, 0, nullptr});
    }
    // count units of unitSize bytes, unit i written by make.
    void Each(uint64_t count, size_t unitSize, std::function<void(uint64_t, uint8_t*)> make)
    {
        m_size += count * unitSize;
        m_pieces.push_back({{}, count, unitSize, std::move(make)});
    }
    uint64_t Size() const { return m_size; }

    // Feeds every byte in chunks of about a MiB, not on unit boundaries.
    void FeedTo(CContentCheck& check) const
    {
        static const std::vector<uint8_t> zeros(kChunk);
        std::vector<uint8_t> batch;
        batch.reserve(kChunk + 64 * 1024);
        const auto feed = [&check](const uint8_t* p, size_t n) {
            g_counting = true;
            check.Feed(p, n);
            g_counting = false;
        };
        for (const Piece& piece : m_pieces) {
            if (!piece.make && piece.count == 0) {
                feed(piece.bytes.data(), piece.bytes.size());
                continue;
            }
            if (!piece.make) {
                for (uint64_t left = piece.count; left > 0;) {
                    const size_t n = static_cast<size_t>(std::min<uint64_t>(left, kChunk - 13));
                    feed(zeros.data(), n);
                    left -= n;
                }
                continue;
            }
            for (uint64_t i = 0; i < piece.count; ++i) {
                const size_t at = batch.size();
                batch.resize(at + piece.unitSize);
                piece.make(i, batch.data() + at);
                if (batch.size() >= kChunk || i + 1 == piece.count) {
                    feed(batch.data(), batch.size());
                    batch.clear();
                }
            }
        }
    }

private:
    static constexpr size_t kChunk = 1u << 20;
    struct Piece {
        std::vector<uint8_t> bytes;
        uint64_t count;
        size_t unitSize;
        std::function<void(uint64_t, uint8_t*)> make;
    };
    std::vector<Piece> m_pieces;
    uint64_t m_size = 0;
};

struct Measured {
    ContentVerdict verdict;
    int64_t peak;
};

Measured Check(const CStream& stream, const std::string& extension)
{
    static const int installed = __sanitizer_install_malloc_and_free_hooks(&OnAllocate, &OnFree);
    (void)installed;
    g_live = g_peak = 0;
    g_counting = true;
    auto check = std::make_unique<CContentCheck>(extension, stream.Size());
    g_counting = false;
    stream.FeedTo(*check);
    g_counting = true;
    const ContentVerdict verdict = check->Finish().verdict;
    check.reset();
    g_counting = false;
    return {verdict, g_peak};
}

// Little helpers for headings.
struct Out {
    std::vector<uint8_t> b;
    Out& Text(const char* s) { b.insert(b.end(), s, s + std::strlen(s)); return *this; }
    Out& Be32(uint32_t v) { for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s)); return *this; }
    Out& Le32(uint32_t v) { for (int s = 0; s <= 24; s += 8) b.push_back(static_cast<uint8_t>(v >> s)); return *this; }
    Out& Le16(uint32_t v)
    {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    Out& Be64(uint64_t v) { Be32(static_cast<uint32_t>(v >> 32)); return Be32(static_cast<uint32_t>(v)); }
    Out& Zeros(size_t n) { b.insert(b.end(), n, 0); return *this; }
};
void PutBe32(uint8_t* p, uint32_t v) { p[0] = v >> 24; p[1] = v >> 16 & 0xFF; p[2] = v >> 8 & 0xFF; p[3] = v & 0xFF; }
void PutLe32(uint8_t* p, uint32_t v) { p[0] = v & 0xFF; p[1] = v >> 8 & 0xFF; p[2] = v >> 16 & 0xFF; p[3] = v >> 24; }

void ExpectBounded(const CStream& stream, const std::string& extension, ContentVerdict expected)
{
    SCOPED_TRACE(extension);
    ASSERT_GE(stream.Size(), kGiB);
    const Measured m = Check(stream, extension);
    EXPECT_EQ(m.verdict, expected);  // followed to its end, not given up on
    EXPECT_LT(m.peak, static_cast<int64_t>(kBound)) << "bytes held at most: " << m.peak;
    EXPECT_GT(m.peak, 0);  // the hooks did count: the check allocates its parser
    std::printf("%s: %lld bytes held at most\n", extension.c_str(), static_cast<long long>(m.peak));
}

// MP4 of four million samples: the sample sizes and chunk offsets, 16 MiB
// each, before 1,000 MB of media data.
TEST(MediaMemory, Mp4WithLargeSampleTables)
{
    constexpr uint32_t kSamples = 1u << 22, kSample = 250;
    const uint32_t stsz = 20 + 4 * kSamples, stco = 16 + 4 * kSamples, stbl = 8 + stsz + stco;
    const uint32_t moov = 8 + 8 + 8 + 8 + stbl;
    CStream s;
    s.Bytes(Out().Be32(20).Text("ftypisom").Be32(0x200).Text("isom").b);
    s.Bytes(Out().Be32(moov).Text("moov").Be32(moov - 8).Text("trak").Be32(moov - 16).Text("mdia")
                .Be32(moov - 24).Text("minf").Be32(stbl).Text("stbl").Be32(stsz).Text("stsz").Be32(0).Be32(0)
                .Be32(kSamples).b);
    s.Each(kSamples, 4, [](uint64_t, uint8_t* p) { PutBe32(p, kSample); });
    s.Bytes(Out().Be32(stco).Text("stco").Be32(0).Be32(kSamples).b);
    const uint32_t data = 20 + moov + 8;
    s.Each(kSamples, 4, [=](uint64_t i, uint8_t* p) { PutBe32(p, data + static_cast<uint32_t>(i) * kSample); });
    s.Bytes(Out().Be32(8 + kSamples * kSample).Text("mdat").b);
    s.Zeros(uint64_t{kSamples} * kSample);
    ExpectBounded(s, "mp4", ContentVerdict::Whole);
}

// AVI of 65,536 frames of 16 KiB and an index entry for each.
TEST(MediaMemory, AviWithLargeIndex)
{
    constexpr uint32_t kFrames = 1u << 16, kFrame = 16 * 1024;
    const uint32_t movi = 4 + kFrames * (8 + kFrame), idx1 = 16 * kFrames;
    const uint32_t hdrl = 4 + 8 + 56;
    CStream s;
    s.Bytes(Out().Text("RIFF").Le32(4 + 8 + hdrl + 8 + movi + 8 + idx1).Text("AVI ").Text("LIST").Le32(hdrl)
                .Text("hdrl").Text("avih").Le32(56).Le32(40000).Le32(0).Le32(0).Le32(0x10).Le32(kFrames).Zeros(36)
                .Text("LIST").Le32(movi).Text("movi").b);
    s.Each(kFrames, 8 + kFrame, [](uint64_t, uint8_t* p) {
        std::memcpy(p, "00dc", 4);
        PutLe32(p + 4, kFrame);
        std::memset(p + 8, 0, kFrame);
    });
    s.Bytes(Out().Text("idx1").Le32(idx1).b);
    s.Each(kFrames, 16, [](uint64_t i, uint8_t* p) {
        std::memcpy(p, "00dc", 4);
        PutLe32(p + 4, 0x10);
        PutLe32(p + 8, 4 + static_cast<uint32_t>(i) * (8 + kFrame));
        PutLe32(p + 12, kFrame);
    });
    ExpectBounded(s, "avi", ContentVerdict::Whole);
}

TEST(MediaMemory, WavOfOneGibibyte)
{
    CStream s;
    s.Bytes(Out().Text("RIFF").Le32(static_cast<uint32_t>(4 + 24 + 8 + kGiB)).Text("WAVEfmt ").Le32(16).Le16(1)
                .Le16(2).Le32(44100).Le32(44100 * 4).Le16(4).Le16(16).Text("data").Le32(static_cast<uint32_t>(kGiB))
                .b);
    s.Zeros(kGiB);
    ExpectBounded(s, "wav", ContentVerdict::Whole);
}

// 2.6 million frames of 417 bytes, each header read.
TEST(MediaMemory, Mp3OfManyFrames)
{
    const std::vector<uint8_t> frame = media_variants::Mp3Frames(1);
    CStream s;
    s.Each(kGiB / frame.size() + 1, frame.size(), [&frame](uint64_t, uint8_t* p) {
        std::memcpy(p, frame.data(), frame.size());
    });
    ExpectBounded(s, "mp3", ContentVerdict::Whole);
}

// 65,536 frames of 4,096 samples, each frame's checksums checked.
TEST(MediaMemory, FlacOfManyFrames)
{
    constexpr uint32_t kFrames = 1u << 16, kSamples = 4096;
    CStream s;
    s.Bytes(Out().Text("fLaC").Be32(0x80000022).Be32(kSamples << 16 | kSamples).Zeros(6)
                .Be64(uint64_t{44100} << 44 | uint64_t{1} << 41 | uint64_t{15} << 36 | uint64_t{kFrames} * kSamples)
                .Zeros(16).b);
    // The frame number takes one to three bytes: frames of one length each.
    uint32_t first = 0;
    for (uint32_t limit : {0x80u, 0x800u, kFrames}) {
        const size_t length = media_variants::FlacFrameHeader(first, kSamples).size() + 2 * (1 + 2 * kSamples) + 2;
        s.Each(limit - first, length, [first, length](uint64_t i, uint8_t* p) {
            const uint32_t number = first + static_cast<uint32_t>(i);
            const std::vector<uint8_t> header = media_variants::FlacFrameHeader(number, kSamples);
            std::memcpy(p, header.data(), header.size());
            uint8_t* sub = p + header.size();
            for (int channel = 0; channel < 2; ++channel, sub += 1 + 2 * kSamples) {
                sub[0] = 0x02;  // verbatim, every sample zero
                std::memset(sub + 1, 0, 2 * kSamples);
            }
            const uint16_t crc = FlacCrc16(0, p, length - 2);
            p[length - 2] = static_cast<uint8_t>(crc >> 8);
            p[length - 1] = static_cast<uint8_t>(crc);
        });
        first = limit;
    }
    ExpectBounded(s, "flac", ContentVerdict::Whole);
}

// Matroska of 16,384 clusters of 64 KiB and a cue point for each, the
// segment's size left unknown as a live recording leaves it.
TEST(MediaMemory, MatroskaWithLargeCues)
{
    constexpr uint32_t kClusters = 1u << 14, kBlock = 64 * 1024;
    media_variants::MatroskaLayout l;
    l.clusters = 0;
    l.cues = false;
    l.segmentSizeKnown = false;
    const std::vector<uint8_t> head = media_variants::Matroska(l);
    // Positions count from the segment's contents: after its id and size.
    const uint8_t segmentId[4] = {0x18, 0x53, 0x80, 0x67};
    const size_t at =
        static_cast<size_t>(std::search(head.begin(), head.end(), segmentId, segmentId + 4) - head.begin());
    ASSERT_LT(at, head.size());
    size_t sizeLength = 1;
    while (!(head[at + 4] & (0x80 >> (sizeLength - 1)))) ++sizeLength;
    const uint64_t contents = at + 4 + sizeLength;
    // A cluster: its id and an eight-byte size, its time, one block of
    // track 1 with an eight-byte size.
    constexpr size_t kBlockElement = 1 + 8 + 4 + kBlock, kClusterSize = 3 + kBlockElement;
    constexpr size_t kCluster = 4 + 8 + kClusterSize;
    CStream s;
    s.Bytes(head);
    s.Each(kClusters, kCluster, [](uint64_t i, uint8_t* p) {
        const uint8_t lead[] = {0x1F, 0x43, 0xB6, 0x75, 0x01, 0, 0, 0, 0, 0, 0, 0};
        std::memcpy(p, lead, sizeof lead);
        PutBe32(p + 8, kClusterSize);
        p[12] = 0xE7;  // time, one byte
        p[13] = 0x81;
        p[14] = static_cast<uint8_t>(i);
        const uint8_t block[] = {0xA3, 0x01, 0, 0, 0, 0, 0, 0, 0};
        std::memcpy(p + 15, block, sizeof block);
        PutBe32(p + 20, kBlock + 4);
        p[24] = 0x81;  // track 1, time 0, a key frame
        p[25] = p[26] = 0;
        p[27] = 0x80;
        std::memset(p + 28, 0, kBlock);
    });
    // Cue points: time, and the track and the cluster's position (4 bytes).
    constexpr size_t kPoint = 2 + 3 + 2 + 3 + 6;
    const uint64_t first = head.size() - contents;
    s.Bytes(Out().Be32(0x1C53BB6B).Be32(0x10000000 | kClusters * kPoint).b);
    s.Each(kClusters, kPoint, [first](uint64_t i, uint8_t* p) {
        const uint8_t point[] = {0xBB, 0x80 | (kPoint - 2), 0xB3, 0x81, static_cast<uint8_t>(i), 0xB7, 0x80 | 9,
                                 0xF7, 0x81, 0x01, 0xF1, 0x84};
        std::memcpy(p, point, sizeof point);
        PutBe32(p + sizeof point, static_cast<uint32_t>(first + i * kCluster));
    });
    ExpectBounded(s, "mkv", ContentVerdict::Whole);
}

}  // namespace
