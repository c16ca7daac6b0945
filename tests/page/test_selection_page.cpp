// The show selection page in the real wizard: typing, browsing, Next, the
// search of the fixed Wine drives and choosing from its results.
#include <windows.h>
#include <commctrl.h>
#include <direct.h>
#include <prsht.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "services/log_format.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "services/settings.h"
#include "services/state.h"
#include "common/win_raii.h"
#include "resource.h"
#include "selection/selection_page.h"
#include "support/driver.h"
#include "support/test_support.h"

namespace {
using Strings = std::vector<std::string>;

constexpr int kSelectionPage = 1;
constexpr int kAnalysisPage = 2;

const char kHelpText[] =
    "\nHierboven kunt u aangeven hoe u de show wilt selecteren die getest moet gaan worden. "
    "\n\nMet de eerste keuze-optie kiest u er voor om de naam zelf in te vullen, of zelf het "
    "bestand te zoeken (door op de kleine knop te klikken). \n\nAls u de tweede optie kiest, "
    "kunt u Zekerpad met de grote knop de opdracht geven alle Wings-shows te zoeken die op uw "
    "computer aanwezig zijn. De namen van deze shows worden dan getoond, waarna u de gewenste "
    "show kunt selecteren.\n\n\nZodra de naam van een bestaande show is ingevuld, of "
    "geselecteerd, kunt hieronder op 'Volgende' klikken om de analyse te starten.\n\n\n\n";

void MakeShow(const std::string& path) {
    ASSERT_TRUE(MakeFolderTree(path.substr(0, path.find_last_of('\\')))) << path;
    ASSERT_TRUE(WriteWholeFile(path, "WS4")) << path;
}

bool Contains(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
}

// The remembered show, as the page reads it from the settings file.
void RememberShow(const char* path) {
    ::WritePrivateProfileStringA("Zekerpad", "ShowBestand", path, SettingsFileName().c_str());
}

class SelectionPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        RememberShow(nullptr);
        m_log = std::make_unique<LogWatch>();
        ASSERT_TRUE(OpenRunLog());
    }
    void TearDown() override {
        m_wizard.reset();
        CloseRunLog();
        RememberShow(nullptr);
        for (const std::string& f : m_cleanup) DeleteTree(f);
    }

    // Starts the wizard and goes on to the selection page.
    void OpenSelectionPage() {
        m_wizard = std::make_unique<WizardHarness>();
        m_wizard->Press(PSBTN_NEXT);
        ASSERT_EQ(kSelectionPage, m_wizard->CurrentIndex());
    }
    std::string Own(const std::string& folder) {
        DeleteTree(folder);
        m_cleanup.push_back(folder);
        return folder;
    }

    // What the run log received since the test began. The log is shared
    // with nobody while open, so it is closed for the reading.
    std::string LogSoFar() {
        CloseRunLog();
        std::string entries = m_log->Appended();
        OpenRunLog();
        return entries;
    }

    WizardHarness& Wizard() { return *m_wizard; }
    HWND Page() const { return m_wizard->App().Page(kSelectionPage)->GetSafeHwnd(); }
    HWND Item(int id) const { return ::GetDlgItem(Page(), id); }
    std::string Text(int id) const {
        char buf[4096] = "";
        ::GetWindowTextA(Item(id), buf, sizeof buf);
        return buf;
    }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    bool Visible(int id) const { return ::IsWindowVisible(Item(id)) != FALSE; }
    bool Checked(int id) const { return ::SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool NextEnabled() const { return m_wizard->IsButtonEnabled(WizardHarness::kNext); }

    void Click(int id) {
        ::SendMessageA(Item(id), BM_CLICK, 0, 0);
        PumpMessages();
    }
    void SetEdit(const std::string& text) {
        ::SetWindowTextA(Item(IDC_SHOW_EDIT), text.c_str());
        PumpMessages();
    }
    // One key as the user types it, at the end of the field.
    void Key(char c) {
        HWND edit = Item(IDC_SHOW_EDIT);
        ::SendMessageA(edit, EM_SETSEL, 0x7fff, 0x7fff);
        ::SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
        PumpMessages();
    }

    // The search, as the user starts it.
    void Search() {
        Click(IDC_MODE_SEARCH);
        ASSERT_TRUE(Enabled(IDC_START_SEARCH));
        Click(IDC_START_SEARCH);
    }

    // The tree item of a found show, by its folder nodes from the top.
    HTREEITEM FoundShow(const Strings& folders, const std::string& name) const {
        HWND tree = Item(IDC_TREE);
        HTREEITEM item = TVI_ROOT;
        for (const std::string& f : folders) item = item ? FindTreeChild(tree, item, f) : nullptr;
        return item ? FindTreeChild(tree, item, name) : nullptr;
    }
    void SelectTreeItem(HTREEITEM item) {
        ::SendMessageA(Item(IDC_TREE), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        PumpMessages();
    }
    bool Expanded(HTREEITEM item) const {
        return (::SendMessageA(Item(IDC_TREE), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
                TVIS_EXPANDED) != 0;
    }
    void DoubleClickTreeItem(HTREEITEM item) {
        ::SendMessageA(Item(IDC_TREE), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
        SelectTreeItem(item);
        RECT rc{};
        std::memcpy(&rc, &item, sizeof item);  // the item goes in, its rectangle comes out
        ASSERT_TRUE(::SendMessageA(Item(IDC_TREE), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rc)));
        const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        ::SendMessageA(Item(IDC_TREE), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        ::SendMessageA(Item(IDC_TREE), WM_LBUTTONUP, 0, at);
        PumpMessages();
    }
    // A click or double-click on a line of the list, as the mouse gives it.
    void ClickListLine(const std::string& line, bool twice) {
        HWND list = Item(IDC_LIST);
        const LRESULT index = ::SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(line.c_str()));
        ASSERT_NE(LB_ERR, index) << line;
        ::SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
        RECT rc{};
        ::SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rc));
        const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        ::SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageA(list, WM_LBUTTONUP, 0, at);
        if (twice) {
            ::SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
            ::SendMessageA(list, WM_LBUTTONUP, 0, at);
        }
        PumpMessages();
    }

    MessageBoxRecorder m_boxes;
    std::unique_ptr<LogWatch> m_log;
    std::unique_ptr<WizardHarness> m_wizard;
    std::vector<std::string> m_cleanup;
};
}  // namespace

