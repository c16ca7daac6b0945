// What a back-up of a show's folder has to do, worked out from two
// listings: the show's folder tree and what the back-up already holds.
// No file is touched here, so the decisions can be tested anywhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "backup/backup_record.h"

// One file or folder below a listed root; relative is "Audio\intro.wav",
// in UTF-8 as every path of the back-up: names come from the disk and may
// hold any character.
struct BackupEntry {
    std::string relative;
    bool isFolder = false;
    int64_t size = 0;
    uint64_t writeTime = 0;   // 100-nanosecond ticks, as the system keeps them
    uint32_t attributes = 0;  // as the system gives them
};

// What the destination's file system can keep.
struct BackupVolume {
    uint64_t timePrecision = 1;            // ticks; FAT keeps 2 seconds
    int64_t maxFileSize = INT64_MAX;       // FAT32: 4 GB less one byte
    uint64_t clusterBytes = 1;             // the unit a file takes room in; 1: not known
};

// The room one copied file takes on the destination: its bytes rounded up
// to whole clusters (an empty file none), and its entry in its folder (a
// long name takes a 32-byte entry for every 13 characters, and two more).
int64_t RoomForFile(int64_t size, std::string_view relative, uint64_t clusterBytes);
// A new folder: one cluster, and its own entry in its parent.
int64_t RoomForFolder(std::string_view relative, uint64_t clusterBytes);

// The file system by the name the system gives it ("FAT32", "NTFS").
BackupVolume VolumeFromFileSystem(std::string_view fileSystemName);

// The largest file the destination keeps, as a person says it: FAT's
// limit of 4 GB less one byte is "4 GB".
std::string MaxFileSizeText(const BackupVolume& volume);

// Two last-write times are the same once the destination has kept one of
// them: FAT rounds to 2 seconds, so a difference below that is rounding.
bool SameWriteTime(uint64_t a, uint64_t b, uint64_t precision);

// The times are one hour apart, to FAT's 2 seconds: FAT and exFAT keep
// local time, so after a change of daylight-saving time every copy there
// reads an hour off its show's file.
bool HourApart(uint64_t a, uint64_t b);

enum class BackupAction {
    Copy,         // missing or changed in the back-up
    Unchanged,    // same size and last-write time
    HourApart,    // same size, times an hour apart: the contents decide
    TooLong,      // a path would pass the system's limit
    TooLarge,     // larger than the destination's file system holds
    FolderInWay,  // the back-up has a folder where the show has a file
    FileInWay,    // the back-up has a file where the show has a folder
};

// A folder of the show appears only as FileInWay; nothing below it is
// planned, and it counts once.
struct PlannedFile {
    size_t source;  // index into the source listing
    BackupAction action;
    bool hasOlder = false;  // a copy is there already and moves to the older versions
};

struct BackupPlan {
    std::vector<std::string> folders;  // relative folders to make, parents first
    std::vector<PlannedFile> files;    // in the order of the source listing
    int copyCount = 0;
    int64_t copyBytes = 0;  // in full: an older copy is moved aside, not overwritten
    int64_t roomNeeded = 0;  // copies and new folders as the destination counts them (RoomForFile)
    uint64_t clusterBytes = 1;  // the volume's, for a copy added to the plan later
    int olderCount = 0;     // older copies that move to the older versions
    int unchangedCount = 0;  // HourApart ones too: most are unchanged
    int hourApartCount = 0;
    int refusedCount = 0;  // too long, too large, or a folder or file in the way
};

// A path the back-up builds may have at most this many bytes (of UTF-8,
// never fewer than its characters): the wide-character calls take 32,767
// characters with the long-path prefix.
constexpr size_t kBackupMaxPath = 32000;

// targetRoot and sourceRoot end in a backslash. A folder the back-up
// already has, or one whose name is too long, is not in plan.folders.
BackupPlan PlanBackup(const std::vector<BackupEntry>& source, const std::vector<BackupEntry>& target,
                      const std::string& sourceRoot, const std::string& targetRoot,
                      const BackupVolume& volume);

// Where a destination is refused before anything is copied.
enum class DestinationProblem {
    None,
    Empty,
    TooLong,
    InsideShow,   // the destination is the show's folder or lies in it
    ShowInside,   // the back-up's own folder would be the show's folder
    ShowAtRoot,   // the show lies in a drive's root: no folder to name it by
};

// showFolder ends in a backslash ("C:\Shows\Demo\"); destination as typed.
DestinationProblem DestinationProblemBySpelling(const std::string& destination, const std::string& showFolder);

// "E:\Back-ups\Demo\" for the destination "E:\Back-ups" and the show's
// folder "C:\Shows\Demo\": the back-up mirrors the folder by its own name
// (or by folderName, "Demo (2)", when that name is another show's).
std::string BackupRoot(const std::string& destination, const std::string& showFolder,
                       const std::string& folderName = std::string());

// "Demo" for "C:\Shows\Demo\".
std::string ShowFolderName(const std::string& showFolder);

// The destination with one trailing backslash removed, except after a
// drive ("E:\" stays), and a bare "E:" made "E:\".
std::string NormalizeFolder(const std::string& folder);

// Both name a drive letter and it is the same letter.
bool SameDrive(const std::string& a, const std::string& b);

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
};

// In orde: a whole record of a complete run, every recorded file read back
// as recorded, and every file the shows name held.
bool BackupProven(const BackupCheckResult& result);

// The summary after "Back-up controleren": what is wrong and what to do.
// Its first line is the verdict the run log gets.
std::string BackupCheckText(const BackupCheckResult& result, const std::string& logName);
