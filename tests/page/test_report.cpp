// Reports, "Alle shows controleren" and the check for scripts, on real shows
// on the Wine drives: the report file and its refusals, the check-all
// dialog in the real wizard, the analysis page's button, and every exit
// code of the check without a window, with no file of the shows changed.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include "app/command_check.h"
#include "backup/backup_run.h"
#include "services/run_log.h"
#include "services/state.h"
#include "report/check_all_dialog.h"
#include "report/report_file.h"
#include "report/report_html.h"
#include "report/show_check.h"
#include "resource.h"
#include "support/driver.h"
#include "support/test_support.h"

namespace {

using Strings = std::vector<std::string>;
constexpr int kSelectionPage = 1;
constexpr int kAnalysisPage = 2;

const char kRoot[] = "C:\\ZkReport";
const char kGreenShow[] = "C:\\ZkReport\\Groen\\groen.ws4";
const char kYellowShow[] = "C:\\ZkReport\\Geel & Co\\geel.ws4";
const char kRedShow[] = "C:\\ZkReport\\Rood\\rood.ws4";
const char kLockedShow[] = "C:\\ZkReport\\Slot\\slot.ws4";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

void Make(const std::string& path, const std::string& bytes) {
    ASSERT_TRUE(MakeFolderTree(path.substr(0, path.find_last_of('\\')))) << path;
    ASSERT_TRUE(WriteWholeFile(path, bytes)) << path;
}

// Four shows: green light, only yellow, red, and one another program holds.
class ReportWorld : public ::testing::Test {
protected:
    ReportWorld() : m_root(kRoot) {}
    void SetUp() override {
        Make("C:\\ZkReport\\Groen\\a.wav", std::string(1000, 'a'));
        Make("C:\\ZkReport\\Groen\\Audio\\b.wav", std::string(2000, 'b'));
        Make(kGreenShow, ShowFileBytes({"C:\\ZkReport\\Groen\\a.wav", "C:\\ZkReport\\Groen\\Audio\\b.wav"}));
        Make("C:\\ZkReport\\Elders\\c.mp3", std::string(300, 'c'));
        Make("C:\\ZkReport\\Geel & Co\\d.bmp", std::string(40, 'd'));
        Make(kYellowShow, ShowFileBytes({"C:\\ZkReport\\Elders\\c.mp3", "C:\\ZkReport\\Geel & Co\\d.bmp"}));
        Make(kRedShow, ShowFileBytes({"C:\\ZkReport\\Rood\\weg.wav"}));
        Make(kLockedShow, ShowFileBytes({"C:\\ZkReport\\Slot\\x.wav"}));
    }
    static void UseDefaultSubfolders() {
        g_csSubmapAudio = "Audio";
        g_csSubmapPlaatjes = "Plaatjes";
        g_csSubmapOverige = "Overige";
    }
    ScratchFolder m_root;
};

// --- The report file ------------------------------------------------------

using ReportFile = ReportWorld;

TEST_F(ReportFile, WritesAndReplacesOnlyWhatItMay) {
    const std::string target = m_root / "rapport.html";
    std::string error;
    ASSERT_TRUE(WriteReportFile(target, "<p>een</p>", ReplacePolicy::Replace, &error)) << error;
    EXPECT_EQ(ReadWholeFile(target), "<p>een</p>");
    // Replace: whatever is there is replaced.
    ASSERT_TRUE(WriteReportFile(target, "<p>twee</p>", ReplacePolicy::Replace, &error)) << error;
    EXPECT_EQ(ReadWholeFile(target), "<p>twee</p>");

    // A script may replace an earlier report, never another file.
    const std::string earlier = std::string(kReportMark) + "<p>oud</p>";
    ASSERT_TRUE(WriteWholeFile(target, earlier));
    EXPECT_TRUE(WriteReportFile(target, "<p>nieuw</p>", ReplacePolicy::OnlyOwnReports, &error)) << error;
    EXPECT_EQ(ReadWholeFile(target), "<p>nieuw</p>");
    const std::string showBytes = ReadWholeFile(kGreenShow);
    EXPECT_FALSE(WriteReportFile(kGreenShow, "<p>weg</p>", ReplacePolicy::OnlyOwnReports, &error));
    EXPECT_EQ(error, std::string("Het bestand bestaat al en is geen rapport van Zekerpad; het wordt niet vervangen:\n") +
                         kGreenShow);
    EXPECT_EQ(ReadWholeFile(kGreenShow), showBytes);
}

TEST_F(ReportFile, AFailedWriteLeavesNoFile) {
    const auto before = SnapshotOf(kRoot);
    std::string error;

    // The folder is missing.
    EXPECT_FALSE(WriteReportFile(m_root / "Nergens\\r.html", "x", ReplacePolicy::Replace, &error));
    EXPECT_TRUE(Contains(error, "Het rapport kan in deze map niet worden gemaakt:\nC:\\ZkReport\\Nergens\\")) << error;

    // Too long a path is refused, not cut.
    const std::string longPath = m_root / (std::string(250, 'r') + ".html");
    EXPECT_FALSE(WriteReportFile(longPath, "x", ReplacePolicy::Replace, &error));
    EXPECT_EQ(error, "Het pad is langer dan 259 tekens:\n" + longPath);

    // A folder stands there.
    EXPECT_FALSE(WriteReportFile(m_root / "Groen", "x", ReplacePolicy::Replace, &error));
    EXPECT_EQ(error, "Op deze plaats staat een map, geen bestand:\nC:\\ZkReport\\Groen");
    EXPECT_EQ(SnapshotOf(kRoot), before);

    // A read-only report is not replaced.
    const std::string target = m_root / "alleen-lezen.html";
    ASSERT_TRUE(WriteWholeFile(target, "oud"));
    ASSERT_TRUE(::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    const auto withTarget = SnapshotOf(kRoot);
    EXPECT_FALSE(WriteReportFile(target, "nieuw", ReplacePolicy::Replace, &error));
    EXPECT_EQ(error, "Het bestand is alleen-lezen en wordt niet vervangen:\n" + target);
    EXPECT_EQ(SnapshotOf(kRoot), withTarget);
    ::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);

    // The rename onto a report another program holds open fails: the old
    // report stays as it was and the temporary file is gone.
    {
        UniqueFile held = HoldOpen(target, 0);
        ASSERT_TRUE(held);
        EXPECT_FALSE(WriteReportFile(target, "nieuw", ReplacePolicy::Replace, &error));
        EXPECT_TRUE(Contains(error, "Het rapport kon niet onder deze naam worden opgeslagen:\n" + target)) << error;
    }
    EXPECT_EQ(SnapshotOf(kRoot), withTarget);
}

// --- Checking a show on its own -------------------------------------------

TEST_F(ReportWorld, CheckShowTellsWhatTheWizardWouldDoAndTouchesNoSharedResult) {
    g_csRecentFile = kRedShow;
    g_szShowDir = "\\Elders\\";
    const ShowReport yellow = CheckShow(kYellowShow, SubfolderNames{"Audio", "Plaatjes", "Overige"});
    EXPECT_EQ(g_csRecentFile, kRedShow);
    EXPECT_EQ(g_szShowDir, "\\Elders\\");
    EXPECT_TRUE(g_aYellowFiles.empty());
    EXPECT_EQ(g_nYellow, 0);

    ASSERT_TRUE(yellow.readable);
    EXPECT_EQ(yellow.counts.yellow1, 1);
    EXPECT_EQ(yellow.counts.green, 1);
    ASSERT_EQ(yellow.rows.size(), 2u);
    EXPECT_EQ(yellow.rows[0].path, "C:\\ZkReport\\Elders\\c.mp3");
    EXPECT_EQ(yellow.rows[0].action, "Verplaatsen naar C:\\ZkReport\\Geel & Co\\Audio\\c.mp3");
    EXPECT_EQ(yellow.rows[1].colour, ReportColour::Green);  // beside the show: in the report all the same
    EXPECT_EQ(yellow.rows[1].size, 40);

    const ShowReport red = CheckShow(kRedShow, SubfolderNames{"Audio", "Plaatjes", "Overige"});
    ASSERT_EQ(red.rows.size(), 1u);
    EXPECT_EQ(red.rows[0].action,
              "Niets. Zoek het bestand op de pagina Bestanden met rode stip met de knop Bestanden zoeken..., of "
              "laat Wings het zoeken met de knop Start Wings.");
    const ShowReport gone = CheckShow(m_root / "geen.ws4", {});
    EXPECT_EQ(VerdictWords(gone), "niet gecontroleerd: de show bestaat niet");
    EXPECT_EQ(VerdictInFull(gone), "niet gecontroleerd: Het opgegeven Wings-bestand bestaat niet!");
}

// --- "Alle shows controleren" ---------------------------------------------

constexpr char kCheckAllCaption[] = "Zekerpad - Alle shows controleren";

std::vector<Strings> ListRows(HWND list) {
    std::vector<Strings> rows;
    const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        Strings row;
        for (int column = 0; column < 7; ++column) {
            char text[600] = {};
            LVITEMA item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            row.push_back(text);
        }
        rows.push_back(row);
    }
    return rows;
}

