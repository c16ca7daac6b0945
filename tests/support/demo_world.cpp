#include "support/demo_world.h"

#include <windows.h>

#include <cstdint>
#include <vector>

#include "common/win_raii.h"
#include "support/media_samples.h"
#include "support/test_support.h"

const char kDemoShow[] = "C:\\Shows\\Demo\\demo.ws4";

namespace {

// What a file holds: pictures and sounds are whole of their kind, so that
// "Bestanden nakijken" finds nothing wrong with them; the rest is letters.
enum class Content { Letters, Bmp, Wav, Jpeg, Avi };

struct DemoFile {
    const char* path;
    size_t size;  // about: a picture or sound rounds it to whole rows or samples
    Content content = Content::Letters;
};

// Files that exist. The show names the sound file applaus.wav at a place
// where it is not (C:\Oud), while a copy lies in the show's Audio folder:
// the stand-in for Wings finds it there, as Wings would when told to search.
const DemoFile kFiles[] = {
    {"C:\\Shows\\Demo\\titel.bmp", 3000, Content::Bmp},
    {"C:\\Shows\\Demo\\Plaatjes\\zee.jpg", 5000, Content::Jpeg},
    {"C:\\Shows\\Demo\\Audio\\applaus.wav", 7000, Content::Wav},
    {"C:\\Shows\\Demo\\notities.txt", 120},
    {"C:\\Muziek\\intro.wav", 20000, Content::Wav},
    {"C:\\Muziek\\intro.tlg", 400},
    {"D:\\Fotos\\strand.jpg", 9000, Content::Jpeg},
    // A recording the show does not use (yet): it lies in the show's
    // folder, so a back-up copies it, long enough to be seen at work.
    {"C:\\Shows\\Demo\\Video\\opname.avi", 64000000, Content::Avi},
};

const char* const kReferences[] = {
    "C:\\Shows\\Demo\\titel.bmp",          // green, in the show's folder
    "C:\\Shows\\Demo\\Plaatjes\\zee.jpg",  // green, in a subfolder
    "C:\\Oud\\Geluid\\applaus.wav",        // red, until Wings re-links it
    "C:\\Muziek\\intro.wav",               // yellow 1, with its .tlg
    "D:\\Fotos\\strand.jpg",               // yellow 2
    "C:\\Shows\\Demo\\notities.txt",       // other
};
const char kLostReference[] = "C:\\Weg\\kwijt.wav";

// E:\Demo is the back-up on the "USB stick" that an earlier walk made.
const char* const kDemoRoots[] = {"C:\\Shows", "C:\\Muziek", "C:\\Oud", "C:\\Weg", "D:\\Fotos", "E:\\Demo"};

bool MakeFolders(const std::string& path) {
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        ::CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    return true;
}

void Put16(std::string& b, uint32_t v) { b += static_cast<char>(v & 0xFF), b += static_cast<char>((v >> 8) & 0xFF); }
void Put32(std::string& b, uint32_t v) { Put16(b, v & 0xFFFF), Put16(b, v >> 16); }
void PutBig16(std::string& b, uint32_t v) { b += static_cast<char>((v >> 8) & 0xFF), b += static_cast<char>(v & 0xFF); }

// A 24-bit picture 32 pixels wide with as many rows as fit in size.
std::string BmpBytes(size_t size) {
    const uint32_t width = 32, row = width * 3, height = static_cast<uint32_t>(size > 54 + row ? (size - 54) / row : 1);
    std::string b = "BM";
    Put32(b, 54 + row * height), Put32(b, 0), Put32(b, 54);
    Put32(b, 40), Put32(b, width), Put32(b, height), Put16(b, 1), Put16(b, 24), Put32(b, 0), Put32(b, row * height);
    Put32(b, 2835), Put32(b, 2835), Put32(b, 0), Put32(b, 0);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) b += static_cast<char>(200), b += static_cast<char>(x * 8), b += static_cast<char>(y * 4);
    return b;
}

// 8-bit mono sound at 8000 Hz: a soft saw tone.
std::string WavBytes(size_t size) {
    const uint32_t samples = static_cast<uint32_t>(size > 44 ? size - 44 : 1);
    std::string b = "RIFF";
    Put32(b, 36 + samples);
    b += "WAVEfmt ";
    Put32(b, 16), Put16(b, 1), Put16(b, 1), Put32(b, 8000), Put32(b, 8000), Put16(b, 1), Put16(b, 8);
    b += "data";
    Put32(b, samples);
    for (uint32_t i = 0; i < samples; ++i) b += static_cast<char>(96 + (i % 64));
    return b;
}

