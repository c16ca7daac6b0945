// The check for scripts in the real program: started as a back-up script
// would start it, it ends by itself with its exit code and opens no window
// (nobody would answer one, and the run would not end in time).
#include "support/driver.h"
#include "support/test_support.h"

#include <prsht.h>

#include "backup/backup_run.h"
#include "resource.h"

namespace {

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

int Check(const std::string& arguments) {
    DWORD code = 99;
    EXPECT_TRUE(RunAndWait(Quoted(ProgramFolder() + "\\Zekerpad.exe") + " " + arguments, 30000, &code)) << arguments;
    return static_cast<int>(code);
}

}  // namespace

// A show dragged onto the program, "Openen met" or typed after its name:
// the wizard with that show chosen; a show that is not there is said so,
// and the wizard opens where a show is chosen. Anything else it cannot
// follow: one message with every form, and exit code 4.
TEST(ShowHandedToTheProgram, OpensTheWizardWithItChosenAndAnythingElseIsExplained) {
    ScratchFolder root("C:\\ZkGegeven");
    const std::string show = root / "Mijn show\\reis.ws4";
    ASSERT_TRUE(MakeFolderTree(root / "Mijn show"));
    ASSERT_TRUE(WriteWholeFile(show, "WS4"));
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string ini = std::string(windows) + "\\Zekerpad.INI";
    const std::string iniBefore = ReadWholeFile(ini);

    {
        ZekerpadProcess run(ProgramFolder() + "\\Zekerpad.exe", Quoted(show));
        HWND wizard = run.WaitForWizard();
        ASSERT_NE(wizard, nullptr);
        PressWizardButton(wizard, PSBTN_NEXT);
        ASSERT_TRUE(WaitUntil([&] { return CurrentIndexOf(wizard) == 1; }));
        EXPECT_EQ(ControlText(CurrentPageOf(wizard), IDC_SHOW_EDIT), show);
        PressWizardButton(wizard, PSBTN_CANCEL);
        ASSERT_TRUE(run.WaitForExit());
    }
    char kept[MAX_PATH] = {};
    ::GetPrivateProfileStringA("Zekerpad", "ShowBestand", "", kept, MAX_PATH, ini.c_str());
    EXPECT_EQ(std::string(kept), show);

    {
        ZekerpadProcess run(ProgramFolder() + "\\Zekerpad.exe", Quoted(root / "weg.ws4"));
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(run.Id())) != nullptr; }));
        SaveScreenshot(box, ScreenshotFolder() + "\\show-van-opdrachtregel-weg.bmp");
        EXPECT_EQ(MessageBoxText(box),
                  "De show die Zekerpad moest openen, is er niet:\nC:\\ZkGegeven\\weg.ws4\n\nMisschien is de show "
                  "verplaatst, hernoemd of gewist, of staat hij op een schijf of USB-stick die nu niet is "
                  "aangesloten.\n\nKies de show op de pagina die nu opent: typ het pad, klik op het mapje rechts van "
                  "het veld, of laat Zekerpad met Start zoeken alle shows zoeken.");
        AnswerMessageBox(box, IDOK);
        HWND wizard = run.WaitForWizard();
        ASSERT_NE(wizard, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return CurrentIndexOf(wizard) == 1; }));
        EXPECT_EQ(ControlText(CurrentPageOf(wizard), IDC_SHOW_EDIT), show);  // the last show chosen, as ever
        PressWizardButton(wizard, PSBTN_CANCEL);
        DWORD code = 99;
        ASSERT_TRUE(run.WaitForExit(20000, &code));
        EXPECT_EQ(code, 0u);
    }
    {
        ZekerpadProcess run(ProgramFolder() + "\\Zekerpad.exe", "/onzin");
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(run.Id())) != nullptr; }));
        const std::string text = MessageBoxText(box);
        SaveScreenshot(box, ScreenshotFolder() + "\\opdrachtregel-onbekend.bmp");
        EXPECT_EQ(text.rfind("Zekerpad begrijpt deze opdrachtregel niet:\n", 0), 0u) << text;
        EXPECT_NE(text.find("\n\nZekerpad kent deze vormen:\n"), std::string::npos) << text;
        EXPECT_NE(text.find("\nZekerpad.exe /controleer-back-up \"<back-up-map>\""), std::string::npos) << text;
        AnswerMessageBox(box, IDOK);
        DWORD code = 0;
        ASSERT_TRUE(run.WaitForExit(20000, &code));
        EXPECT_EQ(code, 4u);
    }
    WriteWholeFile(ini, iniBefore);
}

