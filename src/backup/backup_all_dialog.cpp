#include "backup/backup_all_dialog.h"

#include <windows.h>
#include <commctrl.h>

#include <iterator>

#include "backup/backup_destination.h"
#include "backup/backup_disk.h"
#include "backup/backup_heal.h"
#include "backup/backup_listing.h"
#include "backup/backup_run.h"
#include "backup/destination_memo.h"
#include "common/text.h"
#include "common/wide_text.h"
#include "files/free_space.h"
#include "files/path_split.h"
#include "resource.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "services/state.h"
#include "wizard/folder_picker.h"
#include "wizard/list_view.h"
#include "wizard/long_work.h"

namespace {
constexpr int64_t kProgressRange = 1 << 30;

const ListColumn kColumns[] = {{"Show", 220, false}, {"Back-up", 186, false}};

// "C:\Shows\Demo\" for "C:\Shows\Demo\demo.ws4", in UTF-8 as the back-up
// takes it.
std::string ShowFolderOf(const std::string& show) {
    const PathParts parts = SplitPath(show);
    return Utf8FromCodePage(parts.drive + parts.dir);
}

int LineImage(BackupAllState state) {
    switch (state) {
    case BackupAllState::Complete: return 0;
    case BackupAllState::Skipped: return 1;
    case BackupAllState::NotStarted: return I_IMAGENONE;
    case BackupAllState::Incomplete:
    case BackupAllState::Refused: break;
    }
    return 2;
}
}  // namespace

CBackupAllDialog::CBackupAllDialog(std::vector<BackupAllShow> shows)
    : CModalDialog(IDD_BACKUP_ALL, "alle-shows"), m_shows(std::move(shows)) {}

BOOL CBackupAllDialog::OnInitDialog() {
    CenterWindowOver(m_hWnd, ::GetWindow(m_hWnd, GW_OWNER));
    ::SendMessageA(GetItem(IDC_BA_DEST), EM_SETLIMITTEXT, 0, 0);
    HWND list = GetItem(IDC_BA_LIST);
    m_imageList = SetUpDotList(m_hWnd, list, {IDI_DOT_GREEN, IDI_DOT_YELLOW, IDI_DOT_RED}, kColumns,
                               std::size(kColumns));
    int green = 0;
    m_lines.resize(m_shows.size());
    for (size_t i = 0; i < m_shows.size(); ++i) {
        BackupAllLine& line = m_lines[i];
        line.show = m_shows[i].show;
        if (m_shows[i].verdict == Verdict::Green) {
            ++green;
        } else {
            line.state = BackupAllState::Skipped;
            line.reason = m_shows[i].words;
        }
        std::string text = line.show;
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = static_cast<int>(i);
        item.pszText = &text[0];
        item.iImage = line.state == BackupAllState::Skipped ? LineImage(line.state) : I_IMAGENONE;
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        ShowLine(i, line.state == BackupAllState::Skipped ? BackupAllLineText(line) : "wacht");
    }
    SetItemText(IDC_BA_PLAN, BackupAllPlanText(green, static_cast<int>(m_shows.size()) - green, -1, -1));
    SetItemText(IDC_BA_DEST, g_csBackupMap);
    EnableItem(IDC_BA_START, green > 0);
    ::SetFocus(GetItem(IDC_BA_DEST));
    return FALSE;
}

bool CBackupAllDialog::OnCommand(int id, int code, HWND ctl) {
    switch (id) {
    case IDC_BA_START:
        if (code == BN_CLICKED && !m_bBusy && !m_bRan) OnStart();
        return true;
    case IDC_BA_BROWSE:
        if (code == BN_CLICKED && !m_bBusy) {
            const std::wstring path = PickFolder(m_hWnd, L"Kies de map waarin de back-ups komen:");
            if (!path.empty()) ::SetWindowTextW(GetItem(IDC_BA_DEST), path.c_str());
        }
        return true;
    case IDOK:
        // Enter starts the run once, never a second time over the results.
        if (!m_bBusy && !m_bRan && IsItemEnabled(IDC_BA_START)) OnStart();
        return true;
    default:
        return CModalDialog::OnCommand(id, code, ctl);
    }
}

