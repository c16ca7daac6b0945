#include "analysis/path_split.h"

#include "common/text.h"

namespace {

std::string Cut(std::string_view part)
{
    return std::string(part.substr(0, kMaxPathPart));
}

}  // namespace

PathParts SplitPath(std::string_view path)
{
    PathParts parts;
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive = std::string(path.substr(0, 2));
        path.remove_prefix(2);
    }

    const size_t lastSeparator = path.find_last_of("\\/");
    if (lastSeparator != std::string_view::npos) {
        parts.dir = Cut(path.substr(0, lastSeparator + 1));
        path.remove_prefix(lastSeparator + 1);
    }

    // Only the part after the folder counts: a dot in a folder name
    // makes no extension.
    const size_t lastDot = path.rfind('.');
    if (lastDot != std::string_view::npos) {
        parts.ext = Cut(path.substr(lastDot));
        path.remove_suffix(path.size() - lastDot);
    }
    parts.name = Cut(path);
    return parts;
}

char UpperDriveLetter(std::string_view drive)
{
    return drive.empty() ? '\0' : ToUpperAscii(drive[0]);
}
