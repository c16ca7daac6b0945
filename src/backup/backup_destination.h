// Where the back-up goes: the destination's refusals (by spelling, then by
// what the file system says the folders are), what its volume keeps, and
// which folder there is this show's back-up.
#pragma once

#include <windows.h>

#include <string>

#include "backup/backup_plan.h"
#include "backup/backup_record.h"
#include "backup/backup_record_file.h"
#include "backup/backup_folder_choice.h"
#include "backup/backup_outcome.h"
#include "backup/backup_folders.h"

// What the file system of the folder's volume can keep, and its name
// ("FAT32"); an unknown file system keeps everything exactly.
BackupVolume QueryBackupVolume(const std::string& folder, std::string* fileSystemName = nullptr);

// DestinationProblemBySpelling, and then the same by identity
// (backup_identity.h): every name of the destination, the show's folder
// and the back-up's folder, and the folders on their way up, compared as
// the file system knows them, so that another drive letter, a junction or
// a link for a folder of the show is seen through.
DestinationProblem DestinationProblemOnDisk(const std::string& destination, const std::string& showFolder,
                                            const std::string& backupRoot);

// Which folder in destination is (or becomes) the show's back-up: the one
// whose record names this show, or the first free name. The record read
// last (that of the folder chosen, when one is) goes to lastRead, so that
// the run need not read it again.
BackupFolderChoice FindBackupFolder(const std::string& destination, const std::string& showFolder,
                                    backup::RecordOnDisk* lastRead = nullptr);
// The folder FindBackupFolder chooses, as a path: "E:\Back-ups\Demo (2)\";
// with the show's own name when none is free. choice, when given, gets
// what FindBackupFolder said.
std::string BackupFolderFor(const std::string& destination, const std::string& showFolder,
                            BackupFolderChoice* choice = nullptr);

namespace backup {

// Before anything is listed: refuses (with a message and a log entry) a
// destination that DestinationProblemOnDisk finds a problem in.
bool DestinationAllowed(const std::string& folder, const std::string& showFolder, const std::string& root,
                        HWND owner);

// Then, once the plan is known: refuses a destination that cannot be
// written or has no room for plan.copyBytes plus a margin; one on the
// show's own drive is allowed once the user agrees. The back-up's own
// folder exists after None; a full disk, or one whose free space cannot be
// told, is refused for Later.
BackupRefusal DestinationWritableWithRoom(const std::string& folder, const std::string& showFolder, const std::string& root,
                                 const BackupPlan& plan, HWND owner);

}  // namespace backup
