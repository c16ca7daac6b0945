// The check for scripts in the real program: started as a back-up script
// would start it, it ends by itself with its exit code and opens no window
// (nobody would answer one, and the run would not end in time).
#include "support/media_samples.h"
#include "support/driver.h"
#include "support/test_support.h"

#include <prsht.h>

#include <cstdlib>

#include "app/command_check.h"
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
        EXPECT_NE(text.find("\nZekerpad.exe /controleer-back-up \"<map of show>\""), std::string::npos) << text;
        AnswerMessageBox(box, IDOK);
        DWORD code = 0;
        ASSERT_TRUE(run.WaitForExit(20000, &code));
        EXPECT_EQ(code, 4u);
    }
    WriteWholeFile(ini, iniBefore);
}

// The wiring of the real program: its exit code reaches the script, with
// no window, and the run log and the report are written. Every code and
// cause is tested in the test process (ReportWorld.CheckForScripts...).
TEST(CheckForScripts, TheExitCodeReachesTheScript) {
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
    // No record, but show files: judged by them (a.wav is no sound, weg.wav is gone).
    EXPECT_EQ(Check("/controleer-back-up " + Quoted(root / "Show")), 1);
    EXPECT_EQ(Check("/controleer"), 4);

    EXPECT_TRUE(ReadWholeFile(root / "rood rapport.html").find("Oordeel: geen groen licht: rode bestanden") !=
                std::string::npos);
    const std::string appended = log.Appended();
    EXPECT_NE(appended.find("Controle zonder venster\n\r-> Start analyse - C:\\ZkScript\\Show\\groen.ws4\n\r"),
              std::string::npos)
        << appended;
    EXPECT_NE(appended.find("-> Uitslag - geen groen licht: rode bestanden (code 2)\n\r"), std::string::npos);
}

// A back-up checked by a script, without the show: 0 when every file is as
// recorded, 1 when one is missing or not as recorded or the record is
// damaged (empty, cut), 3 for a folder without a record, 4 without a folder.
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
    ASSERT_TRUE(::MoveFileA((copy + "\\Audio\\a.wav").c_str(), (copy + "\\a.wav").c_str()));
    EXPECT_EQ(Check("/controleer-back-up " + Quoted(copy)), 1);
    ASSERT_TRUE(::MoveFileA((copy + "\\a.wav").c_str(), (copy + "\\Audio\\a.wav").c_str()));
    EXPECT_EQ(Check("/controleer-back-up " + Quoted(copy)), 0);
    ASSERT_TRUE(WriteWholeFile(copy + "\\b.jpg", "JPEGDATB"));
    EXPECT_EQ(Check("/controleer-back-up " + Quoted(copy)), 1);
    EXPECT_EQ(Check("/controleer-back-up " + Quoted(show.Path())), 3);
    // A record that is empty or cut after its first lines is a damaged record.
    const std::string record = stick / "ZkScriptShow - Zekerpad-back-up.txt";
    ASSERT_TRUE(WriteWholeFile(record, ""));
    EXPECT_EQ(Check("/controleer-back-up " + Quoted(copy)), 1);
    ASSERT_TRUE(WriteWholeFile(record, "\xEF\xBB\xBFZekerpad back-up\r\nMap van de show: C:\\ZkScriptShow\\\r\n"));
    EXPECT_EQ(Check("/controleer-back-up " + Quoted(copy)), 1);
    EXPECT_EQ(Check("/controleer-back-up"), 4);
    EXPECT_TRUE(boxes.Boxes().empty());
}

