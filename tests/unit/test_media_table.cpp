// One row for each file that real writers make and the check once judged
// wrongly: a good file that plays to its end, or a cut one that does not.
// Each is written here from its format's published layout; the verdict a
// row expects comes from how the file was made, never from the parser.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/media_bytes.h"
#include "support/media_samples.h"

namespace {

const char* const kSoundCut = "afgebroken: het geluid houdt op voor zijn einde; zet een goede kopie terug";
const char* const kSoundBroken = "beschadigd: de opbouw van het geluid klopt niet; zet een goede kopie terug";
const char* const kTrailing =
    "extra gegevens: achter het einde van het bestand staan nog veel gegevens die er niet bij horen; het speelt wel "
    "af, maar probeer het vooraf in Wings";

struct Row {
    const char* what;
    std::function<std::vector<uint8_t>()> make;
    const char* extension;
    ContentVerdict verdict;
    const char* reason;  // "" for whole
};

std::vector<uint8_t> Join(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<uint8_t> Text(const char* s) { return Bytes().Text(s).b; }

std::vector<uint8_t> Mp3() { return SampleMedia(MediaSample::Mp3); }
// The same sound without its ID3v1 tag at the end: the last frame last.
std::vector<uint8_t> Mp3NoTag()
{
    const std::vector<uint8_t> mp3 = Mp3();
    return CutMedia(mp3, mp3.size() - 128);
}
std::vector<uint8_t> Mp4() { return SampleMedia(MediaSample::Mp4Avc); }

// MPEG-1 layer III frames at 128 kbit/s, 44.1 kHz, mono: 417 bytes each.
std::vector<uint8_t> Mp3Frames(int count)
{
    Bytes m;
    for (int f = 0; f < count; ++f)
        m.U8(0xFF).U8(0xFB).U8(0x90).U8(0xC0).Add(Noise(413, 50 + static_cast<uint32_t>(f)));
    return m.b;
}

// An ID3v2 tag around body: its size is syncsafe, seven bits a byte,
// and counts neither the ten bytes of header nor a footer.
std::vector<uint8_t> Id3v2(uint8_t version, uint8_t flags, const std::vector<uint8_t>& body, int sizeOff = 0)
{
    const uint32_t size = static_cast<uint32_t>(static_cast<int>(body.size()) + sizeOff);
    Bytes t;
    const auto header = [&](const char* magic) {
        t.Text(magic).U8(version).U8(0).U8(flags);
        for (int shift : {21, 14, 7, 0}) t.U8((size >> shift) & 0x7F);
    };
    header("ID3");
    t.Add(body);
    if (flags & 0x10) header("3DI");
    return t.b;
}

// A title frame of an ID3v2.3 tag.
std::vector<uint8_t> TitleFrame() { return Bytes().Text("TIT2").Be32(8).Be16(0).U8(0).Text("Zekerpa").b; }

const Row kRows[] = {
    // Bytes after a complete file.
    {"mp3 and a zero byte", [] { return Join(Mp3NoTag(), {0}); }, "mp3", ContentVerdict::Whole, ""},
    {"mp3 and CR LF", [] { return Join(Mp3NoTag(), Text("\r\n")); }, "mp3", ContentVerdict::Whole, ""},
    {"mp3 with ID3v1 and CR LF", [] { return Join(Mp3(), Text("\r\n")); }, "mp3", ContentVerdict::Whole, ""},
    {"mp3 and 4 KB of other bytes", [] { return Join(Mp3NoTag(), Noise(4096, 40)); }, "mp3", ContentVerdict::Whole, ""},
    {"mp3 and 100 KB of zeros", [] { return Join(Mp3NoTag(), ZeroMedia(100000)); }, "mp3", ContentVerdict::Warning,
     kTrailing},
    {"mp3 cut two bytes into a frame", [] { return Join(Mp3NoTag(), {0xFF, 0xFB}); }, "mp3", ContentVerdict::Damaged,
     kSoundCut},
    {"mp3 cut inside its ID3v1 tag", [] { return CutMedia(Mp3(), Mp3().size() - 2); }, "mp3", ContentVerdict::Damaged,
     kSoundCut},
    {"mp3 with other bytes between frames", [] {
         std::vector<uint8_t> m = Mp3NoTag();
         const std::vector<uint8_t> junk = Noise(300, 41);
         m.insert(m.begin() + 445 + 3 * 417, junk.begin(), junk.end());
         return m;
     }, "mp3", ContentVerdict::Damaged, kSoundBroken},
    // Between an ID3v2 tag and the first frame.
    {"mp3 with other bytes than zeros after its tag",
     [] { return Join(Join(Id3v2(3, 0, TitleFrame()), Noise(200, 43)), Mp3Frames(8)); }, "mp3",
     ContentVerdict::Whole, ""},
    {"mp3 whose tag size is 3 bytes too large", [] { return Join(Id3v2(3, 0, TitleFrame(), 3), Mp3Frames(8)); },
     "mp3", ContentVerdict::Whole, ""},
    {"mp3 whose tag size is 5 bytes too small", [] { return Join(Id3v2(3, 0, TitleFrame(), -5), Mp3Frames(8)); },
     "mp3", ContentVerdict::Whole, ""},
    {"mp3 with an ID3v2.4 tag and its footer", [] { return Join(Id3v2(4, 0x10, TitleFrame()), Mp3Frames(8)); },
     "mp3", ContentVerdict::Whole, ""},
    {"mp3 with two tags", [] { return Join(Join(Id3v2(3, 0, TitleFrame()), Id3v2(4, 0, TitleFrame())), Mp3Frames(8)); },
     "mp3", ContentVerdict::Whole, ""},
    {"mp3 with a sync by chance before its frames",
     [] { return Join(Join(Id3v2(3, 0, TitleFrame()), {0xFF, 0xFB, 0x90, 0xC0, 1, 2, 3}), Mp3Frames(8)); }, "mp3",
     ContentVerdict::Whole, ""},
    {"mp3 of a tag and other bytes only", [] { return Join(Id3v2(3, 0, TitleFrame()), Noise(2000, 44)); }, "mp3",
     ContentVerdict::Damaged, kSoundBroken},
    {"mp3 cut in its footer", [] { return CutMedia(Id3v2(4, 0x10, TitleFrame()), 30); }, "mp3",
     ContentVerdict::Damaged, kSoundCut},
    {"mp3 whose ID3v1 tag is followed by more", [] { return Join(Mp3(), Noise(300, 45)); }, "mp3",
     ContentVerdict::Whole, ""},
    {"mp4 and a zero byte", [] { return Join(Mp4(), {0}); }, "mp4", ContentVerdict::Whole, ""},
    {"m4a and CR LF", [] { return Join(Mp4(), Text("\r\n")); }, "m4a", ContentVerdict::Whole, ""},
    {"mov and 4 KB of zeros", [] { return Join(Mp4(), ZeroMedia(4096)); }, "mov", ContentVerdict::Whole, ""},
    {"mp4 and 4 KB of other bytes", [] { return Join(Mp4(), Noise(4096, 42)); }, "mp4", ContentVerdict::Whole, ""},
    {"mp4 and 100 KB of zeros", [] { return Join(Mp4(), ZeroMedia(100000)); }, "mp4", ContentVerdict::Warning,
     kTrailing},
};

TEST(MediaTable, EachRowGetsTheVerdictOfItsMakingInEveryChunking) {
    for (const Row& row : kRows) {
        const std::vector<uint8_t> bytes = row.make();
        for (size_t chunk : {0, 1, 7, 4096}) {
            const ContentFinding f = CheckMedia(bytes, row.extension, chunk);
            EXPECT_EQ(f.verdict, row.verdict) << row.what << " in chunks of " << chunk << ": " << f.reason;
            EXPECT_EQ(f.reason, row.reason) << row.what << " in chunks of " << chunk;
        }
    }
}

}  // namespace
