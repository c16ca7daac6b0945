#include "backup/backup_copy.h"

#include <windows.h>

#include "backup/backup_disk.h"
#include "backup/backup_record.h"
#include "backup/sha256.h"
#include "common/partial_file.h"
#include "files/chunk_reader.h"
#include "files/file_system.h"
#include "media/content_check.h"
#include "backup/backup_names.h"

bool WriteBackupFile(void* file, const void* data, unsigned long size, unsigned long* written) {
    return WriteChunkToFile(file, data, size, written);
}

BackupWriteFn g_pfnBackupWrite = &WriteBackupFile;

bool RenameBackupFile(const wchar_t* from, const wchar_t* to) { return ::MoveFileExW(from, to, 0) != FALSE; }

BackupRenameFn g_pfnBackupRename = &RenameBackupFile;

namespace backup {

namespace {
// The attributes a copy takes over from its source.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
}  // namespace

DiskRead HashFromDisk(const std::string& path, CSha256& sha, int64_t& size, std::string& hash, DWORD& error,
                      const std::function<bool(int64_t)>& step, CContentCheck* content) {
    uint32_t openError = 0;
    UniqueFile file = OpenForChunks(Wide(path), ChunkCache::Bypass, &openError);
    if (!file) {
        error = openError;
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? DiskRead::Missing : DiskRead::Failed;
    }
    size = 0;
    if (!sha.Begin()) {
        error = ERROR_NOT_SUPPORTED;
        return DiskRead::Failed;
    }
    CChunkReader reader(file.get(), ChunkCache::Bypass);
    ChunkView chunk;
    while (reader.Next(&chunk)) {
        sha.Add(chunk.data, chunk.size);
        if (content) content->Feed(chunk.data, chunk.size);
        size += static_cast<int64_t>(chunk.size);
        if (step && !step(size)) {
            error = ERROR_CANCELLED;
            return DiskRead::Failed;
        }
    }
    if (reader.ReadError()) {
        error = reader.ReadError();
        return DiskRead::Failed;
    }
    hash = sha.Finish();
    return hash.empty() ? (error = ERROR_NOT_SUPPORTED, DiskRead::Failed) : DiskRead::Ok;
}

bool VerifiedCopy::Run(const std::string& source, const std::string& target, const std::string& relative,
                       bool hasOld, const std::string& olderPath) {
    for (int attempt = 1;; ++attempt) {
        if (RunOnce(source, target, relative, hasOld, olderPath)) return true;
        if (!m_bSourceChanged) return false;
        if (attempt == 2)
            return Fail(std::string("Het bestand veranderde tijdens het kopiëren, ook bij een tweede poging; de "
                                    "vorige kopie in de back-up blijft staan. Sluit het programma dat het bestand "
                                    "schrijft en maak de back-up opnieuw."));
    }
}

bool VerifiedCopy::SourceUnchanged(const std::string& source, const FILETIME& written) {
    WIN32_FILE_ATTRIBUTE_DATA now{};
    if (!::GetFileAttributesExW(Wide(source).c_str(), GetFileExInfoStandard, &now)) return Fail(::GetLastError());
    const int64_t size = (static_cast<int64_t>(now.nFileSizeHigh) << 32) | now.nFileSizeLow;
    if (size == m_nCopied && now.ftLastWriteTime.dwLowDateTime == written.dwLowDateTime &&
        now.ftLastWriteTime.dwHighDateTime == written.dwHighDateTime)
        return true;
    // Only touched, or written with the same bytes: the copy is good.
    if (size == m_nCopied) {
        const std::string copied = m_csHash;
        int64_t read = 0;
        std::string hash;
        DWORD error = ERROR_SUCCESS;
        const bool same = HashFromDisk(source, m_sha, read, hash, error) == DiskRead::Ok && hash == copied;
        m_csHash = copied;
        if (same) return true;
    }
    m_bSourceChanged = true;
    return Fail(std::string("Het bestand veranderde tijdens het kopiëren."));
}

bool VerifiedCopy::RunOnce(const std::string& source, const std::string& target, const std::string& relative,
                           bool hasOld, const std::string& olderPath) {
    m_bSourceChanged = false;
    m_nCopied = 0;
    uint32_t openError = 0;
    UniqueFile in = OpenForChunks(Wide(source), ChunkCache::Use, &openError);
    if (!in) return Fail(openError);
    // The time and attributes only: the whole information (with the
    // volume's serial number) takes a millisecond a file under Wine.
    FILE_BASIC_INFO info{};
    if (!::GetFileInformationByHandleEx(in.get(), FileBasicInfo, &info, sizeof info)) return Fail(::GetLastError());
    const FILETIME written{info.LastWriteTime.LowPart, static_cast<DWORD>(info.LastWriteTime.HighPart)};

    UniqueFile out = CreateTemp(FolderPathOf(target));
    if (!out) return false;
    bool ok = false;
    {
        ScopedPartialFile partial(out.get());
        ok = Copy(in.get(), out.get(), relative);
        if (ok && !::SetFileTime(out.get(), nullptr, nullptr, &written)) ok = FailTarget(::GetLastError());
        if (ok && !::FlushFileBuffers(out.get())) ok = FailTarget(::GetLastError());
    }
    out.reset();
    in.reset();
    ok = ok && ReadBack(relative);
    // A program that wrote the file while it was read leaves a copy that
    // is neither the old file nor the new one.
    ok = ok && SourceUnchanged(source, written);
    // A new file has the archive attribute already; only the others cost a call.
    if (ok && (info.FileAttributes & kKeptAttributes & ~FILE_ATTRIBUTE_ARCHIVE) &&
        !::SetFileAttributesW(Wide(m_csTemp).c_str(), info.FileAttributes & kKeptAttributes))
        ok = FailTarget(::GetLastError());
    ok = ok && PutInPlace(target, hasOld, olderPath);
    if (!ok && !m_csTemp.empty()) {
        ::SetFileAttributesW(Wide(m_csTemp).c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!::DeleteFileW(Wide(m_csTemp).c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND)
            m_csLeftBehind = m_csTemp;
    }
    return ok;
}

bool VerifiedCopy::Fail(DWORD error) {
    m_csReason = ReasonFor(error);
    return false;
}

bool VerifiedCopy::FailTarget(DWORD error) {
    m_nTargetError = error;
    return Fail(error);
}

bool VerifiedCopy::Fail(const std::string& reason) {
    m_csReason = reason;
    return false;
}

bool VerifiedCopy::Stop() {
    m_bStopped = true;
    m_csReason = "De back-up is gestopt.";
    return false;
}

UniqueFile VerifiedCopy::CreateTemp(const std::string& folder) {
    // DELETE access: an end of the session in the middle removes it.
    std::string name;
    UniqueFile file = CreateTempFile(Wide(folder), &name);
    if (!file) {
        FailTarget(::GetLastError());
        m_csTemp.clear();
        return file;
    }
    m_csTemp = folder + name;
    return file;
}

// Reads the source once: its bytes go into the hash while the chunk
// before is written to the copy and the next one read.
bool VerifiedCopy::Copy(HANDLE in, HANDLE out, const std::string& relative) {
    if (!m_sha.Begin()) return Fail(ERROR_NOT_SUPPORTED);
    CChunkReader copy(in, ChunkCache::Use, out, g_pfnBackupWrite);
    ChunkView chunk;
    while (copy.Next(&chunk)) {
        m_sha.Add(chunk.data, chunk.size);
        if (m_pContent) m_pContent->Feed(chunk.data, chunk.size);
        m_nCopied += static_cast<int64_t>(chunk.size);
        if (m_progress && !m_progress(relative, m_nDoneBefore + m_nCopied)) return Stop();
    }
    if (!copy.FinishWrites()) return copy.WriteError() ? FailTarget(copy.WriteError()) : Fail(copy.ReadError());
    m_csHash = m_sha.Finish();
    return !m_csHash.empty() || Fail(ERROR_NOT_SUPPORTED);
}

bool VerifiedCopy::ReadBack(const std::string& relative) {
    int64_t size = 0;
    std::string hash;
    DWORD error = ERROR_SUCCESS;
    const auto step = [&](int64_t) { return !m_progress || m_progress(relative, m_nDoneBefore + m_nCopied); };
    if (HashFromDisk(m_csTemp, m_sha, size, hash, error, step) != DiskRead::Ok)
        return error == ERROR_CANCELLED ? Stop() : FailTarget(error);
    if (size != m_nCopied || hash != m_csHash)
        return Fail(std::string("De kopie is bij het teruglezen niet gelijk aan het origineel."));
    return true;
}

// The older copy first moves aside (a rename on the same drive), then
// the new one takes its place; should the second step fail, the older
// copy comes back.
bool VerifiedCopy::PutInPlace(const std::string& target, bool hasOld, const std::string& olderPath) {
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
    if (g_pfnBackupRename(Wide(m_csTemp).c_str(), Wide(target).c_str())) return true;
    const DWORD error = ::GetLastError();
    if (m_bMovedOld && ::MoveFileExW(Wide(olderPath).c_str(), Wide(target).c_str(), 0))
        m_bMovedOld = false;
    return FailTarget(error);
}

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

}  // namespace backup
