#include "backup/local_findings.h"

#include <shlobj.h>

#include <cstdio>
#include <set>

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
// "0000000000001234" of "1A2B3C4D-0000000000001234-<record>.txt".
std::string NumberPart(uint32_t high, uint32_t low) {
    char number[20];
    std::snprintf(number, sizeof number, "%08lX%08lX", static_cast<unsigned long>(high),
                  static_cast<unsigned long>(low));
    return number;
}

// "%LOCALAPPDATA%\Zekerpad\Controles\"; false when unknown.
bool FindingsFolder(std::string& folder) {
    CDestinationMemo* memo = CDestinationMemo::Active();
    if (memo && memo->localFindings) {
        folder = *memo->localFindings;
        return true;
    }
    wchar_t data[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, data))) return false;
    folder = Utf8FromWide(data, wcslen(data)) + "\\Zekerpad\\Controles\\";
    if (memo) memo->localFindings = folder;
    return true;
}

// That folder and "1A2B3C4D-0000000000001234-" for the back-up folder: what
// it is, whatever letter names it; false when unknown.
bool FolderKey(const std::string& backupRoot, std::string& folder, std::string& key) {
    FolderIdentity id;
    if (!IdentityOf(backupRoot, id) || !FindingsFolder(folder)) return false;
    char volume[12];
    std::snprintf(volume, sizeof volume, "%08lX-", static_cast<unsigned long>(id.volume));
    key = volume + NumberPart(id.high, id.low) + "-";
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

// This PC keeps no findings for the folder. A run of many shows lists what
// it keeps once, by the folders' numbers: a folder of another number needs
// no identity (its volume, the slow part) to be passed over.
bool NoneKeptFor(const std::string& backupRoot) {
    CDestinationMemo* memo = CDestinationMemo::Active();
    if (!memo) return false;
    if (!memo->localFindingNumbers) {
        std::set<std::string> numbers;
        std::string folder;
        WIN32_FIND_DATAW found{};
        UniqueFind find(FindingsFolder(folder) ? ::FindFirstFileW(Wide(folder + "*.txt").c_str(), &found)
                                               : INVALID_HANDLE_VALUE);
        if (find) {
            do {
                const std::string name = Utf8FromWide(found.cFileName, wcslen(found.cFileName));
                if (name.size() > 26 && name[8] == '-') numbers.insert(name.substr(9, 16));
            } while (::FindNextFileW(find.get(), &found));
        }
        memo->localFindingNumbers = std::move(numbers);
    }
    FolderIdentity number;
    return NumberOf(backupRoot, number) && !memo->localFindingNumbers->count(NumberPart(number.high, number.low));
}
}  // namespace

std::string LocalFindingsPath(const std::string& backupRoot, const RecordOnDisk* read) {
    std::string folder, key;
    if (!FolderKey(backupRoot, folder, key)) return std::string();
    return folder + key + RecordStamp(backupRoot, read) + ".txt";
}

std::vector<std::string> ReadLocalFindings(const std::string& backupRoot, const RecordOnDisk* read) {
    if (NoneKeptFor(backupRoot)) return {};
    const std::string path = LocalFindingsPath(backupRoot, read);
    std::string text;
    if (path.empty() || !ReadFileText(path, text)) return {};
    return ParseCheckFindings(text);
}

DWORD SaveLocalFindings(const std::string& backupRoot, const std::vector<std::string>& relatives) {
    if (CDestinationMemo* memo = CDestinationMemo::Active()) memo->localFindingNumbers.reset();
    std::string folder, key;
    if (!FolderKey(backupRoot, folder, key)) return ERROR_PATH_NOT_FOUND;
    RemoveOthers(folder, key);
    if (relatives.empty()) return ERROR_SUCCESS;
    if (!MakeFolders(folder)) return ::GetLastError();
    return WriteFileText(folder + key + RecordStamp(backupRoot) + ".txt", FormatCheckFindings(relatives));
}

}  // namespace backup
