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

namespace backup {

// "E:\Back-ups\Demo - Zekerpad-back-up.txt" for "E:\Back-ups\Demo\".
std::string RecordPathOf(const std::string& backupRoot);
// "E:\Back-ups\Demo - Zekerpad-controle.txt" for "E:\Back-ups\Demo\".
std::string FindingsPathOf(const std::string& backupRoot);

// The SHA-256 a record's last line carries.
std::string RecordChecksum(std::string_view bytes);

// The record beside one back-up folder, as it is on the disk: the one
// reader of records, for the run, the check and the dialog.
struct RecordOnDisk {
    std::string root;  // the back-up folder, "E:\Back-ups\Demo\"
    // A file under the record's name: a record, however damaged. Without
    // one the back-up proves nothing and is not Zekerpad's.
    bool found = false;
    std::string text;  // as on the disk; empty when there is none or it is no record
    // What it says; damaged (with the reason) when it is empty, too large,
    // unreadable, not a record, or its last line does not prove it.
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
// read: the record beside it, when read already.
std::vector<std::string> ReadCheckFindings(const std::string& backupRoot, const RecordOnDisk* read = nullptr);
// Writes them on this PC (keptHere says whether that worked) and beside
// the back-up (none: removes both); ERROR_SUCCESS, or why the one beside
// the back-up could not be written.
DWORD SaveCheckFindings(const std::string& backupRoot, const std::vector<std::string>& relatives,
                        bool* keptHere = nullptr);

}  // namespace backup
