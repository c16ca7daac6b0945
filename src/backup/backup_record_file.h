// The record beside a back-up's folder, on the disk: where it lies, how it
// is read, and how a run keeps it in step with the copies it holds.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "backup/backup_plan.h"
#include "backup/backup_record.h"

// The record beside the back-up folder root ("E:\Back-ups\Demo\"); false
// when there is none or it is not a record.
bool ReadBackupRecord(const std::string& backupRoot, BackupRecord* record);

namespace backup {

// "E:\Back-ups\Demo - Zekerpad-back-up.txt" for "E:\Back-ups\Demo\".
std::string RecordPathOf(const std::string& backupRoot);

using RecordMap = std::map<std::string, BackupRecordFile>;  // by the path in capitals

// The record's lines that still describe the copy in the back-up.
RecordMap CurrentLines(const BackupRecord& record, const std::vector<BackupEntry>& target, uint64_t precision);

// Written only when it changes (onDisk is the text there now): an
// unchanged back-up writes nothing.
bool SaveRecord(const std::string& root, const std::string& showFolder, const RecordMap& lines, std::string& onDisk);

}  // namespace backup
