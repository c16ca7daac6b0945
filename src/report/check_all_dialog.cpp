#include "report/check_all_dialog.h"

#include <commctrl.h>

#include <iterator>

#include "files/file_helpers.h"
#include "services/run_log.h"
#include "common/text.h"
#include "report/report_file.h"
#include "report/show_check.h"
#include "resource.h"
#include "wizard/list_view.h"
#include "wizard/long_work.h"

namespace {

constexpr DWORD kStatusIntervalMs = 1000;

enum Column { kShow, kRed, kYellow1, kYellow2, kGreen, kSize, kVerdict };

// The verdict's column holds "geen groen licht: gele bestanden" whole.
const ListColumn kColumns[] = {
    {"Show", 112, false},  {"Rood", 26, true},   {"Geel 1", 28, true},  {"Geel 2", 28, true},
    {"Groen", 28, true},   {"Grootte", 58, true}, {"Oordeel", 134, false},
};

// A number of the row for sorting; an unreadable show sorts below zero.
int64_t Number(const ShowReport& r, int column) {
    if (!r.readable) return -1;
    switch (column) {
    case kRed: return r.counts.red;
    case kYellow1: return r.counts.yellow1;
    case kYellow2: return r.counts.yellow2;
    case kGreen: return r.counts.green;
    case kSize: return r.counts.totalBytes;
    default: return 0;
    }
}

// The verdict's dot, as in the wizard's tree and the report's marks; none
// for a show not checked or without a single file name.
constexpr int kVerdictIcons[] = {IDI_DOT_GREEN, IDI_DOT_YELLOW, IDI_DOT_RED};

int VerdictImage(Verdict verdict) {
    switch (verdict) {
    case Verdict::Green: return 0;
    case Verdict::Yellow:
    case Verdict::Network: return 1;
    case Verdict::Damaged:
    case Verdict::Red: return 2;
    case Verdict::NoNames:
    case Verdict::Unreadable: break;
    }
    return I_IMAGENONE;
}

std::string CellText(const ShowReport& r, int column) {
    switch (column) {
    case kShow: return r.showPath;
    case kVerdict: return VerdictWords(r);
    case kSize: return r.readable ? FormatSize(r.counts.totalBytes) : std::string();
    default: return r.readable ? std::to_string(Number(r, column)) : std::string();
    }
}

}  // namespace

CCheckAllDialog::CCheckAllDialog(std::vector<std::string> shows, BackupAllFn backupAll)
    : CModalDialog(IDD_CHECK_ALL, "alle-shows"), m_shows(std::move(shows)), m_backupAll(std::move(backupAll)) {}

BOOL CCheckAllDialog::OnInitDialog() {
    CenterWindowOver(m_hWnd, ::GetWindow(m_hWnd, GW_OWNER));
    HWND list = GetItem(IDC_CHECK_LIST);
    m_imageList = SetUpDotList(m_hWnd, list, {IDI_DOT_GREEN, IDI_DOT_YELLOW, IDI_DOT_RED}, kColumns, std::size(kColumns));
    SetItemText(IDC_CHECK_STATUS, "De controle begint...");
    StartWorkWhenShown();
    return TRUE;
}

void CCheckAllDialog::CheckEveryShow() {
    const SubfolderNames names = CurrentSubfolderNames();
    const size_t total = m_shows.size();
    bool stopped = false;
    DWORD lastStatus = 0;
    HWND list = GetItem(IDC_CHECK_LIST);
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    {
        CLongWork work(m_hWnd, IDC_CHECK_STOP);
        LogLine("Start controle alle shows");
        for (size_t i = 0; i < total; ++i) {
            if (!work.Pump()) {
                stopped = true;
                break;
            }
            // Told once a second: repainting for every show would cost more
            // than checking it.
            const DWORD now = ::GetTickCount();
            if (i == 0 || now - lastStatus >= kStatusIntervalMs) {
                lastStatus = now;
                SetItemText(IDC_CHECK_STATUS, "Show " + std::to_string(i + 1) + " van " + std::to_string(total) +
                                                  " wordt gecontroleerd:\n" + m_shows[i]);
                // The rows so far, painted now; in between the list keeps still.
                ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
                ::InvalidateRect(list, nullptr, FALSE);
                ::UpdateWindow(list);
                ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
            }
            m_reports.push_back(CheckShow(m_shows[i], names));
            LogCheckedShow(m_reports.back());
            AddRow(m_reports.size() - 1);
        }
        LogLine("Einde controle alle shows");
    }
    if (!::IsWindow(m_hWnd)) return;  // closed by its close box meanwhile
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    const std::string done = std::to_string(m_reports.size());
    SetItemText(IDC_CHECK_STATUS,
                stopped ? "Gestopt: " + done + " van " + std::to_string(total) + " shows gecontroleerd."
                        : "Klaar: " + done + (m_reports.size() == 1 ? " show" : " shows") +
                              " gecontroleerd. Dubbelklik op een show om die in de wizard te analyseren.");
    EnableItem(IDC_CHECK_STOP, false);
    EnableItem(IDC_CHECK_SAVE, !m_reports.empty());
    EnableItem(IDC_CHECK_BACKUP_ALL, m_backupAll && !m_reports.empty());
    m_bDone = true;
    ::SetFocus(GetItem(m_reports.empty() ? IDCANCEL : IDC_CHECK_LIST));
}

