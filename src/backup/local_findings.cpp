#include "backup/local_findings.h"

#include <shlobj.h>

#include <cstdio>

#include "backup/backup_disk.h"
#include "backup/backup_record.h"
#include "common/wide_text.h"
#include "common/win_raii.h"

namespace backup {

std::string LocalFindingsPath(const std::string& backupRoot) {
    UniqueFile folder(::CreateFileW(Wide(WithBackslash(backupRoot)).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!folder || !::GetFileInformationByHandle(folder.get(), &info)) return std::string();
    wchar_t data[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, data)))
        return std::string();
    char name[40];
    std::snprintf(name, sizeof name, "%08lX-%08lX%08lX.txt", info.dwVolumeSerialNumber, info.nFileIndexHigh,
                  info.nFileIndexLow);
    return Utf8FromWide(data, wcslen(data)) + "\\Zekerpad\\Controles\\" + name;
}

std::vector<std::string> ReadLocalFindings(const std::string& backupRoot) {
    const std::string path = LocalFindingsPath(backupRoot);
    std::string text;
    if (path.empty() || !ReadFileText(path, text)) return {};
    return ParseCheckFindings(text);
}

DWORD SaveLocalFindings(const std::string& backupRoot, const std::vector<std::string>& relatives) {
    const std::string path = LocalFindingsPath(backupRoot);
    if (path.empty()) return ERROR_PATH_NOT_FOUND;
    if (relatives.empty()) {
        if (::DeleteFileW(Wide(path).c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND ||
            ::GetLastError() == ERROR_PATH_NOT_FOUND)
            return ERROR_SUCCESS;
        return ::GetLastError();
    }
    if (!MakeFolders(FolderPathOf(path))) return ::GetLastError();
    return WriteFileText(path, FormatCheckFindings(relatives));
}

}  // namespace backup
