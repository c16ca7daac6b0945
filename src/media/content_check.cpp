#include "media/content_check.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <initializer_list>

#include "common/text.h"
#include "media/media_parsers.h"

const char* const kContentUnreadable =
    "onleesbaar: het bestand kan niet tot het einde worden gelezen; zet een goede kopie terug";

namespace {

// Read by every check; set only by a benchmark before any check runs.
std::atomic<bool> g_checkEnabled{true};

// The kinds told apart by their first bytes. HEIF and WebP are known by
// name and first bytes only: their structure is not followed.
enum class Kind {
    Unknown, Jpeg, Png, Gif, Bmp, Tiff, Wav, Avi, Mp3, Asf, Ogg, Mp4, Heif, WebP, Flac, Aac, Matroska, WebM
};
enum class Family { Image, Sound, Video };

const char* KindName(Kind kind)
{
    switch (kind) {
    case Kind::Jpeg: return "JPEG";
    case Kind::Png: return "PNG";
    case Kind::Gif: return "GIF";
    case Kind::Bmp: return "BMP";
    case Kind::Tiff: return "TIFF";
    case Kind::Wav: return "WAV";
    case Kind::Avi: return "AVI";
    case Kind::Mp3: return "MP3";
    case Kind::Asf: return "WMA/WMV";
    case Kind::Ogg: return "Ogg";
    case Kind::Mp4: return "MP4/MOV";
    case Kind::Heif: return "HEIF";
    case Kind::WebP: return "WebP";
    case Kind::Flac: return "FLAC";
    case Kind::Aac: return "AAC";
    case Kind::Matroska: return "Matroska";
    case Kind::WebM: return "WebM";
    case Kind::Unknown: break;
    }
    return "";
}

Family FamilyOf(Kind kind)
{
    switch (kind) {
    case Kind::Wav: case Kind::Mp3: case Kind::Ogg: case Kind::Flac: case Kind::Aac: return Family::Sound;
    case Kind::Avi: case Kind::Asf: case Kind::Mp4: case Kind::Matroska: case Kind::WebM: return Family::Video;
    default: return Family::Image;
    }
}

struct Extension {
    const char* name;
    Kind kind;
    Family family;
};

const Extension kExtensions[] = {
    {"jpg", Kind::Jpeg, Family::Image},  {"jpeg", Kind::Jpeg, Family::Image}, {"jpe", Kind::Jpeg, Family::Image},
    {"jfif", Kind::Jpeg, Family::Image}, {"png", Kind::Png, Family::Image},   {"gif", Kind::Gif, Family::Image},
    {"bmp", Kind::Bmp, Family::Image},   {"dib", Kind::Bmp, Family::Image},   {"tif", Kind::Tiff, Family::Image},
    {"tiff", Kind::Tiff, Family::Image}, {"wav", Kind::Wav, Family::Sound},   {"wave", Kind::Wav, Family::Sound},
    {"avi", Kind::Avi, Family::Video},   {"mp3", Kind::Mp3, Family::Sound},   {"wma", Kind::Asf, Family::Sound},
    {"wmv", Kind::Asf, Family::Video},   {"asf", Kind::Asf, Family::Video},   {"ogg", Kind::Ogg, Family::Sound},
    {"oga", Kind::Ogg, Family::Sound},   {"opus", Kind::Ogg, Family::Sound},  {"ogv", Kind::Ogg, Family::Video},
    {"mp4", Kind::Mp4, Family::Video},   {"m4v", Kind::Mp4, Family::Video},   {"mov", Kind::Mp4, Family::Video},
    {"qt", Kind::Mp4, Family::Video},    {"3gp", Kind::Mp4, Family::Video},   {"m4a", Kind::Mp4, Family::Sound},
    {"flac", Kind::Flac, Family::Sound}, {"aac", Kind::Aac, Family::Sound},   {"mkv", Kind::Matroska, Family::Video},
    {"mka", Kind::Matroska, Family::Sound}, {"webm", Kind::WebM, Family::Video},
};

// WebM is Matroska under a narrower name: either name fits either.
bool SameKind(Kind a, Kind b)
{
    const auto matroska = [](Kind k) { return k == Kind::Matroska || k == Kind::WebM; };
    return a == b || (matroska(a) && matroska(b));
}

const Extension* FindExtension(std::string_view name)
{
    if (!name.empty() && name[0] == '.')
        name.remove_prefix(1);
    for (const Extension& e : kExtensions)
        if (EqualsNoCaseAscii(name, e.name))
            return &e;
    return nullptr;
}

const uint8_t kAsfHeaderGuid[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                    0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};

struct Detected {
    Kind kind = Kind::Unknown;
    bool weak = false;  // told by an audio frame's sync only, which other data may hold by chance
};

// What the first bytes of a file say it is.
Detected Detect(const uint8_t* p, size_t n)
{
    const auto is = [&](size_t at, const char* magic, size_t length) {
        return n >= at + length && std::memcmp(p + at, magic, length) == 0;
    };
    if (is(0, "\xFF\xD8\xFF", 3)) return {Kind::Jpeg};
    if (is(0, "\x89PNG\r\n\x1A\n", 8)) return {Kind::Png};
    if (is(0, "GIF87a", 6) || is(0, "GIF89a", 6)) return {Kind::Gif};
    if (is(0, "II*\0", 4) || is(0, "MM\0*", 4) || is(0, "II+\0", 4) || is(0, "MM\0+", 4)) return {Kind::Tiff};
    if (is(0, "RIFF", 4) || is(0, "RF64", 4) || is(0, "BW64", 4)) {
        if (is(8, "WAVE", 4)) return {Kind::Wav};
        if (is(8, "AVI ", 4)) return {Kind::Avi};
        if (is(8, "WEBP", 4)) return {Kind::WebP};
        return {};
    }
    if (is(0, "OggS", 4)) return {Kind::Ogg};
    if (is(0, "\x1A\x45\xDF\xA3", 4)) {  // EBML: its document type says which
        for (size_t at = 4; at + 4 <= n; ++at)
            if (std::memcmp(p + at, "webm", 4) == 0)
                return {Kind::WebM};
        return {Kind::Matroska};
    }
    if (is(0, "fLaC", 4)) return {Kind::Flac};
    if (n >= 16 && std::memcmp(p, kAsfHeaderGuid, 16) == 0) return {Kind::Asf};
    if (is(4, "ftyp", 4)) {
        for (const char* brand : {"heic", "heix", "heim", "heis", "hevc", "mif1", "msf1", "avif", "avis"})
            if (is(8, brand, 4))
                return {Kind::Heif};
        return {Kind::Mp4};
    }
    for (const char* box : {"moov", "mdat", "free", "skip", "wide", "pnot"})
        if (is(4, box, 4))
            return {Kind::Mp4};
    if (is(0, "BM", 2) && n >= 18) {
        const uint32_t info = Le32(p + 14);
        for (uint32_t known : {12u, 16u, 40u, 52u, 56u, 64u, 108u, 124u})
            if (info == known)
                return {Kind::Bmp};
    }
    if (is(0, "ID3", 3)) return {Kind::Mp3};
    if (n >= 4 && IsMpegAudioFrame(p)) return {Kind::Mp3, true};
    return {};
}

std::unique_ptr<CStreamParser> MakeParser(Kind kind, uint64_t fileSize)
{
    switch (kind) {
    case Kind::Jpeg: return MakeJpegParser(fileSize);
    case Kind::Png: return MakePngParser(fileSize);
    case Kind::Gif: return MakeGifParser(fileSize);
    case Kind::Bmp: return MakeBmpParser(fileSize);
    case Kind::Tiff: return MakeTiffParser(fileSize);
    case Kind::Wav: return MakeRiffParser(fileSize, true);
    case Kind::Avi: return MakeRiffParser(fileSize, false);
    case Kind::Mp3: return MakeMp3Parser(fileSize);
    case Kind::Asf: return MakeAsfParser(fileSize);
    case Kind::Ogg: return MakeOggParser(fileSize);
    case Kind::Mp4: return MakeMp4Parser(fileSize);
    case Kind::Flac: return MakeFlacParser(fileSize);
    case Kind::Aac: return MakeAdtsParser(fileSize);
    case Kind::Matroska: case Kind::WebM: return MakeMatroskaParser(fileSize);
    default: return nullptr;
    }
}

std::string Damage(ParseResult result, Family family)
{
    static const char* const kCut[] = {"de afbeelding houdt op voor haar einde", "het geluid houdt op voor zijn einde",
                                       "de video houdt op voor zijn einde"};
    static const char* const kBroken[] = {"de opbouw van de afbeelding klopt niet",
                                          "de opbouw van het geluid klopt niet", "de opbouw van de video klopt niet"};
    const int f = static_cast<int>(family);
    if (result == ParseResult::CutShort)
        return std::string("afgebroken: ") + kCut[f] + "; zet een goede kopie terug";
    if (result == ParseResult::Checksum)
        return "beschadigd: een controlegetal in het bestand klopt niet; zet een goede kopie terug";
    return std::string("beschadigd: ") + kBroken[f] + "; zet een goede kopie terug";
}

std::string OtherKind(Kind content, std::string_view extension)
{
    std::string named = "." + std::string(extension.substr(!extension.empty() && extension[0] == '.' ? 1 : 0));
    for (char& c : named)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return std::string("andere soort: de inhoud is ") + KindName(content) + ", maar de naam eindigt op " + named +
           "; sla het op als echt " + named + "-bestand of probeer het vooraf in Wings";
}

}  // namespace

