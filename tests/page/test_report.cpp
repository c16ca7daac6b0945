// Reports, "Alle shows controleren" and the check for scripts, on real shows
// on the Wine drives: the report file and its refusals, the check-all
// dialog in the real wizard, the analysis page's button, and every exit
// code of the check without a window, with no file of the shows changed.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <map>
#include <string>
#include <vector>

#include "app/command_check.h"
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

std::string ShowBytes(const Strings& refs) {
    std::string bytes("WS4\0\x01", 5);
    for (const std::string& r : refs) bytes += r + '\0';
    return bytes;
}

// Every file below a folder with its bytes: what a check may not change.
void Snapshot(const std::string& folder, std::map<std::string, std::string>& files) {
    WIN32_FIND_DATAA found{};
    UniqueFind find(::FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!find) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            Snapshot(path, files);
        else
            files[path] = ReadWholeFile(path);
    } while (::FindNextFileA(find.get(), &found));
}
std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    Snapshot(folder, files);
    return files;
}

// Four shows: green light, only yellow, red, and one another program holds.
class ReportWorld : public ::testing::Test {
protected:
    ReportWorld() : m_root(kRoot) {}
    void SetUp() override {
        Make("C:\\ZkReport\\Groen\\a.wav", std::string(1000, 'a'));
        Make("C:\\ZkReport\\Groen\\Audio\\b.wav", std::string(2000, 'b'));
        Make(kGreenShow, ShowBytes({"C:\\ZkReport\\Groen\\a.wav", "C:\\ZkReport\\Groen\\Audio\\b.wav"}));
        Make("C:\\ZkReport\\Elders\\c.mp3", std::string(300, 'c'));
        Make("C:\\ZkReport\\Geel & Co\\d.bmp", std::string(40, 'd'));
        Make(kYellowShow, ShowBytes({"C:\\ZkReport\\Elders\\c.mp3", "C:\\ZkReport\\Geel & Co\\d.bmp"}));
        Make(kRedShow, ShowBytes({"C:\\ZkReport\\Rood\\weg.wav"}));
        Make(kLockedShow, ShowBytes({"C:\\ZkReport\\Slot\\x.wav"}));
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
    const auto before = Snapshot(kRoot);
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
    EXPECT_EQ(Snapshot(kRoot), before);

    // A read-only report is not replaced.
    const std::string target = m_root / "alleen-lezen.html";
    ASSERT_TRUE(WriteWholeFile(target, "oud"));
    ASSERT_TRUE(::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    const auto withTarget = Snapshot(kRoot);
    EXPECT_FALSE(WriteReportFile(target, "nieuw", ReplacePolicy::Replace, &error));
    EXPECT_EQ(error, "Het bestand is alleen-lezen en wordt niet vervangen:\n" + target);
    EXPECT_EQ(Snapshot(kRoot), withTarget);
    ::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);

    // The rename onto a report another program holds open fails: the old
    // report stays as it was and the temporary file is gone.
    {
        UniqueFile held = HoldOpen(target, 0);
        ASSERT_TRUE(held);
        EXPECT_FALSE(WriteReportFile(target, "nieuw", ReplacePolicy::Replace, &error));
        EXPECT_TRUE(Contains(error, "Het rapport kon niet onder deze naam worden opgeslagen:\n" + target)) << error;
    }
    EXPECT_EQ(Snapshot(kRoot), withTarget);
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

// What the test saw in the dialog, from inside its modal loop.
struct CheckAllVisit {
    DWORD start = 0;
    bool done = false;
    std::string status;
    std::vector<Strings> rows, byVerdict, byVerdictReversed;
    std::string recentFileMeanwhile, statusOfSelected;
    Strings redFilesMeanwhile;
    int chooseRow = -1;
};
CheckAllVisit* s_visit = nullptr;

HWND FindThreadWindow(const char* caption) {
    struct Find {
        const char* caption;
        HWND found;
    } f{caption, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            auto* f = reinterpret_cast<Find*>(lp);
            char title[128] = {};
            ::GetWindowTextA(w, title, sizeof title);
            if (std::string(title) != f->caption || !::IsWindowVisible(w)) return TRUE;
            f->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&f));
    return f.found;
}

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

void CALLBACK CheckAllTick(HWND, UINT, UINT_PTR timer, DWORD) {
    CheckAllVisit* visit = s_visit;
    HWND dialog = FindThreadWindow("Zekerpad - Alle shows controleren");
    if (!visit || !dialog) return;
    if (::GetTickCount() - visit->start > 60000) {
        ::KillTimer(nullptr, timer);
        ADD_FAILURE() << "the check of every show did not end";
        ::PostMessageA(dialog, WM_CLOSE, 0, 0);
        return;
    }
    // Done once its report can be saved.
    if (!::IsWindowEnabled(::GetDlgItem(dialog, IDC_CHECK_SAVE))) return;
    ::KillTimer(nullptr, timer);
    visit->done = true;
    char status[600] = {};
    ::GetDlgItemTextA(dialog, IDC_CHECK_STATUS, status, sizeof status);
    visit->status = status;
    HWND list = ::GetDlgItem(dialog, IDC_CHECK_LIST);
    visit->rows = ListRows(list);
    SaveScreenshot(dialog, ScreenshotFolder() + "\\rapport-alle-shows.bmp");
    visit->recentFileMeanwhile = g_csRecentFile;
    for (const auto& r : g_aRedFiles) visit->redFilesMeanwhile.push_back(r->m_csPath);
    NotifyList(dialog, LVN_COLUMNCLICK, -1, 6);
    visit->byVerdict = ListRows(list);
    NotifyList(dialog, LVN_COLUMNCLICK, -1, 6);
    visit->byVerdictReversed = ListRows(list);
    // Selecting the unreadable show puts its whole verdict above the list.
    LVITEMA select{};
    select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    select.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));
    ::GetDlgItemTextA(dialog, IDC_CHECK_STATUS, status, sizeof status);
    visit->statusOfSelected = status;
    // The whole reason above the list, four lines of it.
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SaveScreenshot(dialog, ScreenshotFolder() + "\\rapport-alle-shows-oordeel.bmp");
    // The green show, at the bottom of the reversed list.
    NotifyList(dialog, NM_DBLCLK, visit->chooseRow, 0);
}