// --- Arrival on the page -----------------------------------------------------

TEST_F(SelectionPageTest, FirstArrivalShowsTheRememberedShowAndTheChoosingMode) {
    const std::string show = Own("C:\\ZkSelFirst") + "\\Demo\\demo.ws4";
    MakeShow(show);
    RememberShow(show.c_str());
    OpenSelectionPage();

    EXPECT_EQ(show, Text(IDC_SHOW_EDIT));
    EXPECT_TRUE(NextEnabled());
    EXPECT_TRUE(Wizard().IsButtonEnabled(WizardHarness::kBack));
    EXPECT_EQ(kHelpText, Text(IDC_TEXT));
    EXPECT_TRUE(Checked(IDC_MODE_SELF));
    EXPECT_FALSE(Checked(IDC_MODE_SEARCH));
    EXPECT_TRUE(Checked(IDC_VIEW_TREE));
    EXPECT_TRUE(Enabled(IDC_SHOW_EDIT));
    EXPECT_TRUE(Enabled(IDC_BROWSE));
    EXPECT_FALSE(Enabled(IDC_START_SEARCH));
    for (int id : {IDC_TREE, IDC_LIST, IDC_VIEW_LABEL, IDC_VIEW_TREE, IDC_VIEW_LIST}) EXPECT_FALSE(Visible(id)) << id;
    EXPECT_TRUE(::SendMessageA(Item(IDC_BROWSE), BM_GETIMAGE, IMAGE_ICON, 0));

    const std::string entries = LogSoFar();
    const std::string init = FormatLogLine("CTestPropPage01::OnInitDialog");
    const std::string active = FormatLogValue("CTestPropPage01::OnSetActive", "Selecteer show");
    ASSERT_TRUE(Contains(entries, init));
    EXPECT_LT(entries.find(init), entries.find(active));
}

TEST_F(SelectionPageTest, RememberedShowThatNoLongerExistsLeavesNextDisabled) {
    RememberShow("C:\\ZkSelGone\\gone.ws4");
    OpenSelectionPage();
    EXPECT_EQ("C:\\ZkSelGone\\gone.ws4", Text(IDC_SHOW_EDIT));
    EXPECT_FALSE(NextEnabled());
    EXPECT_TRUE(Wizard().IsButtonEnabled(WizardHarness::kBack));
}

TEST_F(SelectionPageTest, BackAndForwardKeepsTheFieldAndClearsTheAnalysis) {
    const std::string show = Own("C:\\ZkSelBack") + "\\b.ws4";
    MakeShow(show);
    OpenSelectionPage();
    SetEdit(show);

    Wizard().Press(PSBTN_BACK);
    ASSERT_EQ(0, Wizard().CurrentIndex());
    // Leaving the page by any way takes the field as the chosen show.
    EXPECT_EQ(show, g_csRecentFile);

    g_bAnalysed = 1;
    g_nRed = 2;
    g_nYellow = 3;
    g_nGreen = 4;
    Wizard().Press(PSBTN_NEXT);
    ASSERT_EQ(kSelectionPage, Wizard().CurrentIndex());
    EXPECT_EQ(show, Text(IDC_SHOW_EDIT));
    EXPECT_EQ(0, g_bAnalysed);
    EXPECT_EQ(0, g_nRed);
    EXPECT_EQ(0, g_nYellow);
    EXPECT_EQ(0, g_nGreen);
    EXPECT_TRUE(NextEnabled());
}

// --- Typing and Next ---------------------------------------------------------