void SetContentCheckEnabled(bool enabled) { g_checkEnabled.store(enabled, std::memory_order_relaxed); }

struct CContentCheck::Impl {
    static constexpr size_t kHead = 32;  // enough to tell every kind apart
    std::string extension;
    const Extension* named = nullptr;
    uint64_t fileSize = 0;
    uint64_t fed = 0;
    bool allZero = true;
    uint8_t head[kHead] = {};
    size_t headSize = 0;
    bool started = false;
    Detected content;
    std::unique_ptr<CStreamParser> parser;
    // Beside a weak sniff, the kind the name says: it judges the file when
    // the sniffed kind's parser finds none of its own structure.
    std::unique_ptr<CStreamParser> byName;
    // Beside the MP3 parser, the kinds it may find after a tag or under
    // its name; they judge the file when it does.
    std::unique_ptr<CStreamParser> flac, adts;
    const bool enabled = g_checkEnabled.load(std::memory_order_relaxed);

    // Chooses the parser: the content's own kind where its first bytes tell
    // it, else the kind the name says (which then finds what is wrong).
    void Start()
    {
        started = true;
        content = Detect(head, headSize);
        if (content.kind != Kind::Unknown)
            parser = MakeParser(content.kind, fileSize);
        else if (named)
            parser = MakeParser(named->kind, fileSize);
        if (content.weak && named && named->kind != content.kind)
            byName = MakeParser(named->kind, fileSize);
        if (content.kind == Kind::Mp3 || (content.kind == Kind::Unknown && named && named->kind == Kind::Mp3)) {
            flac = MakeFlacParser(fileSize);
            adts = MakeAdtsParser(fileSize);
        }
        for (CStreamParser* p : {parser.get(), byName.get(), flac.get(), adts.get()})
            if (p)
                p->Feed(head, headSize);
    }
};

