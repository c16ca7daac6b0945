#include "backup/backup_disk.h"

#include <cstdint>

#include "backup/backup_record.h"
#include "common/res_string.h"
#include "common/system_error.h"
#include "common/text.h"
#include "common/wide_text.h"
#include "common/win_raii.h"
#include "files/file_system.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "resource.h"

namespace backup {

namespace {
// A record is a few hundred bytes a file; more than this is no record.
constexpr int64_t kMaxRecordBytes = 256LL << 20;
}  // namespace

std::wstring Wide(const std::string& path) { return LongPath(WideFromUtf8(path)); }
std::string Shown(const std::string& path) { return CodePageFromUtf8(path); }

std::string FullPathOf(const std::wstring& path) {
    if (path.empty()) return std::string();
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
        if (n == 0) return Utf8FromWide(path);
        if (n < full.size()) return Utf8FromWide(full.data(), n);
        full.resize(n);  // n counts the terminator when the buffer was short
    }
}

std::string FolderPathOf(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

std::string ReasonFor(DWORD error) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return "Het bestand is in gebruik door een ander programma.";
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) return "De doelschijf is vol.";
    return SystemErrorText(error);
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Refuse(const std::string& why, const std::string& text, HWND owner) {
    LogValue("geweigerd", why);
    ShowMessage(text, owner);
    return false;
}

void ReportFailure(CLogBatch& log, const std::string& source, const std::string& reason, HWND owner,
                   const std::string& heading) {
    log.Value("fout", reason);
    log.Flush();
    ShowMessage((heading.empty() ? LoadResString(IDS_BACKUP_FILE_FAILED) : heading) + Shown(source) + "\n\n" + reason,
                owner);
}

bool MakeFolders(const std::string& folder) {
    const std::wstring path = Wide(WithBackslash(folder));
    // Past "\\?\X:\" or "\\?\UNC\server\share\".
    size_t start = path.compare(0, 8, L"\\\\?\\UNC\\") == 0 ? path.find(L'\\', path.find(L'\\', 8) + 1) : 7;
    if (start == std::wstring::npos) return false;
    for (size_t slash = path.find(L'\\', start); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1)) {
        const std::wstring part = path.substr(0, slash);
        if (!::CreateDirectoryW(part.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return true;
}

bool ReadFileText(const std::string& path, std::string& text, DWORD* error) {
    DWORD ignored = ERROR_SUCCESS;
    DWORD& why = error ? *error : ignored;
    why = ERROR_SUCCESS;
    UniqueFile file(::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size)) {
        why = ::GetLastError();
        return false;
    }
    if (size.QuadPart > kMaxRecordBytes) {
        why = ERROR_FILE_TOO_LARGE;
        return false;
    }
    text.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (text.empty()) return true;
    if (!::ReadFile(file.get(), &text[0], static_cast<DWORD>(text.size()), &got, nullptr)) {
        why = ::GetLastError();
        return false;
    }
    if (got != text.size()) {
        why = ERROR_HANDLE_EOF;
        return false;
    }
    return true;
}

bool SetWriteTime(const std::string& path, uint64_t ticks) {
    UniqueFile file(::CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  0, nullptr));
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    return file && ::SetFileTime(file.get(), nullptr, nullptr, &time);
}

DWORD WriteFileText(const std::string& path, const std::string& text) {
    const std::string temp = path + ".tmp";
    DWORD error = ERROR_SUCCESS;
    {
        UniqueFile file(::CreateFileW(Wide(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return ::GetLastError();
        DWORD put = 0;
        if (!::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &put, nullptr))
            error = ::GetLastError();
        else if (put != text.size())
            error = ERROR_DISK_FULL;
        else if (!::FlushFileBuffers(file.get()))
            error = ::GetLastError();
    }
    if (error == ERROR_SUCCESS &&
        !::MoveFileExW(Wide(temp).c_str(), Wide(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = ::GetLastError();
    if (error != ERROR_SUCCESS) ::DeleteFileW(Wide(temp).c_str());
    return error;
}

}  // namespace backup
