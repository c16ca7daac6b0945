#include "backup/backup_plan.h"

#include <unordered_map>
#include <unordered_set>

#include "backup/backup_folders.h"
#include "common/text.h"
#include "files/temp_name.h"

namespace {
constexpr uint64_t kTicksPerSecond = 10000000;

// "Audio\" for "Audio\intro.wav"; empty for a file in the root.
std::string_view FolderPart(std::string_view relative) {
    const size_t slash = relative.rfind('\\');
    return slash == std::string_view::npos ? std::string_view() : relative.substr(0, slash + 1);
}
}  // namespace

BackupVolume VolumeFromFileSystem(std::string_view fileSystemName) {
    const std::string name = UpperCasedAscii(fileSystemName);
    BackupVolume volume;
    if (name == "FAT" || name == "FAT12" || name == "FAT16" || name == "FAT32" || name == "VFAT") {
        volume.timePrecision = 2 * kTicksPerSecond;
        volume.maxFileSize = 0xFFFFFFFFLL;
    } else if (name == "EXFAT") {
        volume.timePrecision = kTicksPerSecond / 100;
    }
    return volume;
}

std::string MaxFileSizeText(const BackupVolume& volume) {
    return volume.maxFileSize == 0xFFFFFFFFLL ? std::string("4 GB") : FormatSize(volume.maxFileSize);
}

bool SameWriteTime(uint64_t a, uint64_t b, uint64_t precision) {
    const uint64_t difference = a > b ? a - b : b - a;
    return difference < (precision == 0 ? 1 : precision);
}

namespace {
// A name's length in UTF-16 units, as the folder entry keeps it.
size_t Utf16Length(std::string_view name) {
    size_t units = 0;
    for (const char c : name) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) ++units;  // a lead byte or ASCII
        if (byte >= 0xF0) ++units;          // past the plane: two units
    }
    return units;
}

int64_t EntryBytes(std::string_view relative) {
    const size_t slash = relative.rfind('\\');
    const size_t units = Utf16Length(slash == std::string_view::npos ? relative : relative.substr(slash + 1));
    return 32 * static_cast<int64_t>(2 + (units + 12) / 13);
}

int64_t Clusters(int64_t size, uint64_t clusterBytes) {
    const int64_t cluster = clusterBytes == 0 ? 1 : static_cast<int64_t>(clusterBytes);
    return size / cluster + (size % cluster != 0 ? 1 : 0);
}
}  // namespace

int64_t RoomForFile(int64_t size, std::string_view relative, uint64_t clusterBytes) {
    return Clusters(size, clusterBytes) * static_cast<int64_t>(clusterBytes == 0 ? 1 : clusterBytes) +
           EntryBytes(relative);
}

int64_t RoomForFolder(std::string_view relative, uint64_t clusterBytes) {
    return static_cast<int64_t>(clusterBytes == 0 ? 1 : clusterBytes) + EntryBytes(relative);
}

bool HourApart(uint64_t a, uint64_t b) {
    const uint64_t difference = a > b ? a - b : b - a;
    const uint64_t hour = 3600 * kTicksPerSecond;
    return SameWriteTime(difference, hour, 2 * kTicksPerSecond);
}

namespace {
// What to do with one file of the show, given what the back-up holds
// under its name (there: nothing).
BackupAction ActionFor(const BackupEntry& entry, const BackupEntry* there, const std::string& sourceRoot,
                       const std::string& targetRoot, const BackupVolume& volume) {
    const size_t tempLength = targetRoot.size() + FolderPart(entry.relative).size() + kTempNameLength;
    if (sourceRoot.size() + entry.relative.size() > kBackupMaxPath ||
        targetRoot.size() + entry.relative.size() > kBackupMaxPath || tempLength > kBackupMaxPath)
        return BackupAction::TooLong;
    if (there && there->isFolder) return BackupAction::FolderInWay;
    if (there && there->size == entry.size && SameWriteTime(there->writeTime, entry.writeTime, volume.timePrecision))
        return BackupAction::Unchanged;
    if (there && there->size == entry.size && HourApart(there->writeTime, entry.writeTime))
        return BackupAction::HourApart;
    if (entry.size > volume.maxFileSize) return BackupAction::TooLarge;
    return BackupAction::Copy;
}

void Count(BackupPlan& plan, BackupAction action, const BackupEntry& entry, bool hasOlder) {
    switch (action) {
    case BackupAction::Copy:
        ++plan.copyCount;
        plan.copyBytes += entry.size;
        plan.roomNeeded += RoomForFile(entry.size, entry.relative, plan.clusterBytes);
        if (hasOlder) ++plan.olderCount;
        break;
    case BackupAction::Unchanged:
        ++plan.unchangedCount;
        break;
    case BackupAction::HourApart:
        ++plan.unchangedCount;
        ++plan.hourApartCount;
        break;
    default:
        ++plan.refusedCount;
        break;
    }
}
}  // namespace

BackupPlan PlanBackup(const std::vector<BackupEntry>& source, const std::vector<BackupEntry>& target,
                      const std::string& sourceRoot, const std::string& targetRoot,
                      const BackupVolume& volume) {
    std::unordered_map<std::string, const BackupEntry*> existing;
    existing.reserve(target.size());
    for (const BackupEntry& entry : target) existing.emplace(NameKey(entry.relative), &entry);

    // Folders of the show that a file in the back-up stands in the way of,
    // and every folder below them: their contents are left out, not each
    // refused on its own.
    std::unordered_set<std::string> blocked;
    BackupPlan plan;
    plan.clusterBytes = volume.clusterBytes;
    for (size_t i = 0; i < source.size(); ++i) {
        const BackupEntry& entry = source[i];
        std::string key = NameKey(entry.relative);
        const std::string_view parent = FolderPart(key);
        if (!blocked.empty() && !parent.empty() && blocked.count(std::string(parent.substr(0, parent.size() - 1)))) {
            if (entry.isFolder) blocked.insert(key);
            continue;
        }
        const auto found = existing.find(key);
        const BackupEntry* there = found == existing.end() ? nullptr : found->second;
        if (entry.isFolder) {
            if (there && !there->isFolder) {
                blocked.insert(key);
                plan.files.push_back(PlannedFile{i, BackupAction::FileInWay, false, key});
                ++plan.refusedCount;
            } else if (!there && targetRoot.size() + entry.relative.size() <= kBackupMaxPath) {
                plan.folders.push_back(entry.relative);
                plan.roomNeeded += RoomForFolder(entry.relative, volume.clusterBytes);
            }
            continue;
        }
        const BackupAction action = ActionFor(entry, there, sourceRoot, targetRoot, volume);
        plan.files.push_back(PlannedFile{i, action, action == BackupAction::Copy && there != nullptr, std::move(key)});
        Count(plan, action, entry, there != nullptr);
    }
    return plan;
}
