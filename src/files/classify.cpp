#include "files/classify.h"

#include "files/path_split.h"
#include "common/text.h"

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

}  // namespace

OpenRefusal OpenRefusalOf(uint32_t systemError)
{
    // The system's codes, spelled out so that this stays free of windows.h.
    constexpr uint32_t kAccessDenied = 5, kSharingViolation = 32, kLockViolation = 33;
    switch (systemError) {
    case kSharingViolation:
    case kLockViolation:
        return OpenRefusal::Busy;
    case kAccessDenied:
        return OpenRefusal::AccessDenied;
    default:
        return OpenRefusal::Other;
    }
}

int ExistsStateWhenUnreadable(uint32_t systemError)
{
    // No error: it opened after all, so it is there.
    return systemError == 0 || OpenRefusalOf(systemError) == OpenRefusal::Busy ? 0 : -1;
}

bool IsYellow1(char chDrive, std::string_view showDrive)
{
    const char showLetter = UpperDriveLetter(showDrive);
    return showLetter != '\0' && chDrive == showLetter;
}

RefColour ClassifyReference(int exists, std::string_view drive, std::string_view dir,
                            std::string_view showDrive, std::string_view showDir)
{
    if (exists == -1)
        return RefColour::Red;
    if (showDrive.empty())
        return RefColour::Yellow;  // the show's drive is unknown
    if (EqualsNoCaseAscii(drive, showDrive) && EqualsNoCaseAscii(dir, showDir))
        return RefColour::GreenInShowFolder;
    // A drive-relative show path ("C:demo.ws4") has an empty or relative
    // folder: the show's real folder is unknown, so nothing on its drive
    // may pass for lying below it.
    const bool showDirIsAbsolute = !showDir.empty() && IsSeparator(showDir[0]);
    // showDir ends in a separator, so C:\Shows\Demo2\ is no subfolder of
    // C:\Shows\Demo\.
    if (showDirIsAbsolute && UpperDriveLetter(drive) == UpperDriveLetter(showDrive) &&
        dir.size() > showDir.size() && StartsWithNoCaseAscii(dir, showDir))
        return RefColour::GreenInSubfolder;
    return RefColour::Yellow;
}

ReferencePlace PlaceReference(int exists, std::string_view reference, std::string_view showDrive,
                              std::string_view showDir)
{
    // Most references hold nothing to fold; they are split as written.
    const bool mayFold = reference.find('/') != std::string_view::npos ||
                         reference.find("\\.") != std::string_view::npos ||
                         reference.find("\\\\") != std::string_view::npos;
    const PathParts where = SplitPath(mayFold ? FoldDotSegments(reference) : reference);
    ReferencePlace place{ClassifyReference(exists, where.drive, where.dir, showDrive, showDir), {}};
    if (place.colour == RefColour::GreenInSubfolder)
        place.relativeText = GreenSubfolderText(where.dir, where.name, where.ext, showDir);
    return place;
}

std::string GreenSubfolderText(std::string_view dir, std::string_view name,
                               std::string_view ext, std::string_view showDir)
{
    std::string text = ".\\";
    if (dir.size() > showDir.size())
        text.append(dir.substr(showDir.size()));
    text.append(name);
    text.append(ext);
    return text;
}
