// Media files as real writers leave them, each written from its format's
// published layout (not from the program's parsers): the test table's
// rows and the content fuzzer's seeds. Pure, like media_samples.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace media_variants {

std::vector<uint8_t> Join(std::vector<uint8_t> a, const std::vector<uint8_t>& b);
std::vector<uint8_t> Text(const char* s);
void SetLe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value);
// The first `percent` % of the bytes.
std::vector<uint8_t> CutAt(std::vector<uint8_t> bytes, int percent);

// The sample MP3 (ID3v2, Info frame, ten frames, ID3v1), without its
// ID3v1 tag, and the sample MP4 (movie data, then the movie box).
std::vector<uint8_t> Mp3();
std::vector<uint8_t> Mp3NoTag();
std::vector<uint8_t> Mp4();

// MPEG-1 layer III frames at 128 kbit/s, 44.1 kHz, mono: 417 bytes each.
std::vector<uint8_t> Mp3Frames(int count);
// An ID3v2 tag of that version around body (flag 0x10: a footer follows),
// its size `sizeOff` bytes off the truth; a title frame for its body.
std::vector<uint8_t> Id3v2(uint8_t version, uint8_t flags, const std::vector<uint8_t>& body, int sizeOff = 0);
std::vector<uint8_t> TitleFrame();
// A VBR MP3: tag, Xing frame (flags 1: frame count, 2: byte count, counted
// with the header's frame and the tag or not), `kept` of `frames` frames.
std::vector<uint8_t> XingMp3(int frames, uint32_t flags, bool countHeader, bool countTag, int kept);

// A WAV of 16-bit mono sound: its sizes as given (nullptr: as they should
// be), other chunks between format and sound, `sound` bytes of sound.
constexpr uint32_t kUnknown = 0xFFFFFFFF, kZero = 0, kFour = 4;
std::vector<uint8_t> Wav(const uint32_t* riffSize, const uint32_t* dataSize, const std::vector<uint8_t>& middle = {},
                         size_t sound = 400);
// An INFO list with one odd-sized text, with or without its pad byte.
std::vector<uint8_t> OddList(bool pad);
// The sample WMA as a broadcast leaves it, its data object's size as given.
std::vector<uint8_t> BroadcastWma(uint32_t dataSize);

// An AVI of six 100-byte frames with header list, movie list and idx1.
struct AviLayout {
    const uint32_t* riffSize = nullptr;
    const uint32_t* moviSize = nullptr;
    bool hasIndexFlag = true;
    uint32_t totalFrames = 6;
    bool index = true;
};
std::vector<uint8_t> Avi(const AviLayout& layout, size_t* moviEnd = nullptr, size_t* moviStart = nullptr);

// MP4 with the movie box first and the media data last (in a box of size
// 0 or of its size; `lead` unused bytes first), offsets of 4 or 8 bytes.
std::vector<uint8_t> Faststart(bool co64, bool sizeZero, size_t lead = 0);
// A QuickTime movie of older sound (IMA ADPCM): its sample table counts
// 64 decoded samples for each 34 bytes stored, with a sample size of 1.
std::vector<uint8_t> QuickTimeAdpcm();
// A fragmented MP4 of three fragments, with or without a segment index;
// secondEnd: where the second fragment ends.
std::vector<uint8_t> Fragmented(bool index, size_t* secondEnd = nullptr);

// A BMP in runs (compression 1) or holding a JPEG (4), both sizes 0.
std::vector<uint8_t> RleBmp(uint32_t compression = 1);
// A TIFF whose one strip ends the file; its two tables of those lengths.
std::vector<uint8_t> TiffStripLast(uint32_t offsetsCount = 1, uint32_t countsCount = 1);
// A GIF of one pixel whose codes begin at codeSize bits.
std::vector<uint8_t> GifCodeSize(uint32_t codeSize);

// FLAC as an encoder writes it: its stream information and a comment
// block, then frames of 192 samples of 16-bit stereo (the last of
// lastSamples), each channel stored verbatim; chanceHeader: bytes put into
// the sound of the third frame. frameEnds: where each frame ends.
struct FlacLayout {
    int frames = 10;
    uint32_t lastSamples = 100;
    bool totalKnown = true;
    std::vector<uint8_t> chanceHeader;
};
std::vector<uint8_t> Flac(const FlacLayout& layout = {}, std::vector<size_t>* frameEnds = nullptr);
// A frame header of such a file (side: left and difference), its CRC-8 last.
std::vector<uint8_t> FlacFrameHeader(uint32_t number, uint32_t samples, bool side = false);
// AAC in ADTS frames of about 200 bytes.
std::vector<uint8_t> Adts(int frames);
// Matroska or WebM (by its document type): header, segment (its size
// known or "unknown"), information, tracks, clusters of three blocks
// (their sizes known or not), and cues before or after the clusters.
struct MatroskaLayout {
    const char* docType = "matroska";
    bool segmentSizeKnown = true;
    bool clusterSizeKnown = true;
    bool cues = true;
    bool cuesFirst = false;
    int clusters = 4;
    size_t blockBytes = 300;  // the first block's; each next one 50 more
};
std::vector<uint8_t> Matroska(const MatroskaLayout& layout = {}, std::vector<size_t>* clusterEnds = nullptr);
inline std::vector<uint8_t> Ebml(const char* docType)
{
    MatroskaLayout l;
    l.docType = docType;
    return Matroska(l);
}

}  // namespace media_variants
