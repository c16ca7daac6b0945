// The record beside a back-up's folder, on the disk: where it lies, how it
// is read and proved, how a run keeps it in step with the copies it holds,
// and the findings a check leaves beside it for the next back-up.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "backup/backup_plan.h"
#include "backup/backup_record.h"

// The record beside the back-up folder root ("E:\Back-ups\Demo\"); false
// when there is none or it is not a record. A record whose last line does
// not prove it comes back with damaged set.
bool ReadBackupRecord(const std::string& backupRoot, BackupRecord* record);

namespace backup {

// "E:\Back-ups\Demo - Zekerpad-back-up.txt" for "E:\Back-ups\Demo\".
std::string RecordPathOf(const std::string& backupRoot);
// "E:\Back-ups\Demo - Zekerpad-controle.txt" for "E:\Back-ups\Demo\".
std::string FindingsPathOf(const std::string& backupRoot);

// The SHA-256 a record's last line carries.
std::string RecordChecksum(std::string_view bytes);

// The record's text as it is on the disk (empty when there is none) and
// what it says; false when there is none or it is not a record.
bool ReadRecordText(const std::string& backupRoot, std::string& onDisk, BackupRecord* record);

// A record as a run found it beside one back-up folder.
struct RecordOnDisk {
    std::string root;  // the back-up folder, "E:\Back-ups\Demo\"
    bool found = false;  // a record (ReadRecordText's answer)
    std::string text;  // as on the disk; empty when there is none
    BackupRecord record;
};
RecordOnDisk ReadRecordAt(const std::string& backupRoot);

using RecordMap = std::map<std::string, BackupRecordFile>;  // by NameKey of the path

// The record's lines that still describe the copy in the back-up.
RecordMap CurrentLines(const BackupRecord& record, const std::vector<BackupEntry>& target, uint64_t precision);

// The record of head's show folder and run, with lines, written only when
// it changes (onDisk is the text there now): an unchanged back-up writes
// nothing. ERROR_SUCCESS, or why it could not be written.
DWORD SaveRecord(const std::string& root, const BackupRecord& head, const RecordMap& lines, std::string& onDisk);

// The copies the last check found damaged or missing (relative paths):
// those beside the back-up and those kept on this PC.
std::vector<std::string> ReadCheckFindings(const std::string& backupRoot);
// Writes them on this PC (keptHere says whether that worked) and beside
// the back-up (none: removes both); ERROR_SUCCESS, or why the one beside
// the back-up could not be written.
DWORD SaveCheckFindings(const std::string& backupRoot, const std::vector<std::string>& relatives,
                        bool* keptHere = nullptr);

}  // namespace backup
