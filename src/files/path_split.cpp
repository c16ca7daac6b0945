#include "files/path_split.h"

#include <algorithm>
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

namespace {
bool IsSeparatorChar(char c) { return c == '\\' || c == '/'; }

// The code page's superscript one, two and three: Windows reserves COM¹
// and LPT³ as it does COM1 and LPT3.
bool IsDeviceDigit(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return (c >= '1' && c <= '9') || u == 0xB9 || u == 0xB2 || u == 0xB3;
}
}  // namespace

bool IsDeviceName(std::string_view name) {
    // Windows looks at the name up to its first dot or colon, without the
    // blanks before it.
    const size_t stop = name.find_first_of(".:");
    if (stop != std::string_view::npos) name = name.substr(0, stop);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    if (name.size() == 3) {
        for (const char* device : {"CON", "PRN", "AUX", "NUL"})
            if (EqualsNoCaseAscii(name, device)) return true;
        return false;
    }
    if (name.size() != 4 || !IsDeviceDigit(name[3])) return false;
    return EqualsNoCaseAscii(name.substr(0, 3), "COM") || EqualsNoCaseAscii(name.substr(0, 3), "LPT");
}

bool NamesDevice(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':') path.remove_prefix(2);
    while (!path.empty()) {
        size_t end = 0;
        while (end < path.size() && !IsSeparatorChar(path[end])) ++end;
        if (IsDeviceName(path.substr(0, end))) return true;
        path.remove_prefix(end < path.size() ? end + 1 : end);
    }
    return false;
}

std::string SubfolderNameProblem(std::string_view name) {
    if (name.empty()) return "de naam is leeg";
    if (name.front() == '\\' || name.back() == '\\')
        return "de naam mag niet met een schuine streep \\ beginnen of eindigen";
    // A nested subfolder ("Media\Audio") is a name of names, each plain.
    while (!name.empty()) {
        const size_t end = std::min(name.find('\\'), name.size());
        const std::string_view part = name.substr(0, end);
        name.remove_prefix(end < name.size() ? end + 1 : end);
        if (part.empty()) return "er staan twee schuine strepen \\ achter elkaar";
        if (part == "." || part == "..") return "\"" + std::string(part) + "\" wijst niet naar een map binnen de show";
        for (char c : part) {
            if (static_cast<unsigned char>(c) < 0x20) return "er staat een stuurteken in";
            if (std::string_view(":*?\"<>|/").find(c) != std::string_view::npos)
                return "het teken " + std::string(1, c) + " mag niet in de naam van een map staan";
        }
        if (part.back() == '.' || part.back() == ' ') return "een naam van een map mag niet op een punt of een spatie eindigen";
        if (IsDeviceName(part)) return "\"" + std::string(part) + "\" is in Windows de naam van een apparaat";
    }
    return std::string();
}
