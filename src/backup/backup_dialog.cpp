#include "backup/backup_dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include "files/file_helpers.h"
#include "services/run_log.h"
#include "services/state.h"
#include "backup/backup_run.h"
#include "common/win_raii.h"
#include "repair/free_space.h"
#include "resource.h"
#include "wizard/long_work.h"

namespace {
// The plan line waits until typing pauses: each update lists the back-up.
constexpr UINT_PTR kPlanTimer = 1;
constexpr UINT kPlanDelayMs = 300;
constexpr int64_t kProgressRange = 1 << 30;
}  // namespace

CDialogBackup::CDialogBackup(std::string showFolder)
    : CModalDialog(IDD_BACKUP, "back-up"), m_csShowFolder(std::move(showFolder)) {}

BOOL CDialogBackup::OnInitDialog() {
    CenterWindowOver(m_hWnd, ::GetWindow(m_hWnd, GW_OWNER));
    ::SendMessageA(GetItem(IDC_BACKUP_DEST), EM_SETLIMITTEXT, 0, 0);
    SetItemText(IDC_BACKUP_SHOW, m_csShowFolder);
    {
        ScopedWaitCursor wait;
        m_bSourceListed = ListBackupTree(m_csShowFolder, m_source, nullptr);
    }
    // Setting the field sends EN_CHANGE, which plans.
    SetItemText(IDC_BACKUP_DEST, g_csBackupMap);
    UpdatePlan();
    ::SetFocus(GetItem(IDC_BACKUP_DEST));
    return FALSE;
}

bool CDialogBackup::OnCommand(int id, int code, HWND ctl) {
    switch (id) {
    case IDC_BACKUP_START:
        if (code == BN_CLICKED) OnStart();
        return true;
    case IDC_BACKUP_BROWSE:
        if (code == BN_CLICKED) OnBrowse();
        return true;
    case IDC_BACKUP_DEST:
        if (code == EN_CHANGE) ::SetTimer(m_hWnd, kPlanTimer, kPlanDelayMs, nullptr);
        return true;
    case IDOK:
        // Enter presses the default button: Starten, or Sluiten once done.
        if (::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0) == MAKELRESULT(IDCANCEL, DC_HASDEFID))
            End(IDCANCEL);
        else
            OnStart();
        return true;
    default:
        return CModalDialog::OnCommand(id, code, ctl);
    }
}

bool CDialogBackup::OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == WM_TIMER && wp == kPlanTimer) {
        ::KillTimer(m_hWnd, kPlanTimer);
        UpdatePlan();
        result = 0;
        return true;
    }
    return false;
}

void CDialogBackup::UpdatePlan() {
    const std::string destination = FullPathName(GetItemText(IDC_BACKUP_DEST));
    std::string text;
    if (!m_bSourceListed) {
        text = "De map van de show kan niet worden gelezen.";
    } else {
        switch (CheckDestination(destination, m_csShowFolder)) {
        case DestinationProblem::None:
            if (!FolderExists(NormalizeFolder(destination))) {
                text = "Deze doelmap bestaat niet.";
            } else {
                const std::string folder = NormalizeFolder(destination);
                const std::string root = BackupRoot(folder, m_csShowFolder);
                std::vector<BackupEntry> target;
                ScopedWaitCursor wait;
                if (FolderExists(root)) ListBackupTree(root, target, nullptr);
                const BackupPlan plan =
                    PlanBackup(m_source, target, m_csShowFolder, root, QueryBackupVolume(folder));
                uint64_t freeBytes = 0;
                unsigned long error = 0;
                const bool known = g_pfnFreeSpace(folder, &freeBytes, &error);
                text = BackupPlanText(root, plan, known ? static_cast<int64_t>(freeBytes) : -1);
            }
            break;
        case DestinationProblem::Empty:
            text = "Kies een doelmap, bij voorkeur op een andere schijf, zoals een USB-stick.";
            break;
        case DestinationProblem::TooLong:
            text = "Het pad van deze doelmap is te lang.";
            break;
        case DestinationProblem::InsideShow:
        case DestinationProblem::ShowInside:
            text = "Deze doelmap is niet geschikt: de back-up moet buiten de map van de show staan.";
            break;
        case DestinationProblem::ShowAtRoot:
            text = "De show staat in de hoofdmap van een schijf; daarvan maakt Zekerpad geen back-up.";
            break;
        }
    }
    SetItemText(IDC_BACKUP_PLAN, text);
}

