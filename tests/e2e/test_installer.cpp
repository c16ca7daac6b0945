// Zekerpad-setup.exe and Zekerpad-<version>.msi installed and uninstalled
// silently, as an administrator's script would, and checked on the
// installed files, the Start menu, Add/Remove Programs and the two files
// the program keeps for the user.
#include "support/driver.h"
#include "support/test_support.h"

#include <aclapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <iostream>
#include <memory>
#include <vector>

#include "services/settings.h"
#include "common/text.h"
#include "common/win_raii.h"

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zekerpad";
constexpr char kUninstallRoot[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kLogPath[] = "C:\\Zekerpad.log";
constexpr DWORD kSetupTimeoutMs = 120000;

std::string SetupPath() { return ProgramFolder() + "\\Zekerpad-setup.exe"; }

std::string InstallDir() {
    char dir[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, dir);
    return std::string(dir) + "\\Zekerpad";
}

std::string ShortcutPath() {
    char dir[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, dir);
    return std::string(dir) + "\\Zekerpad.lnk";
}

std::string IniPath() {
    char dir[MAX_PATH] = {};
    ::GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\Zekerpad.INI";
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Puts a file back as the test found it, whatever the test did to it.
class SavedFile {
public:
    explicit SavedFile(std::string path) : m_path(std::move(path)), m_existed(Exists(m_path)) {
        if (m_existed) m_bytes = ReadWholeFile(m_path);
    }
    ~SavedFile() {
        if (m_existed) WriteWholeFile(m_path, m_bytes);
        else ::DeleteFileA(m_path.c_str());
    }
    SavedFile(const SavedFile&) = delete;
    SavedFile& operator=(const SavedFile&) = delete;

private:
    std::string m_path;
    bool m_existed;
    std::string m_bytes;
};

UniqueRegKey OpenUninstallKey() {
    UniqueRegKey key;
    ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WOW64_64KEY, key.put());
    return key;
}

// The value as text; "<absent>" when there is none.
std::string RegText(HKEY key, const char* name) {
    char buf[1024] = {};
    DWORD size = sizeof buf - 1, type = 0;
    if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS)
        return "<absent>";
    if (type == REG_DWORD) return std::to_string(*reinterpret_cast<DWORD*>(buf));
    return std::string(buf);
}

struct ReleaseCom {
    void operator()(IUnknown* p) const { p->Release(); }
};

// The program a shortcut starts.
std::string ShortcutTarget(const std::string& lnk) {
    const HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string target;
    {
        IShellLinkA* rawLink = nullptr;
        if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                         reinterpret_cast<void**>(&rawLink)))) {
            std::unique_ptr<IShellLinkA, ReleaseCom> link(rawLink);
            IPersistFile* rawFile = nullptr;
            if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) {
                std::unique_ptr<IPersistFile, ReleaseCom> file(rawFile);
                const std::wstring wide(lnk.begin(), lnk.end());  // the path is plain ASCII
                char path[MAX_PATH] = {};
                if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ)) &&
                    SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0)))
                    target = path;
            }
        }
    }
    if (SUCCEEDED(init)) ::CoUninitialize();
    return target;
}

// icacls' (M): read, write, execute and delete.
constexpr DWORD kModifyRights = FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE;

// True when the file's own access list lets BUILTIN\Users modify it.
bool UsersMayModify(const std::string& path) {
    BYTE usersSid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof usersSid;
    if (!::CreateWellKnownSid(WinBuiltinUsersSid, nullptr, usersSid, &sidSize)) return false;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (::GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                &dacl, nullptr, &sd) != ERROR_SUCCESS)
        return false;
    std::unique_ptr<void, decltype(&::LocalFree)> owner(sd, &::LocalFree);
    if (!dacl) return true;  // no list at all: everyone may
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace)) continue;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        if (::EqualSid(&allowed->SidStart, usersSid) && (allowed->Mask & kModifyRights) == kModifyRights)
            return true;
    }
    return false;
}

