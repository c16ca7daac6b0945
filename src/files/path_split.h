// Splitting a path into drive, folder, name and extension: the one place
// in the program that does it, following the Windows splitting rules.
#pragma once

#include <string>
#include <string_view>

// Each part is cut to 255 characters, the drive to 2, as Windows does.
constexpr size_t kMaxPathPart = 255;

struct PathParts {
    std::string drive;  // "C:", or empty when the 2nd character is no colon
    std::string dir;    // "\Shows\Demo\": up to and including the last \ or /
    std::string name;   // "intro": up to the last dot of the rest
    std::string ext;    // ".WAV": from that dot, dot included; else empty
};

PathParts SplitPath(std::string_view path);

// The path with its "." and ".." segments folded away, as Windows resolves
// a full path: "C:\Shows\Demo\..\Muziek\x.wav" gives "C:\Muziek\x.wav"
// under "C:\Shows". "/" becomes "\", runs of separators become one, and
// ".." never climbs above the root. Where a file really lies decides
// whether it is inside the show's folder; what the show wrote is kept
// elsewhere for the user and the log.
std::string FoldDotSegments(std::string_view path);

// First character of a drive part in upper case (only a-z change);
// '\0' for an empty drive part, which no drive letter ever equals.
char UpperDriveLetter(std::string_view drive);
