// The check of a copy of a show that has no record: each file its show
// files name is looked for at the same place below the copy as below the
// show's old folder, and read as "Bestanden nakijken" reads it.
#pragma once

#include "backup/backup_copy.h"
#include "backup/check_target.h"
#include "backup/copy_verdict.h"

// target is a ShowCopy. Logs "Start controle kopie" to "Einde controle
// kopie", each finding and the verdict ("uitslag"). total is told the bytes
// of the files found before any is read.
ShowCopyResult CheckShowCopy(const CheckTarget& target, const BackupProgressFn& progress,
                             const std::function<void(int64_t)>& total = nullptr);