// The installer lets Users modify the two files with icacls. Wine's
// icacls is a stub that changes nothing, so there the rights cannot be
// checked; on Windows they must be there.
void ExpectUsersMayModify(const std::string& path) {
    if (UsersMayModify(path)) return;
    if (RunningUnderWine()) {
        std::cout << "[ note ] Wine's icacls does not change rights: not checked for " << path << "\n";
        return;
    }
    ADD_FAILURE() << "the Users group may not modify " << path;
}

// The settings with their four defaults and an empty log, both open to
// every user: what an installation finds missing, it makes so.
void ExpectFreshUserFiles(const std::string& ini) {
    char keys[256] = {};
    const DWORD n = ::GetPrivateProfileStringA("Zekerpad", nullptr, "", keys, sizeof keys, ini.c_str());
    EXPECT_EQ(std::string(keys, n), std::string("ShowBestand\0SubmapAudio\0SubmapPlaatjes\0SubmapOverige\0", 53));
    EXPECT_EQ(ReadProfileValue(ini, "ShowBestand", "<absent>"), "");
    EXPECT_EQ(ReadProfileValue(ini, "SubmapAudio", "<absent>"), "Audio");
    EXPECT_EQ(ReadProfileValue(ini, "SubmapPlaatjes", "<absent>"), "Plaatjes");
    EXPECT_EQ(ReadProfileValue(ini, "SubmapOverige", "<absent>"), "Overige");
    ASSERT_TRUE(Exists(kLogPath));
    EXPECT_EQ(ReadWholeFile(kLogPath), "");
    ExpectUsersMayModify(kLogPath);
    ExpectUsersMayModify(ini);
}

// Settings of the user's own, one key left out (an installer must not
// complete them), and a log with an earlier run.
const char kOwnIni[] = "[Zekerpad]\r\nShowBestand=C:\\Shows\\Mijn show\\demo.ws4\r\nSubmapAudio=Geluid\r\n";
const char kOwnLog[] = "\n\r>>>>>>>>> Start logboek\n\r\n\rStop logboek <<<<<<<<<\n\r\n\r";

// The uninstaller that is started copies itself to the temporary folder,
// starts the copy and ends at once; the copy does the work. It is Un.exe
// with NSIS 3.08 (Un_A.exe and Au_.exe with other versions). Waits until
// no such copy runs any more.
bool WaitForUninstallerCopies(DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        bool running = false;
        // A snapshot fails with INVALID_HANDLE_VALUE, as a file does.
        UniqueFile snap(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!snap) return false;
        PROCESSENTRY32 pe{};
        pe.dwSize = sizeof pe;
        for (BOOL ok = ::Process32First(snap.get(), &pe); ok; ok = ::Process32Next(snap.get(), &pe)) {
            const std::string name = pe.szExeFile;
            if (EqualsNoCaseAscii(name, "Un.exe") || StartsWithNoCaseAscii(name, "Un_") ||
                StartsWithNoCaseAscii(name, "Au_"))
                running = true;
        }
        if (!running) return true;
        if (::GetTickCount() - start > timeoutMs) return false;
        ::Sleep(100);
    }
}

bool Install(const std::string& options = std::string()) {
    DWORD code = 1;
    return RunAndWait('"' + SetupPath() + "\" /S" + options, kSetupTimeoutMs, &code) && code == 0;
}

// Contact lines as a club would give them, with signs a command line
// could take for its own.
const char kContact[] = "Fotoclub De Lens & Co|secretaris@delens.nl|Dorpsstraat 1|1234 AB Ergens|tel. 012-3456789";

bool Uninstall() {
    DWORD code = 1;
    const std::string uninstaller = InstallDir() + "\\Uninstall.exe";
    return RunAndWait('"' + uninstaller + "\" /S", kSetupTimeoutMs, &code) && code == 0 &&
           WaitForUninstallerCopies(kSetupTimeoutMs);
}

bool MsiUninstallAll();

class Installer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Exists(SetupPath())) {
#ifdef ZK_HAVE_SETUP
            FAIL() << "the build should have made " << SetupPath();
#else
            GTEST_SKIP() << "makensis was missing at build time: no Zekerpad-setup.exe";
#endif
        }
        // An earlier run that stopped halfway may have left one behind,
        // or the MSI's installation, which the setup program refuses.
        if (Exists(InstallDir() + "\\Uninstall.exe")) {
            ASSERT_TRUE(Uninstall());
        }
        ASSERT_TRUE(MsiUninstallAll());
    }

    // The test changes both; afterwards they are as they were.
    SavedFile m_savedLog{kLogPath};
    SavedFile m_savedIni{IniPath()};
};

