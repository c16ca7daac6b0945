#include "analysis/analysis_page.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <unordered_set>

#include "files/file_reference.h"
#include "analysis/result_tree.h"
#include "analysis/show_copy.h"
#include "analysis/show_scan.h"
#include "analysis/show_verdict.h"
#include "files/file_helpers.h"
#include "files/path_split.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "services/state.h"
#include "common/text.h"
#include "common/win_raii.h"
#include "resource.h"

AnalysisReportMaker g_pfnMakeAnalysisReport = nullptr;
ContentReviewMaker g_pfnMakeContentReview = nullptr;

namespace {

// In the order of ResultImage.
constexpr int kResultIcons[] = {IDI_FIGURE, IDI_NOTE, IDI_PICTURE, IDI_DOT_RED, IDI_DOT_YELLOW, IDI_DOT_GREEN};

const char kAnalysing[] = "Toelichting\n\nDe analyse wordt nu uitgevoerd...\n";
const char kNotAnalysed[] =
    "Toelichting\n\nDe analyse kon niet worden uitgevoerd: het Wings-bestand kon niet worden "
    "gelezen.\nGa met < Vorige terug naar de keuze van de show. Als u daar weer op Volgende > "
    "drukt, wordt de show opnieuw gelezen.\n";

std::string Explanation(int32_t red, int32_t yellow, int32_t green, int64_t totalBytes) {
    return "Toelichting\nRood\t bestand is niet gevonden (" + std::to_string(red) +
           " keer)\nGeel\t bestand is gevonden, maar staat op een mogelijk riskante plaats (" +
           std::to_string(yellow) + " keer)\nGroen\t bestand is gevonden en staat op een veilige plaats (" +
           std::to_string(green) + " keer)\nDe show en de gevonden bestanden zijn tezamen " +
           FormatThousands(totalBytes) + " bytes groot.\n";
}

std::vector<std::string> RedPaths() {
    std::vector<std::string> paths;
    for (const auto& record : g_aRedFiles)
        if (record) paths.push_back(record->m_csPath);
    return paths;
}

// The files of an analysis that exist, each once, in the order of the show:
// what "Bestanden nakijken" reads. Also those in the show's own folder,
// which the result lists do not keep.
class CPresentFiles final : public CPlacementSink {
public:
    CPresentFiles(std::vector<std::string>& files, std::vector<std::string>& named, CPlacementSink* next)
        : m_files(files), m_named(named), m_pNext(next) {
        m_files.clear();
        m_named.clear();
    }
    void OnPlaced(const PlacedReference& placed) override {
        const CFileReference& record = placed.record;
        m_named.push_back(record.m_csPath);
        if (record.m_nExists >= 0) {
            if (m_seen.insert(UpperCasedAscii(record.m_csPath)).second) m_files.push_back(record.m_csPath);
        }
        m_pNext->OnPlaced(placed);
    }

private:
    std::vector<std::string>& m_files;
    std::vector<std::string>& m_named;
    CPlacementSink* m_pNext;
    std::unordered_set<std::string> m_seen;
};

}  // namespace

CTestPropPage02::CTestPropPage02()
    : CTestPropPageBasis(IDD_PAGE02, 0),
      m_pReport(g_pfnMakeAnalysisReport ? g_pfnMakeAnalysisReport() : nullptr),
      m_pReview(g_pfnMakeContentReview ? g_pfnMakeContentReview() : nullptr) {}

BOOL CTestPropPage02::OnInitDialog() {
    CTestPropPageBasis::OnInitDialog();
    LogLine("CTestPropPage02::OnInitDialog");
    ScopedWaitCursor wait;
    for (auto [id, rc] : {std::pair<int, RECT*>{IDC_TREE, &m_rcTree}, {IDC_TEXT, &m_rcText}}) {
        ::GetWindowRect(GetItem(id), rc);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rc), 2);
    }
    SetExplanation(kAnalysing);

    // The system's small-icon size grows with the screen's DPI (16 at 96,
    // 24 at 144); the icons are drawn at 16, 20, 24 and 32 pixels, so each
    // size finds its own picture instead of a blurred stretch.
    const int cx = ::GetSystemMetrics(SM_CXSMICON), cy = ::GetSystemMetrics(SM_CYSMICON);
    m_imageList.reset(::ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 8, 8));
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    for (size_t i = 0; i < std::size(kResultIcons); ++i) {
        m_hIcons[i] = static_cast<HICON>(
            ::LoadImageA(instance, MAKEINTRESOURCEA(kResultIcons[i]), IMAGE_ICON, cx, cy, LR_SHARED));
        if (m_imageList) ::ImageList_AddIcon(m_imageList.get(), m_hIcons[i]);
    }
    return TRUE;
}

