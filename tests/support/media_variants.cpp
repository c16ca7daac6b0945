#include "support/media_variants.h"

#include <algorithm>
#include <cstring>

#include "support/media_bytes.h"
#include "support/media_samples.h"

namespace media_variants {

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

void SetLe32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A WAV of 16-bit mono sound at 8 kHz: its sizes as given (or as they
// should be when nullptr), the chunks between format and sound as given.
std::vector<uint8_t> Wav(const uint32_t* riffSize, const uint32_t* dataSize, const std::vector<uint8_t>& middle,
                         size_t sound)
{
    Bytes w;
    w.Text("RIFF").Le32(0).Text("WAVE");
    w.Text("fmt ").Le32(16).Le16(1).Le16(1).Le32(8000).Le32(16000).Le16(2).Le16(16);
    w.Add(middle);
    const std::vector<uint8_t> samples = Noise(sound, 60);
    w.Text("data").Le32(dataSize ? *dataSize : static_cast<uint32_t>(sound)).Add(samples);
    w.SetLe32(4, riffSize ? *riffSize : static_cast<uint32_t>(w.Size() - 8));
    return w.b;
}

// An INFO list whose one text has an odd length, with or without the pad
// byte RIFF puts after odd data.
std::vector<uint8_t> OddList(bool pad)
{
    Bytes l;
    l.Text("LIST").Le32(4 + 8 + 5).Text("INFO").Text("INAM").Le32(5).Text("Zeker");
    if (pad) l.U8(0);
    return l.b;
}

// The sample WMA as a broadcast writes it: the broadcast flag set and the
// file's and the data object's sizes not filled in.
namespace {
constexpr size_t kWmaFlags = 30 + 24 + 64, kWmaFileSize = 30 + 24 + 16, kWmaDataSize = 168 + 16;
const std::vector<uint32_t> kSampleSizes = {300, 200, 250, 150, 400, 120};
}  // namespace

std::vector<uint8_t> BroadcastWma(uint32_t dataSize)
{
    std::vector<uint8_t> a = SampleMedia(MediaSample::Wma);
    SetLe32(a, kWmaFlags, 1);
    SetLe32(a, kWmaFileSize, 0);
    SetLe32(a, kWmaDataSize, dataSize);
    return a;
}

// A movie box of one video track: its samples of the sizes given, in
// chunks of equal count at the offsets given (eight-byte ones with co64);
// fragmented, the samples are in fragments and the tables are empty.
std::vector<uint8_t> Moov(const std::vector<uint32_t>& sizes, const std::vector<uint64_t>& chunks, bool co64,
                          bool fragmented)
{
    Bytes stsd, stsz, stsc, stco, dref, hdlr;
    stsd.Be32(0).Be32(1).Add(Box("avc1", Bytes().Zeros(78).Add(Box("avcC", Noise(23, 70))).b));
    stsz.Be32(0).Be32(0).Be32(static_cast<uint32_t>(sizes.size()));
    for (uint32_t size : sizes) stsz.Be32(size);
    stsc.Be32(0);
    if (chunks.empty())
        stsc.Be32(0);
    else
        stsc.Be32(1).Be32(1).Be32(static_cast<uint32_t>(sizes.size() / chunks.size())).Be32(1);
    stco.Be32(0).Be32(static_cast<uint32_t>(chunks.size()));
    for (uint64_t at : chunks) co64 ? stco.Be64(at) : stco.Be32(static_cast<uint32_t>(at));
    dref.Be32(0).Be32(1).Add(Box("url ", {0, 0, 0, 1}));  // flag 1: the data is in this file
    hdlr.Be32(0).Be32(0).Text("vide").Zeros(13);
    const std::vector<uint8_t> stbl = Boxes({Box("stsd", stsd.b), Box("stts", std::vector<uint8_t>(8)),
                                             Box("stsc", stsc.b), Box("stsz", stsz.b),
                                             Box(co64 ? "co64" : "stco", stco.b)});
    const std::vector<uint8_t> minf =
        Boxes({Box("vmhd", std::vector<uint8_t>(12)), Box("dinf", Box("dref", dref.b)), Box("stbl", stbl)});
    const std::vector<uint8_t> mdia =
        Boxes({Box("mdhd", std::vector<uint8_t>(24)), Box("hdlr", hdlr.b), Box("minf", minf)});
    const std::vector<uint8_t> trak = Boxes({Box("tkhd", std::vector<uint8_t>(84)), Box("mdia", mdia)});
    std::vector<uint8_t> moov = Boxes({Box("mvhd", std::vector<uint8_t>(100)), Box("trak", trak)});
    if (fragmented)
        moov = Join(moov, Box("mvex", Box("trex", std::vector<uint8_t>(24))));
    return Box("moov", moov);
}

std::vector<uint8_t> Ftyp() { return Box("ftyp", Bytes().Text("isom").Be32(0x200).Text("isom").Text("mp41").b); }

// As a tool that writes the movie box first leaves it: the media data
// last, in a box of size 0 ("to the end of the file") or of its size;
// lead: bytes no sample uses at the start of the media data.
std::vector<uint8_t> Faststart(bool co64, bool sizeZero, size_t lead)
{
    const size_t perChunk = 2;
    std::vector<uint64_t> chunks(kSampleSizes.size() / perChunk, 0);
    const size_t moovSize = Moov(kSampleSizes, chunks, co64, false).size();
    uint64_t at = Ftyp().size() + moovSize + 8 + lead;
    Bytes data;
    data.Zeros(lead);
    for (size_t s = 0; s < kSampleSizes.size(); ++s) {
        if (s % perChunk == 0) chunks[s / perChunk] = at;
        data.Add(Noise(kSampleSizes[s], 71 + static_cast<uint32_t>(s)));
        at += kSampleSizes[s];
    }
    Bytes mdat;
    mdat.Be32(sizeZero ? 0 : static_cast<uint32_t>(8 + data.Size())).Text("mdat").Add(data.b);
    return Boxes({Ftyp(), Moov(kSampleSizes, chunks, co64, false), mdat.b});
}

std::vector<uint8_t> QuickTimeAdpcm()
{
    const uint32_t packets = 100;
    Bytes stsd, stsz, stsc, stco, hdlr;
    stsd.Be32(0).Be32(1).Add(Box("ima4", Bytes().Zeros(6).Be16(1).Be16(1).Zeros(6).Be16(1).Be16(16).Zeros(4)
                                               .Be32(44100u << 16).Be32(64).Be32(34).Be32(34).Be32(2).b));
    stsz.Be32(0).Be32(1).Be32(64 * packets);
    stsc.Be32(0).Be32(1).Be32(1).Be32(64 * packets).Be32(1);
    hdlr.Be32(0).Text("mhlr").Text("soun").Zeros(13);
    const auto moov = [&](uint32_t chunk) {
        Bytes co;
        co.Be32(0).Be32(1).Be32(chunk);
        const std::vector<uint8_t> stbl = Boxes({Box("stsd", stsd.b), Box("stts", std::vector<uint8_t>(8)),
                                                 Box("stsc", stsc.b), Box("stsz", stsz.b), Box("stco", co.b)});
        const std::vector<uint8_t> minf = Boxes({Box("smhd", std::vector<uint8_t>(8)), Box("stbl", stbl)});
        const std::vector<uint8_t> mdia =
            Boxes({Box("mdhd", std::vector<uint8_t>(24)), Box("hdlr", hdlr.b), Box("minf", minf)});
        return Box("moov", Boxes({Box("mvhd", std::vector<uint8_t>(100)),
                                  Box("trak", Boxes({Box("tkhd", std::vector<uint8_t>(84)), Box("mdia", mdia)}))}));
    };
    const std::vector<uint8_t> ftyp = Box("ftyp", Bytes().Text("qt  ").Be32(0x200).Text("qt  ").b);
    const uint32_t chunk = static_cast<uint32_t>(ftyp.size() + moov(0).size() + 8);
    return Boxes({ftyp, moov(chunk), Box("mdat", Noise(34 * packets, 160))});
}

// A fragmented movie: three fragments (a fragment box and its media data
// each), with or without a segment index before them that lists their sizes.
std::vector<uint8_t> Fragmented(bool index, size_t* secondEnd)
{
    std::vector<std::vector<uint8_t>> fragments;
    for (uint32_t f = 0; f < 3; ++f) {
        Bytes tfhd, trun;
        tfhd.Be32(0x20000).Be32(1);  // default base is the fragment box
        trun.Be32(0x200).Be32(2).Be32(kSampleSizes[2 * f]).Be32(kSampleSizes[2 * f + 1]);
        const std::vector<uint8_t> moof =
            Box("moof", Boxes({Box("mfhd", Bytes().Be32(0).Be32(f + 1).b),
                               Box("traf", Boxes({Box("tfhd", tfhd.b), Box("trun", trun.b)}))}));
        fragments.push_back(Join(moof, Box("mdat", Join(Noise(kSampleSizes[2 * f], 80 + f),
                                                          Noise(kSampleSizes[2 * f + 1], 90 + f)))));
    }
    std::vector<uint8_t> file = Join(Ftyp(), Moov({}, {}, false, true));
    if (index) {
        Bytes sidx;
        sidx.Be32(0).Be32(1).Be32(1000).Be32(0).Be32(0).Be16(0).Be16(3);
        for (const auto& f : fragments) sidx.Be32(static_cast<uint32_t>(f.size())).Be32(1000).Be32(0x90000000);
        file = Join(file, Box("sidx", sidx.b));
    }
    for (size_t f = 0; f < fragments.size(); ++f) {
        file = Join(file, fragments[f]);
        if (f == 1 && secondEnd) *secondEnd = file.size();
    }
    return file;
}

std::vector<uint8_t> CutAt(std::vector<uint8_t> bytes, int percent)
{
    return CutMedia(bytes, bytes.size() * static_cast<size_t>(percent) / 100);
}

// An AVI of six 100-byte video frames: its header list (whose main header
// gives the index flag and the frame count), its movie list, and an idx1
// index. riffSize and moviSize as given, or as they should be (nullptr).
std::vector<uint8_t> Avi(const AviLayout& l, size_t* moviEnd, size_t* moviStart)
{
    Bytes avih, strl, hdrl, movi, idx1;
    avih.Le32(40000).Le32(2500).Le32(0).Le32(l.hasIndexFlag ? 0x10 : 0).Le32(l.totalFrames).Le32(0).Le32(1)
        .Le32(100).Le32(16).Le32(16).Zeros(16);
    strl.Text("strl");
    RiffChunk(strl, "strh", Bytes().Text("vids").Text("MJPG").Zeros(48).b);
    RiffChunk(strl, "strf", Bytes().Le32(40).Le32(16).Le32(16).Le16(1).Le16(24).Text("MJPG").Zeros(20).b);
    hdrl.Text("hdrl");
    RiffChunk(hdrl, "avih", avih.b);
    RiffChunk(hdrl, "LIST", strl.b);
    movi.Text("movi");
    for (uint32_t f = 0; f < 6; ++f) {
        idx1.Text("00dc").Le32(0x10).Le32(static_cast<uint32_t>(movi.Size())).Le32(100);
        RiffChunk(movi, "00dc", Noise(100, 100 + f));
    }
    Bytes r;
    r.Text("RIFF").Le32(0).Text("AVI ");
    RiffChunk(r, "LIST", hdrl.b);
    const size_t moviAt = r.Size();
    if (moviStart) *moviStart = moviAt;
    RiffChunk(r, "LIST", movi.b);
    if (l.moviSize) r.SetLe32(moviAt + 4, *l.moviSize);
    if (moviEnd) *moviEnd = r.Size();
    if (l.index) RiffChunk(r, "idx1", idx1.b);
    r.SetLe32(4, l.riffSize ? *l.riffSize : static_cast<uint32_t>(r.Size() - 8));
    return r.b;
}

// A BMP of 8 x 2 pixels, 8 bits each with a grey palette, in runs (RLE8):
// the file's size and the pixels' size both left 0, as writers may.
std::vector<uint8_t> RleBmp(uint32_t compression)
{
    Bytes m;
    m.Text("BM").Le32(0).Le32(0).Le32(54 + 1024);
    m.Le32(40).Le32(8).Le32(2).Le16(1).Le16(8).Le32(compression).Le32(0).Le32(2835).Le32(2835).Le32(0).Le32(0);
    for (uint32_t i = 0; i < 256; ++i) m.U8(i).U8(i).U8(i).U8(0);
    m.U8(8).U8(7).U8(0).U8(0);                                      // eight pixels of 7, end of line
    m.U8(0).U8(3).U8(1).U8(2).U8(3).U8(0).U8(5).U8(9).U8(0).U8(0);  // three literal (padded), five of 9
    m.U8(0).U8(1);                                                  // end of picture
    return m.b;
}

// A TIFF of one 8 x 2 strip whose directory comes first and whose strip
// ends the file.
std::vector<uint8_t> TiffStripLast(uint32_t offsetsCount, uint32_t countsCount)
{
    Bytes t;
    t.Text("II").Le16(42).Le32(8);
    const uint32_t entries = 7, tables = 8 + 2 + 12 * entries + 4;
    // Tables of one value sit in their entries; longer ones after the directory.
    const uint32_t strip = tables + 4 * ((offsetsCount > 1 ? offsetsCount : 0) + (countsCount > 1 ? countsCount : 0));
    const auto entry = [&](uint32_t tag, uint32_t type, uint32_t count, uint32_t value) {
        t.Le16(tag).Le16(type).Le32(count).Le32(value);
    };
    t.Le16(entries);
    entry(256, 4, 1, 8);
    entry(257, 4, 1, 2);
    entry(258, 3, 1, 8);
    entry(262, 3, 1, 1);
    entry(273, 4, offsetsCount, offsetsCount == 1 ? strip : tables);
    entry(278, 4, 1, 2);
    entry(279, 4, countsCount, countsCount == 1 ? 16 : tables + 4 * offsetsCount);
    t.Le32(0);
    for (uint32_t i = 0; offsetsCount > 1 && i < offsetsCount; ++i) t.Le32(strip);
    for (uint32_t i = 0; countsCount > 1 && i < countsCount; ++i) t.Le32(16);
    t.Add(Noise(16, 110));
    return t.b;
}

// A GIF of one pixel whose image data says its codes begin at codeSize bits.
std::vector<uint8_t> GifCodeSize(uint32_t codeSize)
{
    Bytes g;
    g.Text("GIF89a").Le16(1).Le16(1).U8(0x80).U8(0).U8(0).Zeros(3).U8(255).U8(255).U8(255);
    g.U8(0x2C).Le16(0).Le16(0).Le16(1).Le16(1).U8(0).U8(codeSize).U8(2).U8(0x44).U8(0x01).U8(0).U8(0x3B);
    return g.b;
}

namespace {

// FLAC's header checksum, bit by bit: CRC-8, x^8 + x^2 + x + 1, from 0.
uint8_t FlacCrc8(const std::vector<uint8_t>& bytes)
{
    uint32_t crc = 0;
    for (uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80) ? ((crc << 1) ^ 0x07) & 0xFF : (crc << 1) & 0xFF;
    }
    return static_cast<uint8_t>(crc);
}

}  // namespace

std::vector<uint8_t> FlacFrameHeader(uint32_t number, uint32_t samples, bool side)
{
    // Sync and fixed block sizes; 192 samples (code 1) or a count in the
    // byte after the number (code 6) or, above 256, in two bytes (code 7); 44.1 kHz (9); left and right (1) or
    // left and the difference (8), 16 bits (4); the frame number, coded as
    // UTF-8 codes a character.
    Bytes h;
    h.U8(0xFF).U8(0xF8).U8(samples == 192 ? 0x19 : samples <= 256 ? 0x69 : 0x79).U8(side ? 0x88 : 0x18);
    if (number < 0x80) {
        h.U8(number);
    } else {
        int more = 1;
        while (more < 5 && number >= (1u << (6 * more + 6 - more))) ++more;
        h.U8((0xFF00u >> (more + 1) & 0xFF) | number >> (6 * more));
        for (int i = more - 1; i >= 0; --i) h.U8(0x80 | ((number >> (6 * i)) & 0x3F));
    }
    if (samples > 256)
        h.Be16(samples - 1);
    else if (samples != 192)
        h.U8(samples - 1);
    h.U8(FlacCrc8(h.b));
    return h.b;
}

std::vector<uint8_t> Flac(const FlacLayout& l, std::vector<size_t>* frameEnds)
{
    const uint64_t total = 192u * static_cast<uint64_t>(l.frames - 1) + l.lastSamples;
    Bytes f;
    f.Text("fLaC");
    // STREAMINFO: block sizes 192, frame sizes not known (0), then 44,100 Hz,
    // two channels, 16 bits and the sample count in 64 bits, and an MD5 left 0.
    f.U8(0x00).U8(0).U8(0).U8(34).Be16(192).Be16(192).U8(0).U8(0).U8(0).U8(0).U8(0).U8(0);
    f.Be64(uint64_t{44100} << 44 | uint64_t{1} << 41 | uint64_t{15} << 36 | (l.totalKnown ? total : 0)).Zeros(16);
    // A Vorbis comment block, the last: the vendor's name, no comments.
    f.U8(0x84).U8(0).U8(0).U8(4 + 7 + 4).Le32(7).Text("Zekerpd").Le32(0);
    for (int n = 0; n < l.frames; ++n) {
        const uint32_t samples = n + 1 == l.frames ? l.lastSamples : 192;
        Bytes frame;
        // As encoders choose frame by frame: every second frame stores the
        // left channel and the difference, whose samples take a bit more.
        const bool side = n % 2 == 1;
        frame.Add(FlacFrameHeader(static_cast<uint32_t>(n), samples, side));
        for (uint32_t channel = 0; channel < 2; ++channel) {
            frame.U8(0x02);  // a verbatim subframe: every sample as it is
            const uint32_t bits = side && channel == 1 ? 17 : 16;
            std::vector<uint8_t> sound =
                Noise((bits * samples + 7) / 8, 200 + 2 * static_cast<uint32_t>(n) + channel);
            if ((bits * samples) % 8 != 0)  // the frame's last byte is filled up with zero bits
                sound.back() &= static_cast<uint8_t>(0xFF << (8 - (bits * samples) % 8));
            if (n == 2 && channel == 0 && !l.chanceHeader.empty())
                std::copy(l.chanceHeader.begin(), l.chanceHeader.end(), sound.begin() + 40);
            frame.Add(sound);
        }
        frame.Be16(ReferenceFlacCrc16(frame.b));
        f.Add(frame.b);
        if (frameEnds) frameEnds->push_back(f.Size());
    }
    return f.b;
}

// AAC in ADTS frames: seven bytes of header (sync, MPEG-4, no CRC; AAC LC,
// 44.1 kHz, stereo; the frame's length over three bytes) and the data.
std::vector<uint8_t> Adts(int frames)
{
    Bytes a;
    for (int i = 0; i < frames; ++i) {
        const uint32_t length = 7 + 200 + static_cast<uint32_t>(i % 50);
        a.U8(0xFF).U8(0xF1).U8(0x50).U8(0x80 | (length >> 11)).U8((length >> 3) & 0xFF).U8((length & 7) << 5 | 0x1F)
            .U8(0xFC).Add(Noise(length - 7, 130 + static_cast<uint32_t>(i)));
    }
    return a.b;
}

namespace {

// An EBML element: its id as it is written, its size in as few bytes as
// hold it (the length marked by the first set bit), its contents.
std::vector<uint8_t> Element(uint32_t id, const std::vector<uint8_t>& content)
{
    Bytes e;
    for (int shift = 24; shift >= 0; shift -= 8)
        if (id >> shift) e.U8(id >> shift);
    const uint64_t size = content.size();
    int length = 1;
    while (length < 8 && size >= (uint64_t{1} << (7 * length)) - 1) ++length;
    for (int i = length - 1; i >= 0; --i)
        e.U8(static_cast<uint32_t>((size >> (8 * i)) & 0xFF) | (i == length - 1 ? 0x80u >> (length - 1) : 0));
    e.Add(content);
    return e.b;
}

std::vector<uint8_t> Uint(uint32_t id, uint32_t value, int bytes = 4)
{
    Bytes v;
    for (int i = bytes - 1; i >= 0; --i) v.U8(value >> (8 * i));
    return Element(id, v.b);
}

// An element whose size is "unknown": eight bytes of size, all ones.
std::vector<uint8_t> OpenElement(uint32_t id, const std::vector<uint8_t>& content)
{
    Bytes e;
    for (int shift = 24; shift >= 0; shift -= 8)
        if (id >> shift) e.U8(id >> shift);
    e.U8(0x01).Raw("\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 7).Add(content);
    return e.b;
}

}  // namespace

std::vector<uint8_t> Matroska(const MatroskaLayout& l, std::vector<size_t>* clusterEnds)
{
    const std::vector<uint8_t> header = Element(0x1A45DFA3, Boxes({Uint(0x4286, 1, 1), Uint(0x42F7, 1, 1),
        Uint(0x42F2, 4, 1), Uint(0x42F3, 8, 1), Element(0x4282, Text(l.docType)), Uint(0x4287, 4, 1),
        Uint(0x4285, 2, 1)}));
    const std::vector<uint8_t> info = Element(0x1549A966, Boxes({Uint(0x2AD7B1, 1000000, 3),
        Element(0x4D80, Text("Zekerpad")), Element(0x5741, Text("Zekerpad"))}));
    const std::vector<uint8_t> tracks = Element(0x1654AE6B, Element(0xAE, Boxes({Uint(0xD7, 1, 1),
        Uint(0x73C5, 1, 1), Uint(0x83, 1, 1), Element(0x86, Text("V_VP9")),
        Element(0xE0, Boxes({Uint(0xB0, 320, 2), Uint(0xBA, 240, 2)}))})));
    std::vector<std::vector<uint8_t>> clusters;
    for (uint32_t c = 0; c < static_cast<uint32_t>(l.clusters); ++c) {
        Bytes blocks;
        blocks.Add(Uint(0xE7, c * 1000));
        for (uint32_t b = 0; b < 3; ++b)  // track 1, time in the cluster, a key frame
            blocks.Add(Element(0xA3, Join(Bytes().U8(0x81).Be16(b * 333).U8(0x80).b,
                                          Noise(l.blockBytes + 50 * b, 300 + 3 * c + b))));
        clusters.push_back(l.clusterSizeKnown ? Element(0x1F43B675, blocks.b) : OpenElement(0x1F43B675, blocks.b));
    }
    // The cues: one point a cluster, its position counted from the
    // segment's contents; four bytes each, so the cues' size is known first.
    const auto cues = [&](const std::vector<uint32_t>& at) {
        Bytes points;
        for (size_t c = 0; c < at.size(); ++c)
            points.Add(Element(0xBB, Boxes({Uint(0xB3, static_cast<uint32_t>(c) * 1000),
                Element(0xB7, Boxes({Uint(0xF7, 1, 1), Uint(0xF1, at[c])}))})));
        return Element(0x1C53BB6B, points.b);
    };
    const std::vector<uint32_t> none(clusters.size(), 0);
    uint32_t at = static_cast<uint32_t>(info.size() + tracks.size() + (l.cues && l.cuesFirst ? cues(none).size() : 0));
    std::vector<uint32_t> positions;
    for (const auto& cluster : clusters) {
        positions.push_back(at);
        at += static_cast<uint32_t>(cluster.size());
    }
    Bytes body;
    body.Add(info).Add(tracks);
    if (l.cues && l.cuesFirst) body.Add(cues(positions));
    std::vector<size_t> ends;
    for (const auto& cluster : clusters) {
        body.Add(cluster);
        ends.push_back(body.Size());
    }
    if (l.cues && !l.cuesFirst) body.Add(cues(positions));
    const std::vector<uint8_t> segment =
        l.segmentSizeKnown ? Element(0x18538067, body.b) : OpenElement(0x18538067, body.b);
    if (clusterEnds)
        for (size_t end : ends) clusterEnds->push_back(header.size() + segment.size() - body.Size() + end);
    return Join(header, segment);
}

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
std::vector<uint8_t> Id3v2(uint8_t version, uint8_t flags, const std::vector<uint8_t>& body, int sizeOff)
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

// A VBR MP3 as encoders write it: a tag, a first frame holding the Xing
// header (its side information zero), then the sound's frames. flags: 1
// the frame count is given, 2 the byte count. Writers differ in whether
// the header's own frame and the tag are counted; kept: how many sound
// frames of `frames` are left in the file.
std::vector<uint8_t> XingMp3(int frames, uint32_t flags, bool countHeader, bool countTag, int kept)
{
    const std::vector<uint8_t> tag = Id3v2(3, 0, TitleFrame());
    const uint32_t bytes = 417u * static_cast<uint32_t>(frames + 1) + (countTag ? static_cast<uint32_t>(tag.size()) : 0);
    Bytes x;
    x.U8(0xFF).U8(0xFB).U8(0x90).U8(0xC0).Zeros(17).Text("Xing").Be32(flags);
    if (flags & 1) x.Be32(static_cast<uint32_t>(frames + (countHeader ? 1 : 0)));
    if (flags & 2) x.Be32(bytes);
    x.Zeros(417 - x.Size());
    return Join(Join(tag, x.b), Mp3Frames(kept));
}

}  // namespace media_variants
