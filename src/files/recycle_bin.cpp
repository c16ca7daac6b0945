#include "files/recycle_bin.h"

#include <windows.h>
#include <shellapi.h>

#include "common/wide_text.h"
#include "files/file_helpers.h"
#include "files/path_split.h"

namespace {
// The kind of the drive a path starts with; DRIVE_NO_ROOT_DIR without a
// drive letter.
unsigned DriveTypeOf(const std::string& path) {
    const char letter = UpperDriveLetter(path);
    if (letter < 'A' || letter > 'Z' || path.size() < 2 || path[1] != ':') return DRIVE_NO_ROOT_DIR;
    const wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', 0};
    return ::GetDriveTypeW(root);
}
}  // namespace

bool DriveHasRecycleBin(const std::string& path) { return DriveTypeOf(path) == DRIVE_FIXED; }

bool DriveIsRemovable(const std::string& path) { return DriveTypeOf(path) == DRIVE_REMOVABLE; }

bool MoveToRecycleBin(const std::string& path, HWND owner) {
    // The shell takes only full paths of ordinary length, as a list that
    // ends in an empty name.
    if (path.empty() || path.size() >= MAX_PATH) return false;
    std::wstring from = WideFromCodePage(path);
    if (from.empty()) return false;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.hwnd = owner;
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    // FOF_WANTNUKEWARNING: a file the bin cannot take is not deleted for
    // good without the user's yes.
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT | FOF_WANTNUKEWARNING;
    if (::SHFileOperationW(&op) != 0 || op.fAnyOperationsAborted) return false;
    return !FileExists(path);
}
