// Long work in the real program, watched from another process: the wizard
// answers the system while it waits for Wings; a log-off in the middle of a
// copy leaves no partial file and closes the log. (The search and the
// copies held at a step are proven in the page tests.)
#include "support/demo_world.h"
#include "support/driver.h"
#include "support/test_support.h"

#include <commctrl.h>
#include <prsht.h>

#include <memory>
#include <vector>

#include "resource.h"

namespace {

constexpr int kRed = 3, kYellow2 = 5;

std::string ProgramPath() { return ProgramFolder() + "\\Zekerpad.exe"; }

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

int64_t SizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// What the system asks of a window to see whether it hangs.
bool Answers(HWND wnd) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(wnd, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0;
}

// A file of the size on the Linux side, without writing its bytes.
bool MakeBigFile(const std::string& windowsPath, int64_t bytes) {
    const std::string unixPath = UnixPathOf(windowsPath);
    return !unixPath.empty() && RunUnixShell("truncate -s " + std::to_string(bytes) + " '" + unixPath + "'") == 0;
}

class LongWorkTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const char* folder : {"C:\\ZkLang", "D:\\ZkLang"}) DeleteTree(folder);
    }

    // Starts the program and presses Next until the page is current.
    void StartAt(int index) {
        m_run = std::make_unique<ZekerpadProcess>(ProgramPath());
        m_wizard = m_run->WaitForWizard();
        ASSERT_NE(m_wizard, nullptr);
        while (CurrentIndexOf(m_wizard) != index) {
            const HWND before = CurrentPageOf(m_wizard);
            PressWizardButton(m_wizard, PSBTN_NEXT);
            ASSERT_TRUE(WaitUntil([&] { return CurrentPageOf(m_wizard) != before; })) << "towards page " << index;
            ASSERT_LE(CurrentIndexOf(m_wizard), index);
        }
        m_page = CurrentPageOf(m_wizard);
    }

    // The yellow-2 page of a show that names one big file on D:, with the
    // copy started and the question answered (keep the original as .bak).
    void StartBigCopy() {
        ASSERT_TRUE(MakeFolderTree("D:\\ZkLang"));
        ASSERT_TRUE(MakeBigFile(kBig, kBigBytes));
        ASSERT_TRUE(MakeShowWorld("C:\\ZkLang\\Show\\lang.ws4", {kBig}));
        StartAt(kYellow2);
        ClickControl(m_page, IDC_BUTTON_1007);
        for (int box = 0; box < 2; ++box) {
            HWND found = nullptr;
            ASSERT_TRUE(WaitUntil([&] { return (found = FindMessageBox(m_run->Id())) != nullptr; }));
            AnswerMessageBox(found, ::GetDlgItem(found, IDNO) ? IDNO : IDOK);
            ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(found); }));
        }
    }
    // Windows asks whether the session may end while the copy runs.
    void AskToEndTheSessionDuringTheCopy() {
        ASSERT_TRUE(WaitUntil([&] { return Progress() > 0; }));
        DWORD_PTR answer = 0;
        ASSERT_TRUE(
            ::SendMessageTimeoutA(m_wizard, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 1000, &answer));
        EXPECT_EQ(TRUE, static_cast<BOOL>(answer));
        ASSERT_LT(Progress(), kBigBytes) << "the copy ended before the log-off";
    }
    int Progress() const {
        return static_cast<int>(::SendMessageA(::GetDlgItem(m_page, IDC_PROGRESS), PBM_GETPOS, 0, 0));
    }

    static constexpr const char* kBig = "D:\\ZkLang\\panorama.bmp";
    static constexpr const char* kTarget = "C:\\ZkLang\\Show\\Plaatjes\\panorama.bmp";
    static constexpr int64_t kBigBytes = 400000000;

    std::unique_ptr<ZekerpadProcess> m_run;
    HWND m_wizard = nullptr;
    HWND m_page = nullptr;
};

