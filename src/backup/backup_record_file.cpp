#include "backup/backup_record_file.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "backup/backup_disk.h"
#include "backup/local_findings.h"
#include "common/text.h"
#include "backup/sha256.h"
#include "backup/backup_names.h"

namespace backup {

namespace {
// "E:\Back-ups\" and "Demo" for "E:\Back-ups\Demo\".
std::string BesideRoot(const std::string& backupRoot, std::string (*name)(const std::string&)) {
    const std::string root = backupRoot.substr(0, backupRoot.size() - (backupRoot.back() == '\\' ? 1 : 0));
    const size_t slash = root.rfind('\\');
    return root.substr(0, slash + 1) + name(root.substr(slash + 1));
}

// The record's text as it is on the disk (empty when there is none) and
// what it says; false when there is none.
bool ReadRecordText(const std::string& backupRoot, std::string& onDisk, BackupRecord* record) {
    onDisk.clear();
    DWORD error = ERROR_SUCCESS;
    const bool read = ReadFileText(RecordPathOf(WithBackslash(backupRoot)), onDisk, &error);
    if (!read && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)) return false;
    // A file under the record's name is the record, however it reads: a
    // damaged one proves nothing, and says why.
    std::optional<BackupRecord> parsed = read ? ParseBackupRecord(onDisk) : std::nullopt;
    if (!parsed) {
        *record = BackupRecord();
        record->damaged = true;
        if (!read)
            record->damage = error == ERROR_FILE_TOO_LARGE ? "het bestand is groter dan 256 MB"
                                                           : "het bestand kan niet worden gelezen: " + ReasonFor(error);
        else
            record->damage = onDisk.empty() ? "het bestand is leeg" : "het is geen overzicht van Zekerpad";
        onDisk.clear();
        return true;
    }
    if (!parsed->sealChecksum.empty() &&
        RecordChecksum(std::string_view(onDisk).substr(0, parsed->sealedLength)) != parsed->sealChecksum) {
        if (!parsed->damaged) parsed->damage = "de inhoud klopt niet met de controlesom op de laatste regel";
        parsed->damaged = true;
    }
    *record = std::move(*parsed);
    return true;
}
}  // namespace

std::string RecordPathOf(const std::string& backupRoot) { return BesideRoot(backupRoot, &BackupRecordName); }

std::string FindingsPathOf(const std::string& backupRoot) { return BesideRoot(backupRoot, &CheckFindingsName); }

std::string RecordChecksum(std::string_view bytes) {
    CSha256 sha;
    if (!sha.Begin() || !sha.Add(bytes.data(), bytes.size())) return std::string();
    return sha.Finish();
}

RecordOnDisk ReadRecordAt(const std::string& backupRoot) {
    RecordOnDisk read;
    read.root = backupRoot;
    read.found = ReadRecordText(backupRoot, read.text, &read.record);
    return read;
}

RecordMap CurrentLines(const BackupRecord& record, const std::vector<BackupEntry>& target, uint64_t precision) {
    std::unordered_map<std::string, const BackupEntry*> files;
    files.reserve(target.size());
    for (const BackupEntry& e : target)
        if (!e.isFolder) files.emplace(NameKey(e.relative), &e);
    RecordMap lines;
    for (const BackupRecordFile& f : record.files) {
        std::string key = NameKey(f.relative);
        const auto there = files.find(key);
        // A copy an hour off its line (daylight-saving time on FAT) keeps
        // the line: the run compares the show's file with its hash.
        if (there != files.end() && there->second->size == f.size &&
            (SameWriteTime(there->second->writeTime, f.writeTime, precision) ||
             HourApart(there->second->writeTime, f.writeTime)))
            // A record lists its lines in the order of their keys.
            lines.insert_or_assign(lines.end(), std::move(key), f);
    }
    return lines;
}

DWORD SaveRecord(const std::string& root, const BackupRecord& head, const RecordMap& lines, std::string& onDisk) {
    BackupRecord record = head;
    record.files.clear();
    for (const auto& line : lines) record.files.push_back(line.second);
    std::string text = FormatBackupRecord(record, &RecordChecksum);
    if (text == onDisk) return ERROR_SUCCESS;
    const DWORD error = WriteFileText(RecordPathOf(root), text);
    if (error == ERROR_SUCCESS) onDisk = std::move(text);
    return error;
}

std::vector<std::string> ReadCheckFindings(const std::string& backupRoot, const RecordOnDisk* read) {
    // Those on the stick and those only this PC could keep, each once.
    std::vector<std::string> found = ReadLocalFindings(backupRoot, read);
    std::string text;
    if (ReadFileText(FindingsPathOf(WithBackslash(backupRoot)), text))
        for (std::string& relative : ParseCheckFindings(text))
            if (std::find(found.begin(), found.end(), relative) == found.end()) found.push_back(std::move(relative));
    return found;
}

DWORD SaveCheckFindings(const std::string& backupRoot, const std::vector<std::string>& relatives,
                        bool* keptHere) {
    const bool here = SaveLocalFindings(backupRoot, relatives) == ERROR_SUCCESS;
    if (keptHere) *keptHere = here;
    const std::string path = FindingsPathOf(WithBackslash(backupRoot));
    if (!relatives.empty()) return WriteFileText(path, FormatCheckFindings(relatives));
    if (::DeleteFileW(Wide(path).c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    return ::GetLastError();
}

}  // namespace backup
