// The back-up of a show's folder, from "Back-up maken" to its summary:
// the refusals before anything is copied, the listing of both trees, and
// the verified copy of each file. The dialog only shows what this
// reports. The jobs it is made of have their own files (destination,
// listing, copy, record file, check); this header brings them together
// for the dialog, the command line and the tests.
//
// Every path here is UTF-8 and goes to the wide-character calls with the
// long-path prefix, so a name of any characters and any length is copied
// as it is. The run log and the messages get them in the code page.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "backup/backup_check.h"
#include "backup/backup_copy.h"
#include "backup/backup_destination.h"
#include "backup/backup_heal.h"
#include "backup/backup_listing.h"
#include "backup/backup_plan.h"
#include "backup/backup_record.h"
#include "backup/backup_record_file.h"
#include "backup/backup_outcome.h"

struct HWND__;

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