void NotifyList(HWND dialog, UINT code, int item, int column) {
    NMITEMACTIVATE nm{};
    nm.hdr.hwndFrom = ::GetDlgItem(dialog, IDC_CHECK_LIST);
    nm.hdr.idFrom = IDC_CHECK_LIST;
    nm.hdr.code = code;
    nm.iItem = item;
    nm.iSubItem = column;
    ::SendMessageA(dialog, WM_NOTIFY, IDC_CHECK_LIST, reinterpret_cast<LPARAM>(&nm));
}

TEST_F(ReportWorld, CheckAllListsEveryFoundShowAndADoubleClickTakesOneIntoTheWizard) {
    const auto before = SnapshotOf(kRoot);
    UniqueFile held = HoldOpen(kLockedShow, 0);
    ASSERT_TRUE(held);
    const std::string unreadable = "niet gecontroleerd: in gebruik bij een ander programma";
    const std::string unreadableInFull =
        "niet gecontroleerd: De show is in gebruik bij een ander programma (bijvoorbeeld Wings) en kan "
        "nu niet worden gelezen. Delingsfout. Sluit de show in dat programma, of sluit het programma, en "
        "probeer het daarna opnieuw.";
    LogWatch log;
    ASSERT_TRUE(OpenRunLog());
    {
        WizardHarness wizard;
        // The wizard has analysed the red show and is back at the choice.
        wizard.GoTo(kSelectionPage);
        HWND page = wizard.CurrentPage();
        ::SetDlgItemTextA(page, IDC_SHOW_EDIT, kRedShow);
        wizard.GoTo(kAnalysisPage);
        wizard.GoTo(kSelectionPage);
        // As a search leaves the page: the found shows in the list.
        HWND list = ::GetDlgItem(page, IDC_LIST);
        for (const char* show : {kGreenShow, kYellowShow, kLockedShow})
            ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(show));
        HWND button = ::GetDlgItem(page, IDC_CHECK_ALL);
        EXPECT_FALSE(::IsWindowVisible(button));  // no search yet
        ::ShowWindow(button, SW_SHOW);

        // What the dialog shows once its report can be saved.
        std::string status, statusOfSelected, recentFileMeanwhile;
        std::vector<Strings> rows, byVerdict, byVerdictReversed;
        Strings redFilesMeanwhile;
        ModalDriver driver(
            kCheckAllCaption,
            {[&](HWND dialog) {
                status = ItemText(dialog, IDC_CHECK_STATUS);
                HWND list = ::GetDlgItem(dialog, IDC_CHECK_LIST);
                rows = ListRows(list);
                recentFileMeanwhile = g_csRecentFile;
                for (const auto& r : g_aRedFiles) redFilesMeanwhile.push_back(r->m_csPath);
                NotifyList(dialog, LVN_COLUMNCLICK, -1, 6);
                byVerdict = ListRows(list);
                NotifyList(dialog, LVN_COLUMNCLICK, -1, 6);
                byVerdictReversed = ListRows(list);
                // Selecting the unreadable show puts its whole verdict above the list.
                LVITEMA select{};
                select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
                select.state = LVIS_SELECTED | LVIS_FOCUSED;
                ::SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));
                statusOfSelected = ItemText(dialog, IDC_CHECK_STATUS);
                // The green show, at the bottom of the reversed list.
                NotifyList(dialog, NM_DBLCLK, 2, 0);
            }},
            [](HWND dialog) { return ::IsWindowEnabled(::GetDlgItem(dialog, IDC_CHECK_SAVE)) != FALSE; });
        ClickDialogButton(page, IDC_CHECK_ALL);
        PumpMessages();

        ASSERT_TRUE(driver.Done());
        EXPECT_EQ(status, "Klaar: 3 shows gecontroleerd. Dubbelklik op een show om die in de wizard te "
                                "analyseren.");
        const Strings green = {kGreenShow, "0", "0", "0", "2", "3,0 kB", "groen licht"};
        const Strings yellow = {kYellowShow, "0", "1", "0", "1", "398 bytes", "geen groen licht: gele bestanden"};
        const Strings locked = {kLockedShow, "", "", "", "", "", unreadable};
        // In the order of the found shows (the list sorts them).
        EXPECT_EQ(rows, (std::vector<Strings>{yellow, green, locked}));
        EXPECT_EQ(byVerdict, (std::vector<Strings>{green, yellow, locked}));
        EXPECT_EQ(byVerdictReversed, (std::vector<Strings>{locked, yellow, green}));
        EXPECT_EQ(statusOfSelected, std::string(kLockedShow) + ":\n" + unreadableInFull);
        // Meanwhile the wizard's choice and results stayed the red show's.
        EXPECT_EQ(recentFileMeanwhile, kRedShow);
        EXPECT_EQ(redFilesMeanwhile, Strings{"C:\\ZkReport\\Rood\\weg.wav"});

        // The double-click made the green show the chosen one and analysed it.
        EXPECT_EQ(wizard.CurrentIndex(), kAnalysisPage);
        EXPECT_EQ(g_csRecentFile, kGreenShow);
        EXPECT_EQ(g_csAnalysedFile, kGreenShow);
        EXPECT_EQ(g_bAnalysed, 1);
        EXPECT_EQ(g_nGreen, 2);
        EXPECT_TRUE(g_aRedFiles.empty());
    }
    CloseRunLog();
    const std::string appended = log.Appended();
    const std::string entries =
        "Start controle alle shows\n\r"
        "-> C:\\ZkReport\\Geel & Co\\geel.ws4 - groen 1, geel 1 1, geel 2 0, rood 0, overige 0: geen groen licht: gele bestanden\n\r"
        "-> C:\\ZkReport\\Groen\\groen.ws4 - groen 2, geel 1 0, geel 2 0, rood 0, overige 0: groen licht\n\r"
        "-> C:\\ZkReport\\Slot\\slot.ws4 - " + unreadableInFull + "\n\r"
        "Einde controle alle shows\n\r";
    EXPECT_TRUE(Contains(appended, entries)) << appended;
    EXPECT_TRUE(Contains(appended, "-> Start analyse - C:\\ZkReport\\Groen\\groen.ws4\n\r"));
    EXPECT_FALSE(Contains(appended, "-> g_csRecentFile - C:\\ZkReport\\Groen"));
    held.reset();
    EXPECT_EQ(SnapshotOf(kRoot), before);
}

