// "Back-up controleren": a back-up proved against its own record, from the
// disk, without the show.
#pragma once

#include <string>
#include <vector>

#include "backup/backup_copy.h"

// What a check of a back-up found.
struct BackupCheckResult {
    bool hasRecord = false;
    bool stopped = false;
    int checked = 0;
    std::vector<std::string> missing;  // relative paths
    std::vector<std::string> damaged;  // other size or other bytes, or unreadable
};

// Reads every file the record beside backupRoot names, from the disk, and
// compares its size and SHA-256 with the record. Needs nothing of the
// show. Logs "Start controle back-up" to "Einde controle back-up".
BackupCheckResult CheckBackup(const std::string& backupRoot, const BackupProgressFn& progress);