// A copy made by hand, checked by a script: judged by its show file. 0 when
// every file it names is there and whole, 1 when one is missing or lies
// outside the show's old folder, 3 with neither a record nor a show.
TEST(CheckForScripts, AHandMadeCopyIsJudgedByItsShowFile) {
    ScratchFolder stick("E:\\ZkScriptCopy");
    const std::vector<uint8_t> wav = SampleMedia(MediaSample::Wav);
    ASSERT_TRUE(MakeFolderTree(stick / "Demo\\Audio"));
    ASSERT_TRUE(WriteWholeFile(stick / "Demo\\Audio\\a.wav", std::string(wav.begin(), wav.end())));
    ASSERT_TRUE(WriteWholeFile(stick / "Demo\\demo.ws4", ShowFileBytes({"C:\\Oud\\Demo\\Audio\\a.wav"})));
    MessageBoxRecorder boxes;
    EXPECT_EQ(Check("/controleer-back-up " + Quoted(stick / "Demo")), 0);
    EXPECT_EQ(Check("/controleer-back-up " + Quoted(stick / "Demo\\demo.ws4")), 0);
    ASSERT_TRUE(WriteWholeFile(stick / "Demo\\demo.ws4", ShowFileBytes({"C:\\Oud\\Demo\\Audio\\a.wav",
                                                                         "D:\\Muziek\\lied.mp3"})));
    EXPECT_EQ(Check("/controleer-back-up " + Quoted(stick / "Demo")), 1);
    ASSERT_TRUE(::DeleteFileA((stick / "Demo\\demo.ws4").c_str()));
    EXPECT_EQ(Check("/controleer-back-up " + Quoted(stick / "Demo")), 3);
    EXPECT_TRUE(boxes.Boxes().empty());
}