// A plain grey baseline JPEG of 160 x 120 pixels: every block says "no
// change" (a one-bit code for DC category 0, then one for end of block).
std::string JpegBytes() {
    std::string b("\xFF\xD8", 2);
    b += std::string("\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 18);
    b += std::string("\xFF\xDB\x00\x43\x00", 5) + std::string(64, '\x01');
    b += std::string("\xFF\xC0\x00\x0B\x08", 5);
    PutBig16(b, 120), PutBig16(b, 160);
    b += std::string("\x01\x01\x11\x00", 4);
    for (char tableClass : {'\x00', '\x10'}) {  // DC, then AC: one code of length 1 for symbol 0
        b += std::string("\xFF\xC4\x00\x14", 4);
        b += tableClass;
        b += '\x01';
        b += std::string(15, '\0');
        b += '\0';
    }
    b += std::string("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00", 10);
    const size_t blocks = (160 / 8) * (120 / 8);
    b += std::string(blocks * 2 / 8, '\0');  // two zero bits a block, padded with ones below
    if (blocks * 2 % 8) b += static_cast<char>(0xFF >> (blocks * 2 % 8));
    b += std::string("\xFF\xD9", 2);
    return b;
}

bool MakeFile(const std::string& path, size_t size, Content content = Content::Letters) {
    MakeFolders(path);
    switch (content) {
    case Content::Bmp: return WriteWholeFile(path, BmpBytes(size));
    case Content::Wav: return WriteWholeFile(path, WavBytes(size));
    case Content::Jpeg: return WriteWholeFile(path, JpegBytes());
    case Content::Avi: {
        const std::vector<uint8_t> video = SampleMedia(MediaSample::Avi, size);
        return WriteWholeFile(path, std::string(video.begin(), video.end()));
    }
    case Content::Letters: break;
    }
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + (i * 7 + size) % 26);
    return WriteWholeFile(path, bytes);
}

// The settings name the show and the default subfolders.
bool WriteSettingsFor(const std::string& showPath) {
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string ini = std::string(windows) + "\\Zekerpad.INI";
    ::DeleteFileA(ini.c_str());
    bool ok = ::WritePrivateProfileStringA("Zekerpad", "ShowBestand", showPath.c_str(), ini.c_str());
    ok = ::WritePrivateProfileStringA("Zekerpad", "SubmapAudio", "Audio", ini.c_str()) && ok;
    ok = ::WritePrivateProfileStringA("Zekerpad", "SubmapPlaatjes", "Plaatjes", ini.c_str()) && ok;
    ok = ::WritePrivateProfileStringA("Zekerpad", "SubmapOverige", "Overige", ini.c_str()) && ok;
    return ok;
}
}  // namespace

bool RegisterWingsInstallation(const std::string& folder) {
    UniqueRegKey key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, "software\\AV Stumpfl\\Wings\\Global", 0, nullptr, 0,
                          KEY_WRITE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    return ::RegSetValueExA(key.get(), "Installation Directory", 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(folder.c_str()),
                            static_cast<DWORD>(folder.size() + 1)) == ERROR_SUCCESS;
}

bool MakeDemoWorld(const DemoWorldOptions& options) {
    for (const char* root : kDemoRoots) DeleteTree(root);
    bool ok = true;
    for (const DemoFile& f : kFiles) ok = MakeFile(f.path, f.size, f.content) && ok;
    std::vector<std::string> refs(std::begin(kReferences), std::end(kReferences));
    if (options.withLostFile) refs.push_back(kLostReference);
    ok = MakeFolders(kDemoShow) && WriteWholeFile(kDemoShow, ShowFileBytes(refs)) && ok;
    ok = WriteSettingsFor(kDemoShow) && ok;
    if (!options.wingsFolder.empty()) ok = RegisterWingsInstallation(options.wingsFolder) && ok;
    return ok;
}

bool MakeShowWorld(const std::string& showPath, const std::vector<std::string>& references) {
    return MakeFolders(showPath) && WriteWholeFile(showPath, ShowFileBytes(references)) && WriteSettingsFor(showPath);
}