TEST_F(Installer, FreshInstallCreatesTheUserFilesAndUninstallLeavesThem) {
    ::DeleteFileA(kLogPath);
    ::DeleteFileA(IniPath().c_str());
    ASSERT_TRUE(Install());

    // The program and its manual, exactly as built, and the uninstaller.
    const std::string dir = InstallDir();
    EXPECT_EQ(ReadWholeFile(dir + "\\Zekerpad.exe"), ReadWholeFile(ProgramFolder() + "\\Zekerpad.exe"));
    const std::string manual = ReadWholeFile(dir + "\\handleiding.html");
    EXPECT_FALSE(manual.empty());
    EXPECT_EQ(manual, ReadWholeFile(ProgramFolder() + "\\handleiding.html"));
    EXPECT_TRUE(Exists(dir + "\\Uninstall.exe"));

    // The Start menu of all users starts the installed program.
    ASSERT_TRUE(Exists(ShortcutPath())) << ShortcutPath();
    EXPECT_TRUE(EqualsNoCaseAscii(ShortcutTarget(ShortcutPath()), dir + "\\Zekerpad.exe"))
        << ShortcutTarget(ShortcutPath());

    {
        UniqueRegKey key = OpenUninstallKey();
        ASSERT_TRUE(key) << "no Add/Remove Programs entry";
        EXPECT_EQ(RegText(key.get(), "DisplayName"), "Zekerpad");
        EXPECT_EQ(RegText(key.get(), "DisplayVersion"), "1.0");
        EXPECT_EQ(RegText(key.get(), "InstallLocation"), dir);
        EXPECT_EQ(RegText(key.get(), "UninstallString"), '"' + dir + "\\Uninstall.exe\"");
        EXPECT_EQ(RegText(key.get(), "QuietUninstallString"), '"' + dir + "\\Uninstall.exe\" /S");
        EXPECT_EQ(RegText(key.get(), "NoModify"), "1");
        EXPECT_EQ(RegText(key.get(), "NoRepair"), "1");
        // Nobody is named as the maker: none is known.
        EXPECT_EQ(RegText(key.get(), "Publisher"), "<absent>");
    }

    // The settings with their four defaults, and an empty log.
    const std::string ini = IniPath();
    ExpectFreshUserFiles(ini);

    const std::string iniBytes = ReadWholeFile(ini);
    ASSERT_TRUE(Uninstall());

    // Program, shortcut and entry are gone; the user's two files stay.
    EXPECT_FALSE(Exists(dir + "\\Zekerpad.exe"));
    EXPECT_FALSE(Exists(dir + "\\handleiding.html"));
    EXPECT_FALSE(Exists(dir + "\\Uninstall.exe"));
    EXPECT_FALSE(Exists(dir));
    EXPECT_FALSE(Exists(ShortcutPath()));
    EXPECT_FALSE(OpenUninstallKey());
    EXPECT_TRUE(Exists(kLogPath));
    EXPECT_EQ(ReadWholeFile(ini), iniBytes);
}

TEST_F(Installer, ExistingSettingsAndLogAreKeptByteForByte) {
    ASSERT_TRUE(WriteWholeFile(IniPath(), kOwnIni));
    ASSERT_TRUE(WriteWholeFile(kLogPath, kOwnLog));

    ASSERT_TRUE(Install());
    EXPECT_TRUE(Exists(InstallDir() + "\\Zekerpad.exe"));
    EXPECT_EQ(ReadWholeFile(IniPath()), kOwnIni);
    EXPECT_EQ(ReadWholeFile(kLogPath), kOwnLog);

    ASSERT_TRUE(Uninstall());
    EXPECT_FALSE(Exists(InstallDir()));
    EXPECT_EQ(ReadWholeFile(IniPath()), kOwnIni);
    EXPECT_EQ(ReadWholeFile(kLogPath), kOwnLog);
}

