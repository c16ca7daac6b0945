#include "wizard/folder_picker.h"

BrowseForFolderFn g_pfnBrowseForFolder = &::SHBrowseForFolderW;

namespace {
// Selects the start folder once the picker's tree is there; lpData points
// at the caller's string, which outlives the modal picker.
int CALLBACK SelectStart(HWND picker, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED)
        ::SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}
}  // namespace

std::wstring PickFolder(HWND owner, const wchar_t* title, bool includeFiles, const std::wstring& start) {
    BROWSEINFOW info{};
    wchar_t name[MAX_PATH] = {};
    info.hwndOwner = owner;
    info.pszDisplayName = name;
    info.lpszTitle = title;
    info.ulFlags = BIF_NEWDIALOGSTYLE | (includeFiles ? BIF_BROWSEINCLUDEFILES : BIF_RETURNONLYFSDIRS);
    if (!start.empty()) {
        info.lpfn = &SelectStart;
        info.lParam = reinterpret_cast<LPARAM>(start.c_str());
    }
    // The picker with a "new folder" button needs COM on this thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    PIDLIST_ABSOLUTE chosen = g_pfnBrowseForFolder(&info);
    if (SUCCEEDED(com)) ::CoUninitialize();
    if (!chosen) return std::wstring();
    // The system's own limit for this call; a longer path is not returned.
    wchar_t path[MAX_PATH] = {};
    const bool ok = ::SHGetPathFromIDListW(chosen, path) != FALSE;
    ::ILFree(chosen);
    return ok ? std::wstring(path) : std::wstring();
}
