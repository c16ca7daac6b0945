#include "backup/backup_run.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <new>

#include "files/file_helpers.h"
#include "files/path_split.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "common/partial_file.h"
#include "common/res_string.h"
#include "common/system_error.h"
#include "common/text.h"
#include "common/win_raii.h"
#include "repair/free_space.h"
#include "repair/yellow_repair.h"
#include "resource.h"

namespace {
// Large enough that a big sound file takes few calls, small enough that a
// stop is answered at once.
constexpr DWORD kChunkBytes = 1 << 20;
// The attributes a copy takes over from its source.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

uint64_t Ticks(const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

bool ListFolder(const std::string& root, const std::string& relative, std::vector<BackupEntry>& entries,
                std::vector<std::string>* links, const std::function<bool()>& pump) {
    const std::string folder = root + relative;
    WIN32_FIND_DATAA data;
    UniqueFind find(::FindFirstFileA((folder + "*").c_str(), &data));
    if (!find) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    std::vector<std::string> subfolders;
    do {
        if (IsDotEntry(data.cFileName)) continue;
        BackupEntry entry;
        entry.relative = relative + data.cFileName;
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
    } while (::FindNextFileA(find.get(), &data));
    find.reset();
    if (pump && !pump()) return false;
    for (const std::string& sub : subfolders)
        if (!ListFolder(root, sub, entries, links, pump)) return false;
    return true;
}

std::string ReasonFor(DWORD error) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return "Het bestand is in gebruik door een ander programma.";
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) return "De doelschijf is vol.";
    return SystemErrorText(error);
}

