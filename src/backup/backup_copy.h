// The verified copy of one file and the reading of a file from the disk
// itself: each copy is written under a temporary name, hashed while
// written, read back from the disk and compared, and only then put in
// place, an older copy it replaces moved to the older versions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "common/win_raii.h"

class CContentCheck;
class CSha256;

// Told the file being copied (relative path, or empty between files) and
// the bytes copied so far in this run; false stops the run.
using BackupProgressFn = std::function<bool(const std::string& relative, int64_t bytesDone)>;

// Writes to a copy; tests replace it to make the destination fill up, go
// away or lose what was written.
using BackupWriteFn = bool (*)(void* file, const void* data, unsigned long size, unsigned long* written);
extern BackupWriteFn g_pfnBackupWrite;
bool WriteBackupFile(void* file, const void* data, unsigned long size, unsigned long* written);

// Puts a verified copy in place of its target (long-path names); tests
// replace it to make that last step fail.
using BackupRenameFn = bool (*)(const wchar_t* from, const wchar_t* to);
extern BackupRenameFn g_pfnBackupRename;
bool RenameBackupFile(const wchar_t* from, const wchar_t* to);

namespace backup {

enum class DiskRead { Ok, Missing, Failed };

// The file's bytes as the disk holds them: read without the system's
// cache, so a copy that never reached the disk is not read from memory,
// and hashed while the next chunk is read. step is told the bytes read so
// far; false stops (error ERROR_CANCELLED). content, when given, is fed
// the same bytes: no second read to judge them.
DiskRead HashFromDisk(const std::string& path, CSha256& sha, int64_t& size, std::string& hash, DWORD& error,
                      const std::function<bool(int64_t)>& step = nullptr, CContentCheck* content = nullptr);

// One copy under a temporary name beside its target. Either the target
// is the verified new copy afterwards (its older copy moved to olderPath),
// or it is as it was and the temporary file is gone.
class VerifiedCopy {
public:
    VerifiedCopy(CSha256& sha, const BackupProgressFn& progress, int64_t doneBefore)
        : m_sha(sha), m_progress(progress), m_nDoneBefore(doneBefore) {}

    bool Run(const std::string& source, const std::string& target, const std::string& relative, bool hasOld,
             const std::string& olderPath);
    // Also fed the source's bytes as they are hashed: no extra read.
    void CheckContents(CContentCheck* content) { m_pContent = content; }

    int64_t Copied() const { return m_nCopied; }
    bool Stopped() const { return m_bStopped; }
    const std::string& Reason() const { return m_csReason; }
    const std::string& Hash() const { return m_csHash; }
    bool MovedOld() const { return m_bMovedOld; }
    // The temporary file could not be removed (its drive went away): its
    // name, to be removed once the drive is back; empty otherwise.
    const std::string& LeftBehind() const { return m_csLeftBehind; }
    // The error came from the destination's side (writing, not reading).
    bool TargetError(DWORD* error) const {
        *error = m_nTargetError;
        return m_nTargetError != ERROR_SUCCESS;
    }

private:
    bool Fail(DWORD error);
    bool FailTarget(DWORD error);
    bool Fail(const std::string& reason);
    bool Stop();
    UniqueFile CreateTemp(const std::string& folder);
    bool Copy(HANDLE in, HANDLE out, const std::string& relative);
    bool ReadBack(const std::string& relative);
    bool PutInPlace(const std::string& target, bool hasOld, const std::string& olderPath);

    CSha256& m_sha;
    CContentCheck* m_pContent = nullptr;
    const BackupProgressFn& m_progress;
    int64_t m_nDoneBefore;
    int64_t m_nCopied = 0;
    bool m_bStopped = false;
    bool m_bMovedOld = false;
    DWORD m_nTargetError = ERROR_SUCCESS;
    std::string m_csTemp;
    std::string m_csLeftBehind;
    std::string m_csReason;
    std::string m_csHash;
};

// "E:\Back-ups\Demo oudere versies\2026-12-08 09.30\": a folder of this
// run's own, made when the first older copy moves into it.
std::string OlderVersionsFolder(const std::string& folder, const std::string& name);

}  // namespace backup
