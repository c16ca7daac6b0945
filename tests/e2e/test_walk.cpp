// The real program walked through the demo world from outside, checked on
// the files on disk, the settings and the run log.
#include "support/demo_world.h"
#include "support/driver.h"
#include "support/test_support.h"
#include "support/walk.h"

#include <algorithm>

#include <commctrl.h>
#include <prsht.h>

#include "resource.h"

namespace {

std::string ProgramPath() { return ProgramFolder() + "\\Zekerpad.exe"; }

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string IniText() {
    char dir[MAX_PATH] = {};
    ::GetWindowsDirectoryA(dir, MAX_PATH);
    return ReadWholeFile(std::string(dir) + "\\Zekerpad.INI");
}

class WalkTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The stand-in re-links the show before it ends, as Wings would
        // after the user let it search and saved the show.
        ::SetEnvironmentVariableA("ZK_WINGS_RELINK", "1");
    }
    void TearDown() override { ::SetEnvironmentVariableA("ZK_WINGS_RELINK", nullptr); }

    WalkResult Walk(bool lostFile, bool deleteOriginals, const char* shots) {
        DemoWorldOptions world;
        world.wingsFolder = WinePath(ZK_WINGS_DIR);
        world.withLostFile = lostFile;
        EXPECT_TRUE(MakeDemoWorld(world));
        WalkOptions options;
        options.exePath = ProgramPath();
        options.deleteOriginals = deleteOriginals;
        options.screenshotDir = ScreenshotFolder() + "\\" + shots;
        ::CreateDirectoryA(options.screenshotDir.c_str(), nullptr);
        return WalkTypicalRun(options);
    }
};

