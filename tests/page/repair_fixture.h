// What the tests of the Wings launcher and the repair pages share: test
// files and records, the shared state of an analysed show, the stand-in
// for Wings, a free-space stub, and the check that no byte was lost.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "files/file_reference.h"
#include "services/state.h"
#include "files/free_space.h"
#include "support/test_support.h"

// Bytes that differ between seeds, so every test file has its own checksum.
std::string TestBytes(size_t size, int seed);
// Makes the folders along the way; the test fails when the file cannot be written.
void MakeTestFile(const std::string& path, const std::string& bytes);
bool PathIsFile(const std::string& path);
bool PathIsFolder(const std::string& path);

// A record as the analysis makes one for this path.
std::unique_ptr<CFileReference> MakeRecord(const std::string& path);

// The shared state after an analysis of this show that found nothing yet:
// drive, folder, the default subfolder names, results current.
void UseShow(const std::string& showPath);
// Adds a yellow record for the path, counted as yellow 1 or 2 by its drive.
void AddYellowRecord(const std::string& path);
void AddRedRecord(const std::string& path);

// The folder that holds the stand-in wings.exe, as a Windows path.
std::string StandInFolder();
// Sets HKCU\software\AV Stumpfl\Wings\Global "Installation Directory".
void RegisterWingsFolder(const std::string& folder);
// The stand-in's settings for the processes this test starts.
void SetStandInEnv(const char* name, const std::string& value);
void ClearStandInEnv();

// Stands in for the free-space query while it lives; records what was asked.
struct FreeSpaceError {
    unsigned long code;
};
class FreeSpaceStub {
public:
    // afterQuery runs after each query, to change the world meanwhile.
    explicit FreeSpaceStub(uint64_t freeBytes, std::function<void()> afterQuery = {});
    explicit FreeSpaceStub(FreeSpaceError error);
    FreeSpaceStub(const FreeSpaceStub&) = delete;
    FreeSpaceStub& operator=(const FreeSpaceStub&) = delete;
    ~FreeSpaceStub();
    // The folders the query was asked about, in order.
    const std::vector<std::string>& Asked() const;

private:
    ScopedSeam<FreeSpaceFn> m_seam;
    std::shared_ptr<void> m_outer;  // the answers of an enclosing stub
};

// Takes the checksum of every file the records name, of their .tlg
// companions, and of whatever already lies where a repair could write (the
// show's three subfolders, the ".bak" names). Verify() then fails the test
// for each of those files whose bytes exist nowhere they may be: at their
// own place, under the ".bak" name, or in one of the show's subfolders.
// Only a .tlg companion may be gone, when tlgMayBeDeleted and its sound
// file has arrived in a subfolder. Every file in the subfolders must be a
// whole copy of a recorded file: no partial target may be left.
class NothingLostCheck {
public:
    NothingLostCheck(const CFileReferenceList& records, const std::string& showFolder, bool tlgMayBeDeleted);
    void Verify() const;

private:
    struct Watched {
        std::string path;
        std::string bytes;
        std::vector<std::string> places;
        int soundIndex = -1;  // for a companion: its sound file's entry
    };
    void Watch(const std::string& path, std::vector<std::string> places, int soundIndex);
    std::string FoundAt(const Watched& w) const;

    std::vector<Watched> m_files;
    std::vector<std::string> m_subfolders;
    bool m_tlgMayBeDeleted;
};

// Presses a page's button; it must be enabled, as for a user.
void ClickButton(HWND page, int id);
// Position of the page's progress bar.
int ProgressPos(HWND page);

// A page test with the real wizard, message boxes answered, and the run
// log open.
class RepairPageTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Everything this test appended to the run log.
    std::string LogSoFar() const { return m_log->Appended(); }
    // Its own test folder, removed afterwards: "<drive>:\ZkRep\<test name>".
    std::string Root(char drive = 'C') const;
    // Activates a page and returns its window.
    HWND ShowPage(int index);

    MessageBoxRecorder m_boxes;
    std::unique_ptr<LogWatch> m_log;
    std::unique_ptr<WizardHarness> m_wizard;
    std::vector<std::string> m_cleanup;
};

// The yellow pages' tests: the show in "<root>\Show", the files the test
// makes, the records, the page; the nothing-lost check runs at the end.
class YellowPageTest : public RepairPageTest {
protected:
    static constexpr int kCorrigeren = 1007, kStartWings = 1009, kOpnieuw = 1008, kProgress = 1011, kText = 1006;

    YellowPageTest(int pageIndex, bool tlgMayBeDeleted)
        : m_pageIndex(pageIndex), m_tlgMayBeDeleted(tlgMayBeDeleted) {}
    std::string ShowFolder() const { return m_showFolder.empty() ? Root() + "\\Show\\" : m_showFolder; }
    std::string Media(char drive = 'C') const { return Root(drive) + "\\Media\\"; }
    std::string Audio() const { return ShowFolder() + "Audio\\"; }

    // Each file gets bytes of its own.
    void MakeFiles(const std::vector<std::string>& files);
    // With the shared state set: the nothing-lost check starts, the page opens.
    HWND Open();
    // The show, the files, the records, then the page.
    HWND Prepare(const std::vector<std::string>& files, const std::vector<std::string>& records);
    // Presses Corrigeren; returns what the run logged.
    std::string Correct();
    void ExpectEndedNormally();
    // An early return: progress bar left as far as it got, all buttons off.
    void ExpectStopped(int progress);
    // The texts of the failure messages (OK button, exclamation icon), in
    // order; the yellow-2 question is left out.
    std::vector<std::string> BoxTexts() const;
    void TearDown() override;

    HWND m_page = nullptr;
    size_t m_logStart = 0;
    std::unique_ptr<NothingLostCheck> m_check;
    std::string m_showFolder;  // when not "<root>\Show\"

private:
    int m_pageIndex;
    bool m_tlgMayBeDeleted;
};
