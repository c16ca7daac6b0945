#include "backup/backup_run.h"

#include <windows.h>

#include <set>

#include "backup/backup_check.h"
#include "backup/backup_destination.h"
#include "backup/backup_disk.h"
#include "backup/backup_run_steps.h"
#include "common/text.h"
#include "files/path_split.h"
#include "services/msgbox.h"
#include "services/run_log.h"

using namespace backup;

namespace {
// A destination whose stick or network share is not there now: the same
// run may succeed another time. A folder missing on a drive that is there
// was mistyped or removed.
bool DriveAbsent(const std::string& folder) {
    const std::string drive = SplitPath(folder).drive;
    return drive.empty() || !IsFolder(drive + "\\");
}

// The record's lines as read, in their order, against the lines the run
// leaves (in the order of their keys, as they are written).
bool SameLines(const std::vector<BackupRecordFile>& files, const RecordMap& lines) {
    if (files.size() != lines.size()) return false;
    auto line = lines.begin();
    for (const BackupRecordFile& f : files) {
        const BackupRecordFile& l = (line++)->second;
        if (f.relative != l.relative || f.size != l.size || f.writeTime != l.writeTime || f.sha256 != l.sha256)
            return false;
    }
    return true;
}
}  // namespace

namespace backup {

BackupResult CBackupRun::End(BackupResult result) {
    CLogBatch tally;
    return End(result, tally);
}

// The tally goes to the log with the entries before it that are still
// waiting: a run of many shows writes each show's end at once.
BackupResult CBackupRun::End(BackupResult result, CLogBatch& log) {
    if (result == BackupResult::Ran) {
        log.Number("gekopieerd ", m_outcome.copied);
        log.Value("bytes      ", std::to_string(m_outcome.copiedBytes));
        log.Number("ongewijzigd", m_outcome.unchanged);
        log.Number("mislukt    ", m_outcome.failed);
        if (m_outcome.stopped) log.Line("Back-up gestopt");
    }
    log.Line("Einde back-up");
    return result;
}

BackupResult CBackupRun::Refused(BackupRefusal refusal) {
    m_outcome.refusal = refusal;
    return End(BackupResult::Refused);
}

BackupResult CBackupRun::Make() {
    m_outcome = BackupOutcome();
    {
        CLogBatch head;  // written as one
        head.Line("Start back-up");
        head.Value("bron", Shown(m_show.path));
        head.Value("doel", m_destination.shown);
    }
    BackupRefusal refusal = ChooseFolder();
    if (refusal != BackupRefusal::None) return Refused(refusal);
    if (const std::optional<BackupResult> early = ListTrees()) return *early;
    refusal = PlanCopies();
    if (refusal != BackupRefusal::None) return Refused(refusal);
    if (m_planned) m_planned(m_plan.copyBytes);
    ClaimFolder();
    // From the first file to "Einde back-up" the entries wait for each
    // other until one is due or a message comes: one flush per quarter
    // second, not per entry.
    CLogBatch log;
    CopyFiles(log);
    ReportNotListed(log);
    SaveRecordAtEnd();
    return End(BackupResult::Ran, log);
}

// Which folder of the destination is this show's, and whether the run may
// write there at all.
BackupRefusal CBackupRun::ChooseFolder() {
    const BackupFolderChoice choice = FindBackupFolder(m_destination.written, m_show.path, &m_read);
    m_root = m_destination.Child(choice.name.empty() ? m_show.name : choice.name);
    if (!DestinationAllowed(m_destination.written, m_show.path, m_root.path, m_owner))
        return BackupRefusal::Destination;
    if (!IsFolder(m_destination.written)) {
        Refuse("doelmap bestaat niet",
               "De doelmap bestaat niet:\n" + m_destination.shown +
                   "\n\nKies een bestaande map, of maak de map eerst aan.",
               m_owner);
        // A stick or a network drive not there now may be there next time.
        return DriveAbsent(m_destination.written) ? BackupRefusal::Later : BackupRefusal::Destination;
    }
    if (choice.name.empty()) {
        Refuse("geen vrije naam",
               "In de doelmap is geen vrije naam meer voor de back-up van deze show:\n" + m_destination.shown +
                   "\n\nKies een andere doelmap.",
               m_owner);
        return BackupRefusal::Destination;
    }
    if (choice.needsConsent && !MayUseFolderWithoutRecord()) return BackupRefusal::Destination;
    if (choice.name != m_show.name) LogValue("back-upmap", Shown(m_root.path));
    m_older = DiskPlace::Of(OlderVersionsFolder(m_destination.written, choice.name));
    return BackupRefusal::None;
}

bool CBackupRun::MayUseFolderWithoutRecord() {
    // A record that names no show (empty, cut, unreadable) claims nothing.
    const bool damagedRecord = m_read.root == m_root.path && m_read.found;
    const std::string question =
        (damagedRecord ? "In de doelmap staat al een map met deze naam; het overzicht van Zekerpad ernaast is "
                         "beschadigd en noemt geen show:\n"
                       : "In de doelmap staat al een map met deze naam, zonder overzicht van Zekerpad:\n") +
        Shown(m_root.path) +
        "\n\nZekerpad weet niet of deze map bij deze show hoort. Gebruikt u hem toch, dan komt de back-up "
        "erin; bestanden die er al in staan, blijven bewaard (een oudere versie gaat naar de map met oudere "
        "versies ernaast).\n\nWilt u deze map gebruiken voor de back-up van deze show?";
    if (AskMessage(m_owner, question, ProgramTitle(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES)
        return true;
    LogValue("geweigerd", "map zonder overzicht");
    return false;
}

// Both trees as they are now; an answer when the run ends here.
std::optional<BackupResult> CBackupRun::ListTrees() {
    const auto pump = [&] { return !m_progress || m_progress(std::string(), 0); };
    const auto failed = [&](const char* why, const std::string& text) -> std::optional<BackupResult> {
        if (!pump()) {
            m_outcome.stopped = true;
            return End(BackupResult::Ran);
        }
        Refuse(why, text, m_owner);
        return Refused(BackupRefusal::Later);
    };
    if (!ListBackupTree(m_show.path, m_source, &m_links, pump, &m_unreadable))
        return failed("show niet leesbaar", "De map van de show kan niet worden gelezen:\n" + Shown(m_show.path));
    if (IsFolder(m_root.path) && !ListBackupTree(m_root.path, m_target, nullptr, pump))
        return failed("back-up niet leesbaar", "De bestaande back-up kan niet worden gelezen:\n" + Shown(m_root.path));
    return std::nullopt;
}

BackupRefusal CBackupRun::PlanCopies() {
    RemoveLeftovers(m_root.path, m_target, m_source);
    m_volume = QueryBackupVolume(m_destination.written);
    m_plan = PlanBackup(m_source, m_target, m_show.path, m_root.path, m_volume);
    m_healed = FindingsAt(m_root.path, &m_read);
    m_hadFindings = !m_healed.empty();
    CopyAgain(m_plan, m_source, m_healed);
    return DestinationWritableWithRoom(m_destination.written, m_show.path, m_root.path, m_plan, m_owner);
}

// The folder is claimed for this show before anything is copied; until
// the run ends, the record says it is not complete.
void CBackupRun::ClaimFolder() {
    // Read when the folder was chosen; nothing has written it since.
    if (m_read.root != m_root.path) m_read = ReadRecordAt(m_root.path);
    BackupRecord& record = m_read.record;
    if (m_read.found && record.damaged) {
        // Its lines vouch for nothing: every copy is compared with the show.
        LogValue("overzicht beschadigd", Shown(RecordPathOf(m_root.path)));
        record.files.clear();
    }
    m_lines = CurrentLines(record, m_target, m_volume.timePrecision);
    for (const auto& finding : m_healed) m_lines.erase(finding.first);
    // A sealed record of a complete run of this show, which a run that
    // copies nothing leaves as it is, need not even be formatted again.
    m_wasComplete = m_read.found && !record.damaged && !record.sealChecksum.empty() &&
                    record.lastRun == RecordedRun::Complete && record.showFolder == m_show.path &&
                    m_plan.copyCount == 0;
    record.showFolder = m_show.path;
    record.lastRun = RecordedRun::Incomplete;
    record.incompleteReason = "onderbroken";
    if (m_plan.copyCount > 0 || m_read.text.empty()) {
        const DWORD error = SaveRecord(m_root.path, record, m_lines, m_read.text);
        if (error != ERROR_SUCCESS)
            LogValue("fout", "overzicht niet geschreven: " + Shown(RecordPathOf(m_root.path)) + " (" +
                                 ReasonFor(error) + ")");
    }
}

// What the listing could not take in, and what the copied show names that
// the back-up lacks (the show may have been saved again since it was
// analysed): each keeps the back-up from being complete.
void CBackupRun::ReportNotListed(CLogBatch& log) {
    for (const BackupListingError& folderError : m_unreadable) {
        if (m_outcome.stopped) break;
        const std::string folder = m_show.Below(folderError.relative);
        log.Value("map", Shown(folder));
        ReportFailure(log, folder,
                      "Deze map kan niet (volledig) worden gelezen; de bestanden erin zijn niet gekopieerd.\n" +
                          ReasonFor(folderError.error),
                      m_owner);
        ++m_outcome.failed;
    }
    for (const std::string& link : m_links) {
        if (m_outcome.stopped) break;
        log.Value("bron", Shown(m_show.Below(link)));
        ReportFailure(log, m_show.Below(link),
                      "Deze map verwijst naar een andere plaats (een koppeling) en wordt niet gekopieerd.", m_owner,
                      "De volgende map is niet in de back-up gekomen:\n");
        ++m_outcome.failed;
    }
    // The copied show was read by the last complete run, which found every
    // file it names among these same lines: its verdict stands.
    if (!m_outcome.stopped && !AsLastComplete()) {
        std::vector<std::string> shows;
        for (const auto& line : m_lines)
            if (IsShowAtTopOfBackup(line.second.relative)) shows.push_back(line.second.relative);
        m_outcome.notHeld = NamedButNotHeld(
            m_root.path, m_show.path, shows, [&](const std::string& key) { return m_lines.count(key) > 0; }, log);
    }
}

bool CBackupRun::AsLastComplete() const { return m_wasComplete && SameLines(m_read.record.files, m_lines); }

void CBackupRun::SaveRecordAtEnd() {
    BackupRecord& record = m_read.record;
    const bool complete = !m_outcome.stopped && m_outcome.failed == 0 && m_unreadable.empty() && m_links.empty() &&
                          m_outcome.notHeld.empty();
    record.lastRun = complete ? RecordedRun::Complete : RecordedRun::Incomplete;
    record.incompleteReason = m_outcome.stopped      ? "gestopt"
                              : m_outcome.failed > 0 ? FileCountText(m_outcome.failed) + " niet gekopieerd"
                                                     : FileCountText(static_cast<int>(m_outcome.notHeld.size())) +
                                                           " genoemd door de show, niet in de back-up";
    const bool unchanged = complete && AsLastComplete();
    const DWORD error = unchanged ? ERROR_SUCCESS : SaveRecord(m_root.path, record, m_lines, m_read.text);
    if (error == ERROR_SUCCESS) {
        if (m_hadFindings) KeepFindingsLeft();
        return;
    }
    // Without its record the back-up cannot be proved: not complete.
    const std::string path = Shown(RecordPathOf(m_root.path));
    LogValue("fout", "overzicht niet geschreven: " + path + " (" + ReasonFor(error) + ")");
    m_outcome.recordProblem = path;
    // A run that broke off for its destination has said why once; the
    // record failing on the same drive is no news (and no spreadsheet).
    if (!m_outcome.destinationLost)
        ShowMessage("Het overzicht van de back-up kan niet worden geschreven:\n" + path + "\n\n" + ReasonFor(error) +
                        "\n\nZonder overzicht kan de back-up niet worden gecontroleerd; hij is daarom niet "
                        "volledig. Sluit het programma dat het overzicht open heeft (bijvoorbeeld een rekenblad) en "
                        "maak de back-up opnieuw.",
                    m_owner);
}

// What is left for the next run: files of the show not copied again.
void CBackupRun::KeepFindingsLeft() {
    std::set<std::string> inShow;
    for (const BackupEntry& e : m_source) inShow.insert(NameKey(e.relative));
    std::vector<std::string> left;
    for (const auto& finding : m_healed)
        if (inShow.count(finding.first)) left.push_back(finding.second);
    if (SaveCheckFindings(m_root.path, left) != ERROR_SUCCESS)
        LogValue("fout", "bevindingen niet bijgewerkt: " + Shown(FindingsPathOf(m_root.path)));
}

}  // namespace backup

BackupResult MakeBackup(const std::string& showFolder, const std::string& destination,
                        const BackupProgressFn& progress, HWND owner, BackupOutcome* outcome,
                        const std::function<void(int64_t copyBytes)>& planned) {
    return CBackupRun(showFolder, destination, progress, owner, planned, *outcome).Make();
}
