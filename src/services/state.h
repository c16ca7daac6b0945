// Process-wide state through which the wizard pages hand work to each other.
// Touched only by the user-interface thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CFileReference;
class CWingsTestAppOperations;

// A result list owns its records; only ClearResultLists empties it.
using CFileReferenceList = std::vector<std::unique_ptr<CFileReference>>;

extern std::string g_csRecentFile;     // the chosen show ("ShowBestand")
extern std::string g_csSubmapAudio;    // subfolder names of the repairs
extern std::string g_csSubmapPlaatjes;
extern std::string g_csSubmapOverige;

// The last destination of a back-up ("BackupMap"); written back only
// once a back-up has been started, so that the settings of a user who
// never makes one stay as they were.
extern std::string g_csBackupMap;
extern int g_bBackupStarted;
// The contact lines set by whoever handed out the program ("Contact");
// read only: the program never writes it back.
extern std::string g_csContact;

extern std::string g_csAnalysedFile;   // the show the current results belong to
extern int g_bAnalysed;                // results are current for g_csAnalysedFile

extern CFileReferenceList g_aRedFiles;
extern CFileReferenceList g_aYellowFiles;
extern CFileReferenceList g_aGreenFiles;

extern int32_t g_nRed;
extern int32_t g_nYellow;
extern int32_t g_nGreen;
extern int32_t g_nYellow1;
extern int32_t g_nYellow2;
extern int32_t g_nOther;
// 64-bit: a show with a few videos easily passes 2 GB.
extern int64_t g_nTotalBytes;
// Files on a network share that the show names ("\\server\share\x.wav"):
// counted nowhere else, yet they keep the show from green light.
extern std::vector<std::string> g_aNetworkPaths;
// A repair has changed a file (or Wings ran) since the last analysis: its
// results no longer describe the disk.
extern int g_bRepairChanged;

// What "Bestanden nakijken" found inside the files of the analysed show,
// one entry per file read. Plain data: the check itself lies above.
enum class FileContent { Whole, Warning, Damaged, NotJudged };
struct CheckedFile {
    std::string path;  // as the show names it
    FileContent content = FileContent::NotJudged;
    std::string reason;  // plain Dutch, what is wrong and what to do; empty when whole
    // The file as it was read: once either changes, the finding no longer holds.
    int64_t size = -1;
    uint64_t written = 0;
};
extern std::vector<CheckedFile> g_aCheckedFiles;
// Files the last check found damaged: no green light while there are any.
int32_t DamagedFileCount();

// Drive ("C:") and folder ("\Shows\Demo\") of the analysed show.
extern std::string g_szShowDrive;
extern std::string g_szShowDir;

// Text control that shows the folder being searched, while a search runs.
struct HWND__;
extern HWND__* g_pSearchStatus;

// The application object, seen through the operations the pages use.
extern CWingsTestAppOperations* g_pApp;
extern int g_bBlink;

// Resets the analysis results and counters to their start-up values
// (used by start-up and by tests).
void ResetSharedState();

// Empties the three result lists (the application's ClearResultLists).
void EmptyResultLists();