CContentCheck::CContentCheck(const std::string& extension, uint64_t fileSize) : m_impl(std::make_unique<Impl>())
{
    m_impl->extension = extension;
    m_impl->named = FindExtension(extension);
    m_impl->fileSize = fileSize;
}

CContentCheck::~CContentCheck() = default;

void CContentCheck::Feed(const uint8_t* data, size_t size)
{
    Impl& c = *m_impl;
    // Bytes past the size the check was made for (the file grew while it
    // was read) are counted but not parsed: the structure was sized for it.
    const size_t parse = static_cast<size_t>(std::min<uint64_t>(size, c.fed < c.fileSize ? c.fileSize - c.fed : 0));
    c.fed += size;
    if (!c.enabled)
        return;
    if (c.allZero)
        c.allZero = std::all_of(data, data + size, [](uint8_t b) { return b == 0; });
    size_t used = 0;
    if (!c.started) {
        used = std::min(parse, Impl::kHead - c.headSize);
        std::memcpy(c.head + c.headSize, data, used);
        c.headSize += used;
        if (c.headSize < Impl::kHead)
            return;
        c.Start();
    }
    for (CStreamParser* p : {c.parser.get(), c.byName.get(), c.flac.get(), c.adts.get()})
        if (p)
            p->Feed(data + used, parse - used);
}

