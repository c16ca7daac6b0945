#include "selection/selection_page.h"

#include <algorithm>
#include <vector>

#include "files/file_helpers.h"
#include "analysis/folder_search.h"
#include "analysis/show_scan.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "services/settings.h"
#include "services/state.h"
#include "common/res_string.h"
#include "common/win_raii.h"
#include "backup/backup_all_dialog.h"
#include "report/check_all_dialog.h"
#include "resource.h"
#include "wizard/long_work.h"

OpenFileDialogFn g_pfnGetOpenFileName = &::GetOpenFileNameA;

namespace {

// "Back-up van alle groene shows" from the list of "Alle shows controleren".
std::vector<std::string> BackUpAllGreenShows(HWND owner, const std::vector<ShowReport>& reports) {
    std::vector<BackupAllShow> shows;
    for (const ShowReport& r : reports) shows.push_back({r.showPath, VerdictOf(r), VerdictWords(r)});
    CBackupAllDialog dialog(std::move(shows));
    dialog.DoModal(owner);
    std::vector<std::string> lines;
    if (dialog.Ran())
        for (const BackupAllLine& line : dialog.Lines()) lines.push_back(BackupAllLineText(line));
    return lines;
}
constexpr int kAnalysisPage = 2;

const char kHelpText[] =
    "\nHierboven kunt u aangeven hoe u de show wilt selecteren die getest moet gaan worden. "
    "\n\nMet de eerste keuze-optie kiest u er voor om de naam zelf in te vullen, of zelf het "
    "bestand te zoeken (door op de kleine knop te klikken). \n\nAls u de tweede optie kiest, "
    "kunt u Zekerpad met de grote knop de opdracht geven alle Wings-shows te zoeken die op uw "
    "computer aanwezig zijn. De namen van deze shows worden dan getoond, waarna u de gewenste "
    "show kunt selecteren.\n\n\nZodra de naam van een bestaande show is ingevuld, of "
    "geselecteerd, kunt hieronder op 'Volgende' klikken om de analyse te starten.\n\n\n\n";

const char kStartSearchText[] = "Start zoeken";
const char kStopSearchText[] = "Zoeken &stoppen";
const char kNothingFound[] =
    "Er zijn op de vaste schijven van deze computer geen Wings-shows gevonden. Staat de show op een USB-stick of "
    "een netwerkschijf, typ dan het pad in het veld hierboven of klik op het mapje ernaast.";
const char kStoppedNothingFound[] =
    "Het zoeken is gestopt. Tot dat moment zijn er geen Wings-shows gevonden. Typ het pad van de show in het veld "
    "hierboven of klik op het mapje ernaast. Wilt u opnieuw zoeken, kies dan 'Laat Zekerpad alle Wings-shows op "
    "deze computer opzoeken' en klik op 'Start zoeken'.";

const char kNoShowMessage[] =
    "Er is geen (bestaand) bestand ingevuld.\nU moet eerst een bestand invullen of selecteren,\n"
    "voordat Zekerpad een analyse kan uitvoeren.";

// Index of the checked button of a radio group, -1 when none is.
int CheckedRadio(HWND page, int first, int last) {
    for (int id = first; id <= last; ++id)
        if (::IsDlgButtonChecked(page, id) == BST_CHECKED) return id - first;
    return -1;
}

// One line of a list box, or empty when there is no such line.
std::string ListBoxLine(HWND list, LRESULT index) {
    const LRESULT len = ::SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (len == LB_ERR) return std::string();
    std::vector<char> buf(static_cast<size_t>(len) + 1, '\0');
    const LRESULT got =
        ::SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf.data()));
    if (got == LB_ERR) return std::string();
    return std::string(buf.data(), static_cast<size_t>(got));
}

void CheckRadio(HWND page, int first, int last, int index) {
    if (index >= 0 && index <= last - first) ::CheckRadioButton(page, first, last, first + index);
}

std::string TreeItemText(HWND tree, HTREEITEM item) {
    if (!item) return std::string();
    // Node texts are paths the walk limited in length; grow anyway rather
    // than take a cut text for a path.
    std::vector<char> buf(512);
    for (;;) {
        TVITEMA tvi{};
        tvi.mask = TVIF_TEXT;
        tvi.hItem = item;
        tvi.pszText = buf.data();
        tvi.cchTextMax = static_cast<int>(buf.size());
        buf[0] = '\0';
        if (!::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tvi))) return std::string();
        const std::string text(tvi.pszText ? tvi.pszText : "");
        if (text.size() + 1 < buf.size()) return text;
        buf.resize(buf.size() * 2);
    }
}

