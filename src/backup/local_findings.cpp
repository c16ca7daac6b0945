#include "backup/local_findings.h"

#include <shlobj.h>

#include <cstdio>

#include "backup/backup_disk.h"
#include "backup/backup_identity.h"
#include "backup/backup_record.h"
#include "backup/backup_record_file.h"
#include "backup/destination_memo.h"
#include "common/wide_text.h"
#include "common/win_raii.h"
#include "backup/backup_names.h"

namespace backup {

namespace {
// "%LOCALAPPDATA%\Zekerpad\Controles\" and "1A2B3C4D-0000000000001234-" for
// the folder: what it is, whatever letter names it; false when unknown.
bool FolderKey(const std::string& backupRoot, std::string& folder, std::string& key) {
    FolderIdentity id;
    if (!IdentityOf(backupRoot, id)) return false;
    CDestinationMemo* memo = CDestinationMemo::Active();
    if (memo && memo->localFindings) {
        folder = *memo->localFindings;
    } else {
        wchar_t data[MAX_PATH] = {};
        if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, data))) return false;
        folder = Utf8FromWide(data, wcslen(data)) + "\\Zekerpad\\Controles\\";
        if (memo) memo->localFindings = folder;
    }
    char name[40];
    std::snprintf(name, sizeof name, "%08lX-%08lX%08lX-", static_cast<unsigned long>(id.volume),
                  static_cast<unsigned long>(id.high), static_cast<unsigned long>(id.low));
    key = name;
    return true;
}

// The findings hold for the back-up as its record was when they were
// found: a folder made later under the same id (the old one deleted), or
// a back-up made since, has another record and never takes them.
std::string RecordStamp(const std::string& backupRoot, const RecordOnDisk* read = nullptr) {
    if (read && read->root == WithBackslash(backupRoot)) {
        if (!read->found) return "geen";
        if (!read->text.empty()) return RecordChecksum(read->text).substr(0, 16);
    }
    std::string text;
    if (!ReadFileText(RecordPathOf(WithBackslash(backupRoot)), text)) return "geen";
    return RecordChecksum(text).substr(0, 16);
}

// Findings of the folder kept under an earlier record: stale.
void RemoveOthers(const std::string& folder, const std::string& key) {
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = Wide(folder + key + "*.txt");
    UniqueFind find(::FindFirstFileW(pattern.c_str(), &found));
    if (!find) return;
    do {
        ::DeleteFileW(Wide(folder + Utf8FromWide(found.cFileName, wcslen(found.cFileName))).c_str());
    } while (::FindNextFileW(find.get(), &found));
}
}  // namespace

std::string LocalFindingsPath(const std::string& backupRoot, const RecordOnDisk* read) {
    std::string folder, key;
    if (!FolderKey(backupRoot, folder, key)) return std::string();
    return folder + key + RecordStamp(backupRoot, read) + ".txt";
}

std::vector<std::string> ReadLocalFindings(const std::string& backupRoot, const RecordOnDisk* read) {
    const std::string path = LocalFindingsPath(backupRoot, read);
    std::string text;
    if (path.empty() || !ReadFileText(path, text)) return {};
    return ParseCheckFindings(text);
}

DWORD SaveLocalFindings(const std::string& backupRoot, const std::vector<std::string>& relatives) {
    std::string folder, key;
    if (!FolderKey(backupRoot, folder, key)) return ERROR_PATH_NOT_FOUND;
    RemoveOthers(folder, key);
    if (relatives.empty()) return ERROR_SUCCESS;
    if (!MakeFolders(folder)) return ::GetLastError();
    return WriteFileText(folder + key + RecordStamp(backupRoot) + ".txt", FormatCheckFindings(relatives));
}

}  // namespace backup