// A show in a folder whose name the code page cannot hold ("Łódź") is
// there: read by its short name, or else refused as unreadable, never
// called absent. The same reading serves a show handed to the wizard.
TEST(CheckForScripts, AShowOutsideTheCodePageIsReadByItsShortName) {
    ScratchFolder root("C:\\ZkWide");
    const std::wstring folder = L"C:\\ZkWide\\\u0141\u00F3d\u017A";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring show = folder + L"\\show.ws4";
    {
        UniqueFile f(::CreateFileW(show.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(f);
        const std::string bytes = ShowFileBytes({"C:\\ZkWide\\weg.wav"});
        DWORD put = 0;
        ASSERT_TRUE(::WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr));
    }
    const std::string programFolder = ProgramFolder();
    const std::wstring exe = L"\"" + std::wstring(programFolder.begin(), programFolder.end()) + L"\\Zekerpad.exe\"";
    LogWatch log;
    DWORD code = 99;
    ASSERT_TRUE(RunAndWait(exe + L" /controleer \"" + show + L"\"", 30000, &code));
    // The show was read: its one file is missing.
    EXPECT_EQ(code, 2u) << log.Appended();
    EXPECT_EQ(log.Appended().find("bestaat niet"), std::string::npos) << log.Appended();

    const ProgramArguments dropped = ReadProgramArguments((exe + L" \"" + show + L"\"").c_str());
    ASSERT_EQ(dropped.args.size(), 1u);
    EXPECT_EQ(dropped.unreadable, -1);
    EXPECT_EQ(dropped.args[0].find('?'), std::string::npos) << dropped.args[0];
    EXPECT_EQ(ReadWholeFile(dropped.args[0]).substr(0, 3), "WS4") << dropped.args[0];

    // No such show: no short name either, so its name cannot be read.
    const ProgramArguments gone =
        ReadProgramArguments((exe + L" /controleer \"" + folder + L"\\weg.ws4\" /rapport r.html").c_str());
    EXPECT_EQ(gone.unreadable, 1);
    EXPECT_EQ(gone.unreadableShown, "C:\\ZkWide\\?\xF3" "d?\\weg.ws4");
    ASSERT_TRUE(RunAndWait(exe + L" /controleer \"" + folder + L"\\weg.ws4\"", 30000, &code));
    EXPECT_EQ(code, 3u);
    EXPECT_NE(log.Appended().find("-> Fout - de naam van de show kan niet worden gelezen: C:\\ZkWide\\?\xF3" "d?\\weg.ws4\n\r"),
              std::string::npos)
        << log.Appended();
    ::DeleteFileW(show.c_str());
    ::RemoveDirectoryW(folder.c_str());
}

namespace {

// A show of two files in C:\ZkPlan\<name>, the show file naming both, and
// the stick E:\ZkPlanStick for its back-ups.
struct ScriptedBackup {
    ScratchFolder show{"C:\\ZkPlan"};
    ScratchFolder stick{"E:\\ZkPlanStick"};
    std::string showFile = show / "Zomer\\zomer.ws4";
    ScriptedBackup() {
        EXPECT_TRUE(MakeFolderTree(show / "Zomer\\Audio"));
        EXPECT_TRUE(MakeFolderTree(stick.Path()));
        EXPECT_TRUE(WriteWholeFile(show / "Zomer\\Audio\\intro.wav", "RIFF-intro"));
        EXPECT_TRUE(WriteWholeFile(show / "Zomer\\titel.jpg", "JPEG-titel"));
        EXPECT_TRUE(WriteWholeFile(showFile, ShowFileBytes({"C:\\ZkPlan\\Zomer\\Audio\\intro.wav",
                                                            "C:\\ZkPlan\\Zomer\\titel.jpg"})));
    }
    int BackUp(const std::string& destination) {
        return Check("/back-up " + Quoted(showFile) + " " + Quoted(destination));
    }
};

}  // namespace

// A scheduled back-up: with green light the dialog's back-up, with its
// record, in a folder the check then proves; the next run copies nothing.
TEST(BackupForScripts, GreenLightGivesACompleteBackupAndZero) {
    ScriptedBackup world;
    LogWatch log;
    EXPECT_EQ(world.BackUp(world.stick.Path()), 0) << log.Appended();
    EXPECT_EQ(ReadWholeFile("E:\\ZkPlanStick\\Zomer\\Audio\\intro.wav"), "RIFF-intro");
    EXPECT_EQ(ReadWholeFile("E:\\ZkPlanStick\\Zomer\\titel.jpg"), "JPEG-titel");
    EXPECT_EQ(ReadWholeFile("E:\\ZkPlanStick\\Zomer\\zomer.ws4"), ReadWholeFile(world.showFile));
    const std::string record = ReadWholeFile("E:\\ZkPlanStick\\Zomer - Zekerpad-back-up.txt");
    EXPECT_NE(record.find("Laatste back-up: volledig"), std::string::npos) << record;
    const std::string appended = log.Appended();
    EXPECT_NE(appended.find("Back-up zonder venster\n\r-> Start analyse - C:\\ZkPlan\\Zomer\\zomer.ws4\n\r"),
              std::string::npos)
        << appended;
    EXPECT_NE(appended.find("-> Uitslag - back-up volledig (code 0)\n\r"), std::string::npos) << appended;
    EXPECT_EQ(Check("/controleer-back-up " + Quoted("E:\\ZkPlanStick\\Zomer")), 0);

    LogWatch again;
    // A folder ending in "\" has it doubled before the closing quote.
    EXPECT_EQ(world.BackUp("E:\\ZkPlanStick\\\\"), 0);
    EXPECT_NE(again.Appended().find("-> gekopieerd  - 0\n\r"), std::string::npos) << again.Appended();

    // A destination the code page cannot name, as the back-up dialog allows.
    const std::wstring wide = L"E:\\ZkPlanStick\\\u0141\u00F3d\u017A";
    ASSERT_TRUE(::CreateDirectoryW(wide.c_str(), nullptr));
    const std::string programFolder = ProgramFolder();
    const std::wstring exe = L"\"" + std::wstring(programFolder.begin(), programFolder.end()) + L"\\Zekerpad.exe\"";
    const std::wstring show(world.showFile.begin(), world.showFile.end());
    DWORD code = 99;
    LogWatch unicode;
    ASSERT_TRUE(RunAndWait(exe + L" /back-up \"" + show + L"\" \"" + wide + L"\"", 30000, &code));
    EXPECT_EQ(code, 0u);
    // By its own name, not by a short name Windows may not keep.
    EXPECT_NE(unicode.Appended().find("-> doel - E:\\ZkPlanStick\\?\xF3" "d?\n\r"), std::string::npos)
        << unicode.Appended();
    UniqueFile copied(::CreateFileW((wide + L"\\Zomer\\titel.jpg").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(copied);
}

// Without green light no back-up at all, not even its folder: the code is
// the one /controleer gives for the show.
TEST(BackupForScripts, WithoutGreenLightNothingIsMadeAndTheCheckCodeIsGiven) {
    ScriptedBackup world;
    ASSERT_TRUE(MakeFolderTree(world.show / "Elders"));
    ASSERT_TRUE(WriteWholeFile(world.show / "Elders\\jingle.wav", "RIFF-jingle"));
    const std::string yellow = world.show / "Zomer\\geel.ws4";
    const std::string red = world.show / "Zomer\\rood.ws4";
    ASSERT_TRUE(WriteWholeFile(yellow, ShowFileBytes({"C:\\ZkPlan\\Elders\\jingle.wav"})));
    ASSERT_TRUE(WriteWholeFile(red, ShowFileBytes({"C:\\ZkPlan\\Zomer\\weg.wav"})));
    LogWatch log;
    EXPECT_EQ(Check("/back-up " + Quoted(red) + " " + Quoted(world.stick.Path())), 2);
    EXPECT_EQ(Check("/back-up " + Quoted(yellow) + " " + Quoted(world.stick.Path())), 1);
    EXPECT_EQ(Check("/back-up " + Quoted(world.show / "Zomer\\weg.ws4") + " " + Quoted(world.stick.Path())), 3);
    // A show whose name cannot be read (no short name: it is not there) is 3 as well.
    const std::string programFolder = ProgramFolder();
    const std::wstring exe = L"\"" + std::wstring(programFolder.begin(), programFolder.end()) + L"\\Zekerpad.exe\"";
    DWORD code = 99;
    LogWatch unreadable;
    ASSERT_TRUE(RunAndWait(exe + L" /back-up \"C:\\ZkPlan\\\u0141\u00F3d\u017A\\show.ws4\" E:\\ZkPlanStick", 30000, &code));
    EXPECT_EQ(code, 3u);
    EXPECT_NE(unreadable.Appended().find("Back-up zonder venster\n\r-> Fout - de naam van de show kan niet worden "
                                         "gelezen: C:\\ZkPlan\\?\xF3" "d?\\show.ws4\n\r"),
              std::string::npos)
        << unreadable.Appended();
    EXPECT_EQ(::GetFileAttributesA("E:\\ZkPlanStick\\Zomer"), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(SnapshotOf(world.stick.Path()).empty());
    EXPECT_NE(log.Appended().find("-> Uitslag - geen groen licht: rode bestanden, geen back-up gemaakt (code 2)\n\r"),
              std::string::npos)
        << log.Appended();
}

// A command line it cannot follow, and a destination it must refuse, end
// with 4 and no window; the reason is in the log.
TEST(BackupForScripts, AWrongCommandLineOrARefusedDestinationGivesFour) {
    ScriptedBackup world;
    ASSERT_TRUE(MakeFolderTree(world.show / "Zomer\\Back-ups"));
    const FolderSnapshot before = SnapshotOf(world.show / "Zomer");
    LogWatch log;
    EXPECT_EQ(Check("/back-up"), 4);
    EXPECT_EQ(Check("/back-up " + Quoted(world.showFile)), 4);
    EXPECT_EQ(Check("/BACK-UP " + Quoted(world.showFile) + " E:\\ZkPlanStick /nakijken"), 4);
    // The backslash escapes the quote: the folder would end in one.
    EXPECT_EQ(world.BackUp("E:\\ZkPlanStick\\"), 4);
    EXPECT_EQ(world.BackUp(world.show / "Zomer\\Back-ups"), 4);
    // Nobody answers the question about the show's own drive: its default, No.
    ScratchFolder sameDrive("C:\\ZkPlanKopie");
    ASSERT_TRUE(MakeFolderTree(sameDrive.Path()));
    EXPECT_EQ(world.BackUp(sameDrive.Path()), 4);
    EXPECT_TRUE(SnapshotOf(sameDrive.Path()).empty());
    // A mistyped folder on a drive that is there will not appear by itself.
    EXPECT_EQ(world.BackUp("E:\\ZkPlanStick\\Geen map"), 4);
    EXPECT_TRUE(SnapshotOf(world.show / "Zomer") == before);
    EXPECT_TRUE(SnapshotOf(world.stick.Path()).empty());
    const std::string appended = log.Appended();
    EXPECT_NE(appended.find("-> Fout - de opdrachtregel klopt niet, na /back-up ontbreekt de doelmap\n\r"),
              std::string::npos)
        << appended;
    EXPECT_NE(appended.find("-> Fout - de opdrachtregel klopt niet, een pad eindigt op \\\" (laat de \\ voor het "
                            "aanhalingsteken weg, of schrijf \\\\): E:\\ZkPlanStick\"\n\r"),
              std::string::npos)
        << appended;
    EXPECT_NE(appended.find("-> geweigerd - doelmap in de show\n\r"), std::string::npos) << appended;
    EXPECT_NE(appended.find("-> geweigerd - zelfde schijf\n\r"), std::string::npos) << appended;
    EXPECT_NE(appended.find("-> Uitslag - geen back-up gemaakt: de doelmap is geweigerd (code 4)\n\r"),
              std::string::npos)
        << appended;
}

// A drive letter made for a folder of the show before the program starts,
// which the system then names only by itself: the show's folders are
// looked at for it, and the back-up is refused without writing anything.
TEST(BackupForScripts, ADriveLetterForAFolderOfTheShowIsRefusedBeforeAnythingIsWritten) {
    const char* prefix = std::getenv("WINEPREFIX");
    if (!RunningUnderWine() || !prefix) GTEST_SKIP() << "a drive letter is made under Wine only";
    ScriptedBackup world;
    struct Letter {
        std::string link;
        ~Letter() { RunUnixShell("rm -f '" + link + "'"); }
    } audio{std::string(prefix) + "/dosdevices/k:"};
    ASSERT_EQ(0, RunUnixShell("ln -sfn '" + UnixPathOf(world.show / "Zomer\\Audio") + "' '" + audio.link + "'"));
    const FolderSnapshot before = SnapshotOf(world.show / "Zomer");
    LogWatch log;
    // A folder ending in "\" has it doubled before the closing quote.
    EXPECT_EQ(world.BackUp("K:\\\\"), 4);
    EXPECT_TRUE(SnapshotOf(world.show / "Zomer") == before);
    EXPECT_NE(log.Appended().find("-> geweigerd - doelmap in de show\n\r"), std::string::npos) << log.Appended();
}

// A back-up that is not complete ends with 6: a file held open by another
// program, or a stick that is not in; once both are fine, the next run
// catches up and ends with 0.
TEST(BackupForScripts, AnIncompleteBackupGivesSixAndTheNextRunCatchesUp) {
    ScriptedBackup world;
    LogWatch log;
    {
        UniqueFile held = HoldOpen(world.show / "Zomer\\Audio\\intro.wav", 0);
        ASSERT_TRUE(held);
        EXPECT_EQ(world.BackUp(world.stick.Path()), 6);
    }
    EXPECT_EQ(ReadWholeFile("E:\\ZkPlanStick\\Zomer\\titel.jpg"), "JPEG-titel");
    EXPECT_EQ(::GetFileAttributesA("E:\\ZkPlanStick\\Zomer\\Audio\\intro.wav"), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(ReadWholeFile("E:\\ZkPlanStick\\Zomer - Zekerpad-back-up.txt").find("Laatste back-up: niet volledig"),
              std::string::npos);
    EXPECT_EQ(Check("/controleer-back-up " + Quoted("E:\\ZkPlanStick\\Zomer")), 1);
    std::string appended = log.Appended();
    EXPECT_NE(appended.find("-> fout - Het bestand is in gebruik door een ander programma.\n\r"), std::string::npos)
        << appended;
    EXPECT_NE(appended.find("-> Uitslag - back-up niet volledig (code 6)\n\r"), std::string::npos) << appended;

    // No drive Q: in the test rig: the stick is not in.
    ASSERT_EQ(::GetFileAttributesA("Q:\\"), INVALID_FILE_ATTRIBUTES);
    LogWatch absent;
    EXPECT_EQ(world.BackUp("Q:\\Back-ups"), 6);
    appended = absent.Appended();
    EXPECT_NE(appended.find("-> geweigerd - doelmap bestaat niet\n\r"), std::string::npos) << appended;
    EXPECT_NE(appended.find("-> Uitslag - geen back-up gemaakt: de doelmap kan nu niet worden gebruikt (code 6)\n\r"),
              std::string::npos)
        << appended;

    EXPECT_EQ(world.BackUp(world.stick.Path()), 0);
    EXPECT_EQ(ReadWholeFile("E:\\ZkPlanStick\\Zomer\\Audio\\intro.wav"), "RIFF-intro");
    EXPECT_EQ(Check("/controleer-back-up " + Quoted("E:\\ZkPlanStick\\Zomer")), 0);
}
