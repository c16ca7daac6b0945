#include "support/media_samples.h"
#include "support/media_bytes.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

// The two checksums bit by bit, as their formats define them, apart from
// the program's own faster ones that they are to prove.
uint32_t ReferencePngCrc(const std::vector<uint8_t>& bytes)
{
    uint32_t crc = 0xFFFFFFFF;
    for (uint8_t c : bytes) {
        crc ^= c;
        for (int b = 0; b < 8; ++b) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

uint32_t ReferenceOggCrc(const std::vector<uint8_t>& bytes)
{
    uint32_t crc = 0;
    for (uint8_t c : bytes) {
        crc ^= static_cast<uint32_t>(c) << 24;
        for (int b = 0; b < 8; ++b) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

uint32_t ReferenceFlacCrc16(const std::vector<uint8_t>& bytes)
{
    uint32_t crc = 0;
    for (uint8_t byte : bytes) {
        crc ^= static_cast<uint32_t>(byte) << 8;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x8000) ? ((crc << 1) ^ 0x8005) & 0xFFFF : (crc << 1) & 0xFFFF;
    }
    return crc;
}

namespace {

std::vector<uint8_t> Jpeg(size_t bulk)
{
    Bytes j;
    j.Be16(0xFFD8);
    j.Be16(0xFFE0).Be16(16).Raw("JFIF\0", 5).U8(1).U8(1).U8(0).Be16(1).Be16(1).U8(0).U8(0);
    j.Be16(0xFFDB).Be16(67).U8(0);
    for (int i = 0; i < 64; ++i) j.U8(1);
    j.Be16(0xFFC0).Be16(11).U8(8).Be16(8).Be16(8).U8(1).U8(1).U8(0x11).U8(0);
    // One code each: category 0 for the DC value, end of block for the rest.
    for (uint32_t table : {0x00u, 0x10u}) {
        j.Be16(0xFFC4).Be16(20).U8(table).U8(1).Zeros(15).U8(0);
    }
    j.Be16(0xFFDA).Be16(8).U8(1).U8(1).U8(0).U8(0).U8(63).U8(0);
    j.U8(0x3F);  // "0" "0" and ones to fill the byte: an even grey block
    for (uint8_t c : Noise(bulk, 1)) {  // the benchmark's bulk, stuffed as the format wants
        j.U8(c);
        if (c == 0xFF) j.U8(0);
    }
    j.Be16(0xFFD9);
    return j.b;
}

void PngChunk(Bytes& p, const char* type, const std::vector<uint8_t>& data)
{
    Bytes covered;
    covered.Text(type).Add(data);
    p.Be32(static_cast<uint32_t>(data.size())).Add(covered.b).Be32(ReferencePngCrc(covered.b));
}

std::vector<uint8_t> Png(size_t bulk)
{
    const uint32_t width = bulk ? 1024 : 4;
    const uint32_t height = bulk ? static_cast<uint32_t>(bulk / (width + 1) + 1) : 4;
    // Grey rows, each with filter 0, in stored (uncompressed) deflate blocks.
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (width + 1));
    const std::vector<uint8_t> row = Noise(width, 2);
    for (uint32_t y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), row.begin(), row.end());
        raw[raw.size() - 1] = static_cast<uint8_t>(y);
    }
    Bytes z;
    z.U8(0x78).U8(0x01);
    for (size_t at = 0; at < raw.size(); at += 65535) {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        z.U8(at + n == raw.size() ? 1 : 0).Le16(static_cast<uint32_t>(n)).Le16(static_cast<uint32_t>(~n & 0xFFFF));
        z.Raw(raw.data() + at, n);
    }
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    z.Be32(b << 16 | a);
    Bytes p;
    p.Raw("\x89PNG\r\n\x1A\n", 8);
    Bytes header;
    header.Be32(width).Be32(height).U8(8).U8(0).U8(0).U8(0).U8(0);
    PngChunk(p, "IHDR", header.b);
    for (size_t at = 0; at < z.Size(); at += 65536)
        PngChunk(p, "IDAT", std::vector<uint8_t>(z.b.begin() + static_cast<ptrdiff_t>(at),
                                                 z.b.begin() + static_cast<ptrdiff_t>(std::min(z.Size(), at + 65536))));
    PngChunk(p, "IEND", {});
    return p.b;
}

std::vector<uint8_t> Gif(size_t bulk)
{
    Bytes g;
    g.Text("GIF89a").Le16(1).Le16(1).U8(0x80).U8(0).U8(0);
    g.U8(0).U8(0).U8(0).U8(255).U8(255).U8(255);
    // A comment, in sub-blocks, carries the benchmark's bulk.
    g.U8(0x21).U8(0xFE);
    const std::vector<uint8_t> text = bulk ? Noise(bulk, 3) : std::vector<uint8_t>{'Z', 'e', 'k', 'e', 'r'};
    for (size_t at = 0; at < text.size(); at += 255) {
        const size_t n = std::min<size_t>(255, text.size() - at);
        g.U8(static_cast<uint32_t>(n)).Raw(text.data() + at, n);
    }
    g.U8(0);
    g.U8(0x2C).Le16(0).Le16(0).Le16(1).Le16(1).U8(0);
    g.U8(2).U8(2).U8(0x44).U8(0x01).U8(0);  // one white pixel
    g.U8(0x3B);
    return g.b;
}

std::vector<uint8_t> Bmp(size_t bulk)
{
    const uint32_t width = bulk ? 1024 : 4, rowBytes = width * 3;
    const uint32_t height = bulk ? static_cast<uint32_t>(bulk / rowBytes + 1) : 2;
    const uint32_t pixels = rowBytes * height;
    Bytes m;
    m.Text("BM").Le32(54 + pixels).Le32(0).Le32(54);
    m.Le32(40).Le32(width).Le32(height).Le16(1).Le16(24).Le32(0).Le32(pixels).Le32(2835).Le32(2835).Le32(0).Le32(0);
    m.Add(Noise(pixels, 4));
    return m.b;
}

// As the common writer lays it out: strips first, then the directory, then
// the tables the directory points to.
std::vector<uint8_t> Tiff(size_t bulk)
{
    const uint32_t width = bulk ? 1024 : 4, rowsPerStrip = bulk ? 8 : 2;
    const uint32_t height = bulk ? static_cast<uint32_t>((bulk / width / rowsPerStrip + 1) * rowsPerStrip) : 4;
    const uint32_t strips = height / rowsPerStrip, stripBytes = width * rowsPerStrip;
    Bytes t;
    t.Text("II").Le16(42).Le32(0);
    std::vector<uint32_t> offsets;
    for (uint32_t s = 0; s < strips; ++s) {
        offsets.push_back(static_cast<uint32_t>(t.Size()));
        t.Add(Noise(stripBytes, 5 + s));
    }
    if (t.Size() & 1) t.U8(0);
    const uint32_t directory = static_cast<uint32_t>(t.Size());
    t.SetLe32(4, directory);
    const uint32_t entries = 9;
    const uint32_t tables = directory + 2 + 12 * entries + 4;
    const auto entry = [&](uint32_t tag, uint32_t type, uint32_t count, uint32_t value) {
        t.Le16(tag).Le16(type).Le32(count);
        if (type == 3 && count == 1)
            t.Le16(value).Le16(0);
        else
            t.Le32(value);
    };
    t.Le16(entries);
    entry(256, 4, 1, width);
    entry(257, 4, 1, height);
    entry(258, 3, 1, 8);
    entry(259, 3, 1, 1);
    entry(262, 3, 1, 1);
    entry(273, 4, strips, strips == 1 ? offsets[0] : tables);
    entry(277, 3, 1, 1);
    entry(278, 4, 1, rowsPerStrip);
    entry(279, 4, strips, strips == 1 ? stripBytes : tables + 4 * strips);
    t.Le32(0);
    if (strips > 1) {
        for (uint32_t o : offsets) t.Le32(o);
        for (uint32_t s = 0; s < strips; ++s) t.Le32(stripBytes);
    }
    return t.b;
}

std::vector<uint8_t> Wav(size_t bulk)
{
    Bytes format;
    format.Le16(1).Le16(1).Le32(8000).Le32(16000).Le16(2).Le16(16);
    Bytes info;
    info.Text("INFO");
    RiffChunk(info, "INAM", {'Z', 'e', 'k', 'e', 'r', 'p', 'a', 'd', '!', 0});
    Bytes r;
    r.Text("RIFF").Le32(0).Text("WAVE");
    RiffChunk(r, "fmt ", format.b);
    RiffChunk(r, "LIST", info.b);
    RiffChunk(r, "data", Noise(bulk ? (bulk + 1) / 2 * 2 : 200, 6));
    r.SetLe32(4, static_cast<uint32_t>(r.Size() - 8));
    return r.b;
}

std::vector<uint8_t> Avi(size_t bulk)
{
    const uint32_t frames = bulk ? static_cast<uint32_t>(bulk / 65536 + 1) : 3;
    const uint32_t frameBytes = bulk ? 65536 : 100;
    Bytes avih;
    avih.Le32(40000).Le32(frameBytes * 25).Le32(0).Le32(0x10).Le32(frames).Le32(0).Le32(1).Le32(frameBytes)
        .Le32(16).Le32(16).Zeros(16);
    Bytes strh;
    strh.Text("vids").Text("MJPG").Le32(0).Le16(0).Le16(0).Le32(0).Le32(1).Le32(25).Le32(0).Le32(frames)
        .Le32(frameBytes).Le32(0xFFFFFFFF).Le32(0).Le16(0).Le16(0).Le16(16).Le16(16);
    Bytes strf;
    strf.Le32(40).Le32(16).Le32(16).Le16(1).Le16(24).Text("MJPG").Le32(frameBytes).Zeros(16);
    Bytes strl;
    strl.Text("strl");
    RiffChunk(strl, "strh", strh.b);
    RiffChunk(strl, "strf", strf.b);
    Bytes hdrl;
    hdrl.Text("hdrl");
    RiffChunk(hdrl, "avih", avih.b);
    RiffChunk(hdrl, "LIST", strl.b);
    Bytes movi, index;
    movi.Text("movi");
    for (uint32_t f = 0; f < frames; ++f) {
        index.Text("00dc").Le32(0x10).Le32(static_cast<uint32_t>(movi.Size())).Le32(frameBytes);
        RiffChunk(movi, "00dc", Noise(frameBytes, 7 + f));
    }
    Bytes r;
    r.Text("RIFF").Le32(0).Text("AVI ");
    RiffChunk(r, "LIST", hdrl.b);
    RiffChunk(r, "LIST", movi.b);
    RiffChunk(r, "idx1", index.b);
    r.SetLe32(4, static_cast<uint32_t>(r.Size() - 8));
    return r.b;
}

std::vector<uint8_t> Mp3(size_t bulk)
{
    constexpr uint32_t kFrame = 417;  // MPEG-1 layer III, 128 kbit/s, 44.1 kHz, mono, no padding
    const uint32_t frames = bulk ? static_cast<uint32_t>(bulk / kFrame + 1) : 10;
    Bytes m;
    m.Text("ID3").U8(3).U8(0).U8(0).U8(0).U8(0).U8(0).U8(18);
    m.Text("TIT2").Be32(8).Be16(0).U8(0).Text("Zekerpa");
    // The first frame holds the Info header with the number of frames.
    m.U8(0xFF).U8(0xFB).U8(0x90).U8(0xC0).Zeros(17).Text("Info").Be32(1).Be32(frames);
    m.Zeros(kFrame - 4 - 17 - 12);
    for (uint32_t f = 0; f < frames; ++f)
        m.U8(0xFF).U8(0xFB).U8(0x90).U8(0xC0).Zeros(kFrame - 4);
    m.Text("TAG").Text("Zekerpad");
    m.Zeros(128 - 3 - 8);
    return m.b;
}

const uint8_t kAsfHeader[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const uint8_t kAsfProperties[16] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11, 0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const uint8_t kAsfDescription[16] = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const uint8_t kAsfData[16] = {0x36, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};

std::vector<uint8_t> Wma(size_t bulk)
{
    const uint32_t packet = bulk ? 8000 : 200;
    const uint64_t packets = bulk ? bulk / packet + 1 : 2;
    const std::vector<uint8_t> id = Noise(16, 8);
    Bytes a;
    a.Raw(kAsfHeader, 16).Le64(30 + 104 + 34).Le32(2).U8(1).U8(2);
    a.Raw(kAsfProperties, 16).Le64(104).Add(id);
    const size_t fileSizeAt = a.Size();
    a.Le64(0).Le64(0).Le64(packets).Le64(10000000).Le64(10000000).Le64(0).Le32(2).Le32(packet).Le32(packet).Le32(128000);
    a.Raw(kAsfDescription, 16).Le64(34).Zeros(10);
    a.Raw(kAsfData, 16).Le64(50 + packet * packets).Add(id).Le64(packets).U8(1).U8(1);
    for (uint64_t p = 0; p < packets; ++p)
        a.Add(Noise(packet, static_cast<uint32_t>(9 + p)));
    const uint64_t size = a.Size();
    a.SetLe32(fileSizeAt, static_cast<uint32_t>(size));
    a.SetLe32(fileSizeAt + 4, static_cast<uint32_t>(size >> 32));
    return a.b;
}

void OggPage(Bytes& o, uint32_t flags, uint64_t granule, uint32_t sequence, const std::vector<uint8_t>& packet)
{
    Bytes page;
    page.Text("OggS").U8(0).U8(flags).Le64(granule).Le32(1234).Le32(sequence).Le32(0);
    std::vector<uint8_t> lacing(packet.size() / 255, 255);
    lacing.push_back(static_cast<uint8_t>(packet.size() % 255));
    page.U8(static_cast<uint32_t>(lacing.size())).Add(lacing).Add(packet);
    page.SetLe32(22, ReferenceOggCrc(page.b));
    o.Add(page.b);
}

std::vector<uint8_t> Ogg(size_t bulk)
{
    Bytes head, tags;
    head.Text("OpusHead").U8(1).U8(1).Le16(312).Le32(48000).Le16(0).U8(0);
    tags.Text("OpusTags").Le32(8).Text("Zekerpad").Le32(0);
    Bytes o;
    OggPage(o, 2, 0, 0, head.b);
    OggPage(o, 0, 0, 1, tags.b);
    const size_t packet = bulk ? 60000 : 150;
    const size_t pages = bulk ? bulk / packet + 1 : 2;
    for (size_t p = 0; p < pages; ++p)
        OggPage(o, p + 1 == pages ? 4 : 0, 960 * (p + 1), static_cast<uint32_t>(2 + p),
                Noise(packet, static_cast<uint32_t>(20 + p)));
    return o.b;
}

// As a camera writes it: the movie data first, the movie box at the end.
std::vector<uint8_t> Mp4(size_t bulk, bool hevc)
{
    Bytes ftyp;
    ftyp.Text("isom").Be32(0x200).Text("isom").Text("mp41");
    Bytes entry;  // a visual sample entry, 16 x 16
    entry.Zeros(6).Be16(1).Zeros(16).Be16(16).Be16(16).Be32(0x480000).Be32(0x480000).Be32(0).Be16(1).Zeros(32)
        .Be16(24).Be16(0xFFFF);
    entry.Add(Box(hevc ? "hvcC" : "avcC", Noise(23, 10)));
    Bytes stsd;
    stsd.Be32(0).Be32(1).Add(Box(hevc ? "hvc1" : "avc1", entry.b));
    Bytes hdlr;
    hdlr.Be32(0).Be32(0).Text("vide").Zeros(12).U8(0);
    const std::vector<uint8_t> mdat = Noise(bulk ? bulk : 64, 11);
    // One chunk of one sample: all of the movie data, which begins after
    // the type box (24 bytes), the free box (8) and its own heading (8).
    Bytes stco, stsz, stsc;
    stco.Be32(0).Be32(1).Be32(24 + 8 + 8);
    stsz.Be32(0).Be32(static_cast<uint32_t>(mdat.size())).Be32(1);
    stsc.Be32(0).Be32(1).Be32(1).Be32(1).Be32(1);
    const std::vector<uint8_t> stbl = Boxes({Box("stsd", stsd.b), Box("stts", std::vector<uint8_t>(16)),
                                             Box("stsc", stsc.b), Box("stsz", stsz.b), Box("stco", stco.b)});
    const std::vector<uint8_t> minf = Boxes({Box("vmhd", std::vector<uint8_t>(12)), Box("stbl", stbl)});
    const std::vector<uint8_t> mdia = Boxes({Box("mdhd", std::vector<uint8_t>(24)), Box("hdlr", hdlr.b), Box("minf", minf)});
    const std::vector<uint8_t> trak = Boxes({Box("tkhd", std::vector<uint8_t>(84)), Box("mdia", mdia)});
    const std::vector<uint8_t> moov = Boxes({Box("mvhd", std::vector<uint8_t>(100)), Box("trak", trak)});
    return Boxes({Box("ftyp", ftyp.b), Box("free", {}), Box("mdat", mdat), Box("moov", moov)});
}

}  // namespace

const std::vector<MediaSample>& AllMediaSamples()
{
    static const std::vector<MediaSample> all = {MediaSample::Jpeg, MediaSample::Png,   MediaSample::Gif,
                                                 MediaSample::Bmp,  MediaSample::Tiff,  MediaSample::Wav,
                                                 MediaSample::Avi,  MediaSample::Mp3,   MediaSample::Wma,
                                                 MediaSample::Ogg,  MediaSample::Mp4Avc, MediaSample::Mp4Hevc};
    return all;
}

std::vector<uint8_t> SampleMedia(MediaSample kind, size_t bulk)
{
    switch (kind) {
    case MediaSample::Jpeg: return Jpeg(bulk);
    case MediaSample::Png: return Png(bulk);
    case MediaSample::Gif: return Gif(bulk);
    case MediaSample::Bmp: return Bmp(bulk);
    case MediaSample::Tiff: return Tiff(bulk);
    case MediaSample::Wav: return Wav(bulk);
    case MediaSample::Avi: return Avi(bulk);
    case MediaSample::Mp3: return Mp3(bulk);
    case MediaSample::Wma: return Wma(bulk);
    case MediaSample::Ogg: return Ogg(bulk);
    case MediaSample::Mp4Avc: return Mp4(bulk, false);
    case MediaSample::Mp4Hevc: return Mp4(bulk, true);
    }
    return {};
}

const char* SampleExtension(MediaSample kind)
{
    switch (kind) {
    case MediaSample::Jpeg: return "jpg";
    case MediaSample::Png: return "png";
    case MediaSample::Gif: return "gif";
    case MediaSample::Bmp: return "bmp";
    case MediaSample::Tiff: return "tif";
    case MediaSample::Wav: return "wav";
    case MediaSample::Avi: return "avi";
    case MediaSample::Mp3: return "mp3";
    case MediaSample::Wma: return "wma";
    case MediaSample::Ogg: return "ogg";
    case MediaSample::Mp4Avc: return "mp4";
    case MediaSample::Mp4Hevc: return "mp4";
    }
    return "";
}

std::vector<uint8_t> CutMedia(std::vector<uint8_t> bytes, size_t keep)
{
    bytes.resize(std::min(keep, bytes.size()));
    return bytes;
}

std::vector<uint8_t> ChangeByte(std::vector<uint8_t> bytes, size_t at)
{
    if (at < bytes.size())
        bytes[at] ^= 0x55;
    return bytes;
}

std::vector<uint8_t> ZeroMedia(size_t size) { return std::vector<uint8_t>(size, 0); }

ContentFinding CheckMedia(const std::vector<uint8_t>& bytes, const std::string& extension, size_t chunk)
{
    CContentCheck check(extension, bytes.size());
    const size_t step = chunk ? chunk : std::max<size_t>(bytes.size(), 1);
    for (size_t at = 0; at < bytes.size(); at += step)
        check.Feed(bytes.data() + at, std::min(step, bytes.size() - at));
    return check.Finish();
}