bool CTestPropPage02::OnSetActive() {
    PostWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    LogValue("CTestPropPage02::OnSetActive", "Analyse");
    InvalidatePage();

    const bool current = g_bAnalysed && !g_csAnalysedFile.empty() &&
                         EqualsNoCaseAscii(g_csAnalysedFile, g_csRecentFile);
    if (current) {
        // A report now would date results a repair has overtaken, and a
        // check would read files where they no longer are.
        if (g_bRepairChanged) {
            EnableItem(IDC_SAVE_REPORT, false);
            EnableItem(IDC_CHECK_CONTENTS, false);
        }
        return true;
    }

    if (ScanShow(g_csRecentFile)) {
        g_bAnalysed = 1;
        g_csAnalysedFile = g_csRecentFile;
        ShowCounts();
    } else {
        // Results of a show that was never read would pass for a clean
        // show further on: nothing counts as analysed, and there is
        // nowhere to go but back.
        g_bAnalysed = 0;
        SetExplanation(kNotAnalysed);
        PostWizardButtons(PSWIZB_BACK);
    }
    return true;
}

bool CTestPropPage02::ScanShow(std::string path) {
    ScopedWaitCursor wait;
    LogValue("Start analyse", path);

    m_hTree = GetItem(IDC_TREE);
    // Only a complete analysis enables the tree again.
    ::EnableWindow(m_hTree, FALSE);
    EnableItem(IDC_SAVE_REPORT, false);
    EnableItem(IDC_CHECK_CONTENTS, false);
    m_presentFiles.clear();
    m_namedFiles.clear();
    m_treeFiles.clear();
    m_csCopyNote.clear();
    if (m_pReport) m_pReport->Clear();
    ::SendMessageA(m_hTree, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(m_hTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    ::SendMessageA(m_hTree, WM_SETREDRAW, TRUE, 0);
    ::SendMessageA(m_hTree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(m_imageList.get()));
    m_hShowItem = m_hSoundItem = m_hImageItem = m_hOtherItem = nullptr;
    // The lists go with the counters: records of an earlier show must not
    // outlive an analysis that fails.
    ResetScanResults();

    ScanOutcome outcome = CheckShowFile(path);
    if (outcome.status == ScanStatus::Done) {
        m_hShowItem = InsertTreeItem(m_hTree, TVI_ROOT, TVI_LAST, path, kImageFigure);
        m_hSoundItem = InsertTreeItem(m_hTree, m_hShowItem, TVI_SORT, "Geluidsbestanden", kImageNote);
        m_hImageItem = InsertTreeItem(m_hTree, m_hShowItem, TVI_SORT, "Afbeeldingen", kImagePicture);
        m_hOtherItem = InsertTreeItem(m_hTree, m_hShowItem, TVI_SORT, "Overige bestanden", kImageFigure);

        CResultTreeFiller filler;
        CPresentFiles present(m_presentFiles, m_namedFiles, &filler);
        CPlacementSink* sink = &present;
        if (m_pReport) {
            m_pReport->SetNext(&present);
            sink = m_pReport.get();
        }
        outcome = AnalyseShowFile(path, sink);
        if (m_pReport) m_pReport->SetNext(nullptr);
        const HTREEITEM groups[4] = {TVI_ROOT, m_hSoundItem, m_hImageItem, m_hOtherItem};
        if (outcome.status == ScanStatus::Done) m_treeFiles = filler.Fill(m_hTree, groups);
    }
    if (outcome.status != ScanStatus::Done) {
        ShowMessage(ScanFailureMessage(outcome, path), GetSheetHwnd());
        return false;
    }

    for (HTREEITEM item : {m_hShowItem, m_hSoundItem, m_hImageItem, m_hOtherItem})
        ::SendMessageA(m_hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    ::SendMessageA(m_hTree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(m_hShowItem));
    ::EnableWindow(m_hTree, TRUE);
    EnableItem(IDC_SAVE_REPORT, m_pReport != nullptr);
    EnableItem(IDC_CHECK_CONTENTS, m_pReview && !m_presentFiles.empty());
    // What an earlier check found holds only for files still named and unchanged.
    if (m_pReview) m_pReview->AfterAnalysis(m_presentFiles);
    ShowDamageInTree(m_hTree, m_treeFiles, g_aCheckedFiles);

    // Only a show with files outside its folder can be a copy of another.
    if (g_nRed + g_nYellow > 0) {
        const PathParts parts = SplitPath(path);
        const std::string folder = parts.drive + parts.dir;
        m_csCopyNote = ShowCopyNote(MapShowCopy(m_namedFiles, folder, &FilePresent), folder);
    }

    LogNumber("groen  ", g_nGreen);
    LogNumber("geel 1 ", g_nYellow1);
    LogNumber("geel 2 ", g_nYellow2);
    LogNumber("geel   ", g_nYellow);
    LogNumber("rood   ", g_nRed);
    LogNumber("overige", g_nOther);
    if (!g_aNetworkPaths.empty()) LogNumber("netwerk", static_cast<int32_t>(g_aNetworkPaths.size()));
    LogLine("Einde analyse");
    g_bRepairChanged = 0;
    return true;
}

void CTestPropPage02::ShowCounts() {
    SetExplanation(Explanation(g_nRed, g_nYellow, g_nGreen, g_nTotalBytes) +
                   AnalysisNotes(g_nRed, g_nYellow, g_nGreen, g_aNetworkPaths) + m_csCopyNote +
                   DeviceNameNote(RedPaths()) + DamageNote(g_aCheckedFiles));
}

void CTestPropPage02::SetExplanation(const std::string& text) {
    HWND control = GetItem(IDC_TEXT);
    ::SetWindowTextA(control, text.c_str());
    RECT calc{0, 0, m_rcText.right - m_rcText.left, 0};
    {
        ScopedWindowDc dc(control);
        ScopedSelect font(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0)));
        ::DrawTextA(dc.get(), text.c_str(), -1, &calc,
                    DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL);
    }
    // The tree keeps at least half its height; only a note needs more room
    // than the dialog gives the counts.
    const LONG room = m_rcText.bottom - m_rcText.top;
    const LONG extra = std::clamp<LONG>(calc.bottom - room, 0, (m_rcTree.bottom - m_rcTree.top) / 2);
    const RECT& tree = m_rcTree;
    ::SetWindowPos(GetItem(IDC_TREE), nullptr, tree.left, tree.top, tree.right - tree.left,
                   tree.bottom - tree.top - extra, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(control, nullptr, m_rcText.left, m_rcText.top - extra, m_rcText.right - m_rcText.left,
                   room + extra, SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

bool CTestPropPage02::OnCommand(int id, int code, HWND) {
    if (id == IDC_CHECK_CONTENTS && code == BN_CLICKED) {
        if (g_bRepairChanged || !IsItemEnabled(IDC_CHECK_CONTENTS) || !m_pReview) return true;
        m_pReview->Open(GetSheetHwnd(), m_presentFiles);
        // The tree, the explanation and the traffic light follow what the check found.
        ShowDamageInTree(m_hTree, m_treeFiles, g_aCheckedFiles);
        ShowCounts();
        return true;
    }
    if (id != IDC_SAVE_REPORT || code != BN_CLICKED) return false;
    if (g_bRepairChanged || !IsItemEnabled(IDC_SAVE_REPORT)) return true;
    if (m_pReport) m_pReport->SaveAs(GetSheetHwnd(), g_csAnalysedFile);
    return true;
}
