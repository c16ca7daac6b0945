#include "backup/backup_listing.h"

#include <windows.h>

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "backup/backup_disk.h"
#include "common/text.h"
#include "backup/backup_record.h"
#include "common/wide_text.h"
#include "files/file_system.h"
#include "files/temp_name.h"
#include "services/run_log.h"

namespace backup {

namespace {
// The back-up's listing on the one folder walk: entries as the walk gives
// them, a link reported instead of walked, an unreadable subfolder
// reported (or the end of the walk), the window pumped between folders.
class CBackupListing : public CFolderVisitor {
public:
    CBackupListing(std::vector<BackupEntry>& entries, std::vector<std::string>* links,
                   const std::function<bool()>& pump, std::vector<BackupListingError>* unreadable)
        : m_entries(entries), m_links(links), m_pump(pump), m_unreadable(unreadable) {}

    bool Failed() const { return m_bFailed; }
    // Asks the window whether to go on; a stop ends the listing as failed.
    bool Pump() {
        if (m_pump && !m_pump()) m_bFailed = true;
        return !m_bFailed;
    }

    bool OnFolder(const FolderPlace& folder) override {
        if (m_bFailed || (folder.depth > 0 && !Pump())) return false;
        m_relative = Utf8FromWide(folder.relative.data(), folder.relative.size());
        return true;
    }
    bool OnEntry(const FolderPlace&, const FolderEntry& e) override {
        BackupEntry entry;
        entry.relative = m_relative + Utf8FromWide(e.name, e.nameLength);
        // A link to a file is copied as the file it names.
        if (e.isFolder && e.isLink) {
            if (m_links) m_links->push_back(std::move(entry.relative));
            return false;
        }
        entry.attributes = e.attributes;
        entry.isFolder = e.isFolder;
        entry.size = e.size;
        entry.writeTime = e.writeTime;
        m_entries.push_back(std::move(entry));
        return e.isFolder;
    }
    void OnUnreadable(const FolderPlace& folder, uint32_t error) override {
        if (folder.depth > 0 && m_unreadable) {
            m_unreadable->push_back(BackupListingError{m_relative, error});
            return;
        }
        m_bFailed = true;
    }

private:
    std::vector<BackupEntry>& m_entries;
    std::vector<std::string>* m_links;
    const std::function<bool()>& m_pump;
    std::vector<BackupListingError>* m_unreadable;
    std::string m_relative;  // of the folder being listed, in UTF-8
    bool m_bFailed = false;
};

// Whether a folder holds anything: its own listing, no subfolder's.
class CFirstEntry : public CFolderVisitor {
public:
    bool found = false;
    bool OnFolder(const FolderPlace& folder) override { return folder.depth == 0; }
    bool OnEntry(const FolderPlace&, const FolderEntry&) override {
        found = true;
        return false;
    }
};
}  // namespace

bool FolderIsEmpty(const std::string& folder) {
    CFirstEntry first;
    WalkFolderTree(Wide(WithBackslash(folder)), first);
    return !first.found;
}

void RemoveLeftovers(const std::string& root, std::vector<BackupEntry>& target, const std::vector<BackupEntry>& source) {
    // The show's names are gathered only once a temporary name turns up.
    std::unordered_set<std::string> inShow;
    CLogBatch log;
    target.erase(std::remove_if(target.begin(), target.end(),
                                [&](const BackupEntry& e) {
                                    const std::string_view relative = e.relative;
                                    const size_t slash = relative.rfind('\\');
                                    if (e.isFolder || !IsTempFileName(slash == std::string_view::npos
                                                                          ? relative
                                                                          : relative.substr(slash + 1)))
                                        return false;
                                    if (inShow.empty())
                                        for (const BackupEntry& s : source) inShow.insert(NameKey(s.relative));
                                    if (inShow.count(NameKey(e.relative))) return false;
                                    const std::wstring path = Wide(root + e.relative);
                                    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                                    if (!::DeleteFileW(path.c_str())) return false;
                                    log.Value("verwijderd", Shown(root + e.relative));
                                    return true;
                                }),
                 target.end());
}

}  // namespace backup

using namespace backup;

bool ListBackupTree(const std::string& root, std::vector<BackupEntry>& entries, std::vector<std::string>* links,
                    const std::function<bool()>& pump, std::vector<BackupListingError>* unreadable) {
    CBackupListing listing(entries, links, pump, unreadable);
    WalkFolderTree(Wide(root), listing);
    // The last folder's listing is pumped after, as every other one is.
    return !listing.Failed() && listing.Pump();
}
