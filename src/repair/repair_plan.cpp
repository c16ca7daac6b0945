#include "repair/repair_plan.h"

#include "files/classify.h"
#include "files/file_kind.h"
#include "files/file_reference.h"
#include "files/path_split.h"

namespace {
std::string SubfolderPath(std::string_view showDrive, std::string_view showDir, std::string_view sub) {
    std::string path;
    path.reserve(showDrive.size() + showDir.size() + sub.size() + 1);
    path.append(showDrive).append(showDir).append(sub).append("\\");
    return path;
}
}  // namespace

TargetFolders BuildTargetFolders(std::string_view showDrive, std::string_view showDir,
                                 std::string_view subAudio, std::string_view subPlaatjes,
                                 std::string_view subOverige) {
    return TargetFolders{SubfolderPath(showDrive, showDir, subAudio),
                         SubfolderPath(showDrive, showDir, subPlaatjes),
                         SubfolderPath(showDrive, showDir, subOverige)};
}

const std::string* TargetFolderOf(const TargetFolders& folders, int kind) {
    switch (kind) {
    case kKindShow:
        return nullptr;
    case kKindSound:
        return &folders.audio;
    case kKindImage:
        return &folders.plaatjes;
    default:
        return &folders.overige;
    }
}

// The folders end in "\" and the record's folder part in "\" or "/", so
// the parts join without a separator of their own.
std::string TargetPath(const std::string& folder, const CFileReference& rec) {
    return folder + rec.m_csName + rec.m_csExt;
}

std::string CompanionSourcePath(const CFileReference& rec) {
    return rec.m_csDrive + rec.m_csDir + rec.m_csName + ".tlg";
}

std::string CompanionTargetPath(const std::string& folder, const CFileReference& rec) {
    return folder + rec.m_csName + ".tlg";
}

std::string BackupPath(const CFileReference& rec) { return rec.m_csPath + ".bak"; }

bool IsYellow2(const CFileReference& rec, std::string_view showDrive) {
    return !IsYellow1(rec.m_chDrive, showDrive);
}

int64_t NeededBytesForYellow2(const CFileReferenceList& records, std::string_view showDrive) {
    int64_t needed = 0;
    for (const auto& rec : records)
        if (rec && IsYellow2(*rec, showDrive) && rec->m_nSize > 0) needed += rec->m_nSize;
    return needed;
}

int ProgressShift(int64_t total) {
    int shift = 0;
    while ((total >> shift) > INT32_MAX) ++shift;
    return shift;
}

std::string ShowDriveText(std::string_view showDrive, std::string_view showDir) {
    const char letter = UpperDriveLetter(showDrive);
    return letter != '\0' ? std::string(1, letter) : std::string(showDir);
}

std::string SourcePlace(const CFileReference& rec) {
    if (!rec.m_csDrive.empty()) return std::string(1, UpperDriveLetter(rec.m_csDrive)) + ":";
    // "\\server\share\..." : the part up to the share's own backslash.
    const std::string& path = rec.m_csPath;
    size_t end = path.rfind("\\\\", 0) == 0 ? path.find('\\', 2) : std::string::npos;
    if (end != std::string::npos) end = path.find('\\', end + 1);
    return end == std::string::npos ? path : path.substr(0, end);
}

void AddPlace(std::vector<std::string>& places, const std::string& place) {
    for (const auto& known : places)
        if (known == place) return;
    places.push_back(place);
}

namespace {
// "schijf E:", "schijf D: en de netwerkmap \\nas\muziek": each place
// is named in full, so a letter never stands alone.
std::string PlacesText(const std::vector<std::string>& places) {
    std::string text;
    for (size_t i = 0; i < places.size(); ++i) {
        if (i > 0) text += i + 1 == places.size() ? " en " : ", ";
        const bool letter = places[i].size() == 2 && places[i][1] == ':';
        text += (letter ? "schijf " : "de netwerkmap ") + places[i];
    }
    return text;
}

const char* HasVerb(const std::vector<std::string>& places) { return places.size() == 1 ? " heeft" : " hebben"; }
}  // namespace

std::string Yellow2QuestionNote(const std::vector<std::string>& placesWithoutBin) {
    if (placesWithoutBin.empty()) return std::string();
    return "\n\nLet op: " + PlacesText(placesWithoutBin) + HasVerb(placesWithoutBin) +
           " geen Prullenbak. Kiest u Ja, dan worden de bestanden daar voorgoed verwijderd.";
}

std::string Yellow2OriginalsNote(const std::vector<std::string>& recycled, const std::vector<std::string>& purged) {
    if (purged.empty())
        return recycled.empty() ? std::string() : "De oorspronkelijke bestanden staan in de Prullenbak.";
    if (recycled.empty())
        return "De oorspronkelijke bestanden zijn voorgoed verwijderd, want " + PlacesText(purged) + HasVerb(purged) +
               " geen Prullenbak.";
    return "De oorspronkelijke bestanden van " + PlacesText(recycled) + " staan in de Prullenbak; die van " +
           PlacesText(purged) + " zijn voorgoed verwijderd, want daar is geen Prullenbak.";
}
