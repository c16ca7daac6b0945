// The back-up of a show's folder: listing both trees, the refusals before
// anything is copied, and the verified copy of each file. The dialog only
// shows what this reports.
//
// Every path here is UTF-8 and goes to the wide-character calls with the
// long-path prefix, so a name of any characters and any length is copied
// as it is. The run log and the messages get them in the code page.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "backup/backup_plan.h"
#include "backup/backup_record.h"

struct HWND__;

// A folder below a listed root that could not be listed (fully).
struct BackupListingError {
    std::string relative;  // "Audio\", or empty for the root itself
    unsigned long error = 0;
};

// Every file and folder below root (a folder ending in "\"), hidden and
// system ones too, parents before their contents. A folder that is a link
// to another place is not walked; its relative path goes to links. A
// subfolder that cannot be listed goes to unreadable and the walk goes on;
// without unreadable it makes the whole walk fail. False when root cannot
// be listed or pump asked to stop.
bool ListBackupTree(const std::string& root, std::vector<BackupEntry>& entries, std::vector<std::string>* links,
                    const std::function<bool()>& pump = nullptr,
                    std::vector<BackupListingError>* unreadable = nullptr);

// What the file system of the folder's volume can keep, and its name
// ("FAT32"); an unknown file system keeps everything exactly.
BackupVolume QueryBackupVolume(const std::string& folder, std::string* fileSystemName = nullptr);

// CheckDestination, and then the same by identity: the destination, the
// show's folder and the back-up's folder compared as the file system
// knows them (volume and folder number), so that another drive letter for
// the same folder is seen through.
DestinationProblem CheckDestinationOnDisk(const std::string& destination, const std::string& showFolder,
                                          const std::string& backupRoot);

// Which folder in destination is (or becomes) the show's back-up: the one
// whose record names this show, or the first free name.
BackupFolderChoice FindBackupFolder(const std::string& destination, const std::string& showFolder);

// The record beside the back-up folder root ("E:\Back-ups\Demo\"); false
// when there is none or it is not a record.
bool ReadBackupRecord(const std::string& backupRoot, BackupRecord* record);

// Told the file being copied (relative path, or empty between files) and
// the bytes copied so far in this run; false stops the run.
using BackupProgressFn = std::function<bool(const std::string& relative, int64_t bytesDone)>;

// Writes to a copy; tests replace it to make the destination fill up, go
// away or lose what was written.
using BackupWriteFn = bool (*)(void* file, const void* data, unsigned long size, unsigned long* written);
extern BackupWriteFn g_pfnBackupWrite;
bool WriteBackupFile(void* file, const void* data, unsigned long size, unsigned long* written);

enum class BackupResult { Refused, Ran };

// The whole back-up of showFolder (ending in "\") into destination, from
// "Start back-up" to "Einde back-up" in the run log: refusals first, then
// the copies. Each copy is written under a temporary name, hashed while
// written, read back from the disk and compared, and only then put in
// place; an older copy it replaces moves to the older versions. progress
// is also called with an empty name while the trees are listed; false
// stops. planned is told the bytes to copy once they are known. Refused
// means nothing was copied.
BackupResult MakeBackup(const std::string& showFolder, const std::string& destination,
                        const BackupProgressFn& progress, HWND__* owner, BackupOutcome* outcome,
                        const std::function<void(int64_t copyBytes)>& planned = nullptr);

// What a check of a back-up found.
struct BackupCheckResult {
    bool hasRecord = false;
    bool stopped = false;
    int checked = 0;
    std::vector<std::string> missing;  // relative paths
    std::vector<std::string> damaged;  // other size or other bytes, or unreadable
};

// "Back-up controleren": reads every file the record beside backupRoot
// names, from the disk, and compares its size and SHA-256 with the record.
// Needs nothing of the show. Logs "Start controle back-up" to "Einde
// controle back-up".
BackupCheckResult CheckBackup(const std::string& backupRoot, const BackupProgressFn& progress);
