// The system's folder picker, one home for every "Bladeren..." that asks
// for a folder (or, where a show file may be chosen too, a file).
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

// The chosen path, or empty when the user cancelled. includeFiles also
// lists files, so that one may be chosen instead of a folder. A non-empty
// start is selected when the picker opens; the caller checks it exists.
std::wstring PickFolder(HWND owner, const wchar_t* title, bool includeFiles = false,
                        const std::wstring& start = std::wstring());

// The system's picker; tests replace it to see what it was asked.
using BrowseForFolderFn = PIDLIST_ABSOLUTE(WINAPI*)(BROWSEINFOW*);
extern BrowseForFolderFn g_pfnBrowseForFolder;
