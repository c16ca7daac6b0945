#include "files/file_helpers.h"

#include <windows.h>
#include <direct.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

#include "files/file_system.h"
#include "files/path_split.h"
#include "common/partial_file.h"
#include "common/wide_text.h"
#include "common/win_raii.h"

namespace {
// What the system says the open handle is: only a file on a disk counts,
// not a device ("nul.wav" opens NUL), a pipe or a console. A folder does
// not open without FILE_FLAG_BACKUP_SEMANTICS.
bool IsDiskFile(HANDLE file) { return ::GetFileType(file) == FILE_TYPE_DISK; }
}  // namespace

bool FileExists(const std::string& path) {
    // A device's name opens the device in every folder; no need to ask.
    if (path.empty() || NamesDevice(path)) return false;
    // The sharing of the runtime library's plain open for reading.
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && IsDiskFile(file.get());
}

bool FilePresent(const std::string& path) {
    if (path.empty() || NamesDevice(path)) return false;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    // Opened for its attributes only, which no other program's lock
    // refuses; when even that fails, the attributes have said enough.
    UniqueFile file(::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file || IsDiskFile(file.get());
}

uint32_t SystemReadOpenError(const std::string& path) {
    UniqueFile probe(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return probe ? 0u : static_cast<uint32_t>(::GetLastError());
}

ReadOpenErrorFn g_pfnReadOpenError = SystemReadOpenError;

uint32_t ReadOpenError(const std::string& path) { return g_pfnReadOpenError(path); }

int64_t ExclusiveFileLength(const std::string& path) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size)) return -1;
    return size.QuadPart;
}

std::string CodePagePathOf(const std::wstring& path) {
    std::string text;
    if (CodePageFromWideExact(path.data(), path.size(), &text)) return text;
    std::wstring shortName(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetShortPathNameW(path.c_str(), &shortName[0], static_cast<DWORD>(shortName.size()));
        if (n == 0) return std::string();
        if (n < shortName.size()) {
            shortName.resize(n);
            break;
        }
        shortName.resize(n);  // n counts the terminator when the buffer was short
    }
    return CodePageFromWideExact(shortName.data(), shortName.size(), &text) ? text : std::string();
}

std::string FullPathName(const std::string& path) {
    if (path.empty()) return path;
    std::string full(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
        if (n == 0) return path;
        if (n < full.size()) {
            full.resize(n);
            return full;
        }
        full.resize(n);  // n counts the terminator when the buffer was short
    }
}

namespace {
struct FreeDeleter {
    void operator()(char* p) const noexcept { std::free(p); }
};
using CrtString = std::unique_ptr<char, FreeDeleter>;
}  // namespace

bool FolderExists(const std::string& path) {
    if (path.empty() || path.size() > kMaxBuiltPath) return false;

    std::string work = path;
    if (work.size() >= 2 && work.back() == '\\' && work[work.size() - 2] != ':') work.pop_back();
    if (work.back() == ':') work.push_back('\\');
    if (work.size() > kMaxBuiltPath) return false;

    CrtString savedCwd(_getcwd(nullptr, 0));
    if (!savedCwd) return false;

    if (work[0] >= 'a' && work[0] <= 'z') work[0] = static_cast<char>(work[0] - 'a' + 'A');
    const bool hasDrive = work.size() >= 2 && work[1] == ':';
    const int currentDrive = _getdrive();
    int drive = currentDrive;
    if (hasDrive) {
        drive = static_cast<unsigned char>(work[0]) - 64;
        if (drive < 1 || drive > 26) return false;
    }
    // On the current drive its own directory is the saved one: a single
    // change back restores both. Each change of directory is costly, and a
    // search of a drive tests every folder of it this way.
    if (drive == currentDrive) {
        const bool exists = _chdir(work.c_str()) == 0;
        _chdir(savedCwd.get());
        return exists;
    }
    if (_chdrive(drive) != 0) {
        _chdir(savedCwd.get());
        return false;
    }
    CrtString driveCwd(_getdcwd(drive, nullptr, 0));

    const bool exists = _chdir(work.c_str()) == 0;

    if (driveCwd) _chdir(driveCwd.get());
    _chdir(savedCwd.get());
    return exists;
}

bool CopyFileChunked(const std::string& source, const std::string& target, const CopyProgressFn& progress) {
    if (!FileExists(source) || FileExists(target)) return false;

    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kCopyChunkBytes]);
    if (!buffer) return false;

    UniqueFile in(::CreateFileA(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in) return false;
    // Written under a temporary name beside the target and renamed once
    // complete and on the disk: a power cut in the middle leaves no half
    // file under the real name for the next analysis to call present.
    std::string temp;
    UniqueFile out = CreateTempFileIn(target.substr(0, target.rfind('\\') + 1), kMaxBuiltPath, &temp);
    if (!out) return false;

    bool ok = true;
    int64_t copied = 0;
    // A progress bar repainted after every chunk cost more than the copy
    // itself: progress is told after the first chunk, then at most every
    // kCopyProgressMs, and after the last.
    DWORD toldAt = ::GetTickCount() - kCopyProgressMs;
    int64_t told = 0;
    const auto TellProgress = [&](bool last) {
        if (!progress || copied == told) return true;
        const DWORD now = ::GetTickCount();
        if (!last && now - toldAt < kCopyProgressMs) return true;
        toldAt = now;
        told = copied;
        return progress(copied);
    };
    {
        ScopedPartialFile partial(out.get());
        for (;;) {
            DWORD got = 0;
            if (!::ReadFile(in.get(), buffer.get(), static_cast<DWORD>(kCopyChunkBytes), &got, nullptr)) {
                ok = false;
                break;
            }
            if (got == 0) break;  // a short read is not the end; only an empty one is
            DWORD put = 0;
            if (!::WriteFile(out.get(), buffer.get(), got, &put, nullptr) || put != got) {
                ok = false;
                break;
            }
            copied += got;
            if (!TellProgress(false)) {
                ok = false;
                break;
            }
        }
        if (ok && !TellProgress(true)) ok = false;
        if (ok) {
            LARGE_INTEGER inSize{}, outSize{};
            ok = ::GetFileSizeEx(in.get(), &inSize) && ::GetFileSizeEx(out.get(), &outSize) &&
                 inSize.QuadPart == outSize.QuadPart && ::FlushFileBuffers(out.get());
        }
    }
    out.reset();
    // No MOVEFILE_REPLACE_EXISTING: even a target that appeared meanwhile
    // is never overwritten.
    if (ok) ok = ::MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!ok) ::DeleteFileA(temp.c_str());
    return ok;
}
