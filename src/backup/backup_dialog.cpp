#include "backup/backup_dialog.h"

#include <windows.h>
#include <commctrl.h>

#include "files/file_helpers.h"
#include "services/run_log.h"
#include "services/state.h"
#include "services/msgbox.h"
#include "backup/backup_disk.h"
#include "backup/backup_run.h"
#include "backup/copy_check.h"
#include "backup/weekly_task_scheduler.h"
#include "common/system_error.h"
#include "common/text.h"
#include "common/wide_text.h"
#include "common/win_raii.h"
#include "files/file_system.h"
#include "files/free_space.h"
#include "files/recycle_bin.h"
#include "resource.h"
#include "wizard/folder_picker.h"
#include "wizard/long_work.h"

namespace {
// The plan line waits until typing pauses: each update lists the back-up.
constexpr UINT_PTR kPlanTimer = 1;
constexpr UINT kPlanDelayMs = 300;
constexpr int64_t kProgressRange = 1 << 30;
// Names listed in the message after a check; the rest are in the log.
constexpr size_t kNamesShown = 15;

std::string Shown(const std::string& utf8) { return CodePageFromUtf8(utf8); }

// "Audio\intro.wav\nPlaatjes\titel.jpg\n... en nog 3 (zie het logboek)".
std::string NameList(const std::vector<std::string>& names) {
    std::vector<std::string> shown;
    for (const std::string& name : names) shown.push_back(Shown(name));
    return NameLines(shown, kNamesShown, kRunLogPath);
}
}  // namespace

CDialogBackup::CDialogBackup(std::string showFolder, std::string showFile)
    : CModalDialog(IDD_BACKUP, "back-up"),
      m_csShowFolder(Utf8FromCodePage(showFolder)),
      m_csShowFile(Utf8FromCodePage(showFile)) {}

CDialogBackup::CDialogBackup(CheckChosen check)
    : CModalDialog(IDD_BACKUP, "op-de-avond"), m_bCheckOnly(true), m_csChosen(std::move(check.chosen)) {}