TEST(CheckForScripts, ExitCodesOfTheRealProgram) {
    ScratchFolder root("C:\\ZkScript");
    ASSERT_TRUE(MakeFolderTree(root / "Show"));
    ASSERT_TRUE(WriteWholeFile(root / "Show\\a.wav", "RIFF"));
    const std::string green = root / "Show\\groen.ws4";
    const std::string red = root / "Show\\rood.ws4";
    ASSERT_TRUE(WriteWholeFile(green, ShowFileBytes({"C:\\ZkScript\\Show\\a.wav"})));
    ASSERT_TRUE(WriteWholeFile(red, ShowFileBytes({"C:\\ZkScript\\Show\\weg.wav"})));
    LogWatch log;

    EXPECT_EQ(Check("/controleer " + Quoted(green)), 0);
    EXPECT_EQ(Check("/controleer " + Quoted(red) + " /rapport " + Quoted(root / "rood rapport.html")), 2);
    EXPECT_EQ(Check("/controleer " + Quoted(root / "weg.ws4")), 3);
    EXPECT_EQ(Check("/controleer"), 4);
    // No file name at all, or a file on the network: no green light.
    const std::string empty = root / "Show\\leeg.ws4";
    const std::string network = root / "Show\\netwerk.ws4";
    ASSERT_TRUE(WriteWholeFile(empty, ""));
    ASSERT_TRUE(WriteWholeFile(network, std::string("WS4\0C:\\ZkScript\\Show\\a.wav\0\\\\server\\share\\intro.wav\0", 53)));
    EXPECT_EQ(Check("/controleer " + Quoted(empty)), 3);
    EXPECT_EQ(Check("/controleer " + Quoted(network)), 1);

    EXPECT_TRUE(ReadWholeFile(root / "rood rapport.html").find("Oordeel: geen groen licht: rode bestanden") !=
                std::string::npos);
    const std::string appended = log.Appended();
    EXPECT_NE(appended.find("Controle zonder venster\n\r-> Start analyse - C:\\ZkScript\\Show\\groen.ws4\n\r"),
              std::string::npos)
        << appended;
    EXPECT_NE(appended.find("-> Uitslag - geen groen licht: rode bestanden (code 2)\n\r"), std::string::npos);
}

// A back-up checked by a script, without the show: 0 when every file is as
// recorded, 1 when one is not, 3 for a folder without a record, 4 without
// a folder.
TEST(CheckForScripts, ExitCodesOfTheBackupCheck) {
    ScratchFolder show("C:\\ZkScriptShow");
    ScratchFolder stick("E:\\ZkScriptStick");
    ASSERT_TRUE(MakeFolderTree(show / "Audio"));
    ASSERT_TRUE(MakeFolderTree(stick.Path()));
    ASSERT_TRUE(WriteWholeFile(show / "Audio\\a.wav", "RIFF1234"));
    ASSERT_TRUE(WriteWholeFile(show / "b.jpg", "JPEGDATA"));
    MessageBoxRecorder boxes;
    BackupOutcome outcome;
    ASSERT_EQ(MakeBackup(show.Path() + "\\", stick.Path(), nullptr, nullptr, &outcome), BackupResult::Ran);
    ASSERT_EQ(outcome.copied, 2);
    const std::string copy = stick / "ZkScriptShow";

    EXPECT_EQ(Check("/controleer-back-up " + Quoted(copy)), 0);
    ASSERT_TRUE(WriteWholeFile(copy + "\\b.jpg", "JPEGDATB"));
    EXPECT_EQ(Check("/controleer-back-up " + Quoted(copy)), 1);
    EXPECT_EQ(Check("/controleer-back-up " + Quoted(show.Path())), 3);
    EXPECT_EQ(Check("/controleer-back-up"), 4);
    EXPECT_TRUE(boxes.Boxes().empty());
}