// --- The analysis page's report -------------------------------------------

struct SaveDialogCall {
    bool asked = false;
    std::string suggested, initialDir, answer;
    DWORD flags = 0;
};
SaveDialogCall* s_save = nullptr;

BOOL WINAPI FakeSaveDialog(OPENFILENAMEA* ofn) {
    s_save->asked = true;
    s_save->suggested = ofn->lpstrFile;
    s_save->initialDir = ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "";
    s_save->flags = ofn->Flags;
    if (s_save->answer.empty()) return FALSE;
    if (s_save->answer.size() + 1 > ofn->nMaxFile) return FALSE;
    lstrcpyA(ofn->lpstrFile, s_save->answer.c_str());
    return TRUE;
}

class ScopedSaveDialog {
public:
    explicit ScopedSaveDialog(SaveDialogCall& call) : m_seam(g_pfnGetSaveFileName, &FakeSaveDialog) { s_save = &call; }
    ~ScopedSaveDialog() { s_save = nullptr; }

private:
    ScopedSeam<SaveFileDialogFn> m_seam;
};

TEST_F(ReportWorld, AnalysisPageSavesTheReportOfTheAnalysedShow) {
    ASSERT_TRUE(OpenRunLog());
    WizardHarness wizard;
    UseDefaultSubfolders();
    wizard.GoTo(kSelectionPage);
    HWND selection = wizard.CurrentPage();
    ::SetDlgItemTextA(selection, IDC_SHOW_EDIT, (m_root / "geen.ws4").c_str());
    {
        MessageBoxRecorder boxes;  // the failed analysis says so
        wizard.GoTo(kAnalysisPage);
        EXPECT_EQ(boxes.Boxes().size(), 1u);
    }
    HWND page = wizard.CurrentPage();
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, IDC_SAVE_REPORT)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, IDC_CHECK_CONTENTS)));

    // Every file missing: a report, but nothing to read.
    wizard.GoTo(kSelectionPage);
    ::SetDlgItemTextA(selection, IDC_SHOW_EDIT, kRedShow);
    wizard.GoTo(kAnalysisPage);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(page, IDC_SAVE_REPORT)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, IDC_CHECK_CONTENTS)));

    wizard.GoTo(kSelectionPage);
    ::SetDlgItemTextA(selection, IDC_SHOW_EDIT, kYellowShow);
    wizard.GoTo(kAnalysisPage);
    ASSERT_TRUE(::IsWindowEnabled(::GetDlgItem(page, IDC_SAVE_REPORT)));

    SaveDialogCall call;
    ScopedSaveDialog seam(call);
    // Cancelled: nothing written.
    ClickDialogButton(page, IDC_SAVE_REPORT);
    EXPECT_TRUE(call.asked);
    EXPECT_EQ(call.suggested, "geel - Zekerpad-rapport.html");
    char documents[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)));
    EXPECT_EQ(call.initialDir, documents);
    EXPECT_TRUE(call.flags & OFN_OVERWRITEPROMPT);
    const auto before = SnapshotOf(kRoot);

    call.answer = m_root / "geel rapport.html";
    ClickDialogButton(page, IDC_SAVE_REPORT);
    const std::string html = ReadWholeFile(call.answer);
    EXPECT_TRUE(Contains(html, "<title>Zekerpad-rapport: C:\\ZkReport\\Geel &amp; Co\\geel.ws4</title>"));
    EXPECT_TRUE(Contains(html, "Oordeel: geen groen licht: gele bestanden</p>"));
    EXPECT_TRUE(Contains(html, "<td class=\"pad\">C:\\ZkReport\\Elders\\c.mp3</td><td>geluid</td>"
                               "<td class=\"getal\">300</td><td>Verplaatsen naar C:\\ZkReport\\Geel &amp; Co\\Audio\\"
                               "c.mp3</td>"))
        << html;
    EXPECT_TRUE(Contains(html, "<td class=\"pad\">C:\\ZkReport\\Geel &amp; Co\\d.bmp</td><td>afbeelding</td>"));
    auto after = SnapshotOf(kRoot);
    after.erase(call.answer);
    EXPECT_EQ(after, before);
    CloseRunLog();
}

