// What a back-up of many shows into one destination asks of the system
// once for the whole run instead of once for every show: the names of the
// destination and the identity of the folders on their way up, the drives'
// volumes and where each is mounted, the destination's file system, and
// its free space for a show that writes nothing. The run that owns one
// ("Back-up van alle groene shows...") makes it before its first show;
// while it lives, the back-up on that thread consults it. A single show's
// back-up has none and asks everything anew; a show that is to copy
// anything asks the free space anew too.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "backup/backup_plan.h"

namespace backup {

class CDestinationMemo {
public:
    explicit CDestinationMemo(const std::string& destination);
    ~CDestinationMemo();
    CDestinationMemo(const CDestinationMemo&) = delete;
    CDestinationMemo& operator=(const CDestinationMemo&) = delete;

    // The memo of the run under way on this thread, or null.
    static CDestinationMemo* Active();
    // The memo when folder is its destination, or null.
    static CDestinationMemo* For(const std::string& folder);

    struct FolderIdentity {
        uint32_t volume = 0, high = 0, low = 0;
    };

    // NameKey of the destination, ending in "\".
    const std::string destination;
    // Every name of the destination (NamesOf).
    std::optional<std::vector<std::string>> names;
    // NameKeys (ending in "\") of those names and the folders above them:
    // only their identities are kept.
    std::set<std::string> destinationSide;
    std::map<std::string, FolderIdentity> identities;
    // A drive's root ("E:\") and the volume mounted there (empty: none).
    std::map<std::wstring, std::wstring> volumeAt;
    // A volume ("\\?\Volume{...}\") and every folder it is mounted on.
    std::map<std::wstring, std::vector<std::string>> mountPaths;
    // Every volume of the system with its serial number.
    std::optional<std::vector<std::pair<std::wstring, uint32_t>>> volumes;
    // What the destination's file system keeps.
    std::optional<BackupVolume> volume;
    // The destination's free space as last asked.
    std::optional<uint64_t> freeBytes;

private:
    CDestinationMemo* m_pOuter;
};

}  // namespace backup