// Opens every folder node below item, so the found shows are in sight at
// once, as in the list.
void ExpandAll(HWND tree, HTREEITEM parent) {
    auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(
        tree, TVM_GETNEXTITEM, parent == TVI_ROOT ? TVGN_ROOT : TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        ExpandAll(tree, item);
    }
}


// g_pSearchStatus points at the help text for exactly one search.
class ScopedSearchStatus {
public:
    explicit ScopedSearchStatus(HWND status) { g_pSearchStatus = status; }
    ~ScopedSearchStatus() { g_pSearchStatus = nullptr; }
    ScopedSearchStatus(const ScopedSearchStatus&) = delete;
    ScopedSearchStatus& operator=(const ScopedSearchStatus&) = delete;
};
}  // namespace

CTestPropPage01::CTestPropPage01() : CTestPropPageBasis(IDD_PAGE01, 0) {}

void CTestPropPage01::DoDataExchange(bool fromControls) {
    if (fromControls) {
        m_nSelectionMode = CheckedRadio(m_hWnd, IDC_MODE_SELF, IDC_MODE_SEARCH);
        g_csRecentFile = GetItemText(IDC_SHOW_EDIT);
        m_nResultView = CheckedRadio(m_hWnd, IDC_VIEW_TREE, IDC_VIEW_LIST);
    } else {
        CheckRadio(m_hWnd, IDC_MODE_SELF, IDC_MODE_SEARCH, m_nSelectionMode);
        SetItemText(IDC_SHOW_EDIT, g_csRecentFile);
        CheckRadio(m_hWnd, IDC_VIEW_TREE, IDC_VIEW_LIST, m_nResultView);
    }
}

BOOL CTestPropPage01::OnInitDialog() {
    CTestPropPageBasis::OnInitDialog();
    DoDataExchange(false);
    LogLine("CTestPropPage01::OnInitDialog");

    HICON folder = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_FOLDER_OPEN));
    ::SendMessageA(GetItem(IDC_BROWSE), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(folder));

    SetItemText(IDC_SHOW_EDIT, ReadProfileValue(SettingsFileName(), "ShowBestand", ""));
    SetItemText(IDC_TEXT, kHelpText);
    return TRUE;
}

bool CTestPropPage01::OnSetActive() {
    PostWizardButtons(PSWIZB_BACK);
    LogValue("CTestPropPage01::OnSetActive", "Selecteer show");
    // Every arrival here makes the next analysis start afresh.
    g_bAnalysed = 0;
    g_nRed = g_nYellow = g_nGreen = 0;
    InvalidatePage();
    UpdateNextButton();
    return true;
}

bool CTestPropPage01::OnKillActive() {
    // Leaving by Next, Back or a jump: the field is the chosen show.
    DoDataExchange(true);
    return true;
}

bool CTestPropPage01::OnWizardNext() {
    const std::string path = GetItemText(IDC_SHOW_EDIT);
    if (FileExists(path)) {
        g_csRecentFile = path;
        LogValue("g_csRecentFile", path);
        return true;
    }
    // There, but held open by another program or not ours to read: say
    // so, in the words the analysis would use.
    const ScanOutcome outcome = CheckShowFile(path);
    if (outcome.status != ScanStatus::Done && outcome.status != ScanStatus::Missing) {
        ShowMessage(ScanFailureMessage(outcome, path), GetSheetHwnd());
        ::SetFocus(GetItem(IDC_SHOW_EDIT));
        return false;
    }
    // Only reached when the file went away after it was typed.
    AskMessage(GetSheetHwnd(), kNoShowMessage, ProgramTitle(), MB_OKCANCEL | MB_ICONEXCLAMATION);
    ::SetFocus(GetItem(IDC_SHOW_EDIT));
    return false;
}

