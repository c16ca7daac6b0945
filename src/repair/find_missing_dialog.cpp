#include "repair/find_missing_dialog.h"

#include "analysis/folder_search.h"
#include "files/file_helpers.h"
#include "files/file_reference.h"
#include "services/app_operations.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "services/state.h"
#include "common/res_string.h"
#include "common/text.h"
#include "repair/missing_search.h"
#include "repair/repair_plan.h"
#include "resource.h"
#include "wizard/long_work.h"

namespace {
// Posted by the dialog to itself: a check box may have changed (its
// toggle is done by then).
constexpr UINT kMsgCheckChanged = WM_APP + 2;

// The status line is repainted at most this often during a walk.
constexpr DWORD kStatusIntervalMs = 100;

constexpr char kExplanation[] =
    "Zekerpad zoekt op alle vaste schijven en op verwisselbare schijven (zoals een USB-stick) naar bestanden "
    "met dezelfde naam als de bestanden met een rode stip. Netwerkschijven en cd- of dvd-stations worden niet "
    "doorzocht.";
constexpr char kHint[] =
    "Vink bij elk ontbrekend bestand het juiste gevonden bestand aan. Let op: een bestand met dezelfde naam is "
    "niet altijd hetzelfde bestand. Vergelijk de grootte en de datum.";

bool IsChecked(HWND tree, HTREEITEM item) {
    const UINT state = static_cast<UINT>(
        ::SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK));
    return (state >> 12) == 2;
}

// Only what differs is sent: a tree view measures itself again after every
// change of a shown item, which took seconds for a thousand names.
void SetCheck(HWND tree, HTREEITEM item, bool checked) {
    if (IsChecked(tree, item) == checked) return;
    TVITEMA it{};
    it.mask = TVIF_STATE;
    it.hItem = item;
    it.stateMask = TVIS_STATEIMAGEMASK;
    it.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    ::SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

void SetText(HWND tree, HTREEITEM item, const std::string& text) {
    // Room for one character more than the text: a longer one reads back unequal.
    std::string shown(text.size() + 2, '\0');
    TVITEMA it{};
    it.mask = TVIF_TEXT;
    it.hItem = item;
    it.pszText = &shown[0];
    it.cchTextMax = static_cast<int>(shown.size());
    if (::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it)) && shown.c_str() == text) return;
    it.pszText = const_cast<char*>(text.c_str());
    ::SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

}  // namespace

CDialogFindMissing::CDialogFindMissing(std::vector<std::string> redPaths)
    : CModalDialog(IDD_FIND_MISSING, "zoeken"), m_redPaths(std::move(redPaths)) {}

HWND CDialogFindMissing::Tree() const { return GetItem(IDC_FM_TREE); }

BOOL CDialogFindMissing::OnInitDialog() {
    CenterWindowOver(m_hWnd, ::GetWindow(m_hWnd, GW_OWNER));
    SetItemText(IDC_FM_TEXT, kExplanation);
    SetItemText(IDC_FM_HINT, kHint);
    // Check boxes are asked for after creation, as the tree view wants.
    ::SetWindowLongPtrA(Tree(), GWL_STYLE, ::GetWindowLongPtrA(Tree(), GWL_STYLE) | TVS_CHECKBOXES);
    EnableItem(IDC_FM_COPY, false);
    EnableItem(IDC_FM_STOP, false);
    StartWorkWhenShown();
    return TRUE;
}

bool CDialogFindMissing::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg == kMsgCheckChanged) {
        OnCheckChanged();
        result = 0;
        return true;
    }
    return false;
}

bool CDialogFindMissing::OnCommand(int id, int code, HWND ctl) {
    if (id == IDC_FM_COPY && code == BN_CLICKED) {
        OnKopieren();
        return true;
    }
    return CModalDialog::OnCommand(id, code, ctl);
}

void CDialogFindMissing::RunSearch() {
    m_bSearched = true;
    m_files = std::make_unique<MissingFiles>(m_redPaths);
    const std::vector<std::string> roots = g_pfnSearchRoots(true);
    std::string drives;
    for (const std::string& root : roots) drives += (drives.empty() ? "" : " ") + root;
    LogValue("schijven", drives);

    MissingWalkResult walk;
    {
        EnableItem(IDC_FM_STOP, true);
        CLongWork work(m_hWnd, IDC_FM_STOP);
        HWND status = GetItem(IDC_FM_STATUS);
        DWORD lastShown = ::GetTickCount() - kStatusIntervalMs;
        walk = FindMissingCandidates(roots, *m_files, [&](const std::string& folder) {
            const DWORD now = ::GetTickCount();
            if (now - lastShown >= kStatusIntervalMs) {
                ::SetWindowTextA(status, ("Zoeken in " + folder).c_str());
                lastShown = now;
            }
            return work.Pump();
        });
    }
    EnableItem(IDC_FM_STOP, false);

    m_files->ChooseDefaults();
    if (walk.stopped) LogLine("Zoeken gestopt");
    LogFindings(walk.tooLong);
    const std::string status = MissingSearchSummary(walk.folders, static_cast<int64_t>(m_files->CandidateCount()),
                                                    static_cast<int64_t>(walk.tooLong.size()), walk.stopped);
    SetItemText(IDC_FM_STATUS, status);
    FillTree();
    ShowChoices();
}

