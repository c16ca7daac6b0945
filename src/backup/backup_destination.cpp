#include "backup/backup_destination.h"

#include <cwchar>

#include "backup/backup_disk.h"
#include "backup/backup_identity.h"
#include "backup/backup_listing.h"
#include "backup/backup_record_file.h"
#include "backup/destination_memo.h"
#include "common/text.h"
#include "common/wide_text.h"
#include "common/win_raii.h"
#include "files/free_space.h"
#include "files/temp_name.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "backup/backup_folder_choice.h"

namespace backup {

namespace {
// The free-space query takes code-page text: a folder it cannot name is
// asked about by its drive.
std::string SpaceFolder(const std::string& folder) {
    const std::string shown = Shown(folder);
    if (shown.find('?') != std::string::npos && folder.size() >= 3 && folder[1] == ':') return folder.substr(0, 3);
    return shown;
}
}  // namespace

bool DestinationAllowed(const std::string& folder, const std::string& showFolder, const std::string& root,
                        HWND owner) {
    switch (DestinationProblemOnDisk(folder, showFolder, root)) {
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

namespace {
// Writing is tried for real: a read-only stick or share says so only then.
// ERROR_SUCCESS, or why root cannot be written; madeRoot: root was made
// now. A back-up that is already whole is not written to at all (writes
// false); should its record need writing after all, that failure is told
// on its own.
DWORD ProbeWriting(const std::string& root, const BackupPlan& plan, bool& madeRoot, bool& writes) {
    madeRoot = ::CreateDirectoryW(Wide(root).c_str(), nullptr) != FALSE;
    const DWORD rootError = madeRoot ? ERROR_SUCCESS : ::GetLastError();
    DWORD probeError = rootError == ERROR_ALREADY_EXISTS ? ERROR_SUCCESS : rootError;
    if (probeError == ERROR_SUCCESS && !IsFolder(root)) probeError = ERROR_DIRECTORY;
    writes = madeRoot || plan.copyCount > 0 || !plan.folders.empty();
    for (uint32_t n = 0; writes && probeError == ERROR_SUCCESS && n < 10; ++n) {
        UniqueFile probe(::CreateFileW(Wide(root + TempFileName(n)).c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (probe) break;
        probeError = ::GetLastError();
        // A name left by an earlier run: try the next.
        if (probeError == ERROR_FILE_EXISTS) probeError = ERROR_SUCCESS;
    }
    return probeError;
}

// In a run over many shows, a show that writes nothing (its back-up is
// whole) takes the free space asked for the last such show; any show that
// writes asks anew, and so does the next one after it.
bool FreeSpaceFor(const std::string& folder, bool writes, uint64_t& freeBytes, unsigned long& error) {
    CDestinationMemo* memo = CDestinationMemo::For(folder);
    if (memo && writes) memo->freeBytes.reset();
    if (memo && memo->freeBytes) {
        freeBytes = *memo->freeBytes;
        return true;
    }
    if (!g_pfnFreeSpace(SpaceFolder(folder), &freeBytes, &error)) return false;
    if (memo && !writes) memo->freeBytes = freeBytes;
    return true;
}

std::string NoRoomText(uint64_t needed, uint64_t freeBytes, const BackupPlan& plan) {
    // Two sizes that read alike in MB get their bytes too.
    std::string need = FormatSize(static_cast<int64_t>(needed)), have = FormatSize(static_cast<int64_t>(freeBytes));
    if (need == have) {
        need += " (" + FormatThousands(static_cast<int64_t>(needed)) + " bytes)";
        have += " (" + FormatThousands(static_cast<int64_t>(freeBytes)) + " bytes)";
    }
    const std::string files = FormatSize(plan.copyBytes);
    const std::string why =
        files == FormatSize(plan.roomNeeded)
            ? std::string()
            : " De bestanden zijn samen " + files + " groot, maar op deze schijf krijgt elk bestand ruimte in "
              "hele blokken van " + FormatSize(static_cast<int64_t>(plan.clusterBytes)) +
              ", en elke map en elke naam neemt ook wat ruimte in.";
    return "Er is onvoldoende vrije ruimte op de doelschijf.\n\nNodig: " + need +
           ", voor de te kopiëren bestanden en 1 MB extra." + why + "\nVrij: " + have +
           ".\n\nMaak ruimte vrij op de doelschijf of kies een andere doelmap (bijvoorbeeld op een "
           "grotere USB-stick), en klik dan opnieuw op Starten.";
}

// A back-up on the show's own disk is lost with it: only when the user
// says so.
bool MayUseShowsDisk(const std::string& showFolder, HWND owner) {
    const std::string drive =
        showFolder.size() >= 2 && showFolder[1] == ':' ? " (" + showFolder.substr(0, 2) + ")" : std::string();
    const std::string question =
        "De doelmap staat op dezelfde schijf als de show" + drive +
        ".\n\nEen back-up op dezelfde schijf gaat samen met die schijf verloren als de schijf defect raakt. "
        "Kies bij voorkeur een andere schijf, zoals een USB-stick.\n\nWilt u toch een back-up op deze schijf "
        "maken?";
    return AskMessage(owner, question, ProgramTitle(), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}
}  // namespace

BackupRefusal DestinationWritableWithRoom(const std::string& folder, const std::string& showFolder,
                                          const std::string& root, const BackupPlan& plan, HWND owner) {
    bool madeRoot = false, writes = false;
    const DWORD probeError = ProbeWriting(root, plan, madeRoot, writes);
    const auto refuse = [&](const std::string& why, const std::string& text,
                            BackupRefusal refusal = BackupRefusal::Destination) {
        if (madeRoot) ::RemoveDirectoryW(Wide(root).c_str());
        Refuse(why, text, owner);
        return refusal;
    };
    if (probeError != ERROR_SUCCESS)
        return refuse("doelmap niet beschrijfbaar",
                      "In de doelmap kan niet worden geschreven:\n" + Shown(root) + "\n\n" + ReasonFor(probeError));
    uint64_t freeBytes = 0;
    unsigned long error = 0;
    if (!FreeSpaceFor(folder, writes, freeBytes, error))
        return refuse("vrije ruimte onbekend", "De vrije ruimte op de doelschijf kan niet worden bepaald:\n" +
                                                   Shown(folder) + "\n\n" + ReasonFor(error),
                      BackupRefusal::Later);
    // As the destination counts it: a stick of 32 KB clusters holds ten
    // thousand files of 1 KB in 320 MB, not in 10 MB.
    const uint64_t needed = static_cast<uint64_t>(plan.roomNeeded) + static_cast<uint64_t>(kFreeSpaceMargin);
    if (freeBytes < needed)
        return refuse("onvoldoende ruimte", NoRoomText(needed, freeBytes, plan), BackupRefusal::Later);
    if (SameVolume(folder, showFolder) && !MayUseShowsDisk(showFolder, owner)) {
        if (madeRoot) ::RemoveDirectoryW(Wide(root).c_str());
        LogValue("geweigerd", "zelfde schijf");
        return BackupRefusal::Destination;
    }
    return BackupRefusal::None;
}

}  // namespace backup

using namespace backup;

BackupVolume QueryBackupVolume(const std::string& folder, std::string* fileSystemName) {
    CDestinationMemo* memo = fileSystemName ? nullptr : CDestinationMemo::For(folder);
    if (memo && memo->volume) return *memo->volume;
    std::wstring volume(folder.size() + 8, L'\0');
    wchar_t name[MAX_PATH + 1] = {};
    const std::wstring path = WideFromUtf8(folder);
    const bool found =
        !path.empty() && ::GetVolumePathNameW(path.c_str(), &volume[0], static_cast<DWORD>(volume.size()));
    if (!found ||
        !::GetVolumeInformationW(volume.c_str(), nullptr, 0, nullptr, nullptr, nullptr, name, MAX_PATH + 1))
        name[0] = L'\0';
    const std::string text = Utf8FromWide(name, std::wcslen(name));
    if (fileSystemName) *fileSystemName = text;
    BackupVolume kept = VolumeFromFileSystem(text);
    uint64_t cluster = 0;
    if (found && g_pfnClusterSize(volume.c_str(), &cluster)) kept.clusterBytes = cluster;
    if (memo && found) memo->volume = kept;
    return kept;
}

DestinationProblem DestinationProblemOnDisk(const std::string& destination, const std::string& showFolder,
                                            const std::string& backupRoot) {
    const DestinationProblem problem = DestinationProblemBySpelling(destination, showFolder);
    if (problem != DestinationProblem::None) return problem;
    const std::vector<std::string> folderNames = NamesOf(destination), showNames = NamesOf(showFolder);
    // The back-up folder is a folder of the destination: its names are the
    // destination's.
    const std::vector<std::string> rootNames =
        IsFolder(backupRoot) ? NamesBelow(backupRoot, folderNames) : std::vector<std::string>();
    for (const std::string& show : showNames) {
        for (const std::string& folder : folderNames)
            if (Within(folder, show)) return DestinationProblem::InsideShow;
        for (const std::string& root : rootNames)
            if (Within(show, root)) return DestinationProblem::ShowInside;
    }
    if (AtOrBelow(folderNames, showFolder, true, &showNames)) return DestinationProblem::InsideShow;
    if (!rootNames.empty() && AtOrBelow(showNames, backupRoot, false)) return DestinationProblem::ShowInside;
    return DestinationProblem::None;
}

std::string BackupFolderFor(const std::string& destination, const std::string& showFolder,
                            BackupFolderChoice* choice) {
    const BackupFolderChoice chosen = FindBackupFolder(destination, showFolder);
    if (choice) *choice = chosen;
    return BackupRoot(destination, showFolder, chosen.name);
}

BackupFolderChoice FindBackupFolder(const std::string& destination, const std::string& showFolder,
                                    RecordOnDisk* lastRead) {
    const std::string folder = WithBackslash(NormalizeFolder(destination));
    return ChooseBackupFolder(ShowFolderName(showFolder), showFolder, [&](const std::string& name) {
        BackupFolderState state;
        RecordOnDisk read = ReadRecordAt(folder + name + "\\");
        // A damaged record that names no show claims the folder for none.
        if (read.found && !read.record.showFolder.empty()) {
            state.recordShow = read.record.showFolder;
            state.recordShowIsThis = !SameFolderText(read.record.showFolder, showFolder) &&
                                     RecordedShowIsThis(read.record.showFolder, showFolder);
        } else {
            // What is in a folder matters only when no record claims it.
            state.folderExists = IsFolder(folder + name);
            if (state.folderExists) state.folderEmpty = FolderIsEmpty(folder + name);
        }
        if (lastRead) *lastRead = std::move(read);
        return state;
    });
}
