#include "backup/backup_run.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <map>

#include "files/file_helpers.h"
#include "files/path_split.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "backup/sha256.h"
#include "common/partial_file.h"
#include "common/res_string.h"
#include "common/system_error.h"
#include "common/text.h"
#include "common/wide_text.h"
#include "common/win_raii.h"
#include "repair/free_space.h"
#include "repair/yellow_repair.h"
#include "resource.h"

namespace {
// Large enough that a big sound file takes few calls, small enough that a
// stop is answered at once; a multiple of every sector size, as reads
// without the system's cache require.
constexpr DWORD kChunkBytes = 1 << 20;
// The attributes a copy takes over from its source.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
// A record is a few hundred bytes a file; more than this is no record.
constexpr int64_t kMaxRecordBytes = 256LL << 20;

uint64_t Ticks(const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

// The name the wide-character calls take, however long.
std::wstring Wide(const std::string& path) { return WideFromUtf8(LongPath(path)); }
// A path for the run log and the messages.
std::string Shown(const std::string& path) { return CodePageFromUtf8(path); }

std::string WithBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder.push_back('\\');
    return folder;
}

std::string FolderPathOf(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

std::string UpperAscii(const std::string& text) {
    std::string upper(text);
    for (char& c : upper) c = ToUpperAscii(c);
    return upper;
}

// Memory aligned as reads without the system's cache need it (a page).
class CAlignedBuffer {
public:
    explicit CAlignedBuffer(size_t size)
        : m_p(static_cast<char*>(::VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}
    ~CAlignedBuffer() {
        if (m_p) ::VirtualFree(m_p, 0, MEM_RELEASE);
    }
    CAlignedBuffer(const CAlignedBuffer&) = delete;
    CAlignedBuffer& operator=(const CAlignedBuffer&) = delete;
    char* get() const { return m_p; }

private:
    char* m_p;
};

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

std::string ReasonFor(DWORD error) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return "Het bestand is in gebruik door een ander programma.";
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) return "De doelschijf is vol.";
    return SystemErrorText(error);
}

// Errors after which no later file can reach the destination either.
bool IsDestinationWide(DWORD error, const std::string& targetRoot) {
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_NOT_READY:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_NO_MEDIA_IN_DRIVE:
    case ERROR_MEDIA_CHANGED:
    case ERROR_WRITE_PROTECT:
    case ERROR_INVALID_DRIVE:
    case ERROR_NETNAME_DELETED:
    case ERROR_BAD_NETPATH:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_IO_DEVICE:
        return true;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
        // Only when the back-up's own folder has gone.
        return ::GetFileAttributesW(Wide(targetRoot).c_str()) == INVALID_FILE_ATTRIBUTES;
    default:
        return false;
    }
}

// Why a file was refused before copying, for the message and the log.
std::string RefusalReason(BackupAction action, const BackupVolume& volume) {
    switch (action) {
    case BackupAction::TooLong:
        return "Het pad is langer dan " + FormatThousands(static_cast<int64_t>(kBackupMaxPath)) + " tekens.";
    case BackupAction::TooLarge:
        return "Het bestand is groter dan het bestandssysteem van de doelschijf kan bewaren (ten hoogste " +
               FormatThousands(volume.maxFileSize) + " bytes per bestand).";
    case BackupAction::FolderInWay:
        return "In de back-up staat een map met dezelfde naam.";
    default:
        return std::string();
    }
}

// The log shows the failure before the user reads of it.
// heading names what was left out: a file unless told otherwise.
void ReportFailure(CLogBatch& log, const std::string& source, const std::string& reason, HWND owner,
                   const std::string& heading = std::string()) {
    log.Value("fout", reason);
    log.Flush();
    ShowMessage((heading.empty() ? LoadResString(IDS_BACKUP_FILE_FAILED) : heading) + Shown(source) + "\n\n" + reason,
                owner);
}

// Makes the folder and every missing one above it; the back-up's folders
// below an existing one only.
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

bool ReadFileText(const std::string& path, std::string& text) {
    UniqueFile file(::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxRecordBytes) return false;
    text.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    return text.empty() ||
           (::ReadFile(file.get(), &text[0], static_cast<DWORD>(text.size()), &got, nullptr) && got == text.size());
}

