// The back-up of a show's folder: a verified mirror on another drive,
// incremental, never losing the old copy of a file, and refusing a
// destination before anything is copied.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "services/msgbox.h"
#include "services/run_log.h"
#include "services/settings.h"
#include "services/state.h"
#include "backup/backup_dialog.h"
#include "backup/backup_run.h"
#include "backup/destination_memo.h"
#include "common/wide_text.h"
#include "files/file_system.h"
#include "files/free_space.h"
#include "page/repair_fixture.h"
#include "resource.h"
#include "support/driver.h"

namespace {
constexpr uint64_t kPlenty = 1000000000;

uint64_t WriteTimeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

void SetWriteTime(const std::string& path, uint64_t ticks) {
    // A folder opens with the backup flag; a file does not mind it.
    UniqueFile f(::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILETIME t{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    ASSERT_TRUE(f && ::SetFileTime(f.get(), nullptr, nullptr, &t)) << path;
}

// Names of the files and folders below a folder, "Audio\intro.wav", sorted.
std::vector<std::string> TreeOf(const std::string& folder) {
    std::vector<BackupEntry> entries;
    ListBackupTree(folder + "\\", entries, nullptr);
    std::vector<std::string> names;
    for (const BackupEntry& e : entries) names.push_back(e.relative + (e.isFolder ? "\\" : ""));
    std::sort(names.begin(), names.end());
    return names;
}

bool HasTempFile(const std::string& folder) {
    for (const std::string& name : TreeOf(folder))
        if (name.find("~zk") != std::string::npos) return true;
    return false;
}

// A file by a UTF-8 name, through the wide-character calls, as the disk has it.
std::string ReadByName(const std::string& utf8) {
    UniqueFile f(::CreateFileW(LongPath(WideFromUtf8(utf8)).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr));
    if (!f) return "(ontbreekt)";
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (::ReadFile(f.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    return bytes;
}

void MakeByName(const std::string& utf8, const std::string& bytes) {
    const std::wstring path = LongPath(WideFromUtf8(utf8));
    for (size_t slash = path.find(L'\\', 7); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1))
        ::CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    UniqueFile f(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD put = 0;
    ASSERT_TRUE(f && ::WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr)) << utf8;
}

// Fails every write after the first of each copy, as a full disk would.
int s_writesLeft = 0;
bool FullAfterOneWrite(void* file, const void* data, unsigned long size, unsigned long* written) {
    if (s_writesLeft-- > 0) return WriteBackupFile(file, data, size, written);
    *written = 0;
    ::SetLastError(ERROR_DISK_FULL);
    return false;
}

// The stick is pulled after the first write: every later write fails.
bool PulledAfterOneWrite(void* file, const void* data, unsigned long size, unsigned long* written) {
    if (s_writesLeft-- > 0) return WriteBackupFile(file, data, size, written);
    *written = 0;
    ::SetLastError(ERROR_DEVICE_NOT_CONNECTED);
    return false;
}

// A stick that says it wrote what it was given, and keeps other bytes.
bool LosesAByte(void* file, const void* data, unsigned long size, unsigned long* written) {
    std::string changed(static_cast<const char*>(data), size);
    changed[size / 2] ^= 0x10;
    return WriteBackupFile(file, changed.data(), size, written);
}

// A drive letter made for a folder, under Wine, for one test: gone again
// when the test ends, whatever it found.
class ScopedDriveLetter {
public:
    ScopedDriveLetter(char letter, const std::string& folder) {
        const char* prefix = std::getenv("WINEPREFIX");
        m_target = UnixPathOf(folder);
        if (!prefix || m_target.empty()) return;
        m_link = std::string(prefix) + "/dosdevices/" + static_cast<char>(letter - 'A' + 'a') + ":";
        Make();
    }
    // The drive (again), as a stick that is plugged in.
    void Make() {
        if (!m_link.empty()) m_made = RunUnixShell("ln -sfn '" + m_target + "' '" + m_link + "'") == 0;
    }
    ~ScopedDriveLetter() { Remove(); }
    ScopedDriveLetter(const ScopedDriveLetter&) = delete;
    ScopedDriveLetter& operator=(const ScopedDriveLetter&) = delete;
    bool Made() const { return m_made; }
    void Remove() {
        if (m_made) RunUnixShell("rm -f '" + m_link + "'");
        m_made = false;
    }

private:
    std::string m_link, m_target;
    bool m_made = false;
};

// A stick pulled out in the middle of a file: its drive letter goes, and
// the write says the disk is full, as some sticks do. The message the run
// then shows is answered after the stick is plugged in again, or not.
ScopedDriveLetter* s_stick = nullptr;
bool s_plugBackIn = false;
std::vector<std::string> s_messages;
bool StickPulledAfterOneWrite(void* file, const void* data, unsigned long size, unsigned long* written) {
    if (s_writesLeft-- > 0) return WriteBackupFile(file, data, size, written);
    s_stick->Remove();
    *written = 0;
    ::SetLastError(ERROR_DISK_FULL);
    return false;
}
int AnsweredWithTheStick(HWND__*, const std::string& text, const std::string&, unsigned) {
    s_messages.push_back(text);
    if (s_plugBackIn) s_stick->Make();
    return IDOK;
}

// Disks of 4 KB and of 32 KB clusters, as the back-up asks about them.
bool Clusters4K(const std::wstring&, uint64_t* clusterBytes) {
    *clusterBytes = 4096;
    return true;
}
bool Clusters32K(const std::wstring&, uint64_t* clusterBytes) {
    *clusterBytes = 32768;
    return true;
}

// The last step of a copy, putting it in place, is refused (another
// program holds the name for a moment, as a virus scanner does).
bool RenameRefused(const wchar_t*, const wchar_t*) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return false;
}

class Backup : public RepairPageTest {
protected:
    void SetUp() override {
        RepairPageTest::SetUp();
        DeleteTree(Root('E'));
        m_cleanup.push_back(Root('E'));
        g_bBackupStarted = 0;
        g_csBackupMap.clear();
    }
    void TearDown() override {
        g_bBackupStarted = 0;
        g_csBackupMap.clear();
        RepairPageTest::TearDown();
    }
    // The show's folder "<C root>\Demo\" with a few files of its own.
    std::string Show() const { return Root('C') + "\\Demo\\"; }
    std::string Dest(char drive = 'D') const { return Root(drive) + "\\Back-ups"; }
    std::string Copy(const std::string& relative, char drive = 'D') const { return Dest(drive) + "\\Demo\\" + relative; }
    void MakeShow() {
        MakeTestFile(Show() + "demo.ws4", TestBytes(300, 1));
        MakeTestFile(Show() + "Audio\\intro.wav", TestBytes(2500000, 2));  // more than one chunk
        MakeTestFile(Show() + "Plaatjes\\titel.jpg", TestBytes(40000, 3));
        MakeTestFile(Show() + "verborgen.txt", TestBytes(10, 4));
        ::SetFileAttributesA((Show() + "verborgen.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
        ASSERT_TRUE(MakeFolderTree(Show() + "Leeg"));
    }
    BackupResult Run(const std::string& dest, BackupOutcome* outcome, const BackupProgressFn& progress = nullptr) {
        MakeFolderTree(Dest());
        return MakeBackup(Show(), dest, progress, nullptr, outcome);
    }
    // A first back-up of the show, then a new title picture (TestBytes 9)
    // for the next run to copy over the old one (TestBytes 3).
    void BackUpThenChangeTheTitle() {
        MakeShow();
        BackupOutcome outcome;
        ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
        MakeTestFile(Show() + "Plaatjes\\titel.jpg", TestBytes(40000, 9));
        SetWriteTime(Show() + "Plaatjes\\titel.jpg", 133590096000000000ULL);
    }
    // The back-up's title picture damaged in place, size and time kept (by
    // name, size and time unchanged), and checked while the stick takes no
    // findings: a folder holds their file's name, as good as a
    // write-protected stick for the write and needing no root. The stick
    // takes writes again afterwards.
    BackupCheckResult CheckADamagedTitleOnAStickWithoutRoomForFindings() {
        const uint64_t time = WriteTimeOf(Copy("Plaatjes\\titel.jpg"));
        MakeTestFile(Copy("Plaatjes\\titel.jpg"), TestBytes(40000, 99));
        SetWriteTime(Copy("Plaatjes\\titel.jpg"), time);
        const std::string findings = Dest() + "\\Demo - Zekerpad-controle.txt";
        EXPECT_TRUE(MakeFolderTree(findings));
        const BackupCheckResult check = CheckBackup(Dest() + "\\Demo", nullptr);
        ::RemoveDirectoryA(findings.c_str());
        return check;
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& b : m_boxes.Boxes()) texts.push_back(b.text);
        return texts;
    }
};

TEST_F(Backup, FirstBackupMirrorsTheTreeWithBytesAndTimesThenASecondCopiesOnlyTheChangedFile) {
    MakeShow();
    FreeSpaceStub space(kPlenty);
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(4, outcome.copied);
    EXPECT_EQ(2540310, outcome.copiedBytes);
    EXPECT_EQ(0, outcome.failed);
    EXPECT_TRUE(BoxTexts().empty());
    const std::vector<std::string> tree = {"Audio\\", "Audio\\intro.wav", "Leeg\\", "Plaatjes\\",
                                           "Plaatjes\\titel.jpg", "demo.ws4", "verborgen.txt"};
    EXPECT_EQ(tree, TreeOf(Dest() + "\\Demo"));
    for (const char* f : {"demo.ws4", "Audio\\intro.wav", "Plaatjes\\titel.jpg", "verborgen.txt"}) {
        EXPECT_EQ(ReadWholeFile(Show() + f), ReadWholeFile(Copy(f))) << f;
        EXPECT_EQ(WriteTimeOf(Show() + f), WriteTimeOf(Copy(f))) << f;
    }
    EXPECT_TRUE(::GetFileAttributesA(Copy("verborgen.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    const std::string log = LogSoFar();
    EXPECT_NE(std::string::npos, log.find("Start back-up\n\r-> bron - " + Show() + "\n\r-> doel - " + Dest() + "\n\r"));
    EXPECT_NE(std::string::npos, log.find("-> bron - " + Show() + "Audio\\intro.wav\n\r-> doel - " +
                                          Copy("Audio\\intro.wav") + "\n\r->   - kopie OK\n\r"));
    EXPECT_NE(std::string::npos, log.find("-> gekopieerd  - 4\n\r-> bytes       - 2540310\n\r-> ongewijzigd - 0\n\r"
                                          "-> mislukt     - 0\n\rEinde back-up\n\r"));

    // The show changes one file and loses another; the back-up keeps both
    // the old file and the lost one, and copies only the change. The
    // older copy of the changed file is kept beside the back-up; a
    // temporary file left by an interrupted run goes.
    const size_t before = LogSoFar().size();
    MakeTestFile(Copy("Audio\\~zk0000ABCD.tmp"), "half");
    MakeTestFile(Show() + "Plaatjes\\titel.jpg", TestBytes(40000, 5));
    SetWriteTime(Show() + "Plaatjes\\titel.jpg", 133590096000000000ULL);
    ASSERT_TRUE(::DeleteFileA((Show() + "demo.ws4").c_str()));
    ::SetFileAttributesA(Copy("Plaatjes\\titel.jpg").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(1, outcome.copied);
    EXPECT_EQ(40000, outcome.copiedBytes);
    EXPECT_EQ(2, outcome.unchanged);
    EXPECT_EQ(0, outcome.failed);
    EXPECT_EQ(TestBytes(40000, 5), ReadWholeFile(Copy("Plaatjes\\titel.jpg")));
    EXPECT_EQ(TestBytes(300, 1), ReadWholeFile(Copy("demo.ws4")));
    EXPECT_EQ(tree, TreeOf(Dest() + "\\Demo"));
    const std::vector<std::string> older = TreeOf(Dest() + "\\Demo oudere versies");
    ASSERT_EQ(3u, older.size());
    // "2026-12-08 09.30\Plaatjes\titel.jpg": the date and time of the run.
    const std::string stamp = older[0].substr(0, older[0].size() - 1);
    EXPECT_EQ(16u, stamp.size());
    EXPECT_EQ((std::vector<std::string>{stamp + "\\", stamp + "\\Plaatjes\\", stamp + "\\Plaatjes\\titel.jpg"}),
              older);
    EXPECT_EQ(TestBytes(40000, 3), ReadWholeFile(Dest() + "\\Demo oudere versies\\" + stamp + "\\Plaatjes\\titel.jpg"));
    const std::string second = LogSoFar().substr(before);
    EXPECT_NE(std::string::npos, second.find("-> ongewijzigd - " + Show() + "Audio\\intro.wav\n\r"));
    EXPECT_NE(std::string::npos, second.find("-> gekopieerd  - 1\n\r-> bytes       - 40000\n\r-> ongewijzigd - 2\n\r"));
    // titel.jpg holds test bytes, no picture: the check of its contents says so.
    EXPECT_EQ("De back-up is klaar en volledig.\nLet op: 1 bestand lijkt beschadigd (zie het logboek). Zet een goede kopie in de map van de show en maak de back-up opnieuw.\nGekopieerd: "
              "1 bestand (39,1 kB). Ongewijzigd: 2. Mislukt: 0.\nElk bestand staat in het logboek C:\\Zekerpad.log.",
              BackupSummaryText(outcome, kRunLogPath));
}

TEST_F(Backup, ALockedSourceFailsThatFileAloneWithAMessage) {
    MakeShow();
    FreeSpaceStub space(kPlenty);
    UniqueFile held = HoldOpen(Show() + "Plaatjes\\titel.jpg", 0);
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(3, outcome.copied);
    EXPECT_EQ(1, outcome.failed);
    EXPECT_EQ(std::vector<std::string>{"Het volgende bestand is niet in de back-up gekomen:\n" + Show() +
                                       "Plaatjes\\titel.jpg\n\nHet bestand is in gebruik door een ander programma."},
              BoxTexts());
    EXPECT_FALSE(PathIsFile(Copy("Plaatjes\\titel.jpg")));
    EXPECT_FALSE(HasTempFile(Dest()));
    EXPECT_NE(std::string::npos, LogSoFar().find("titel.jpg\n\r-> fout - Het bestand is in gebruik door een ander "
                                                 "programma.\n\r"));
    EXPECT_EQ(0u, BackupSummaryText(outcome, kRunLogPath).find("De back-up is niet volledig: 1 bestand kon niet"));
}

TEST_F(Backup, AFullDestinationOrAStopLeavesTheOldCopyAndNoTemporaryFile) {
    MakeShow();
    FreeSpaceStub space(kPlenty);
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    const std::string old = ReadWholeFile(Copy("Audio\\intro.wav"));
    MakeTestFile(Show() + "Audio\\intro.wav", TestBytes(2600000, 9));

    // The disk fills up after the first megabyte of the new version.
    s_writesLeft = 1;
    {
        ScopedSeam<BackupWriteFn> full(g_pfnBackupWrite, &FullAfterOneWrite);
        ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    }
    EXPECT_EQ(1, outcome.failed);
    EXPECT_EQ(old, ReadWholeFile(Copy("Audio\\intro.wav")));
    EXPECT_FALSE(HasTempFile(Dest()));
    ASSERT_EQ(1u, BoxTexts().size());
    EXPECT_NE(std::string::npos, BoxTexts()[0].find("intro.wav\n\nDe doelschijf is vol."));
    EXPECT_EQ(0u, BackupSummaryText(outcome, kRunLogPath).find("De back-up is niet volledig:"));

    // Stop in the middle of the same large file.
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome, [](const std::string& name, int64_t bytes) {
                  return !(name == "Audio\\intro.wav" && bytes > 1000000);
              }));
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(old, ReadWholeFile(Copy("Audio\\intro.wav")));
    EXPECT_FALSE(HasTempFile(Dest()));
    EXPECT_EQ(1u, BoxTexts().size());  // a stop asked for is no failure to report
    EXPECT_EQ(0u, BackupSummaryText(outcome, kRunLogPath).find("De back-up is gestopt en is dus niet volledig."));
    EXPECT_NE(std::string::npos, LogSoFar().find("-> fout - gestopt\n\r"));

    // The old copy is read-only and another program holds it: the replace
    // fails, and the old copy stays as it was, read-only still.
    ASSERT_TRUE(::SetFileAttributesA(Copy("Audio\\intro.wav").c_str(), FILE_ATTRIBUTE_READONLY));
    {
        UniqueFile held = HoldOpen(Copy("Audio\\intro.wav"), FILE_SHARE_READ);
        ASSERT_TRUE(held);
        ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    }
    EXPECT_EQ(1, outcome.failed);
    EXPECT_EQ(old, ReadWholeFile(Copy("Audio\\intro.wav")));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_READONLY),
              ::GetFileAttributesA(Copy("Audio\\intro.wav").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(HasTempFile(Dest()));
    EXPECT_EQ(2u, BoxTexts().size());
}

// The same on a real full disk (a root-only extra: the test above reaches
// the same branch through the write seam everywhere).
TEST_F(Backup, ARealDiskThatFillsKeepsTheOldCopy) {
    const char* disk = std::getenv("ZK_SMALL_DISK");
    if (!disk || !*disk)
        GTEST_SKIP() << "no small disk: tests/run-tests.sh mounts a 3 MiB tmpfs as F: only when run as root";
    const std::string dest = std::string(disk) + "ZkBackupVol";
    m_cleanup.push_back(dest);
    ASSERT_TRUE(MakeFolderTree(dest));
    ULARGE_INTEGER room{};
    ASSERT_TRUE(::GetDiskFreeSpaceExA(disk, &room, nullptr, nullptr));
    ASSERT_LT(room.QuadPart, 8ull << 20) << "not a small disk";
    const std::string wav = Show() + "Audio\\intro.wav";
    MakeTestFile(wav, TestBytes(room.QuadPart / 2, 1));
    BackupOutcome outcome;
    {
        FreeSpaceStub space(kPlenty);
        ASSERT_EQ(BackupResult::Ran, MakeBackup(Show(), dest, nullptr, nullptr, &outcome));
    }
    ASSERT_EQ(1, outcome.copied);
    const std::string copy = dest + "\\Demo\\Audio\\intro.wav";
    const std::string old = ReadWholeFile(copy);
    // A new version that no longer fits beside the old copy; the space
    // check is told there is room, so the disk itself must refuse.
    MakeTestFile(wav, TestBytes(room.QuadPart / 2 + 1500000, 2));
    FreeSpaceStub space(kPlenty);
    ASSERT_EQ(BackupResult::Ran, MakeBackup(Show(), dest, nullptr, nullptr, &outcome));
    EXPECT_EQ(1, outcome.failed);
    EXPECT_EQ(old, ReadWholeFile(copy));
    EXPECT_FALSE(HasTempFile(dest));
    ASSERT_EQ(1u, BoxTexts().size());
    EXPECT_NE(std::string::npos, BoxTexts()[0].find("intro.wav\n\nDe doelschijf is vol."));
}

TEST_F(Backup, EachRefusedDestinationCopiesNothing) {
    MakeShow();
    MakeFolderTree(Dest());
    FreeSpaceStub space(kPlenty);
    struct Case {
        std::string destination, message;
    };
    const Case cases[] = {
        {"", "Kies eerst een doelmap voor de back-up."},
        {Show(), "De doelmap ligt in de map van de show:\n" + Root('C') + "\\Demo"},
        {Show() + "Audio", "De doelmap ligt in de map van de show:\n" + Show() + "Audio"},
        {Root('C'), "In deze doelmap zou de back-up op de plaats van de show zelf komen:\n" + Show()},
        {Dest() + "\\Bestaat-niet", "De doelmap bestaat niet:\n" + Dest() + "\\Bestaat-niet"},
    };
    for (const Case& c : cases) {
        BackupOutcome outcome;
        EXPECT_EQ(BackupResult::Refused, Run(c.destination, &outcome)) << c.destination;
        ASSERT_FALSE(BoxTexts().empty());
        EXPECT_EQ(0u, BoxTexts().back().find(c.message)) << BoxTexts().back();
    }
    EXPECT_EQ(std::vector<std::string>{}, TreeOf(Dest()));
    EXPECT_EQ(7u, TreeOf(Root('C') + "\\Demo").size());

    // A file where the back-up's folder must come: nothing can be written.
    MakeTestFile(Dest() + "\\Demo", "geen map");
    BackupOutcome outcome;
    EXPECT_EQ(BackupResult::Refused, Run(Dest(), &outcome));
    EXPECT_EQ(0u, BoxTexts().back().find("In de doelmap kan niet worden geschreven:\n" + Dest() + "\\Demo\\\n\n"));
    ASSERT_TRUE(::DeleteFileA((Dest() + "\\Demo").c_str()));

    // Too little room for the bytes plus 1 MB: the four files in 4 KB
    // clusters (2,551,808), their names (4 x 96), the three new folders
    // (3 x (4,096 + 96)) and 1 MB make 3,564,768; one byte less is free.
    {
        ScopedSeam<ClusterSizeFn> clusters(g_pfnClusterSize, &Clusters4K);
        FreeSpaceStub small(3564768 - 1);
        EXPECT_EQ(BackupResult::Refused, Run(Dest(), &outcome));
        EXPECT_EQ("Er is onvoldoende vrije ruimte op de doelschijf.\n\nNodig: 3,4 MB (3.564.768 bytes), voor de te "
                  "kopi\xEBren bestanden en 1 MB extra.\nVrij: 3,4 MB (3.564.767 bytes).\n\nMaak ruimte vrij op de "
                  "doelschijf of kies een andere doelmap (bijvoorbeeld op een grotere USB-stick), en klik dan "
                  "opnieuw op Starten.",
                  BoxTexts().back());
        EXPECT_EQ(std::vector<std::string>{Dest()}, small.Asked());
    }
    EXPECT_EQ(std::vector<std::string>{}, TreeOf(Dest()));
    EXPECT_NE(std::string::npos, LogSoFar().find("-> geweigerd - onvoldoende ruimte\n\rEinde back-up\n\r"));

    // The show's own drive after a warning: No copies nothing, Yes goes on.
    const std::string elders = Root('C') + "\\Elders";
    MakeFolderTree(elders);
    const size_t boxes = BoxTexts().size();
    m_boxes.QueueAnswer(IDNO);
    EXPECT_EQ(BackupResult::Refused, Run(elders, &outcome));
    ASSERT_EQ(boxes + 1, BoxTexts().size());
    EXPECT_EQ(0u, BoxTexts().back().find("De doelmap staat op dezelfde schijf als de show (C:)."));
    EXPECT_EQ(static_cast<unsigned>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2), m_boxes.Boxes().back().type);
    EXPECT_EQ(std::vector<std::string>{}, TreeOf(elders));
    m_boxes.QueueAnswer(IDYES);
    EXPECT_EQ(BackupResult::Ran, Run(elders, &outcome));
    EXPECT_EQ(4, outcome.copied);
}

TEST_F(Backup, PathsPastTheOldLimitOfTheSystemAreCopied) {
    MakeShow();
    FreeSpaceStub space(kPlenty);
    // The back-up's folder gets 244 characters, so its subfolders' files
    // pass 259.
    const std::string deep = Dest() + "\\" + std::string(238 - Dest().size() - 1, 'd');
    ASSERT_EQ(244u, (deep + "\\Demo\\").size());
    ASSERT_TRUE(MakeFolderTree(deep));
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, MakeBackup(Show(), deep, nullptr, nullptr, &outcome));
    EXPECT_EQ(4, outcome.copied);
    EXPECT_EQ(0, outcome.failed);
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(TestBytes(2500000, 2), ReadByName(deep + "\\Demo\\Audio\\intro.wav"));
    EXPECT_EQ(TestBytes(40000, 3), ReadByName(deep + "\\Demo\\Plaatjes\\titel.jpg"));
}

// The closing page offers the back-up only with green light; the dialog
// remembers its destination in the settings once a back-up was made.
TEST_F(Backup, TheClosingPageButtonOpensTheDialogWhichMakesTheBackupAndRemembersWhere) {
    MakeShow();
    const std::string ini = Root('C') + "\\Zekerpad.INI";
    UseShow(Show() + "demo.ws4");
    // As an analysis that found the show's two files leaves it: a show
    // without a single file name gets no green light.
    g_nGreen = 2;
    HWND page = ShowPage(7);
    EXPECT_TRUE(IsVisible(page, IDC_BACKUP));
    EXPECT_EQ("&Back-up maken...", ItemText(page, IDC_BACKUP));
    WriteSettings(ini);
    const std::string untouched = ReadWholeFile(ini);
    EXPECT_EQ(std::string::npos, untouched.find("BackupMap"));

    FreeSpaceStub space(kPlenty);
    MakeFolderTree(Dest('E'));
    std::string summary, caption, stopText;
    bool centred = false;
    const DWORD planDeadline = ::GetTickCount() + 20000;
    ModalDriver dialog("Zekerpad - Back-up maken",
                       {[&](HWND dlg) {
                            caption = WindowTitle(dlg);
                            RECT d{}, s{};
                            ::GetWindowRect(dlg, &d);
                            ::GetWindowRect(m_wizard->Sheet(), &s);
                            centred = std::abs((d.left + d.right) - (s.left + s.right)) <= 2 &&
                                      std::abs((d.top + d.bottom) - (s.top + s.bottom)) <= 2;
                            stopText = ItemText(dlg, IDC_BACKUP_STOP);
                            EXPECT_FALSE(IsEnabled(dlg, IDC_BACKUP_STOP));
                            EXPECT_EQ(Show(), ItemText(dlg, IDC_BACKUP_SHOW));
                            ::SetDlgItemTextA(dlg, IDC_BACKUP_DEST, Dest('E').c_str());
                        },
                        [&](HWND dlg) {
                            // The plan follows the typed folder once it is complete.
                            if (ItemText(dlg, IDC_BACKUP_PLAN).find("Te kopi") == std::string::npos &&
                                ::GetTickCount() < planDeadline)
                                return ModalDriver::Again();
                            EXPECT_EQ("De back-up komt in de map:\n" + Dest('E') +
                                          "\\Demo\\\nZekerpad kopieert de hele map van de show: ook het "
                                          "showbestand, de .tlg-bestanden en de andere bestanden in de map.\nTe "
                                          "kopi\xEBren: 4 bestanden, 2,4 MB. Vrij "
                                          "op de doelschijf: 954 MB.",
                                      ItemText(dlg, IDC_BACKUP_PLAN));
                            ClickDialogButton(dlg, IDC_BACKUP_START);
                            summary = ItemText(dlg, IDC_BACKUP_SUMMARY);
                            SaveShot(dlg, ShotFolder("backup") + "klaar-let-op");
                            // Enter afterwards neither closes the dialog nor starts again.
                            EXPECT_EQ(::GetDlgItem(dlg, IDC_BACKUP_DEST), ::GetFocus());
                            MSG enter{::GetFocus(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
                            EXPECT_TRUE(::IsDialogMessageA(dlg, &enter));
                            EXPECT_EQ(summary, ItemText(dlg, IDC_BACKUP_SUMMARY));
                            EXPECT_TRUE(::IsWindowVisible(dlg));
                            EXPECT_FALSE(IsEnabled(dlg, IDC_BACKUP_STOP));
                            EXPECT_TRUE(IsEnabled(dlg, IDCANCEL));
                            ClickDialogButton(dlg, IDCANCEL);
                        }});
    ClickButton(page, IDC_BACKUP);
    ASSERT_TRUE(dialog.Done());
    EXPECT_EQ("Zekerpad - Back-up maken", caption);
    EXPECT_TRUE(centred);
    EXPECT_EQ("S&toppen", stopText);
    // The show's test bytes are no media, so they look damaged: the next
    // step is a good copy, not taking the stick out as if all were well.
    EXPECT_EQ(0u, summary.find("De back-up is klaar en volledig.\nLet op: "));
    EXPECT_EQ(std::string::npos, summary.find("veilig verwijderen"));
    EXPECT_NE(std::string::npos, summary.find("\nGekopieerd: 4 bestanden (2,4 MB)."));
    EXPECT_EQ(ReadWholeFile(Show() + "Audio\\intro.wav"), ReadWholeFile(Copy("Audio\\intro.wav", 'E')));

    WriteSettings(ini);
    EXPECT_EQ(untouched + "BackupMap=" + Dest('E') + "\r\n", ReadWholeFile(ini));
    g_csBackupMap.clear();
    ReadSettings(ini);
    EXPECT_EQ(Dest('E'), g_csBackupMap);

    // Without green light there is no button.
    g_nYellow = 1;
    m_wizard->GoTo(0);
    page = ShowPage(7);
    EXPECT_FALSE(IsVisible(page, IDC_BACKUP));
}

TEST_F(Backup, NamesOutsideTheCodePageArriveByteExactAndTheRecordHoldsTheirHashes) {
    // "Plaatjes Kraków\Łódź.jpg", "Dvořák - Largo.wav", "富士.png" in UTF-8.
    const std::string krakow = "Plaatjes Krak\xC3\xB3w\\\xC5\x81\xC3\xB3" "d\xC5\xBA.jpg";
    const std::string dvorak = "Dvo\xC5\x99\xC3\xA1k - Largo.wav";
    const std::string fuji = "\xE5\xAF\x8C\xE5\xA3\xAB.png";
    MakeByName(Show() + krakow, TestBytes(5000, 1));
    MakeByName(Show() + dvorak, TestBytes(7000, 2));
    MakeByName(Show() + fuji, TestBytes(9000, 3));
    MakeByName(Show() + "abc.txt", "abc");
    FreeSpaceStub space(kPlenty);
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(4, outcome.copied);
    EXPECT_EQ(0, outcome.failed);
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(TestBytes(5000, 1), ReadByName(Copy(krakow)));
    EXPECT_EQ(TestBytes(7000, 2), ReadByName(Copy(dvorak)));
    EXPECT_EQ(TestBytes(9000, 3), ReadByName(Copy(fuji)));
    // "Dvorák" would be a look-alike: no such file may exist.
    EXPECT_EQ("(ontbreekt)", ReadByName(Copy("Dvor\xC3\xA1k - Largo.wav")));
    // The log is in the code page: what it cannot hold is "?".
    EXPECT_NE(std::string::npos, LogSoFar().find("-> bron - " + Show() + "Dvo?\xE1k - Largo.wav\n\r"));
    EXPECT_NE(std::string::npos, LogSoFar().find("-> bron - " + Show() + "??.png\n\r"));

    // The record beside the back-up, with the hash certutil prints for "abc".
    const std::string record = ReadByName(Dest() + "\\Demo - Zekerpad-back-up.txt");
    EXPECT_EQ(0u, record.find("\xEF\xBB\xBFZekerpad back-up\r\nMap van de show: " + Show() + "\r\n"));
    EXPECT_NE(std::string::npos,
              record.find("\r\nabc.txt\t3\t" /* time */));
    EXPECT_NE(std::string::npos,
              record.find("\tba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\r\n"));
    EXPECT_NE(std::string::npos, record.find("\r\n" + dvorak + "\t7000\t"));
}

TEST_F(Backup, TwoShowsOfOneNameGetAFolderEachAndAStrangeFolderOnlyAfterAYes) {
    const std::string first = Root('C') + "\\2023\\Kerst\\";
    const std::string second = Root('C') + "\\2024\\Kerst\\";
    MakeTestFile(first + "kerst.ws4", TestBytes(100, 1));
    MakeTestFile(second + "kerst.ws4", TestBytes(200, 2));
    MakeFolderTree(Dest());
    FreeSpaceStub space(kPlenty);
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, MakeBackup(first, Dest(), nullptr, nullptr, &outcome));
    ASSERT_EQ(BackupResult::Ran, MakeBackup(second, Dest(), nullptr, nullptr, &outcome));
    EXPECT_EQ(1, outcome.copied);
    EXPECT_EQ(TestBytes(100, 1), ReadWholeFile(Dest() + "\\Kerst\\kerst.ws4"));
    EXPECT_EQ(TestBytes(200, 2), ReadWholeFile(Dest() + "\\Kerst (2)\\kerst.ws4"));
    EXPECT_EQ((std::vector<std::string>{"Kerst (2) - Zekerpad-back-up.txt", "Kerst (2)\\", "Kerst (2)\\kerst.ws4",
                                        "Kerst - Zekerpad-back-up.txt", "Kerst\\", "Kerst\\kerst.ws4"}),
              TreeOf(Dest()));
    // Each comes back to its own folder.
    MakeTestFile(first + "kerst.ws4", TestBytes(100, 3));
    ASSERT_EQ(BackupResult::Ran, MakeBackup(first, Dest(), nullptr, nullptr, &outcome));
    EXPECT_EQ(TestBytes(100, 3), ReadWholeFile(Dest() + "\\Kerst\\kerst.ws4"));
    EXPECT_EQ(TestBytes(200, 2), ReadWholeFile(Dest() + "\\Kerst (2)\\kerst.ws4"));

    // A full folder of the show's name that Zekerpad did not make.
    const std::string other = Root('C') + "\\Zomer\\";
    MakeTestFile(other + "zomer.ws4", TestBytes(300, 4));
    MakeTestFile(Dest() + "\\Zomer\\van iemand anders.txt", "x");
    m_boxes.QueueAnswer(IDNO);
    EXPECT_EQ(BackupResult::Refused, MakeBackup(other, Dest(), nullptr, nullptr, &outcome));
    ASSERT_EQ(1u, BoxTexts().size());
    EXPECT_EQ(0u, BoxTexts()[0].find("In de doelmap staat al een map met deze naam, zonder overzicht van Zekerpad:\n" +
                                     Dest() + "\\Zomer\\\n\n"));
    EXPECT_EQ(static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), m_boxes.Boxes()[0].type);
    EXPECT_FALSE(PathIsFile(Dest() + "\\Zomer\\zomer.ws4"));
}

TEST_F(Backup, ACopyThatReadsBackOtherwiseKeepsTheOldCopyAndLeavesNoTemporaryFile) {
    FreeSpaceStub space(kPlenty);
    BackUpThenChangeTheTitle();
    BackupOutcome outcome;
    g_pfnBackupWrite = &LosesAByte;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    g_pfnBackupWrite = &WriteBackupFile;
    EXPECT_EQ(0, outcome.copied);
    EXPECT_EQ(1, outcome.failed);
    EXPECT_EQ(std::vector<std::string>{"Het volgende bestand is niet in de back-up gekomen:\n" + Show() +
                                       "Plaatjes\\titel.jpg\n\nDe kopie is bij het teruglezen niet gelijk aan het "
                                       "origineel."},
              BoxTexts());
    EXPECT_EQ(TestBytes(40000, 3), ReadWholeFile(Copy("Plaatjes\\titel.jpg")));
    EXPECT_FALSE(HasTempFile(Dest()));
    EXPECT_FALSE(PathIsFolder(Dest() + "\\Demo oudere versies\\"));
}

TEST_F(Backup, AFailedFinalRenamePutsTheOlderCopyBack) {
    FreeSpaceStub space(kPlenty);
    BackUpThenChangeTheTitle();
    BackupOutcome outcome;
    {
        // The older copy has moved aside when the new one is refused its place.
        ScopedSeam<BackupRenameFn> refused(g_pfnBackupRename, &RenameRefused);
        ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    }
    EXPECT_EQ(0, outcome.copied);
    EXPECT_EQ(1, outcome.failed);
    ASSERT_EQ(1u, BoxTexts().size());
    EXPECT_EQ(0u, BoxTexts()[0].find("Het volgende bestand is niet in de back-up gekomen:\n" + Show() +
                                     "Plaatjes\\titel.jpg\n\n"));
    EXPECT_EQ(TestBytes(40000, 3), ReadWholeFile(Copy("Plaatjes\\titel.jpg")));
    EXPECT_FALSE(HasTempFile(Dest()));
    for (const std::string& name : TreeOf(Dest() + "\\Demo oudere versies")) EXPECT_EQ('\\', name.back()) << name;
    EXPECT_EQ(0u, BackupSummaryText(outcome, kRunLogPath).find("De back-up is niet volledig:"));

    // The next run finds things as they were and copies the file after all.
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(1, outcome.copied);
    EXPECT_EQ(0, outcome.failed);
    EXPECT_EQ(TestBytes(40000, 9), ReadWholeFile(Copy("Plaatjes\\titel.jpg")));
}

// A link to another folder is named, not followed; a folder that cannot
// be listed (here: gone between the listing of its parent and its own) is
// named too; everything else is copied, and the run is not complete.
TEST_F(Backup, AFolderLinkAndAFolderThatCannotBeListedAreEachNamedOnce) {
    MakeShow();
    MakeTestFile(Show() + "Weg\\weg.wav", TestBytes(100, 5));
    const std::string unixShow = UnixPathOf(Root('C')) + "/Demo";
    if (!RunningUnderWine() || RunUnixShell("ln -sfn '" + unixShow + "/Audio' '" + unixShow + "/Koppeling'") != 0)
        GTEST_SKIP() << "a folder link is made on the Linux side, under Wine";
    FreeSpaceStub space(kPlenty);
    BackupOutcome outcome;
    const BackupResult result = Run(Dest(), &outcome, [&](const std::string& name, int64_t) {
        // Between folders the window is asked whether to go on.
        if (name.empty() && PathIsFolder(Show() + "Weg")) DeleteTree(Show() + "Weg");
        return true;
    });
    RunUnixShell("rm -f '" + unixShow + "/Koppeling'");
    ASSERT_EQ(BackupResult::Ran, result);
    EXPECT_EQ(4, outcome.copied);
    EXPECT_EQ(2, outcome.failed);
    EXPECT_FALSE(PathIsFolder(Copy("Koppeling")));
    ASSERT_EQ(2u, BoxTexts().size());
    EXPECT_NE(std::string::npos, BoxTexts()[0].find(Show() + "Weg\\\n\nDeze map kan niet (volledig) worden gelezen; de "
                                                    "bestanden erin zijn niet gekopieerd.\n"));
    EXPECT_EQ("De volgende map is niet in de back-up gekomen:\n" + Show() +
                  "Koppeling\n\nDeze map verwijst naar een andere plaats (een koppeling) en wordt niet gekopieerd.",
              BoxTexts()[1]);
    EXPECT_EQ(0u, BackupSummaryText(outcome, kRunLogPath).find("De back-up is niet volledig:"));
}

TEST_F(Backup, ADriveLetterForTheShowsParentFolderIsSeenThrough) {
    if (!RunningUnderWine()) GTEST_SKIP() << "a drive letter is made under Wine only";
    MakeShow();
    FreeSpaceStub space(kPlenty);
    BackupOutcome outcome;
    // S:\Demo is the show's folder, S:\Demo\Audio lies in it, and S:\ would
    // put the back-up on the show itself.
    BackupResult inShow = BackupResult::Ran, inAudio = BackupResult::Ran, onShow = BackupResult::Ran;
    {
        ScopedDriveLetter parent('S', Root('C'));
        ASSERT_TRUE(parent.Made());
        inShow = MakeBackup(Show(), "S:\\Demo", nullptr, nullptr, &outcome);
        inAudio = MakeBackup(Show(), "S:\\Demo\\Audio", nullptr, nullptr, &outcome);
        onShow = MakeBackup(Show(), "S:\\", nullptr, nullptr, &outcome);
    }
    EXPECT_EQ(BackupResult::Refused, inShow);
    EXPECT_EQ(BackupResult::Refused, inAudio);
    EXPECT_EQ(BackupResult::Refused, onShow);
    EXPECT_EQ((std::vector<std::string>{"De doelmap ligt in de map van de show:\nS:\\Demo\n\nEen back-up moet buiten "
                                        "de map van de show staan. Kies een andere doelmap, bij voorkeur op een "
                                        "andere schijf.",
                                        "De doelmap ligt in de map van de show:\nS:\\Demo\\Audio\n\nEen back-up moet "
                                        "buiten de map van de show staan. Kies een andere doelmap, bij voorkeur op "
                                        "een andere schijf.",
                                        "In deze doelmap zou de back-up op de plaats van de show zelf komen:\nS:\\Demo\\"
                                        "\n\nKies een andere doelmap."}),
              BoxTexts());
    EXPECT_EQ(7u, TreeOf(Root('C') + "\\Demo").size());
}

// A run of many shows asks about its destination and the folders above the
// shows once: a show whose back-up would land on itself under another
// drive letter is still refused after another show went through.
TEST_F(Backup, InARunOfManyShowsTheShowsParentUnderAnotherLetterIsStillSeenThrough) {
    if (!RunningUnderWine()) GTEST_SKIP() << "a drive letter is made under Wine only";
    MakeShow();
    const std::string other = Root('D') + "\\Ander\\";
    MakeTestFile(other + "ander.ws4", TestBytes(300, 5));
    FreeSpaceStub space(kPlenty);
    BackupOutcome first, second;
    BackupResult elsewhere = BackupResult::Refused, onShow = BackupResult::Ran;
    {
        ScopedDriveLetter parent('S', Root('C'));
        ASSERT_TRUE(parent.Made());
        backup::CDestinationMemo memo("S:\\");
        elsewhere = MakeBackup(other, "S:\\", nullptr, nullptr, &first);
        onShow = MakeBackup(Show(), "S:\\", nullptr, nullptr, &second);
    }
    EXPECT_EQ(BackupResult::Ran, elsewhere);
    EXPECT_EQ(1, first.copied);
    EXPECT_EQ(BackupResult::Refused, onShow);
    EXPECT_EQ((std::vector<std::string>{"In deze doelmap zou de back-up op de plaats van de show zelf komen:\nS:\\Demo\\"
                                        "\n\nKies een andere doelmap."}),
              BoxTexts());
    EXPECT_EQ(7u, TreeOf(Root('C') + "\\Demo").size());
}

// Findings kept only on this PC reach a run of many shows too, which asks
// once which back-up folders this PC keeps findings for.
TEST_F(Backup, FindingsKeptOnlyOnThisPcReachARunOfManyShows) {
    MakeShow();
    FreeSpaceStub space(kPlenty);
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    ASSERT_TRUE(CheckADamagedTitleOnAStickWithoutRoomForFindings().findingsOnlyHere);
    {
        backup::CDestinationMemo memo(Dest());
        ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    }
    EXPECT_EQ(1, outcome.copied);
    EXPECT_TRUE(TestBytes(40000, 3) == ReadWholeFile(Copy("Plaatjes\\titel.jpg")));
}

TEST_F(Backup, AStickPulledMidRunGivesOneMessageAndAnIncompleteSummary) {
    MakeShow();
    FreeSpaceStub space(kPlenty);
    s_writesLeft = 1;
    g_pfnBackupWrite = &PulledAfterOneWrite;
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    g_pfnBackupWrite = &WriteBackupFile;
    EXPECT_EQ(4, outcome.copied + outcome.failed);
    EXPECT_LE(3, outcome.failed);
    ASSERT_EQ(1u, BoxTexts().size());
    EXPECT_EQ(0u, BoxTexts()[0].find("De back-up is afgebroken: de doelschijf kan niet meer worden beschreven."));
    EXPECT_NE(std::string::npos, BoxTexts()[0].find(FileCountText(outcome.failed) + " zijn niet gekopieerd."));
    EXPECT_EQ(0u, BackupSummaryText(outcome, kRunLogPath).find("De back-up is niet volledig:"));
    EXPECT_FALSE(HasTempFile(Dest()));
}

// A stick pulled out mid-file: one message with the true reason, not
// "full" and no second one about the record; the temporary file goes as
// soon as the stick is back (here, before the message is answered), or by
// the next run when it is not.
TEST_F(Backup, AStickThatVanishesMidFileGivesOneMessageWithTheTrueReason) {
    if (!RunningUnderWine()) GTEST_SKIP() << "a drive letter is made under Wine only";
    MakeShow();
    const std::string folder = Root('E') + "\\Stick";
    ASSERT_TRUE(MakeFolderTree(folder));
    FreeSpaceStub space(kPlenty);
    for (const bool plugBackIn : {true, false}) {
        SCOPED_TRACE(plugBackIn ? "plugged in again" : "left out");
        DeleteTree(folder);
        ASSERT_TRUE(MakeFolderTree(folder));
        ScopedDriveLetter stick('T', folder);
        ASSERT_TRUE(stick.Made());
        s_stick = &stick;
        s_plugBackIn = plugBackIn;
        s_messages.clear();
        s_writesLeft = 1;
        ScopedSeam<BackupWriteFn> writes(g_pfnBackupWrite, &StickPulledAfterOneWrite);
        ScopedSeam<MessageBoxFn> boxes(g_pfnMessageBox, &AnsweredWithTheStick);
        const size_t before = LogSoFar().size();
        BackupOutcome outcome;
        ASSERT_EQ(BackupResult::Ran, MakeBackup(Show(), "T:\\", nullptr, nullptr, &outcome));
        const std::string log = LogSoFar().substr(before);
        ASSERT_EQ(1u, s_messages.size()) << log;
        EXPECT_EQ(0u, s_messages[0].find("De doelschijf is niet meer bereikbaar. De back-up is afgebroken bij:\n" +
                                         Show()))
            << s_messages[0];
        EXPECT_NE(std::string::npos, s_messages[0].find(" zijn niet gekopieerd. Sluit de USB-stick (of de "
                                                        "doelschijf) weer aan en start de back-up dan opnieuw."));
        EXPECT_EQ(std::string::npos, s_messages[0].find("De doelschijf is vol"));
        EXPECT_NE(std::string::npos, log.find("-> fout - De doelschijf is niet meer bereikbaar.\n\r")) << log;
        EXPECT_EQ(0u, BackupSummaryText(outcome, kRunLogPath).find("De back-up is niet volledig:"));
        stick.Make();
        if (plugBackIn) {
            EXPECT_NE(std::string::npos, log.find("-> tijdelijk bestand verwijderd - T:\\Demo\\")) << log;
        } else {
            EXPECT_NE(std::string::npos, log.find("-> tijdelijk bestand blijft - T:\\Demo\\")) << log;
            EXPECT_TRUE(HasTempFile(folder));
            // The next run, with the stick in, clears it and completes.
            g_pfnBackupWrite = &WriteBackupFile;
            ASSERT_EQ(BackupResult::Ran, MakeBackup(Show(), "T:\\", nullptr, nullptr, &outcome));
            EXPECT_EQ(0, outcome.failed);
        }
        EXPECT_FALSE(HasTempFile(folder));
        s_stick = nullptr;
    }
}

TEST_F(Backup, CheckingTheBackupFindsAFlippedByteAndARemovedFile) {
    MakeShow();
    FreeSpaceStub space(kPlenty);
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    const size_t before = LogSoFar().size();
    BackupCheckResult good = CheckBackup(Dest() + "\\Demo\\", nullptr);
    EXPECT_TRUE(good.hasRecord);
    EXPECT_EQ(4, good.checked);
    EXPECT_TRUE(good.missing.empty() && good.damaged.empty());

    // One byte of the picture flipped in place, size and time kept.
    std::string bytes = ReadWholeFile(Copy("Plaatjes\\titel.jpg"));
    const uint64_t time = WriteTimeOf(Copy("Plaatjes\\titel.jpg"));
    bytes[20000] ^= 1;
    MakeTestFile(Copy("Plaatjes\\titel.jpg"), bytes);
    SetWriteTime(Copy("Plaatjes\\titel.jpg"), time);
    ASSERT_TRUE(::DeleteFileA(Copy("demo.ws4").c_str()));
    const BackupCheckResult bad = CheckBackup(Dest() + "\\Demo", nullptr);
    EXPECT_EQ(4, bad.checked);
    EXPECT_EQ(std::vector<std::string>{"demo.ws4"}, bad.missing);
    EXPECT_EQ(std::vector<std::string>{"Plaatjes\\titel.jpg"}, bad.damaged);
    const std::string log = LogSoFar().substr(before);
    EXPECT_NE(std::string::npos, log.find("Start controle back-up\n\r-> map - " + Dest() + "\\Demo\\\n\r"));
    EXPECT_NE(std::string::npos, log.find("-> ontbreekt - " + Copy("demo.ws4") + "\n\r"));
    EXPECT_NE(std::string::npos, log.find("-> beschadigd - " + Copy("Plaatjes\\titel.jpg") + "\n\r"));
    EXPECT_NE(std::string::npos, log.find("Einde controle back-up\n\r"));

    // A folder without a record cannot be checked.
    EXPECT_FALSE(CheckBackup(Show(), nullptr).hasRecord);
}

// The check is in orde only for a whole record of a complete run whose
// files all read back and hold every file the show names; each other case
// is its own finding in the log, and the verdict line says what to do.
TEST_F(Backup, TheCheckPassesOnlyACompleteUndamagedBackup) {
    struct Row {
        const char* what;
        std::string show;                // the show file's bytes
        BackupProgressFn progress;       // for the back-up
        std::function<void()> after;     // done to the back-up before the check
        bool proven;
        std::string finding;             // in the check's log
    };
    const std::string names = Show() + "Audio\\intro.wav" + std::string(1, '\0') + Show() + "Plaatjes\\titel.jpg";
    const std::string record = Dest() + "\\Demo - Zekerpad-back-up.txt";
    const auto editRecord = [record](const std::function<void(std::string&)>& edit) {
        return [record, edit] {
            std::string text = ReadWholeFile(record);
            edit(text);
            ASSERT_TRUE(WriteWholeFile(record, text));
        };
    };
    int files = 0;
    const Row rows[] = {
        {"as made", names, nullptr, nullptr, true, "-> uitslag - De back-up is in orde: elk bestand"},
        {"stopped after the first file", names,
         [&](const std::string& name, int64_t) { return name.empty() || ++files < 2; },
         nullptr, false, "-> onvolledig - de laatste back-up was niet volledig (gestopt)\n\r"},
        {"a copy removed", names, nullptr, [&] { ASSERT_TRUE(::DeleteFileA(Copy("Audio\\intro.wav").c_str())); },
         false, "-> ontbreekt - " + Copy("Audio\\intro.wav") + "\n\r"},
        {"the show names a file the back-up lacks", names + std::string(1, '\0') + Show() + "Audio\\nieuw.wav",
         nullptr, nullptr, false, "-> niet in back-up - " + Show() + "Audio\\nieuw.wav (demo.ws4)\n\r"},
        {"the show names a file outside its folder", names + std::string(1, '\0') + "D:\\Elders\\x.wav", nullptr,
         nullptr, false, "-> buiten de map - D:\\Elders\\x.wav (demo.ws4)\n\r"},
        {"the record cut inside a line", names, nullptr,
         editRecord([](std::string& t) { t.resize(t.find("verborgen.txt") + 20); }), false,
         "-> overzicht beschadigd - " + record + "\n\r"},
        {"a byte of the record changed", names, nullptr,
         editRecord([](std::string& t) { t[t.find("verborgen.txt")] = 'V'; }), false,
         "-> overzicht beschadigd - " + record + "\n\r"},
        {"a record of the earlier version", names, nullptr,
         editRecord([](std::string& t) {
             t.erase(t.find("Laatste back-up"), t.find("Deze back-upmap") - t.find("Laatste back-up"));
             t.erase(t.find("Einde van het overzicht"));
         }),
         false, "-> onvolledig - overzicht van een eerdere versie"},
        {"only the record's header lines, beside an empty folder", names, nullptr,
         [&] {
             DeleteTree(Dest() + "\\Demo");
             MakeFolderTree(Dest() + "\\Demo");
             ASSERT_TRUE(WriteWholeFile(record, "Zekerpad back-up\r\nMap van de show: " + Show() + "\r\n"));
         },
         false, "-> overzicht beschadigd - " + record + "\n\r"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DeleteTree(Dest());
        MakeShow();
        MakeTestFile(Show() + "demo.ws4", row.show);
        FreeSpaceStub space(kPlenty);
        BackupOutcome outcome;
        files = 0;
        ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome, row.progress));
        if (row.after) row.after();
        const size_t before = LogSoFar().size();
        const BackupCheckResult result = CheckBackup(Dest() + "\\Demo", nullptr);
        const std::string log = LogSoFar().substr(before);
        EXPECT_EQ(row.proven, BackupProven(result));
        EXPECT_NE(std::string::npos, log.find(row.finding)) << log;
        if (!row.proven) {
            EXPECT_NE(std::string::npos, log.find("Maak de back-up opnieuw.\n\rEinde controle back-up")) << log;
        }
    }
}

// After a change of daylight-saving time a FAT stick shows every copy an
// hour off. Each show file is read once and compared with the record: the
// same bytes copy nothing and keep no older version (the copy shows the
// show's time again); other bytes of the same size are copied.
TEST_F(Backup, AnHoursShiftCopiesOnlyWhatReallyChanged) {
    MakeShow();
    FreeSpaceStub space(kPlenty);
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    ASSERT_EQ(4, outcome.copied);
    const uint64_t hour = 36000000000ULL;
    const char* files[] = {"demo.ws4", "Audio\\intro.wav", "Plaatjes\\titel.jpg", "verborgen.txt"};
    for (const char* f : files) SetWriteTime(Copy(f), WriteTimeOf(Show() + f) + hour);
    // Other bytes, the same size and time.
    const uint64_t titleTime = WriteTimeOf(Show() + "Plaatjes\\titel.jpg");
    MakeTestFile(Show() + "Plaatjes\\titel.jpg", TestBytes(40000, 8));
    SetWriteTime(Show() + "Plaatjes\\titel.jpg", titleTime);

    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(1, outcome.copied);
    EXPECT_EQ(40000, outcome.copiedBytes);
    EXPECT_EQ(3, outcome.unchanged);
    EXPECT_EQ(0, outcome.failed);
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(0u, BackupSummaryText(outcome, kRunLogPath).find("De back-up is klaar en volledig."));
    EXPECT_EQ(TestBytes(40000, 8), ReadWholeFile(Copy("Plaatjes\\titel.jpg")));
    for (const char* f : files) EXPECT_EQ(WriteTimeOf(Show() + f), WriteTimeOf(Copy(f))) << f;
    // Only the changed file's old copy is kept.
    const std::vector<std::string> older = TreeOf(Dest() + "\\Demo oudere versies");
    ASSERT_EQ(3u, older.size());
    EXPECT_EQ(older[0] + "Plaatjes\\titel.jpg", older[2]);
    EXPECT_TRUE(BackupProven(CheckBackup(Dest() + "\\Demo", nullptr)));

    // The next run finds every time equal again.
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(0, outcome.copied);
    EXPECT_EQ(4, outcome.unchanged);
}

// A record that is empty, too large to be one, or cut after its first
// lines is a damaged record (the check says why), never "no record" and
// never an earlier version's; the next back-up writes a whole one.
TEST_F(Backup, AnEmptyAHugeAndACutRecordAreDamagedRecords) {
    const std::string record = Dest() + "\\Demo - Zekerpad-back-up.txt";
    const auto huge = [&] {
        UniqueFile f(::CreateFileA(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        LARGE_INTEGER end{};
        end.QuadPart = (256LL << 20) + 1;
        ASSERT_TRUE(f && ::SetFilePointerEx(f.get(), end, nullptr, FILE_BEGIN) && ::SetEndOfFile(f.get()));
    };
    const struct {
        const char* what;
        std::function<void()> write;
        const char* reason;
        bool namesTheShow;
    } rows[] = {
        {"empty", [&] { ASSERT_TRUE(WriteWholeFile(record, "")); }, "het bestand is leeg", false},
        {"over 256 MB", huge, "het bestand is groter dan 256 MB", false},
        {"cut after its first lines",
         [&] { ASSERT_TRUE(WriteWholeFile(record, "\xEF\xBB\xBFZekerpad back-up\r\nMap van de show: " + Show() + "\r\n")); },
         "het houdt op na de eerste regels", true},
        {"no record's first line", [&] { ASSERT_TRUE(WriteWholeFile(record, std::string(4096, '\0'))); },
         "het is geen overzicht van Zekerpad", false},
    };
    MakeShow();
    FreeSpaceStub space(kPlenty);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        BackupOutcome outcome;
        ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
        row.write();
        const size_t before = LogSoFar().size();
        const BackupCheckResult result = CheckBackup(Dest() + "\\Demo", nullptr);
        const std::string log = LogSoFar().substr(before);
        EXPECT_TRUE(result.hasRecord);
        EXPECT_TRUE(result.recordDamaged);
        EXPECT_FALSE(BackupProven(result));
        EXPECT_NE(std::string::npos, log.find("-> overzicht beschadigd - " + record + "\n\r")) << log;
        EXPECT_NE(std::string::npos,
                  log.find(std::string("-> uitslag - Het overzicht van de back-up is beschadigd (") + row.reason +
                           "): niet na te gaan is of de back-up volledig en gaaf is. Maak de back-up opnieuw.\n\r"))
            << log;
        EXPECT_EQ(std::string::npos, log.find("eerdere versie")) << log;
        EXPECT_EQ(std::string::npos, log.find("geen overzicht gevonden")) << log;
        // The next back-up uses its own folder again and leaves a whole
        // record; a record that names no show lets it ask first.
        const size_t boxes = m_boxes.Boxes().size();
        ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
        EXPECT_EQ(0, outcome.failed);
        const std::vector<std::string> all = BoxTexts();
        const std::vector<std::string> asked(all.begin() + static_cast<long>(boxes), all.end());
        if (row.namesTheShow) {
            EXPECT_TRUE(asked.empty());
        } else {
            ASSERT_EQ(1u, asked.size());
            EXPECT_EQ(0u, asked[0].find("In de doelmap staat al een map met deze naam; het overzicht van Zekerpad "
                                        "ernaast is beschadigd en noemt geen show:\n" + Dest() + "\\Demo\\\n\n"));
        }
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((Dest() + "\\Demo (2)").c_str()));
        EXPECT_TRUE(BackupProven(CheckBackup(Dest() + "\\Demo", nullptr)));
    }
}

// What the last check found damaged is copied again by the next back-up,
// the damaged copy kept with the older versions; a copy the record does not
// vouch for is taken in only when its bytes are the show's.
TEST_F(Backup, MakingTheBackupAgainHealsWhatTheCheckFound) {
    MakeShow();
    FreeSpaceStub space(kPlenty);
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    const auto damage = [&](const std::string& relative) {
        std::string bytes = ReadWholeFile(Copy(relative));
        const uint64_t time = WriteTimeOf(Copy(relative));
        bytes[bytes.size() / 2] ^= 1;
        MakeTestFile(Copy(relative), bytes);
        SetWriteTime(Copy(relative), time);
        return bytes;
    };
    const std::string damaged = damage("Plaatjes\\titel.jpg");
    EXPECT_FALSE(BackupProven(CheckBackup(Dest() + "\\Demo", nullptr)));
    // The dialog's plan line says so before Starten.
    std::vector<BackupEntry> source;
    ASSERT_TRUE(ListBackupTree(Show(), source, nullptr));
    const BackupPlan plan = PlanBackupAt(source, Show(), Dest() + "\\Demo\\", BackupVolume());
    EXPECT_EQ(1, plan.copyCount);
    EXPECT_EQ(1, plan.olderCount);
    int64_t planned = -1;
    ASSERT_EQ(BackupResult::Ran,
              MakeBackup(Show(), Dest(), nullptr, nullptr, &outcome, [&](int64_t bytes) { planned = bytes; }));
    EXPECT_EQ(40000, planned);  // known as a copy before the run, for the room and the progress
    EXPECT_EQ(1, outcome.copied);
    EXPECT_EQ(0, outcome.failed);
    EXPECT_EQ(TestBytes(40000, 3), ReadWholeFile(Copy("Plaatjes\\titel.jpg")));
    std::vector<std::string> older = TreeOf(Dest() + "\\Demo oudere versies");
    ASSERT_EQ(3u, older.size());
    EXPECT_EQ(damaged, ReadWholeFile(Dest() + "\\Demo oudere versies\\" + older[0] + "Plaatjes\\titel.jpg"));
    EXPECT_FALSE(PathIsFile(Dest() + "\\Demo - Zekerpad-controle.txt"));
    EXPECT_TRUE(BackupProven(CheckBackup(Dest() + "\\Demo", nullptr)));

    // Without a record: the damaged copy is copied again, the good ones get
    // their line; a copy that cannot be read fails and gets none.
    const std::string record = Dest() + "\\Demo - Zekerpad-back-up.txt";
    ASSERT_TRUE(::DeleteFileA(record.c_str()));
    damage("Audio\\intro.wav");
    {
        UniqueFile held = HoldOpen(Copy("verborgen.txt"), 0);
        ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    }
    EXPECT_EQ(1, outcome.copied);
    EXPECT_EQ(2, outcome.unchanged);
    EXPECT_EQ(1, outcome.failed);
    EXPECT_EQ(TestBytes(2500000, 2), ReadWholeFile(Copy("Audio\\intro.wav")));
    const std::string lines = ReadWholeFile(record);
    EXPECT_NE(std::string::npos, lines.find("\r\ndemo.ws4\t300\t"));
    EXPECT_NE(std::string::npos, lines.find("\r\nPlaatjes\\titel.jpg\t40000\t"));
    EXPECT_NE(std::string::npos, lines.find("\r\nAudio\\intro.wav\t2500000\t"));
    EXPECT_EQ(std::string::npos, lines.find("verborgen.txt"));
    EXPECT_NE(std::string::npos, lines.find("Laatste back-up: niet volledig (1 bestand niet gekopieerd)\r\n"));
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(4, outcome.unchanged);
    EXPECT_TRUE(BackupProven(CheckBackup(Dest() + "\\Demo", nullptr)));
}

// The copy's bytes also go through the content check: a file of the show
// that holds only zeros is copied as it is, and named as suspect.
TEST_F(Backup, AFileOfTheShowThatLooksDamagedIsNamedInTheSummary) {
    MakeShow();
    MakeTestFile(Show() + "Audio\\stil.wav", std::string(3000, '\0'));
    FreeSpaceStub space(kPlenty);
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(5, outcome.copied);
    EXPECT_EQ(std::string(3000, '\0'), ReadWholeFile(Copy("Audio\\stil.wav")));
    // Besides the silence, the show's two pictures and sound hold test bytes, no media.
    EXPECT_EQ("De back-up is klaar en volledig.\nLet op: 3 bestanden lijken beschadigd (zie het logboek). Zet een goede kopie in de map van de show en maak de back-up opnieuw.\nGekopieerd: "
              "5 bestanden (2,4 MB). Ongewijzigd: 0. Mislukt: 0.\nElk bestand staat in het logboek "
              "C:\\Zekerpad.log.",
              BackupSummaryText(outcome, kRunLogPath));
    EXPECT_NE(std::string::npos, LogSoFar().find("-> lijkt beschadigd - " + Show() + "Audio\\stil.wav (leeg: het "
                                                 "bestand bevat alleen nullen; zet een goede kopie terug)\n\r"));

    // Without the record, every copy is compared with the show's file: read
    // anyway, and judged on the way.
    ASSERT_TRUE(::DeleteFileA((Dest() + "\\Demo - Zekerpad-back-up.txt").c_str()));
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(0, outcome.copied);
    EXPECT_EQ(5, outcome.unchanged);
    EXPECT_EQ(3, outcome.suspect);
}

// The dialog shows the check's verdict, and the message names each finding.
TEST_F(Backup, TheDialogSaysTheChecksVerdict) {
    MakeShow();
    FreeSpaceStub space(kPlenty);
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    g_csBackupMap = Dest();
    std::string good, bad, planBefore, planAfterGood, planAfterBad, planAfterRepair;
    ModalDriver dialog("Zekerpad - Back-up maken", {[&](HWND dlg) {
                           planBefore = ItemText(dlg, IDC_BACKUP_PLAN);
                           ClickDialogButton(dlg, IDC_BACKUP_VERIFY);
                           good = ItemText(dlg, IDC_BACKUP_SUMMARY);
                           planAfterGood = ItemText(dlg, IDC_BACKUP_PLAN);
                           EXPECT_TRUE(SaveShot(dlg, "backup\\controle-in-orde"));
                           ::DeleteFileA(Copy("verborgen.txt").c_str());
                           ClickDialogButton(dlg, IDC_BACKUP_VERIFY);
                           bad = ItemText(dlg, IDC_BACKUP_SUMMARY);
                           planAfterBad = ItemText(dlg, IDC_BACKUP_PLAN);
                           // Put back by hand, the next good check gives the counts back.
                           ::CopyFileA((Show() + "verborgen.txt").c_str(), Copy("verborgen.txt").c_str(), TRUE);
                           ClickDialogButton(dlg, IDC_BACKUP_VERIFY);
                           planAfterRepair = ItemText(dlg, IDC_BACKUP_PLAN);
                           EXPECT_TRUE(SaveShot(dlg, "backup\\controle-bevindingen"));
                           ClickDialogButton(dlg, IDCANCEL);
                       }});
    CDialogBackup backup(Show());
    backup.DoModal(nullptr);
    ASSERT_TRUE(dialog.Done());
    EXPECT_EQ("De back-up is in orde: elk bestand is van de schijf gelezen en gelijk aan het overzicht.\n"
              "Gecontroleerd: 4 bestanden.\nElk bestand staat in het logboek C:\\Zekerpad.log.",
              good);
    EXPECT_EQ("De back-up is niet in orde: 1 bestand ontbreekt. Maak de back-up opnieuw.\nGecontroleerd: 4 "
              "bestanden.\nElk bestand staat in het logboek C:\\Zekerpad.log.",
              bad);
    // Up to date by name, size and time, until the check finds otherwise.
    const std::string upToDate = "De back-up komt in de map:\n" + Dest() +
                                 "\\Demo\\\nEr is niets te kopi\xEBren: alle 4 bestanden staan al ongewijzigd in de "
                                 "back-up. Vrij op de doelschijf: 954 MB.";
    EXPECT_EQ(upToDate, planBefore);
    EXPECT_EQ(upToDate, planAfterGood);
    EXPECT_EQ("De back-up in de map:\n" + Dest() + "\\Demo\\\nis niet in orde (zie hieronder). Klik op Starten "
              "om hem opnieuw te maken, bij voorkeur in een doelmap op een andere schijf of USB-stick.",
              planAfterBad);
    // (The copy put back counts again: the plan compares names, sizes and times.)
    EXPECT_EQ(0u, planAfterRepair.find("De back-up komt in de map:\n" + Dest() + "\\Demo\\\n"));
    EXPECT_EQ(std::string::npos, planAfterRepair.find("niet in orde"));
    ASSERT_EQ(1u, BoxTexts().size());
    EXPECT_EQ("De back-up in " + Dest() + "\\Demo\\ is niet in orde.\n\nOntbreekt:\nverborgen.txt\n\nMaak de "
              "back-up opnieuw, bij voorkeur op een andere schijf of USB-stick.",
              BoxTexts()[0]);
}

// The show saved again in Wings after its analysis, now naming a file
// outside its folder: the run reads the show it copied and is not
// complete, as the check would say; back in order, the next run is.
TEST_F(Backup, AShowSavedAgainWithAFileOutsideItsFolderMakesTheRunIncomplete) {
    MakeShow();
    FreeSpaceStub space(kPlenty);
    MakeTestFile(Show() + "demo.ws4", ShowFileBytes({Show() + "Audio\\intro.wav", Root('C') + "\\Muziek\\lied.mp3"}));
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ((std::vector<std::string>{Root('C') + "\\Muziek\\lied.mp3"}), outcome.notHeld);
    EXPECT_EQ(0u, BackupSummaryText(outcome, kRunLogPath)
                      .find("De back-up is niet volledig: de show noemt 1 bestand dat niet in de back-up staat (zie "
                            "het logboek). Analyseer de show opnieuw en maak dan de back-up opnieuw.\n"));
    EXPECT_NE(std::string::npos, ReadWholeFile(Dest() + "\\Demo - Zekerpad-back-up.txt")
                                     .find("1 bestand genoemd door de show, niet in de back-up"));
    EXPECT_NE(std::string::npos,
              LogSoFar().find("-> buiten de map - " + Root('C') + "\\Muziek\\lied.mp3 (demo.ws4)\n\r"));
    EXPECT_FALSE(BackupProven(CheckBackup(Dest() + "\\Demo", nullptr)));

    MakeTestFile(Show() + "demo.ws4", ShowFileBytes({Show() + "Audio\\intro.wav"}));
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_TRUE(outcome.notHeld.empty());
    EXPECT_EQ(0u, BackupSummaryText(outcome, kRunLogPath).find("De back-up is klaar en volledig."));
    EXPECT_TRUE(BackupProven(CheckBackup(Dest() + "\\Demo", nullptr)));
}

// A recording the show names, removed by hand from its folder and from the
// back-up after a complete run: the next run copies nothing, yet reads the
// show it holds again and is not complete.
TEST_F(Backup, AFileTheShowNamesRemovedFromShowAndBackupMakesTheNextRunIncomplete) {
    MakeShow();
    FreeSpaceStub space(kPlenty);
    MakeTestFile(Show() + "demo.ws4", ShowFileBytes({Show() + "Audio\\intro.wav"}));
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    ASSERT_TRUE(BackupComplete(outcome));
    ASSERT_TRUE(::DeleteFileA((Show() + "Audio\\intro.wav").c_str()));
    ASSERT_TRUE(::DeleteFileA(Copy("Audio\\intro.wav").c_str()));

    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(0, outcome.copied);
    EXPECT_EQ((std::vector<std::string>{Show() + "Audio\\intro.wav"}), outcome.notHeld);
    EXPECT_NE(std::string::npos, ReadWholeFile(Dest() + "\\Demo - Zekerpad-back-up.txt")
                                     .find("1 bestand genoemd door de show, niet in de back-up"));
}

// A program writes the recording while the back-up reads it. The source
// is read without write sharing, so the write gets through only once its
// copy is read back: the copy is neither the old file nor the new one.
// It is copied once more; when it changes again, no torn copy is put in
// place and the run is not complete.
TEST_F(Backup, AFileWrittenWhileItIsCopiedIsCopiedAgainAndAgainChangedIsNotComplete) {
    MakeShow();
    FreeSpaceStub space(kPlenty);
    const std::string source = Show() + "Audio\\intro.wav";
    int writes = 0, limit = 1;
    const BackupProgressFn progress = [&](const std::string& relative, int64_t) {
        if (relative != "Audio\\intro.wav" || writes >= limit) return true;
        UniqueFile f(::CreateFileA(source.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
        if (!f) return true;  // still held by the copy
        ::SetFilePointer(f.get(), 1000000, nullptr, FILE_BEGIN);
        const char changed = static_cast<char>('A' + writes++);
        DWORD put = 0;
        ::WriteFile(f.get(), &changed, 1, &put, nullptr);
        return true;
    };
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome, progress));
    EXPECT_EQ(1, writes);
    EXPECT_EQ(0, outcome.failed);
    EXPECT_EQ(ReadWholeFile(source), ReadWholeFile(Copy("Audio\\intro.wav")));
    EXPECT_EQ('A', ReadWholeFile(Copy("Audio\\intro.wav"))[1000000]);
    EXPECT_TRUE(BackupProven(CheckBackup(Dest() + "\\Demo", nullptr)));

    // Changed during both tries: the copy of the first run stays in place.
    writes = 0;
    limit = 100;
    MakeTestFile(source, TestBytes(2500000, 7));
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome, progress));
    EXPECT_GE(writes, 2);  // at least once in each try
    EXPECT_EQ(1, outcome.failed);
    EXPECT_EQ('A', ReadWholeFile(Copy("Audio\\intro.wav"))[1000000]);
    EXPECT_FALSE(HasTempFile(Dest() + "\\Demo"));
    EXPECT_EQ(0u, BackupSummaryText(outcome, kRunLogPath).find("De back-up is niet volledig: 1 bestand kon niet worden gekopieerd"));
    ASSERT_EQ(1u, BoxTexts().size());
    EXPECT_NE(std::string::npos, BoxTexts()[0].find("Het bestand veranderde tijdens het kopi\xEBren, ook bij een tweede poging"))
        << BoxTexts()[0];
    EXPECT_NE(std::string::npos, ReadWholeFile(Dest() + "\\Demo - Zekerpad-back-up.txt").find("niet volledig"));
    EXPECT_FALSE(BackupProven(CheckBackup(Dest() + "\\Demo", nullptr)));
}

// A check finds a damaged copy it cannot note beside the back-up (a
// write-protected stick): it keeps the finding on this PC and says so, and
// once the stick takes writes again the next back-up copies the file again.
TEST_F(Backup, FindingsAWriteProtectedStickCannotTakeReachTheNextBackup) {
    MakeShow();
    FreeSpaceStub space(kPlenty);
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    const BackupCheckResult check = CheckADamagedTitleOnAStickWithoutRoomForFindings();
    EXPECT_EQ((std::vector<std::string>{"Plaatjes\\titel.jpg"}), check.damaged);
    EXPECT_TRUE(check.findingsOnlyHere);
    EXPECT_FALSE(PathIsFile(Dest() + "\\Demo - Zekerpad-controle.txt"));
    EXPECT_NE(std::string::npos, LogSoFar().find("-> bevindingen bewaard - "));

    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(1, outcome.copied);
    EXPECT_EQ(TestBytes(40000, 3), ReadWholeFile(Copy("Plaatjes\\titel.jpg")));
    EXPECT_TRUE(BackupProven(CheckBackup(Dest() + "\\Demo", nullptr)));
    // Healed: nothing is left to copy again, here or on the stick.
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(0, outcome.copied);
}

// A record another program holds open cannot be replaced: the run is not
// complete and says which file and why (a run that changed nothing has
// nothing to write).
TEST_F(Backup, ARecordThatCannotBeWrittenMakesTheRunIncomplete) {
    MakeShow();
    FreeSpaceStub space(kPlenty);
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    const std::string record = Dest() + "\\Demo - Zekerpad-back-up.txt";
    // Nothing changed, so nothing is written: the record held open does
    // not matter, and not even a file is made and removed in the folder.
    const auto folderTime = [&] {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ::GetFileAttributesExA((Dest() + "\\Demo").c_str(), GetFileExInfoStandard, &data);
        return (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    };
    SetWriteTime(Dest() + "\\Demo", 133590096000000000ULL);
    {
        UniqueFile held = HoldOpen(record, FILE_SHARE_READ);
        ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    }
    EXPECT_EQ(133590096000000000ULL, folderTime());
    EXPECT_EQ(4, outcome.unchanged);
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(0u, BackupSummaryText(outcome, kRunLogPath).find("De back-up is klaar en volledig."));

    MakeTestFile(Show() + "Plaatjes\\titel.jpg", TestBytes(40000, 8));
    {
        UniqueFile held = HoldOpen(record, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    }
    EXPECT_EQ(0u, BackupSummaryText(outcome, kRunLogPath)
                      .find("De back-up is niet volledig: het overzicht " + record + " kon niet worden geschreven"));
    ASSERT_EQ(1u, BoxTexts().size());
    EXPECT_EQ(0u, BoxTexts()[0].find("Het overzicht van de back-up kan niet worden geschreven:\n" + record + "\n\n"));
    EXPECT_FALSE(BackupProven(CheckBackup(Dest() + "\\Demo", nullptr)));
}

// Before Starten the plan line names the free folder when the show's name
// is taken by another show, and how many older copies will be kept.
TEST_F(Backup, ThePlanLineNamesTheFreeFolderAndTheOlderCopiesBeforeStarten) {
    MakeShow();
    FreeSpaceStub space(kPlenty);
    const std::string dest = Dest('E') + "\\Voorstellingen van het voorjaar en de zomer op de grote zaal";
    MakeFolderTree(dest + "\\Demo");
    WriteWholeFile(dest + "\\Demo - Zekerpad-back-up.txt", "Zekerpad back-up\r\nMap van de show: C:\\Andere\\Demo\\\r\n");
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, MakeBackup(Show(), dest, nullptr, nullptr, &outcome));
    MakeTestFile(Show() + "Plaatjes\\titel.jpg", TestBytes(40000, 5));
    SetWriteTime(Show() + "Plaatjes\\titel.jpg", 133590096000000000ULL);
    g_csBackupMap = dest;

    std::string plan;
    ModalDriver dialog("Zekerpad - Back-up maken", {[&](HWND dlg) {
                           plan = ItemText(dlg, IDC_BACKUP_PLAN);
                           ClickDialogButton(dlg, IDCANCEL);
                       }});
    CDialogBackup backup(Show());
    backup.DoModal(nullptr);
    ASSERT_TRUE(dialog.Done());
    EXPECT_EQ("De back-up komt in de map:\n" + dest + "\\Demo (2)\\\nDe map Demo daar hoort bij een andere show; die "
              "blijft onaangeroerd.\nZekerpad kopieert de hele map van de show: ook het showbestand, de "
              ".tlg-bestanden en de andere bestanden in de map.\nTe kopi\xEBren: 1 bestand, 39,1 kB (3 ongewijzigd). Vrij op de doelschijf: "
              "954 MB.\n1 bestand verandert; de oudere kopie blijft bewaard bij de oudere versies.",
              plan);
}

// A drive letter is no disguise: one for a folder inside the show is
// refused, one for the show's own disk gets the same-disk warning, and a
// show whose disk comes back under another letter keeps its back-up folder.
TEST_F(Backup, ADriveLetterIsSeenThroughToAFolderInTheShowTheShowsDiskAndTheShowItself) {
    if (!RunningUnderWine()) GTEST_SKIP() << "a drive letter is made under Wine only";
    MakeShow();
    MakeFolderTree(Root('C') + "\\Elders");
    MakeFolderTree(Dest());
    FreeSpaceStub space(kPlenty);
    BackupOutcome outcome;
    const auto lastBox = [&] { return BoxTexts().empty() ? std::string() : BoxTexts().back(); };
    {
        ScopedDriveLetter audio('X', Show() + "Audio");
        ASSERT_TRUE(audio.Made());
        EXPECT_EQ(BackupResult::Refused, MakeBackup(Show(), "X:\\", nullptr, nullptr, &outcome));
        EXPECT_EQ("De doelmap ligt in de map van de show:\nX:\\\n\nEen back-up moet buiten de map van de show "
                  "staan. Kies een andere doelmap, bij voorkeur op een andere schijf.",
                  lastBox());
    }
    EXPECT_EQ(7u, TreeOf(Root('C') + "\\Demo").size());

    // G: is the show's disk C: under another letter.
    const std::string asG = "G:" + Show().substr(2);
    {
        ScopedDriveLetter disk('G', Root('C').substr(0, 3));
        ASSERT_TRUE(disk.Made());
        m_boxes.QueueAnswer(IDNO);
        EXPECT_EQ(BackupResult::Refused,
                  MakeBackup(Show(), "G:" + Root('C').substr(2) + "\\Elders", nullptr, nullptr, &outcome));
        EXPECT_EQ(0u, lastBox().find("De doelmap staat op dezelfde schijf als de show (C:).\n\n"));
        EXPECT_EQ(std::vector<std::string>{}, TreeOf(Root('C') + "\\Elders"));

        // The show backed up as G:; while G: is there, it is the same folder.
        ASSERT_EQ(BackupResult::Ran, MakeBackup(asG, Dest(), nullptr, nullptr, &outcome));
        EXPECT_EQ(4, outcome.copied);
        EXPECT_EQ("Demo", FindBackupFolder(Dest(), Show()).name);
    }
    // G: is gone and the show is on C: again.
    const std::string record = Dest() + "\\Demo - Zekerpad-back-up.txt";
    ASSERT_NE(std::string::npos, ReadWholeFile(record).find("\r\nMap van de show: " + asG + "\r\n"));
    const BackupFolderChoice choice = FindBackupFolder(Dest(), Show());
    EXPECT_EQ("Demo", choice.name);
    EXPECT_FALSE(choice.takenBy);
    ASSERT_EQ(BackupResult::Ran, MakeBackup(Show(), Dest(), nullptr, nullptr, &outcome));
    EXPECT_EQ(0, outcome.copied);
    EXPECT_EQ(4, outcome.unchanged);
    EXPECT_FALSE(PathIsFolder(Dest() + "\\Demo (2)"));
    EXPECT_NE(std::string::npos, ReadWholeFile(record).find("\r\nMap van de show: " + Show() + "\r\n"));
    EXPECT_TRUE(BackupProven(CheckBackup(Dest() + "\\Demo", nullptr)));
}

// Names compare as Windows compares them: a name changed only in case, with
// a letter outside ASCII, is the same file with new content; a file that
// became a folder, or a folder that became a file, is one message.
TEST_F(Backup, ANameChangedInCaseOrFromFileToFolderIsOneFileOrOneMessage) {
    MakeShow();
    const std::string cafe = "Plaatjes\\caf\xC3\xA9.jpg", CAFE = "Plaatjes\\CAF\xC3\x89.jpg";
    MakeByName(Show() + cafe, TestBytes(5000, 6));
    FreeSpaceStub space(kPlenty);
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    ASSERT_EQ(5, outcome.copied);

    ASSERT_TRUE(::DeleteFileW(WideFromUtf8(Show() + cafe).c_str()));
    MakeByName(Show() + CAFE, TestBytes(6000, 7));
    ASSERT_TRUE(::SetFileAttributesA((Show() + "verborgen.txt").c_str(), FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(::DeleteFileA((Show() + "verborgen.txt").c_str()));
    MakeTestFile(Show() + "verborgen.txt\\a.wav", TestBytes(10, 8));
    MakeTestFile(Show() + "verborgen.txt\\b.wav", TestBytes(10, 9));
    MakeTestFile(Show() + "verborgen.txt\\Oud\\c.wav", TestBytes(10, 10));
    ASSERT_TRUE(::RemoveDirectoryA((Show() + "Leeg").c_str()));
    MakeTestFile(Show() + "Leeg", "nu een bestand");
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(1, outcome.copied);
    EXPECT_EQ(2, outcome.failed);
    std::vector<std::string> boxes = BoxTexts();
    std::sort(boxes.begin(), boxes.end());
    EXPECT_EQ((std::vector<std::string>{
                  "De volgende map is niet in de back-up gekomen:\n" + Show() +
                      "verborgen.txt\n\nIn de back-up staat een bestand met dezelfde naam; de bestanden in deze map "
                      "zijn niet gekopieerd.",
                  "Het volgende bestand is niet in de back-up gekomen:\n" + Show() +
                      "Leeg\n\nIn de back-up staat een map met dezelfde naam."}),
              boxes);
    // The copy has the show's new spelling and content; the old one is an older version.
    EXPECT_EQ(TestBytes(6000, 7), ReadByName(Copy(CAFE)));
    const std::vector<std::string> tree = TreeOf(Dest() + "\\Demo");
    EXPECT_NE(tree.end(), std::find(tree.begin(), tree.end(), CAFE));
    EXPECT_EQ(tree.end(), std::find(tree.begin(), tree.end(), cafe));
    const std::vector<std::string> older = TreeOf(Dest() + "\\Demo oudere versies");
    ASSERT_EQ(3u, older.size());
    EXPECT_EQ(TestBytes(5000, 6), ReadByName(Dest() + "\\Demo oudere versies\\" + older[2]));
    EXPECT_NE(std::string::npos, ReadWholeFile(Dest() + "\\Demo - Zekerpad-back-up.txt").find("\r\n" + CAFE + "\t6000\t"));

    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(0, outcome.copied);
    EXPECT_EQ(4, outcome.unchanged);
    EXPECT_EQ(2, outcome.failed);
}

// On a stick of 32 KB clusters a hundred files of 1 KB take 3.2 MB: the
// room is counted so before anything is copied, and the refusal says it in
// MB; with that room free the back-up runs.
TEST_F(Backup, FreeSpaceIsCountedInTheDestinationsClusters) {
    MakeShow();
    for (int i = 0; i < 100; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Klein\\k%03d.wav", i);
        MakeTestFile(Show() + name, TestBytes(1024, i));
    }
    ScopedSeam<ClusterSizeFn> clusters(g_pfnClusterSize, &Clusters32K);
    BackupOutcome outcome;
    {
        // 2,642,710 bytes and 1 MB would fit; in clusters they need 7,072,448.
        FreeSpaceStub space(4000000);
        EXPECT_EQ(BackupResult::Refused, Run(Dest(), &outcome));
        ASSERT_EQ(1u, BoxTexts().size());
        EXPECT_EQ("Er is onvoldoende vrije ruimte op de doelschijf.\n\nNodig: 6,7 MB, voor de te kopi\xEBren bestanden "
                  "en 1 MB extra. De bestanden zijn samen 2,5 MB groot, maar op deze schijf krijgt elk bestand ruimte "
                  "in hele blokken van 32,0 kB, en elke map en elke naam neemt ook wat ruimte in.\nVrij: 3,8 MB.\n\n"
                  "Maak ruimte vrij op de doelschijf of kies een andere doelmap (bijvoorbeeld op een grotere "
                  "USB-stick), en klik dan opnieuw op Starten.",
                  BoxTexts()[0]);
        EXPECT_EQ(std::vector<std::string>{}, TreeOf(Dest()));
    }
    FreeSpaceStub space(7072448);
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(104, outcome.copied);
    EXPECT_EQ(0, outcome.failed);
}

// Școala.jpg edited and saved as școala.jpg: one file to the system. The
// copy takes its place with the new spelling, the old copy kept as an
// older version, and the run says "volledig", as does the one after it; a
// rename in case alone copies nothing.
TEST_F(Backup, ANameChangedInCaseBeyondAsciiReplacesItsCopyAndTheRunsAreComplete) {
    MakeShow();
    const std::string upper = "Plaatjes\\\xC8\x98" "coala.jpg", lower = "Plaatjes\\\xC8\x99" "coala.jpg";
    MakeByName(Show() + upper, TestBytes(5000, 6));
    FreeSpaceStub space(kPlenty);
    BackupOutcome outcome;
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    ASSERT_EQ(5, outcome.copied);

    ASSERT_TRUE(::DeleteFileW(WideFromUtf8(Show() + upper).c_str()));
    MakeByName(Show() + lower, TestBytes(6000, 7));
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(1, outcome.copied);
    EXPECT_EQ(0, outcome.failed);
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(0u, BackupSummaryText(outcome, kRunLogPath).find("De back-up is klaar en volledig."));
    EXPECT_EQ(TestBytes(6000, 7), ReadByName(Copy(lower)));
    const std::vector<std::string> tree = TreeOf(Dest() + "\\Demo");
    EXPECT_NE(tree.end(), std::find(tree.begin(), tree.end(), lower));
    EXPECT_EQ(tree.end(), std::find(tree.begin(), tree.end(), upper));
    const std::vector<std::string> older = TreeOf(Dest() + "\\Demo oudere versies");
    ASSERT_EQ(3u, older.size());
    EXPECT_EQ(TestBytes(5000, 6), ReadByName(Dest() + "\\Demo oudere versies\\" + older[2]));

    ASSERT_TRUE(::MoveFileW(WideFromUtf8(Show() + lower).c_str(),
                            WideFromUtf8(Show() + "Plaatjes\\\xC8\x98" "COALA.JPG").c_str()));
    ASSERT_EQ(BackupResult::Ran, Run(Dest(), &outcome));
    EXPECT_EQ(0, outcome.copied);
    EXPECT_EQ(5, outcome.unchanged);
    EXPECT_EQ(0u, BackupSummaryText(outcome, kRunLogPath).find("De back-up is klaar en volledig."));
    EXPECT_TRUE(BackupProven(CheckBackup(Dest() + "\\Demo", nullptr)));
}

}  // namespace


// The dialog's end after a back-up to the stick, and after a check that
// found a file missing, at 96 DPI and (run by the next test) at 144.
TEST_F(Backup, TheEndOfABackupToAStickAndOfAFailedCheckPicture) {
    MakeShow();
    FreeSpaceStub space(kPlenty);
    ASSERT_TRUE(MakeFolderTree(Dest('E')));
    g_csBackupMap = Dest('E');
    ModalDriver dialog("Zekerpad - Back-up maken", {[&](HWND dlg) {
                           ClickDialogButton(dlg, IDC_BACKUP_START);
                           EXPECT_TRUE(SaveShot(dlg, ShotFolder("words") + "8-backup-klaar"));
                           ::DeleteFileA(Copy("verborgen.txt", 'E').c_str());
                           ClickDialogButton(dlg, IDC_BACKUP_VERIFY);
                           EXPECT_TRUE(SaveShot(dlg, ShotFolder("words") + "8-backup-controle-fout"));
                           ClickDialogButton(dlg, IDCANCEL);
                       }});
    // With its show file, as the closing page opens it: "Elke week automatisch..." appears.
    CDialogBackup backup(Show(), Show() + "demo.ws4");
    backup.DoModal(nullptr);
    EXPECT_TRUE(dialog.Done());
}

TEST(BackupAt144Dpi, TheEndOfABackupToAStickAndOfAFailedCheckPicture) {
    if (InDpiChild()) GTEST_SKIP() << "the child itself";
    EXPECT_EQ(0, RunTestsAt144Dpi("Backup.TheEndOfABackupToAStickAndOfAFailedCheckPicture"));
}
