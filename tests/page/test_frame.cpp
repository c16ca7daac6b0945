// The wizard frame: settings, the walk through pages that skip themselves,
// the system menu and the about box, the blink timer.
#include "support/test_support.h"

#include <commctrl.h>
#include <prsht.h>

#include "files/file_reference.h"
#include "services/run_log.h"
#include "services/settings.h"
#include "services/state.h"
#include "resource.h"

namespace {

std::string WindowsFolderFile(const std::string& name) {
    char dir[MAX_PATH] = {};
    ::GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\" + name;
}

class SettingsTest : public ::testing::Test {
protected:
    const std::string ini = "ZkFrameSettings.INI";
    void SetUp() override { ::DeleteFileA(WindowsFolderFile(ini).c_str()); }
    void TearDown() override { ::DeleteFileA(WindowsFolderFile(ini).c_str()); }
};

TEST_F(SettingsTest, FirstRunTakesDefaultsAndWritesAllFourKeysInOrder) {
    g_csRecentFile = "stale";
    ReadSettings(ini);
    EXPECT_EQ(g_csRecentFile, "");
    EXPECT_EQ(g_csSubmapAudio, "Audio");
    EXPECT_EQ(g_csSubmapPlaatjes, "Plaatjes");
    EXPECT_EQ(g_csSubmapOverige, "Overige");

    g_csRecentFile = "C:\\Shows\\Demo\\demo.ws4";
    WriteSettings(ini);
    const std::string text = ReadWholeFile(WindowsFolderFile(ini));
    const size_t section = text.find("[Zekerpad]");
    const size_t show = text.find("ShowBestand=C:\\Shows\\Demo\\demo.ws4");
    const size_t audio = text.find("SubmapAudio=Audio");
    const size_t pics = text.find("SubmapPlaatjes=Plaatjes");
    const size_t other = text.find("SubmapOverige=Overige");
    ASSERT_NE(section, std::string::npos) << text;
    ASSERT_NE(other, std::string::npos) << text;
    EXPECT_LT(section, show);
    EXPECT_LT(show, audio);
    EXPECT_LT(audio, pics);
    EXPECT_LT(pics, other);
}

TEST_F(SettingsTest, PresentButEmptyKeyStaysEmptyAndLongValuesAreCut) {
    const std::string longName(5000, 'x');
    ASSERT_TRUE(::WritePrivateProfileStringA("Zekerpad", "SubmapAudio", "", ini.c_str()));
    ASSERT_TRUE(::WritePrivateProfileStringA("Zekerpad", "ShowBestand", longName.c_str(), ini.c_str()));
    ReadSettings(ini);
    EXPECT_EQ(g_csSubmapAudio, "");
    EXPECT_EQ(g_csSubmapPlaatjes, "Plaatjes");
    EXPECT_EQ(g_csRecentFile, std::string(4095, 'x'));
}

TEST_F(SettingsTest, NamesWithBlanksOrQuotesAtTheirEdgesComeBackAsTyped) {
    g_csRecentFile = "C:\\Shows\\\"Demo\"\\demo.ws4";
    g_csSubmapAudio = " Audio met blanco";
    g_csSubmapPlaatjes = "'Plaatjes'";
    g_csSubmapOverige = "'Overige";
    const std::string typed[] = {g_csRecentFile, g_csSubmapAudio, g_csSubmapPlaatjes, g_csSubmapOverige};
    WriteSettings(ini);
    g_csRecentFile = g_csSubmapAudio = g_csSubmapPlaatjes = g_csSubmapOverige = "";
    ReadSettings(ini);
    EXPECT_EQ(g_csRecentFile, typed[0]);
    EXPECT_EQ(g_csSubmapAudio, typed[1]);
    EXPECT_EQ(g_csSubmapPlaatjes, typed[2]);
    EXPECT_EQ(g_csSubmapOverige, typed[3]);
}

// A subfolder name from the settings file that leads out of the show's
// folder, or that Windows cannot make, gives way to the default, and the
// run log says why; the good ones and an empty one stay.
TEST_F(SettingsTest, SubfolderNamesOutsideTheShowsFolderFallBackToTheDefault) {
    ASSERT_TRUE(::WritePrivateProfileStringA("Zekerpad", "SubmapAudio", "..\\..\\..\\windows", ini.c_str()));
    ASSERT_TRUE(::WritePrivateProfileStringA("Zekerpad", "SubmapPlaatjes", "Media\\Beeld", ini.c_str()));
    ASSERT_TRUE(::WritePrivateProfileStringA("Zekerpad", "SubmapOverige", "nul.d", ini.c_str()));
    LogWatch log;
    ASSERT_TRUE(OpenRunLog());
    ReadSettings(ini);
    CloseRunLog();
    EXPECT_EQ(g_csSubmapAudio, "Audio");
    EXPECT_EQ(g_csSubmapPlaatjes, "Media\\Beeld");
    EXPECT_EQ(g_csSubmapOverige, "Overige");
    EXPECT_EQ(log.Appended(),
              "-> SubmapAudio - \"..\\..\\..\\windows\" kan niet worden gebruikt (\"..\" wijst niet naar een map "
              "binnen de show); Zekerpad gebruikt \"Audio\"\n\r"
              "-> SubmapOverige - \"nul.d\" kan niet worden gebruikt (\"nul.d\" is in Windows de naam van een "
              "apparaat); Zekerpad gebruikt \"Overige\"\n\r");
}

// The wizard walked with results set by the test. The show is a real, empty
// file so that every page that reads it finds it.
class WizardWalkTest : public ::testing::Test {
protected:
    const std::string dir = "C:\\ZkFrameWalk";
    const std::string show = dir + "\\leeg.ws4";

