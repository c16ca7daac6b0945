// What every part of the back-up needs of the disk and of the user: the
// names the wide-character calls take, the reason a system error gives,
// a refusal and a failed file told to the log and the user, and a small
// text file read whole or put in place in one step.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "backup/backup_folders.h"

class CLogBatch;

namespace backup {

// The name the wide-character calls take, however long.
std::wstring Wide(const std::string& path);
// A path for the run log and the messages.
std::string Shown(const std::string& path);

// A path as the user typed it, made full (UTF-8); empty stays empty.
std::string FullPathOf(const std::wstring& typed);
std::string FolderPathOf(const std::string& path);

// The reason a message gives for a system error.
std::string ReasonFor(DWORD error);

bool IsFolder(const std::string& path);

// Logs why (after "geweigerd"), shows text; false.
bool Refuse(const std::string& why, const std::string& text, HWND owner);

// The log shows the failure before the user reads of it.
// heading names what was left out: a file unless told otherwise.
void ReportFailure(CLogBatch& log, const std::string& source, const std::string& reason, HWND owner,
                   const std::string& heading = std::string());

// Makes the folder and every missing one above it; the back-up's folders
// below an existing one only.
bool MakeFolders(const std::string& folder);

// A whole small file (a record, at most 256 MB); false when it is missing,
// unreadable or too large (error, when given: why; ERROR_FILE_TOO_LARGE).
bool ReadFileText(const std::string& path, std::string& text, DWORD* error = nullptr);
// Gives a file a last-write time (ticks since 1601, UTC); its bytes stay.
bool SetWriteTime(const std::string& path, uint64_t ticks);

// Written beside and put in place in one step: the old file stays whole
// until the new one is on the disk. ERROR_SUCCESS, or why not.
DWORD WriteFileText(const std::string& path, const std::string& text);

}  // namespace backup