// Why a file was refused before copying, for the message and the log.
std::string RefusalReason(BackupAction action, const BackupVolume& volume) {
    switch (action) {
    case BackupAction::TooLong:
        return "Het pad is langer dan " + std::to_string(kBackupMaxPath) + " tekens.";
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
    ShowMessage((heading.empty() ? LoadResString(IDS_BACKUP_FILE_FAILED) : heading) + source + "\n\n" + reason,
                owner);
}

// One copy under a temporary name beside its target. Either the target
// is the verified new copy afterwards, or it is as it was and the
// temporary file is gone.
class VerifiedCopy {
public:
    VerifiedCopy(char* buffer, char* check, const BackupProgressFn& progress, int64_t doneBefore)
        : m_pBuffer(buffer), m_pCheck(check), m_progress(progress), m_nDoneBefore(doneBefore) {}

    bool Run(const std::string& source, const std::string& target, const std::string& relative) {
        UniqueFile in(::CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!in) return Fail(::GetLastError());
        BY_HANDLE_FILE_INFORMATION info{};
        if (!::GetFileInformationByHandle(in.get(), &info)) return Fail(::GetLastError());

        UniqueFile out = CreateTemp(FolderPathOf(target));
        if (!out) return false;
        bool ok = false;
        {
            ScopedPartialFile partial(out.get());
            ok = Copy(in.get(), out.get(), relative) && Verify(in.get(), out.get(), relative);
            if (ok && !::SetFileTime(out.get(), nullptr, nullptr, &info.ftLastWriteTime)) ok = Fail(::GetLastError());
            if (ok && !::FlushFileBuffers(out.get())) ok = Fail(::GetLastError());
        }
        out.reset();
        in.reset();
        if (ok) ok = PutInPlace(target, info.dwFileAttributes & kKeptAttributes);
        if (!ok) ::DeleteFileA(m_csTemp.c_str());
        return ok;
    }

    int64_t Copied() const { return m_nCopied; }
    bool Stopped() const { return m_bStopped; }
    const std::string& Reason() const { return m_csReason; }

private:
    bool Fail(DWORD error) {
        m_csReason = ReasonFor(error);
        return false;
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

    static std::string FolderPathOf(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

    UniqueFile CreateTemp(const std::string& folder) {
        static uint32_t s_number = ::GetTickCount();
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_csTemp = folder + BackupTempName(++s_number);
            // DELETE access: an end of the session in the middle removes it.
            UniqueFile file(::CreateFileA(m_csTemp.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
            if (file) return file;
            const DWORD error = ::GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
                m_csTemp.clear();
                Fail(error);
                return UniqueFile();
            }
        }
        m_csTemp.clear();
        Fail(ERROR_FILE_EXISTS);
        return UniqueFile();
    }

    bool Copy(HANDLE in, HANDLE out, const std::string& relative) {
        for (;;) {
            DWORD got = 0;
            if (!::ReadFile(in, m_pBuffer, kChunkBytes, &got, nullptr)) return Fail(::GetLastError());
            if (got == 0) return true;
            unsigned long put = 0;
            if (!g_pfnBackupWrite(out, m_pBuffer, got, &put)) return Fail(::GetLastError());
            if (put != got) return Fail(ERROR_DISK_FULL);
            m_nCopied += got;
            if (m_progress && !m_progress(relative, m_nDoneBefore + m_nCopied)) return Stop();
        }
    }

    // Both files read again from their start and compared byte for byte.
    bool Verify(HANDLE in, HANDLE out, const std::string& relative) {
        LARGE_INTEGER zero{};
        if (!::SetFilePointerEx(in, zero, nullptr, FILE_BEGIN) || !::SetFilePointerEx(out, zero, nullptr, FILE_BEGIN))
            return Fail(::GetLastError());
        int64_t compared = 0;
        for (;;) {
            DWORD got = 0, back = 0;
            if (!::ReadFile(in, m_pBuffer, kChunkBytes, &got, nullptr)) return Fail(::GetLastError());
            if (!::ReadFile(out, m_pCheck, kChunkBytes, &back, nullptr)) return Fail(::GetLastError());
            if (got != back || std::memcmp(m_pBuffer, m_pCheck, got) != 0)
                return Fail(std::string("De kopie is bij het teruglezen niet gelijk aan het origineel."));
            if (got == 0) break;
            compared += got;
            if (m_progress && !m_progress(relative, m_nDoneBefore + m_nCopied)) return Stop();
        }
        return compared == m_nCopied || Fail(std::string("Het bestand veranderde tijdens het kopiëren."));
    }

    // Replaces the old copy in one step. A read-only old copy is made
    // writable for the replace and read-only again when it fails.
    bool PutInPlace(const std::string& target, DWORD attributes) {
        if (attributes != 0 && !::SetFileAttributesA(m_csTemp.c_str(), attributes)) return Fail(::GetLastError());
        const DWORD old = ::GetFileAttributesA(target.c_str());
        const bool oldReadOnly = old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY);
        if (oldReadOnly) ::SetFileAttributesA(target.c_str(), old & ~FILE_ATTRIBUTE_READONLY);
        // The data is on the disk already; should the rename itself be lost
        // with the power, the old copy stays beside a temporary file.
        if (::MoveFileExA(m_csTemp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
        const DWORD error = ::GetLastError();
        if (oldReadOnly) ::SetFileAttributesA(target.c_str(), old);
        ::SetFileAttributesA(m_csTemp.c_str(), FILE_ATTRIBUTE_NORMAL);
        return Fail(error);
    }

    char* m_pBuffer;
    char* m_pCheck;
    const BackupProgressFn& m_progress;
    int64_t m_nDoneBefore;
    int64_t m_nCopied = 0;
    bool m_bStopped = false;
    std::string m_csTemp;
    std::string m_csReason;
};

}  // namespace

bool WriteBackupFile(void* file, const void* data, unsigned long size, unsigned long* written) {
    DWORD put = 0;
    const bool ok = ::WriteFile(static_cast<HANDLE>(file), data, size, &put, nullptr) != FALSE;
    *written = put;
    return ok;
}

BackupWriteFn g_pfnBackupWrite = &WriteBackupFile;

bool ListBackupTree(const std::string& root, std::vector<BackupEntry>& entries, std::vector<std::string>* links,
                    const std::function<bool()>& pump) {
    return ListFolder(root, std::string(), entries, links, pump);
}

BackupVolume QueryBackupVolume(const std::string& folder, std::string* fileSystemName) {
    char volume[MAX_PATH + 1] = {};
    char name[MAX_PATH + 1] = {};
    if (folder.size() > kBackupMaxPath || !::GetVolumePathNameA(folder.c_str(), volume, sizeof volume) ||
        !::GetVolumeInformationA(volume, nullptr, 0, nullptr, nullptr, nullptr, name, sizeof name))
        name[0] = '\0';
    if (fileSystemName) *fileSystemName = name;
    return VolumeFromFileSystem(name);
}

namespace {
bool Refuse(const std::string& why, const std::string& text, HWND owner) {
    LogValue("geweigerd", why);
    ShowMessage(text, owner);
    return false;
}
}  // namespace

bool DestinationUsable(const std::string& destination, const std::string& showFolder, HWND owner) {
    const std::string folder = NormalizeFolder(destination);
    switch (CheckDestination(folder, showFolder)) {
    case DestinationProblem::None:
        break;
    case DestinationProblem::Empty:
        return Refuse("geen doelmap", "Kies eerst een doelmap voor de back-up.", owner);
    case DestinationProblem::TooLong:
        return Refuse("pad te lang",
                      "Het pad van de doelmap is te lang (meer dan " + std::to_string(kBackupMaxPath) + " tekens):\n" +
                          folder + "\n\nKies een doelmap met een korter pad.",
                      owner);
    case DestinationProblem::InsideShow:
        return Refuse("doelmap in de show",
                      "De doelmap ligt in de map van de show:\n" + folder +
                          "\n\nEen back-up moet buiten de map van de show staan. Kies een andere doelmap, bij "
                          "voorkeur op een andere schijf.",
                      owner);
    case DestinationProblem::ShowInside:
        return Refuse("show in de back-up",
                      "In deze doelmap zou de back-up op de plaats van de show zelf komen:\n" +
                          BackupRoot(folder, showFolder) + "\n\nKies een andere doelmap.",
                      owner);
    case DestinationProblem::ShowAtRoot:
        return Refuse("show in hoofdmap",
                      "De show staat in de hoofdmap van een schijf (" + showFolder +
                          "). Zekerpad maakt alleen een back-up van een show die in een eigen map staat.",
                      owner);
    }
    if (!FolderExists(folder))
        return Refuse("doelmap bestaat niet",
                      "De doelmap bestaat niet:\n" + folder + "\n\nKies een bestaande map, of maak de map eerst aan.",
                      owner);
    return true;
}

bool AcceptDestination(const std::string& destination, const std::string& showFolder, const BackupPlan& plan,
                       HWND owner) {
    const std::string folder = NormalizeFolder(destination);
    // Writing is tried for real: a read-only stick or share says so only then.
    const std::string root = BackupRoot(folder, showFolder);
    const bool madeRoot = ::CreateDirectoryA(root.c_str(), nullptr) != FALSE;
    const DWORD rootError = madeRoot ? ERROR_SUCCESS : ::GetLastError();
    DWORD probeError = rootError == ERROR_ALREADY_EXISTS ? ERROR_SUCCESS : rootError;
    if (probeError == ERROR_SUCCESS && !FolderExists(root)) probeError = ERROR_DIRECTORY;
    for (uint32_t n = 0; probeError == ERROR_SUCCESS && n < 10; ++n) {
        UniqueFile probe(::CreateFileA((root + BackupTempName(n)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (probe) break;
        probeError = ::GetLastError();
        // A name left by an earlier run: try the next.
        if (probeError == ERROR_FILE_EXISTS) probeError = ERROR_SUCCESS;
    }
    const auto refuse = [&](const std::string& why, const std::string& text) {
        if (madeRoot) ::RemoveDirectoryA(root.c_str());
        return Refuse(why, text, owner);
    };
    if (probeError != ERROR_SUCCESS)
        return refuse("doelmap niet beschrijfbaar",
                      "In de doelmap kan niet worden geschreven:\n" + root + "\n\n" + ReasonFor(probeError));

    uint64_t freeBytes = 0;
    unsigned long error = 0;
    if (!g_pfnFreeSpace(folder, &freeBytes, &error))
        return refuse("vrije ruimte onbekend",
                      "De vrije ruimte op de doelschijf kan niet worden bepaald:\n" + folder + "\n\n" + ReasonFor(error));
    const uint64_t needed = static_cast<uint64_t>(plan.copyBytes) + static_cast<uint64_t>(kFreeSpaceMargin);
    if (freeBytes < needed)
        return refuse("onvoldoende ruimte",
                      "Er is onvoldoende vrije ruimte op de doelschijf.\n\nNodig: " +
                          FormatThousands(static_cast<int64_t>(needed)) +
                          " bytes (de te kopiëren bestanden en 1 MB extra).\nVrij: " +
                          FormatThousands(static_cast<int64_t>(freeBytes)) + " bytes.");

    if (SameDrive(folder, showFolder)) {
        const std::string question =
            "De doelmap staat op dezelfde schijf als de show (" + folder.substr(0, 2) +
            ").\n\nEen back-up op dezelfde schijf gaat samen met die schijf verloren als de schijf defect raakt. "
            "Kies bij voorkeur een andere schijf, zoals een USB-stick.\n\nWilt u toch een back-up op deze schijf "
            "maken?";
        if (AskMessage(owner, question, ProgramTitle(), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
            if (madeRoot) ::RemoveDirectoryA(root.c_str());
            LogValue("geweigerd", "zelfde schijf");
            return false;
        }
    }
    return true;
}

BackupOutcome RunBackup(const std::vector<BackupEntry>& source, const BackupPlan& plan, const std::string& sourceRoot,
                        const std::string& targetRoot, const BackupProgressFn& progress, HWND owner) {
    BackupOutcome outcome;
    CLogBatch log;
    const BackupVolume volume = QueryBackupVolume(targetRoot);

    for (const std::string& folder : plan.folders) {
        const std::string path = targetRoot + folder;
        if (::CreateDirectoryA(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS) continue;
        // Its files fail one by one when they find no folder to go into.
        log.Value("map", path);
        log.Value("fout", ReasonFor(::GetLastError()));
    }

    std::unique_ptr<char[]> buffer(new (std::nothrow) char[2 * static_cast<size_t>(kChunkBytes)]);
    for (const PlannedFile& file : plan.files) {
        log.FlushIfDue();
        const BackupEntry& entry = source[file.source];
        const std::string from = sourceRoot + entry.relative;
        const std::string to = targetRoot + entry.relative;
        if (file.action == BackupAction::Unchanged) {
            log.Value("ongewijzigd", from);
            ++outcome.unchanged;
            continue;
        }
        log.Value("bron", from);
        log.Value("doel", to);
        if (file.action != BackupAction::Copy) {
            ReportFailure(log, from, RefusalReason(file.action, volume), owner);
            ++outcome.failed;
            continue;
        }
        if (!buffer) {
            ReportFailure(log, from, SystemErrorText(ERROR_NOT_ENOUGH_MEMORY), owner);
            ++outcome.failed;
            continue;
        }
        if (progress && !progress(entry.relative, outcome.copiedBytes)) {
            log.Value("fout", "gestopt");
            outcome.stopped = true;
            break;
        }
        VerifiedCopy copy(buffer.get(), buffer.get() + kChunkBytes, progress, outcome.copiedBytes);
        if (copy.Run(from, to, entry.relative)) {
            log.Value(" ", "kopie OK");
            ++outcome.copied;
            outcome.copiedBytes += copy.Copied();
        } else if (copy.Stopped()) {
            log.Value("fout", "gestopt");
            outcome.stopped = true;
            break;
        } else {
            ReportFailure(log, from, copy.Reason(), owner);
            ++outcome.failed;
        }
    }
    log.Flush();
    if (progress) progress(std::string(), outcome.copiedBytes);
    return outcome;
}

BackupResult MakeBackup(const std::string& showFolder, const std::string& destination,
                        const BackupProgressFn& progress, HWND owner, BackupOutcome* outcome,
                        const std::function<void(int64_t copyBytes)>& planned) {
    *outcome = BackupOutcome();
    const std::string folder = NormalizeFolder(destination);
    LogLine("Start back-up");
    LogValue("bron", showFolder);
    LogValue("doel", folder);
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
    if (!DestinationUsable(folder, showFolder, owner)) return end(BackupResult::Refused);

    const auto pump = [&] { return !progress || progress(std::string(), 0); };
    std::vector<BackupEntry> source, target;
    std::vector<std::string> links;
    if (!ListBackupTree(showFolder, source, &links, pump)) {
        if (!pump()) {
            outcome->stopped = true;
            return end(BackupResult::Ran);
        }
        Refuse("show niet leesbaar", "De map van de show kan niet worden gelezen:\n" + showFolder, owner);
        return end(BackupResult::Refused);
    }
    const std::string root = BackupRoot(folder, showFolder);
    if (FolderExists(root) && !ListBackupTree(root, target, nullptr, pump)) {
        if (!pump()) {
            outcome->stopped = true;
            return end(BackupResult::Ran);
        }
        Refuse("back-up niet leesbaar", "De bestaande back-up kan niet worden gelezen:\n" + root, owner);
        return end(BackupResult::Refused);
    }
    const BackupPlan plan = PlanBackup(source, target, showFolder, root, QueryBackupVolume(folder));
    if (!AcceptDestination(folder, showFolder, plan, owner)) return end(BackupResult::Refused);
    if (planned) planned(plan.copyBytes);

    *outcome = RunBackup(source, plan, showFolder, root, progress, owner);
    CLogBatch log;
    for (const std::string& link : links) {
        if (outcome->stopped) break;
        log.Value("bron", showFolder + link);
        ReportFailure(log, showFolder + link,
                      "Deze map verwijst naar een andere plaats (een koppeling) en wordt niet gekopieerd.", owner,
                      "De volgende map is niet in de back-up gekomen:\n");
        ++outcome->failed;
    }
    return end(BackupResult::Ran);
}