void CDialogFindMissing::LogFindings(const std::vector<std::string>& tooLong) const {
    for (const MissingGroup& g : m_files->Groups()) {
        LogValue("rood", g.redPath);
        if (g.candidates.empty()) LogValue(" ", "niet gevonden");
        for (const MissingCandidate& c : g.candidates) LogValue("gevonden", c.path);
    }
    for (const std::string& path : tooLong) LogValue("overgeslagen, pad te lang", path);
}

void CDialogFindMissing::FillTree() {
    HWND tree = Tree();
    ::SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    m_groupItems.clear();
    const auto insert = [&](HTREEITEM parent, const std::string& text, bool checked = false) {
        TVINSERTSTRUCTA ins{};
        ins.hParent = parent;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_STATE;
        ins.item.stateMask = TVIS_STATEIMAGEMASK;
        ins.item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
        ins.item.pszText = const_cast<char*>(text.c_str());
        return reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    };
    const auto& groups = m_files->Groups();
    for (size_t g = 0; g < groups.size(); ++g) {
        HTREEITEM parent = insert(TVI_ROOT, MissingGroupText(groups[g]));
        m_groupItems.push_back(parent);
        // A missing file itself is not chosen: only its candidates have a box.
        TVITEMA it{};
        it.mask = TVIF_STATE;
        it.hItem = parent;
        it.stateMask = TVIS_STATEIMAGEMASK;
        it.state = INDEXTOSTATEIMAGEMASK(0);
        ::SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
        for (size_t c = 0; c < groups[g].candidates.size(); ++c)
            insert(parent, MissingCandidateText(groups[g].candidates[c]), groups[g].chosen == static_cast<int>(c));
        ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    }
    ::SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    if (!m_groupItems.empty())
        ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(m_groupItems.front()));
    ::InvalidateRect(tree, nullptr, TRUE);
}

// Check boxes and group texts as the model has them; Kopiëren only when
// something is chosen and nothing was copied yet.
void CDialogFindMissing::ShowChoices() {
    HWND tree = Tree();
    const auto& groups = m_files->Groups();
    for (size_t g = 0; g < m_groupItems.size(); ++g) {
        HTREEITEM parent = m_groupItems[g];
        SetText(tree, parent, MissingGroupText(groups[g]));
        int c = 0;
        for (HTREEITEM child = TreeView_GetChild(tree, parent); child;
             child = TreeView_GetNextSibling(tree, child), ++c)
            SetCheck(tree, child, groups[g].chosen == c);
    }
    const bool copied = m_counts.copied + m_counts.inPlace + m_counts.notCopied > 0 || m_counts.stopped;
    EnableItem(IDC_FM_COPY, !copied && m_files->ChosenCount() > 0);
}

bool CDialogFindMissing::OnNotify(NMHDR* hdr, LRESULT& result) {
    if (hdr->idFrom != IDC_FM_TREE) return false;
    const bool space = hdr->code == TVN_KEYDOWN && reinterpret_cast<NMTVKEYDOWN*>(hdr)->wVKey == VK_SPACE;
    if (hdr->code != NM_CLICK && !space) return false;
    // The tree toggles a box only after telling us; look once it is done.
    ::PostMessageA(m_hWnd, kMsgCheckChanged, 0, 0);
    result = 0;
    return true;
}

void CDialogFindMissing::OnCheckChanged() {
    if (!m_files) return;
    HWND tree = Tree();
    const auto& groups = m_files->Groups();
    for (size_t g = 0; g < m_groupItems.size(); ++g) {
        const int chosen = groups[g].chosen;
        int newlyChecked = -1;
        bool chosenStillChecked = false;
        int c = 0;
        for (HTREEITEM child = TreeView_GetChild(tree, m_groupItems[g]); child;
             child = TreeView_GetNextSibling(tree, child), ++c) {
            if (!IsChecked(tree, child)) continue;
            if (c == chosen)
                chosenStillChecked = true;
            else
                newlyChecked = c;
        }
        // A box just ticked wins; unticking the chosen one chooses none.
        if (newlyChecked >= 0)
            m_files->Choose(g, newlyChecked);
        else if (!chosenStillChecked)
            m_files->Choose(g, -1);
    }
    ShowChoices();
}

