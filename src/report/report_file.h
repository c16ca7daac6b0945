// Saving a report: under a temporary name beside the target first, then
// renamed, so that a failed write never leaves half a report.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <string>

// The system's save dialog; tests replace it to answer it.
using SaveFileDialogFn = BOOL(WINAPI*)(OPENFILENAMEA*);
extern SaveFileDialogFn g_pfnGetSaveFileName;

enum class ReplacePolicy {
    Replace,         // replace whatever is there
    OnlyOwnReports,  // never replace a file that is no report (a script's target, or the save dialog's)
};

// Writes html to target. False with a Dutch reason in *error when the path
// is too long, the folder is missing, an existing file may not be replaced,
// or the write or the rename fails; no file is then left behind and an
// existing target is as it was.
bool WriteReportFile(const std::string& target, const std::string& html, ReplacePolicy policy,
                     std::string* error);

// Asks where to save (suggesting suggestedName in the user's Documents
// folder) and saves the page that makeHtml gives. Tells the user when it
// fails. False when cancelled or failed.
bool SaveReportAs(HWND owner, const std::string& suggestedName, const std::function<std::string()>& makeHtml);
