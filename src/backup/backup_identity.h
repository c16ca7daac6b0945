// What a folder is, whatever names it: another drive letter, subst, a
// junction, a symbolic link or a mount point. The destination's refusals
// and the show a back-up's record names are decided by this, not by the
// spelling of a path.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace backup {

// What the file system calls a folder: its volume and its number there.
struct FolderIdentity {
    uint32_t volume = 0, high = 0, low = 0;
    bool operator==(const FolderIdentity& o) const { return volume == o.volume && high == o.high && low == o.low; }
};

// While one lives on this thread (one back-up run), a folder that could be
// opened is opened once: its identity and names are kept. A folder keeps
// both while it exists, and a run removes none of the folders it asks
// about; one that could not be opened (the back-up folder before the run
// makes it) is asked again.
class CFolderFacts {
public:
    CFolderFacts();
    ~CFolderFacts();
    CFolderFacts(const CFolderFacts&) = delete;
    CFolderFacts& operator=(const CFolderFacts&) = delete;

    static CFolderFacts* Active();

    // By NameKey, ending in "\".
    std::map<std::string, FolderIdentity> identities;
    // Folders whose number on their volume was enough (volume 0): asking
    // the volume is the slow part of an identity.
    std::map<std::string, FolderIdentity> numbers;
    std::map<std::string, std::vector<std::string>> names;

private:
    CFolderFacts* m_pOuter;
};

// The identity of an existing folder; false when it cannot be opened.
bool IdentityOf(const std::string& folder, FolderIdentity& id);
// Its number on its volume alone (volume 0 unless known already): cheaper
// to ask, and enough to tell it from a folder of another number.
bool NumberOf(const std::string& folder, FolderIdentity& id);

// Every name an existing folder goes by: as it is spelled, as the system
// resolves it, and through every folder its volume is mounted on. Only the
// spelling for a folder that cannot be opened.
std::vector<std::string> NamesOf(const std::string& folder);

// NamesOf for folder, a folder in the folder whose names are parentNames:
// those names with folder's own name, unless folder is a link, junction or
// mount point (then it is asked of the system).
std::vector<std::string> NamesBelow(const std::string& folder, const std::vector<std::string>& parentNames);

// path is folder or lies below it, by the names as Windows compares them.
bool Within(const std::string& path, const std::string& folder);

// One of names, or a folder on its way up, is folder. With lookInside, a
// drive's root on the way that may be a folder of folder's tree (a drive
// letter made for it, a share of it) is also looked for among folder's own
// folders, which are walked for it; only a root the system cannot place on
// another volume than folder's (nor mounted in it) needs that walk.
// folderNames: NamesOf(folder), when the caller has them already.
bool AtOrBelow(const std::vector<std::string>& names, const std::string& folder, bool lookInside,
               const std::vector<std::string>* folderNames = nullptr);

// Both folders lie on one volume, whatever drive letters or links name
// them; by their letters when the system cannot say.
bool SameVolume(const std::string& a, const std::string& b);

// A record's show folder that is this show's folder under another name:
// it names the show's folder itself now (another drive letter, a link),
// or it names no folder any more and has the show's path below its drive
// (a USB disk that came back under another letter). A folder that is
// there and is another one is another show.
bool RecordedShowIsThis(const std::string& recorded, const std::string& showFolder);

}  // namespace backup
