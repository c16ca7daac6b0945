// Healing a back-up: the copies the last check found damaged or missing
// are planned as copies again, and a copy the record does not vouch for
// is compared with the show's file before it is taken in.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "backup/backup_copy.h"
#include "backup/backup_plan.h"
#include "backup/backup_record_file.h"

class CSha256;

// What "Back-up maken" would do now, for the dialogs' plan lines: the
// show's files (source, listed from showFolder) against what the back-up
// folder root holds (listed here; nothing when it is not there), with the
// copies the last check found damaged or missing planned as copies again.
// The run plans anew when it starts.
BackupPlan PlanBackupAt(const std::vector<BackupEntry>& source, const std::string& showFolder,
                        const std::string& root, const BackupVolume& volume);

namespace backup {

// What the last check found, by NameKey of the path.
using Findings = std::map<std::string, std::string>;

// The findings beside root; none when there are none. read: its record,
// when read already.
Findings FindingsAt(const std::string& root, const RecordOnDisk* read = nullptr);

// The plan's unchanged files whose key is in again become copies that
// replace the copy there (which moves to the older versions).
void CopyAgain(BackupPlan& plan, const std::vector<BackupEntry>& source, const Findings& again);

enum class Compared { Same, Different, CopyUnreadable, ShowUnreadable, Stopped };

// The copy at to against the show's file at from, both hashed from the
// disk; when they are the same, the copy gets its line in the record.
// content is fed the show's bytes as they are hashed.
Compared CompareWithShow(const std::string& from, const std::string& to, const BackupEntry& entry, CSha256& sha,
                         const BackupProgressFn& progress, int64_t doneBytes, RecordMap& lines,
                         CContentCheck* content);

// A copy whose time reads an hour off its show's file: the show's file is
// read and its SHA-256 compared with the record's line (without a line,
// with the copy's bytes). Same: the line takes the show's time.
Compared CompareHourApart(const std::string& from, const std::string& to, const BackupEntry& entry, CSha256& sha,
                          const BackupProgressFn& progress, int64_t doneBytes, RecordMap& lines,
                          CContentCheck* content);

}  // namespace backup
