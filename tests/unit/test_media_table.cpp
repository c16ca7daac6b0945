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
