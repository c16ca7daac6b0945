#include "backup/backup_identity.h"

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cwchar>
#include <set>

#include "backup/backup_disk.h"
#include "backup/backup_plan.h"
#include "backup/backup_record.h"
#include "backup/destination_memo.h"
#include "common/text.h"
#include "common/wide_text.h"
#include "common/win_raii.h"
#include "files/file_system.h"
#include "backup/backup_folder_choice.h"

namespace backup {

namespace {
thread_local CFolderFacts* t_pFacts = nullptr;
}  // namespace

CFolderFacts::CFolderFacts() : m_pOuter(t_pFacts) { t_pFacts = this; }
CFolderFacts::~CFolderFacts() { t_pFacts = m_pOuter; }
CFolderFacts* CFolderFacts::Active() { return t_pFacts; }

namespace {
using FolderId = FolderIdentity;

UniqueFile OpenFolder(const std::string& folder) {
    return UniqueFile(::CreateFileW(Wide(WithBackslash(folder)).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

bool IdOfHandle(HANDLE handle, FolderId& id) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return false;
    id = FolderId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

// The folder's number on its volume alone: the number IdOfHandle gives,
// from the file system, without asking for the volume's serial number (a
// request to the system's mount manager, many times slower).
bool NumberOfHandle(HANDLE handle, FolderId& id) {
    using QueryFn = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);
    static const QueryFn query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationFile")));
    IO_STATUS_BLOCK io{};
    FILE_INTERNAL_INFORMATION info{};
    if (!query || query(handle, &io, &info, sizeof info, FileInternalInformation) < 0) return IdOfHandle(handle, id);
    const uint64_t number = static_cast<uint64_t>(info.IndexNumber.QuadPart);
    id = FolderId{0, static_cast<uint32_t>(number >> 32), static_cast<uint32_t>(number)};
    return true;
}

// Kept by the run's facts, and in a run of many shows by its memo when the
// folder is on the destination's side or above a show (above).
void Remember(const std::string& key, const FolderId& id, bool above) {
    if (CFolderFacts* facts = CFolderFacts::Active()) facts->identities[key] = id;
    CDestinationMemo* memo = CDestinationMemo::Active();
    if (memo && (above || memo->destinationSide.count(key))) memo->identities[key] = id;
}

// Known already to the run's facts or memo; numberWillDo: a folder's
// number without its volume is enough.
bool Recalled(const std::string& key, FolderId& id, bool numberWillDo = false) {
    CFolderFacts* facts = CFolderFacts::Active();
    CDestinationMemo* memo = CDestinationMemo::Active();
    for (const std::map<std::string, FolderId>* known :
         {facts ? &facts->identities : nullptr, memo ? &memo->identities : nullptr,
          facts && numberWillDo ? &facts->numbers : nullptr}) {
        if (!known) continue;
        const auto found = known->find(key);
        if (found == known->end()) continue;
        id = found->second;
        return true;
    }
    return false;
}

bool FolderIdOf(const std::string& folder, FolderId& id, bool above = false) {
    const std::string key = NameKey(WithBackslash(folder));
    if (Recalled(key, id)) return true;
    UniqueFile handle = OpenFolder(folder);
    if (!handle || !IdOfHandle(handle.get(), id)) return false;
    Remember(key, id, above);
    return true;
}

// The folder's number on its volume (volume 0 unless known already).
bool FolderNumberOf(const std::string& folder, FolderId& id) {
    const std::string key = NameKey(WithBackslash(folder));
    if (Recalled(key, id, true)) return true;
    UniqueFile handle = OpenFolder(folder);
    if (!handle || !NumberOfHandle(handle.get(), id)) return false;
    if (CFolderFacts* facts = CFolderFacts::Active()) facts->numbers[key] = id;
    return true;
}

// A folder whose identity is id is folder, whose number is number: told by
// the numbers, and only when they are equal by the volumes as well.
bool IsThatFolder(const FolderId& id, const std::string& folder, const FolderId& number) {
    FolderId full;
    return id.high == number.high && id.low == number.low && FolderIdOf(folder, full) && full == id;
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

// The volume ("\\?\Volume{...}\") a drive's root is the mount point of;
// empty for a drive letter made for a folder, or a share.
std::wstring VolumeMountedAt(const std::string& root) {
    CDestinationMemo* memo = CDestinationMemo::Active();
    const std::wstring path = WideFromUtf8(root);
    if (memo) {
        const auto known = memo->volumeAt.find(path);
        if (known != memo->volumeAt.end()) return known->second;
    }
    wchar_t volume[64] = {};
    if (!::GetVolumeNameForVolumeMountPointW(path.c_str(), volume, 64)) volume[0] = L'\0';
    if (memo) memo->volumeAt[path] = volume;
    return volume;
}

// A drive's root that the system knows as the root of a volume of its own:
// opened by the volume's name, it is the same folder. It lies in no other
// folder, except where its volume is mounted, and NamesOf sees those.
bool IsOwnVolumeRoot(const std::wstring& volume, const FolderId& id) {
    FolderId own;
    return !volume.empty() && FolderIdOf(Utf8FromWide(volume.data(), volume.size()), own) && own == id;
}

// Every folder a volume ("\\?\Volume{...}\") is mounted on, its drive
// letter too.
std::vector<std::string> AskMountPathsOf(const std::wstring& volume) {
    std::vector<std::string> paths;
    DWORD need = 0;
    ::GetVolumePathNamesForVolumeNameW(volume.c_str(), nullptr, 0, &need);
    if (need == 0) return paths;
    std::wstring mounts(need, L'\0');
    if (!::GetVolumePathNamesForVolumeNameW(volume.c_str(), &mounts[0], need, &need)) return paths;
    for (const wchar_t* m = mounts.c_str(); *m; m += std::wcslen(m) + 1)
        paths.push_back(Utf8FromWide(m, std::wcslen(m)));
    return paths;
}

std::vector<std::string> MountPathsOf(const std::wstring& volume) {
    CDestinationMemo* memo = CDestinationMemo::Active();
    if (!memo) return AskMountPathsOf(volume);
    const auto known = memo->mountPaths.find(volume);
    if (known != memo->mountPaths.end()) return known->second;
    return memo->mountPaths[volume] = AskMountPathsOf(volume);
}

// Every volume of the system and its serial number.
std::vector<std::pair<std::wstring, uint32_t>> AskVolumes() {
    std::vector<std::pair<std::wstring, uint32_t>> volumes;
    wchar_t volume[MAX_PATH + 1] = {};
    UniqueFindVolume find(::FindFirstVolumeW(volume, MAX_PATH + 1));
    if (!find) return volumes;
    do {
        DWORD number = 0;
        if (::GetVolumeInformationW(volume, nullptr, 0, &number, nullptr, nullptr, nullptr, 0))
            volumes.emplace_back(volume, number);
    } while (::FindNextVolumeW(find.get(), volume, MAX_PATH + 1));
    return volumes;
}

bool MountedIn(const std::wstring& volume, const std::string& showFolder) {
    for (const std::string& mount : MountPathsOf(volume))
        if (Within(mount, showFolder)) return true;
    return false;
}

// A volume of this serial number is mounted on a folder of the show's
// tree; asked of the system's few volumes, never of the show's folders.
bool VolumeMountedIn(DWORD serial, const std::string& showFolder) {
    CDestinationMemo* memo = CDestinationMemo::Active();
    if (memo && !memo->volumes) memo->volumes = AskVolumes();
    for (const auto& volume : memo ? *memo->volumes : AskVolumes())
        if (volume.second == serial && MountedIn(volume.first, showFolder)) return true;
    return false;
}

// Some volume of the system is mounted in more than one place, so a
// folder on it has names the resolved path does not give. A run of many
// shows asks once; alone, a run assumes so.
bool SomeVolumeMountedTwice() {
    CDestinationMemo* memo = CDestinationMemo::Active();
    if (!memo) return true;
    if (!memo->volumeMountedTwice) {
        if (!memo->volumes) memo->volumes = AskVolumes();
        memo->volumeMountedTwice = false;
        for (const auto& volume : *memo->volumes)
            if (MountPathsOf(volume.first).size() > 1) memo->volumeMountedTwice = true;
    }
    return *memo->volumeMountedTwice;
}

// A drive's root on the way up that may be a folder of the show's tree
// under another name. On another volume than the show's, it can be one
// only where its volume is mounted in the show; on the show's volume, or
// one the system cannot name, unless it is a volume's own root. Decided
// from the root's side, so a show of any size costs the same; only a root
// the system cannot place apart from the show is looked for in its tree.
bool MayBeAFolderOf(const std::string& root, const FolderId& id, const FolderId& show, const std::string& showFolder) {
    const std::wstring volume = VolumeMountedAt(root);
    if (id.volume != 0 && show.volume != 0 && id.volume != show.volume)
        return volume.empty() ? VolumeMountedIn(id.volume, showFolder) : MountedIn(volume, showFolder);
    return !IsOwnVolumeRoot(volume, id);
}

// Adds name unless names has it already, as Windows compares names.
void AddName(std::vector<std::string>& names, const std::string& name) {
    const std::string key = NameKey(name);
    for (const std::string& n : names)
        if (NameKey(n) == key) return;
    names.push_back(name);
}

// A folder that is no link or mount point, and that the system names as
// it was named, lies on the volume of the folder that holds it. When that
// folder is known already (the shows' folder in a run of many), the
// folder's number is enough: no request to the mount manager.
bool IdBelowKnownParent(HANDLE handle, const std::string& folder, const std::string& resolved, FolderId& id) {
    const std::string key = NameKey(WithBackslash(folder));
    const std::string parent = ParentFolder(folder);
    FolderId above;
    if (resolved.empty() || NameKey(WithBackslash(resolved)) != key || parent.empty() ||
        !Recalled(NameKey(WithBackslash(parent)), above) || above.volume == 0)
        return false;
    // The handle is the folder a mount point leads to; the name tells.
    const DWORD attributes = ::GetFileAttributesW(Wide(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        !NumberOfHandle(handle, id))
        return false;
    id.volume = above.volume;
    return true;
}

// NamesOf, asked of the system; opened: the folder could be opened.
std::vector<std::string> AskNamesOf(const std::string& folder, bool& opened) {
    std::vector<std::string> names{NormalizeFolder(folder)};
    UniqueFile handle = OpenFolder(folder);
    opened = static_cast<bool>(handle);
    if (!handle) return names;
    const std::string resolved = WithoutLongPrefix(FinalPathOf(handle.get(), VOLUME_NAME_DOS));
    FolderId id;
    if (IdBelowKnownParent(handle.get(), names.front(), resolved, id) || IdOfHandle(handle.get(), id))
        Remember(NameKey(WithBackslash(folder)), id, false);
    if (!resolved.empty()) AddName(names, NormalizeFolder(resolved));
    if (!SomeVolumeMountedTwice()) return names;
    // "\\?\Volume{...}\Shows\Demo": the volume, then the folder on it.
    const std::string onVolume = FinalPathOf(handle.get(), VOLUME_NAME_GUID);
    const size_t brace = onVolume.find("}\\");
    if (brace == std::string::npos) return names;
    for (const std::string& mount : MountPathsOf(WideFromUtf8(onVolume.substr(0, brace + 2))))
        AddName(names, NormalizeFolder(mount + onVolume.substr(brace + 2)));
    return names;
}

}  // namespace

std::vector<std::string> NamesOf(const std::string& folder) {
    CDestinationMemo* memo = CDestinationMemo::For(folder);
    if (memo && memo->names) return *memo->names;
    CFolderFacts* facts = CFolderFacts::Active();
    const std::string key = NameKey(WithBackslash(folder));
    if (facts) {
        const auto known = facts->names.find(key);
        if (known != facts->names.end()) return known->second;
    }
    bool opened = false;
    std::vector<std::string> names = AskNamesOf(folder, opened);
    if (facts && opened) facts->names[key] = names;
    if (memo && opened) {
        for (const std::string& name : names)
            for (std::string p = name; !p.empty(); p = ParentFolder(p))
                memo->destinationSide.insert(NameKey(WithBackslash(p)));
        memo->names = names;
    }
    return names;
}

std::vector<std::string> NamesBelow(const std::string& folder, const std::vector<std::string>& parentNames) {
    const std::string name = ShowFolderName(folder);
    const DWORD attributes = ::GetFileAttributesW(Wide(folder).c_str());
    if (name.empty() || parentNames.empty() || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        NameKey(WithBackslash(parentNames.front()) + name + "\\") != NameKey(WithBackslash(folder)))
        return NamesOf(folder);
    std::vector<std::string> names{NormalizeFolder(folder)};
    for (const std::string& parent : parentNames) AddName(names, WithBackslash(parent) + name);
    return names;
}

bool IdentityOf(const std::string& folder, FolderIdentity& id) { return FolderIdOf(folder, id); }

bool NumberOf(const std::string& folder, FolderIdentity& id) { return FolderNumberOf(folder, id); }

bool Within(const std::string& path, const std::string& folder) {
    const std::string key = NameKey(WithBackslash(folder));
    return NameKey(WithBackslash(path)).compare(0, key.size(), key) == 0;
}

bool SameVolume(const std::string& a, const std::string& b) {
    FolderId x, y;
    if (FolderIdOf(a, x) && FolderIdOf(b, y) && x.volume != 0) return x.volume == y.volume;
    return SameDrive(a, b);
}

bool RecordedShowIsThis(const std::string& recorded, const std::string& showFolder) {
    FolderId was, is;
    if (FolderIdOf(recorded, was)) return FolderIdOf(showFolder, is) && was == is;
    return !IsFolder(recorded) && SamePathBelowDrive(recorded, showFolder);
}

bool AtOrBelow(const std::vector<std::string>& names, const std::string& folder, bool lookInside,
               const std::vector<std::string>* folderNames) {
    // Without a look inside, folder's volume is asked only if a folder on
    // the way has its number.
    FolderId show;
    if (!(lookInside ? FolderIdOf(folder, show) : FolderNumberOf(folder, show))) return false;
    std::vector<FolderId> doors;
    std::set<std::string> seen;  // names share the folders on their way up
    for (const std::string& name : names) {
        for (std::string p = name; !p.empty(); p = ParentFolder(p)) {
            FolderId id;
            if (!seen.insert(NameKey(WithBackslash(p))).second || !FolderIdOf(p, id, p != name)) continue;
            if (IsThatFolder(id, folder, show)) return true;
            if (lookInside && ParentFolder(p).empty() && MayBeAFolderOf(WithBackslash(p), id, show, folder))
                doors.push_back(id);
        }
    }
    if (doors.empty()) return false;
    // The root of folder's own drive is no folder of it: most back-ups on
    // the show's drive need no walk.
    for (const std::string& name : folderNames ? *folderNames : NamesOf(folder)) {
        std::string top = name;
        for (std::string p = ParentFolder(name); !p.empty(); p = ParentFolder(p)) top = p;
        FolderId root;
        if (FolderIdOf(top, root, true)) doors.erase(std::remove(doors.begin(), doors.end(), root), doors.end());
    }
    if (doors.empty()) return false;
    CFindFolderId find(doors);
    WalkFolderTree(WideFromUtf8(WithBackslash(folder)), find);
    return find.found;
}

}  // namespace backup