void CDialogBackup::InitCheckOnly() {
    ::SetWindowTextA(m_hWnd, "Zekerpad - Back-up of show controleren");
    SetItemText(IDC_BACKUP_SHOW_LABEL, "Gekozen map of show:");
    SetItemText(IDC_BACKUP_SHOW, Shown(m_csChosen));
    for (int id : {IDC_BACKUP_DEST_LABEL, IDC_BACKUP_DEST, IDC_BACKUP_BROWSE, IDC_BACKUP_START}) ShowItem(id, false);
    // The check leads the row where Starten stood, Stoppen after it.
    RECT start{7, 139, 7 + 80, 139 + 14}, stop{93, 139, 93 + 54, 139 + 14};
    ::MapDialogRect(m_hWnd, &start);
    ::MapDialogRect(m_hWnd, &stop);
    for (auto [id, rc] : {std::pair<int, RECT*>{IDC_BACKUP_VERIFY, &start}, {IDC_BACKUP_STOP, &stop}})
        ::SetWindowPos(GetItem(id), nullptr, rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    {
        ScopedWaitCursor wait;
        m_target = FindCheckTarget(m_csChosen);
    }
    if (m_target.kind == CheckTargetKind::BackupsBelow) {
        HWND list = GetItem(IDC_BACKUP_LIST);
        for (const std::string& name : m_target.backups)
            ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(name).c_str()));
        ::SendMessageW(list, LB_SETCURSEL, 0, 0);
        ShowItem(IDC_BACKUP_LIST, true);
    } else {
        // Without a list, what the check will do takes the hidden row.
        RECT plan{7, 35, 7 + 306, 35 + 72};
        ::MapDialogRect(m_hWnd, &plan);
        ::SetWindowPos(GetItem(IDC_BACKUP_PLAN), nullptr, plan.left, plan.top, plan.right - plan.left,
                       plan.bottom - plan.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetItemText(IDC_BACKUP_PLAN, CheckTargetText(m_target));
    EnableItem(IDC_BACKUP_VERIFY, m_target.kind != CheckTargetKind::Nothing);
    // The check is the one thing to do here: Enter starts it.
    ::SendMessageA(GetItem(IDC_BACKUP_START), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    ::SendMessageA(m_hWnd, DM_SETDEFID, IDC_BACKUP_VERIFY, 0);
    ::SendMessageA(GetItem(IDC_BACKUP_VERIFY), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    const int first = m_target.kind == CheckTargetKind::BackupsBelow ? IDC_BACKUP_LIST
                      : m_target.kind == CheckTargetKind::Nothing   ? IDCANCEL
                                                                     : IDC_BACKUP_VERIFY;
    ::SetFocus(GetItem(first));
}

BOOL CDialogBackup::OnInitDialog() {
    CenterWindowOver(m_hWnd, ::GetWindow(m_hWnd, GW_OWNER));
    if (m_bCheckOnly) {
        InitCheckOnly();
        return FALSE;
    }
    ::SendMessageA(GetItem(IDC_BACKUP_DEST), EM_SETLIMITTEXT, 0, 0);
    SetItemText(IDC_BACKUP_SHOW, Shown(m_csShowFolder));
    {
        ScopedWaitCursor wait;
        // A subfolder that cannot be read is named when the back-up runs.
        std::vector<BackupListingError> unreadable;
        m_bSourceListed = ListBackupTree(m_csShowFolder, m_source, nullptr, nullptr, &unreadable);
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
        if (code == BN_CLICKED && !m_bBusy) OnStart();
        return true;
    case IDC_BACKUP_VERIFY:
        if (code == BN_CLICKED && !m_bBusy) OnVerify();
        return true;
    case IDC_BACKUP_BROWSE:
        if (code == BN_CLICKED && !m_bBusy) OnBrowse();
        return true;
    case IDC_BACKUP_WEEKLY:
        if (code == BN_CLICKED && !m_bBusy) OnWeekly();
        return true;
    case IDC_BACKUP_DEST:
        if (code == EN_CHANGE) ::SetTimer(m_hWnd, kPlanTimer, kPlanDelayMs, nullptr);
        return true;
    case IDOK:
        // Enter starts the back-up (or, for a check only, the check) while
        // that is the evident next step; during work and once results are
        // shown it does nothing.
        if (!m_bBusy && !m_bResults) {
            if (!m_bCheckOnly)
                OnStart();
            else if (m_target.kind != CheckTargetKind::Nothing)
                OnVerify();
        }
        return true;
    default:
        return CModalDialog::OnCommand(id, code, ctl);
    }
}

bool CDialogBackup::OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == WM_TIMER && wp == kPlanTimer) {
        ::KillTimer(m_hWnd, kPlanTimer);
        if (!m_bBusy) UpdatePlan();
        result = 0;
        return true;
    }
    return false;
}

std::string CDialogBackup::Destination() const { return backup::FullPathOf(GetItemTextWide(IDC_BACKUP_DEST)); }

void CDialogBackup::UpdatePlan() {
    // A check only keeps saying what it checks: there is no back-up to plan.
    if (m_bCheckOnly) return;
    const std::string destination = Destination();
    std::string text;
    if (!m_bSourceListed) {
        text = "De map van de show kan niet worden gelezen.";
    } else {
        const std::string folder = NormalizeFolder(destination);
        BackupFolderChoice choice;
        const std::string root = BackupFolderFor(folder, m_csShowFolder, &choice);
        switch (DestinationProblemOnDisk(destination, m_csShowFolder, root)) {
        case DestinationProblem::None:
            if (!backup::IsFolder(folder)) {
                text = "Deze doelmap bestaat niet.";
            } else if (!m_csFailedCheckRoot.empty() && root == m_csFailedCheckRoot) {
                text = BackupPlanAfterFailedCheckText(Shown(root));
            } else {
                ScopedWaitCursor wait;
                const BackupPlan plan = PlanBackupAt(m_source, m_csShowFolder, root, QueryBackupVolume(folder));
                uint64_t freeBytes = 0;
                unsigned long error = 0;
                const bool known = g_pfnFreeSpace(Shown(folder), &freeBytes, &error);
                text = BackupPlanText(Shown(root), plan, known ? static_cast<int64_t>(freeBytes) : -1,
                                      choice.takenBy ? Shown(ShowFolderName(m_csShowFolder)) : std::string());
                if (choice.needsConsent)
                    text += "\nDeze map bestaat al en is niet door Zekerpad gemaakt; Zekerpad vraagt eerst of u "
                            "hem wilt gebruiken.";
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

void CDialogBackup::SetRange(int64_t bytes) {
    // The bar counts bytes, shifted until they fit its 32-bit range.
    m_nShift = 0;
    while ((bytes >> m_nShift) > kProgressRange) ++m_nShift;
    // Nothing to do: an empty range would show nothing at the end.
    ::SendMessageA(GetItem(IDC_BACKUP_PROGRESS), PBM_SETRANGE32, 0,
                   static_cast<LPARAM>(bytes > 0 ? bytes >> m_nShift : 1));
    if (bytes == 0) m_nShift = -1;
}

void CDialogBackup::SetProgress(int64_t bytes) {
    // A shift of -1 marks a run with nothing to copy: its bar is full.
    const int64_t pos = m_nShift < 0 ? 1 : bytes >> m_nShift;
    ::SendMessageA(GetItem(IDC_BACKUP_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(pos), 0);
}

void CDialogBackup::ShowResults() {
    m_bResults = true;
    // No button is the default any more (IDOK names none here) and the
    // focus leaves the buttons, so Enter neither closes nor starts anything.
    ::SendMessageA(m_hWnd, DM_SETDEFID, IDOK, 0);
    ::SendMessageA(GetItem(IDC_BACKUP_START), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetItem(IDC_BACKUP_DEST)), TRUE);
}

void CDialogBackup::OnStart() {
    ::KillTimer(m_hWnd, kPlanTimer);
    const std::string destination = Destination();
    SetItemText(IDC_BACKUP_SUMMARY, "");
    SetItemText(IDC_BACKUP_FILE, "");
    m_nShift = 0;
    SetProgress(0);

    BackupOutcome outcome;
    BackupResult result;
    m_csFailedCheckRoot.clear();
    ShowItem(IDC_BACKUP_WEEKLY, false);
    m_bBusy = true;
    {
        EnableItem(IDC_BACKUP_STOP, true);
        CLongWork work(m_hWnd, IDC_BACKUP_STOP);
        std::string shown;
        const auto progress = [&](const std::string& relative, int64_t bytes) {
            if (relative != shown) {
                shown = relative;
                SetItemText(IDC_BACKUP_FILE, Shown(relative));
            }
            SetProgress(bytes);
            return work.Pump();
        };
        result = MakeBackup(m_csShowFolder, destination, progress, m_hWnd, &outcome,
                            [&](int64_t copyBytes) { SetRange(copyBytes); });
    }
    m_bBusy = false;
    EnableItem(IDC_BACKUP_STOP, false);
    SetItemText(IDC_BACKUP_FILE, "");
    if (result != BackupResult::Ran) return;

    m_outcome = outcome;
    m_bRan = true;
    // Remembered from the first back-up that was made there, when the
    // settings file can hold its name.
    const std::string remembered = Shown(NormalizeFolder(destination));
    if (Utf8FromCodePage(remembered) == NormalizeFolder(destination)) {
        g_csBackupMap = remembered;
        g_bBackupStarted = 1;
    }
    SetItemText(IDC_BACKUP_SUMMARY, BackupSummaryText(m_outcome, kRunLogPath, DriveIsRemovable(destination)));
    // Only a back-up that is whole is worth repeating every week.
    m_csCompleteDestination = BackupComplete(m_outcome) ? NormalizeFolder(destination) : std::string();
    ShowItem(IDC_BACKUP_WEEKLY, !m_csCompleteDestination.empty() && !m_csShowFile.empty());
    // The show may have changed meanwhile; the plan line says what is left.
    m_source.clear();
    std::vector<BackupListingError> unreadable;
    m_bSourceListed = ListBackupTree(m_csShowFolder, m_source, nullptr, nullptr, &unreadable);
    UpdatePlan();
    ShowResults();
}

void CDialogBackup::OnVerify() {
    ::KillTimer(m_hWnd, kPlanTimer);
    SetItemText(IDC_BACKUP_SUMMARY, "");
    SetItemText(IDC_BACKUP_FILE, "");
    if (m_bCheckOnly) {
        switch (m_target.kind) {
        case CheckTargetKind::Backup:
            VerifyRecorded(m_target.folder);
            return;
        case CheckTargetKind::BackupsBelow: {
            const LRESULT chosen = ::SendMessageW(GetItem(IDC_BACKUP_LIST), LB_GETCURSEL, 0, 0);
            if (chosen >= 0 && static_cast<size_t>(chosen) < m_target.backups.size())
                VerifyRecorded(m_target.folder + m_target.backups[static_cast<size_t>(chosen)] + "\\");
            return;
        }
        case CheckTargetKind::ShowCopy:
            VerifyCopy(m_target);
            return;
        case CheckTargetKind::Nothing:
            return;
        }
    }
    const std::string folder = NormalizeFolder(Destination());
    std::string root = folder.empty() ? std::string() : BackupFolderFor(folder, m_csShowFolder);
    // The back-up folder itself typed as the destination: its record lies
    // beside it, not beside a folder of the show's name inside it.
    if (!folder.empty() && !backup::IsFolder(root)) {
        const CheckTarget typed = FindCheckTarget(folder);
        if (typed.kind == CheckTargetKind::Backup) root = typed.folder;
    }
    VerifyRecorded(root);
}

namespace {
// What a check that failed found, and what to do about it.
std::string CheckFailedText(const std::string& root, const BackupCheckResult& result) {
    std::string text = "De back-up in " + Shown(root) + " is niet in orde.";
    if (result.recordDamaged)
        text += "\n\nHet overzicht van de back-up is beschadigd:\n" + Shown(backup::RecordPathOf(root));
    if (result.lastRun == RecordedRun::Incomplete)
        text += "\n\nDe laatste back-up was niet volledig (" + result.incompleteReason + ").";
    if (result.lastRun == RecordedRun::Unknown && !result.recordDamaged)
        text += "\n\nHet overzicht is van een eerdere versie van Zekerpad; of die back-up volledig was, is niet "
                "bekend.";
    if (!result.missing.empty()) text += "\n\nOntbreekt:" + NameList(result.missing);
    if (!result.damaged.empty()) text += "\n\nBeschadigd of anders dan bij het maken:" + NameList(result.damaged);
    if (!result.notHeld.empty())
        text += "\n\nGenoemd door de show, maar niet in de back-up:" + NameList(result.notHeld);
    text += "\n\nMaak de back-up opnieuw, bij voorkeur op een andere schijf of USB-stick.";
    if (result.findingsOnlyHere)
        text += "\n\nWat de controle vond, kon niet op de doelschijf worden bewaard (is de USB-stick beveiligd "
                "tegen schrijven?). Zekerpad heeft het op deze computer bewaard: maakt u de back-up vanaf deze "
                "computer opnieuw, dan kopieert Zekerpad deze bestanden opnieuw.";
    return text;
}
}  // namespace

void CDialogBackup::VerifyRecorded(const std::string& root) {
    const backup::RecordOnDisk read = root.empty() ? backup::RecordOnDisk() : backup::ReadRecordAt(root);
    const BackupRecord& record = read.record;
    if (!read.found) {
        LogLine("Start controle back-up");
        LogValue("map", Shown(root));
        LogValue("fout", "geen overzicht gevonden");
        LogLine("Einde controle back-up");
        ShowMessage("Bij deze back-up staat geen overzicht van Zekerpad:\n" + Shown(root) +
                        "\n\nAlleen een back-up die Zekerpad heeft gemaakt, kan worden gecontroleerd. Kies de doelmap "
                        "waarin de back-up staat.",
                    m_hWnd);
        return;
    }
    int64_t total = 0;
    for (const BackupRecordFile& f : record.files) total += f.size;
    SetRange(total);
    SetProgress(0);

    BackupCheckResult result;
    m_bBusy = true;
    {
        EnableItem(IDC_BACKUP_STOP, true);
        CLongWork work(m_hWnd, IDC_BACKUP_STOP);
        std::string shown;
        result = CheckBackup(root, [&](const std::string& relative, int64_t bytes) {
            if (relative != shown) {
                shown = relative;
                SetItemText(IDC_BACKUP_FILE, Shown(relative));
            }
            SetProgress(bytes);
            return work.Pump();
        });
    }
    m_bBusy = false;
    EnableItem(IDC_BACKUP_STOP, false);
    SetItemText(IDC_BACKUP_FILE, "");
    SetItemText(IDC_BACKUP_SUMMARY, BackupCheckText(result, kRunLogPath));
    ShowResults();
    const bool failed =
        !BackupProven(result) && !(result.stopped && result.missing.empty() && result.damaged.empty());
    // The plan line follows the latest check: a good one after a repair by
    // hand gives the counts back.
    const std::string failedBefore = m_csFailedCheckRoot;
    m_csFailedCheckRoot = failed ? root : std::string();
    if (m_csFailedCheckRoot != failedBefore) UpdatePlan();
    if (failed) {
        ShowMessage(CheckFailedText(root, result), m_hWnd);
    }
}

void CDialogBackup::VerifyCopy(const CheckTarget& target) {
    SetProgress(0);
    ShowCopyResult result;
    m_bBusy = true;
    {
        EnableItem(IDC_BACKUP_STOP, true);
        CLongWork work(m_hWnd, IDC_BACKUP_STOP);
        std::string shown;
        result = CheckShowCopy(
            target,
            [&](const std::string& relative, int64_t bytes) {
                if (relative != shown) {
                    shown = relative;
                    SetItemText(IDC_BACKUP_FILE, Shown(relative));
                }
                SetProgress(bytes);
                return work.Pump();
            },
            [&](int64_t total) { SetRange(total); });
    }
    m_bBusy = false;
    EnableItem(IDC_BACKUP_STOP, false);
    SetItemText(IDC_BACKUP_FILE, "");
    const std::string text = ShowCopyText(result, kRunLogPath);
    SetItemText(IDC_BACKUP_SUMMARY, text.substr(0, text.find('\n')) + "\nElk bestand staat in het logboek " +
                                        kRunLogPath + ".");
    ShowResults();
    if (!result.stopped && !ShowCopyComplete(result)) ShowMessage(text, m_hWnd);
}

void CDialogBackup::OnBrowse() {
    const std::wstring path = PickFolder(m_hWnd, L"Kies de map waarin de back-up komt:");
    if (!path.empty()) ::SetWindowTextW(GetItem(IDC_BACKUP_DEST), path.c_str());
}

namespace {
// The program's own path for the task, whatever characters it holds.
std::string ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return std::string();
        if (n < path.size()) return Utf8FromWide(path.data(), n);
        path.resize(path.size() * 2);
    }
}
}  // namespace

void CDialogBackup::OnWeekly() {
    WeeklyTask task;
    task.program = ProgramPath();
    task.show = m_csShowFile;
    task.destination = m_csCompleteDestination;
    // From a week from now on, on this day at this time: the user is at the
    // computer now.
    SYSTEMTIME now{}, next{};
    ::GetLocalTime(&now);
    FILETIME time{};
    ::SystemTimeToFileTime(&now, &time);
    ULARGE_INTEGER ticks{};
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    ticks.QuadPart += 7ULL * 24 * 3600 * 10000000ULL;
    time.dwLowDateTime = ticks.LowPart;
    time.dwHighDateTime = ticks.HighPart;
    ::FileTimeToSystemTime(&time, &next);
    task.year = next.wYear, task.month = next.wMonth, task.day = next.wDay, task.weekday = next.wDayOfWeek;
    task.hour = now.wHour, task.minute = now.wMinute;

    TaskRegistration made;
    {
        ScopedWaitCursor wait;
        made = RegisterWeeklyTask(task, ShowFolderName(m_csShowFolder));
    }
    WeeklyTask shown = task;
    shown.program = Shown(task.program);
    shown.show = Shown(task.show);
    shown.destination = Shown(task.destination);
    const std::string name = Shown(made.name);
    const std::string reason =
        made.outcome == TaskOutcome::Made || made.outcome == TaskOutcome::AlreadyThere
            ? std::string()
            : SystemErrorText(static_cast<uint32_t>(made.error));
    const std::string text = WeeklyTaskMessage(made.outcome, shown, name, reason, kRunLogPath);
    switch (made.outcome) {
    case TaskOutcome::Made:
        LogValue("wekelijkse taak gemaakt", name + ": " + shown.program + " " + WeeklyTaskArguments(shown));
        AskMessage(m_hWnd, text, ProgramTitle(), MB_OK | MB_ICONINFORMATION);
        return;
    case TaskOutcome::AlreadyThere:
        LogValue("wekelijkse taak bestaat al", name);
        AskMessage(m_hWnd, text, ProgramTitle(), MB_OK | MB_ICONINFORMATION);
        return;
    case TaskOutcome::NoScheduler:
    case TaskOutcome::Failed:
        break;
    }
    LogValue("wekelijkse taak niet gemaakt", reason);
    LogValue("opdracht", WeeklyTaskCommand(shown, name));
    ShowMessage(text, m_hWnd);
}
