// The two yellow repairs: they walk the records, move or copy the files,
// log every file they touch and report each problem file in a message.
// The pages only show what these report; tests run them on records of
// their own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "files/file_helpers.h"
#include "services/state.h"
#include "repair/repair_plan.h"

struct HWND__;

struct RepairOutcome {
    // False when a show file among the records stopped the walk early.
    bool completed = true;
    // Files that were not moved, copied, deleted or renamed as planned:
    // each was named in a message and in the run log.
    int failedFiles = 0;
    // Where the originals of a yellow-2 move went (SourcePlace names):
    // into the Recycle Bin, or deleted for good where there is none.
    std::vector<std::string> recycledPlaces;
    std::vector<std::string> purgedPlaces;
};

// Called before each file of the run is handled, once per record.
using RepairStep = std::function<void(const CFileReference& rec)>;

// Moves every yellow-1 record's file (and a sound file's .tlg companion)
// into its target folder by a rename on the show's drive.
RepairOutcome MoveYellow1Files(const CFileReferenceList& records, const std::string& showDrive,
                               const TargetFolders& folders, const RepairStep& step,
                               HWND__* owner = nullptr);

// Delete: into the Recycle Bin where the source's drive has one, deleted
// for good only where it has none.
enum class SourceAfterCopy { Delete, KeepAsBak };

// The places of the yellow-2 sources that have no Recycle Bin, in list
// order: what a move would delete for good.
std::vector<std::string> Yellow2PlacesWithoutRecycleBin(const CFileReferenceList& records,
                                                        const std::string& showDrive);

// After "Verplaatsen": one log line per place of the yellow-2 sources,
// saying whether its originals go to the Recycle Bin or are deleted.
void LogWhereOriginalsGo(const CFileReferenceList& records, const std::string& showDrive);

// Copies every yellow-2 record's file into its target folder; a source is
// deleted or renamed only after its copy is complete, and a sound file's
// old .tlg companion is deleted. copied is told the bytes of the current
// file's copy so far, chunk by chunk.
RepairOutcome CopyYellow2Files(const CFileReferenceList& records, const std::string& showDrive,
                               const TargetFolders& folders, SourceAfterCopy mode,
                               const RepairStep& step, HWND__* owner = nullptr,
                               const CopyProgressFn& copied = nullptr);

// Checks that the show's drive has room for all yellow-2 copies plus a
// margin of 1000000 bytes, logging the figures; reports a refusal or a
// failed query itself. True when the copies may go ahead.
bool CheckRoomForYellow2(const CFileReferenceList& records, const std::string& showDrive,
                         const std::string& showDir, HWND__* owner = nullptr);

// The texts a finished run leaves on the page. With failures the first
// sentence does not claim success: it says how many files were left and
// where they are named.
std::string Yellow1ResultText(int failedFiles, const std::string& driveText);
// originalsNote (Yellow2OriginalsNote) follows the first sentence.
std::string Yellow2ResultText(int failedFiles, const std::string& driveText,
                              const std::string& originalsNote = std::string());