// Written beside and put in place in one step: the old record stays whole
// until the new one is on the disk.
bool WriteFileText(const std::string& path, const std::string& text) {
    const std::string temp = path + ".tmp";
    bool ok;
    {
        UniqueFile file(::CreateFileW(Wide(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD put = 0;
        ok = ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &put, nullptr) &&
             put == text.size() && ::FlushFileBuffers(file.get());
    }
    ok = ok && ::MoveFileExW(Wide(temp).c_str(), Wide(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) ::DeleteFileW(Wide(temp).c_str());
    return ok;
}

// "E:\Back-ups\Demo - Zekerpad-back-up.txt" for "E:\Back-ups\Demo\".
std::string RecordPathOf(const std::string& backupRoot) {
    const std::string root = backupRoot.substr(0, backupRoot.size() - (backupRoot.back() == '\\' ? 1 : 0));
    const size_t slash = root.rfind('\\');
    return root.substr(0, slash + 1) + BackupRecordName(root.substr(slash + 1));
}

enum class DiskRead { Ok, Missing, Failed };

// The file's bytes as the disk holds them: read without the system's
// cache, so a copy that never reached the disk is not read from memory.
DiskRead HashFromDisk(const std::string& path, char* buffer, CSha256& sha, int64_t& size, std::string& hash,
                      DWORD& error, const std::function<bool(int64_t)>& step = nullptr) {
    UniqueFile file(::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? DiskRead::Missing : DiskRead::Failed;
    }
    size = 0;
    if (!sha.Begin()) {
        error = ERROR_NOT_SUPPORTED;
        return DiskRead::Failed;
    }
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer, kChunkBytes, &got, nullptr)) {
            error = ::GetLastError();
            return DiskRead::Failed;
        }
        if (got == 0) break;
        sha.Add(buffer, got);
        size += got;
        if (step && !step(size)) {
            error = ERROR_CANCELLED;
            return DiskRead::Failed;
        }
    }
    hash = sha.Finish();
    return hash.empty() ? (error = ERROR_NOT_SUPPORTED, DiskRead::Failed) : DiskRead::Ok;
}

// One copy under a temporary name beside its target. Either the target
// is the verified new copy afterwards (its older copy moved to olderPath),
// or it is as it was and the temporary file is gone.
class VerifiedCopy {
public:
    VerifiedCopy(char* buffer, CSha256& sha, const BackupProgressFn& progress, int64_t doneBefore)
        : m_pBuffer(buffer), m_sha(sha), m_progress(progress), m_nDoneBefore(doneBefore) {}

