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

// True when Windows takes this name of a file or folder for a device:
// CON, PRN, AUX, NUL, COM1-COM9 and LPT1-LPT9 (also with the superscript
// digits of the code page, "COM\xB9"), in any letter case, whatever follows
// a dot or a colon and with blanks before it: "nul.wav", "Aux", "con .jpg",
// "COM1.". Opening such a name opens the device, whatever the folder.
bool IsDeviceName(std::string_view name);

// True when the last name of the path or any folder in it is a device name
// ("C:\Shows\Demo\nul.wav", "C:\Shows\AUX\x.wav").
bool NamesDevice(std::string_view path);

// A subfolder name of the repairs that stays inside the show's folder:
// plain folder names joined by "\" (a nested subfolder, "Media\Audio"),
// none of them empty, "." or "..", a device name, or holding a drive's
// colon, a "/" or another character Windows refuses in a name, or ending
// in a dot or a blank (Windows would drop it); no "\" at either end.
// Empty when the name may be used, otherwise why not, in a few Dutch words.
std::string SubfolderNameProblem(std::string_view name);
