// What the two yellow repairs decide without touching a file: which records
// are theirs, where each file goes, how much room the copies need, and the
// text that sums a run up. Free of <windows.h>, so it is tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "services/state.h"

class CFileReference;

// The show's subfolders for sound, image and other files, each ending
// in "\": show folder + subfolder name + "\".
struct TargetFolders {
    std::string audio;
    std::string plaatjes;
    std::string overige;
};

TargetFolders BuildTargetFolders(std::string_view showDrive, std::string_view showDir,
                                 std::string_view subAudio, std::string_view subPlaatjes,
                                 std::string_view subOverige);

// The folder a record's file goes to; null for a show file (kind 0),
// which no repair may move.
const std::string* TargetFolderOf(const TargetFolders& folders, int kind);

// target folder + name + extension
std::string TargetPath(const std::string& folder, const CFileReference& rec);
// The .tlg companion of a sound file beside it, and in the target folder.
std::string CompanionSourcePath(const CFileReference& rec);
std::string CompanionTargetPath(const std::string& folder, const CFileReference& rec);
// The name a kept source gets: ".bak" behind the whole name.
std::string BackupPath(const CFileReference& rec);

// Yellow 1 lies on the show's drive, yellow 2 on another.
bool IsYellow2(const CFileReference& rec, std::string_view showDrive);

// Bytes the yellow-2 copies need on the show's drive: the sizes of all
// yellow-2 records (a sound file's includes its companion). Unmeasured
// sizes (-1) count as nothing.
int64_t NeededBytesForYellow2(const CFileReferenceList& records, std::string_view showDrive);

// A progress bar's range and position are 32-bit: how far a run's amounts
// (bytes of many files) are shifted right so that its total fits. 0 when
// it fits as it is.
int ProgressShift(int64_t total);

// The text that names the show's drive in the result texts: its letter in
// upper case, or the show's folder when the show has no drive letter.
std::string ShowDriveText(std::string_view showDrive, std::string_view showDir);

// Where a yellow-2 source lies, as the log names it: its drive ("E:"), or
// for a path without a drive letter its network share ("\\server\share").
std::string SourcePlace(const CFileReference& rec);

// Adds a place to a list of places once, keeping the order of first sight.
void AddPlace(std::vector<std::string>& places, const std::string& place);

// Added to the yellow-2 question when some sources lie where no Recycle
// Bin is: a Yes there deletes for good, and the user reads so before
// answering. Empty when every source has a Recycle Bin.
std::string Yellow2QuestionNote(const std::vector<std::string>& placesWithoutBin);

// One sentence for the result text of a run that moved: where the
// originals went. Empty when no original was removed.
std::string Yellow2OriginalsNote(const std::vector<std::string>& recycled, const std::vector<std::string>& purged);