// Given to the installer, the contact lines are added to settings that
// hold none yet, and settings that hold some are left byte for byte.
TEST_F(Installer, ContactLinesGoIntoTheSettingsOnlyWhereNoneAreYet) {
    ASSERT_TRUE(WriteWholeFile(IniPath(), kOwnIni));
    ASSERT_TRUE(Install(std::string(" /CONTACT=\"") + kContact + "\""));
    EXPECT_EQ(ReadWholeFile(IniPath()), std::string(kOwnIni) + "Contact=" + kContact + "\r\n");
    ASSERT_TRUE(Uninstall());
    const std::string withContact = ReadWholeFile(IniPath());
    ASSERT_TRUE(Install(" /CONTACT=\"Iemand anders\""));
    EXPECT_EQ(ReadWholeFile(IniPath()), withContact);
    ASSERT_TRUE(Uninstall());
}

// ---- The MSI ----------------------------------------------------------

std::string MsiPath() { return ProgramFolder() + "\\Zekerpad-1.0.msi"; }
// The same program under an earlier version number, made for this test.
std::string PreviousMsiPath() { return ProgramFolder() + "\\tests\\Zekerpad-0.9.msi"; }

// Windows Installer's entries for Zekerpad in Add/Remove Programs: the
// names of their keys, which are the product codes.
std::vector<std::string> MsiRegistrations() {
    std::vector<std::string> found;
    UniqueRegKey root;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallRoot, 0, KEY_READ | KEY_WOW64_64KEY, root.put()) !=
        ERROR_SUCCESS)
        return found;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (::RegEnumKeyExA(root.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        UniqueRegKey key;
        if (::RegOpenKeyExA(root.get(), name, 0, KEY_READ | KEY_WOW64_64KEY, key.put()) != ERROR_SUCCESS) continue;
        if (RegText(key.get(), "DisplayName") == "Zekerpad" && RegText(key.get(), "WindowsInstaller") == "1")
            found.push_back(name);
    }
    return found;
}

std::string MsiRegistrationText(const std::string& productCode, const char* value) {
    UniqueRegKey key;
    ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kUninstallRoot) + "\\" + productCode).c_str(), 0,
                    KEY_READ | KEY_WOW64_64KEY, key.put());
    return key ? RegText(key.get(), value) : "<absent>";
}

// The default value of a key under HKLM, or "<absent>".
std::string MachineDefault(const std::string& keyPath) {
    UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.put()) !=
        ERROR_SUCCESS)
        return "<absent>";
    return RegText(key.get(), nullptr);
}

// Windows puts a per-machine package's shortcut in the Start menu of all
// users; Wine's Windows Installer puts it in the installing user's.
std::string MsiShortcutPath() {
    if (!RunningUnderWine()) return ShortcutPath();
    char dir[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, dir);
    return std::string(dir) + "\\Zekerpad.lnk";
}

constexpr char kShowVerbKey[] = "Software\\Classes\\SystemFileAssociations\\.ws4\\shell\\Zekerpad";

DWORD Msiexec(const std::string& arguments) {
    DWORD code = 1;
    if (!RunAndWait("msiexec.exe " + arguments, kSetupTimeoutMs, &code)) return 0xFFFFFFFF;
    return code;
}

bool MsiInstall(const std::string& msi) { return Msiexec("/i \"" + msi + "\" /qn") == 0; }

bool MsiUninstallAll() {
    for (const std::string& code : MsiRegistrations())
        if (Msiexec("/x " + code + " /qn") != 0) return false;
    return MsiRegistrations().empty();
}

class MsiInstaller : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Exists(MsiPath())) {
#ifdef ZK_HAVE_MSI
            FAIL() << "the build should have made " << MsiPath();
#else
            GTEST_SKIP() << "wixl was missing at build time: no Zekerpad-1.0.msi";
#endif
        }
        // An earlier run that stopped halfway may have left either behind.
        ASSERT_TRUE(MsiUninstallAll());
        if (Exists(InstallDir() + "\\Uninstall.exe")) {
            ASSERT_TRUE(Uninstall());
        }
    }

    SavedFile m_savedLog{kLogPath};
    SavedFile m_savedIni{IniPath()};
};

