// One row for each file that real writers make and the check once judged
// wrongly: a good file that plays to its end, or a cut one that does not.
// Each is written here from its format's published layout; the verdict a
// row expects comes from how the file was made, never from the parser.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/media_bytes.h"
#include "support/media_samples.h"
#include "support/media_variants.h"

namespace {

using namespace media_variants;

const char* const kSoundCut = "afgebroken: het geluid houdt op voor zijn einde; zet een goede kopie terug";
const char* const kSoundBroken = "beschadigd: de opbouw van het geluid klopt niet; zet een goede kopie terug";
const char* const kImageCut = "afgebroken: de afbeelding houdt op voor haar einde; zet een goede kopie terug";
const char* const kImageBroken = "beschadigd: de opbouw van de afbeelding klopt niet; zet een goede kopie terug";
const char* const kVideoCut = "afgebroken: de video houdt op voor zijn einde; zet een goede kopie terug";
const char* const kVideoBroken = "beschadigd: de opbouw van de video klopt niet; zet een goede kopie terug";
const char* const kChecksum = "beschadigd: een controlegetal in het bestand klopt niet; zet een goede kopie terug";
const char* const kTrailing =
    "extra gegevens: achter het einde van het bestand staan nog veel gegevens die er niet bij horen; het speelt wel "
    "af, maar probeer het vooraf in Wings";

const char* const kSizeOff =
    "afwijkende lengte: de lengte in de kop van het bestand klopt niet, maar de inhoud is compleet; het speelt wel af, "
    "maar probeer het vooraf in Wings";

struct Row {
    const char* what;
    std::function<std::vector<uint8_t>()> make;
    const char* extension;
    ContentVerdict verdict;
    std::string reason;  // "" for whole
};

std::string OtherKind(const char* content, const char* name)
{
    return std::string("andere soort: de inhoud is ") + content + ", maar de naam eindigt op ." + name +
           "; sla het op als echt ." + name + "-bestand of probeer het vooraf in Wings";
}

const std::string kFlacAsMp3 = "andere soort: de inhoud is FLAC, maar de naam eindigt op .mp3; sla het op als echt "
                               ".mp3-bestand of probeer het vooraf in Wings";

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
    // Sizes written through a pipe, before the length was known.
    {"wav with both sizes 0xFFFFFFFF", [] { return Wav(&kUnknown, &kUnknown); }, "wav", ContentVerdict::Whole, ""},
    {"wav with both sizes 0", [] { return Wav(&kZero, &kZero); }, "wav", ContentVerdict::Whole, ""},
    {"wav with an unknown size and odd sound", [] { return Wav(&kUnknown, &kUnknown, {}, 401); }, "wav",
     ContentVerdict::Whole, ""},
    {"wav whose sound size alone is 0xFFFFFFFF", [] { return Wav(nullptr, &kUnknown); }, "wav", ContentVerdict::Whole,
     ""},
    {"wav with an empty LIST of size 0 and its sizes right",
     [] { return Wav(nullptr, nullptr, Bytes().Text("LIST").Le32(0).b); }, "wav", ContentVerdict::Whole, ""},
    {"wav whose RIFF size counts its heading twice", [] {
         std::vector<uint8_t> w = Wav(nullptr, nullptr);
         SetLe32(w, 4, static_cast<uint32_t>(w.size()));
         return w;
     }, "wav", ContentVerdict::Warning, kSizeOff},
    {"that wav cut by eight bytes", [] {
         std::vector<uint8_t> w = Wav(nullptr, nullptr);
         SetLe32(w, 4, static_cast<uint32_t>(w.size()));
         return CutMedia(w, w.size() - 8);
     }, "wav", ContentVerdict::Damaged, kSoundCut},
    {"avi whose RIFF size counts its heading twice", [] {
         std::vector<uint8_t> a = SampleMedia(MediaSample::Avi);
         SetLe32(a, 4, static_cast<uint32_t>(a.size()));
         return a;
     }, "avi", ContentVerdict::Warning, kSizeOff},
    // The pad byte after an odd chunk: there in the middle, left off at the end.
    {"wav with an odd chunk and its pad byte", [] { return Wav(nullptr, nullptr, OddList(true)); }, "wav",
     ContentVerdict::Whole, ""},
    {"wav ending in odd sound without its pad byte", [] {
         std::vector<uint8_t> w = Wav(nullptr, nullptr, {}, 401);
         SetLe32(w, 4, static_cast<uint32_t>(w.size() - 8 + 1));
         return w;
     }, "wav", ContentVerdict::Whole, ""},
    {"wav whose odd chunk in the middle lacks its pad byte", [] { return Wav(nullptr, nullptr, OddList(false)); },
     "wav", ContentVerdict::Damaged, kSoundBroken},
    {"broadcast wma, data size 0", [] { return BroadcastWma(0); }, "wma", ContentVerdict::Whole, ""},
    {"broadcast wma, data size of its heading only", [] { return BroadcastWma(50); }, "wma", ContentVerdict::Whole, ""},
    {"broadcast wma with an index after its packets", [] {
         Bytes index;
         index.Raw("\x90\x08\x00\x33\xB1\xE5\xCF\x11\x89\xF4\x00\xA0\xC9\x03\x49\xCB", 16).Le64(56).Zeros(32);
         return Join(BroadcastWma(0), index.b);
     }, "wma", ContentVerdict::Whole, ""},
    {"broadcast wma cut in a packet", [] { return CutMedia(BroadcastWma(0), 218 + 200 + 77); }, "wma",
     ContentVerdict::Damaged, kSoundCut},
    // A last media box of size 0, and fragments.
    {"mp4 with its media data to the end", [] { return Faststart(false, true); }, "mp4", ContentVerdict::Whole, ""},
    {"mp4 with eight-byte offsets and media data to the end", [] { return Faststart(true, true); }, "mp4",
     ContentVerdict::Whole, ""},
    {"that mp4 cut to 25 %", [] { return CutAt(Faststart(false, true), 25); }, "mp4", ContentVerdict::Damaged,
     kVideoCut},
    {"that mp4 cut to 50 %", [] { return CutAt(Faststart(false, true), 50); }, "mp4", ContentVerdict::Damaged,
     kVideoCut},
    {"that mp4 cut to 90 %", [] { return CutAt(Faststart(true, true), 90); }, "mp4", ContentVerdict::Damaged,
     kVideoCut},
    {"that mp4 cut to 99 %", [] { return CutAt(Faststart(false, true), 99); }, "mp4", ContentVerdict::Damaged,
     kVideoCut},
    {"that mp4 less its last byte", [] {
         const std::vector<uint8_t> m = Faststart(false, true);
         return CutMedia(m, m.size() - 1);
     }, "m4a", ContentVerdict::Damaged, "afgebroken: het geluid houdt op voor zijn einde; zet een goede kopie terug"},
    {"mp4 with unused media data, cut before its last chunk", [] {
         const std::vector<uint8_t> m = Faststart(false, true, 3000);
         return CutMedia(m, m.size() - 520 - 1);
     }, "mp4", ContentVerdict::Damaged, kVideoCut},
    {"mp4 with media data sized and CR LF after", [] { return Join(Faststart(false, false), Text("\r\n")); }, "mp4",
     ContentVerdict::Whole, ""},
    {"mov whose sound is counted in decoded samples", [] { return QuickTimeAdpcm(); }, "mov", ContentVerdict::Whole,
     ""},
    {"fragmented mp4 with its index", [] { return Fragmented(true); }, "mp4", ContentVerdict::Whole, ""},
    {"fragmented mp4 cut between fragments, its index says so", [] {
         size_t second = 0;
         const std::vector<uint8_t> m = Fragmented(true, &second);
         return CutMedia(m, second);
     }, "mp4", ContentVerdict::Damaged, kVideoCut},
    {"fragmented mp4 without index, cut between fragments: nothing tells", [] {
         size_t second = 0;
         const std::vector<uint8_t> m = Fragmented(false, &second);
         return CutMedia(m, second);
     }, "mp4", ContentVerdict::Whole, ""},
    {"fragmented mp4 cut inside a fragment", [] { return CutMedia(Fragmented(false), Fragmented(false).size() - 100); },
     "mp4", ContentVerdict::Damaged, kVideoCut},
    // VBR: the header's counts against what is there.
    {"vbr mp3, counts as one encoder gives them", [] { return XingMp3(200, 3, false, false, 200); }, "mp3",
     ContentVerdict::Whole, ""},
    {"vbr mp3, counts as another encoder gives them", [] { return XingMp3(200, 3, true, true, 200); }, "mp3",
     ContentVerdict::Whole, ""},
    {"vbr mp3 missing its last 1.5 %", [] { return XingMp3(200, 3, false, false, 197); }, "mp3",
     ContentVerdict::Damaged, kSoundCut},
    {"vbr mp3 missing its last 1.5 %, counted with header and tag", [] { return XingMp3(200, 3, true, true, 197); },
     "mp3", ContentVerdict::Damaged, kSoundCut},
    {"vbr mp3 with a byte count only, missing its last 1.5 %", [] { return XingMp3(200, 2, false, false, 197); },
     "mp3", ContentVerdict::Damaged, kSoundCut},
    {"vbr mp3 with a byte count only, whole", [] { return XingMp3(200, 2, false, true, 200); }, "mp3",
     ContentVerdict::Whole, ""},
    // AVI whose RIFF size was left unknown.
    {"avi with RIFF size 0", [] { return Avi({&kZero}); }, "avi", ContentVerdict::Whole, ""},
    {"avi with RIFF size 4", [] { return Avi({&kFour}); }, "avi", ContentVerdict::Whole, ""},
    {"avi with RIFF size 0 cut to two thirds", [] { return CutMedia(Avi({&kZero}), Avi({&kZero}).size() * 2 / 3); },
     "avi", ContentVerdict::Damaged, kVideoCut},
    {"avi with RIFF and movie sizes 0 cut after its movie list", [] {
         size_t moviEnd = 0;
         const std::vector<uint8_t> a = Avi({&kZero, &kZero}, &moviEnd);
         return CutMedia(a, moviEnd);
     }, "avi", ContentVerdict::Damaged, kVideoCut},
    {"avi with sizes 0 and no index flag, cut between frames: its frame count tells", [] {
         size_t moviEnd = 0;
         const std::vector<uint8_t> a = Avi({&kZero, &kZero, false, 6, false}, &moviEnd);
         return CutMedia(a, moviEnd - 2 * 108);
     }, "avi", ContentVerdict::Damaged, kVideoCut},
    {"avi with sizes 0, no index flag, no frame count, cut between frames: nothing tells", [] {
         size_t moviEnd = 0;
         const std::vector<uint8_t> a = Avi({&kZero, &kZero, false, 0, false}, &moviEnd);
         return CutMedia(a, moviEnd - 2 * 108);
     }, "avi", ContentVerdict::Whole, ""},
    {"avi with its size, its index flag and no index", [] { return Avi({nullptr, nullptr, true, 6, false}); }, "avi",
     ContentVerdict::Whole, ""},
    {"avi with RIFF size 0 cut before its movie list", [] {
         size_t moviStart = 0;
         const std::vector<uint8_t> a = Avi({&kZero}, nullptr, &moviStart);
         return CutMedia(a, moviStart);
     }, "avi", ContentVerdict::Damaged, kVideoCut},
    {"avi with its size and no movie list", [] {
         size_t moviStart = 0;
         std::vector<uint8_t> a = Avi({nullptr, nullptr, true, 6, false}, nullptr, &moviStart);
         a = CutMedia(a, moviStart);
         SetLe32(a, 4, static_cast<uint32_t>(a.size() - 8));
         return a;
     }, "avi", ContentVerdict::Damaged, "beschadigd: de opbouw van de video klopt niet; zet een goede kopie terug"},
    // What the fuzzer reached and no test held.
    {"bmp in runs with both sizes 0", [] { return RleBmp(); }, "bmp", ContentVerdict::Whole, ""},
    {"that bmp cut before the end of its runs", [] { return CutMedia(RleBmp(), RleBmp().size() - 2); }, "bmp",
     ContentVerdict::Damaged, kImageCut},
    {"bmp holding a JPEG with both sizes 0", [] { return RleBmp(4); }, "bmp", ContentVerdict::NotJudged, ""},
    {"tiff whose strip ends the file", [] { return TiffStripLast(); }, "tif", ContentVerdict::Whole, ""},
    {"that tiff less its last byte", [] { return CutMedia(TiffStripLast(), TiffStripLast().size() - 1); }, "tif",
     ContentVerdict::Damaged, kImageCut},
    {"tiff with two strip offsets and three strip lengths", [] { return TiffStripLast(2, 3); }, "tif",
     ContentVerdict::Damaged, kImageBroken},
    {"gif whose codes begin at 2 bits", [] { return GifCodeSize(2); }, "gif", ContentVerdict::Whole, ""},
    {"gif whose codes begin at 0 bits", [] { return GifCodeSize(0); }, "gif", ContentVerdict::Damaged, kImageBroken},
    {"mp3 without tags under an unknown name", [] { return Mp3Frames(8); }, "xyz", ContentVerdict::Whole, ""},
    {"that mp3 cut in a frame", [] { return CutMedia(Mp3Frames(8), 417 * 5 + 100); }, "xyz", ContentVerdict::Damaged,
     kSoundCut},
    {"other bytes that begin like a frame, unknown name", [] { return Join({0xFF, 0xFB, 0x90, 0xC0}, Noise(3000, 111)); },
     "xyz", ContentVerdict::NotJudged, ""},
    {"other bytes that begin like a frame, named jpg", [] { return Join({0xFF, 0xFB, 0x90, 0xC0}, Noise(3000, 111)); },
     "jpg", ContentVerdict::Damaged, kImageBroken},
    {"mp3 without tags named wav", [] { return Mp3Frames(8); }, "wav", ContentVerdict::Warning,
     "andere soort: de inhoud is MP3, maar de naam eindigt op .wav; sla het op als echt .wav-bestand of probeer het "
     "vooraf in Wings"},
    // A tag before another kind; another kind under a known name.
    {"flac behind an ID3v2 tag, named mp3", [] { return Join(Id3v2(3, 0, TitleFrame()), Flac()); }, "mp3",
     ContentVerdict::Warning, kFlacAsMp3},
    {"flac behind an ID3v2 tag, named flac", [] { return Join(Id3v2(3, 0, TitleFrame()), Flac()); }, "flac",
     ContentVerdict::Whole, ""},
    {"aac behind an ID3v2 tag, named mp3", [] { return Join(Id3v2(4, 0, TitleFrame()), Adts(5)); }, "mp3",
     ContentVerdict::Warning, OtherKind("AAC", "mp3")},
    {"aac named mp3", [] { return Adts(5); }, "mp3", ContentVerdict::Warning, OtherKind("AAC", "mp3")},
    {"aac named aac", [] { return Adts(5); }, "aac", ContentVerdict::Whole, ""},
    {"a tag and bytes that only begin like aac, named mp3",
     [] { return Join(Id3v2(3, 0, TitleFrame()), Join({0xFF, 0xF1, 0x50, 0x80, 0x1A, 0x3F, 0xFC}, Noise(900, 150))); },
     "mp3", ContentVerdict::Damaged, kSoundBroken},
    {"matroska named avi", [] { return Ebml("matroska"); }, "avi", ContentVerdict::Warning, OtherKind("Matroska", "avi")},
    {"webm named mp4", [] { return Ebml("webm"); }, "mp4", ContentVerdict::Warning, OtherKind("WebM", "mp4")},
    {"webm named mkv", [] { return Ebml("webm"); }, "mkv", ContentVerdict::Whole, ""},
    // FLAC: metadata, frames found by their checksums, the sample count.
    {"flac", [] { return Flac(); }, "flac", ContentVerdict::Whole, ""},
    {"flac cut to 25 %", [] { return CutAt(Flac(), 25); }, "flac", ContentVerdict::Damaged, kSoundCut},
    {"flac cut to 50 %", [] { return CutAt(Flac(), 50); }, "flac", ContentVerdict::Damaged, kSoundCut},
    {"flac cut to 90 %", [] { return CutAt(Flac(), 90); }, "flac", ContentVerdict::Damaged, kSoundCut},
    {"flac cut to 99 %", [] { return CutAt(Flac(), 99); }, "flac", ContentVerdict::Damaged, kSoundCut},
    {"flac cut inside its metadata", [] { return CutMedia(Flac(), 30); }, "flac", ContentVerdict::Damaged, kSoundCut},
    {"flac cut after its seventh frame: its sample count tells", [] {
         std::vector<size_t> ends;
         const std::vector<uint8_t> f = Flac({}, &ends);
         return CutMedia(f, ends[6]);
     }, "flac", ContentVerdict::Damaged, kSoundCut},
    {"flac without a sample count, cut after a frame: nothing tells", [] {
         std::vector<size_t> ends;
         FlacLayout l;
         l.totalKnown = false;
         const std::vector<uint8_t> f = Flac(l, &ends);
         return CutMedia(f, ends[6]);
     }, "flac", ContentVerdict::Whole, ""},
    {"flac cut one byte into its next frame", [] {
         std::vector<size_t> ends;
         const std::vector<uint8_t> f = Flac({}, &ends);
         return CutMedia(f, ends[6] + 1);
     }, "flac", ContentVerdict::Damaged, kSoundCut},
    {"flac and a zero byte", [] { return Join(Flac(), {0}); }, "flac", ContentVerdict::Whole, ""},
    {"flac and CR LF", [] { return Join(Flac(), Text("\r\n")); }, "flac", ContentVerdict::Whole, ""},
    {"flac and an ID3v1 tag", [] { return Join(Flac(), Join(Text("TAG"), Noise(125, 210))); }, "flac",
     ContentVerdict::Whole, ""},
    {"flac and 100 KB of zeros", [] { return Join(Flac(), ZeroMedia(100000)); }, "flac", ContentVerdict::Warning,
     kTrailing},
    {"flac with one byte of its sound changed", [] { return ChangeByte(Flac(), 2000); }, "flac",
     ContentVerdict::Damaged, kChecksum},
    {"flac with one byte of its last frame changed", [] { return ChangeByte(Flac(), Flac().size() - 50); }, "flac",
     ContentVerdict::Damaged, kSoundCut},
    {"flac whose sound holds a frame header by chance", [] {
         FlacLayout l;
         l.chanceHeader = FlacFrameHeader(7, 192);
         return Flac(l);
     }, "flac", ContentVerdict::Whole, ""},
    {"flac whose first frame header is wrong", [] { return ChangeByte(Flac(), 4 + 38 + 19 + 2); }, "flac",
     ContentVerdict::Damaged, kSoundBroken},
    {"flac named wav", [] { return Flac(); }, "wav", ContentVerdict::Warning, OtherKind("FLAC", "wav")},
    // AAC in ADTS frames: each frame's length leads to the next.
    {"aac cut to 25 %", [] { return CutAt(Adts(12), 25); }, "aac", ContentVerdict::Damaged, kSoundCut},
    {"aac cut to 50 %", [] { return CutAt(Adts(12), 50); }, "aac", ContentVerdict::Damaged, kSoundCut},
    {"aac cut to 90 %", [] { return CutAt(Adts(12), 90); }, "aac", ContentVerdict::Damaged, kSoundCut},
    {"aac cut to 99 %", [] { return CutAt(Adts(12), 99); }, "aac", ContentVerdict::Damaged, kSoundCut},
    {"aac cut three bytes into a frame", [] { return CutMedia(Adts(12), Adts(11).size() + 3); }, "aac",
     ContentVerdict::Damaged, kSoundCut},
    {"aac cut between frames: nothing tells", [] { return Adts(11); }, "aac", ContentVerdict::Whole, ""},
    {"aac and a zero byte", [] { return Join(Adts(12), {0}); }, "aac", ContentVerdict::Whole, ""},
    {"aac and CR LF", [] { return Join(Adts(12), Text("\r\n")); }, "aac", ContentVerdict::Whole, ""},
    {"aac and an ID3v1 tag", [] { return Join(Adts(12), Join(Text("TAG"), Noise(125, 211))); }, "aac",
     ContentVerdict::Whole, ""},
    {"aac behind an ID3v2 tag", [] { return Join(Id3v2(4, 0, TitleFrame()), Adts(12)); }, "aac",
     ContentVerdict::Whole, ""},
    {"aac behind an ID3v2 tag named mp3, cut", [] { return CutAt(Join(Id3v2(4, 0, TitleFrame()), Adts(12)), 90); },
     "mp3", ContentVerdict::Damaged, kSoundCut},
    {"aac whose frames go on after other bytes", [] { return Join(Join(Adts(6), Noise(300, 212)), Adts(6)); }, "aac",
     ContentVerdict::Damaged, kSoundBroken},
    {"aac and 100 KB of other bytes", [] { return Join(Adts(12), Noise(100000, 213)); }, "aac",
     ContentVerdict::Warning, kTrailing},
    {"other bytes named aac", [] { return Noise(3000, 214); }, "aac", ContentVerdict::Damaged, kSoundBroken},
    // Matroska and WebM: the segment's size or the index tell a cut.
    {"matroska", [] { return Matroska(); }, "mkv", ContentVerdict::Whole, ""},
    {"matroska cut to 25 %", [] { return CutAt(Matroska(), 25); }, "mkv", ContentVerdict::Damaged, kVideoCut},
    {"matroska cut to 50 %", [] { return CutAt(Matroska(), 50); }, "mkv", ContentVerdict::Damaged, kVideoCut},
    {"matroska cut to 90 %", [] { return CutAt(Matroska(), 90); }, "mkv", ContentVerdict::Damaged, kVideoCut},
    {"matroska cut to 99 %", [] { return CutAt(Matroska(), 99); }, "mkv", ContentVerdict::Damaged, kVideoCut},
    {"matroska and a zero byte", [] { return Join(Matroska(), {0}); }, "mkv", ContentVerdict::Whole, ""},
    {"matroska and CR LF", [] { return Join(Matroska(), Text("\r\n")); }, "mka", ContentVerdict::Whole, ""},
    {"matroska and 100 KB of zeros", [] { return Join(Matroska(), ZeroMedia(100000)); }, "mkv",
     ContentVerdict::Warning, kTrailing},
    {"webm of unknown size, clusters of unknown size", [] {
         MatroskaLayout l;
         l.docType = "webm";
         l.segmentSizeKnown = l.clusterSizeKnown = false;
         return Matroska(l);
     }, "webm", ContentVerdict::Whole, ""},
    {"webm of unknown size with its cues first, cut after a cluster: the cues tell", [] {
         MatroskaLayout l;
         l.docType = "webm";
         l.segmentSizeKnown = false;
         l.cuesFirst = true;
         std::vector<size_t> ends;
         const std::vector<uint8_t> m = Matroska(l, &ends);
         return CutMedia(m, ends[2]);
     }, "webm", ContentVerdict::Damaged, kVideoCut},
    {"webm of unknown size with its cues last, cut after a cluster: nothing tells", [] {
         MatroskaLayout l;
         l.docType = "webm";
         l.segmentSizeKnown = false;
         std::vector<size_t> ends;
         const std::vector<uint8_t> m = Matroska(l, &ends);
         return CutMedia(m, ends[2]);
     }, "webm", ContentVerdict::Whole, ""},
    {"webm of unknown size cut inside a cluster", [] {
         MatroskaLayout l;
         l.docType = "webm";
         l.segmentSizeKnown = false;
         std::vector<size_t> ends;
         const std::vector<uint8_t> m = Matroska(l, &ends);
         return CutMedia(m, ends[2] - 100);
     }, "webm", ContentVerdict::Damaged, kVideoCut},
    {"matroska whose cluster's size runs past its segment", [] {
         std::vector<size_t> ends;
         std::vector<uint8_t> m = Join(Matroska({}, &ends), ZeroMedia(5000));
         m[ends[2] + 4] = 0x4F;  // the last cluster's size, in two bytes, made about 3 KB larger
         return m;
     }, "mkv", ContentVerdict::Damaged, kVideoBroken},
    {"another EBML document named mkv", [] { return Ebml("zekerpad"); }, "mkv", ContentVerdict::NotJudged, ""},
    {"matroska named webm", [] { return Matroska(); }, "webm", ContentVerdict::Whole, ""},
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