// A report made after a repair would date the results of before it; and
// the save dialog's question cannot tell a report from the show a typo
// named.
TEST_F(ReportWorld, AfterARepairTheReportWaitsForAFreshAnalysisAndNoShowIsEverReplaced) {
    ASSERT_TRUE(OpenRunLog());
    WizardHarness wizard;
    UseDefaultSubfolders();
    wizard.GoTo(kSelectionPage);
    ::SetDlgItemTextA(wizard.CurrentPage(), IDC_SHOW_EDIT, kYellowShow);
    wizard.GoTo(kAnalysisPage);
    HWND page = wizard.CurrentPage();
    ASSERT_TRUE(::IsWindowEnabled(::GetDlgItem(page, IDC_SAVE_REPORT)));

    MessageBoxRecorder boxes;
    SaveDialogCall call;
    ScopedSaveDialog seam(call);
    const std::string showBytes = ReadWholeFile(kGreenShow);
    call.answer = kGreenShow;
    ClickDialogButton(page, IDC_SAVE_REPORT);
    EXPECT_EQ(ReadWholeFile(kGreenShow), showBytes);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, std::string("Het rapport is niet opgeslagen.\nHet bestand bestaat al en is geen "
                                                 "rapport van Zekerpad; het wordt niet vervangen:\n") +
                                         kGreenShow +
                                         "\n\nKlik nog eens op Rapport opslaan en kies een andere naam of map, "
                                         "bijvoorbeeld Documenten.");

    // The yellow-1 repair moves c.mp3; back on the analysis page, the
    // report waits.
    wizard.Press(PSBTN_NEXT);
    ASSERT_EQ(wizard.CurrentIndex(), 4);
    ClickDialogButton(wizard.CurrentPage(), IDC_BUTTON_1007);
    ASSERT_TRUE(::GetFileAttributesA("C:\\ZkReport\\Geel & Co\\Audio\\c.mp3") != INVALID_FILE_ATTRIBUTES);
    wizard.Press(PSBTN_BACK);
    ASSERT_EQ(wizard.CurrentIndex(), kAnalysisPage);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, IDC_SAVE_REPORT)));
    // Nor may the files be checked where they no longer are.
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, IDC_CHECK_CONTENTS)));

    // A fresh analysis: the report may be saved again.
    wizard.GoTo(kSelectionPage);
    wizard.GoTo(kAnalysisPage);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(page, IDC_SAVE_REPORT)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(page, IDC_CHECK_CONTENTS)));
    CloseRunLog();
}

