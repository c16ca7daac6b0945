// The back-up of a show's folder: listing both trees, the refusals before
// anything is copied, and the verified copy of each file. The dialog only
// shows what this reports.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "backup/backup_plan.h"

struct HWND__;

// Every file and folder below root (a folder ending in "\"), hidden and
// system ones too, parents before their contents. A folder that is a link
// to another place is not walked; its relative path goes to links. False
// when root cannot be listed or pump asked to stop.
bool ListBackupTree(const std::string& root, std::vector<BackupEntry>& entries, std::vector<std::string>* links,
                    const std::function<bool()>& pump = nullptr);

// What the file system of the folder's volume can keep, and its name
// ("FAT32"); an unknown file system keeps everything exactly.
BackupVolume QueryBackupVolume(const std::string& folder, std::string* fileSystemName = nullptr);

// Refuses (with a message and a log entry, and false) a destination that
// is empty, too long, the show's folder or inside it, or missing.
bool DestinationUsable(const std::string& destination, const std::string& showFolder, HWND__* owner);

// Then, once the plan is known: refuses a destination that cannot be
// written or has no room for plan.copyBytes plus a margin; one on the
// show's own drive is allowed once the user agrees. The back-up's own
// folder exists after true.
bool AcceptDestination(const std::string& destination, const std::string& showFolder, const BackupPlan& plan,
                       HWND__* owner);

// Told the file being copied (relative path, or empty between files) and
// the bytes copied so far in this run; false stops the run.
using BackupProgressFn = std::function<bool(const std::string& relative, int64_t bytesDone)>;

// Makes plan's folders and copies plan's files from sourceRoot into
// targetRoot, each under a temporary name, read back, compared, given the
// source's last-write time, and then put in place of the old copy in one
// step. Every file is logged; every failure also gets a message.
BackupOutcome RunBackup(const std::vector<BackupEntry>& source, const BackupPlan& plan,
                        const std::string& sourceRoot, const std::string& targetRoot,
                        const BackupProgressFn& progress, HWND__* owner);

// Writes to a copy; tests replace it to make the destination fill up.
using BackupWriteFn = bool (*)(void* file, const void* data, unsigned long size, unsigned long* written);
extern BackupWriteFn g_pfnBackupWrite;
bool WriteBackupFile(void* file, const void* data, unsigned long size, unsigned long* written);

enum class BackupResult { Refused, Ran };

// The whole back-up of showFolder (ending in "\") into destination, from
// "Start back-up" to "Einde back-up" in the run log: refusals first, then
// the copies. progress is also called with an empty name while the trees
// are listed; false stops. planned is told the bytes to copy once they
// are known. Refused means nothing was copied.
BackupResult MakeBackup(const std::string& showFolder, const std::string& destination,
                        const BackupProgressFn& progress, HWND__* owner, BackupOutcome* outcome,
                        const std::function<void(int64_t copyBytes)>& planned = nullptr);