void CCheckAllDialog::AddRow(size_t index) {
    HWND list = GetItem(IDC_CHECK_LIST);
    const ShowReport& r = m_reports[index];
    std::string text = CellText(r, kShow);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = &text[0];
    item.iImage = VerdictImage(VerdictOf(r));
    item.lParam = static_cast<LPARAM>(index);
    const int at = static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (at < 0) return;
    for (int column = kRed; column <= kVerdict; ++column) {
        std::string cell = CellText(r, column);
        LVITEMA sub{};
        sub.iSubItem = column;
        sub.pszText = &cell[0];
        ::SendMessageA(list, LVM_SETITEMTEXTA, at, reinterpret_cast<LPARAM>(&sub));
    }
}

int CALLBACK CCheckAllDialog::Compare(LPARAM a, LPARAM b, LPARAM selfParam) {
    const auto* self = reinterpret_cast<const CCheckAllDialog*>(selfParam);
    const ShowReport& ra = self->m_reports[static_cast<size_t>(a)];
    const ShowReport& rb = self->m_reports[static_cast<size_t>(b)];
    int order = 0;
    switch (self->m_nSortColumn) {
    case kShow:
        break;
    case kVerdict:
        order = static_cast<int>(VerdictOf(ra)) - static_cast<int>(VerdictOf(rb));
        break;
    default: {
        const int64_t na = Number(ra, self->m_nSortColumn), nb = Number(rb, self->m_nSortColumn);
        order = na < nb ? -1 : na > nb ? 1 : 0;
    }
    }
    if (order == 0) order = ::lstrcmpiA(ra.showPath.c_str(), rb.showPath.c_str());
    return self->m_bAscending ? order : -order;
}

void CCheckAllDialog::SortBy(int column) {
    // A second click on the same column turns the order round.
    m_bAscending = column == m_nSortColumn ? !m_bAscending : true;
    m_nSortColumn = column;
    ::SendMessageA(GetItem(IDC_CHECK_LIST), LVM_SORTITEMS, reinterpret_cast<WPARAM>(this),
                   reinterpret_cast<LPARAM>(&CCheckAllDialog::Compare));
}

void CCheckAllDialog::OnDoubleClick(int item) {
    if (item < 0) return;
    LVITEMA lv{};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    if (!::SendMessageA(GetItem(IDC_CHECK_LIST), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv))) return;
    const std::string& path = m_reports.at(static_cast<size_t>(lv.lParam)).showPath;
    // As a double-click on a found show: a show gone since does nothing.
    if (!FileExists(path)) return;
    m_chosen = path;
    End(IDOK);
}

void CCheckAllDialog::OnOK() {
    if (!m_bDone) return;
    HWND list = GetItem(IDC_CHECK_LIST);
    if (::GetFocus() != list) return;
    OnDoubleClick(static_cast<int>(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
}

std::vector<ShowReport> CCheckAllDialog::ReportsInListOrder() const {
    HWND list = GetItem(IDC_CHECK_LIST);
    const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    std::vector<ShowReport> ordered;
    ordered.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        LVITEMA lv{};
        lv.mask = LVIF_PARAM;
        lv.iItem = i;
        if (::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv)))
            ordered.push_back(m_reports.at(static_cast<size_t>(lv.lParam)));
    }
    return ordered;
}

void CCheckAllDialog::BackUpAll() {
    const std::vector<std::string> lines = m_backupAll(m_hWnd, m_reports);
    for (size_t i = 0; i < lines.size() && i < m_reports.size(); ++i)
        if (!lines[i].empty()) m_reports[i].backup = lines[i];
}

void CCheckAllDialog::SaveReport() {
    SaveReportAs(m_hWnd, kAllShowsReportName,
                 [this] { return AllShowsReportHtml(ReportsInListOrder(), ReportTimeNow()); });
}

bool CCheckAllDialog::OnCommand(int id, int code, HWND ctl) {
    if (id == IDC_CHECK_SAVE && code == BN_CLICKED) {
        SaveReport();
        return true;
    }
    if (id == IDC_CHECK_BACKUP_ALL && code == BN_CLICKED) {
        if (m_bDone && m_backupAll) BackUpAll();
        return true;
    }
    // The stop button is handled by the long work while it runs.
    if (id == IDC_CHECK_STOP && code == BN_CLICKED) return true;
    return CModalDialog::OnCommand(id, code, ctl);
}

bool CCheckAllDialog::OnNotify(NMHDR* hdr, LRESULT& result) {
    if (hdr->idFrom != IDC_CHECK_LIST) return false;
    switch (hdr->code) {
    case LVN_COLUMNCLICK:
        SortBy(reinterpret_cast<NMLISTVIEW*>(hdr)->iSubItem);
        result = 0;
        return true;
    case NM_DBLCLK:
        OnDoubleClick(reinterpret_cast<NMITEMACTIVATE*>(hdr)->iItem);
        result = 0;
        return true;
    case NM_RETURN:  // a list that takes Enter itself tells it so
        OnOK();
        result = 0;
        return true;
    case LVN_ITEMCHANGED: {
        // The verdict in full above the list: a reason seldom fits its column.
        const auto* change = reinterpret_cast<NMLISTVIEW*>(hdr);
        if (!m_bDone || !(change->uNewState & LVIS_SELECTED) || (change->uOldState & LVIS_SELECTED)) return false;
        const ShowReport& r = m_reports.at(static_cast<size_t>(change->lParam));
        SetItemText(IDC_CHECK_STATUS, r.showPath + ":\n" + VerdictInFull(r));
        result = 0;
        return true;
    }
    default:
        return false;
    }
}