TEST_F(SelectionPageTest, NextFollowsTheFieldKeystrokeByKeystroke) {
    const std::string show = Own("C:\\ZkSelType") + "\\s.ws4";
    MakeShow(show);
    OpenSelectionPage();
    SetEdit("");
    EXPECT_FALSE(NextEnabled());

    for (size_t i = 0; i < show.size(); ++i) {
        Key(show[i]);
        ASSERT_EQ(Text(IDC_SHOW_EDIT), show.substr(0, i + 1));
        // Only the keystroke that completes the name enables Next.
        EXPECT_EQ(i + 1 == show.size(), NextEnabled()) << "after " << show.substr(0, i + 1);
    }
    Key('x');
    EXPECT_FALSE(NextEnabled());
    Key('\b');
    EXPECT_TRUE(NextEnabled());
    Key('\b');
    EXPECT_FALSE(NextEnabled());

    // A pasted text counts as well as a typed one.
    ::SendMessageA(Item(IDC_SHOW_EDIT), EM_SETSEL, 0, -1);
    ::SendMessageA(Item(IDC_SHOW_EDIT), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(show.c_str()));
    PumpMessages();
    EXPECT_TRUE(NextEnabled());
    // A folder is no show.
    SetEdit("C:\\ZkSelType");
    EXPECT_FALSE(NextEnabled());
}

TEST_F(SelectionPageTest, NextLogsTheShowOrKeepsThePageWhenItVanished) {
    const std::string show = Own("C:\\ZkSelNext") + "\\n.ws4";
    MakeShow(show);
    OpenSelectionPage();
    SetEdit(show);
    ASSERT_TRUE(NextEnabled());

    // The file goes away after it was typed.
    ASSERT_TRUE(::DeleteFileA(show.c_str()));
    const size_t before = LogSoFar().size();
    Wizard().Press(PSBTN_NEXT);
    EXPECT_EQ(kSelectionPage, Wizard().CurrentIndex());
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    const auto& box = m_boxes.Boxes()[0];
    EXPECT_EQ("Er is geen (bestaand) bestand ingevuld.\nU moet eerst een bestand invullen of selecteren,\n"
              "voordat Zekerpad een analyse kan uitvoeren.",
              box.text);
    EXPECT_EQ(ProgramTitle(), box.caption);
    EXPECT_EQ(static_cast<unsigned>(MB_OKCANCEL | MB_ICONEXCLAMATION), box.type);
    EXPECT_EQ(Item(IDC_SHOW_EDIT), ::GetFocus());
    EXPECT_FALSE(Contains(LogSoFar().substr(before), "g_csRecentFile"));

    MakeShow(show);
    SetEdit(show);
    const size_t after = LogSoFar().size();
    Wizard().Press(PSBTN_NEXT);
    EXPECT_EQ(kAnalysisPage, Wizard().CurrentIndex());
    EXPECT_EQ(show, g_csRecentFile);
    const std::string entries = LogSoFar().substr(after);
    const std::string chosen = FormatLogValue("g_csRecentFile", show);
    ASSERT_TRUE(Contains(entries, chosen));
    EXPECT_LT(entries.find(chosen), entries.find("CTestPropPage02::OnSetActive"));
    EXPECT_EQ(1u, m_boxes.Boxes().size());
}

// A show another program holds, or one the user may not read, is there:
// Next is offered, and its check says why the show cannot be read, in the
// words the analysis would use.
TEST_F(SelectionPageTest, NextSaysAShowIsInUseOrRefusedAndStays) {
    const std::string show = Own("C:\\ZkSelBusy") + "\\bezet.ws4";
    MakeShow(show);
    OpenSelectionPage();
    UniqueFile held = HoldOpen(show, 0);
    ASSERT_TRUE(held);
    SetEdit(show);
    ASSERT_TRUE(NextEnabled());

    const size_t before = LogSoFar().size();
    Wizard().Press(PSBTN_NEXT);
    EXPECT_EQ(kSelectionPage, Wizard().CurrentIndex());
    {
        AccessDeniedFiles denied({show});
        Wizard().Press(PSBTN_NEXT);
        EXPECT_EQ(kSelectionPage, Wizard().CurrentIndex());
    }
    ASSERT_EQ(2u, m_boxes.Boxes().size());
    const std::string inUse = m_boxes.Boxes()[0].text;
    EXPECT_EQ(0u, inUse.find("De show is in gebruik bij een ander programma (bijvoorbeeld Wings) en kan nu niet "
                             "worden gelezen.\n" + show + "\n\n"))
        << inUse;
    EXPECT_NE(std::string::npos, inUse.find("\n\nSluit de show in dat programma, of sluit het programma, en probeer "
                                            "het daarna opnieuw."));
    EXPECT_GT(inUse.size(), 200u) << "the system's reason is in it";
    EXPECT_EQ(static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION), m_boxes.Boxes()[0].type);
    const std::string refused = m_boxes.Boxes()[1].text;
    EXPECT_EQ(0u, refused.find("De toegang tot de show is geweigerd: u heeft geen toestemming om dit bestand te "
                               "lezen.\n" + show + "\n\n"))
        << refused;
    EXPECT_EQ(std::string::npos, refused.find("in gebruik"));
    EXPECT_EQ(Item(IDC_SHOW_EDIT), ::GetFocus());
    EXPECT_FALSE(Contains(LogSoFar().substr(before), "g_csRecentFile"));

    // The analysis page's own check says the very same.
    g_csRecentFile = show;
    Wizard().GoTo(kAnalysisPage);
    ASSERT_EQ(3u, m_boxes.Boxes().size());
    EXPECT_EQ(inUse, m_boxes.Boxes()[2].text);

    held.reset();
    Wizard().GoTo(kSelectionPage);
    SetEdit(show);
    Wizard().Press(PSBTN_NEXT);
    EXPECT_EQ(kAnalysisPage, Wizard().CurrentIndex());
    EXPECT_EQ(3u, m_boxes.Boxes().size());
}