std::string CBackupAllDialog::Destination() const {
    return NormalizeFolder(backup::FullPathOf(GetItemTextWide(IDC_BA_DEST)));
}

void CBackupAllDialog::ShowLine(size_t index, const std::string& text) {
    HWND list = GetItem(IDC_BA_LIST);
    std::string copy = text;
    LVITEMA item{};
    item.iSubItem = 1;
    item.pszText = &copy[0];
    ::SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
    if (index < m_lines.size() && text != "wacht") {
        LVITEMA image{};
        image.mask = LVIF_IMAGE;
        image.iItem = static_cast<int>(index);
        image.iImage = LineImage(m_lines[index].state);
        ::SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&image));
    }
}

void CBackupAllDialog::SetProgress(int64_t bytes) {
    ::SendMessageA(GetItem(IDC_BA_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(bytes >> m_nShift), 0);
}

bool CBackupAllDialog::PlanAll(const std::string& folder, std::vector<int64_t>& sizes) {
    ScopedWaitCursor wait;
    const BackupVolume volume = QueryBackupVolume(folder);
    int64_t total = 0;
    for (size_t i = 0; i < m_shows.size(); ++i) {
        sizes.push_back(0);
        if (m_lines[i].state == BackupAllState::Skipped) continue;
        const std::string showFolder = ShowFolderOf(m_shows[i].show);
        std::vector<BackupEntry> source;
        if (!ListBackupTree(showFolder, source, nullptr)) continue;  // the run itself says why
        sizes.back() = PlanBackupAt(source, showFolder, BackupFolderFor(folder, showFolder), volume).copyBytes;
        total += sizes.back();
    }
    uint64_t freeBytes = 0;
    unsigned long error = 0;
    if (!g_pfnFreeSpace(backup::Shown(folder), &freeBytes, &error) || static_cast<uint64_t>(total) <= freeBytes)
        return true;
    std::vector<int64_t> green;
    std::vector<size_t> index;
    for (size_t i = 0; i < sizes.size(); ++i)
        if (m_lines[i].state != BackupAllState::Skipped) {
            green.push_back(sizes[i]);
            index.push_back(i);
        }
    std::string fit;
    for (size_t k : ShowsThatFit(green, static_cast<int64_t>(freeBytes)))
        fit += "\n" + m_shows[index[k]].show + " (" + FormatSize(green[k]) + ")";
    LogValue("geweigerd", "te weinig ruimte voor alle shows: nodig " + std::to_string(total) + ", vrij " +
                              std::to_string(freeBytes));
    ShowMessage("Op de doelschijf is te weinig ruimte voor de back-up van alle groene shows.\nNodig: " +
                    FormatSize(total) + ". Vrij: " + FormatSize(static_cast<int64_t>(freeBytes)) + "." +
                    (fit.empty() ? std::string("\n\nZelfs de kleinste show past er niet op.")
                                 : "\n\nDeze shows passen er samen wel op:" + fit) +
                    "\n\nKies een doelmap op een grotere schijf, of maak de back-ups van de shows een voor een.",
                m_hWnd);
    return false;
}

void CBackupAllDialog::OnStart() {
    const std::string folder = Destination();
    if (folder.empty() || !backup::IsFolder(folder)) {
        ShowMessage(folder.empty() ? "Kies eerst een doelmap, bij voorkeur op een andere schijf, zoals een USB-stick."
                                   : "De doelmap bestaat niet:\n" + backup::Shown(folder) +
                                         "\n\nKies een bestaande map, of maak de map eerst aan.",
                    m_hWnd);
        return;
    }
    // One destination for every show: what does not change is asked once.
    backup::CDestinationMemo memo(folder);
    LogLine("Start back-up alle shows");
    LogValue("doel", backup::Shown(folder));
    std::vector<int64_t> sizes;
    if (!PlanAll(folder, sizes)) {
        LogLine("Einde back-up alle shows");
        return;
    }
    StartProgress(folder, sizes);
    m_bBusy = true;
    EnableItem(IDC_BA_START, false);
    EnableItem(IDC_BA_BROWSE, false);
    EnableItem(IDC_BA_STOP, true);
    {
        CLongWork work(m_hWnd, IDC_BA_STOP);
        // The shows' entries reach the log a quarter second at a time, not
        // with a flush per show.
        CLogBatch log;
        int64_t before = 0;
        bool stopped = false;
        const size_t count = m_shows.size();
        for (size_t i = 0; i < count; ++i) {
            BackupAllLine& line = m_lines[i];
            if (line.state == BackupAllState::Skipped) continue;
            if (stopped || !work.Pump()) {
                stopped = true;
                line.state = BackupAllState::NotStarted;
                ShowLine(i, BackupAllLineText(line));
                continue;
            }
            stopped = !BackUpShow(i, folder, work, sizes[i], before, log);
        }
    }
    LogLine("Einde back-up alle shows");
    m_bBusy = false;
    m_bRan = true;
    if (::IsWindow(m_hWnd)) ShowEnd(folder);
}

// The plan line with the bytes of the whole run, and the bar over them.
void CBackupAllDialog::StartProgress(const std::string& folder, const std::vector<int64_t>& sizes) {
    int64_t total = 0;
    for (int64_t size : sizes) total += size;
    int green = 0;
    for (const BackupAllLine& line : m_lines) green += line.state != BackupAllState::Skipped;
    uint64_t freeBytes = 0;
    unsigned long error = 0;
    const bool known = g_pfnFreeSpace(backup::Shown(folder), &freeBytes, &error);
    SetItemText(IDC_BA_PLAN, BackupAllPlanText(green, static_cast<int>(m_lines.size()) - green, total,
                                               known ? static_cast<int64_t>(freeBytes) : -1));
    m_nShift = 0;
    while ((total >> m_nShift) > kProgressRange) ++m_nShift;
    ::SendMessageA(GetItem(IDC_BA_PROGRESS), PBM_SETRANGE32, 0, static_cast<LPARAM>(total > 0 ? total >> m_nShift : 1));
    SetProgress(0);
}

// One show's back-up run, its line told before and after; false when it
// was stopped. before is the bytes of the shows done, the bar's base.
bool CBackupAllDialog::BackUpShow(size_t i, const std::string& folder, CLongWork& work, int64_t planned,
                                  int64_t& before, CLogBatch& log) {
    BackupAllLine& line = m_lines[i];
    ShowLine(i, "bezig...");
    std::string shownFile;
    const auto progress = [&](const std::string& relative, int64_t bytes) {
        if (relative != shownFile) {
            shownFile = relative;
            SetItemText(IDC_BA_FILE, m_shows[i].show + (relative.empty() ? "" : ": " + backup::Shown(relative)));
        }
        SetProgress(before + bytes);
        return work.Pump();
    };
    BackupOutcome outcome;
    const BackupResult result = MakeBackup(ShowFolderOf(m_shows[i].show), folder, progress, m_hWnd, &outcome,
                                           [&](int64_t copyBytes) { planned = copyBytes; });
    before += planned;
    SetProgress(before);
    bool stopped = false;
    if (result != BackupResult::Ran) {
        line.state = BackupAllState::Refused;
    } else if (!BackupComplete(outcome)) {
        line.state = BackupAllState::Incomplete;
        line.reason = IncompleteReason(outcome);
        stopped = outcome.stopped;
    } else {
        line.state = BackupAllState::Complete;
    }
    log.Value(line.state == BackupAllState::Complete ? "volledig" : "niet volledig", m_shows[i].show);
    log.FlushIfDue();
    ShowLine(i, BackupAllLineText(line));
    return !stopped;
}

void CBackupAllDialog::ShowEnd(const std::string& folder) {
    EnableItem(IDC_BA_STOP, false);
    SetItemText(IDC_BA_FILE, "");
    SetItemText(IDC_BA_SUMMARY, BackupAllSummary(m_lines));
    // Remembered as the single back-up remembers it, for the next time.
    const std::string remembered = backup::Shown(folder);
    if (Utf8FromCodePage(remembered) == folder) g_csBackupMap = remembered;
    ::SendMessageA(m_hWnd, DM_SETDEFID, IDCANCEL, 0);
    ::SetFocus(GetItem(IDCANCEL));
}
