// What a back-up run and a check of a back-up found, and the texts the
// dialog and the command line tell of it. Pure text work.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "backup/backup_plan.h"
#include "backup/backup_record.h"

// Why a run copied nothing: a destination the user must change (or a
// question answered No), or one that may do another time (its drive is not
// there, it is full, the show or the back-up could not be read now).
enum class BackupRefusal { None, Destination, Later };

// What a run did.
struct BackupOutcome {
    BackupRefusal refusal = BackupRefusal::None;
    int copied = 0;
    int64_t copiedBytes = 0;
    int unchanged = 0;
    int failed = 0;
    bool stopped = false;
    int suspect = 0;           // copies whose contents look damaged (already in the log)
    std::string recordProblem;  // the record file that could not be written, shown; empty when written
    // Files the show copied names that the back-up does not hold (saved
    // again in Wings after the analysis), as the show names them, UTF-8.
    std::vector<std::string> notHeld;
    bool destinationLost = false;  // the run broke off for the destination and said so once
};

// Every file of the show is in the back-up and its record says so.
bool BackupComplete(const BackupOutcome& outcome);

// The summary the dialog shows at the end; with a failure or a stop it
// never reads as complete. A complete one says what to do next: take the
// stick out (removableDestination) or close the window.
std::string BackupSummaryText(const BackupOutcome& outcome, const std::string& logName,
                              bool removableDestination = false);

// The line that says where the back-up goes and what it will copy, against
// the free space there (freeBytes < 0: not known).
// takenName: the show's folder name when a folder of that name belongs to
// another show (the plan then names the free one), else empty.
std::string BackupPlanText(const std::string& targetRoot, const BackupPlan& plan, int64_t freeBytes,
                           const std::string& takenName = std::string());

// The plan line for a back-up whose check has just failed: its files may
// look unchanged by name, size and time, so no count is given that would
// read as up to date.
std::string BackupPlanAfterFailedCheckText(const std::string& targetRoot);

// The text for a number of files: "1 bestand", "3 bestanden".
std::string FileCountText(int count);

// What a check of a back-up found (relative paths, UTF-8).
struct BackupCheckResult {
    bool hasRecord = false;
    bool recordDamaged = false;  // the record does not prove itself
    std::string recordDamage;    // why: "het bestand is leeg"
    RecordedRun lastRun = RecordedRun::Unknown;
    std::string incompleteReason;
    bool stopped = false;
    int checked = 0;
    std::vector<std::string> missing;  // relative paths
    std::vector<std::string> damaged;  // other size or other bytes, or unreadable
    // Files a show in the back-up names that the back-up does not hold,
    // below the show's folder or outside it, as the show names them.
    std::vector<std::string> notHeld;
    // The findings could not be written beside the back-up (a write-
    // protected stick) and are kept on this PC only.
    bool findingsOnlyHere = false;
};

// In orde: a whole record of a complete run, every recorded file read back
// as recorded, and every file the shows name held.
bool BackupProven(const BackupCheckResult& result);

// The summary after "Back-up controleren": what is wrong and what to do.
// Its first line is the verdict the run log gets.
std::string BackupCheckText(const BackupCheckResult& result, const std::string& logName);