bool CTestPropPage01::OnCommand(int id, int code, HWND) {
    switch (id) {
    case IDC_SHOW_EDIT:
        if (code != EN_CHANGE) return false;
        OnChangeShowEdit();
        return true;
    case IDC_LIST:
        if (code == LBN_SELCHANGE) OnSelchangeList();
        else if (code == LBN_DBLCLK) OnDblclkList();
        else return false;
        return true;
    default:
        break;
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_BROWSE: OnBrowse(); return true;
    case IDC_MODE_SELF: OnChooseYourself(); return true;
    case IDC_MODE_SEARCH: OnChooseSearch(); return true;
    case IDC_START_SEARCH: OnStartSearch(); return true;
    case IDC_VIEW_TREE: ShowResultView(false); return true;
    case IDC_VIEW_LIST: ShowResultView(true); return true;
    case IDC_CHECK_ALL: OnCheckAll(); return true;
    default: return false;
    }
}

bool CTestPropPage01::OnNotify(NMHDR* hdr, LRESULT& result) {
    if (hdr->idFrom != IDC_TREE) return false;
    switch (hdr->code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        OnSelchangeTree();
        result = 0;
        return true;
    case NM_DBLCLK:
        OnDblclkTree();
        // 0: the tree still opens or closes the node as usual.
        result = 0;
        return true;
    default:
        return false;
    }
}

void CTestPropPage01::OnChangeShowEdit() {
    // The text also changes while the page is being made or left; the
    // page's activation sets the buttons then.
    if (reinterpret_cast<HWND>(::SendMessageA(GetSheetHwnd(), PSM_GETCURRENTPAGEHWND, 0, 0)) != m_hWnd)
        return;
    UpdateNextButton();
}

void CTestPropPage01::UpdateNextButton() const {
    // A show that is there but cannot be read now still offers Next, whose
    // check then says why.
    PostWizardButtons(FilePresent(GetItemText(IDC_SHOW_EDIT)) ? PSWIZB_BACK | PSWIZB_NEXT : PSWIZB_BACK);
}

void CTestPropPage01::OnBrowse() {
    const std::string initial = GetItemText(IDC_SHOW_EDIT);

    // The dialog wants the extension without its dot, or it looks for
    // "name..ws4".
    std::string defExt = LoadResString(IDS_DEFAULT_EXT);
    if (!defExt.empty() && defExt[0] == '.') defExt.erase(0, 1);
    std::string filter = LoadResString(IDS_FILTER);
    std::replace(filter.begin(), filter.end(), '|', '\0');

    // Room for the longest path the dialog may return, and for the whole
    // initial text: it is passed on, never cut.
    std::vector<char> file(std::max<size_t>(MAX_PATH, initial.size() + 1), '\0');
    std::copy(initial.begin(), initial.end(), file.begin());

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetSheetHwnd();
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = defExt.empty() ? nullptr : defExt.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN |
                OFN_OVERWRITEPROMPT;
    if (!g_pfnGetOpenFileName(&ofn)) return;
    SetItemText(IDC_SHOW_EDIT, file.data());
}

void CTestPropPage01::OnChooseYourself() {
    EnableItem(IDC_SHOW_EDIT, true);
    EnableItem(IDC_BROWSE, true);
    EnableItem(IDC_START_SEARCH, false);
}

void CTestPropPage01::OnChooseSearch() {
    EnableItem(IDC_SHOW_EDIT, false);
    EnableItem(IDC_BROWSE, false);
    EnableItem(IDC_START_SEARCH, true);
}