// --- The check for scripts ------------------------------------------------

// The report is suggested in Documents, where the demo saves it. The test
// rig's prefix must keep that and every other shell folder inside itself,
// not link it into the user's home folder as Wine does by default.
TEST(TestRig, ShellFoldersLieInsideTheWinePrefixNotInTheHomeFolder) {
    const std::string driveC = UnixPathOf("C:\\");
    if (driveC.empty()) GTEST_SKIP() << "needs Wine";
    for (int csidl : {CSIDL_PERSONAL, CSIDL_DESKTOPDIRECTORY, CSIDL_MYMUSIC, CSIDL_MYPICTURES, CSIDL_MYVIDEO}) {
        char folder[MAX_PATH] = {};
        ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder)));
        const std::string unixFolder = UnixPathOf(folder);
        EXPECT_EQ(0, RunUnixShell("test -d '" + unixFolder + "' && test ! -L '" + unixFolder + "' && case $(realpath '" +
                                  unixFolder + "') in $(realpath '" + driveC + "')/*) exit 0;; esac; exit 1"))
            << folder << " is " << unixFolder;
    }
}

// Every exit code of both checks for scripts with each of its causes, one
// row a cause: a new cause is one more row.
TEST_F(ReportWorld, CheckForScriptsGivesEveryExitCodeAndChangesNoFile) {
    // Its only file outside its folder lies on another drive.
    ScratchFolder other("D:\\ZkReport");
    Make(other / "ver.wav", "RIFF");
    const std::string farShow = m_root / "Ver\\ver.ws4";
    Make(farShow, ShowFileBytes({"D:\\ZkReport\\ver.wav"}));
    const std::string networkShow = m_root / "Netwerk\\netwerk.ws4";
    Make(networkShow, ShowFileBytes({"\\\\server\\share\\intro.wav"}));
    const std::string emptyShow = m_root / "Leeg\\leeg.ws4";
    Make(emptyShow, "");
    // A back-up on the stick, as recorded; rows below change it.
    ScratchFolder show("C:\\ZkExitShow"), stick("E:\\ZkExitStick");
    Make(show / "Audio\\a.wav", "RIFF1234");
    Make(show / "b.jpg", "JPEGDATA");
    BackupOutcome outcome;
    ASSERT_EQ(MakeBackup(show.Path() + "\\", stick.Path(), nullptr, nullptr, &outcome), BackupResult::Ran);
    const std::string copy = stick / "ZkExitShow";

    const auto before = SnapshotOf(kRoot);
    UniqueFile held = HoldOpen(kLockedShow, 0);
    ASSERT_TRUE(held);
    const std::string logPath = m_root / "controle.log";
    const std::string ini = m_root / "zk.ini";  // absent: the default subfolder names
    const std::string report = m_root / "rapport.html";
    MessageBoxRecorder boxes;
    struct Row {
        const char* cause;
        Strings args;
        int code;
        std::function<void()> first = nullptr;  // what changes before the row's run
    };
    const Row rows[] = {
        {"groen licht", {"/controleer", kGreenShow}, 0},
        {"geel 1", {"/controleer", kYellowShow}, 1},
        {"geel 2", {"/controleer", farShow}, 1},
        {"netwerk", {"/controleer", networkShow}, 1},
        {"rood, met rapport", {"/controleer", kRedShow, "/rapport", report}, 2},
        {"show in gebruik", {"/controleer", kLockedShow}, 3},
        {"show ontbreekt", {"/controleer", m_root / "geen.ws4"}, 3},
        {"geen bestandsnaam", {"/controleer", emptyShow}, 3},
        {"geen show", {"/controleer"}, 4},
        {"geen opdracht", {"/rapport", report}, 4},
        {"onbekend na de show", {"/controleer", kGreenShow, "/snel"}, 4},
        {"rapport op de plaats van de show", {"/controleer", kGreenShow, "/rapport", kGreenShow}, 4},
        {"back-up zoals vastgelegd", {"/controleer-back-up", copy}, 0},
        {"back-up: een byte anders", {"/controleer-back-up", copy}, 1, [&] { Make(copy + "\\b.jpg", "JPEGDATB"); }},
        {"back-up: een bestand weg", {"/controleer-back-up", copy}, 1,
         [&] {
             Make(copy + "\\b.jpg", "JPEGDATA");
             ::DeleteFileA((copy + "\\Audio\\a.wav").c_str());
         }},
        {"back-up zonder overzicht", {"/controleer-back-up", show.Path()}, 3},
        {"back-up zonder map", {"/controleer-back-up"}, 4},
        {"back-up: te veel", {"/controleer-back-up", copy, "/snel"}, 4},
    };
    for (const Row& row : rows) {
        if (row.first) row.first();
        EXPECT_EQ(RunCommandCheck(ParseCheckCommand(row.args), logPath, ini), row.code) << row.cause;
    }
    EXPECT_TRUE(boxes.Boxes().empty());
    held.reset();

    // /nakijken reads every file: one that holds nothing but zero bytes is
    // damaged (5), which outweighs yellow (1) but not red (2) or an
    // unreadable show (3). Notes are of a kind no check judges.
    Make(m_root / "Nakijken\\notities.txt", "Licht uit bij dia 12.");
    Make(m_root / "Nakijken\\stilte.wav", std::string(600, '\0'));
    const std::string whole = m_root / "Nakijken\\heel.ws4";
    const std::string damaged = m_root / "Nakijken\\stuk.ws4";
    const std::string damagedAndYellow = m_root / "Nakijken\\stuk en geel.ws4";
    const std::string damagedAndRed = m_root / "Nakijken\\stuk en rood.ws4";
    Make(whole, ShowFileBytes({"C:\\ZkReport\\Nakijken\\notities.txt"}));
    Make(damaged, ShowFileBytes({"C:\\ZkReport\\Nakijken\\notities.txt", "C:\\ZkReport\\Nakijken\\stilte.wav"}));
    Make(damagedAndYellow, ShowFileBytes({"C:\\ZkReport\\Nakijken\\stilte.wav", "C:\\ZkReport\\Elders\\c.mp3"}));
    Make(damagedAndRed, ShowFileBytes({"C:\\ZkReport\\Nakijken\\stilte.wav", "C:\\ZkReport\\Nakijken\\weg.wav"}));
    const std::string checkedReport = m_root / "nagekeken.html";
    const auto run = [&](const Strings& args) { return RunCommandCheck(ParseCheckCommand(args), logPath, ini); };
    EXPECT_EQ(run({"/controleer", whole, "/nakijken"}), 0);
    EXPECT_EQ(run({"/controleer", damaged}), 0);
    EXPECT_EQ(run({"/controleer", damagedAndYellow, "/rapport", checkedReport, "/nakijken"}), 5);
    EXPECT_EQ(run({"/controleer", damaged, "/nakijken", "/rapport", checkedReport}), 5);
    EXPECT_EQ(run({"/controleer", damagedAndRed, "/nakijken"}), 2);
    EXPECT_EQ(run({"/controleer", m_root / "geen.ws4", "/nakijken"}), 3);
    EXPECT_EQ(run({"/controleer", damaged, "/nakijken", "/nakijken"}), 4);
    const std::string checkedHtml = ReadWholeFile(checkedReport);
    EXPECT_TRUE(Contains(checkedHtml, "Oordeel: geen groen licht: beschadigde bestanden</p>")) << checkedHtml;
    EXPECT_TRUE(Contains(checkedHtml, "<p>De bestanden zijn nagekeken. Gelezen: 2 bestanden. Beschadigd: 1. "
                                      "Niet te beoordelen: 1.<br>Zet van elk beschadigd bestand een goede kopie terug en "
                                      "kijk de bestanden daarna opnieuw na.</p>"))
        << checkedHtml;
    EXPECT_TRUE(Contains(checkedHtml, "<td class=\"pad\">C:\\ZkReport\\Nakijken\\stilte.wav<br><span class=\"mark "
                                      "rood\">&#10006;</span> Beschadigd: "))
        << checkedHtml;

    const std::string html = ReadWholeFile(report);
    EXPECT_TRUE(Contains(html, "Oordeel: geen groen licht: rode bestanden</p>"));
    EXPECT_TRUE(Contains(html, "<td class=\"pad\">C:\\ZkReport\\Rood\\weg.wav</td><td>geluid</td>"
                               "<td class=\"getal\">ontbreekt</td>"));
    auto after = SnapshotOf(kRoot);
    after.erase(report);
    after.erase(logPath);
    after.erase(checkedReport);
    for (const std::string& made : {whole, damaged, damagedAndYellow, damagedAndRed, m_root / "Nakijken\\notities.txt",
                                    m_root / "Nakijken\\stilte.wav"})
        after.erase(made);
    EXPECT_EQ(after, before);

    const std::string logged = ReadWholeFile(logPath);
    EXPECT_TRUE(Contains(logged,
                         "\n\r>>>>>>>>> Start logboek\n\r\n\rControle zonder venster\n\r"
                         "-> Start analyse - C:\\ZkReport\\Groen\\groen.ws4\n\r"
                         "-> groen   - 2\n\r-> geel 1  - 0\n\r-> geel 2  - 0\n\r-> geel    - 0\n\r"
                         "-> rood    - 0\n\r-> overige - 0\n\rEinde analyse\n\r"
                         "-> Uitslag - groen licht (code 0)\n\rStop logboek <<<<<<<<<\n\r\n\r"))
        << logged;
    EXPECT_TRUE(Contains(logged, "-> Rapport opgeslagen - C:\\ZkReport\\rapport.html\n\r"));
    EXPECT_TRUE(Contains(logged, "Einde analyse\n\rStart nakijken bestanden\n\r"
                                 "-> beschadigd - C:\\ZkReport\\Nakijken\\stilte.wav ("))
        << logged;
    EXPECT_TRUE(Contains(logged, ")\n\r-> aantal gelezen - 2\n\r-> aantal beschadigd - 1\n\r-> aantal let op - 0\n\r"
                                 "-> aantal niet te beoordelen - 1\n\rEinde nakijken bestanden\n\r"
                                 "-> Rapport opgeslagen - C:\\ZkReport\\nagekeken.html\n\r"
                                 "-> Uitslag - geen groen licht: beschadigde bestanden (code 5)\n\r"))
        << logged;
    EXPECT_TRUE(Contains(logged, "-> Fout - niet gecontroleerd: Het opgegeven Wings-bestand bestaat niet!\n\r"));
    EXPECT_TRUE(Contains(logged, "-> Fout - de opdrachtregel klopt niet, na /controleer ontbreekt de show\n\r"));
    EXPECT_TRUE(Contains(logged, "-> Rapport niet opgeslagen - Het bestand bestaat al en is geen rapport van "
                                 "Zekerpad; het wordt niet vervangen: C:\\ZkReport\\Groen\\groen.ws4\n\r"));
}

}  // namespace

