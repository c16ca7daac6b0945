// Starting Wings: the stand-in wings.exe is registered where Wings keeps
// its folder, and records the command line it was given.
#include <atomic>
#include <thread>

#include "app/app.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "services/state.h"
#include "common/win_raii.h"
#include "page/repair_fixture.h"

namespace {
const char kDir[] = "C:\\ZkRep\\Launcher";
const char kRecord[] = "C:\\ZkRep\\Launcher\\record.txt";

class WingsLauncher : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteTree(kDir);
        MakeFolderTree(kDir);
        ClearStandInEnv();
        SetStandInEnv("ZK_WINGS_RECORD", kRecord);
        g_csRecentFile = "C:\\ZkRep\\Launcher\\Mijn shows\\de show.ws4";
    }
    void TearDown() override {
        CloseRunLog();
        ClearStandInEnv();
        RegisterWingsFolder(StandInFolder());
        DeleteTree(kDir);
        g_csRecentFile.clear();
    }
    // Runs StartWings with the run log open; returns what it appended.
    std::string StartWingsLogged(bool* found) {
        LogWatch log;
        OpenRunLog();
        *found = m_app.StartWings();
        CloseRunLog();
        return log.Appended();
    }
    MessageBoxRecorder m_boxes;
    CWingsTestApp m_app;
};

const char kQuotedShow[] = "\"C:\\ZkRep\\Launcher\\Mijn shows\\de show.ws4\"";
}  // namespace

TEST_F(WingsLauncher, StartsWingsOnTheQuotedShowTwiceAndWaitsUntilItEnds) {
    RegisterWingsFolder(StandInFolder());
    const std::string release = std::string(kDir) + "\\release.flag";
    SetStandInEnv("ZK_WINGS_WAIT_FOR", release);
    std::atomic<bool> released{false};
    // Released only once Wings has started (it writes its command line at
    // once), so StartWings cannot have returned before by a race.
    std::thread releaser([&] {
        const DWORD deadline = ::GetTickCount() + 20000;
        while (ReadWholeFile(kRecord).empty() && ::GetTickCount() < deadline) ::Sleep(10);
        released = true;
        WriteWholeFile(release, "x");
    });
    bool found = false;
    const std::string log = StartWingsLogged(&found);
    const bool returnedAfterRelease = released;
    releaser.join();

    EXPECT_TRUE(found);
    EXPECT_TRUE(returnedAfterRelease) << "StartWings returned while Wings was still running";
    EXPECT_EQ(std::string(kQuotedShow) + " " + kQuotedShow + "\r\n", ReadWholeFile(kRecord));
    EXPECT_EQ("-> csExe - " + StandInFolder() + "\\wings.exe\n\r-> csExe - Bestaat\n\r-> csArg - " + kQuotedShow +
                  "\n\r",
              log);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(WingsLauncher, FolderAsStoredEvenWithATrailingBackslashOrTextAfterANull) {
    RegisterWingsFolder(StandInFolder() + "\\");
    bool found = false;
    std::string log = StartWingsLogged(&found);
    EXPECT_TRUE(found);
    EXPECT_EQ(0u, log.find("-> csExe - " + StandInFolder() + "\\\\wings.exe\n\r")) << log;

    // Only the text up to the first null counts, and a value stored without
    // its null is read whole, never beyond.
    const std::string folder = StandInFolder();
    const std::string withTail = folder + std::string("\0C:\\Elders", 11);
    for (const std::string& value : {withTail, folder}) {
        UniqueRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, "software\\AV Stumpfl\\Wings\\Global", 0,
                                                 KEY_WRITE, key.put()));
        ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExA(key.get(), "Installation Directory", 0, REG_SZ,
                                                  reinterpret_cast<const BYTE*>(value.data()),
                                                  static_cast<DWORD>(value.size())));
        log = StartWingsLogged(&found);
        EXPECT_TRUE(found);
        EXPECT_EQ(0u, log.find("-> csExe - " + folder + "\\wings.exe\n\r-> csExe - Bestaat\n\r")) << log;
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(WingsLauncher, MissingKeysAreCreatedEmptyAndTheUserIsTold) {
    ASSERT_EQ(ERROR_SUCCESS, ::RegDeleteTreeA(HKEY_CURRENT_USER, "software\\AV Stumpfl"));
    bool found = true;
    const std::string log = StartWingsLogged(&found);

    EXPECT_FALSE(found);
    EXPECT_EQ("-> csExe - \\wings.exe\n\r-> csExe - bestaat niet\n\r", log);
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    const auto& box = m_boxes.Boxes()[0];
    EXPECT_EQ("Helaas, Wings kan niet gelocaliseerd worden\n\nU zult Wings op de voor u normale manier moeten "
              "starten.",
              box.text);
    EXPECT_EQ(ProgramTitle(), box.caption);
    EXPECT_EQ(static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION), box.type);

    UniqueRegKey global;
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegOpenKeyExA(HKEY_CURRENT_USER, "software\\AV Stumpfl\\Wings\\Global", 0, KEY_READ, global.put()));
    DWORD values = 99, subkeys = 99;
    ASSERT_EQ(ERROR_SUCCESS, ::RegQueryInfoKeyA(global.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                                &values, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0u, values);
    EXPECT_EQ(0u, subkeys);
    EXPECT_FALSE(PathIsFile(kRecord));
}