    void SetUp() override {
        DeleteTree(dir);
        ::CreateDirectoryA(dir.c_str(), nullptr);
        ASSERT_TRUE(WriteWholeFile(show, ""));
        ASSERT_TRUE(OpenRunLog());
        watch = std::make_unique<LogWatch>();
        harness = std::make_unique<WizardHarness>();
        g_csRecentFile = show;
        g_csSubmapAudio = "Audio";
        g_csSubmapPlaatjes = "Plaatjes";
        g_csSubmapOverige = "Overige";
    }
    void TearDown() override {
        harness.reset();
        CloseRunLog();
        ResetSharedState();
        g_csRecentFile.clear();
        DeleteTree(dir);
    }

    // Reaches the analysis page and then puts the results the test wants.
    void ArriveAtAnalysis(int red, int yellow1, int yellow2, int other) {
        harness->GoTo(2);
        ASSERT_EQ(harness->CurrentIndex(), 2);
        ResetSharedState();
        g_bAnalysed = 1;
        g_csAnalysedFile = show;
        for (int i = 0; i < red; ++i) g_aRedFiles.push_back(std::make_unique<CFileReference>());
        g_nRed = red;
        g_nYellow1 = yellow1;
        g_nYellow2 = yellow2;
        g_nYellow = yellow1 + yellow2;
        g_nOther = other;
    }

    size_t Find(const std::string& text) const { return watch->Appended().find(text); }