// Enter as the check begins does nothing; Enter on a row of its results
// does what a double-click does: that show goes to the wizard.
TEST_F(ReportWorld, EnterDuringTheCheckDoesNothingAndOnARowChoosesItsShow) {
    ASSERT_TRUE(OpenRunLog());
    CCheckAllDialog dialog({kYellowShow, kGreenShow});
    KeyAtDialogStart enter(kCheckAllCaption, IDC_CHECK_LIST, VK_RETURN);
    ModalDriver driver(
        kCheckAllCaption,
        {[](HWND window) {
            // The first row chosen, and Enter on it.
            HWND list = ::GetDlgItem(window, IDC_CHECK_LIST);
            LVITEMA item{};
            item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
            ::SetFocus(list);
            ::PostMessageA(list, WM_KEYDOWN, VK_RETURN, 1);
        }},
        [](HWND window) { return ItemText(window, IDC_CHECK_STATUS).rfind("Klaar", 0) == 0; });
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    CloseRunLog();
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(enter.Posted());
    EXPECT_EQ(dialog.Reports().size(), 2u);
    EXPECT_EQ(dialog.Chosen(), kYellowShow);
}

// Held at the check of the second show, Esc is pressed there: the first
// is the only one checked.
TEST_F(ReportWorld, CheckAllStopsOnEsc) {
    const std::vector<std::string> shows(3, kGreenShow);
    LogWatch log;
    ASSERT_TRUE(OpenRunLog());
    CCheckAllDialog dialog(shows);
    std::string statusAtStop;
    bool escPressed = false;
    const DWORD deadline = ::GetTickCount() + 20000;
    LongWorkSteps steps([&](CLongWork& work, int step) {
        if (step != 2) return false;
        if (!escPressed) {
            HWND window = FindThreadWindow(kCheckAllCaption);
            statusAtStop = ItemText(window, IDC_CHECK_STATUS);
            ::PostMessageA(::GetDlgItem(window, IDC_CHECK_LIST), WM_KEYDOWN, VK_ESCAPE, 0);
            escPressed = true;
        }
        return !work.StopRequested() && ::GetTickCount() < deadline;  // held until the key is handled
    });
    std::string statusAfter;
    ModalDriver driver(
        kCheckAllCaption,
        {[&](HWND window) {
            statusAfter = ItemText(window, IDC_CHECK_STATUS);
            ClickDialogButton(window, IDCANCEL);
        }},
        [](HWND window) { return !::IsWindowEnabled(::GetDlgItem(window, IDC_CHECK_STOP)); });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    CloseRunLog();
    EXPECT_EQ(statusAtStop, "Show 1 van 3 wordt gecontroleerd:\nC:\\ZkReport\\Groen\\groen.ws4");
    EXPECT_EQ(statusAfter, "Gestopt: 1 van 3 shows gecontroleerd.");
    EXPECT_EQ(dialog.Reports().size(), 1u);
    EXPECT_TRUE(Contains(log.Appended(), "Start controle alle shows\n\r"
                                         "-> C:\\ZkReport\\Groen\\groen.ws4 - groen 2, geel 1 0, geel 2 0, rood 0, "
                                         "overige 0: groen licht\n\r"
                                         "Einde controle alle shows\n\r"))
        << log.Appended();
}

