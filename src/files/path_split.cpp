#include "files/path_split.h"

#include <vector>

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

std::string FoldDotSegments(std::string_view path)
{
    std::string folded;
    if (path.size() >= 2 && path[1] == ':') {
        folded.append(path.substr(0, 2));
        path.remove_prefix(2);
    }
    const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    const bool absolute = !path.empty() && isSeparator(path[0]);
    if (absolute)
        folded.push_back('\\');
    const bool endsInSeparator = !path.empty() && isSeparator(path.back());

    std::vector<std::string_view> segments;
    while (!path.empty()) {
        size_t end = 0;
        while (end < path.size() && !isSeparator(path[end]))
            ++end;
        const std::string_view segment = path.substr(0, end);
        path.remove_prefix(end < path.size() ? end + 1 : end);
        if (segment.empty() || segment == ".")
            continue;
        if (segment == "..") {
            if (!segments.empty() && segments.back() != "..")
                segments.pop_back();
            else if (!absolute)
                segments.push_back(segment);  // a relative path keeps what it cannot resolve
            continue;
        }
        segments.push_back(segment);
    }
    for (size_t i = 0; i < segments.size(); ++i) {
        if (i > 0)
            folded.push_back('\\');
        folded.append(segments[i]);
    }
    if (endsInSeparator && !segments.empty())
        folded.push_back('\\');
    return folded;
}

char UpperDriveLetter(std::string_view drive)
{
    return drive.empty() ? '\0' : ToUpperAscii(drive[0]);
}
