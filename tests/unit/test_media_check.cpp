// What every kind shares: a file read short, empty or all zeros; the kind
// its name says against the kind its content is; kinds not known.
#include <gtest/gtest.h>

#include <string>

#include "media/stream_parser.h"
#include "support/media_samples.h"

namespace {

TEST(MediaCheck, UnreadableEmptyAndZerosAreDamagedForEveryName) {
    for (const char* name : {"jpg", "wav", "xyz"}) {
        CContentCheck shortRead(name, 100);
        const std::vector<uint8_t> half(50, 1);
        shortRead.Feed(half.data(), half.size());
        EXPECT_EQ(shortRead.Finish().reason, kContentUnreadable);
        EXPECT_EQ(CheckMedia({}, name).reason, "leeg: het bestand bevat niets; zet een goede kopie terug");
        for (size_t chunk : {1, 0})
            EXPECT_EQ(CheckMedia(ZeroMedia(5000), name, chunk).reason,
                      "leeg: het bestand bevat alleen nullen; zet een goede kopie terug");
    }
}

TEST(MediaCheck, AnotherKindThanTheNameIsAWarningUnlessItIsDamaged) {
    const ContentFinding png = CheckMedia(SampleMedia(MediaSample::Png), "JPG");
    EXPECT_EQ(png.verdict, ContentVerdict::Warning);
    EXPECT_EQ(png.reason,
              "andere soort: de inhoud is PNG, maar de naam eindigt op .jpg; sla het op als echt .jpg-bestand of "
              "probeer het vooraf in Wings");
    // Each kind under the next kind's name.
    const std::vector<MediaSample>& all = AllMediaSamples();
    for (size_t i = 0; i + 2 < all.size(); ++i)
        EXPECT_EQ(CheckMedia(SampleMedia(all[i]), SampleExtension(all[i + 1])).verdict, ContentVerdict::Warning)
            << SampleExtension(all[i]) << " as " << SampleExtension(all[i + 1]);
    // Damage wins.
    const std::vector<uint8_t> cutPng = CutMedia(SampleMedia(MediaSample::Png), 60);
    EXPECT_EQ(CheckMedia(cutPng, "jpg").reason,
              "afgebroken: de afbeelding houdt op voor haar einde; zet een goede kopie terug");
}

TEST(MediaCheck, WhatIsNotKnownIsNotJudgedAndANamedKindWithOtherContentIsDamaged) {
    const std::string text = "Dit is gewoon tekst, geen afbeelding.";
    const std::vector<uint8_t> bytes(text.begin(), text.end());
    EXPECT_EQ(CheckMedia(bytes, "txt").verdict, ContentVerdict::NotJudged);
    EXPECT_EQ(CheckMedia(bytes, "jpg").reason,
              "beschadigd: de opbouw van de afbeelding klopt niet; zet een goede kopie terug");
    EXPECT_EQ(CheckMedia(bytes, "wma").reason,
              "beschadigd: de opbouw van het geluid klopt niet; zet een goede kopie terug");
    // A known kind under a name that is not: judged by its content.
    EXPECT_EQ(CheckMedia(SampleMedia(MediaSample::Png), "dat").verdict, ContentVerdict::Whole);
    EXPECT_EQ(CheckMedia(CutMedia(SampleMedia(MediaSample::Png), 60), "dat").verdict, ContentVerdict::Damaged);
    // A still image from a phone, HEIF, named .jpg: known, not followed.
    std::vector<uint8_t> heif = {0, 0, 0, 24, 'f', 't', 'y', 'p', 'h', 'e', 'i', 'c', 0, 0, 0, 0,
                                 'm', 'i', 'f', '1', 'h', 'e', 'i', 'c', 0, 0, 0, 8, 'm', 'e', 't', 'a'};
    EXPECT_EQ(CheckMedia(heif, "jpg").verdict, ContentVerdict::Warning);
    EXPECT_EQ(CheckMedia(heif, "heic").verdict, ContentVerdict::NotJudged);
}

// The search the JPEG and FLAC checks pass their data with: the first
// match wherever it lies against the sixteen bytes it compares at once.
TEST(MediaCheck, FindByteFindsTheFirstMatchAtEveryPlace) {
    for (size_t length = 0; length <= 40; ++length) {
        std::vector<uint8_t> data(length + 1, 0xFE);
        EXPECT_EQ(FindByte(data.data(), length, 0xFF), nullptr) << length;
        for (size_t at = 0; at < length; ++at) {
            data.assign(length + 1, 0xFE);
            data[at] = 0xFF;
            if (at + 3 < length) data[at + 3] = 0xFF;
            data[length] = 0xFF;  // past the end: never found
            EXPECT_EQ(FindByte(data.data(), length, 0xFF), data.data() + at) << length << " " << at;
        }
    }
}

TEST(MediaCheck, TheFastChecksumsAgreeWithTheirDefinitionAtEveryLengthAndSplit) {
    std::vector<uint8_t> data = SampleMedia(MediaSample::Wav);  // noise, mostly
    data.resize(300);
    for (size_t length = 0; length <= data.size(); ++length) {
        const std::vector<uint8_t> part(data.begin(), data.begin() + static_cast<ptrdiff_t>(length));
        ASSERT_EQ(Crc32(0, part.data(), length), ReferencePngCrc(part)) << length;
        ASSERT_EQ(OggCrc(0, part.data(), length), ReferenceOggCrc(part)) << length;
        const size_t split = length / 3;  // continued from where the first part ended
        ASSERT_EQ(Crc32(Crc32(0, part.data(), split), part.data() + split, length - split), ReferencePngCrc(part));
        ASSERT_EQ(OggCrc(OggCrc(0, part.data(), split), part.data() + split, length - split), ReferenceOggCrc(part));
        ASSERT_EQ(FlacCrc16(FlacCrc16(0, part.data(), split), part.data() + split, length - split),
                  ReferenceFlacCrc16(part));
    }
    // Known values of the formats' own check strings.
    const std::vector<uint8_t> digits = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(ReferencePngCrc(digits), 0xCBF43926u);
    EXPECT_EQ(ReferenceOggCrc(digits), 0x89A1897Fu);
    EXPECT_EQ(ReferenceFlacCrc16(digits), 0xFEE8u);
}

}  // namespace
