// The real program in its own process, closed with Cancel from outside.
#include "support/driver.h"
#include "support/test_support.h"

#include <commctrl.h>
#include <prsht.h>

namespace {

const char kOneCancelledRun[] =
    "\n\r>>>>>>>>> Start logboek\n\r\n\r"
    "CTestPropPage00::OnInitDialog\n\r"
    "-> CTestPropPage00::OnSetActive - Introductie\n\r"
    "Stop logboek <<<<<<<<<\n\r\n\r";

std::string ProgramPath() { return ProgramFolder() + "\\Zekerpad.exe"; }

std::string IniPath() {
    char dir[MAX_PATH] = {};
    ::GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\Zekerpad.INI";
}

// Starts the program, waits for its wizard and cancels it there.
void RunAndCancel() {
    ZekerpadProcess run(ProgramPath());
    ASSERT_TRUE(run.Started());
    HWND wizard = run.WaitForWizard();
    ASSERT_NE(wizard, nullptr);
    EXPECT_EQ(WindowTitle(wizard), "Zekerpad - Introductie");
    PressWizardButton(wizard, PSBTN_CANCEL);
    EXPECT_TRUE(run.WaitForExit());
}

TEST(EndToEnd, CancelOnTheFirstPageAppendsExactlyOneRunAndWritesTheSettings) {
    ::DeleteFileA(IniPath().c_str());
    LogWatch log;
    RunAndCancel();
    EXPECT_EQ(log.Appended(), kOneCancelledRun);

    const std::string ini = ReadWholeFile(IniPath());
    EXPECT_NE(ini.find("[Zekerpad]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("ShowBestand="), std::string::npos) << ini;
    EXPECT_NE(ini.find("SubmapAudio=Audio"), std::string::npos) << ini;
    EXPECT_NE(ini.find("SubmapPlaatjes=Plaatjes"), std::string::npos) << ini;
    EXPECT_NE(ini.find("SubmapOverige=Overige"), std::string::npos) << ini;
}

TEST(EndToEnd, TwoRunsAppendBothAndKeepEarlierContent) {
    LogWatch log;
    RunAndCancel();
    RunAndCancel();
    EXPECT_EQ(log.Appended(), std::string(kOneCancelledRun) + kOneCancelledRun);
}

TEST(EndToEnd, SecondInstanceRunsWithoutALogAndLeavesTheFirstsIntact) {
    LogWatch log;
    ZekerpadProcess first(ProgramPath());
    HWND firstWizard = first.WaitForWizard();
    ASSERT_NE(firstWizard, nullptr);

    ZekerpadProcess second(ProgramPath());
    HWND secondWizard = second.WaitForWizard();
    ASSERT_NE(secondWizard, nullptr);
    PressWizardButton(secondWizard, PSBTN_CANCEL);
    ASSERT_TRUE(second.WaitForExit());

    PressWizardButton(firstWizard, PSBTN_CANCEL);
    ASSERT_TRUE(first.WaitForExit());
    EXPECT_EQ(log.Appended(), kOneCancelledRun);
}

}  // namespace
