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
    std::string key;        // NameKey of its relative path
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