// --- Browsing ------------------------------------------------------------------

namespace {
struct OpenDialogCall {
    int calls = 0;
    HWND owner = nullptr;
    DWORD flags = 0;
    std::string filter, initial, defExt;
    std::string answer;  // empty: the user cancels
};
OpenDialogCall* s_openCall = nullptr;

BOOL WINAPI FakeOpenDialog(OPENFILENAMEA* ofn) {
    OpenDialogCall& c = *s_openCall;
    ++c.calls;
    c.owner = ofn->hwndOwner;
    c.flags = ofn->Flags;
    // The filter runs up to its double zero.
    const char* f = ofn->lpstrFilter;
    size_t n = 0;
    while (f && !(f[n] == '\0' && f[n + 1] == '\0')) ++n;
    c.filter.assign(f ? f : "", f ? n + 2 : 0);
    c.initial = ofn->lpstrFile ? ofn->lpstrFile : "";
    c.defExt = ofn->lpstrDefExt ? ofn->lpstrDefExt : "";
    if (c.answer.empty()) return FALSE;
    if (c.answer.size() + 1 > ofn->nMaxFile) return FALSE;
    std::copy(c.answer.begin(), c.answer.end(), ofn->lpstrFile);
    ofn->lpstrFile[c.answer.size()] = '\0';
    return TRUE;
}

class ScopedOpenDialog {
public:
    explicit ScopedOpenDialog(OpenDialogCall& call) : m_seam(g_pfnGetOpenFileName, &FakeOpenDialog) {
        s_openCall = &call;
    }
    ~ScopedOpenDialog() { s_openCall = nullptr; }

private:
    ScopedSeam<OpenFileDialogFn> m_seam;
};
}  // namespace

TEST_F(SelectionPageTest, BrowseAsksForAnExistingShowAndTakesTheAnswer) {
    const std::string show = Own("C:\\ZkSelBrowse") + "\\chosen.ws4";
    MakeShow(show);
    OpenSelectionPage();
    const std::string typed = "C:\\ZkSelBrowse\\half typed name";
    SetEdit(typed);

    OpenDialogCall call;
    ScopedOpenDialog fake(call);
    Click(IDC_BROWSE);  // cancelled
    ASSERT_EQ(1, call.calls);
    EXPECT_EQ(0x9806u, call.flags);
    EXPECT_EQ(std::string("Wings shows (*.ws4)\0*.ws4\0\0", 27), call.filter);
    EXPECT_EQ(typed, call.initial);
    EXPECT_EQ("ws4", call.defExt);  // the dialog adds its own dot
    EXPECT_EQ(Wizard().Sheet(), call.owner);
    EXPECT_EQ(typed, Text(IDC_SHOW_EDIT));
    EXPECT_FALSE(NextEnabled());

    call.answer = show;
    Click(IDC_BROWSE);
    EXPECT_EQ(2, call.calls);
    EXPECT_EQ(show, Text(IDC_SHOW_EDIT));
    EXPECT_TRUE(NextEnabled());

    // A field longer than the usual path buffer is handed over whole.
    const std::string longText(400, 'q');
    SetEdit(longText);
    call.answer.clear();
    Click(IDC_BROWSE);
    EXPECT_EQ(longText, call.initial);
}

// --- The search and its results --------------------------------------------------

