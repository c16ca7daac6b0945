#include "backup/backup_listing.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <map>

#include "backup/backup_disk.h"
#include "common/text.h"
#include "backup/backup_record.h"
#include "common/wide_text.h"
#include "common/win_raii.h"
#include "services/run_log.h"

namespace backup {

namespace {
uint64_t Ticks(const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

bool IsDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool ListFolder(const std::string& root, const std::string& relative, std::vector<BackupEntry>& entries,
                std::vector<std::string>* links, const std::function<bool()>& pump,
                std::vector<BackupListingError>* unreadable) {
    const auto failed = [&](DWORD error) {
        if (relative.empty() || !unreadable) return false;
        unreadable->push_back(BackupListingError{relative, error});
        return true;
    };
    WIN32_FIND_DATAW data;
    UniqueFind find(::FindFirstFileExW(Wide(root + relative + "*").c_str(), FindExInfoBasic, &data,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || failed(error);
    }
    std::vector<std::string> subfolders;
    do {
        if (IsDotEntry(data.cFileName)) continue;
        BackupEntry entry;
        entry.relative = relative + Utf8FromWide(data.cFileName, std::wcslen(data.cFileName));
        entry.attributes = data.dwFileAttributes;
        entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.size = (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entry.writeTime = Ticks(data.ftLastWriteTime);
        if (entry.isFolder && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            if (links) links->push_back(entry.relative);
            continue;
        }
        if (entry.isFolder) subfolders.push_back(entry.relative + "\\");
        entries.push_back(std::move(entry));
    } while (::FindNextFileW(find.get(), &data));
    // A listing that ends early is a listing error, not the end.
    const DWORD end = ::GetLastError();
    find.reset();
    if (end != ERROR_NO_MORE_FILES && !failed(end)) return false;
    if (pump && !pump()) return false;
    for (const std::string& sub : subfolders)
        if (!ListFolder(root, sub, entries, links, pump, unreadable)) return false;
    return true;
}
}  // namespace

bool FolderIsEmpty(const std::string& folder) {
    WIN32_FIND_DATAW data;
    UniqueFind find(::FindFirstFileExW(Wide(WithBackslash(folder) + "*").c_str(), FindExInfoBasic, &data,
                                       FindExSearchNameMatch, nullptr, 0));
    if (!find) return true;
    do {
        if (!IsDotEntry(data.cFileName)) return false;
    } while (::FindNextFileW(find.get(), &data));
    return true;
}

void RemoveLeftovers(const std::string& root, std::vector<BackupEntry>& target, const std::vector<BackupEntry>& source) {
    std::map<std::string, bool> inShow;
    for (const BackupEntry& e : source) inShow[NameKey(e.relative)] = true;
    CLogBatch log;
    target.erase(std::remove_if(target.begin(), target.end(),
                                [&](const BackupEntry& e) {
                                    const size_t slash = e.relative.rfind('\\');
                                    const std::string name =
                                        slash == std::string::npos ? e.relative : e.relative.substr(slash + 1);
                                    if (e.isFolder || !IsBackupTempName(name) || inShow.count(NameKey(e.relative)))
                                        return false;
                                    const std::wstring path = Wide(root + e.relative);
                                    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                                    if (!::DeleteFileW(path.c_str())) return false;
                                    log.Value("verwijderd", Shown(root + e.relative));
                                    return true;
                                }),
                 target.end());
}

}  // namespace backup

using namespace backup;

bool ListBackupTree(const std::string& root, std::vector<BackupEntry>& entries, std::vector<std::string>* links,
                    const std::function<bool()>& pump, std::vector<BackupListingError>* unreadable) {
    return ListFolder(root, std::string(), entries, links, pump, unreadable);
}