TEST_F(ReportWorld, CheckAllListsEveryFoundShowAndADoubleClickTakesOneIntoTheWizard) {
    const auto before = Snapshot(kRoot);
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
        ::ShowWindow(::GetDlgItem(page, IDC_TREE), SW_SHOW);
        for (int id : {IDC_VIEW_LABEL, IDC_VIEW_TREE, IDC_VIEW_LIST}) ::ShowWindow(::GetDlgItem(page, id), SW_SHOW);
        ::RedrawWindow(wizard.Sheet(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PumpMessages(200);
        SaveScreenshot(wizard.Sheet(), ScreenshotFolder() + "\\rapport-selectie.bmp");

        CheckAllVisit visit;
        visit.start = ::GetTickCount();
        visit.chooseRow = 2;
        s_visit = &visit;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &CheckAllTick);
        ClickDialogButton(page, IDC_CHECK_ALL);
        ::KillTimer(nullptr, timer);
        s_visit = nullptr;
        PumpMessages();

        ASSERT_TRUE(visit.done);
        EXPECT_EQ(visit.status, "Klaar: 3 shows gecontroleerd. Dubbelklik op een show om die in de wizard te "
                                "analyseren.");
        const Strings green = {kGreenShow, "0", "0", "0", "2", "3.059", "groen licht"};
        const Strings yellow = {kYellowShow, "0", "1", "0", "1", "398", "geen groen licht: gele bestanden"};
        const Strings locked = {kLockedShow, "", "", "", "", "", unreadable};
        // In the order of the found shows (the list sorts them).
        EXPECT_EQ(visit.rows, (std::vector<Strings>{yellow, green, locked}));
        EXPECT_EQ(visit.byVerdict, (std::vector<Strings>{green, yellow, locked}));
        EXPECT_EQ(visit.byVerdictReversed, (std::vector<Strings>{locked, yellow, green}));
        EXPECT_EQ(visit.statusOfSelected, std::string(kLockedShow) + ":\n" + unreadableInFull);
        // Meanwhile the wizard's choice and results stayed the red show's.
        EXPECT_EQ(visit.recentFileMeanwhile, kRedShow);
        EXPECT_EQ(visit.redFilesMeanwhile, Strings{"C:\\ZkReport\\Rood\\weg.wav"});

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
    EXPECT_EQ(Snapshot(kRoot), before);
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
    explicit ScopedSaveDialog(SaveDialogCall& call) : m_saved(g_pfnGetSaveFileName) {
        s_save = &call;
        g_pfnGetSaveFileName = &FakeSaveDialog;
    }
    ~ScopedSaveDialog() {
        g_pfnGetSaveFileName = m_saved;
        s_save = nullptr;
    }

private:
    SaveFileDialogFn m_saved;
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

    wizard.GoTo(kSelectionPage);
    ::SetDlgItemTextA(selection, IDC_SHOW_EDIT, kYellowShow);
    wizard.GoTo(kAnalysisPage);
    ASSERT_TRUE(::IsWindowEnabled(::GetDlgItem(page, IDC_SAVE_REPORT)));
    ::RedrawWindow(wizard.Sheet(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(200);
    SaveScreenshot(wizard.Sheet(), ScreenshotFolder() + "\\rapport-analyse.bmp");

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
    const auto before = Snapshot(kRoot);

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
    auto after = Snapshot(kRoot);
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
                                         kGreenShow);

    // The yellow-1 repair moves c.mp3; back on the analysis page, the
    // report waits.
    wizard.Press(PSBTN_NEXT);
    ASSERT_EQ(wizard.CurrentIndex(), 4);
    ClickDialogButton(wizard.CurrentPage(), IDC_BUTTON_1007);
    ASSERT_TRUE(::GetFileAttributesA("C:\\ZkReport\\Geel & Co\\Audio\\c.mp3") != INVALID_FILE_ATTRIBUTES);
    wizard.Press(PSBTN_BACK);
    ASSERT_EQ(wizard.CurrentIndex(), kAnalysisPage);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, IDC_SAVE_REPORT)));

    // A fresh analysis: the report may be saved again.
    wizard.GoTo(kSelectionPage);
    wizard.GoTo(kAnalysisPage);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(page, IDC_SAVE_REPORT)));
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

