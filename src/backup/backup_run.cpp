#include "backup/backup_run.h"

#include <windows.h>

#include <set>

#include "backup/backup_check.h"
#include "backup/backup_disk.h"
#include "backup/backup_heal.h"
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

struct RunPlace {
    std::string sourceRoot, targetRoot, olderRoot;
    BackupVolume volume;
};
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

// Copies every file the plan says to copy, one verified copy after the
// other, and keeps lines (the record to be) in step with what is there.
BackupOutcome CopyPlannedFiles(const std::vector<BackupEntry>& source, const BackupPlan& plan, const RunPlace& place,
                               RecordMap& lines, Findings& healed, const BackupProgressFn& progress,
                               HWND owner) {
    BackupOutcome outcome;
    CLogBatch log;

    for (const std::string& folder : plan.folders) {
        const std::string path = place.targetRoot + folder;
        if (::CreateDirectoryW(Wide(path).c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS) continue;
        // Its files fail one by one when they find no folder to go into.
        log.Value("map", Shown(path));
        log.Value("fout", ReasonFor(::GetLastError()));
    }

    // The copy is the show's file, byte for byte; should that file itself
    // be damaged, the user hears it now, not at the venue. (A file that
    // changed size since the listing is judged next time.)
    const auto noteSuspect = [&](CContentCheck& content, int64_t bytesRead, const BackupEntry& entry,
                                 const std::string& from) {
        const ContentFinding finding = content.Finish();
        if (finding.verdict != ContentVerdict::Damaged || bytesRead != entry.size) return;
        log.Value("lijkt beschadigd", Shown(from) + " (" + finding.reason + ")");
        ++outcome.suspect;
    };
    CSha256 sha;
    bool aborted = false;
    bool unreachable = false;  // the destination itself went away
    int notCopied = 0;
    DWORD abortError = ERROR_SUCCESS;
    std::string abortAt;
    std::vector<std::string> leftBehind;  // temporary files on a drive that went away
    for (const PlannedFile& file : plan.files) {
        log.FlushIfDue();
        const BackupEntry& entry = source[file.source];
        const std::string from = place.sourceRoot + entry.relative;
        const std::string to = place.targetRoot + entry.relative;
        const std::string key = NameKey(entry.relative);
        bool copyAgain = false;
        const bool hourApart = file.action == BackupAction::HourApart;
        if (hourApart && aborted) {
            ++outcome.failed;
            ++notCopied;
            continue;
        }
        if (file.action == BackupAction::Unchanged || hourApart) {
            if (!hourApart && (aborted || lines.count(key))) {
                log.Value("ongewijzigd", Shown(from));
                ++outcome.unchanged;
                continue;
            }
            // A copy the record does not vouch for (no record, a damaged one,
            // a lost line): taken in only when its bytes are the show's. A
            // copy whose time reads an hour off (daylight-saving time on a
            // FAT stick): the show's file decides, read once against its
            // line. The show's file is read for it anyway, so it is judged too.
            CContentCheck content(ExtensionOf(entry.relative), static_cast<uint64_t>(entry.size));
            const Compared compared =
                hourApart ? CompareHourApart(from, to, entry, sha, progress, outcome.copiedBytes, lines, &content)
                          : CompareWithShow(from, to, entry, sha, progress, outcome.copiedBytes, lines, &content);
            switch (compared) {
            case Compared::Same:
                log.Value("ongewijzigd", Shown(from));
                ++outcome.unchanged;
                noteSuspect(content, lines[key].size, entry, from);
                // The copy shows its show's time again, as a fresh copy
                // would: the next run need not read it.
                if (hourApart && !SetWriteTime(to, entry.writeTime)) log.Value("tijd niet gezet", Shown(to));
                continue;
            case Compared::Stopped:
                log.Value("fout", "gestopt");
                outcome.stopped = true;
                break;
            case Compared::CopyUnreadable:
                log.Value("bron", Shown(from));
                ReportFailure(log, to, "De bestaande kopie in de back-up kan niet worden gelezen.", owner);
                ++outcome.failed;
                continue;
            case Compared::ShowUnreadable:
                log.Value("bron", Shown(from));
                ReportFailure(log, from, "Het bestand van de show kan niet worden gelezen.", owner);
                ++outcome.failed;
                continue;
            case Compared::Different:
                if (!hourApart) log.Value("anders dan de show", Shown(to));
                copyAgain = true;
                break;
            }
            if (outcome.stopped) break;
        }
        if (aborted) {
            ++outcome.failed;
            ++notCopied;
            continue;
        }
        log.Value("bron", Shown(from));
        log.Value("doel", Shown(to));
        if (file.action != BackupAction::Copy && !copyAgain) {
            ReportFailure(log, from, RefusalReason(file.action, place.volume), owner,
                          entry.isFolder ? "De volgende map is niet in de back-up gekomen:\n" : std::string());
            ++outcome.failed;
            continue;
        }
        if (!sha.Valid()) {
            ReportFailure(log, from, SystemErrorText(ERROR_NOT_SUPPORTED), owner);
            ++outcome.failed;
            continue;
        }
        if (progress && !progress(entry.relative, outcome.copiedBytes)) {
            log.Value("fout", "gestopt");
            outcome.stopped = true;
            break;
        }
        const bool hasOld = file.hasOlder || copyAgain;
        const std::string older = place.olderRoot + entry.relative;
        VerifiedCopy copy(sha, progress, outcome.copiedBytes);
        CContentCheck content(ExtensionOf(entry.relative), static_cast<uint64_t>(entry.size));
        copy.CheckContents(&content);
        DWORD targetError = ERROR_SUCCESS;
        if (copy.Run(from, to, entry.relative, hasOld, older)) {
            if (copy.MovedOld()) log.Value("oudere versie", Shown(older));
            log.Value(" ", "kopie OK");
            noteSuspect(content, copy.Copied(), entry, from);
            ++outcome.copied;
            outcome.copiedBytes += copy.Copied();
            lines[key] = BackupRecordFile{entry.relative, copy.Copied(), entry.writeTime, copy.Hash()};
            healed.erase(key);
        } else if (copy.Stopped()) {
            log.Value("fout", "gestopt");
            outcome.stopped = true;
            break;
        } else if (copy.TargetError(&targetError) && IsDestinationWide(targetError, place.targetRoot)) {
            // One message for the whole run, not one per file left. A stick
            // pulled out may answer "full" or anything else: whether the
            // back-up's folder is still there tells the true reason.
            unreachable = !IsFolder(place.targetRoot);
            log.Value("fout", unreachable ? std::string(kUnreachable) : copy.Reason());
            if (!copy.LeftBehind().empty()) leftBehind.push_back(copy.LeftBehind());
            aborted = true;
            abortError = targetError;
            abortAt = from;
            ++outcome.failed;
            ++notCopied;
        } else {
            if (!copy.LeftBehind().empty()) leftBehind.push_back(copy.LeftBehind());
            ReportFailure(log, from, copy.Reason(), owner);
            ++outcome.failed;
        }
    }
    if (aborted) {
        log.Value("afgebroken", FileCountText(notCopied) + " niet gekopieerd");
        log.Flush();
        outcome.destinationLost = true;
        const std::string notCopiedText =
            FileCountText(notCopied) + (notCopied == 1 ? " is" : " zijn") + " niet gekopieerd.";
        if (unreachable)
            ShowMessage(std::string(kUnreachable) + " De back-up is afgebroken bij:\n" + Shown(abortAt) + "\n\n" +
                            notCopiedText +
                            " Sluit de USB-stick (of de doelschijf) weer aan en start de back-up dan opnieuw.",
                        owner);
        else
            ShowMessage("De back-up is afgebroken: de doelschijf kan niet meer worden beschreven. Dit gebeurde bij:\n" +
                            Shown(abortAt) + "\n\n" + ReasonFor(abortError) + "\n\n" + notCopiedText +
                            " Kijk of de doelschijf (bijvoorbeeld de USB-stick) er nog is en genoeg ruimte heeft, en "
                            "start de back-up dan opnieuw.",
                        owner);
    }
    // Once the drive is back (the message waited for the user), a
    // temporary file it kept goes; else the next run removes it.
    for (const std::string& temp : leftBehind) {
        ::SetFileAttributesW(Wide(temp).c_str(), FILE_ATTRIBUTE_NORMAL);
        const bool gone = ::DeleteFileW(Wide(temp).c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
        log.Value(gone ? "tijdelijk bestand verwijderd" : "tijdelijk bestand blijft", Shown(temp));
    }
    log.Flush();
    if (progress) progress(std::string(), outcome.copiedBytes);
    return outcome;
}
}  // namespace

BackupResult MakeBackup(const std::string& showFolder, const std::string& destination,
                        const BackupProgressFn& progress, HWND owner, BackupOutcome* outcome,
                        const std::function<void(int64_t copyBytes)>& planned) {
    *outcome = BackupOutcome();
    const std::string folder = NormalizeFolder(destination);
    LogLine("Start back-up");
    LogValue("bron", Shown(showFolder));
    LogValue("doel", Shown(folder));
    const auto end = [&](BackupResult result) {
        if (result == BackupResult::Ran) {
            LogNumber("gekopieerd ", outcome->copied);
            LogValue("bytes      ", std::to_string(outcome->copiedBytes));
            LogNumber("ongewijzigd", outcome->unchanged);
            LogNumber("mislukt    ", outcome->failed);
            if (outcome->stopped) LogLine("Back-up gestopt");
        }
        LogLine("Einde back-up");
        return result;
    };
    const auto refused = [&](BackupRefusal refusal) {
        outcome->refusal = refusal;
        return end(BackupResult::Refused);
    };
    RecordOnDisk read;
    const BackupFolderChoice choice = FindBackupFolder(folder, showFolder, &read);
    const std::string root = BackupRoot(folder, showFolder, choice.name);
    if (!DestinationAllowed(folder, showFolder, root, owner)) return refused(BackupRefusal::Destination);
    if (!IsFolder(folder)) {
        Refuse("doelmap bestaat niet",
               "De doelmap bestaat niet:\n" + Shown(folder) + "\n\nKies een bestaande map, of maak de map eerst aan.",
               owner);
        // A stick or a network drive not there now may be there next time.
        return refused(DriveAbsent(folder) ? BackupRefusal::Later : BackupRefusal::Destination);
    }
    if (choice.name.empty()) {
        Refuse("geen vrije naam", "In de doelmap is geen vrije naam meer voor de back-up van deze show:\n" +
                                      Shown(folder) + "\n\nKies een andere doelmap.",
               owner);
        return refused(BackupRefusal::Destination);
    }
    if (choice.needsConsent) {
        // A record that names no show (empty, cut, unreadable) claims nothing.
        const bool damagedRecord = read.root == root && read.found;
        const std::string question =
            (damagedRecord ? "In de doelmap staat al een map met deze naam; het overzicht van Zekerpad ernaast is "
                             "beschadigd en noemt geen show:\n"
                           : "In de doelmap staat al een map met deze naam, zonder overzicht van Zekerpad:\n") +
            Shown(root) +
            "\n\nZekerpad weet niet of deze map bij deze show hoort. Gebruikt u hem toch, dan komt de back-up "
            "erin; bestanden die er al in staan, blijven bewaard (een oudere versie gaat naar de map met oudere "
            "versies ernaast).\n\nWilt u deze map gebruiken voor de back-up van deze show?";
        if (AskMessage(owner, question, ProgramTitle(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
            LogValue("geweigerd", "map zonder overzicht");
            return refused(BackupRefusal::Destination);
        }
    }
    if (root != BackupRoot(folder, showFolder)) LogValue("back-upmap", Shown(root));

    const auto pump = [&] { return !progress || progress(std::string(), 0); };
    std::vector<BackupEntry> source, target;
    std::vector<std::string> links;
    std::vector<BackupListingError> unreadable;
    if (!ListBackupTree(showFolder, source, &links, pump, &unreadable)) {
        if (!pump()) {
            outcome->stopped = true;
            return end(BackupResult::Ran);
        }
        Refuse("show niet leesbaar", "De map van de show kan niet worden gelezen:\n" + Shown(showFolder), owner);
        return refused(BackupRefusal::Later);
    }
    if (IsFolder(root) && !ListBackupTree(root, target, nullptr, pump)) {
        if (!pump()) {
            outcome->stopped = true;
            return end(BackupResult::Ran);
        }
        Refuse("back-up niet leesbaar", "De bestaande back-up kan niet worden gelezen:\n" + Shown(root), owner);
        return refused(BackupRefusal::Later);
    }
    RemoveLeftovers(root, target, source);
    const BackupVolume volume = QueryBackupVolume(folder);
    BackupPlan plan = PlanBackup(source, target, showFolder, root, volume);
    Findings healed = FindingsAt(root);
    const bool hadFindings = !healed.empty();
    CopyAgain(plan, source, healed);
    const BackupRefusal refusal = DestinationWritableWithRoom(folder, showFolder, root, plan, owner);
    if (refusal != BackupRefusal::None) return refused(refusal);
    if (planned) planned(plan.copyBytes);

    // Read when the folder was chosen; nothing has written it since.
    if (read.root != root) read = ReadRecordAt(root);
    std::string& onDisk = read.text;
    BackupRecord& record = read.record;
    if (read.found && record.damaged) {
        // Its lines vouch for nothing: every copy is compared with the show.
        LogValue("overzicht beschadigd", Shown(RecordPathOf(root)));
        record.files.clear();
    }
    RecordMap lines = CurrentLines(record, target, volume.timePrecision);
    for (const auto& finding : healed) lines.erase(finding.first);
    // A sealed record of a complete run of this show, which a run that
    // copies nothing leaves as it is, need not even be formatted again.
    const bool wasComplete = read.found && !record.damaged && !record.sealChecksum.empty() &&
                             record.lastRun == RecordedRun::Complete && record.showFolder == showFolder &&
                             plan.copyCount == 0;
    record.showFolder = showFolder;
    record.lastRun = RecordedRun::Incomplete;
    record.incompleteReason = "onderbroken";
    // The folder is claimed for this show before anything is copied; until
    // the run ends, the record says it is not complete.
    if (plan.copyCount > 0 || onDisk.empty()) {
        const DWORD error = SaveRecord(root, record, lines, onDisk);
        if (error != ERROR_SUCCESS)
            LogValue("fout", "overzicht niet geschreven: " + Shown(RecordPathOf(root)) + " (" + ReasonFor(error) + ")");
    }

    const RunPlace place{showFolder, root, OlderVersionsFolder(folder, choice.name), volume};
    *outcome = CopyPlannedFiles(source, plan, place, lines, healed, progress, owner);

    CLogBatch log;
    for (const BackupListingError& folderError : unreadable) {
        if (outcome->stopped) break;
        log.Value("map", Shown(showFolder + folderError.relative));
        ReportFailure(log, showFolder + folderError.relative,
                      "Deze map kan niet (volledig) worden gelezen; de bestanden erin zijn niet gekopieerd.\n" +
                          ReasonFor(folderError.error),
                      owner);
        ++outcome->failed;
    }
    for (const std::string& link : links) {
        if (outcome->stopped) break;
        log.Value("bron", Shown(showFolder + link));
        ReportFailure(log, showFolder + link,
                      "Deze map verwijst naar een andere plaats (een koppeling) en wordt niet gekopieerd.", owner,
                      "De volgende map is niet in de back-up gekomen:\n");
        ++outcome->failed;
    }
    // The show may have been saved again since it was analysed: what the
    // copied show names must be in the back-up, as the check will ask.
    if (!outcome->stopped) {
        std::set<std::string> held;
        std::vector<std::string> shows;
        for (const auto& line : lines) {
            held.insert(line.first);
            if (IsShowAtTopOfBackup(line.second.relative)) shows.push_back(line.second.relative);
        }
        outcome->notHeld = NamedButNotHeld(root, showFolder, shows, held, log);
    }
    log.Flush();

    const bool complete = !outcome->stopped && outcome->failed == 0 && unreadable.empty() && links.empty() &&
                          outcome->notHeld.empty();
    record.lastRun = complete ? RecordedRun::Complete : RecordedRun::Incomplete;
    record.incompleteReason = outcome->stopped      ? "gestopt"
                              : outcome->failed > 0 ? FileCountText(outcome->failed) + " niet gekopieerd"
                                                    : FileCountText(static_cast<int>(outcome->notHeld.size())) +
                                                          " genoemd door de show, niet in de back-up";
    const bool unchanged = complete && wasComplete && SameLines(record.files, lines);
    const DWORD error = unchanged ? ERROR_SUCCESS : SaveRecord(root, record, lines, onDisk);
    if (error != ERROR_SUCCESS) {
        // Without its record the back-up cannot be proved: not complete.
        const std::string path = Shown(RecordPathOf(root));
        LogValue("fout", "overzicht niet geschreven: " + path + " (" + ReasonFor(error) + ")");
        outcome->recordProblem = path;
        // A run that broke off for its destination has said why once; the
        // record failing on the same drive is no news (and no spreadsheet).
        if (!outcome->destinationLost)
            ShowMessage("Het overzicht van de back-up kan niet worden geschreven:\n" + path + "\n\n" +
                            ReasonFor(error) +
                            "\n\nZonder overzicht kan de back-up niet worden gecontroleerd; hij is daarom niet "
                            "volledig. Sluit het programma dat het overzicht open heeft (bijvoorbeeld een rekenblad) en "
                            "maak de back-up opnieuw.",
                        owner);
    } else if (hadFindings) {
        // What is left for the next run: files of the show not copied again.
        std::set<std::string> inShow;
        for (const BackupEntry& e : source) inShow.insert(NameKey(e.relative));
        std::vector<std::string> left;
        for (const auto& finding : healed)
            if (inShow.count(finding.first)) left.push_back(finding.second);
        if (SaveCheckFindings(root, left) != ERROR_SUCCESS)
            LogValue("fout", "bevindingen niet bijgewerkt: " + Shown(FindingsPathOf(root)));
    }
    return end(BackupResult::Ran);
}
