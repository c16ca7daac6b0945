// Listing a folder tree for the back-up: the show's folder and the
// back-up's own, every file and folder with its size, time and attributes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "backup/backup_plan.h"

// A folder below a listed root that could not be listed (fully).
struct BackupListingError {
    std::string relative;  // "Audio\", or empty for the root itself
    unsigned long error = 0;
};

// Every file and folder below root (a folder ending in "\"), hidden and
// system ones too, parents before their contents. A folder that is a link
// to another place is not walked; its relative path goes to links. A
// subfolder that cannot be listed goes to unreadable and the walk goes on;
// without unreadable it makes the whole walk fail. False when root cannot
// be listed or pump asked to stop.
bool ListBackupTree(const std::string& root, std::vector<BackupEntry>& entries, std::vector<std::string>* links,
                    const std::function<bool()>& pump = nullptr,
                    std::vector<BackupListingError>* unreadable = nullptr);

namespace backup {

bool FolderIsEmpty(const std::string& folder);

// Temporary files an interrupted run left in the back-up (never a file of
// the show that happens to have such a name), taken off the listing.
void RemoveLeftovers(const std::string& root, std::vector<BackupEntry>& target, const std::vector<BackupEntry>& source);

}  // namespace backup
