#include "backup/backup_record_file.h"

#include <optional>

#include "backup/backup_disk.h"

namespace backup {

std::string RecordPathOf(const std::string& backupRoot) {
    const std::string root = backupRoot.substr(0, backupRoot.size() - (backupRoot.back() == '\\' ? 1 : 0));
    const size_t slash = root.rfind('\\');
    return root.substr(0, slash + 1) + BackupRecordName(root.substr(slash + 1));
}

RecordMap CurrentLines(const BackupRecord& record, const std::vector<BackupEntry>& target, uint64_t precision) {
    std::map<std::string, const BackupEntry*> files;
    for (const BackupEntry& e : target)
        if (!e.isFolder) files.emplace(UpperAscii(e.relative), &e);
    RecordMap lines;
    for (const BackupRecordFile& f : record.files) {
        const std::string key = UpperAscii(f.relative);
        const auto there = files.find(key);
        if (there != files.end() && there->second->size == f.size &&
            SameWriteTime(there->second->writeTime, f.writeTime, precision))
            lines[key] = f;
    }
    return lines;
}

bool SaveRecord(const std::string& root, const std::string& showFolder, const RecordMap& lines, std::string& onDisk) {
    BackupRecord record;
    record.showFolder = showFolder;
    for (const auto& line : lines) record.files.push_back(line.second);
    std::string text = FormatBackupRecord(record);
    if (text == onDisk) return true;
    if (!WriteFileText(RecordPathOf(root), text)) return false;
    onDisk = std::move(text);
    return true;
}

}  // namespace backup

using namespace backup;

bool ReadBackupRecord(const std::string& backupRoot, BackupRecord* record) {
    std::string text;
    if (!ReadFileText(RecordPathOf(WithBackslash(backupRoot)), text)) return false;
    std::optional<BackupRecord> parsed = ParseBackupRecord(text);
    if (!parsed) return false;
    *record = std::move(*parsed);
    return true;
}
