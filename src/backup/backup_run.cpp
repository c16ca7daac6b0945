#include "backup/backup_run.h"

#include <windows.h>

#include <optional>
#include <set>

#include "backup/backup_check.h"
#include "backup/backup_disk.h"
#include "backup/backup_heal.h"
#include "backup/disk_place.h"
#include "backup/sha256.h"
#include "common/system_error.h"
#include "common/text.h"
#include "files/path_split.h"
#include "media/content_check.h"
#include "services/msgbox.h"
#include "services/run_log.h"

using namespace backup;

namespace {
constexpr char kUnreachable[] = "De doelschijf is niet meer bereikbaar.";

// Errors after which no later file can reach the destination either.
bool IsDestinationWide(DWORD error, const std::string& targetRoot) {
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_NOT_READY:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_NO_MEDIA_IN_DRIVE:
    case ERROR_MEDIA_CHANGED:
    case ERROR_WRITE_PROTECT:
    case ERROR_INVALID_DRIVE:
    case ERROR_NETNAME_DELETED:
    case ERROR_BAD_NETPATH:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_IO_DEVICE:
        return true;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
        // Only when the back-up's own folder has gone.
        return ::GetFileAttributesW(Wide(targetRoot).c_str()) == INVALID_FILE_ATTRIBUTES;
    default:
        return false;
    }
}
// Why a file was refused before copying, for the message and the log.
std::string RefusalReason(BackupAction action, const BackupVolume& volume) {
    switch (action) {
    case BackupAction::TooLong:
        return "Het pad is langer dan " + FormatThousands(static_cast<int64_t>(kBackupMaxPath)) + " tekens.";
    case BackupAction::TooLarge:
        return "Het bestand is groter dan het bestandssysteem van de doelschijf kan bewaren (ten hoogste " +
               MaxFileSizeText(volume) + " per bestand).";
    case BackupAction::FolderInWay:
        return "In de back-up staat een map met dezelfde naam.";
    case BackupAction::FileInWay:
        return "In de back-up staat een bestand met dezelfde naam; de bestanden in deze map zijn niet "
               "gekopieerd.";
    default:
        return std::string();
    }
}
// A destination whose stick or network share is not there now: the same
// run may succeed another time. A folder missing on a drive that is there
// was mistyped or removed.
bool DriveAbsent(const std::string& folder) {
    const std::string drive = SplitPath(folder).drive;
    return drive.empty() || !IsFolder(drive + "\\");
}