    bool Run(const std::string& source, const std::string& target, const std::string& relative, bool hasOld,
             const std::string& olderPath) {
        UniqueFile in(::CreateFileW(Wide(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!in) return Fail(::GetLastError());
        BY_HANDLE_FILE_INFORMATION info{};
        if (!::GetFileInformationByHandle(in.get(), &info)) return Fail(::GetLastError());

        UniqueFile out = CreateTemp(FolderPathOf(target));
        if (!out) return false;
        bool ok = false;
        {
            ScopedPartialFile partial(out.get());
            ok = Copy(in.get(), out.get(), relative);
            if (ok && !::SetFileTime(out.get(), nullptr, nullptr, &info.ftLastWriteTime)) ok = FailTarget(::GetLastError());
            if (ok && !::FlushFileBuffers(out.get())) ok = FailTarget(::GetLastError());
        }
        out.reset();
        in.reset();
        ok = ok && ReadBack(relative);
        // A new file has the archive attribute already; only the others cost a call.
        if (ok && (info.dwFileAttributes & kKeptAttributes & ~FILE_ATTRIBUTE_ARCHIVE) &&
            !::SetFileAttributesW(Wide(m_csTemp).c_str(), info.dwFileAttributes & kKeptAttributes))
            ok = FailTarget(::GetLastError());
        ok = ok && PutInPlace(target, hasOld, olderPath);
        if (!ok) {
            ::SetFileAttributesW(Wide(m_csTemp).c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(Wide(m_csTemp).c_str());
        }
        return ok;
    }

    int64_t Copied() const { return m_nCopied; }
    bool Stopped() const { return m_bStopped; }
    const std::string& Reason() const { return m_csReason; }
    const std::string& Hash() const { return m_csHash; }
    bool MovedOld() const { return m_bMovedOld; }
    // The error came from the destination's side (writing, not reading).
    bool TargetError(DWORD* error) const {
        *error = m_nTargetError;
        return m_nTargetError != ERROR_SUCCESS;
    }

private:
    bool Fail(DWORD error) {
        m_csReason = ReasonFor(error);
        return false;
    }
    bool FailTarget(DWORD error) {
        m_nTargetError = error;
        return Fail(error);
    }
    bool Fail(const std::string& reason) {
        m_csReason = reason;
        return false;
    }
    bool Stop() {
        m_bStopped = true;
        m_csReason = "De back-up is gestopt.";
        return false;
    }

    UniqueFile CreateTemp(const std::string& folder) {
        static uint32_t s_number = ::GetTickCount();
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_csTemp = folder + BackupTempName(++s_number);
            // DELETE access: an end of the session in the middle removes it.
            UniqueFile file(::CreateFileW(Wide(m_csTemp).c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
            if (file) return file;
            const DWORD error = ::GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
                m_csTemp.clear();
                FailTarget(error);
                return UniqueFile();
            }
        }
        m_csTemp.clear();
        FailTarget(ERROR_FILE_EXISTS);
        return UniqueFile();
    }

    // Reads the source once: its bytes go to the copy and into the hash.
    bool Copy(HANDLE in, HANDLE out, const std::string& relative) {
        if (!m_sha.Begin()) return Fail(ERROR_NOT_SUPPORTED);
        for (;;) {
            DWORD got = 0;
            if (!::ReadFile(in, m_pBuffer, kChunkBytes, &got, nullptr)) return Fail(::GetLastError());
            if (got == 0) break;
            m_sha.Add(m_pBuffer, got);
            unsigned long put = 0;
            if (!g_pfnBackupWrite(out, m_pBuffer, got, &put)) return FailTarget(::GetLastError());
            if (put != got) return FailTarget(ERROR_DISK_FULL);
            m_nCopied += got;
            if (m_progress && !m_progress(relative, m_nDoneBefore + m_nCopied)) return Stop();
        }
        m_csHash = m_sha.Finish();
        return !m_csHash.empty() || Fail(ERROR_NOT_SUPPORTED);
    }

    bool ReadBack(const std::string& relative) {
        int64_t size = 0;
        std::string hash;
        DWORD error = ERROR_SUCCESS;
        const auto step = [&](int64_t) {
            return !m_progress || m_progress(relative, m_nDoneBefore + m_nCopied);
        };
        if (HashFromDisk(m_csTemp, m_pBuffer, m_sha, size, hash, error, step) != DiskRead::Ok)
            return error == ERROR_CANCELLED ? Stop() : FailTarget(error);
        if (size != m_nCopied || hash != m_csHash)
            return Fail(std::string("De kopie is bij het teruglezen niet gelijk aan het origineel."));
        return true;
    }

    // The older copy first moves aside (a rename on the same drive), then
    // the new one takes its place; should the second step fail, the older
    // copy comes back.
    bool PutInPlace(const std::string& target, bool hasOld, const std::string& olderPath) {
        if (hasOld) {
            if (!MakeFolders(FolderPathOf(olderPath))) return FailTarget(::GetLastError());
            if (::MoveFileExW(Wide(target).c_str(), Wide(olderPath).c_str(), 0))
                m_bMovedOld = true;
            else if (::GetLastError() != ERROR_FILE_NOT_FOUND)
                return FailTarget(::GetLastError());
        }
        // The bytes are on the disk already; should a rename be lost with
        // the power, the older copy and a temporary file remain, and the
        // next back-up copies the file again.
        if (::MoveFileExW(Wide(m_csTemp).c_str(), Wide(target).c_str(), 0)) return true;
        const DWORD error = ::GetLastError();
        if (m_bMovedOld && ::MoveFileExW(Wide(olderPath).c_str(), Wide(target).c_str(), 0))
            m_bMovedOld = false;
        return FailTarget(error);
    }

    char* m_pBuffer;
    CSha256& m_sha;
    const BackupProgressFn& m_progress;
    int64_t m_nDoneBefore;
    int64_t m_nCopied = 0;
    bool m_bStopped = false;
    bool m_bMovedOld = false;
    DWORD m_nTargetError = ERROR_SUCCESS;
    std::string m_csTemp;
    std::string m_csReason;
    std::string m_csHash;
};

// What the file system calls a folder: its volume and its number there.
struct FolderId {
    DWORD volume = 0;
    DWORD high = 0, low = 0;
    bool operator==(const FolderId& o) const { return volume == o.volume && high == o.high && low == o.low; }
};

bool FolderIdOf(const std::string& folder, FolderId& id) {
    UniqueFile handle(::CreateFileW(Wide(WithBackslash(folder)).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle || !::GetFileInformationByHandle(handle.get(), &info)) return false;
    id.volume = info.dwVolumeSerialNumber;
    id.high = info.nFileIndexHigh;
    id.low = info.nFileIndexLow;
    return true;
}

// "E:\a" for "E:\a\b\", "E:\" for "E:\a", empty above a drive's root.
std::string ParentFolder(const std::string& folder) {
    std::string path = folder;
    if (path.size() > 3 && path.back() == '\\') path.pop_back();
    const size_t slash = path.rfind('\\');
    if (slash == std::string::npos || slash + 1 == path.size()) return std::string();
    if (slash == 2 && path[1] == ':') return path.substr(0, 3);
    // "\\server\share" has no parent folder of its own.
    if (path.compare(0, 2, "\\\\") == 0 && std::count(path.begin(), path.end(), '\\') <= 3) return std::string();
    return path.substr(0, slash);
}

// path is folder, or lies somewhere below it.
bool AtOrBelow(const std::string& path, const FolderId& folder) {
    for (std::string p = path; !p.empty(); p = ParentFolder(p)) {
        FolderId id;
        if (FolderIdOf(p, id) && id == folder) return true;
    }
    return false;
}

bool Refuse(const std::string& why, const std::string& text, HWND owner) {
    LogValue("geweigerd", why);
    ShowMessage(text, owner);
    return false;
}

// Refuses (with a message and a log entry) a destination that is empty,
// too long, the show's folder or inside it by any name, or missing.
bool DestinationUsable(const std::string& folder, const std::string& showFolder, const std::string& root,
                       HWND owner) {
    switch (CheckDestinationOnDisk(folder, showFolder, root)) {
    case DestinationProblem::None:
        break;
    case DestinationProblem::Empty:
        return Refuse("geen doelmap", "Kies eerst een doelmap voor de back-up.", owner);
    case DestinationProblem::TooLong:
        return Refuse("pad te lang",
                      "Het pad van de doelmap is te lang (meer dan " +
                          FormatThousands(static_cast<int64_t>(kBackupMaxPath)) + " tekens):\n" + Shown(folder) +
                          "\n\nKies een doelmap met een korter pad.",
                      owner);
    case DestinationProblem::InsideShow:
        return Refuse("doelmap in de show",
                      "De doelmap ligt in de map van de show:\n" + Shown(folder) +
                          "\n\nEen back-up moet buiten de map van de show staan. Kies een andere doelmap, bij "
                          "voorkeur op een andere schijf.",
                      owner);
    case DestinationProblem::ShowInside:
        return Refuse("show in de back-up",
                      "In deze doelmap zou de back-up op de plaats van de show zelf komen:\n" + Shown(root) +
                          "\n\nKies een andere doelmap.",
                      owner);
    case DestinationProblem::ShowAtRoot:
        return Refuse("show in hoofdmap",
                      "De show staat in de hoofdmap van een schijf (" + Shown(showFolder) +
                          "). Zekerpad maakt alleen een back-up van een show die in een eigen map staat.",
                      owner);
    }
    return true;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

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

// The free-space query takes code-page text: a folder it cannot name is
// asked about by its drive.
std::string SpaceFolder(const std::string& folder) {
    const std::string shown = Shown(folder);
    if (shown.find('?') != std::string::npos && folder.size() >= 3 && folder[1] == ':') return folder.substr(0, 3);
    return shown;
}

// Then, once the plan is known: refuses a destination that cannot be
// written or has no room for plan.copyBytes plus a margin; one on the
// show's own drive is allowed once the user agrees. The back-up's own
// folder exists after true.
bool AcceptDestination(const std::string& folder, const std::string& showFolder, const std::string& root,
                       const BackupPlan& plan, HWND owner) {
    // Writing is tried for real: a read-only stick or share says so only then.
    const bool madeRoot = ::CreateDirectoryW(Wide(root).c_str(), nullptr) != FALSE;
    const DWORD rootError = madeRoot ? ERROR_SUCCESS : ::GetLastError();
    DWORD probeError = rootError == ERROR_ALREADY_EXISTS ? ERROR_SUCCESS : rootError;
    if (probeError == ERROR_SUCCESS && !IsFolder(root)) probeError = ERROR_DIRECTORY;
    for (uint32_t n = 0; probeError == ERROR_SUCCESS && n < 10; ++n) {
        UniqueFile probe(::CreateFileW(Wide(root + BackupTempName(n)).c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (probe) break;
        probeError = ::GetLastError();
        // A name left by an earlier run: try the next.
        if (probeError == ERROR_FILE_EXISTS) probeError = ERROR_SUCCESS;
    }
    const auto refuse = [&](const std::string& why, const std::string& text) {
        if (madeRoot) ::RemoveDirectoryW(Wide(root).c_str());
        return Refuse(why, text, owner);
    };
    if (probeError != ERROR_SUCCESS)
        return refuse("doelmap niet beschrijfbaar",
                      "In de doelmap kan niet worden geschreven:\n" + Shown(root) + "\n\n" + ReasonFor(probeError));

    uint64_t freeBytes = 0;
    unsigned long error = 0;
    if (!g_pfnFreeSpace(SpaceFolder(folder), &freeBytes, &error))
        return refuse("vrije ruimte onbekend", "De vrije ruimte op de doelschijf kan niet worden bepaald:\n" +
                                                   Shown(folder) + "\n\n" + ReasonFor(error));
    const uint64_t needed = static_cast<uint64_t>(plan.copyBytes) + static_cast<uint64_t>(kFreeSpaceMargin);
    if (freeBytes < needed) {
        // Two sizes that read alike in MB get their bytes too.
        std::string need = FormatSize(static_cast<int64_t>(needed)), have = FormatSize(static_cast<int64_t>(freeBytes));
        if (need == have) {
            need += " (" + FormatThousands(static_cast<int64_t>(needed)) + " bytes)";
            have += " (" + FormatThousands(static_cast<int64_t>(freeBytes)) + " bytes)";
        }
        return refuse("onvoldoende ruimte",
                      "Er is onvoldoende vrije ruimte op de doelschijf.\n\nNodig: " + need +
                          ", voor de te kopiëren bestanden en 1 MB extra.\nVrij: " + have +
                          ".\n\nMaak ruimte vrij op de doelschijf of kies een andere doelmap (bijvoorbeeld op een "
                          "grotere USB-stick), en klik dan opnieuw op Starten.");
    }

    if (SameDrive(folder, showFolder)) {
        const std::string question =
            "De doelmap staat op dezelfde schijf als de show (" + folder.substr(0, 2) +
            ").\n\nEen back-up op dezelfde schijf gaat samen met die schijf verloren als de schijf defect raakt. "
            "Kies bij voorkeur een andere schijf, zoals een USB-stick.\n\nWilt u toch een back-up op deze schijf "
            "maken?";
        if (AskMessage(owner, question, ProgramTitle(), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
            if (madeRoot) ::RemoveDirectoryW(Wide(root).c_str());
            LogValue("geweigerd", "zelfde schijf");
            return false;
        }
    }
    return true;
}

// "E:\Back-ups\Demo oudere versies\2026-12-08 09.30\": a folder of this
// run's own, made when the first older copy moves into it.
std::string OlderVersionsFolder(const std::string& folder, const std::string& name) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const std::string base = WithBackslash(folder) + OlderVersionsName(name) + "\\" +
                             OlderVersionsStamp(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute);
    std::string candidate = base;
    for (int n = 2; ::GetFileAttributesW(Wide(candidate).c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
        candidate = base + " (" + std::to_string(n) + ")";
    return candidate + "\\";
}

using RecordMap = std::map<std::string, BackupRecordFile>;  // by the path in capitals

// The record's lines that still describe the copy in the back-up.
RecordMap CurrentLines(const BackupRecord& record, const std::vector<BackupEntry>& target, uint64_t precision) {
    std::map<std::string, const BackupEntry*> files;
    for (const BackupEntry& e : target)
        if (!e.isFolder) files.emplace(UpperAscii(e.relative), &e);
    RecordMap lines;
    for (const BackupRecordFile& f : record.files) {
        const std::string key = UpperAscii(f.relative);
        const auto there = files.find(key);
        if (there != files.end() && there->second->size == f.size &&
            SameWriteTime(there->second->writeTime, f.writeTime, precision))
            lines[key] = f;
    }
    return lines;
}

// Written only when it changes: an unchanged back-up writes nothing.
bool SaveRecord(const std::string& root, const std::string& showFolder, const RecordMap& lines, std::string& onDisk) {
    BackupRecord record;
    record.showFolder = showFolder;
    for (const auto& line : lines) record.files.push_back(line.second);
    std::string text = FormatBackupRecord(record);
    if (text == onDisk) return true;
    if (!WriteFileText(RecordPathOf(root), text)) return false;
    onDisk = std::move(text);
    return true;
}

struct RunPlace {
    std::string sourceRoot, targetRoot, olderRoot;
};

BackupOutcome RunBackup(const std::vector<BackupEntry>& source, const BackupPlan& plan, const RunPlace& place,
                        RecordMap& lines, const BackupProgressFn& progress, HWND owner) {
    BackupOutcome outcome;
    CLogBatch log;
    const BackupVolume volume = QueryBackupVolume(place.targetRoot);

    for (const std::string& folder : plan.folders) {
        const std::string path = place.targetRoot + folder;
        if (::CreateDirectoryW(Wide(path).c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS) continue;
        // Its files fail one by one when they find no folder to go into.
        log.Value("map", Shown(path));
        log.Value("fout", ReasonFor(::GetLastError()));
    }

    CAlignedBuffer buffer(kChunkBytes);
    CSha256 sha;
    bool aborted = false;
    int notCopied = 0;
    DWORD abortError = ERROR_SUCCESS;
    std::string abortAt;
    for (const PlannedFile& file : plan.files) {
        log.FlushIfDue();
        const BackupEntry& entry = source[file.source];
        const std::string from = place.sourceRoot + entry.relative;
        const std::string to = place.targetRoot + entry.relative;
        const std::string key = UpperAscii(entry.relative);
        if (file.action == BackupAction::Unchanged) {
            log.Value("ongewijzigd", Shown(from));
            ++outcome.unchanged;
            // A copy made before there was a record: its hash is taken from
            // the disk once, so that the back-up can be checked later.
            if (!aborted && buffer.get() && sha.Valid() && lines.find(key) == lines.end()) {
                BackupRecordFile line{entry.relative, entry.size, entry.writeTime, std::string()};
                int64_t size = 0;
                DWORD error = 0;
                const auto step = [&](int64_t) { return !progress || progress(entry.relative, outcome.copiedBytes); };
                const DiskRead read = HashFromDisk(to, buffer.get(), sha, size, line.sha256, error, step);
                if (read == DiskRead::Ok && size == entry.size) lines[key] = line;
                if (read == DiskRead::Failed && error == ERROR_CANCELLED) {
                    log.Value("fout", "gestopt");
                    outcome.stopped = true;
                    break;
                }
            }
            continue;
        }
        if (aborted) {
            ++outcome.failed;
            ++notCopied;
            continue;
        }
        log.Value("bron", Shown(from));
        log.Value("doel", Shown(to));
        if (file.action != BackupAction::Copy) {
            ReportFailure(log, from, RefusalReason(file.action, volume), owner);
            ++outcome.failed;
            continue;
        }
        if (!buffer.get() || !sha.Valid()) {
            ReportFailure(log, from, SystemErrorText(buffer.get() ? ERROR_NOT_SUPPORTED : ERROR_NOT_ENOUGH_MEMORY),
                          owner);
            ++outcome.failed;
            continue;
        }
        if (progress && !progress(entry.relative, outcome.copiedBytes)) {
            log.Value("fout", "gestopt");
            outcome.stopped = true;
            break;
        }
        const bool hasOld = file.hasOlder;
        const std::string older = place.olderRoot + entry.relative;
        VerifiedCopy copy(buffer.get(), sha, progress, outcome.copiedBytes);
        DWORD targetError = ERROR_SUCCESS;
        if (copy.Run(from, to, entry.relative, hasOld, older)) {
            if (copy.MovedOld()) log.Value("oudere versie", Shown(older));
            log.Value(" ", "kopie OK");
            ++outcome.copied;
            outcome.copiedBytes += copy.Copied();
            lines[key] = BackupRecordFile{entry.relative, copy.Copied(), entry.writeTime, copy.Hash()};
        } else if (copy.Stopped()) {
            log.Value("fout", "gestopt");
            outcome.stopped = true;
            break;
        } else if (copy.TargetError(&targetError) && IsDestinationWide(targetError, place.targetRoot)) {
            // One message for the whole run, not one per file left.
            log.Value("fout", copy.Reason());
            aborted = true;
            abortError = targetError;
            abortAt = from;
            ++outcome.failed;
            ++notCopied;
        } else {
            ReportFailure(log, from, copy.Reason(), owner);
            ++outcome.failed;
        }
    }
    if (aborted) {
        log.Value("afgebroken", FileCountText(notCopied) + " niet gekopieerd");
        log.Flush();
        ShowMessage("De back-up is afgebroken: de doelschijf kan niet meer worden beschreven. Dit gebeurde bij:\n" +
                        Shown(abortAt) + "\n\n" + ReasonFor(abortError) + "\n\n" + FileCountText(notCopied) +
                        (notCopied == 1 ? " is" : " zijn") +
                        " niet gekopieerd. Kijk of de doelschijf (bijvoorbeeld de USB-stick) er nog is en genoeg "
                        "ruimte heeft, en start de back-up dan opnieuw.",
                    owner);
    }
    log.Flush();
    if (progress) progress(std::string(), outcome.copiedBytes);
    return outcome;
}

// Temporary files an interrupted run left in the back-up (never a file of
// the show that happens to have such a name).
void RemoveLeftovers(const std::string& root, std::vector<BackupEntry>& target, const std::vector<BackupEntry>& source) {
    std::map<std::string, bool> inShow;
    for (const BackupEntry& e : source) inShow[UpperAscii(e.relative)] = true;
    CLogBatch log;
    target.erase(std::remove_if(target.begin(), target.end(),
                                [&](const BackupEntry& e) {
                                    const size_t slash = e.relative.rfind('\\');
                                    const std::string name =
                                        slash == std::string::npos ? e.relative : e.relative.substr(slash + 1);
                                    if (e.isFolder || !IsBackupTempName(name) || inShow.count(UpperAscii(e.relative)))
                                        return false;
                                    const std::wstring path = Wide(root + e.relative);
                                    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                                    if (!::DeleteFileW(path.c_str())) return false;
                                    log.Value("verwijderd", Shown(root + e.relative));
                                    return true;
                                }),
                 target.end());
}
}  // namespace

bool WriteBackupFile(void* file, const void* data, unsigned long size, unsigned long* written) {
    DWORD put = 0;
    const bool ok = ::WriteFile(static_cast<HANDLE>(file), data, size, &put, nullptr) != FALSE;
    *written = put;
    return ok;
}

BackupWriteFn g_pfnBackupWrite = &WriteBackupFile;

bool ListBackupTree(const std::string& root, std::vector<BackupEntry>& entries, std::vector<std::string>* links,
                    const std::function<bool()>& pump, std::vector<BackupListingError>* unreadable) {
    return ListFolder(root, std::string(), entries, links, pump, unreadable);
}

BackupVolume QueryBackupVolume(const std::string& folder, std::string* fileSystemName) {
    std::wstring volume(folder.size() + 8, L'\0');
    wchar_t name[MAX_PATH + 1] = {};
    const std::wstring path = WideFromUtf8(folder);
    if (path.empty() || !::GetVolumePathNameW(path.c_str(), &volume[0], static_cast<DWORD>(volume.size())) ||
        !::GetVolumeInformationW(volume.c_str(), nullptr, 0, nullptr, nullptr, nullptr, name, MAX_PATH + 1))
        name[0] = L'\0';
    const std::string text = Utf8FromWide(name, std::wcslen(name));
    if (fileSystemName) *fileSystemName = text;
    return VolumeFromFileSystem(text);
}

DestinationProblem CheckDestinationOnDisk(const std::string& destination, const std::string& showFolder,
                                          const std::string& backupRoot) {
    const DestinationProblem problem = CheckDestination(destination, showFolder);
    if (problem != DestinationProblem::None) return problem;
    FolderId show, root;
    if (!FolderIdOf(showFolder, show)) return DestinationProblem::None;
    if (AtOrBelow(NormalizeFolder(destination), show)) return DestinationProblem::InsideShow;
    if (FolderIdOf(backupRoot, root) && AtOrBelow(showFolder, root)) return DestinationProblem::ShowInside;
    return DestinationProblem::None;
}

bool ReadBackupRecord(const std::string& backupRoot, BackupRecord* record) {
    std::string text;
    if (!ReadFileText(RecordPathOf(WithBackslash(backupRoot)), text)) return false;
    std::optional<BackupRecord> parsed = ParseBackupRecord(text);
    if (!parsed) return false;
    *record = std::move(*parsed);
    return true;
}

BackupFolderChoice FindBackupFolder(const std::string& destination, const std::string& showFolder) {
    const std::string folder = WithBackslash(NormalizeFolder(destination));
    return ChooseBackupFolder(ShowFolderName(showFolder), showFolder, [&](const std::string& name) {
        BackupFolderState state;
        state.folderExists = IsFolder(folder + name);
        if (state.folderExists) state.folderEmpty = FolderIsEmpty(folder + name);
        BackupRecord record;
        if (ReadBackupRecord(folder + name + "\\", &record)) state.recordShow = record.showFolder;
        return state;
    });
}

BackupResult MakeBackup(const std::string& showFolder, const std::string& destination,
                        const BackupProgressFn& progress, HWND owner, BackupOutcome* outcome,
                        const std::function<void(int64_t copyBytes)>& planned) {
    *outcome = BackupOutcome();
    const std::string folder = NormalizeFolder(destination);
    LogLine("Start back-up");
    LogValue("bron", Shown(showFolder));
    LogValue("doel", Shown(folder));
    const auto end = [&](BackupResult result) {
        if (result == BackupResult::Ran) {
            LogNumber("gekopieerd ", outcome->copied);
            LogValue("bytes      ", std::to_string(outcome->copiedBytes));
            LogNumber("ongewijzigd", outcome->unchanged);
            LogNumber("mislukt    ", outcome->failed);
            if (outcome->stopped) LogLine("Back-up gestopt");
        }
        LogLine("Einde back-up");
        return result;
    };
    const BackupFolderChoice choice = FindBackupFolder(folder, showFolder);
    const std::string root = BackupRoot(folder, showFolder, choice.name);
    if (!DestinationUsable(folder, showFolder, root, owner)) return end(BackupResult::Refused);
    if (!IsFolder(folder)) {
        Refuse("doelmap bestaat niet",
               "De doelmap bestaat niet:\n" + Shown(folder) + "\n\nKies een bestaande map, of maak de map eerst aan.",
               owner);
        return end(BackupResult::Refused);
    }
    if (choice.name.empty()) {
        Refuse("geen vrije naam", "In de doelmap is geen vrije naam meer voor de back-up van deze show:\n" +
                                      Shown(folder) + "\n\nKies een andere doelmap.",
               owner);
        return end(BackupResult::Refused);
    }
    if (choice.needsConsent) {
        const std::string question =
            "In de doelmap staat al een map met deze naam, zonder overzicht van Zekerpad:\n" + Shown(root) +
            "\n\nZekerpad weet niet of deze map bij deze show hoort. Gebruikt u hem toch, dan komt de back-up "
            "erin; bestanden die er al in staan, blijven bewaard (een oudere versie gaat naar de map met oudere "
            "versies ernaast).\n\nWilt u deze map gebruiken voor de back-up van deze show?";
        if (AskMessage(owner, question, ProgramTitle(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
            LogValue("geweigerd", "map zonder overzicht");
            return end(BackupResult::Refused);
        }
    }
    if (root != BackupRoot(folder, showFolder)) LogValue("back-upmap", Shown(root));

    const auto pump = [&] { return !progress || progress(std::string(), 0); };
    std::vector<BackupEntry> source, target;
    std::vector<std::string> links;
    std::vector<BackupListingError> unreadable;
    if (!ListBackupTree(showFolder, source, &links, pump, &unreadable)) {
        if (!pump()) {
            outcome->stopped = true;
            return end(BackupResult::Ran);
        }
        Refuse("show niet leesbaar", "De map van de show kan niet worden gelezen:\n" + Shown(showFolder), owner);
        return end(BackupResult::Refused);
    }
    if (IsFolder(root) && !ListBackupTree(root, target, nullptr, pump)) {
        if (!pump()) {
            outcome->stopped = true;
            return end(BackupResult::Ran);
        }
        Refuse("back-up niet leesbaar", "De bestaande back-up kan niet worden gelezen:\n" + Shown(root), owner);
        return end(BackupResult::Refused);
    }
    RemoveLeftovers(root, target, source);
    const BackupVolume volume = QueryBackupVolume(folder);
    const BackupPlan plan = PlanBackup(source, target, showFolder, root, volume);
    if (!AcceptDestination(folder, showFolder, root, plan, owner)) return end(BackupResult::Refused);
    if (planned) planned(plan.copyBytes);

    std::string onDisk;
    BackupRecord old;
    if (ReadFileText(RecordPathOf(root), onDisk)) old = ParseBackupRecord(onDisk).value_or(BackupRecord());
    RecordMap lines = CurrentLines(old, target, volume.timePrecision);
    // The folder is claimed for this show before anything is copied.
    if (!SaveRecord(root, showFolder, lines, onDisk))
        LogValue("fout", "overzicht niet geschreven: " + Shown(RecordPathOf(root)));

    const RunPlace place{showFolder, root, OlderVersionsFolder(folder, choice.name)};
    *outcome = RunBackup(source, plan, place, lines, progress, owner);
    if (!SaveRecord(root, showFolder, lines, onDisk))
        LogValue("fout", "overzicht niet geschreven: " + Shown(RecordPathOf(root)));

    CLogBatch log;
    for (const BackupListingError& folderError : unreadable) {
        if (outcome->stopped) break;
        log.Value("map", Shown(showFolder + folderError.relative));
        ReportFailure(log, showFolder + folderError.relative,
                      "Deze map kan niet (volledig) worden gelezen; de bestanden erin zijn niet gekopieerd.\n" +
                          ReasonFor(folderError.error),
                      owner);
        ++outcome->failed;
    }
    for (const std::string& link : links) {
        if (outcome->stopped) break;
        log.Value("bron", Shown(showFolder + link));
        ReportFailure(log, showFolder + link,
                      "Deze map verwijst naar een andere plaats (een koppeling) en wordt niet gekopieerd.", owner,
                      "De volgende map is niet in de back-up gekomen:\n");
        ++outcome->failed;
    }
    return end(BackupResult::Ran);
}

BackupCheckResult CheckBackup(const std::string& backupRoot, const BackupProgressFn& progress) {
    BackupCheckResult result;
    const std::string root = WithBackslash(backupRoot);
    LogLine("Start controle back-up");
    LogValue("map", Shown(root));
    BackupRecord record;
    result.hasRecord = ReadBackupRecord(root, &record);
    if (!result.hasRecord) {
        LogValue("fout", "geen overzicht gevonden: " + Shown(RecordPathOf(root)));
        LogLine("Einde controle back-up");
        return result;
    }
    CLogBatch log;
    CAlignedBuffer buffer(kChunkBytes);
    CSha256 sha;
    int64_t done = 0;
    for (const BackupRecordFile& file : record.files) {
        log.FlushIfDue();
        if (progress && !progress(file.relative, done)) {
            result.stopped = true;
            break;
        }
        int64_t size = 0;
        std::string hash;
        DWORD error = 0;
        const int64_t before = done;
        const auto step = [&](int64_t bytes) { return !progress || progress(file.relative, before + bytes); };
        const DiskRead read = buffer.get() && sha.Valid()
                                  ? HashFromDisk(root + file.relative, buffer.get(), sha, size, hash, error, step)
                                  : DiskRead::Failed;
        done += file.size;
        if (read == DiskRead::Failed && error == ERROR_CANCELLED) {
            result.stopped = true;
            break;
        }
        ++result.checked;
        if (read == DiskRead::Missing) {
            result.missing.push_back(file.relative);
            log.Value("ontbreekt", Shown(root + file.relative));
        } else if (read == DiskRead::Failed || size != file.size || hash != file.sha256) {
            result.damaged.push_back(file.relative);
            log.Value("beschadigd", Shown(root + file.relative) +
                                        (read == DiskRead::Failed ? " (" + ReasonFor(error) + ")" : std::string()));
        }
    }
    log.Flush();
    LogNumber("gecontroleerd", result.checked);
    LogNumber("ontbreekt    ", static_cast<int32_t>(result.missing.size()));
    LogNumber("beschadigd   ", static_cast<int32_t>(result.damaged.size()));
    if (result.stopped) LogLine("Controle gestopt");
    LogLine("Einde controle back-up");
    if (progress) progress(std::string(), done);
    return result;
}
