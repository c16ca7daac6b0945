// The show's three subfolders, made before a repair moves or copies files.
#include <windows.h>
#include <imagehlp.h>

#include "files/file_helpers.h"
#include "analysis/show_folders.h"
#include "services/msgbox.h"
#include "services/state.h"
#include "common/res_string.h"
#include "resource.h"

bool MakeShowSubfolders() {
    for (const std::string* name : {&g_csSubmapAudio, &g_csSubmapPlaatjes, &g_csSubmapOverige}) {
        const std::string path = g_szShowDrive + g_szShowDir + *name + "\\";
        // A path too long to build is refused like one that cannot be made.
        // MakeSureDirectoryPathExists also answers true when a file holds
        // the name: only a folder that can be entered counts.
        if (path.size() > kMaxBuiltPath ||
            (!FolderExists(path) && (!::MakeSureDirectoryPathExists(path.c_str()) || !FolderExists(path)))) {
            ShowMessage(LoadResString(IDS_ERR_MKDIR) + path);
            return false;
        }
    }
    return true;
}