TEST_F(ReportWorld, CheckForScriptsGivesEveryExitCodeAndChangesNoFile) {
    const auto before = Snapshot(kRoot);
    UniqueFile held = HoldOpen(kLockedShow, 0);
    ASSERT_TRUE(held);
    const std::string logPath = m_root / "controle.log";
    const std::string ini = m_root / "zk.ini";  // absent: the default subfolder names
    const std::string report = m_root / "rapport.html";
    MessageBoxRecorder boxes;
    auto run = [&](const Strings& args) {
        return RunCommandCheck(ParseCheckCommand(args), logPath, ini);
    };

    EXPECT_EQ(run({"/controleer", kGreenShow}), 0);
    EXPECT_EQ(run({"/controleer", kYellowShow}), 1);
    EXPECT_EQ(run({"/controleer", kRedShow, "/rapport", report}), 2);
    EXPECT_EQ(run({"/controleer", kLockedShow}), 3);
    EXPECT_EQ(run({"/controleer", m_root / "geen.ws4"}), 3);
    EXPECT_EQ(run({"/controleer"}), 4);
    EXPECT_EQ(run({"/rapport", report}), 4);
    // The report may not take the place of the show.
    EXPECT_EQ(run({"/controleer", kGreenShow, "/rapport", kGreenShow}), 4);
    EXPECT_TRUE(boxes.Boxes().empty());
    held.reset();

    const std::string html = ReadWholeFile(report);
    EXPECT_TRUE(Contains(html, "Oordeel: geen groen licht: rode bestanden</p>"));
    EXPECT_TRUE(Contains(html, "<td class=\"pad\">C:\\ZkReport\\Rood\\weg.wav</td><td>geluid</td>"
                               "<td class=\"getal\">ontbreekt</td>"));
    auto after = Snapshot(kRoot);
    after.erase(report);
    after.erase(logPath);
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
    EXPECT_TRUE(Contains(logged, "-> Fout - niet gecontroleerd: Het opgegeven Wings-bestand bestaat niet!\n\r"));
    EXPECT_TRUE(Contains(logged, "-> Fout - de opdrachtregel klopt niet, na /controleer ontbreekt de show\n\r"));
    EXPECT_TRUE(Contains(logged, "-> Rapport niet opgeslagen - Het bestand bestaat al en is geen rapport van "
                                 "Zekerpad; het wordt niet vervangen: C:\\ZkReport\\Groen\\groen.ws4\n\r"));
}

}  // namespace