void CTestPropPage01::OnStartSearch() {
    // Once per run: nothing enables these again, unless nothing is found.
    // The big button stays usable while the search runs: it stops it.
    for (int id : {IDC_SHOW_EDIT, IDC_BROWSE, IDC_MODE_SELF, IDC_MODE_SEARCH}) EnableItem(id, false);
    LogLine("Start zoeken");

    HWND status = GetItem(IDC_TEXT);
    HWND tree = GetItem(IDC_TREE);
    HWND list = GetItem(IDC_LIST);
    bool stopped = false;
    {
        ScopedSearchStatus searching(status);
        ::SetWindowTextA(status, "--- zoeken voorbereiden ---");
        ::UpdateWindow(status);
        ::SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));

        SetItemText(IDC_START_SEARCH, kStopSearchText);
        CLongWork work(m_hWnd, IDC_START_SEARCH);
        for (const std::string& root : g_pfnSearchRoots(false)) {
            if (!work.Pump()) break;
            SearchFolderTree(tree, TVI_ROOT, list, root, "*.ws4");
        }
        stopped = work.StopRequested();
        ::SetWindowTextA(status, "");
    }
    // The work has given the controls back; now they take their state.
    SetItemText(IDC_START_SEARCH, kStartSearchText);
    EnableItem(IDC_START_SEARCH, false);
    if (stopped) LogLine("Zoeken gestopt");

    if (::SendMessageA(list, LB_GETCOUNT, 0, 0) <= 0) {
        // Nothing to choose from: the user can still name a show by hand.
        SetItemText(IDC_TEXT, stopped ? kStoppedNothingFound : kNothingFound);
        SetItemText(IDC_SHOW_EDIT, "");
        CheckRadio(m_hWnd, IDC_MODE_SELF, IDC_MODE_SEARCH, 0);
        for (int id : {IDC_MODE_SELF, IDC_SHOW_EDIT, IDC_BROWSE}) EnableItem(id, true);
        // A stopped search may be started again: its option leads back to
        // the button, as the text says.
        if (stopped) EnableItem(IDC_MODE_SEARCH, true);
        RepaintNow();
        LogLine("Einde zoeken");
        return;
    }
    ExpandAll(tree, TVI_ROOT);
    SetItemText(IDC_TEXT, "Alle gevonden Wings-shows:");
    SetItemText(IDC_SHOW_EDIT, "");

    ShowItem(IDC_VIEW_LABEL, true);
    ShowItem(IDC_VIEW_TREE, true);
    ShowItem(IDC_VIEW_LIST, true);
    // The tree is what is shown first; keep the buttons saying so.
    CheckRadio(m_hWnd, IDC_VIEW_TREE, IDC_VIEW_LIST, 0);
    ShowItem(IDC_TREE, true);
    ShowItem(IDC_LIST, false);
    ShowCheckAllButton();
    RepaintNow();
    LogLine("Einde zoeken");
}

void CTestPropPage01::ShowResultView(bool asList) {
    ShowItem(IDC_TREE, !asList);
    ShowItem(IDC_LIST, asList);
    RepaintNow();
}

void CTestPropPage01::RepaintNow() const {
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

std::string CTestPropPage01::SelectedListLine() const {
    HWND list = GetItem(IDC_LIST);
    const LRESULT sel = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (sel == LB_ERR) return std::string();
    return ListBoxLine(list, sel);
}

std::string CTestPropPage01::SelectedTreePath() const {
    HWND tree = GetItem(IDC_TREE);
    auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item) return std::string();
    auto parent = reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
    // A show's parent is its folder's node, which ends in "\".
    return TreeItemText(tree, parent) + TreeItemText(tree, item);
}

void CTestPropPage01::OnSelchangeList() {
    const std::string path = SelectedListLine();
    SetItemText(IDC_SHOW_EDIT, FileExists(path) ? path : std::string());
}

void CTestPropPage01::OnDblclkList() {
    const std::string path = SelectedListLine();
    if (FileExists(path)) AnalyseFoundShow(path);
}

void CTestPropPage01::OnSelchangeTree() {
    const std::string path = SelectedTreePath();
    SetItemText(IDC_SHOW_EDIT, FileExists(path) ? path : std::string());
}

void CTestPropPage01::OnDblclkTree() {
    const std::string path = SelectedTreePath();
    if (FileExists(path)) AnalyseFoundShow(path);
}

void CTestPropPage01::ShowCheckAllButton() {
    ShowItem(IDC_CHECK_ALL, true);
    EnableItem(IDC_CHECK_ALL, ::SendMessageA(GetItem(IDC_LIST), LB_GETCOUNT, 0, 0) > 0);
}

void CTestPropPage01::OnCheckAll() {
    HWND list = GetItem(IDC_LIST);
    std::vector<std::string> shows;
    const LRESULT count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::string line = ListBoxLine(list, i);
        if (!line.empty()) shows.push_back(std::move(line));
    }
    CCheckAllDialog dialog(std::move(shows), &BackUpAllGreenShows);
    if (dialog.DoModal(GetSheetHwnd()) == IDOK) AnalyseFoundShow(dialog.Chosen());
}

void CTestPropPage01::AnalyseFoundShow(const std::string& path) {
    g_csRecentFile = path;
    SetItemText(IDC_SHOW_EDIT, path);
    // Straight to the analysis: no Next check, no "g_csRecentFile" entry.
    SetActivePage(kAnalysisPage);
}
