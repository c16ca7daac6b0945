#include "backup/backup_destination.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "backup/backup_disk.h"
#include "backup/backup_listing.h"
#include "backup/backup_record_file.h"
#include "common/text.h"
#include "common/wide_text.h"
#include "common/win_raii.h"
#include "files/file_system.h"
#include "files/free_space.h"
#include "services/msgbox.h"
#include "services/run_log.h"

namespace backup {

namespace {
// What the file system calls a folder: its volume and its number there.
struct FolderId {
    DWORD volume = 0;
    DWORD high = 0, low = 0;
    bool operator==(const FolderId& o) const { return volume == o.volume && high == o.high && low == o.low; }
};

UniqueFile OpenFolder(const std::string& folder) {
    return UniqueFile(::CreateFileW(Wide(WithBackslash(folder)).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

bool FolderIdOf(const std::string& folder, FolderId& id) {
    UniqueFile handle = OpenFolder(folder);
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

// The path the system resolves an open folder to, through a drive letter
// made with subst, a junction or a symbolic link; empty when it cannot say.
std::string FinalPathOf(HANDLE handle, DWORD volumeName) {
    const DWORD flags = FILE_NAME_NORMALIZED | volumeName;
    const DWORD need = ::GetFinalPathNameByHandleW(handle, nullptr, 0, flags);
    if (need == 0) return std::string();
    std::wstring path(need, L'\0');
    const DWORD got = ::GetFinalPathNameByHandleW(handle, &path[0], need, flags);
    if (got == 0 || got >= need) return std::string();
    return Utf8FromWide(path.data(), got);
}

// "C:\Shows" for "\\?\C:\Shows", "\\server\share" for "\\?\UNC\server\share".
std::string WithoutLongPrefix(const std::string& path) {
    if (path.compare(0, 8, "\\\\?\\UNC\\") == 0) return "\\\\" + path.substr(8);
    if (path.compare(0, 4, "\\\\?\\") == 0) return path.substr(4);
    return path;
}

// Every name an existing folder goes by: as it is spelled, as the system
// resolves it, and through every folder its volume is mounted on.
std::vector<std::string> NamesOf(const std::string& folder) {
    std::vector<std::string> names{NormalizeFolder(folder)};
    UniqueFile handle = OpenFolder(folder);
    if (!handle) return names;
    const std::string resolved = WithoutLongPrefix(FinalPathOf(handle.get(), VOLUME_NAME_DOS));
    if (!resolved.empty()) names.push_back(NormalizeFolder(resolved));
    // "\\?\Volume{...}\Shows\Demo": the volume, then the folder on it.
    const std::string onVolume = FinalPathOf(handle.get(), VOLUME_NAME_GUID);
    const size_t brace = onVolume.find("}\\");
    if (brace == std::string::npos) return names;
    const std::wstring volume = WideFromUtf8(onVolume.substr(0, brace + 2));
    DWORD need = 0;
    ::GetVolumePathNamesForVolumeNameW(volume.c_str(), nullptr, 0, &need);
    if (need == 0) return names;
    std::wstring mounts(need, L'\0');
    if (!::GetVolumePathNamesForVolumeNameW(volume.c_str(), &mounts[0], need, &need)) return names;
    for (const wchar_t* m = mounts.c_str(); *m; m += std::wcslen(m) + 1)
        names.push_back(NormalizeFolder(Utf8FromWide(m, std::wcslen(m)) + onVolume.substr(brace + 2)));
    return names;
}

// path is folder or lies below it, by the names as Windows compares them.
bool Within(const std::string& path, const std::string& folder) {
    const std::string key = NameKey(WithBackslash(folder));
    return NameKey(WithBackslash(path)).compare(0, key.size(), key) == 0;
}

// Both folders lie on one volume, whatever drive letters or links name
// them; by their letters when the system cannot say.
bool SameVolume(const std::string& a, const std::string& b) {
    FolderId x, y;
    if (FolderIdOf(a, x) && FolderIdOf(b, y) && x.volume != 0) return x.volume == y.volume;
    return SameDrive(a, b);
}

// A record's show folder that is this show's folder under another name:
// it names the show's folder itself now (another drive letter, a link),
// or it names no folder any more and has the show's path below its drive
// (a USB disk that came back under another letter). A folder that is
// there and is another one is another show.
bool RecordedShowIsThis(const std::string& recorded, const std::string& showFolder) {
    FolderId was, is;
    if (FolderIdOf(recorded, was)) return FolderIdOf(showFolder, is) && was == is;
    return !IsFolder(recorded) && SamePathBelowDrive(recorded, showFolder);
}

// Whether a folder of the show's tree (the show's folder itself too) has
// one of ids; the tree is walked only for this.
class CFindFolderId : public CFolderVisitor {
public:
    explicit CFindFolderId(const std::vector<FolderId>& ids) : m_ids(ids) {}
    bool found = false;
    bool OnFolder(const FolderPlace& folder) override {
        FolderId id;
        if (FolderIdOf(Utf8FromWide(folder.path.data(), folder.path.size()), id))
            found = std::find(m_ids.begin(), m_ids.end(), id) != m_ids.end();
        return !found;
    }
    bool OnEntry(const FolderPlace&, const FolderEntry& entry) override { return entry.isFolder && !entry.isLink; }

private:
    const std::vector<FolderId>& m_ids;
};

// A drive's root that the system knows as the root of a volume of its own:
// opened by the volume's name, it is the same folder. It lies in no other
// folder, except where its volume is mounted, and NamesOf sees those.
bool IsOwnVolumeRoot(const std::string& root, const FolderId& id) {
    wchar_t volume[64] = {};
    FolderId own;
    return ::GetVolumeNameForVolumeMountPointW(WideFromUtf8(root).c_str(), volume, 64) &&
           FolderIdOf(Utf8FromWide(volume, std::wcslen(volume)), own) && own == id;
}

// A drive's root on the way up that may be a folder of the show's tree
// under another name: no volume's own root, and either on the show's
// volume or one the system names only by itself (it cannot say more).
bool MayBeAFolderOf(const std::string& root, const FolderId& id, const FolderId& show) {
    if (IsOwnVolumeRoot(root, id)) return false;
    if (id.volume == show.volume) return true;
    UniqueFile handle = OpenFolder(root);
    return handle &&
           NameKey(WithBackslash(WithoutLongPrefix(FinalPathOf(handle.get(), VOLUME_NAME_DOS)))) == NameKey(root);
}

// path is folder, or lies somewhere below it by some name: each folder on
// path's way up is compared with folder, and (with lookInside) a drive's
// root on the way that may be a folder of folder's tree (a drive letter
// made for it, a share of it) is looked for among folder's own folders.
bool AtOrBelow(const std::vector<std::string>& names, const std::string& folder, bool lookInside) {
    FolderId show;
    if (!FolderIdOf(folder, show)) return false;
    std::vector<FolderId> doors;
    for (const std::string& name : names) {
        for (std::string p = name; !p.empty(); p = ParentFolder(p)) {
            FolderId id;
            if (!FolderIdOf(p, id)) continue;
            if (id == show) return true;
            if (lookInside && ParentFolder(p).empty() && MayBeAFolderOf(WithBackslash(p), id, show))
                doors.push_back(id);
        }
    }
    if (doors.empty()) return false;
    // The root of folder's own drive is no folder of it: most back-ups on
    // the show's drive need no walk.
    for (const std::string& name : NamesOf(folder)) {
        std::string top = name;
        for (std::string p = ParentFolder(name); !p.empty(); p = ParentFolder(p)) top = p;
        FolderId root;
        if (FolderIdOf(top, root)) doors.erase(std::remove(doors.begin(), doors.end(), root), doors.end());
    }
    if (doors.empty()) return false;
    CFindFolderId find(doors);
    WalkFolderTree(WideFromUtf8(WithBackslash(folder)), find);
    return find.found;
}

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

bool DestinationWritableWithRoom(const std::string& folder, const std::string& showFolder, const std::string& root,
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

    if (SameVolume(folder, showFolder)) {
        const std::string drive =
            showFolder.size() >= 2 && showFolder[1] == ':' ? " (" + showFolder.substr(0, 2) + ")" : std::string();
        const std::string question =
            "De doelmap staat op dezelfde schijf als de show" + drive +
            ".\n\nEen back-up op dezelfde schijf gaat samen met die schijf verloren als de schijf defect raakt. "
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

}  // namespace backup

using namespace backup;

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

DestinationProblem DestinationProblemOnDisk(const std::string& destination, const std::string& showFolder,
                                            const std::string& backupRoot) {
    const DestinationProblem problem = DestinationProblemBySpelling(destination, showFolder);
    if (problem != DestinationProblem::None) return problem;
    const std::vector<std::string> folderNames = NamesOf(destination), showNames = NamesOf(showFolder);
    const std::vector<std::string> rootNames = IsFolder(backupRoot) ? NamesOf(backupRoot) : std::vector<std::string>();
    for (const std::string& show : showNames) {
        for (const std::string& folder : folderNames)
            if (Within(folder, show)) return DestinationProblem::InsideShow;
        for (const std::string& root : rootNames)
            if (Within(show, root)) return DestinationProblem::ShowInside;
    }
    if (AtOrBelow(folderNames, showFolder, true)) return DestinationProblem::InsideShow;
    if (!rootNames.empty() && AtOrBelow(showNames, backupRoot, false)) return DestinationProblem::ShowInside;
    return DestinationProblem::None;
}

BackupFolderChoice FindBackupFolder(const std::string& destination, const std::string& showFolder) {
    const std::string folder = WithBackslash(NormalizeFolder(destination));
    return ChooseBackupFolder(ShowFolderName(showFolder), showFolder, [&](const std::string& name) {
        BackupFolderState state;
        state.folderExists = IsFolder(folder + name);
        if (state.folderExists) state.folderEmpty = FolderIsEmpty(folder + name);
        BackupRecord record;
        if (ReadBackupRecord(folder + name + "\\", &record)) {
            state.recordShow = record.showFolder;
            state.recordShowIsThis = !SameFolderText(record.showFolder, showFolder) &&
                                     RecordedShowIsThis(record.showFolder, showFolder);
        }
        return state;
    });
}
