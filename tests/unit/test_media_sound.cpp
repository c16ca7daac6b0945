// The sound parsers (WAV, MP3, Ogg), as the image parsers' test does it.
#include <gtest/gtest.h>

#include "support/media_samples.h"

namespace {

const char* const kSoundCut = "afgebroken: het geluid houdt op voor zijn einde; zet een goede kopie terug";
const char* const kSoundBroken = "beschadigd: de opbouw van het geluid klopt niet; zet een goede kopie terug";
const char* const kChecksum = "beschadigd: een controlegetal in het bestand klopt niet; zet een goede kopie terug";

TEST(MediaSound, GoodFilesAreWholeInChunksOfAnySize) {
    for (MediaSample kind : {MediaSample::Wav, MediaSample::Mp3, MediaSample::Ogg}) {
        const std::vector<uint8_t> bytes = SampleMedia(kind);
        for (size_t chunk : {1, 7, 4096, 0}) {
            const ContentFinding f = CheckMedia(bytes, SampleExtension(kind), chunk);
            EXPECT_EQ(f.verdict, ContentVerdict::Whole) << SampleExtension(kind) << " in chunks of " << chunk << ": " << f.reason;
        }
    }
}

TEST(MediaSound, CutsAreDamaged) {
    // WAV and Ogg see every cut; an MP3 cut between two frames only where
    // its Info header counts frames that are not there.
    for (MediaSample kind : {MediaSample::Wav, MediaSample::Ogg}) {
        const std::vector<uint8_t> bytes = SampleMedia(kind);
        for (size_t keep = 1; keep < bytes.size(); ++keep) {
            const ContentFinding f = CheckMedia(CutMedia(bytes, keep), SampleExtension(kind));
            ASSERT_EQ(f.verdict, ContentVerdict::Damaged) << SampleExtension(kind) << " cut to " << keep;
            ASSERT_EQ(CheckMedia(CutMedia(bytes, keep), SampleExtension(kind), 7).reason, f.reason) << keep;
        }
    }
    const std::vector<uint8_t> mp3 = SampleMedia(MediaSample::Mp3);
    ASSERT_EQ(mp3.size(), 28u + 11 * 417 + 128);
    for (size_t keep : {5, 20, 445 + 100, 445 + 4 * 417, 445 + 10 * 417 + 60}) {
        for (size_t chunk : {1, 7, 0}) {
            const ContentFinding f = CheckMedia(CutMedia(mp3, keep), "mp3", chunk);
            EXPECT_EQ(f.verdict, ContentVerdict::Damaged) << "mp3 cut to " << keep << " by " << chunk;
            EXPECT_EQ(f.reason, kSoundCut) << keep;
        }
    }
}

TEST(MediaSound, AChangedByteThatTheFormatSeesIsDamage) {
    const struct {
        MediaSample kind;
        size_t at;
        const char* reason;
    } table[] = {
        {MediaSample::Wav, 22, kSoundBroken},        // the number of channels
        {MediaSample::Wav, 4, kSoundCut},            // the RIFF size past the end
        {MediaSample::Wav, 72, kSoundCut},           // the data chunk's size past the end
        {MediaSample::Mp3, 445 + 2, kSoundBroken},   // a frame's sample rate changes
        {MediaSample::Mp3, 445 + 417, kSoundBroken}, // a frame's sync
        {MediaSample::Ogg, 2, kSoundBroken},         // the capture pattern
        {MediaSample::Ogg, 120, kChecksum},          // inside a page
    };
    for (const auto& c : table) {
        const ContentFinding f = CheckMedia(ChangeByte(SampleMedia(c.kind), c.at), SampleExtension(c.kind));
        EXPECT_EQ(f.verdict, ContentVerdict::Damaged) << SampleExtension(c.kind) << " byte " << c.at;
        EXPECT_EQ(f.reason, c.reason) << SampleExtension(c.kind) << " byte " << c.at;
    }
}

TEST(MediaSound, ARenamedWavIsAWarningAndAnMp3WithoutFramesIsDamaged) {
    const ContentFinding renamed = CheckMedia(SampleMedia(MediaSample::Wav), "mp3");
    EXPECT_EQ(renamed.verdict, ContentVerdict::Warning);
    EXPECT_EQ(renamed.reason,
              "andere soort: de inhoud is WAV, maar de naam eindigt op .mp3; sla het op als echt .mp3-bestand of "
              "probeer het vooraf in Wings");
    // A tag and nothing after it.
    const std::vector<uint8_t> tagOnly = CutMedia(SampleMedia(MediaSample::Mp3), 28);
    EXPECT_EQ(CheckMedia(tagOnly, "mp3").reason, kSoundBroken);
}

}  // namespace
