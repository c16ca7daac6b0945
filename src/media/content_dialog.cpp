#include "media/content_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "common/text.h"
#include "media/content_read.h"
#include "services/run_log.h"
#include "services/state.h"
#include "resource.h"
#include "wizard/list_view.h"
#include "wizard/long_work.h"

namespace {
// The file's name and the bar are repainted at most this often.
constexpr DWORD kStatusIntervalMs = 100;
// The bar's own range; bytes are scaled to it, as they pass 2 GB easily.
constexpr int kProgressRange = 1000;

const ListColumn kColumns[] = {{"Bestand", 150}, {"Oordeel", 90}, {"Wat er aan de hand is", 400}};

// A damaged file gets the red dot, a warning the yellow one, as in the
// result tree; a file not judged none.
int ImageOf(FileContent content) {
    switch (content) {
    case FileContent::Damaged: return 0;
    case FileContent::Warning: return 1;
    case FileContent::Whole:
    case FileContent::NotJudged: break;
    }
    return I_IMAGENONE;
}

int64_t SizeOf(const std::string& path) {
    int64_t size = 0;
    uint64_t written = 0;
    return FileStampOf(path, size, written) ? size : 0;
}
}  // namespace

CDialogCheckContents::CDialogCheckContents(std::vector<std::string> files)
    : CModalDialog(IDD_CHECK_CONTENTS, "nakijken"), m_files(std::move(files)) {}

BOOL CDialogCheckContents::OnInitDialog() {
    CenterWindowOver(m_hWnd, ::GetWindow(m_hWnd, GW_OWNER));
    m_imageList = SetUpDotList(m_hWnd, GetItem(IDC_CC_LIST), {IDI_DOT_RED, IDI_DOT_YELLOW}, kColumns, std::size(kColumns));
    ::SendDlgItemMessageA(m_hWnd, IDC_CC_PROGRESS, PBM_SETRANGE32, 0, kProgressRange);
    StartWorkWhenShown();
    return TRUE;
}

void CDialogCheckContents::CheckEveryFile() {
    const int32_t total = static_cast<int32_t>(m_files.size());
    int64_t allBytes = 0;
    for (const std::string& path : m_files) allBytes += SizeOf(path);
    HWND bar = GetItem(IDC_CC_PROGRESS);
    HWND fileText = GetItem(IDC_CC_FILE);
    int64_t before = 0;  // bytes of the files done
    DWORD lastShown = 0;
    // The bar, and the file being read when it is another: at most every
    // kStatusIntervalMs, or a show of thousands of small files would spend
    // its time repainting.
    const auto show = [&](int64_t bytes, int32_t file, bool now) {
        const DWORD tick = ::GetTickCount();
        if (!now && tick - lastShown < kStatusIntervalMs) return;
        lastShown = tick;
        const int64_t part = allBytes > 0 ? std::min<int64_t>(bytes, allBytes) * kProgressRange / allBytes : 0;
        ::SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(part), 0);
        if (file < 0 || file >= total) return;
        SetItemText(IDC_CC_STATUS, "Bestand " + std::to_string(file + 1) + " van " + std::to_string(total) +
                                       " wordt gelezen:");
        ::SetWindowTextA(fileText, m_files[static_cast<size_t>(file)].c_str());
    };

    LogLine(kLogContentStart);
    EnableItem(IDC_CC_STOP, true);
    {
        CLongWork work(m_hWnd, IDC_CC_STOP);
        CContentReader reader;
        for (int32_t i = 0; i < total; ++i) {
            if (!work.Pump()) break;
            show(before, i, i == 0);
            CheckedFile found;
            const bool read = reader.Check(m_files[static_cast<size_t>(i)], found, [&](uint64_t bytes) {
                show(before + static_cast<int64_t>(bytes), i, false);
                return work.Pump();
            });
            if (!read) break;
            before += found.size > 0 ? found.size : 0;
            m_counts.Add(found);
            LogFinding(found);
            m_findings.push_back(std::move(found));
            if (m_findings.back().content != FileContent::Whole) AddRow(m_findings.size() - 1);
        }
        m_bStopped = work.StopRequested();
        LogContentEnd(m_counts, m_bStopped);
    }
    MergeFindings(g_aCheckedFiles, m_findings);
    if (!::IsWindow(m_hWnd)) return;  // closed by its close box meanwhile
    if (!m_bStopped) show(allBytes, -1, true);
    SetItemText(IDC_CC_STATUS, m_bStopped ? "Het nakijken is gestopt." : "Het nakijken is klaar.");
    SetItemText(IDC_CC_FILE, "");
    SetItemText(IDC_CC_SUMMARY, ContentSummary(m_counts, total, m_bStopped));
    EnableItem(IDC_CC_STOP, false);
    m_bDone = true;
    HWND list = GetItem(IDC_CC_LIST);
    const bool rows = ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0;
    if (rows) SetItemText(IDC_CC_TEXT, "Klik op een regel om hier alles te lezen wat er met dat bestand aan de hand is.");
    ::SetFocus(rows ? list : GetItem(IDCANCEL));
}

void CDialogCheckContents::AddRow(size_t index) {
    HWND list = GetItem(IDC_CC_LIST);
    const CheckedFile& file = m_findings[index];
    std::string path = file.path;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.lParam = static_cast<LPARAM>(index);
    item.iImage = ImageOf(file.content);
    item.iItem = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = &path[0];
    const int at = static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (at < 0) return;
    std::string cells[] = {ContentWord(file.content), file.reason};
    for (int column = 1; column <= 2; ++column) {
        LVITEMA sub{};
        sub.iSubItem = column;
        sub.pszText = &cells[column - 1][0];
        ::SendMessageA(list, LVM_SETITEMTEXTA, at, reinterpret_cast<LPARAM>(&sub));
    }
}

bool CDialogCheckContents::OnCommand(int id, int code, HWND ctl) {
    // The stop button is handled by the long work while it runs.
    if (id == IDC_CC_STOP && code == BN_CLICKED) return true;
    return CModalDialog::OnCommand(id, code, ctl);
}

bool CDialogCheckContents::OnNotify(NMHDR* hdr, LRESULT& result) {
    if (hdr->idFrom != IDC_CC_LIST || hdr->code != LVN_ITEMCHANGED || !m_bDone) return false;
    // The chosen line in full below the list: a reason seldom fits its column.
    const auto* change = reinterpret_cast<NMLISTVIEW*>(hdr);
    if (!(change->uNewState & LVIS_SELECTED) || (change->uOldState & LVIS_SELECTED)) return false;
    const CheckedFile& file = m_findings.at(static_cast<size_t>(change->lParam));
    SetItemText(IDC_CC_TEXT, file.path + ":\n" + file.reason);
    result = 0;
    return true;
}

namespace {
class CContentReviewDialog final : public CContentReview {
public:
    void AfterAnalysis(const std::vector<std::string>& files) override {
        KeepFindingsThatHold(g_aCheckedFiles, files);
    }
    void Open(HWND__* owner, const std::vector<std::string>& files) override {
        CDialogCheckContents dialog(files);
        dialog.DoModal(owner);
    }
};
}  // namespace

std::unique_ptr<CContentReview> MakeContentReview() { return std::make_unique<CContentReviewDialog>(); }
