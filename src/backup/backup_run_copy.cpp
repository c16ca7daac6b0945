// The copying of a run's files, one verified copy after the other.
#include "backup/backup_run_steps.h"

#include "backup/backup_disk.h"
#include "common/system_error.h"
#include "common/text.h"
#include "files/path_split.h"
#include "media/content_check.h"
#include "services/msgbox.h"
#include "services/run_log.h"

namespace backup {

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

// "wav" for "Audio\intro.wav"; empty without one.
std::string ExtensionOf(const std::string& relative) {
    const std::string ext = SplitPath(relative).ext;
    return ext.empty() ? ext : ext.substr(1);
}
}  // namespace

// Every file the plan says to copy, one verified copy after the other.
void CBackupRun::CopyFiles(CLogBatch& log) {
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
    for (const std::string& to : m_times.Finish()) log.Value("tijd niet gezet", Shown(to));
    if (m_aborted) ReportBrokenOff(log);
    // Once the drive is back (the message waited for the user), a
    // temporary file it kept goes; else the next run removes it.
    for (const std::string& temp : m_leftBehind) {
        ::SetFileAttributesW(Wide(temp).c_str(), FILE_ATTRIBUTE_NORMAL);
        const bool gone = ::DeleteFileW(Wide(temp).c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
        log.Value(gone ? "tijdelijk bestand verwijderd" : "tijdelijk bestand blijft", Shown(temp));
    }
    log.FlushIfDue();
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
        if (!hourApart && (m_aborted || m_lines.count(file.key))) {
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
        // the next run need not read it. Set while the next file is read.
        if (hourApart) m_times.Add(to, entry.writeTime);
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

}  // namespace backup
