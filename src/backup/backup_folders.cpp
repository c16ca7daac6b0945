#include "backup/backup_folders.h"

#include "backup/backup_plan.h"
#include "common/text.h"

std::string WithBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder.push_back('\\');
    return folder;
}

std::string NormalizeFolder(const std::string& folder) {
    std::string work = folder;
    for (char& c : work)
        if (c == '/') c = '\\';
    if (work.size() >= 2 && work.back() == '\\' && work[work.size() - 2] != ':') work.pop_back();
    if (!work.empty() && work.back() == ':') work.push_back('\\');
    return work;
}

std::string ShowFolderName(const std::string& showFolder) {
    const std::string show = NormalizeFolder(showFolder);
    const size_t slash = show.rfind('\\');
    return slash == std::string::npos ? show : show.substr(slash + 1);
}

std::string BackupRoot(const std::string& destination, const std::string& showFolder,
                       const std::string& folderName) {
    return WithBackslash(NormalizeFolder(destination)) +
           (folderName.empty() ? ShowFolderName(showFolder) : folderName) + "\\";
}

DestinationProblem DestinationProblemBySpelling(const std::string& destination, const std::string& showFolder) {
    const std::string folder = NormalizeFolder(destination);
    if (folder.empty()) return DestinationProblem::Empty;
    const std::string show = WithBackslash(NormalizeFolder(showFolder));
    // "C:\" or "\\server\share\": a drive's root has no name of its own.
    const std::string trimmed = show.substr(0, show.size() - 1);
    if (trimmed.empty() || trimmed.back() == ':' || trimmed.find('\\') == std::string::npos)
        return DestinationProblem::ShowAtRoot;
    const std::string root = BackupRoot(folder, show);
    if (folder.size() > kBackupMaxPath || root.size() > kBackupMaxPath) return DestinationProblem::TooLong;
    const std::string showKey = NameKey(show);
    if (NameKey(WithBackslash(folder)).compare(0, showKey.size(), showKey) == 0) return DestinationProblem::InsideShow;
    const std::string rootKey = NameKey(root);
    if (showKey.compare(0, rootKey.size(), rootKey) == 0) return DestinationProblem::ShowInside;
    return DestinationProblem::None;
}

bool SameDrive(const std::string& a, const std::string& b) {
    return a.size() >= 2 && b.size() >= 2 && a[1] == ':' && b[1] == ':' && ToUpperAscii(a[0]) == ToUpperAscii(b[0]);
}