TEST_F(SelectionPageTest, SearchFindsTheShowsOnFixedDrivesOnly) {
    // Shows on C: only; D: (fixed) holds none, E: (removable) one.
    const std::string root = Own("C:\\ZkSelShows");
    MakeShow(root + "\\Demo\\demo.ws4");
    MakeShow(root + "\\Test\\test.ws4");
    ASSERT_TRUE(MakeFolderTree(root + "\\Folder.ws4\\Empty"));
    MakeShow(Own("E:\\ZkSelRemovable") + "\\removable.ws4");
    ASSERT_TRUE(MakeFolderTree(Own("D:\\ZkSelNothing") + "\\Sub"));
    ASSERT_EQ(static_cast<UINT>(DRIVE_REMOVABLE), ::GetDriveTypeA("E:\\"));

    OpenSelectionPage();
    SetEdit(root + "\\Demo\\demo.ws4");
    char* cwdBefore = _getcwd(nullptr, 0);
    const size_t logBefore = LogSoFar().size();
    Strings texts;
    {
        WindowTextRecorder recorder(Item(IDC_TEXT));
        Search();
        texts = recorder.Texts();
    }
    char* cwdAfter = _getcwd(nullptr, 0);

    // The tree: C:\ with our folder and its two show folders; no D:\, no E:\.
    HWND tree = Item(IDC_TREE);
    const Strings drives = TreeChildTexts(tree, TVI_ROOT);
    EXPECT_EQ(Strings{"C:\\"}, drives);
    HTREEITEM c = FindTreeChild(tree, TVI_ROOT, "C:\\");
    ASSERT_TRUE(c);
    HTREEITEM ours = FindTreeChild(tree, c, "C:\\ZkSelShows\\");
    ASSERT_TRUE(ours);
    EXPECT_EQ((Strings{"C:\\ZkSelShows\\Demo\\", "C:\\ZkSelShows\\Test\\"}), TreeChildTexts(tree, ours));
    // Folder nodes come opened, so every show is in sight.
    for (HTREEITEM node : {c, ours}) EXPECT_TRUE(Expanded(node));
    EXPECT_EQ(Strings{"demo.ws4"}, TreeChildTexts(tree, FindTreeChild(tree, ours, "C:\\ZkSelShows\\Demo\\")));
    EXPECT_EQ(Strings{"test.ws4"}, TreeChildTexts(tree, FindTreeChild(tree, ours, "C:\\ZkSelShows\\Test\\")));

    // The list: full paths, sorted; ours are the two shows, nothing from D: or E:.
    const Strings lines = ListBoxLines(Item(IDC_LIST));
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end(), [](const std::string& l, const std::string& r) {
        return ::lstrcmpiA(l.c_str(), r.c_str()) < 0;
    }));
    Strings mine;
    for (const std::string& l : lines) {
        EXPECT_EQ("C:\\", l.substr(0, 3)) << l;
        if (l.rfind("C:\\ZkSelShows\\", 0) == 0) mine.push_back(l);
    }
    EXPECT_EQ((Strings{"C:\\ZkSelShows\\Demo\\demo.ws4", "C:\\ZkSelShows\\Test\\test.ws4"}), mine);

    // What the user saw while it ran: the preparation, every folder walked
    // (those of D: too, none of E:), then the result heading.
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ("--- zoeken voorbereiden ---", texts.front());
    EXPECT_EQ("", texts[texts.size() - 2]);
    EXPECT_EQ("Alle gevonden Wings-shows:", texts.back());
    for (const char* walked : {"C:\\", "C:\\ZkSelShows", "C:\\ZkSelShows\\Demo", "C:\\ZkSelShows\\Test",
                               "C:\\ZkSelShows\\Folder.ws4", "C:\\ZkSelShows\\Folder.ws4\\Empty", "D:\\",
                               "D:\\ZkSelNothing", "D:\\ZkSelNothing\\Sub"})
        EXPECT_EQ(1, std::count(texts.begin(), texts.end(), walked)) << walked;
    const auto cAt = std::find(texts.begin(), texts.end(), "C:\\");
    const auto dAt = std::find(texts.begin(), texts.end(), "D:\\");
    EXPECT_LT(cAt, dAt);
    for (const std::string& t : texts) EXPECT_NE("E:", t.substr(0, 2)) << t;

    // The page afterwards: results shown as a tree, nothing to type or search.
    EXPECT_EQ("Alle gevonden Wings-shows:", Text(IDC_TEXT));
    EXPECT_EQ("", Text(IDC_SHOW_EDIT));
    EXPECT_FALSE(NextEnabled());
    for (int id : {IDC_SHOW_EDIT, IDC_BROWSE, IDC_START_SEARCH, IDC_MODE_SELF, IDC_MODE_SEARCH})
        EXPECT_FALSE(Enabled(id)) << id;
    for (int id : {IDC_VIEW_LABEL, IDC_VIEW_TREE, IDC_VIEW_LIST, IDC_TREE}) EXPECT_TRUE(Visible(id)) << id;
    EXPECT_FALSE(Visible(IDC_LIST));
    EXPECT_TRUE(Checked(IDC_VIEW_TREE));
    EXPECT_EQ(nullptr, g_pSearchStatus);
    ASSERT_TRUE(cwdBefore && cwdAfter);
    EXPECT_STREQ(cwdBefore, cwdAfter);
    std::free(cwdBefore);
    std::free(cwdAfter);

    const std::string entries = LogSoFar().substr(logBefore);
    const size_t start = entries.find(FormatLogLine("Start zoeken"));
    const size_t end = entries.find(FormatLogLine("Einde zoeken"));
    ASSERT_NE(std::string::npos, start);
    ASSERT_NE(std::string::npos, end);
    EXPECT_LT(start, end);

    // Lijst and Boom switch the view; both keep what the search found.
    Click(IDC_VIEW_LIST);
    EXPECT_TRUE(Visible(IDC_LIST));
    EXPECT_FALSE(Visible(IDC_TREE));
    Click(IDC_VIEW_TREE);
    EXPECT_TRUE(Visible(IDC_TREE));
    EXPECT_FALSE(Visible(IDC_LIST));
    EXPECT_EQ(lines, ListBoxLines(Item(IDC_LIST)));
    EXPECT_EQ(drives, TreeChildTexts(tree, TVI_ROOT));

    // Back and forth does not bring the search controls back.
    Wizard().Press(PSBTN_BACK);
    Wizard().Press(PSBTN_NEXT);
    ASSERT_EQ(kSelectionPage, Wizard().CurrentIndex());
    for (int id : {IDC_SHOW_EDIT, IDC_BROWSE, IDC_START_SEARCH, IDC_MODE_SELF, IDC_MODE_SEARCH})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Visible(IDC_TREE));
}

