// "Back-up controleren": a back-up proved against its own record, from the
// disk, without the show: the record whole and its run complete, every
// recorded file as recorded, every file the shows in it name held.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "backup/backup_copy.h"
#include "backup/backup_plan.h"
#include "backup/backup_outcome.h"

// Reads every file the record beside backupRoot names, from the disk, and
// compares its size and SHA-256 with the record; reads each show file at
// the top of the back-up for the files it names. Copies found damaged or
// missing are written beside the record for the next back-up. Logs "Start
// controle back-up" to "Einde controle back-up", each finding and the
// verdict ("uitslag").
BackupCheckResult CheckBackup(const std::string& backupRoot, const BackupProgressFn& progress);

class CLogBatch;

// The files the shows (relative paths at the top of the back-up in root)
// name that the back-up does not hold: outside showFolder, or below it and
// not one held holds (by NameKey of the relative path). Each logged once,
// as "niet in back-up" or "buiten de map".
std::vector<std::string> NamedButNotHeld(const std::string& root, const std::string& showFolder,
                                         const std::vector<std::string>& shows,
                                         const std::function<bool(const std::string& key)>& held, CLogBatch& log);

// A show file at the top of a back-up: the show's folder is its folder.
bool IsShowAtTopOfBackup(const std::string& relative);
