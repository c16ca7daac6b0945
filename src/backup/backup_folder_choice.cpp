#include "backup/backup_folder_choice.h"

#include "common/text.h"
#include "files/path_split.h"

namespace {
std::string WithoutTrailingBackslash(std::string_view folder) {
    if (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
    return std::string(folder);
}
}  // namespace

bool SameFolderText(std::string_view a, std::string_view b) {
    return NameKey(WithoutTrailingBackslash(a)) == NameKey(WithoutTrailingBackslash(b));
}

bool SamePathBelowDrive(std::string_view a, std::string_view b) {
    const std::string driveA = SplitPath(a).drive, driveB = SplitPath(b).drive;
    return driveA.size() == 2 && driveB.size() == 2 && SameFolderText(a.substr(2), b.substr(2));
}

BackupFolderChoice ChooseBackupFolder(const std::string& showName, const std::string& showFolder,
                                      const std::function<BackupFolderState(const std::string& name)>& look) {
    BackupFolderChoice choice;
    for (int n = 1; n <= kMaxBackupFolderNumber; ++n) {
        const std::string name = n == 1 ? showName : showName + " (" + std::to_string(n) + ")";
        const BackupFolderState state = look(name);
        if (state.recordShow) {
            if (state.recordShowIsThis || SameFolderText(*state.recordShow, showFolder)) {
                choice.name = name;
                return choice;
            }
            if (n == 1) choice.takenBy = true;
            continue;
        }
        const bool full = state.folderExists && !state.folderEmpty;
        // Only the show's own name is worth a question: an earlier back-up
        // made without a record. A numbered one is somebody else's.
        if (full && n > 1) continue;
        choice.name = name;
        choice.needsConsent = full;
        return choice;
    }
    return choice;
}