TEST_F(SelectionPageTest, ASearchThatFindsNothingSaysSoAndLetsTheUserChooseByHand) {
    ScopedSearchRoots roots({Own("C:\\ZkSelEmpty")});
    ASSERT_TRUE(MakeFolderTree("C:\\ZkSelEmpty\\Sub"));
    OpenSelectionPage();
    const size_t logBefore = LogSoFar().size();
    Search();

    EXPECT_EQ("Er zijn op de vaste schijven van deze computer geen Wings-shows gevonden. Staat de show op een "
              "USB-stick of een netwerkschijf, typ dan het pad in het veld hierboven of klik op het mapje ernaast.",
              Text(IDC_TEXT));
    // The first choice is back, with its field and browse button; the
    // search is not.
    EXPECT_TRUE(Checked(IDC_MODE_SELF));
    EXPECT_FALSE(Checked(IDC_MODE_SEARCH));
    for (int id : {IDC_MODE_SELF, IDC_SHOW_EDIT, IDC_BROWSE}) EXPECT_TRUE(Enabled(id)) << id;
    for (int id : {IDC_START_SEARCH, IDC_MODE_SEARCH}) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_EQ("Start zoeken", Text(IDC_START_SEARCH));
    // No empty result lists cover the sentence.
    for (int id : {IDC_VIEW_LABEL, IDC_VIEW_TREE, IDC_VIEW_LIST, IDC_TREE, IDC_LIST}) EXPECT_FALSE(Visible(id)) << id;
    EXPECT_TRUE(Wizard().IsButtonEnabled(WizardHarness::kBack));
    EXPECT_FALSE(NextEnabled());

    const std::string show = Own("C:\\ZkSelByHand") + "\\hand.ws4";
    MakeShow(show);
    SetEdit(show);
    EXPECT_TRUE(NextEnabled());
    EXPECT_EQ(FormatLogLine("Start zoeken") + FormatLogLine("Einde zoeken"), LogSoFar().substr(logBefore));
}

TEST_F(SelectionPageTest, ASearchStoppedBeforeAnyFindSaysSoAndLetsTheUserChooseByHandOrSearchAgain) {
    ScopedSearchRoots roots({Own("C:\\ZkSelStopped")});
    MakeShow("C:\\ZkSelStopped\\nooit.ws4");
    OpenSelectionPage();
    Click(IDC_MODE_SEARCH);
    const size_t logBefore = LogSoFar().size();
    // The stop button's click waits in the queue; the search handles it
    // at its first look at the messages.
    ::PostMessageA(Page(), WM_COMMAND, MAKEWPARAM(IDC_START_SEARCH, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Item(IDC_START_SEARCH)));
    ::SendMessageA(Item(IDC_START_SEARCH), BM_CLICK, 0, 0);

    EXPECT_EQ("Het zoeken is gestopt. Tot dat moment zijn er geen Wings-shows gevonden. Typ het pad van de show "
              "in het veld hierboven of klik op het mapje ernaast. Wilt u opnieuw zoeken, kies dan 'Laat Zekerpad "
              "alle Wings-shows op deze computer opzoeken' en klik op 'Start zoeken'.",
              Text(IDC_TEXT));
    for (int id : {IDC_MODE_SELF, IDC_MODE_SEARCH, IDC_SHOW_EDIT, IDC_BROWSE}) EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_TRUE(Checked(IDC_MODE_SELF));
    EXPECT_FALSE(Enabled(IDC_START_SEARCH));
    EXPECT_EQ("Start zoeken", Text(IDC_START_SEARCH));
    EXPECT_EQ(FormatLogLine("Start zoeken") + FormatLogLine("Zoeken gestopt") + FormatLogLine("Einde zoeken"),
              LogSoFar().substr(logBefore));

    // What the text says leads to a search that runs to its end.
    Search();
    EXPECT_EQ("Alle gevonden Wings-shows:", Text(IDC_TEXT));
    EXPECT_EQ(Strings{"C:\\ZkSelStopped\\nooit.ws4"}, ListBoxLines(Item(IDC_LIST)));
}

