#include "support/demo_world.h"

#include <windows.h>

#include <vector>

#include "common/win_raii.h"
#include "support/test_support.h"

const char kDemoShow[] = "C:\\Shows\\Demo\\demo.ws4";

namespace {

struct DemoFile {
    const char* path;
    size_t size;
};

// Files that exist. The show names the sound file applaus.wav at a place
// where it is not (C:\Oud), while a copy lies in the show's Audio folder:
// the stand-in for Wings finds it there, as Wings would when told to search.
const DemoFile kFiles[] = {
    {"C:\\Shows\\Demo\\titel.bmp", 3000},
    {"C:\\Shows\\Demo\\Plaatjes\\zee.jpg", 5000},
    {"C:\\Shows\\Demo\\Audio\\applaus.wav", 7000},
    {"C:\\Shows\\Demo\\notities.txt", 120},
    {"C:\\Muziek\\intro.wav", 20000},
    {"C:\\Muziek\\intro.tlg", 400},
    {"D:\\Fotos\\strand.jpg", 9000},
    // A recording the show does not use (yet): it lies in the show's
    // folder, so a back-up copies it, long enough to be seen at work.
    {"C:\\Shows\\Demo\\Video\\opname.avi", 64000000},
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

bool MakeFile(const std::string& path, size_t size) {
    MakeFolders(path);
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
    for (const DemoFile& f : kFiles) ok = MakeFile(f.path, f.size) && ok;
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
