// The image parsers: a good file is whole, however it is fed; every file
// cut short is damaged; a changed byte the format can see is damaged.
#include <gtest/gtest.h>

#include "support/media_samples.h"

namespace {

const char* const kImageCut = "afgebroken: de afbeelding houdt op voor haar einde; zet een goede kopie terug";
const char* const kImageBroken = "beschadigd: de opbouw van de afbeelding klopt niet; zet een goede kopie terug";
const char* const kChecksum = "beschadigd: een controlegetal in het bestand klopt niet; zet een goede kopie terug";

struct ChangedByte {
    MediaSample kind;
    size_t at;
    const char* reason;
};

TEST(MediaImages, GoodFilesAreWholeInChunksOfAnySize) {
    for (MediaSample kind : {MediaSample::Jpeg, MediaSample::Png, MediaSample::Gif, MediaSample::Bmp, MediaSample::Tiff}) {
        const std::vector<uint8_t> bytes = SampleMedia(kind);
        for (size_t chunk : {1, 7, 4096, 0}) {
            const ContentFinding f = CheckMedia(bytes, SampleExtension(kind), chunk);
            EXPECT_EQ(f.verdict, ContentVerdict::Whole) << SampleExtension(kind) << " in chunks of " << chunk << ": " << f.reason;
            EXPECT_EQ(f.reason, "");
        }
    }
}

TEST(MediaImages, EveryCutIsDamagedTheSameWayInEveryChunking) {
    for (MediaSample kind : {MediaSample::Jpeg, MediaSample::Png, MediaSample::Gif, MediaSample::Bmp, MediaSample::Tiff}) {
        const std::vector<uint8_t> bytes = SampleMedia(kind);
        for (size_t keep = 1; keep < bytes.size(); ++keep) {
            const std::vector<uint8_t> cut = CutMedia(bytes, keep);
            const ContentFinding f = CheckMedia(cut, SampleExtension(kind));
            ASSERT_EQ(f.verdict, ContentVerdict::Damaged) << SampleExtension(kind) << " cut to " << keep;
            for (size_t chunk : {1, 7})
                ASSERT_EQ(CheckMedia(cut, SampleExtension(kind), chunk).reason, f.reason) << keep << " by " << chunk;
        }
        EXPECT_EQ(CheckMedia(CutMedia(bytes, bytes.size() - 1), SampleExtension(kind)).reason, kImageCut)
            << SampleExtension(kind);
    }
}

TEST(MediaImages, AChangedByteThatTheFormatSeesIsDamage) {
    const ChangedByte table[] = {
        {MediaSample::Jpeg, 2, kImageBroken},     // the marker after the start
        {MediaSample::Jpeg, 4, kImageCut},        // a segment's length past the end
        {MediaSample::Png, 12, kImageBroken},     // the header chunk's name
        {MediaSample::Png, 20, kChecksum},        // the width, under the header's CRC
        {MediaSample::Png, 70, kChecksum},        // the pixels
        {MediaSample::Gif, 0, kImageBroken},      // the signature
        {MediaSample::Gif, 28, kImageBroken},     // the image's separator
        {MediaSample::Bmp, 28, kImageBroken},     // bits per pixel
        {MediaSample::Bmp, 5, kImageCut},         // the file's declared size
        {MediaSample::Tiff, 141, kImageCut},      // the first strip's offset
        {MediaSample::Tiff, 3, kImageBroken},     // the version
    };
    for (const ChangedByte& c : table) {
        const ContentFinding f = CheckMedia(ChangeByte(SampleMedia(c.kind), c.at), SampleExtension(c.kind));
        EXPECT_EQ(f.verdict, ContentVerdict::Damaged) << SampleExtension(c.kind) << " byte " << c.at;
        EXPECT_EQ(f.reason, c.reason) << SampleExtension(c.kind) << " byte " << c.at;
    }
}

TEST(MediaImages, WhatMayFollowTheEndIsAllowed) {
    // Phones append data after a JPEG's end marker; a PNG after its end chunk is read the same way.
    for (MediaSample kind : {MediaSample::Jpeg, MediaSample::Png, MediaSample::Gif}) {
        std::vector<uint8_t> bytes = SampleMedia(kind);
        bytes.insert(bytes.end(), {'e', 'x', 't', 'r', 'a'});
        EXPECT_EQ(CheckMedia(bytes, SampleExtension(kind)).verdict, ContentVerdict::Whole) << SampleExtension(kind);
    }
}

TEST(MediaImages, ATiffDirectoryAfterItsTablesReadsThemFromTheLookBack) {
    // The directory at the end, its tables before it: by the time the
    // directory arrives, the tables have passed and are read from behind.
    const std::vector<uint8_t> bytes = SampleMedia(MediaSample::Tiff);
    ASSERT_EQ(bytes.size(), 154u);
    std::vector<uint8_t> moved(bytes.begin(), bytes.begin() + 24);       // header and strips
    moved.insert(moved.end(), bytes.begin() + 138, bytes.end());         // the two tables, at 24 and 32
    moved.insert(moved.end(), bytes.begin() + 24, bytes.begin() + 138);  // the directory, at 40
    moved[4] = 40;
    moved[40 + 2 + 5 * 12 + 8] = 24;
    moved[40 + 2 + 8 * 12 + 8] = 32;
    for (size_t chunk : {1, 7, 0})
        EXPECT_EQ(CheckMedia(moved, "tif", chunk).verdict, ContentVerdict::Whole) << chunk;
    moved[32] = 200;  // the first strip's length, read from behind, now past the end
    for (size_t chunk : {1, 7, 0})
        EXPECT_EQ(CheckMedia(moved, "tif", chunk).reason, kImageCut) << chunk;
}

}  // namespace