// Held in the second of two folders, the search answers the system, keeps
// the wizard's buttons off, and stops on its own button with what it found.
TEST_F(SelectionPageTest, TheSearchAnswersTheSystemAndStopsOnItsButtonKeepingWhatItFound) {
    const std::string root = Own("C:\\ZkSelLong");
    MakeShow(root + "\\Eerst\\gevonden.ws4");
    MakeShow(root + "\\Dan\\Diep\\nooit.ws4");
    ScopedSearchRoots roots({root + "\\Eerst", root + "\\Dan"});
    OpenSelectionPage();
    const size_t logBefore = LogSoFar().size();
    std::unique_ptr<HangChecks> checks;
    std::string stopText;
    bool backEnabled = true, stopEnabled = false;
    const DWORD deadline = ::GetTickCount() + 20000;
    LongWorkSteps steps([&](CLongWork&, int) {
        if (Text(IDC_TEXT) != root + "\\Dan") return false;
        if (!checks) {
            checks = std::make_unique<HangChecks>(Wizard().Sheet(), 5);
            stopText = Text(IDC_START_SEARCH);
            stopEnabled = Enabled(IDC_START_SEARCH);
            backEnabled = Wizard().IsButtonEnabled(WizardHarness::kBack);
        }
        if (!checks->Finished() && ::GetTickCount() < deadline) return true;
        ::SendMessageA(Item(IDC_START_SEARCH), BM_CLICK, 0, 0);
        return false;
    });
    Search();

    ASSERT_TRUE(checks);
    EXPECT_EQ(5, checks->Answered());
    EXPECT_EQ("Zoeken &stoppen", stopText);
    EXPECT_TRUE(stopEnabled);
    EXPECT_FALSE(backEnabled);
    EXPECT_EQ("Alle gevonden Wings-shows:", Text(IDC_TEXT));
    EXPECT_EQ("Start zoeken", Text(IDC_START_SEARCH));
    EXPECT_FALSE(Enabled(IDC_START_SEARCH));
    EXPECT_TRUE(Wizard().IsButtonEnabled(WizardHarness::kBack));
    EXPECT_EQ(Strings{root + "\\Eerst\\gevonden.ws4"}, ListBoxLines(Item(IDC_LIST)));
    EXPECT_EQ(FormatLogLine("Start zoeken") + FormatLogLine("Zoeken gestopt") + FormatLogLine("Einde zoeken"),
              LogSoFar().substr(logBefore));
}

// Closing the wizard in the middle of the search stops the search first,
// then closes.
TEST_F(SelectionPageTest, ClosingTheWizardDuringTheSearchStopsItFirst) {
    const std::string root = Own("C:\\ZkSelClose");
    MakeShow(root + "\\Dan\\nooit.ws4");
    ScopedSearchRoots roots({root + "\\Eerst", root + "\\Dan"});
    ASSERT_TRUE(MakeFolderTree(root + "\\Eerst"));
    OpenSelectionPage();
    const size_t logBefore = LogSoFar().size();
    bool closed = false;
    const DWORD deadline = ::GetTickCount() + 20000;
    LongWorkSteps steps([&](CLongWork& work, int) {
        if (Text(IDC_TEXT) != root + "\\Dan") return false;
        if (!closed) ::PostMessageA(Wizard().Sheet(), WM_SYSCOMMAND, SC_CLOSE, 0);
        closed = true;
        return !work.StopRequested() && ::GetTickCount() < deadline;  // held until the pump sees it
    });
    Search();
    PumpMessages();
    EXPECT_TRUE(Wizard().Ended());
    EXPECT_EQ(0u, LogSoFar().substr(logBefore).find(FormatLogLine("Start zoeken") + FormatLogLine("Zoeken gestopt") +
                                                    FormatLogLine("Einde zoeken")));
}

TEST_F(SelectionPageTest, SelectingResultsFillsOrEmptiesTheField) {
    const std::string root = Own("C:\\ZkSelPick");
    MakeShow(root + "\\One\\one.ws4");
    MakeShow(root + "\\Two\\two.ws4");
    ScopedSearchRoots roots({root});
    OpenSelectionPage();
    Search();

    HTREEITEM one = FoundShow({"C:\\ZkSelPick\\", "C:\\ZkSelPick\\One\\"}, "one.ws4");
    ASSERT_TRUE(one);
    SelectTreeItem(one);
    EXPECT_EQ(root + "\\One\\one.ws4", Text(IDC_SHOW_EDIT));
    EXPECT_TRUE(NextEnabled());

    // A folder node names no file: the field empties and Next goes off.
    HWND tree = Item(IDC_TREE);
    SelectTreeItem(FindTreeChild(tree, TVI_ROOT, "C:\\ZkSelPick\\"));
    EXPECT_EQ("", Text(IDC_SHOW_EDIT));
    EXPECT_FALSE(NextEnabled());

    // A show deleted since the search is no longer offered either.
    ASSERT_TRUE(::DeleteFileA((root + "\\Two\\two.ws4").c_str()));
    SelectTreeItem(FoundShow({"C:\\ZkSelPick\\", "C:\\ZkSelPick\\Two\\"}, "two.ws4"));
    EXPECT_EQ("", Text(IDC_SHOW_EDIT));
    EXPECT_FALSE(NextEnabled());

    // The list does the same.
    Click(IDC_VIEW_LIST);
    ClickListLine(root + "\\One\\one.ws4", false);
    EXPECT_EQ(root + "\\One\\one.ws4", Text(IDC_SHOW_EDIT));
    EXPECT_TRUE(NextEnabled());
    ClickListLine(root + "\\Two\\two.ws4", false);
    EXPECT_EQ("", Text(IDC_SHOW_EDIT));
    EXPECT_FALSE(NextEnabled());
    // Double-clicking a vanished show does nothing.
    ClickListLine(root + "\\Two\\two.ws4", true);
    EXPECT_EQ(kSelectionPage, Wizard().CurrentIndex());
}