TEST_F(WalkTest, TheTypicalRunEndsWithGreenLight) {
    LogWatch log;
    const WalkResult walk = Walk(false, false, "typische-run");
    ASSERT_TRUE(walk.completed) << walk.failure;
    EXPECT_EQ(walk.closingText.rfind("Gefeliciteerd!", 0), 0u) << walk.closingText;

    // Moved with its companion, copied with the original kept as .bak.
    EXPECT_TRUE(Exists("C:\\Shows\\Demo\\Audio\\intro.wav"));
    EXPECT_TRUE(Exists("C:\\Shows\\Demo\\Audio\\intro.tlg"));
    EXPECT_FALSE(Exists("C:\\Muziek\\intro.wav"));
    EXPECT_TRUE(Exists("C:\\Shows\\Demo\\Plaatjes\\strand.jpg"));
    EXPECT_TRUE(Exists("D:\\Fotos\\strand.jpg.bak"));
    EXPECT_FALSE(Exists("D:\\Fotos\\strand.jpg"));
    EXPECT_TRUE(Exists("C:\\Shows\\Demo\\Overige"));
    // The report saved on the analysis page tells the first analysis.
    const std::string report = ReadWholeFile(walk.reportPath);
    EXPECT_NE(report.find("<title>Zekerpad-rapport: C:\\Shows\\Demo\\demo.ws4</title>"), std::string::npos);
    EXPECT_NE(report.find("Oordeel: geen groen licht: rode bestanden"), std::string::npos);
    // Its pictures and sounds are whole: nothing damaged keeps green light away.
    EXPECT_EQ(walk.checkSummary.rfind("Gelezen: 5 bestanden. In orde: ", 0), 0u) << walk.checkSummary;
    EXPECT_EQ(walk.checkSummary.find("Beschadigd"), std::string::npos) << walk.checkSummary;
    EXPECT_EQ(walk.checkSummary.find("Let op"), std::string::npos) << walk.checkSummary;
    // A new run checks the back-up on E:\ from the first page: the picker
    // opened there, so its OK alone chose it.
    const auto step = std::find(walk.steps.begin(), walk.steps.end(), "OK in de mapkiezer");
    ASSERT_NE(walk.steps.end(), step);
    ASSERT_NE(walk.steps.end(), step + 1);
    EXPECT_EQ("Gekozen: E:\\", *(step + 1));
    EXPECT_EQ(walk.venueCheckSummary.rfind("De back-up is in orde: elk bestand is van de schijf gelezen en gelijk aan "
                                           "het overzicht.", 0),
              0u)
        << walk.venueCheckSummary;

    const std::string text = log.Appended();
    EXPECT_NE(text.find("-> Start analyse - C:\\Shows\\Demo\\demo.ws4\n\r"), std::string::npos);
    EXPECT_NE(text.find("Start Wings vanuit ROOD\n\r"), std::string::npos);
    // The search for the missing file finds the copy in the show's Audio folder.
    EXPECT_NE(text.find("-> rood - C:\\Oud\\Geluid\\applaus.wav\n\r-> gevonden - C:\\Shows\\Demo\\Audio\\applaus.wav\n\r"),
              std::string::npos);
    EXPECT_NE(text.find("->   - staat al in de show\n\r-> gekopieerd - 0\n\rEinde zoeken ontbrekende bestanden\n\r"),
              std::string::npos);
    EXPECT_NE(text.find("Klaar met verplaatsen\n\r"), std::string::npos);
    EXPECT_NE(text.find("Kopi\xEBren\n\r"), std::string::npos);
    // The last analysis finds every file at a safe place.
    const size_t last = text.rfind("-> Start analyse");
    ASSERT_NE(last, std::string::npos);
    EXPECT_NE(text.find("-> groen   - 6\n\r-> geel 1  - 0\n\r-> geel 2  - 0\n\r-> geel    - 0\n\r"
                        "-> rood    - 0\n\r-> overige - 1\n\rEinde analyse\n\r",
                        last),
              std::string::npos);
    // Green light, and a back-up of the show's folder on the "USB stick".
    EXPECT_NE(text.find("-> CTestPropPage99::OnSetActive - Afsluiting\n\rStart back-up\n\r-> bron - "
                        "C:\\Shows\\Demo\\\n\r-> doel - E:\\\n\r",
                        last),
              std::string::npos);
    EXPECT_NE(text.find("-> mislukt     - 0\n\rEinde back-up\n\rStart controle back-up\n\r-> map - E:\\Demo\\\n\r",
                        last),
              std::string::npos);
    EXPECT_NE(text.find("-> ontbreekt     - 0\n\r-> beschadigd    - 0\n\r-> uitslag - De back-up is in orde: elk "
                        "bestand is van de schijf gelezen en gelijk aan het overzicht.\n\rEinde controle back-up\n\r"
                        "Stop logboek <<<<<<<<<\n\r\n\r",
                        last),
              std::string::npos);
    EXPECT_EQ(walk.backupSummary.rfind(
                  "De back-up is klaar en volledig. U kunt de USB-stick nu veilig verwijderen.\nGekopieerd:", 0),
              0u)
        << walk.backupSummary;
    for (const char* f : {"demo.ws4", "titel.bmp", "Audio\\intro.wav", "Plaatjes\\strand.jpg", "Video\\opname.avi"})
        EXPECT_EQ(ReadWholeFile(std::string("C:\\Shows\\Demo\\") + f), ReadWholeFile(std::string("E:\\Demo\\") + f))
            << f;
    EXPECT_NE(IniText().find("ShowBestand=C:\\Shows\\Demo\\demo.ws4"), std::string::npos);
    EXPECT_NE(IniText().find("BackupMap=E:\\"), std::string::npos);
}

TEST_F(WalkTest, AFileThatStaysMissingEndsWithRegret) {
    const WalkResult walk = Walk(true, true, "jammer");
    ASSERT_TRUE(walk.completed) << walk.failure;
    EXPECT_EQ(walk.closingText.rfind("Jammer,", 0), 0u) << walk.closingText;
    EXPECT_EQ("", walk.backupSummary);  // no green light, no back-up button
    EXPECT_EQ(std::string::npos, IniText().find("BackupMap"));
    // Deleted, not kept, with this answer.
    EXPECT_FALSE(Exists("D:\\Fotos\\strand.jpg"));
    EXPECT_FALSE(Exists("D:\\Fotos\\strand.jpg.bak"));
    EXPECT_TRUE(Exists("C:\\Shows\\Demo\\Plaatjes\\strand.jpg"));
}

