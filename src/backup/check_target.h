// What a folder or show file chosen for a check holds, so that one button
// can check whatever the user brings: a back-up with its record, a folder
// above back-ups, or a copy of a show made without Zekerpad.
#pragma once

#include <string>
#include <vector>

enum class CheckTargetKind {
    Backup,       // a back-up folder with its record beside it
    BackupsBelow, // a folder holding the records of several back-ups
    ShowCopy,     // no record: judged by the show files in it
    Nothing,      // neither a record nor a show file
};

// Paths in UTF-8, folders ending in "\".
struct CheckTarget {
    CheckTargetKind kind = CheckTargetKind::Nothing;
    std::string folder;                // the back-up folder, or the copy
    std::vector<std::string> backups;  // back-up folders below (BackupsBelow), by name
    std::vector<std::string> shows;    // show files judged (ShowCopy), below folder ("demo.ws4")
};

// chosen: a folder, or a show file (a ".ws4" on the stick chosen directly).
CheckTarget FindCheckTarget(const std::string& chosen);

// The line the check's dialog shows before the check: what it will do.
std::string CheckTargetText(const CheckTarget& target);
