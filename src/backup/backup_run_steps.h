// The steps of one back-up run, for the files that hold them: the run
// (refusals, listing, plan, record) and the copying of its files. Only
// MakeBackup makes one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "backup/backup_copy.h"
#include "backup/backup_heal.h"
#include "backup/backup_identity.h"
#include "backup/backup_listing.h"
#include "backup/backup_plan.h"
#include "backup/backup_record_file.h"
#include "backup/backup_run.h"
#include "backup/disk_place.h"
#include "backup/sha256.h"
#include "backup/time_setter.h"

class CContentCheck;
class CLogBatch;

namespace backup {

// What the run does after one file: the next file, copy this one, or stop.
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
    BackupResult End(BackupResult result, CLogBatch& log);
    BackupResult Refused(BackupRefusal refusal);
    BackupRefusal ChooseFolder();
    bool MayUseFolderWithoutRecord();
    std::optional<BackupResult> ListTrees();
    BackupRefusal PlanCopies();
    void ClaimFolder();
    void CopyFiles(CLogBatch& log);
    Step CopyOne(CLogBatch& log, const PlannedFile& file);
    Step CompareWithCopy(CLogBatch& log, const BackupEntry& entry, bool hourApart);
    Step CopyVerified(CLogBatch& log, const BackupEntry& entry, bool hasOld);
    void NoteSuspect(CLogBatch& log, CContentCheck& content, int64_t bytesRead, const BackupEntry& entry);
    void GiveUpOnDestination(CLogBatch& log, const VerifiedCopy& copy, DWORD error, const std::string& from);
    void NotCopied();
    void ReportBrokenOff(CLogBatch& log);
    void ReportNotListed(CLogBatch& log);
    // Nothing copied and every line as the sealed record of the last
    // complete run of this show has it.
    bool AsLastComplete() const;
    void SaveRecordAtEnd();
    void KeepFindingsLeft();

    CFolderFacts m_facts;  // each folder the run asks about is opened once
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
    CTimeSetter m_times;  // copies an hour off get their show's time back

    // Set once the destination itself fails: the rest is not tried.
    bool m_aborted = false;
    bool m_unreachable = false;  // the destination went away
    int m_notCopied = 0;
    DWORD m_abortError = ERROR_SUCCESS;
    std::string m_abortAt;
    std::vector<std::string> m_leftBehind;  // temporary files on a drive that went away
};

}  // namespace backup
