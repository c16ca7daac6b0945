#include "backup/backup_heal.h"

#include "backup/backup_disk.h"
#include "backup/backup_listing.h"
#include "common/text.h"
#include "backup/sha256.h"

namespace backup {

Findings FindingsAt(const std::string& root, const RecordOnDisk* read) {
    Findings found;
    for (const std::string& relative : ReadCheckFindings(root, read)) found[NameKey(relative)] = relative;
    return found;
}

void CopyAgain(BackupPlan& plan, const std::vector<BackupEntry>& source, const Findings& again) {
    if (again.empty()) return;
    for (PlannedFile& file : plan.files) {
        const BackupEntry& entry = source[file.source];
        const bool hourApart = file.action == BackupAction::HourApart;
        if ((file.action != BackupAction::Unchanged && !hourApart) || !again.count(file.key))
            continue;
        if (hourApart) --plan.hourApartCount;
        file.action = BackupAction::Copy;
        file.hasOlder = true;
        --plan.unchangedCount;
        ++plan.copyCount;
        ++plan.olderCount;
        plan.copyBytes += entry.size;
        plan.roomNeeded += RoomForFile(entry.size, entry.relative, plan.clusterBytes);
    }
}

Compared CompareWithShow(const std::string& from, const std::string& to, const BackupEntry& entry, CSha256& sha,
                         const BackupProgressFn& progress, int64_t doneBytes, RecordMap& lines,
                         CContentCheck* content) {
    if (!sha.Valid()) return Compared::ShowUnreadable;
    const auto step = [&](int64_t) { return !progress || progress(entry.relative, doneBytes); };
    int64_t copySize = 0, showSize = 0;
    std::string copyHash, showHash;
    DWORD error = 0;
    const DiskRead copy = HashFromDisk(to, sha, copySize, copyHash, error, step);
    if (copy == DiskRead::Failed) return error == ERROR_CANCELLED ? Compared::Stopped : Compared::CopyUnreadable;
    // Gone since the listing: copied as any missing copy.
    if (copy == DiskRead::Missing) return Compared::Different;
    if (HashFromDisk(from, sha, showSize, showHash, error, step, content) != DiskRead::Ok)
        return error == ERROR_CANCELLED ? Compared::Stopped : Compared::ShowUnreadable;
    if (copySize != showSize || copyHash != showHash) return Compared::Different;
    lines[NameKey(entry.relative)] = BackupRecordFile{entry.relative, copySize, entry.writeTime, copyHash};
    return Compared::Same;
}

Compared CompareHourApart(const std::string& from, const std::string& to, const BackupEntry& entry, CSha256& sha,
                          const BackupProgressFn& progress, int64_t doneBytes, RecordMap& lines,
                          CContentCheck* content) {
    const auto line = lines.find(NameKey(entry.relative));
    if (line == lines.end() || line->second.size != entry.size)
        return CompareWithShow(from, to, entry, sha, progress, doneBytes, lines, content);
    if (!sha.Valid()) return Compared::ShowUnreadable;
    const auto step = [&](int64_t) { return !progress || progress(entry.relative, doneBytes); };
    int64_t size = 0;
    std::string hash;
    DWORD error = 0;
    if (HashFromDisk(from, sha, size, hash, error, step, content) != DiskRead::Ok)
        return error == ERROR_CANCELLED ? Compared::Stopped : Compared::ShowUnreadable;
    if (size != line->second.size || hash != line->second.sha256) return Compared::Different;
    line->second.relative = entry.relative;
    line->second.writeTime = entry.writeTime;
    return Compared::Same;
}

}  // namespace backup

using namespace backup;

BackupPlan PlanBackupAt(const std::vector<BackupEntry>& source, const std::string& showFolder,
                        const std::string& root, const BackupVolume& volume) {
    std::vector<BackupEntry> target;
    if (IsFolder(root)) ListBackupTree(root, target, nullptr);
    BackupPlan plan = PlanBackup(source, target, showFolder, root, volume);
    CopyAgain(plan, source, FindingsAt(root));
    return plan;
}