TEST_F(WalkTest, CancelOnEveryPageWritesTheSettingsAndClosesTheLog) {
    for (int target = 0; target < 8; ++target) {
        DemoWorldOptions world;
        ASSERT_TRUE(MakeDemoWorld(world));
        LogWatch log;
        ZekerpadProcess run(ProgramPath());
        HWND wizard = run.WaitForWizard();
        ASSERT_NE(wizard, nullptr);
        // With the demo show every page has work, so Next visits them in order.
        for (int index = 0; index < target; ++index) {
            const HWND before = CurrentPageOf(wizard);
            PressWizardButton(wizard, PSBTN_NEXT);
            ASSERT_TRUE(WaitUntil([&] { return CurrentPageOf(wizard) != before; })) << target;
        }
        ASSERT_EQ(CurrentIndexOf(wizard), target);
        PressWizardButton(wizard, PSBTN_CANCEL);
        ASSERT_TRUE(run.WaitForExit()) << target;
        const std::string text = log.Appended();
        EXPECT_EQ(text.rfind("Stop logboek <<<<<<<<<\n\r\n\r"), text.size() - 26) << target;
        const std::string ini = IniText();
        EXPECT_NE(ini.find("ShowBestand=C:\\Shows\\Demo\\demo.ws4"), std::string::npos) << target;
        EXPECT_NE(ini.find("SubmapOverige=Overige"), std::string::npos) << target;
    }
}

}  // namespace

namespace {

TEST_F(WalkTest, SearchForShowsThenDoubleClickAnalysesTheOneFound) {
    DemoWorldOptions world;
    ASSERT_TRUE(MakeDemoWorld(world));
    LogWatch log;
    ZekerpadProcess run(ProgramPath());
    HWND wizard = run.WaitForWizard();
    ASSERT_NE(wizard, nullptr);
    PressWizardButton(wizard, PSBTN_NEXT);
    ASSERT_TRUE(WaitUntil([&] { return CurrentIndexOf(wizard) == 1; }));
    HWND page = CurrentPageOf(wizard);

    ClickControl(page, IDC_MODE_SEARCH);
    ASSERT_TRUE(WaitUntil([&] { return IsControlEnabled(page, IDC_START_SEARCH); }));
    ClickControl(page, IDC_START_SEARCH);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(page, IDC_TEXT) == "Alle gevonden Wings-shows:"; }, 120000));
    EXPECT_EQ(ControlText(page, IDC_SHOW_EDIT), "");
    EXPECT_FALSE(IsControlEnabled(page, IDC_SHOW_EDIT));

    ClickControl(page, IDC_VIEW_LIST);
    const std::vector<std::string> lines = ListBoxLinesOf(page, IDC_LIST);
    int demo = -1;
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == kDemoShow) demo = static_cast<int>(i);
    ASSERT_GE(demo, 0) << "the demo show was not found";
    for (const std::string& line : lines) EXPECT_NE(line.rfind("D:", 0), 0u) << line;

    // A double-click on the line, as the list box reports it to the page.
    HWND list = ::GetDlgItem(page, IDC_LIST);
    ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(demo), 0);
    ::PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    ASSERT_TRUE(WaitUntil([&] { return CurrentIndexOf(wizard) == 2; }));
    HWND analysis = CurrentPageOf(wizard);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(analysis, IDC_TEXT).find("keer") != std::string::npos; }));
    EXPECT_NE(ControlText(analysis, IDC_TEXT).find("Rood\t bestand is niet gevonden (1 keer)"), std::string::npos)
        << ControlText(analysis, IDC_TEXT);
    SaveScreenshot(wizard, ScreenshotFolder() + "\\zoeken-analyse.bmp");

    PressWizardButton(wizard, PSBTN_CANCEL);
    ASSERT_TRUE(run.WaitForExit());
    const std::string text = log.Appended();
    const size_t start = text.find("Start zoeken\n\r");
    const size_t end = text.find("Einde zoeken\n\r");
    ASSERT_NE(start, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    EXPECT_LT(start, end);
    EXPECT_NE(text.find("-> Start analyse - C:\\Shows\\Demo\\demo.ws4\n\r", end), std::string::npos);
    // The double-click skips the Next check and its log entry.
    EXPECT_EQ(text.find("-> g_csRecentFile - "), std::string::npos);
}

}  // namespace