// "wav" for "Audio\intro.wav"; empty without one.
std::string ExtensionOf(const std::string& relative) {
    const std::string ext = SplitPath(relative).ext;
    return ext.empty() ? ext : ext.substr(1);
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


enum class Step { Next, CopyIt, Stop };

// One back-up run, from "Start back-up" to "Einde back-up": each step
// adds to the one outcome and leaves the record to be (lines) in step
// with what the back-up holds.
class CBackupRun {
public:
    CBackupRun(const std::string& showFolder, const std::string& destination, const BackupProgressFn& progress,
               HWND owner, const std::function<void(int64_t)>& planned, BackupOutcome& outcome)
        : m_show(DiskPlace::Of(showFolder)), m_destination(DiskPlace::Of(destination)), m_progress(progress),
          m_owner(owner), m_planned(planned), m_outcome(outcome) {}

    BackupResult Make();

private:
    BackupResult End(BackupResult result);
    BackupResult Refused(BackupRefusal refusal);
    BackupRefusal ChooseFolder();
    bool MayUseFolderWithoutRecord();
    std::optional<BackupResult> ListTrees();
    BackupRefusal PlanCopies();
    void ClaimFolder();
    void CopyFiles();
    Step CopyOne(CLogBatch& log, const PlannedFile& file);
    Step CompareWithCopy(CLogBatch& log, const BackupEntry& entry, bool hourApart);
    Step CopyVerified(CLogBatch& log, const BackupEntry& entry, bool hasOld);
    void NoteSuspect(CLogBatch& log, CContentCheck& content, int64_t bytesRead, const BackupEntry& entry);
    void GiveUpOnDestination(CLogBatch& log, const VerifiedCopy& copy, DWORD error, const std::string& from);
    void NotCopied();
    void ReportBrokenOff(CLogBatch& log);
    void ReportNotListed();
    void SaveRecordAtEnd();
    void KeepFindingsLeft();

    const DiskPlace m_show;
    const DiskPlace m_destination;
    DiskPlace m_root;   // this show's folder in the destination
    DiskPlace m_older;  // this run's folder of older versions, made when first needed
    const BackupProgressFn& m_progress;
    const HWND m_owner;
    const std::function<void(int64_t)>& m_planned;
    BackupOutcome& m_outcome;

    RecordOnDisk m_read;  // the record as found; its text is what is on the disk now
    std::vector<BackupEntry> m_source, m_target;
    std::vector<std::string> m_links;
    std::vector<BackupListingError> m_unreadable;
    BackupVolume m_volume;
    BackupPlan m_plan;
    Findings m_healed;  // what the last check found, until copied again
    bool m_hadFindings = false;
    RecordMap m_lines;  // the record to be, by NameKey
    bool m_wasComplete = false;  // a sealed complete record of this show, and nothing to copy
    CSha256 m_sha;

    // Set once the destination itself fails: the rest is not tried.
    bool m_aborted = false;
    bool m_unreachable = false;  // the destination went away
    int m_notCopied = 0;
    DWORD m_abortError = ERROR_SUCCESS;
    std::string m_abortAt;
    std::vector<std::string> m_leftBehind;  // temporary files on a drive that went away
};

BackupResult CBackupRun::End(BackupResult result) {
    if (result == BackupResult::Ran) {
        LogNumber("gekopieerd ", m_outcome.copied);
        LogValue("bytes      ", std::to_string(m_outcome.copiedBytes));
        LogNumber("ongewijzigd", m_outcome.unchanged);
        LogNumber("mislukt    ", m_outcome.failed);
        if (m_outcome.stopped) LogLine("Back-up gestopt");
    }
    LogLine("Einde back-up");
    return result;
}

BackupResult CBackupRun::Refused(BackupRefusal refusal) {
    m_outcome.refusal = refusal;
    return End(BackupResult::Refused);
}

BackupResult CBackupRun::Make() {
    m_outcome = BackupOutcome();
    LogLine("Start back-up");
    LogValue("bron", Shown(m_show.path));
    LogValue("doel", m_destination.shown);
    BackupRefusal refusal = ChooseFolder();
    if (refusal != BackupRefusal::None) return Refused(refusal);
    if (const std::optional<BackupResult> early = ListTrees()) return *early;
    refusal = PlanCopies();
    if (refusal != BackupRefusal::None) return Refused(refusal);
    if (m_planned) m_planned(m_plan.copyBytes);
    ClaimFolder();
    CopyFiles();
    ReportNotListed();
    SaveRecordAtEnd();
    return End(BackupResult::Ran);
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
    m_healed = FindingsAt(m_root.path);
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

// Every file the plan says to copy, one verified copy after the other.
void CBackupRun::CopyFiles() {
    CLogBatch log;
    for (const std::string& folder : m_plan.folders) {
        const std::string path = m_root.Below(folder);
        if (::CreateDirectoryW(Wide(path).c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS) continue;
        // Its files fail one by one when they find no folder to go into.
        log.Value("map", Shown(path));
        log.Value("fout", ReasonFor(::GetLastError()));
    }
    for (const PlannedFile& file : m_plan.files) {
        log.FlushIfDue();
        if (CopyOne(log, file) == Step::Stop) break;
    }
    if (m_aborted) ReportBrokenOff(log);
    // Once the drive is back (the message waited for the user), a
    // temporary file it kept goes; else the next run removes it.
    for (const std::string& temp : m_leftBehind) {
        ::SetFileAttributesW(Wide(temp).c_str(), FILE_ATTRIBUTE_NORMAL);
        const bool gone = ::DeleteFileW(Wide(temp).c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
        log.Value(gone ? "tijdelijk bestand verwijderd" : "tijdelijk bestand blijft", Shown(temp));
    }
    log.Flush();
    if (m_progress) m_progress(std::string(), m_outcome.copiedBytes);
}

void CBackupRun::NotCopied() {
    ++m_outcome.failed;
    ++m_notCopied;
}

Step CBackupRun::CopyOne(CLogBatch& log, const PlannedFile& file) {
    const BackupEntry& entry = m_source[file.source];
    const std::string from = m_show.Below(entry.relative);
    const bool hourApart = file.action == BackupAction::HourApart;
    bool copyAgain = false;
    if (hourApart && m_aborted) {
        NotCopied();
        return Step::Next;
    }
    if (file.action == BackupAction::Unchanged || hourApart) {
        if (!hourApart && (m_aborted || m_lines.count(NameKey(entry.relative)))) {
            log.Value("ongewijzigd", Shown(from));
            ++m_outcome.unchanged;
            return Step::Next;
        }
        const Step step = CompareWithCopy(log, entry, hourApart);
        if (step != Step::CopyIt) return step;
        copyAgain = true;
    }
    if (m_aborted) {
        NotCopied();
        return Step::Next;
    }
    log.Value("bron", Shown(from));
    log.Value("doel", Shown(m_root.Below(entry.relative)));
    if (file.action != BackupAction::Copy && !copyAgain) {
        ReportFailure(log, from, RefusalReason(file.action, m_volume), m_owner,
                      entry.isFolder ? "De volgende map is niet in de back-up gekomen:\n" : std::string());
        ++m_outcome.failed;
        return Step::Next;
    }
    if (!m_sha.Valid()) {
        ReportFailure(log, from, SystemErrorText(ERROR_NOT_SUPPORTED), m_owner);
        ++m_outcome.failed;
        return Step::Next;
    }
    if (m_progress && !m_progress(entry.relative, m_outcome.copiedBytes)) {
        log.Value("fout", "gestopt");
        m_outcome.stopped = true;
        return Step::Stop;
    }
    return CopyVerified(log, entry, file.hasOlder || copyAgain);
}

// A copy the record does not vouch for (no record, a damaged one, a lost
// line): taken in only when its bytes are the show's. A copy whose time
// reads an hour off (daylight-saving time on a FAT stick): the show's file
// decides, read once against its line. The show's file is read for it
// anyway, so it is judged too.
Step CBackupRun::CompareWithCopy(CLogBatch& log, const BackupEntry& entry, bool hourApart) {
    const std::string from = m_show.Below(entry.relative);
    const std::string to = m_root.Below(entry.relative);
    CContentCheck content(ExtensionOf(entry.relative), static_cast<uint64_t>(entry.size));
    const Compared compared =
        hourApart ? CompareHourApart(from, to, entry, m_sha, m_progress, m_outcome.copiedBytes, m_lines, &content)
                  : CompareWithShow(from, to, entry, m_sha, m_progress, m_outcome.copiedBytes, m_lines, &content);
    switch (compared) {
    case Compared::Same:
        log.Value("ongewijzigd", Shown(from));
        ++m_outcome.unchanged;
        NoteSuspect(log, content, m_lines[NameKey(entry.relative)].size, entry);
        // The copy shows its show's time again, as a fresh copy would:
        // the next run need not read it.
        if (hourApart && !SetWriteTime(to, entry.writeTime)) log.Value("tijd niet gezet", Shown(to));
        return Step::Next;
    case Compared::Stopped:
        log.Value("fout", "gestopt");
        m_outcome.stopped = true;
        return Step::Stop;
    case Compared::CopyUnreadable:
        log.Value("bron", Shown(from));
        ReportFailure(log, to, "De bestaande kopie in de back-up kan niet worden gelezen.", m_owner);
        ++m_outcome.failed;
        return Step::Next;
    case Compared::ShowUnreadable:
        log.Value("bron", Shown(from));
        ReportFailure(log, from, "Het bestand van de show kan niet worden gelezen.", m_owner);
        ++m_outcome.failed;
        return Step::Next;
    case Compared::Different:
        break;
    }
    if (!hourApart) log.Value("anders dan de show", Shown(to));
    return Step::CopyIt;
}

// The copy is the show's file, byte for byte; should that file itself be
// damaged, the user hears it now, not at the venue. (A file that changed
// size since the listing is judged next time.)
void CBackupRun::NoteSuspect(CLogBatch& log, CContentCheck& content, int64_t bytesRead, const BackupEntry& entry) {
    const ContentFinding finding = content.Finish();
    if (finding.verdict != ContentVerdict::Damaged || bytesRead != entry.size) return;
    log.Value("lijkt beschadigd", Shown(m_show.Below(entry.relative)) + " (" + finding.reason + ")");
    ++m_outcome.suspect;
}

Step CBackupRun::CopyVerified(CLogBatch& log, const BackupEntry& entry, bool hasOld) {
    const std::string from = m_show.Below(entry.relative);
    const std::string older = m_older.Below(entry.relative);
    VerifiedCopy copy(m_sha, m_progress, m_outcome.copiedBytes);
    CContentCheck content(ExtensionOf(entry.relative), static_cast<uint64_t>(entry.size));
    copy.CheckContents(&content);
    DWORD targetError = ERROR_SUCCESS;
    if (copy.Run(from, m_root.Below(entry.relative), entry.relative, hasOld, older)) {
        if (copy.MovedOld()) log.Value("oudere versie", Shown(older));
        log.Value(" ", "kopie OK");
        NoteSuspect(log, content, copy.Copied(), entry);
        ++m_outcome.copied;
        m_outcome.copiedBytes += copy.Copied();
        const std::string key = NameKey(entry.relative);
        m_lines[key] = BackupRecordFile{entry.relative, copy.Copied(), entry.writeTime, copy.Hash()};
        m_healed.erase(key);
    } else if (copy.Stopped()) {
        log.Value("fout", "gestopt");
        m_outcome.stopped = true;
        return Step::Stop;
    } else if (copy.TargetError(&targetError) && IsDestinationWide(targetError, m_root.path)) {
        GiveUpOnDestination(log, copy, targetError, from);
    } else {
        if (!copy.LeftBehind().empty()) m_leftBehind.push_back(copy.LeftBehind());
        ReportFailure(log, from, copy.Reason(), m_owner);
        ++m_outcome.failed;
    }
    return Step::Next;
}

// One message for the whole run, not one per file left. A stick pulled
// out may answer "full" or anything else: whether the back-up's folder is
// still there tells the true reason.
void CBackupRun::GiveUpOnDestination(CLogBatch& log, const VerifiedCopy& copy, DWORD error,
                                     const std::string& from) {
    m_unreachable = !IsFolder(m_root.path);
    log.Value("fout", m_unreachable ? std::string(kUnreachable) : copy.Reason());
    if (!copy.LeftBehind().empty()) m_leftBehind.push_back(copy.LeftBehind());
    m_aborted = true;
    m_abortError = error;
    m_abortAt = from;
    NotCopied();
}

void CBackupRun::ReportBrokenOff(CLogBatch& log) {
    log.Value("afgebroken", FileCountText(m_notCopied) + " niet gekopieerd");
    log.Flush();
    m_outcome.destinationLost = true;
    const std::string notCopiedText =
        FileCountText(m_notCopied) + (m_notCopied == 1 ? " is" : " zijn") + " niet gekopieerd.";
    if (m_unreachable)
        ShowMessage(std::string(kUnreachable) + " De back-up is afgebroken bij:\n" + Shown(m_abortAt) + "\n\n" +
                        notCopiedText +
                        " Sluit de USB-stick (of de doelschijf) weer aan en start de back-up dan opnieuw.",
                    m_owner);
    else
        ShowMessage("De back-up is afgebroken: de doelschijf kan niet meer worden beschreven. Dit gebeurde bij:\n" +
                        Shown(m_abortAt) + "\n\n" + ReasonFor(m_abortError) + "\n\n" + notCopiedText +
                        " Kijk of de doelschijf (bijvoorbeeld de USB-stick) er nog is en genoeg ruimte heeft, en "
                        "start de back-up dan opnieuw.",
                    m_owner);
}

// What the listing could not take in, and what the copied show names that
// the back-up lacks (the show may have been saved again since it was
// analysed): each keeps the back-up from being complete.
void CBackupRun::ReportNotListed() {
    CLogBatch log;
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
    if (!m_outcome.stopped) {
        std::set<std::string> held;
        std::vector<std::string> shows;
        for (const auto& line : m_lines) {
            held.insert(line.first);
            if (IsShowAtTopOfBackup(line.second.relative)) shows.push_back(line.second.relative);
        }
        m_outcome.notHeld = NamedButNotHeld(m_root.path, m_show.path, shows, held, log);
    }
    log.Flush();
}

void CBackupRun::SaveRecordAtEnd() {
    BackupRecord& record = m_read.record;
    const bool complete = !m_outcome.stopped && m_outcome.failed == 0 && m_unreadable.empty() && m_links.empty() &&
                          m_outcome.notHeld.empty();
    record.lastRun = complete ? RecordedRun::Complete : RecordedRun::Incomplete;
    record.incompleteReason = m_outcome.stopped      ? "gestopt"
                              : m_outcome.failed > 0 ? FileCountText(m_outcome.failed) + " niet gekopieerd"
                                                     : FileCountText(static_cast<int>(m_outcome.notHeld.size())) +
                                                           " genoemd door de show, niet in de back-up";
    const bool unchanged = complete && m_wasComplete && SameLines(record.files, m_lines);
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
}  // namespace

BackupResult MakeBackup(const std::string& showFolder, const std::string& destination,
                        const BackupProgressFn& progress, HWND owner, BackupOutcome* outcome,
                        const std::function<void(int64_t copyBytes)>& planned) {
    return CBackupRun(showFolder, destination, progress, owner, planned, *outcome).Make();
}