TEST_F(MsiInstaller, SilentInstallAndUninstallLeaveTheUserFiles) {
    ::DeleteFileA(kLogPath);
    ::DeleteFileA(IniPath().c_str());
    ASSERT_TRUE(MsiInstall(MsiPath()));

    // The same program and manual as the setup program installs, and the
    // same Start-menu entry; no Uninstall.exe: Windows Installer removes it.
    const std::string dir = InstallDir();
    EXPECT_EQ(ReadWholeFile(dir + "\\Zekerpad.exe"), ReadWholeFile(ProgramFolder() + "\\Zekerpad.exe"));
    EXPECT_EQ(ReadWholeFile(dir + "\\handleiding.html"), ReadWholeFile(ProgramFolder() + "\\handleiding.html"));
    EXPECT_FALSE(Exists(dir + "\\Uninstall.exe"));
    ASSERT_TRUE(Exists(MsiShortcutPath())) << MsiShortcutPath();
    EXPECT_TRUE(EqualsNoCaseAscii(ShortcutTarget(MsiShortcutPath()), dir + "\\Zekerpad.exe"))
        << ShortcutTarget(MsiShortcutPath());

    const std::vector<std::string> registered = MsiRegistrations();
    ASSERT_EQ(registered.size(), 1u);
    EXPECT_EQ(MsiRegistrationText(registered[0], "DisplayVersion"), "1.0");
    EXPECT_EQ(MsiRegistrationText(registered[0], "NoModify"), "1");
    EXPECT_EQ(MsiRegistrationText(registered[0], "NoRepair"), "1");

    // Right-click on a show.
    EXPECT_EQ(MachineDefault(kShowVerbKey), "Controleren met Zekerpad");
    EXPECT_EQ(MachineDefault(std::string(kShowVerbKey) + "\\command"), '"' + dir + "\\Zekerpad.exe\" \"%1\"");

    // The settings with their four defaults, and an empty log.
    const std::string ini = IniPath();
    ExpectFreshUserFiles(ini);

    const std::string iniBytes = ReadWholeFile(ini);
    ASSERT_EQ(Msiexec("/x \"" + MsiPath() + "\" /qn"), 0u);

    EXPECT_FALSE(Exists(dir));
    EXPECT_FALSE(Exists(MsiShortcutPath()));
    EXPECT_TRUE(MsiRegistrations().empty());
    EXPECT_EQ(MachineDefault(kShowVerbKey), "<absent>");
    EXPECT_EQ(ReadWholeFile(kLogPath), "");
    EXPECT_EQ(ReadWholeFile(ini), iniBytes);
}

TEST_F(MsiInstaller, ANewerVersionReplacesTheOlderAndKeepsTheUsersFiles) {
    ASSERT_TRUE(WriteWholeFile(IniPath(), kOwnIni));
    ASSERT_TRUE(WriteWholeFile(kLogPath, kOwnLog));

    ASSERT_TRUE(MsiInstall(PreviousMsiPath()));
    std::vector<std::string> registered = MsiRegistrations();
    ASSERT_EQ(registered.size(), 1u);
    EXPECT_EQ(MsiRegistrationText(registered[0], "DisplayVersion"), "0.9");
    const std::string previous = registered[0];

    ASSERT_TRUE(MsiInstall(MsiPath()));
    registered = MsiRegistrations();
    ASSERT_EQ(registered.size(), 1u);
    EXPECT_NE(registered[0], previous);
    EXPECT_EQ(MsiRegistrationText(registered[0], "DisplayVersion"), "1.0");
    EXPECT_TRUE(Exists(InstallDir() + "\\Zekerpad.exe"));
    EXPECT_TRUE(Exists(MsiShortcutPath()));
    EXPECT_EQ(ReadWholeFile(IniPath()), kOwnIni);
    EXPECT_EQ(ReadWholeFile(kLogPath), kOwnLog);

    // The older one cannot go back over the newer one.
    EXPECT_NE(Msiexec("/i \"" + PreviousMsiPath() + "\" /qn"), 0u);
    EXPECT_EQ(MsiRegistrations(), registered);

    ASSERT_TRUE(MsiUninstallAll());
    EXPECT_FALSE(Exists(InstallDir()));
    EXPECT_EQ(ReadWholeFile(IniPath()), kOwnIni);
    EXPECT_EQ(ReadWholeFile(kLogPath), kOwnLog);
}