TEST_F(WingsLauncher, AWingsThatCannotBeStartedIsReportedAndCountsAsNotFound) {
    // Present and readable, but no program.
    const std::string exe = std::string(kDir) + "\\wings.exe";
    ASSERT_TRUE(WriteWholeFile(exe, "Dit is geen programma.\r\n"));
    RegisterWingsFolder(kDir);
    bool found = true;
    const std::string log = StartWingsLogged(&found);

    EXPECT_FALSE(found);
    EXPECT_EQ(std::string("-> csExe - C:\\ZkRep\\Launcher\\wings.exe\n\r-> csExe - Bestaat\n\r-> csArg - ") +
                  kQuotedShow + "\n\r-> csExe - starten niet gelukt\n\r",
              log);
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    const auto& box = m_boxes.Boxes()[0];
    const std::string head = "Wings kon niet worden gestart:\nC:\\ZkRep\\Launcher\\wings.exe\n\n";
    const std::string tail = "\n\nU zult Wings op de voor u normale manier moeten starten.";
    ASSERT_GT(box.text.size(), head.size() + tail.size()) << "no reason given: " << box.text;
    EXPECT_EQ(head, box.text.substr(0, head.size()));
    EXPECT_EQ(tail, box.text.substr(box.text.size() - tail.size()));
    EXPECT_EQ(static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION), box.type);
    EXPECT_FALSE(PathIsFile(kRecord));
}

// The stand-in itself: the re-link that lets a fresh analysis come out green.
TEST(WingsStandIn, RelinksMissingFilesToWhereTheyNowLieInTheShowsTree) {
    const std::string root = "C:\\ZkRep\\StandIn";
    DeleteTree(root);
    const std::string show = root + "\\Show\\demo.ws4";
    const std::string movedOld = "C:\\ZkRep\\StandIn\\Oude plek\\Muziek\\intro.wav";  // longer than its new path
    const std::string movedNew = root + "\\Show\\Audio\\intro.wav";
    const std::string grownOld = "C:\\X\\dia.bmp";  // shorter than its new path
    const std::string grownNew = root + "\\Show\\Plaatjes\\dia.bmp";
    const std::string present = root + "\\Show\\Overige\\tekst.txt";
    const std::string lost = "C:\\Nergens\\weg.wav";
    MakeTestFile(movedNew, "wav");
    MakeTestFile(grownNew, "bmp");
    MakeTestFile(present, "txt");
    const std::string head("WS4\0\x01\x02", 6), tail("\x7f\0end", 5);
    MakeTestFile(show, head + movedOld + '\0' + "\x05" + present + '\0' + grownOld + '\0' + lost + '\0' + tail);

    ClearStandInEnv();
    SetStandInEnv("ZK_WINGS_RECORD", root + "\\record.txt");
    SetStandInEnv("ZK_WINGS_RELINK", "1");
    const std::string exe = StandInFolder() + "\\wings.exe";
    std::string line = "\"" + show + "\" \"" + show + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(process.get(), 30000));
    ClearStandInEnv();

    // In place, padded with zeros, when it fits; spliced in when longer.
    const std::string padded = movedNew + std::string(movedOld.size() - movedNew.size(), '\0');
    EXPECT_EQ(head + padded + '\0' + "\x05" + present + '\0' + grownNew + '\0' + lost + '\0' + tail,
              ReadWholeFile(show));
    EXPECT_FALSE(PathIsFile(show + ".zkwings.tmp"));
    DeleteTree(root);
}