namespace {
// Once the check is done: the first row chosen, and Enter on it.
void CALLBACK EnterTick(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindThreadWindow("Zekerpad - Alle shows controleren");
    if (!dialog || ControlText(dialog, IDC_CHECK_STATUS).rfind("Klaar", 0) != 0) return;
    ::KillTimer(nullptr, timer);
    HWND list = ::GetDlgItem(dialog, IDC_CHECK_LIST);
    LVITEMA item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    ::SetFocus(list);
    ::PostMessageA(list, WM_KEYDOWN, VK_RETURN, 1);
}
}  // namespace

// Enter as the check begins does nothing; Enter on a row of its results
// does what a double-click does: that show goes to the wizard.
TEST_F(ReportWorld, EnterDuringTheCheckDoesNothingAndOnARowChoosesItsShow) {
    ASSERT_TRUE(OpenRunLog());
    CCheckAllDialog dialog({kYellowShow, kGreenShow});
    KeyAtDialogStart enter("Zekerpad - Alle shows controleren", IDC_CHECK_LIST, VK_RETURN);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &EnterTick);
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    ::KillTimer(nullptr, timer);
    CloseRunLog();
    EXPECT_TRUE(enter.Posted());
    EXPECT_EQ(dialog.Reports().size(), 2u);
    EXPECT_EQ(dialog.Chosen(), kYellowShow);
}

namespace {
void CALLBACK StopTick(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindThreadWindow("Zekerpad - Alle shows controleren");
    // Once the first checked shows are listed, as a user would see them.
    if (!dialog || ::SendMessageA(::GetDlgItem(dialog, IDC_CHECK_LIST), LVM_GETITEMCOUNT, 0, 0) == 0) return;
    ::KillTimer(nullptr, timer);
    // As the user clicks Stoppen while the work runs; once it has ended, Close.
    ClickDialogButton(dialog, IDC_CHECK_STOP);
    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}
}  // namespace

TEST_F(ReportWorld, CheckAllStopsWhenAsked) {
    constexpr int kShows = 1000;
    std::vector<std::string> shows(kShows, kGreenShow);
    LogWatch log;
    ASSERT_TRUE(OpenRunLog());
    CCheckAllDialog dialog(shows);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &StopTick);
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    ::KillTimer(nullptr, timer);
    CloseRunLog();
    const size_t checked = dialog.Reports().size();
    EXPECT_GE(checked, 1u);
    EXPECT_LT(checked, static_cast<size_t>(kShows));
    const std::string appended = log.Appended();
    size_t entries = 0;
    for (size_t at = appended.find("-> C:\\ZkReport\\Groen\\groen.ws4 - "); at != std::string::npos;
         at = appended.find("-> C:\\ZkReport\\Groen\\groen.ws4 - ", at + 1))
        ++entries;
    EXPECT_EQ(entries, checked);
    EXPECT_NE(appended.find("Einde controle alle shows\n\r"), std::string::npos);
}
