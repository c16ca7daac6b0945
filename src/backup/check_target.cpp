#include "backup/check_target.h"

#include <windows.h>

#include <algorithm>

#include "backup/backup_disk.h"
#include "backup/backup_record.h"
#include "backup/backup_record_file.h"
#include "common/text.h"
#include "common/wide_text.h"
#include "files/file_system.h"
#include "backup/backup_names.h"

using namespace backup;

namespace {
bool IsShowName(const std::string& name) {
    return name.size() > 4 && EqualsNoCaseAscii(std::string_view(name).substr(name.size() - 4), ".ws4");
}

bool IsFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool HasRecord(const std::string& folder) { return IsFile(RecordPathOf(folder)); }

// The files and folders at the top of a folder, by name.
class CTopListing final : public CFolderVisitor {
public:
    std::vector<std::string> files, folders;
    bool OnFolder(const FolderPlace& place) override { return place.depth == 0; }
    bool OnEntry(const FolderPlace&, const FolderEntry& entry) override {
        (entry.isFolder ? folders : files).push_back(Utf8FromWide(entry.name, entry.nameLength));
        return false;
    }
};
}  // namespace

CheckTarget FindCheckTarget(const std::string& chosen) {
    CheckTarget target;
    if (chosen.empty()) return target;
    if (IsFile(chosen)) {
        target.folder = FolderPathOf(chosen);
        if (HasRecord(target.folder)) {
            target.kind = CheckTargetKind::Backup;
        } else if (IsShowName(chosen)) {
            target.kind = CheckTargetKind::ShowCopy;
            target.shows.push_back(chosen.substr(target.folder.size()));
        }
        return target;
    }
    target.folder = WithBackslash(chosen);
    if (!IsFolder(target.folder)) return target;
    if (target.folder.size() > 3 && HasRecord(target.folder)) {
        target.kind = CheckTargetKind::Backup;
        return target;
    }
    CTopListing top;
    WalkFolderTree(WideFromUtf8(target.folder), top);
    // A record beside its folder marks a back-up made by Zekerpad.
    for (const std::string& name : top.folders)
        if (IsFile(target.folder + BackupRecordName(name))) target.backups.push_back(name);
    std::sort(target.backups.begin(), target.backups.end(),
              [](const std::string& a, const std::string& b) { return NameKey(a) < NameKey(b); });
    if (target.backups.size() == 1) {
        target.folder += target.backups.front() + "\\";
        target.backups.clear();
        target.kind = CheckTargetKind::Backup;
    } else if (!target.backups.empty()) {
        target.kind = CheckTargetKind::BackupsBelow;
    } else {
        for (const std::string& name : top.files)
            if (IsShowName(name)) target.shows.push_back(name);
        std::sort(target.shows.begin(), target.shows.end());
        if (!target.shows.empty()) target.kind = CheckTargetKind::ShowCopy;
    }
    return target;
}

std::string CheckTargetText(const CheckTarget& target) {
    const std::string folder = Shown(target.folder);
    switch (target.kind) {
    case CheckTargetKind::Backup:
        return "Hier staat een back-up van Zekerpad:\n" + folder +
               "\nDe controle leest elk bestand en vergelijkt het met het overzicht van de back-up.";
    case CheckTargetKind::BackupsBelow:
        return "In " + folder + " staan " + std::to_string(target.backups.size()) +
               " back-ups van Zekerpad. Kies hierboven welke u wilt controleren.";
    case CheckTargetKind::ShowCopy: {
        std::string shows;
        for (size_t i = 0; i < target.shows.size(); ++i)
            shows += (i == 0 ? "" : i + 1 == target.shows.size() ? " en " : ", ") + Shown(target.shows[i]);
        return "In " + folder + " staat geen overzicht van Zekerpad. De controle gaat na of elk bestand dat " +
               shows + " noemt in deze map staat en heel is.";
    }
    case CheckTargetKind::Nothing:
        break;
    }
    return "Hier staat geen back-up van Zekerpad en geen show (.ws4). Kies de map van de back-up, de map waarin "
           "de back-ups staan, of het showbestand.";
}
