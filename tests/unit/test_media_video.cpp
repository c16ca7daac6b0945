// The video parsers (AVI, WMA/WMV, MP4), as the image parsers' test does it.
#include <gtest/gtest.h>

#include "support/media_samples.h"

namespace {

const char* const kVideoCut = "afgebroken: de video houdt op voor zijn einde; zet een goede kopie terug";
const char* const kVideoBroken = "beschadigd: de opbouw van de video klopt niet; zet een goede kopie terug";
const char* const kHevc =
    "HEVC-video: niet elke pc kan deze video (H.265) afspelen; zet hem om naar H.264 of probeer hem vooraf op de pc "
    "van de voorstelling";

TEST(MediaVideo, GoodFilesAreWholeInChunksOfAnySizeAndHevcIsAWarning) {
    for (MediaSample kind : {MediaSample::Avi, MediaSample::Wma, MediaSample::Mp4Avc, MediaSample::Mp4Hevc}) {
        const std::vector<uint8_t> bytes = SampleMedia(kind);
        for (size_t chunk : {1, 7, 4096, 0}) {
            const ContentFinding f = CheckMedia(bytes, SampleExtension(kind), chunk);
            if (kind == MediaSample::Mp4Hevc) {
                EXPECT_EQ(f.verdict, ContentVerdict::Warning) << chunk;
                EXPECT_EQ(f.reason, kHevc) << chunk;
            } else {
                EXPECT_EQ(f.verdict, ContentVerdict::Whole) << SampleExtension(kind) << " by " << chunk << ": " << f.reason;
            }
        }
    }
    // The same box structure under its other names.
    for (const char* name : {"mov", "M4V", "m4a"})
        EXPECT_EQ(CheckMedia(SampleMedia(MediaSample::Mp4Avc), name).verdict, ContentVerdict::Whole) << name;
}

TEST(MediaVideo, EveryCutIsDamaged) {
    for (MediaSample kind : {MediaSample::Avi, MediaSample::Wma, MediaSample::Mp4Avc, MediaSample::Mp4Hevc}) {
        const std::vector<uint8_t> bytes = SampleMedia(kind);
        for (size_t keep = 1; keep < bytes.size(); ++keep) {
            const ContentFinding f = CheckMedia(CutMedia(bytes, keep), SampleExtension(kind));
            ASSERT_EQ(f.verdict, ContentVerdict::Damaged) << SampleExtension(kind) << " cut to " << keep;
            ASSERT_EQ(CheckMedia(CutMedia(bytes, keep), SampleExtension(kind), 7).reason, f.reason) << keep;
        }
    }
    // A recording that stopped before its movie box was written.
    const std::vector<uint8_t> mp4 = SampleMedia(MediaSample::Mp4Avc);
    EXPECT_EQ(CheckMedia(CutMedia(mp4, 24 + 8 + 72), "mp4").reason, kVideoCut);
}

TEST(MediaVideo, AChangedByteThatTheFormatSeesIsDamage) {
    const struct {
        MediaSample kind;
        size_t at;
        const char* reason;
    } table[] = {
        {MediaSample::Avi, 12, kVideoBroken},   // the first chunk's name
        {MediaSample::Avi, 7, kVideoCut},       // the RIFF size
        {MediaSample::Wma, 0, "beschadigd: de opbouw van het geluid klopt niet; zet een goede kopie terug"},
        {MediaSample::Wma, 30 + 24 + 16 + 3, "afgebroken: het geluid houdt op voor zijn einde; zet een goede kopie terug"},  // declared file size
        {MediaSample::Mp4Avc, 32, kVideoCut},   // the data box's size past the end
        {MediaSample::Mp4Avc, 108, kVideoCut},  // the movie box's name: no movie box
    };
    for (const auto& c : table) {
        const ContentFinding f = CheckMedia(ChangeByte(SampleMedia(c.kind), c.at), SampleExtension(c.kind));
        EXPECT_EQ(f.verdict, ContentVerdict::Damaged) << SampleExtension(c.kind) << " byte " << c.at;
        EXPECT_EQ(f.reason, c.reason) << SampleExtension(c.kind) << " byte " << c.at;
    }
}

}  // namespace