void CDialogFindMissing::OnKopieren() {
    if (!m_files || m_files->ChosenCount() == 0) return;
    // The subfolders are made as the yellow repairs make them; the
    // function reports a folder it cannot make.
    if (!g_pApp->CreateShowSubfolders()) return;
    EnableItem(IDC_FM_STOP, true);
    {
        CLongWork work(m_hWnd, IDC_FM_STOP);
        CopyChosen();
    }
    EnableItem(IDC_FM_STOP, false);
    LogNumber("gekopieerd", m_counts.copied);
    const std::string summary = MissingCopySummary(m_counts);
    std::string line = summary;
    for (size_t at; (at = line.find("\n\n")) != std::string::npos;) line.replace(at, 2, " ");
    SetItemText(IDC_FM_STATUS, line);
    ShowChoices();
    AskMessage(m_hWnd, summary, ProgramTitle(), MB_OK | MB_ICONINFORMATION);
}

void CDialogFindMissing::CopyChosen() {
    CLongWork* work = CLongWork::Current();
    const TargetFolders folders =
        BuildTargetFolders(g_szShowDrive, g_szShowDir, g_csSubmapAudio, g_csSubmapPlaatjes, g_csSubmapOverige);
    HWND status = GetItem(IDC_FM_STATUS);
    for (const MissingGroup& g : m_files->Groups()) {
        if (g.chosen < 0) continue;
        if (work && !work->Pump()) {
            LogValue("stop", "kopiëren gestopt");
            m_counts.stopped = true;
            break;
        }
        const MissingCandidate& source = g.candidates[static_cast<size_t>(g.chosen)];
        LogValue("bron", source.path);
        const std::string* folder = TargetFolderOf(folders, g.kind);
        if (!folder) {
            LogValue("stop", "show wordt niet gekopieerd");
            ShowMessage(LoadResString(IDS_FM_SHOW_FILE) + source.path, m_hWnd);
            ++m_counts.notCopied;
            continue;
        }
        const std::string target = *folder + g.fileName;
        LogValue("doel", target);
        if (target.size() > kMaxBuiltPath) {
            LogValue("stop", "pad te lang");
            ShowMessage(LoadResString(IDS_FM_TOO_LONG) + target, m_hWnd);
            ++m_counts.notCopied;
            continue;
        }
        if (EqualsNoCaseAscii(source.path, target)) {
            LogValue(" ", "staat al in de show");
            ++m_counts.inPlace;
            continue;
        }
        if (FilePresent(target)) {
            LogValue("stop", "doelbestand bestaat al");
            ShowMessage(LoadResString(IDS_ERR_EXISTS) + target, m_hWnd);
            ++m_counts.notCopied;
            continue;
        }
        DWORD lastShown = ::GetTickCount() - kStatusIntervalMs;
        const std::string total = FormatSize(source.size);
        const bool ok = CopyFileChunked(source.path, target, [&](int64_t copied) {
            const DWORD now = ::GetTickCount();
            if (now - lastShown >= kStatusIntervalMs) {
                ::SetWindowTextA(status, ("Kopiëren van " + source.path + ": " + FormatSize(copied) + " van " +
                                          total)
                                             .c_str());
                lastShown = now;
            }
            return !work || work->Pump();
        });
        if (ok) {
            LogValue(" ", "kopie OK");
            g_bRepairChanged = 1;
            ++m_counts.copied;
        } else if (work && work->StopRequested()) {
            LogValue("stop", "kopiëren gestopt");
            m_counts.stopped = true;
            break;
        } else {
            LogLine("fout tijdens kopiëren");
            ShowMessage(LoadResString(IDS_ERR_COPY) + source.path + "\nnaar\n" + target, m_hWnd);
            ++m_counts.notCopied;
        }
    }
}

MissingCopyCounts FindMissingFiles(HWND owner) {
    std::vector<std::string> redPaths;
    for (const auto& rec : g_aRedFiles)
        if (rec) redPaths.push_back(rec->m_csPath);
    LogLine("Start zoeken ontbrekende bestanden");
    CDialogFindMissing dialog(std::move(redPaths));
    dialog.DoModal(owner);
    LogLine("Einde zoeken ontbrekende bestanden");
    return dialog.Counts();
}