TEST_F(SelectionPageTest, DoubleClickInTheTreeAnalysesAtOnceWithoutTheNextEntry) {
    const std::string root = Own("C:\\ZkSelDouble");
    MakeShow(root + "\\Show\\double.ws4");
    ScopedSearchRoots roots({root});
    OpenSelectionPage();
    Search();
    HTREEITEM show = FoundShow({"C:\\ZkSelDouble\\", "C:\\ZkSelDouble\\Show\\"}, "double.ws4");
    ASSERT_TRUE(show);

    // A folder node is no show: nothing happens but the node closing, as
    // the tree does by itself.
    HWND tree = Item(IDC_TREE);
    HTREEITEM folder = FindTreeChild(tree, TVI_ROOT, "C:\\ZkSelDouble\\");
    ASSERT_TRUE(Expanded(folder));
    DoubleClickTreeItem(folder);
    EXPECT_EQ(kSelectionPage, Wizard().CurrentIndex());
    EXPECT_FALSE(Expanded(folder));

    const size_t before = LogSoFar().size();
    DoubleClickTreeItem(show);
    EXPECT_EQ(kAnalysisPage, Wizard().CurrentIndex());
    EXPECT_EQ(root + "\\Show\\double.ws4", g_csRecentFile);
    EXPECT_EQ(root + "\\Show\\double.ws4", Text(IDC_SHOW_EDIT));
    const std::string entries = LogSoFar().substr(before);
    EXPECT_FALSE(Contains(entries, "g_csRecentFile"));
    EXPECT_TRUE(Contains(entries, "CTestPropPage02::OnSetActive"));
    EXPECT_FALSE(Contains(entries, "CTestPropPage01"));
    // The analysis page scanned that very show.
    EXPECT_TRUE(g_bAnalysed);
    EXPECT_EQ(root + "\\Show\\double.ws4", g_csAnalysedFile);
}

TEST_F(SelectionPageTest, DoubleClickInTheListAnalysesAtOnce) {
    const std::string root = Own("C:\\ZkSelListDouble");
    MakeShow(root + "\\l.ws4");
    ScopedSearchRoots roots({root});
    OpenSelectionPage();
    Search();
    Click(IDC_VIEW_LIST);
    const size_t before = LogSoFar().size();
    ClickListLine(root + "\\l.ws4", true);
    EXPECT_EQ(kAnalysisPage, Wizard().CurrentIndex());
    EXPECT_EQ(root + "\\l.ws4", g_csRecentFile);
    const std::string entries = LogSoFar().substr(before);
    EXPECT_FALSE(Contains(entries, "g_csRecentFile"));
    EXPECT_TRUE(Contains(entries, "CTestPropPage02::OnSetActive"));
    EXPECT_TRUE(g_bAnalysed);
    EXPECT_EQ(root + "\\l.ws4", g_csAnalysedFile);
}

// --- Pictures for people to look at ------------------------------------------------

TEST_F(SelectionPageTest, BeforeAndAfterASearchPicture) {
    const std::string root = Own("C:\\ZkSelGallery");
    MakeShow(root + "\\Voorstelling 2024\\Hoofdshow\\hoofdshow.ws4");
    MakeShow(root + "\\Voorstelling 2024\\Repetitie\\repetitie.ws4");
    MakeShow(Own("D:\\ZkSelGalleryShows") + "\\Archief\\oud.ws4");
    ScopedSearchRoots roots({root, "D:\\ZkSelGalleryShows"});

    RememberShow((root + "\\Voorstelling 2024\\Hoofdshow\\hoofdshow.ws4").c_str());
    OpenSelectionPage();
    ::SetForegroundWindow(Wizard().Sheet());
    ::KillTimer(Wizard().Sheet(), 1);
    auto shoot = [&](const char* name) { EXPECT_TRUE(SaveShot(Wizard().Sheet(), std::string("pages\\") + name)) << name; };
    shoot("1-selectie");
    Search();
    HWND tree = Item(IDC_TREE);
    HTREEITEM show = FoundShow({"C:\\ZkSelGallery\\", "C:\\ZkSelGallery\\Voorstelling 2024\\",
                                "C:\\ZkSelGallery\\Voorstelling 2024\\Repetitie\\"},
                               "repetitie.ws4");
    ASSERT_TRUE(show);
    ::SetFocus(tree);
    SelectTreeItem(show);
    shoot("1-selectie-gezocht-boom");
    Click(IDC_VIEW_LIST);
    ClickListLine("D:\\ZkSelGalleryShows\\Archief\\oud.ws4", false);
    shoot("1-selectie-gezocht-lijst");
}

// The page after a search stopped before any find, at 96 DPI and (run by
// the next test) at 144.
TEST_F(SelectionPageTest, AfterAStoppedSearchPicture) {
    ScopedSearchRoots roots({Own("C:\\ZkSelStoppedShot")});
    OpenSelectionPage();
    Click(IDC_MODE_SEARCH);
    ::PostMessageA(Page(), WM_COMMAND, MAKEWPARAM(IDC_START_SEARCH, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Item(IDC_START_SEARCH)));
    ::SendMessageA(Item(IDC_START_SEARCH), BM_CLICK, 0, 0);
    EXPECT_TRUE(SaveShot(Wizard().Sheet(), ShotFolder("words") + "1-selectie-zoeken-gestopt"));
}

TEST(SelectionPageAt144Dpi, AfterAStoppedSearchPicture) {
    if (InDpiChild()) GTEST_SKIP() << "the child itself";
    EXPECT_EQ(0, RunTestsAt144Dpi("SelectionPageTest.AfterAStoppedSearchPicture"));
}