TEST_F(LongWorkTest, ALogOffDuringACopyLeavesNoPartialFileAndClosesTheLog) {
    LogWatch log;
    StartBigCopy();
    AskToEndTheSessionDuringTheCopy();
    DWORD_PTR answer = 0;
    // The program ends inside this call; it gets no answer.
    ::SendMessageTimeoutA(m_wizard, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
    ASSERT_TRUE(m_run->WaitForExit());

    EXPECT_FALSE(Exists(kTarget));
    EXPECT_TRUE(Exists("C:\\ZkLang\\Show\\Plaatjes"));
    WIN32_FIND_DATAA fd;
    UniqueFind left(::FindFirstFileA("C:\\ZkLang\\Show\\Plaatjes\\*", &fd));
    int entries = 0;
    if (left) do ++entries; while (::FindNextFileA(left.get(), &fd));
    EXPECT_EQ(2, entries) << "only . and .. may be left";
    EXPECT_EQ(kBigBytes, SizeOf(kBig));
    const std::string text = log.Appended();
    // The copy had begun and never ended; the run's last entry is its stop.
    const std::string end = "-> doel - " + std::string(kTarget) + "\n\rStop logboek <<<<<<<<<\n\r\n\r";
    ASSERT_GE(text.size(), end.size());
    EXPECT_EQ(end, text.substr(text.size() - end.size()));
}

TEST_F(LongWorkTest, ACancelledLogOffLetsTheCopyGoOn) {
    LogWatch log;
    StartBigCopy();
    AskToEndTheSessionDuringTheCopy();
    DWORD_PTR answer = 0;
    // Another program refused: Windows says the session goes on.
    ASSERT_TRUE(::SendMessageTimeoutA(m_wizard, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));

    ASSERT_TRUE(WaitUntil([&] { return IsControlEnabled(m_page, IDC_BUTTON_1009); }, 120000));
    EXPECT_EQ(kBigBytes, SizeOf(kTarget));
    EXPECT_EQ(kBigBytes, SizeOf(std::string(kBig) + ".bak"));
    PressWizardButton(m_wizard, PSBTN_CANCEL);
    ASSERT_TRUE(m_run->WaitForExit());
    EXPECT_NE(log.Appended().find("-> doel - " + std::string(kTarget) + "\n\r->   - kopie OK\n\r"), std::string::npos);
}

TEST_F(LongWorkTest, WhileWingsRunsTheWizardIsDisabledButAnswers) {
    DemoWorldOptions world;
    world.wingsFolder = WinePath(ZK_WINGS_DIR);
    ASSERT_TRUE(MakeDemoWorld(world));
    ASSERT_TRUE(MakeFolderTree("C:\\ZkLang"));
    const std::string release = "C:\\ZkLang\\wings-mag-stoppen.txt";
    const std::string record = "C:\\ZkLang\\wings-record.txt";
    ::SetEnvironmentVariableA("ZK_WINGS_WAIT_FOR", release.c_str());
    ::SetEnvironmentVariableA("ZK_WINGS_RECORD", record.c_str());
    StartAt(kRed);
    ::SetEnvironmentVariableA("ZK_WINGS_WAIT_FOR", nullptr);
    ::SetEnvironmentVariableA("ZK_WINGS_RECORD", nullptr);

    ClickControl(m_page, IDC_BUTTON_1007);
    ASSERT_TRUE(WaitUntil([&] { return Exists(record); })) << "Wings did not start";
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowEnabled(m_wizard); }));
    // Wings waits until the test lets it end: each call comes while it runs.
    for (int call = 1; call <= 5; ++call) ASSERT_TRUE(Answers(m_wizard)) << "call " << call;
    // Disabled as a whole: no click or key reaches Back, Next or Cancel.
    EXPECT_FALSE(::IsWindowEnabled(m_wizard));
    EXPECT_EQ(kRed, CurrentIndexOf(m_wizard));

    ASSERT_TRUE(WriteWholeFile(release, "x"));
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(m_wizard) && IsControlEnabled(m_page, IDC_BUTTON_1009); }));
    EXPECT_FALSE(IsControlEnabled(m_page, IDC_BUTTON_1007));
    PressWizardButton(m_wizard, PSBTN_CANCEL);
    ASSERT_TRUE(m_run->WaitForExit());
}

}  // namespace