    MessageBoxRecorder boxes;
    std::unique_ptr<LogWatch> watch;
    std::unique_ptr<WizardHarness> harness;
};

TEST_F(WizardWalkTest, StartsOnTheIntroductionWithNextOnly) {
    EXPECT_EQ(harness->CurrentIndex(), 0);
    EXPECT_TRUE(harness->IsButtonEnabled(WizardHarness::kNext));
    EXPECT_FALSE(harness->IsButtonEnabled(WizardHarness::kBack));
    EXPECT_EQ(watch->Appended(),
              "CTestPropPage00::OnInitDialog\n\r-> CTestPropPage00::OnSetActive - Introductie\n\r");
}

TEST_F(WizardWalkTest, NothingToRepairLeadsStraightToTheClosingPage) {
    ArriveAtAnalysis(0, 0, 0, 0);
    harness->Press(PSBTN_NEXT);
    EXPECT_EQ(harness->CurrentIndex(), 7);
    EXPECT_TRUE(harness->IsButtonEnabled(WizardHarness::kFinish));
    EXPECT_FALSE(harness->IsButtonVisible(WizardHarness::kNext));
    EXPECT_FALSE(harness->IsButtonEnabled(WizardHarness::kBack));

    // Every skipped page was initialised once, just before its activation.
    const std::string skipped[] = {"CTestPropPage03", "CTestPropPage04", "CTestPropPage05",
                                   "CTestPropPage06"};
    size_t last = Find("-> CTestPropPage02::OnSetActive - Analyse\n\r");
    ASSERT_NE(last, std::string::npos);
    for (const std::string& page : skipped) {
        const std::string init = page + "::OnInitDialog\n\r-> " + page + "::OnSetActive - ";
        const size_t at = Find(init);
        ASSERT_NE(at, std::string::npos) << page;
        EXPECT_GT(at, last) << page;
        const size_t skip = Find("-> " + page + " - Scherm overslaan\n\r");
        EXPECT_GT(skip, at) << page;
        last = skip;
    }
    EXPECT_GT(Find("-> CTestPropPage99::OnSetActive - Afsluiting\n\r"), last);
}

TEST_F(WizardWalkTest, RedFilesOnlyShowTheRedPageAndBackPassesNothing) {
    ArriveAtAnalysis(1, 0, 0, 0);
    harness->Press(PSBTN_NEXT);
    ASSERT_EQ(harness->CurrentIndex(), 3);
    EXPECT_TRUE(harness->IsButtonEnabled(WizardHarness::kBack));
    EXPECT_TRUE(harness->IsButtonEnabled(WizardHarness::kNext));

    harness->Press(PSBTN_NEXT);
    EXPECT_EQ(harness->CurrentIndex(), 7);

    harness->GoTo(3);
    harness->Press(PSBTN_BACK);
    EXPECT_EQ(harness->CurrentIndex(), 2);
}

TEST_F(WizardWalkTest, BackPassesOverSkippedPagesInTheDirectionOfTravel) {
    ArriveAtAnalysis(0, 0, 1, 0);
    harness->Press(PSBTN_NEXT);
    ASSERT_EQ(harness->CurrentIndex(), 5);
    const size_t skipsBefore = watch->Appended().size();

    harness->Press(PSBTN_BACK);
    EXPECT_EQ(harness->CurrentIndex(), 2);
    const std::string after = watch->Appended().substr(skipsBefore);
    EXPECT_NE(after.find("-> CTestPropPage04 - Scherm overslaan\n\r"), std::string::npos);
    EXPECT_NE(after.find("-> CTestPropPage03 - Scherm overslaan\n\r"), std::string::npos);
    EXPECT_LT(after.find("CTestPropPage04 - Scherm"), after.find("CTestPropPage03 - Scherm"));
}

TEST_F(WizardWalkTest, SystemMenuEndsWithTheAboutBoxWhichWritesNothing) {
    HMENU sys = ::GetSystemMenu(harness->Sheet(), FALSE);
    ASSERT_NE(sys, nullptr);
    const int count = ::GetMenuItemCount(sys);
    ASSERT_GE(count, 2);
    char text[128] = {};
    ::GetMenuStringA(sys, count - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Over Wings Zekerpad...");
    EXPECT_EQ(::GetMenuItemID(sys, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    MENUITEMINFOA sep{};
    sep.cbSize = sizeof sep;
    sep.fMask = MIIM_FTYPE;
    ASSERT_TRUE(::GetMenuItemInfoA(sys, count - 2, TRUE, &sep));
    EXPECT_TRUE(sep.fType & MFT_SEPARATOR);

    const size_t logBefore = watch->Appended().size();
    // The about box is modal: it is worked from inside its own loop.
    std::string label;
    ModalDriver about("Over Wings Zekerpad", {[&](HWND box) {
                          label = ItemText(box, IDOK);
                          ::PostMessageA(box, WM_COMMAND, IDOK, 0);
                      }});
    ::SendMessageA(harness->Sheet(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    EXPECT_EQ("OK", label);
    EXPECT_EQ(harness->CurrentIndex(), 0);
    EXPECT_EQ(watch->Appended().size(), logBefore);
}

TEST_F(WizardWalkTest, TheMiddleLampBlinksOnTheSheetsTimer) {
    const int first = g_bBlink;
    int changes = 0;
    int last = first;
    // Two changes of phase, however slow the machine: no limit on the timer itself.
    const DWORD deadline = ::GetTickCount() + 30000;
    while (changes < 2 && ::GetTickCount() < deadline) {
        PumpMessages(50);
        if (g_bBlink != last) {
            ++changes;
            last = g_bBlink;
        }
    }
    EXPECT_GE(changes, 2);
}

}  // namespace