void CDialogBackup::SetProgress(int64_t bytes) {
    // A shift of -1 marks a run with nothing to copy: its bar is full.
    const int64_t pos = m_nShift < 0 ? 1 : bytes >> m_nShift;
    ::SendMessageA(GetItem(IDC_BACKUP_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(pos), 0);
}

void CDialogBackup::OnStart() {
    ::KillTimer(m_hWnd, kPlanTimer);
    const std::string destination = FullPathName(GetItemText(IDC_BACKUP_DEST));
    SetItemText(IDC_BACKUP_SUMMARY, "");
    SetItemText(IDC_BACKUP_FILE, "");
    m_nShift = 0;
    SetProgress(0);

    BackupOutcome outcome;
    BackupResult result;
    {
        EnableItem(IDC_BACKUP_STOP, true);
        CLongWork work(m_hWnd, IDC_BACKUP_STOP);
        std::string shown;
        const auto planned = [&](int64_t copyBytes) {
            // The bar counts bytes, shifted until they fit its 32-bit range.
            m_nShift = 0;
            while ((copyBytes >> m_nShift) > kProgressRange) ++m_nShift;
            // Nothing to copy: an empty range would show nothing at the end.
            ::SendMessageA(GetItem(IDC_BACKUP_PROGRESS), PBM_SETRANGE32, 0,
                           static_cast<LPARAM>(copyBytes > 0 ? copyBytes >> m_nShift : 1));
            if (copyBytes == 0) m_nShift = -1;
        };
        const auto progress = [&](const std::string& relative, int64_t bytes) {
            if (relative != shown) {
                shown = relative;
                SetItemText(IDC_BACKUP_FILE, relative);
            }
            SetProgress(bytes);
            return work.Pump();
        };
        result = MakeBackup(m_csShowFolder, destination, progress, m_hWnd, &outcome, planned);
    }
    EnableItem(IDC_BACKUP_STOP, false);
    SetItemText(IDC_BACKUP_FILE, "");
    if (result != BackupResult::Ran) return;

    m_outcome = outcome;
    m_bRan = true;
    // Remembered from the first back-up that was made there.
    g_csBackupMap = NormalizeFolder(destination);
    g_bBackupStarted = 1;
    SetItemText(IDC_BACKUP_SUMMARY, BackupSummaryText(m_outcome, kRunLogPath));
    // The show may have changed meanwhile; the plan line says what is left.
    m_source.clear();
    m_bSourceListed = ListBackupTree(m_csShowFolder, m_source, nullptr);
    UpdatePlan();
    // Done: Enter now closes the dialog instead of starting again.
    ::SendMessageA(m_hWnd, DM_SETDEFID, IDCANCEL, 0);
    ::SendMessageA(GetItem(IDC_BACKUP_START), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetItem(IDCANCEL)), TRUE);
}

void CDialogBackup::OnBrowse() {
    BROWSEINFOA info{};
    char name[MAX_PATH] = {};
    info.hwndOwner = m_hWnd;
    info.pszDisplayName = name;
    info.lpszTitle = "Kies de map waarin de back-up komt:";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    // The picker with a "new folder" button needs COM on this thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderA(&info);
    if (SUCCEEDED(com)) ::CoUninitialize();
    if (!chosen) return;
    char path[MAX_PATH] = {};
    const bool ok = ::SHGetPathFromIDListA(chosen, path) != FALSE;
    ::ILFree(chosen);
    if (ok) SetItemText(IDC_BACKUP_DEST, path);
}
