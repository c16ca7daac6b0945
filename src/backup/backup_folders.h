// How the back-up spells the folders it works with: a destination as
// typed, the show's folder, the back-up's own folder in the destination,
// and the refusals that their spelling alone decides. Pure text work.
#pragma once

#include <string>

// "E:\Back-ups\" for "E:\Back-ups" and for "E:\Back-ups\".
std::string WithBackslash(std::string folder);

// Where a destination is refused before anything is copied.
enum class DestinationProblem {
    None,
    Empty,
    TooLong,
    InsideShow,   // the destination is the show's folder or lies in it
    ShowInside,   // the back-up's own folder would be the show's folder
    ShowAtRoot,   // the show lies in a drive's root: no folder to name it by
};

// showFolder ends in a backslash ("C:\Shows\Demo\"); destination as typed.
DestinationProblem DestinationProblemBySpelling(const std::string& destination, const std::string& showFolder);

// "E:\Back-ups\Demo\" for the destination "E:\Back-ups" and the show's
// folder "C:\Shows\Demo\": the back-up mirrors the folder by its own name
// (or by folderName, "Demo (2)", when that name is another show's).
std::string BackupRoot(const std::string& destination, const std::string& showFolder,
                       const std::string& folderName = std::string());

// "Demo" for "C:\Shows\Demo\".
std::string ShowFolderName(const std::string& showFolder);

// The destination with one trailing backslash removed, except after a
// drive ("E:\" stays), and a bare "E:" made "E:\".
std::string NormalizeFolder(const std::string& folder);

// Both name a drive letter and it is the same letter.
bool SameDrive(const std::string& a, const std::string& b);
