#include "services/state.h"

#include "files/file_reference.h"

std::string g_csRecentFile;
std::string g_csSubmapAudio;
std::string g_csSubmapPlaatjes;
std::string g_csSubmapOverige;

std::string g_csBackupMap;
std::string g_csContact;
int g_bBackupStarted = 0;

std::string g_csAnalysedFile;
int g_bAnalysed = 0;

CFileReferenceList g_aRedFiles;
CFileReferenceList g_aYellowFiles;
CFileReferenceList g_aGreenFiles;

int32_t g_nRed = 0;
int32_t g_nYellow = 0;
int32_t g_nGreen = 0;
int32_t g_nYellow1 = 0;
int32_t g_nYellow2 = 0;
int32_t g_nOther = 0;
int64_t g_nTotalBytes = 0;
std::vector<std::string> g_aNetworkPaths;
int g_bRepairChanged = 0;
std::vector<CheckedFile> g_aCheckedFiles;

int32_t DamagedFileCount() {
    int32_t n = 0;
    for (const CheckedFile& f : g_aCheckedFiles)
        if (f.content == FileContent::Damaged) ++n;
    return n;
}

std::string g_szShowDrive;
std::string g_szShowDir;

HWND__* g_pSearchStatus = nullptr;
CWingsTestAppOperations* g_pApp = nullptr;
int g_bBlink = 0;

void ResetSharedState() {
    // The lists start empty: a count of placeholder entries would make the
    // red page believe in red files after a scan that stopped early.
    g_aRedFiles.clear();
    g_aYellowFiles.clear();
    g_aGreenFiles.clear();
    g_nRed = g_nYellow = g_nGreen = 0;
    g_nYellow1 = g_nYellow2 = g_nOther = 0;
    g_nTotalBytes = 0;
    g_aNetworkPaths.clear();
    g_bRepairChanged = 0;
    g_aCheckedFiles.clear();
    g_bAnalysed = 0;
    g_csAnalysedFile.clear();
    g_szShowDrive.clear();
    g_szShowDir.clear();
    g_pSearchStatus = nullptr;
}

void EmptyResultLists() {
    for (CFileReferenceList* list : {&g_aRedFiles, &g_aYellowFiles, &g_aGreenFiles}) list->clear();
}
