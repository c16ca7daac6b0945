#include "analysis/show_copy.h"

#include <map>
#include <set>

#include "common/text.h"

namespace {
// "C:\", "C:\Shows\", "C:\Shows\Demo\" for "C:\Shows\Demo\x.wav".
std::vector<std::string> FoldersAbove(const std::string& path) {
    std::vector<std::string> folders;
    for (size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1))
        folders.push_back(path.substr(0, slash + 1));
    return folders;
}

std::string WithoutBackslash(const std::string& folder) {
    // "C:\" keeps its backslash: "C:" alone names the drive's current folder.
    if (folder.size() > 3 && folder.back() == '\\') return folder.substr(0, folder.size() - 1);
    return folder;
}
}  // namespace

std::string PlaceInCopy(const std::string& reference, const std::string& oldFolder, const std::string& copyFolder) {
    if (oldFolder.empty() || reference.size() <= oldFolder.size() || !StartsWithNoCaseAscii(reference, oldFolder))
        return std::string();
    return copyFolder + reference.substr(oldFolder.size());
}

ShowCopyMap MapShowCopy(const std::vector<std::string>& references, const std::string& copyFolder,
                        const std::function<bool(const std::string&)>& present) {
    ShowCopyMap map;
    std::vector<std::string> files;
    std::set<std::string> seen;
    for (const std::string& ref : references)
        if (seen.insert(UpperCasedAscii(ref)).second) files.push_back(ref);
    map.named = static_cast<int>(files.size());
    if (files.empty()) return map;

    // Each folder above a reference is a candidate; the one that finds the
    // most files wins, and of equals the one that holds the most names,
    // then the deepest: it is the show's own folder, not a folder above it.
    struct Score {
        std::string folder;
        int found = 0;
        int holds = 0;
    };
    std::map<std::string, Score> scores;
    for (const std::string& file : files)
        for (const std::string& folder : FoldersAbove(file)) {
            Score& score = scores[UpperCasedAscii(folder)];
            score.folder = folder;
            ++score.holds;
            if (present(copyFolder + file.substr(folder.size()))) ++score.found;
        }
    const Score* best = nullptr;
    for (const auto& entry : scores) {
        const Score& s = entry.second;
        if (!best || s.found > best->found || (s.found == best->found && s.holds > best->holds) ||
            (s.found == best->found && s.holds == best->holds && s.folder.size() > best->folder.size()))
            best = &s;
    }
    if (best) {
        map.oldFolder = best->folder;
        map.atSamePlace = best->found;
    }
    return map;
}

std::string ShowCopyNote(const ShowCopyMap& map, const std::string& showFolder) {
    if (map.oldFolder.empty() || map.atSamePlace == 0 || EqualsNoCaseAscii(map.oldFolder, showFolder))
        return std::string();
    return "Deze show is een kopie van " + WithoutBackslash(map.oldFolder) + "; " + std::to_string(map.atSamePlace) +
           " van de " + std::to_string(map.named) +
           " bestanden staan op dezelfde plaats in deze kopie. Controleer de kopie met de knop 'Back-up of show "
           "controleren...' op de eerste pagina.\n";
}