// The list with its sizes as a person reads them, at 96 DPI and (run by the
// next test) at 144.
TEST_F(ReportWorld, CheckAllListPicture) {
    LogWatch log;
    ASSERT_TRUE(OpenRunLog());
    CCheckAllDialog dialog({kGreenShow, kYellowShow, kRedShow});
    bool shot = false;
    ModalDriver driver(
        kCheckAllCaption,
        {[&](HWND window) {
            shot = SaveShot(window, ShotFolder("words") + "1-alle-shows");
            ClickDialogButton(window, IDCANCEL);
        }},
        [](HWND window) { return ::IsWindowEnabled(::GetDlgItem(window, IDC_CHECK_SAVE)) != FALSE; });
    dialog.DoModal(nullptr);
    CloseRunLog();
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(shot);
}

TEST(ReportWorldAt144Dpi, CheckAllListPicture) {
    if (InDpiChild()) GTEST_SKIP() << "the child itself";
    EXPECT_EQ(0, RunTestsAt144Dpi("ReportWorld.CheckAllListPicture"));
}

// After the check, "Back-up van alle groene shows" gets the checked shows
// and what it says of each goes into the report, in a column of its own.
TEST_F(ReportWorld, TheBackupOfAllGreenShowsGetsTheListAndItsLinesJoinTheReport) {
    ASSERT_TRUE(OpenRunLog());
    std::vector<std::string> handed;
    CCheckAllDialog dialog({kGreenShow, kRedShow}, [&](HWND, const std::vector<ShowReport>& reports) {
        for (const ShowReport& r : reports) handed.push_back(r.showPath + " " + VerdictWords(r));
        return std::vector<std::string>{"volledig", "overgeslagen: geen groen licht: rode bestanden"};
    });
    bool enabledDuring = true;
    ModalDriver driver(kCheckAllCaption,
                       {[&](HWND window) {
                           ClickDialogButton(window, IDC_CHECK_BACKUP_ALL);
                           ClickDialogButton(window, IDCANCEL);
                       }},
                       [&](HWND window) {
                           const bool enabled = ::IsWindowEnabled(::GetDlgItem(window, IDC_CHECK_BACKUP_ALL)) != FALSE;
                           if (ItemText(window, IDC_CHECK_STATUS).rfind("Klaar", 0) != 0) enabledDuring = enabledDuring && !enabled;
                           return enabled;
                       });
    dialog.DoModal(nullptr);
    CloseRunLog();
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ((std::vector<std::string>{kGreenShow + std::string(" groen licht"),
                                        kRedShow + std::string(" geen groen licht: rode bestanden")}),
              handed);
    ASSERT_EQ(2u, dialog.Reports().size());
    EXPECT_EQ("volledig", dialog.Reports()[0].backup);
    const std::string html = AllShowsReportHtml(dialog.Reports(), "9 december 2026, 18:00");
    EXPECT_NE(std::string::npos, html.find("<th>Oordeel</th><th>Back-up</th></tr>"));
    EXPECT_NE(std::string::npos, html.find("rode bestanden</td><td>overgeslagen: geen groen licht: rode bestanden</td></tr>"));
}
