#include "wizard/folder_picker.h"

#include <windows.h>
#include <shlobj.h>

std::wstring PickFolder(HWND owner, const wchar_t* title, bool includeFiles) {
    BROWSEINFOW info{};
    wchar_t name[MAX_PATH] = {};
    info.hwndOwner = owner;
    info.pszDisplayName = name;
    info.lpszTitle = title;
    info.ulFlags = BIF_NEWDIALOGSTYLE | (includeFiles ? BIF_BROWSEINCLUDEFILES : BIF_RETURNONLYFSDIRS);
    // The picker with a "new folder" button needs COM on this thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
    if (SUCCEEDED(com)) ::CoUninitialize();
    if (!chosen) return std::wstring();
    // The system's own limit for this call; a longer path is not returned.
    wchar_t path[MAX_PATH] = {};
    const bool ok = ::SHGetPathFromIDListW(chosen, path) != FALSE;
    ::ILFree(chosen);
    return ok ? std::wstring(path) : std::wstring();
}
