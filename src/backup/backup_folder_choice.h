// Which folder of a destination is a show's back-up: by the names the
// folders have and the show folder their records name. Pure: the caller
// looks at the disk.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Whether two paths name the same folder by their spelling, letters compared
// as Windows compares names; one trailing backslash ignored.
bool SameFolderText(std::string_view a, std::string_view b);

// Both paths have a drive letter and the same path below it ("D:\Shows\Demo"
// and "G:\Shows\Demo\"): one folder, perhaps, on a disk that came back
// under another letter.
bool SamePathBelowDrive(std::string_view a, std::string_view b);

// What is found under one candidate name in the destination.
struct BackupFolderState {
    bool folderExists = false;
    bool folderEmpty = true;
    std::optional<std::string> recordShow;  // the show folder its record names
    bool recordShowIsThis = false;  // that folder is known to be this show's under another name
};

struct BackupFolderChoice {
    std::string name;         // "Kerst (2)"
    bool needsConsent = false;  // a full folder without a record: ask first
    bool takenBy = false;     // the show's own name belongs to another show
};

constexpr int kMaxBackupFolderNumber = 999;

// The back-up folder for the show's folder named showName: the first of
// "Kerst", "Kerst (2)", "Kerst (3)" ... that is this show's, or free. A
// folder whose record names another show is never chosen; an empty name
// when all up to kMaxBackupFolderNumber are taken.
BackupFolderChoice ChooseBackupFolder(const std::string& showName, const std::string& showFolder,
                                      const std::function<BackupFolderState(const std::string& name)>& look);
