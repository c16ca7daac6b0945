// The system's folder picker, one home for every "Bladeren..." that asks
// for a folder (or, where a show file may be chosen too, a file).
#pragma once

#include <string>

struct HWND__;

// The chosen path, or empty when the user cancelled. includeFiles also
// lists files, so that one may be chosen instead of a folder.
std::wstring PickFolder(HWND__* owner, const wchar_t* title, bool includeFiles = false);
