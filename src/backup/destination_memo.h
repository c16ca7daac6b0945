// What a back-up of many shows into one destination asks of the system
// once for the whole run instead of once for every show: the names of the
// destination and the identity of the folders on their way up (and of
// those above the shows), the drives' volumes and where each is mounted,
// the destination's file system, and its free space for a show that
// writes nothing. The run that owns one
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

#include "backup/backup_identity.h"
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

    // NameKey of the destination, ending in "\".
    const std::string destination;
    // Every name of the destination (NamesOf).
    std::optional<std::vector<std::string>> names;
    // NameKeys (ending in "\") of those names and the folders above them.
    std::set<std::string> destinationSide;
    // The identities of those, and of the folders above the shows (which
    // no back-up changes), by NameKey.
    std::map<std::string, FolderIdentity> identities;
    // A drive's root ("E:\") and the volume mounted there (empty: none).
    std::map<std::wstring, std::wstring> volumeAt;
    // A volume ("\\?\Volume{...}\") and every folder it is mounted on.
    std::map<std::wstring, std::vector<std::string>> mountPaths;
    // Every volume of the system with its serial number.
    std::optional<std::vector<std::pair<std::wstring, uint32_t>>> volumes;
    // Whether one of them is mounted in more than one place.
    std::optional<bool> volumeMountedTwice;
    // What the destination's file system keeps.
    std::optional<BackupVolume> volume;
    // The destination's free space as last asked.
    std::optional<uint64_t> freeBytes;
    // Where this PC keeps the checks' findings ("...\Zekerpad\Controles\"),
    // and the folders' numbers (their volumes left out) it keeps them for;
    // asked again after the run keeps or removes some.
    std::optional<std::string> localFindings;
    std::optional<std::set<std::string>> localFindingNumbers;

private:
    CDestinationMemo* m_pOuter;
};

}  // namespace backup