// The MSI puts the contact lines into the settings it makes; settings that
// are there already stay byte for byte.
TEST_F(MsiInstaller, ContactLinesGoIntoNewSettingsAndExistingOnesStay) {
    ::DeleteFileA(IniPath().c_str());
    ASSERT_EQ(Msiexec("/i \"" + MsiPath() + "\" /qn CONTACT=\"" + kContact + "\""), 0u);
    EXPECT_EQ(ReadProfileValue(IniPath(), "Contact", "<absent>"), kContact);
    EXPECT_EQ(ReadProfileValue(IniPath(), "SubmapOverige", "<absent>"), "Overige");
    ASSERT_TRUE(MsiUninstallAll());
    ASSERT_TRUE(WriteWholeFile(IniPath(), kOwnIni));
    ASSERT_EQ(Msiexec("/i \"" + MsiPath() + "\" /qn CONTACT=\"Iemand anders\""), 0u);
    EXPECT_EQ(ReadWholeFile(IniPath()), kOwnIni);
    ASSERT_TRUE(MsiUninstallAll());
}

// Two installations in one folder would remove each other's files: each
// installer refuses while the other's installation is there.
TEST_F(MsiInstaller, EachInstallerRefusesWhileTheOthersInstallationIsThere) {
    if (!Exists(SetupPath())) GTEST_SKIP() << "no Zekerpad-setup.exe";
    ASSERT_TRUE(Install());
    EXPECT_NE(Msiexec("/i \"" + MsiPath() + "\" /qn"), 0u);
    EXPECT_TRUE(MsiRegistrations().empty());
    ASSERT_TRUE(Uninstall());

    ASSERT_TRUE(MsiInstall(MsiPath()));
    EXPECT_FALSE(Install());
    EXPECT_FALSE(Exists(InstallDir() + "\\Uninstall.exe"));
    EXPECT_FALSE(OpenUninstallKey());
    EXPECT_TRUE(Exists(InstallDir() + "\\Zekerpad.exe"));
    ASSERT_TRUE(MsiUninstallAll());
}

}  // namespace

namespace {
constexpr char kVerbKey[] = "Software\\Classes\\SystemFileAssociations\\.ws4\\shell\\Zekerpad";

// The default value of an HKLM key in the 64-bit view; "<absent>" when
// the key or the value is missing.
std::string DefaultValueOf(const std::string& keyPath) {
    UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.put()) !=
        ERROR_SUCCESS)
        return "<absent>";
    return RegText(key.get(), "");
}
}  // namespace

TEST_F(Installer, RightClickOnAShowOffersTheCheckAndWingsKeepsItsOwnAssociation) {
    // Wings' own association of .ws4, as an installed Wings leaves it.
    const std::string wingsKey = "Software\\Classes\\.ws4";
    {
        UniqueRegKey key;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, wingsKey.c_str(), 0, nullptr, 0,
                                    KEY_WRITE | KEY_WOW64_64KEY, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExA(key.get(), "", 0, REG_SZ, reinterpret_cast<const BYTE*>("Wings.Show"), 11),
                  ERROR_SUCCESS);
    }
    ASSERT_TRUE(Install());
    EXPECT_EQ(DefaultValueOf(kVerbKey), "Controleren met Zekerpad");
    EXPECT_EQ(DefaultValueOf(std::string(kVerbKey) + "\\command"), '"' + InstallDir() + "\\Zekerpad.exe\" \"%1\"");
    EXPECT_EQ(DefaultValueOf(wingsKey), "Wings.Show");

    ASSERT_TRUE(Uninstall());
    EXPECT_EQ(DefaultValueOf(kVerbKey), "<absent>");
    EXPECT_EQ(DefaultValueOf(wingsKey), "Wings.Show");
    ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, wingsKey.c_str(), KEY_WOW64_64KEY, 0);
}