ContentFinding CContentCheck::Finish()
{
    Impl& c = *m_impl;
    if (c.fed < c.fileSize)
        return {ContentVerdict::Damaged, kContentUnreadable};
    if (!c.enabled)
        return {ContentVerdict::NotJudged, ""};
    if (c.fed == 0)
        return {ContentVerdict::Damaged, "leeg: het bestand bevat niets; zet een goede kopie terug"};
    if (c.allZero)
        return {ContentVerdict::Damaged, "leeg: het bestand bevat alleen nullen; zet een goede kopie terug"};
    if (!c.started)
        c.Start();

    Kind content = c.content.kind;
    ParseResult result = c.parser ? c.parser->Finish() : ParseResult::NotJudged;
    const CStreamParser::Found found = c.parser ? c.parser->FoundKind() : CStreamParser::Found::None;
    if (found != CStreamParser::Found::None) {  // sound of another kind, behind a tag or under the name
        const bool flac = found == CStreamParser::Found::Flac;
        content = flac ? Kind::Flac : Kind::Aac;
        CStreamParser* other = flac ? c.flac.get() : c.adts.get();
        result = other ? other->Finish() : ParseResult::NotJudged;
    } else if (c.parser && c.content.weak && !c.parser->Recognised()) {  // a sync by chance: not that kind
        if (!c.named || (!SameKind(c.named->kind, content) && !c.byName))
            return {ContentVerdict::NotJudged, ""};
        if (c.byName) {
            content = Kind::Unknown;
            result = c.byName->Finish();
        }
    }
    const bool otherKind = c.named && content != Kind::Unknown && !SameKind(content, c.named->kind);
    if (!c.parser) {  // known by name only, or not known at all
        if (otherKind)
            return {ContentVerdict::Warning, OtherKind(content, c.extension)};
        return {ContentVerdict::NotJudged, ""};
    }
    if (result == ParseResult::CutShort || result == ParseResult::Broken || result == ParseResult::Checksum) {
        // The name says best what it is (".m4a" is a sound), unless the
        // content is of another kind than the name.
        const bool byName = c.named && (content == Kind::Unknown || SameKind(content, c.named->kind));
        const Family family = byName ? c.named->family : FamilyOf(content);
        return {ContentVerdict::Damaged, Damage(result, family)};
    }
    if (otherKind)
        return {ContentVerdict::Warning, OtherKind(content, c.extension)};
    if (result == ParseResult::Hevc)
        return {ContentVerdict::Warning,
                "HEVC-video: niet elke pc kan deze video (H.265) afspelen; zet hem om naar H.264 of probeer hem vooraf "
                "op de pc van de voorstelling"};
    if (result == ParseResult::Trailing)
        return {ContentVerdict::Warning,
                "extra gegevens: achter het einde van het bestand staan nog veel gegevens die er niet bij horen; het "
                "speelt wel af, maar probeer het vooraf in Wings"};
    if (result == ParseResult::SizeOff)
        return {ContentVerdict::Warning,
                "afwijkende lengte: de lengte in de kop van het bestand klopt niet, maar de inhoud is compleet; het "
                "speelt wel af, maar probeer het vooraf in Wings"};
    if (result == ParseResult::NotJudged)
        return {ContentVerdict::NotJudged, ""};
    return {ContentVerdict::Whole, ""};
}
