// What a check found in a back-up, kept also on this PC: a write-protected
// stick cannot take its findings, and the next back-up must still copy
// the damaged files again. Kept in the user's local application data, per
// back-up folder by what the folder is (its volume and its file id), so a
// stick that comes back under another letter finds them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "backup/backup_record_file.h"

namespace backup {

// "%LOCALAPPDATA%\Zekerpad\Controles\1A2B3C4D-0000000000001234-<record>.txt",
// the last part from the record beside the folder as it is now (read
// already: read, when it is this folder's); empty when the folder cannot
// be opened.
std::string LocalFindingsPath(const std::string& backupRoot, const RecordOnDisk* read = nullptr);

std::vector<std::string> ReadLocalFindings(const std::string& backupRoot, const RecordOnDisk* read = nullptr);
// Writes them (none: removes the file); ERROR_SUCCESS, or why not.
DWORD SaveLocalFindings(const std::string& backupRoot, const std::vector<std::string>& relatives);

}  // namespace backup
