#include "analysis/folder_search.h"

#include "files/file_helpers.h"
#include "files/path_split.h"
#include "services/state.h"
#include "common/win_raii.h"
#include "wizard/long_work.h"

namespace {
// folder + "\" + name, without doubling the backslash of a drive root.
std::string JoinPath(const std::string& folder, const char* name) {
    std::string path = folder;
    if (path.empty() || path.back() != '\\') path.push_back('\\');
    path += name;
    return path;
}

HTREEITEM InsertSorted(HWND tree, HTREEITEM parent, const std::string& text) {
    TVINSERTSTRUCTA ins{};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_SORT;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<char*>(text.c_str());
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}

void ShowStatus(const std::string& folder) {
    if (!g_pSearchStatus) return;
    ::SetWindowTextA(g_pSearchStatus, folder.c_str());
    // Messages are handled only now and then: paint the new text now, or
    // most folders would never be seen.
    ::UpdateWindow(g_pSearchStatus);
}

// Lets the window answer between folders and between the entries of a
// large one; false once the user asked the search to stop.
bool KeepGoing() {
    CLongWork* work = CLongWork::Current();
    return !work || work->Pump();
}
}  // namespace

std::vector<std::string> DriveRoots(bool withRemovable) {
    std::vector<std::string> roots;
    const DWORD present = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(present & (1u << i))) continue;
        const std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
        const UINT type = ::GetDriveTypeA(root.c_str());
        if (type == DRIVE_FIXED || (withRemovable && type == DRIVE_REMOVABLE)) roots.push_back(root);
    }
    return roots;
}

SearchRootsFn g_pfnSearchRoots = &DriveRoots;

int SearchFolderTree(HWND tree, HTREEITEM parent, HWND listBox, const std::string& folder,
                     const std::string& pattern) {
    if (!KeepGoing() || !FolderExists(folder)) return 0;
    ShowStatus(folder);

    std::string nodeText = folder;
    if (nodeText.back() != '\\') nodeText.push_back('\\');
    HTREEITEM node = InsertSorted(tree, parent, nodeText);

    int count = 0;
    WIN32_FIND_DATAA fd;
    {
        UniqueFind find(::FindFirstFileA(JoinPath(folder, "*.*").c_str(), &fd));
        if (find) {
            do {
                if (!KeepGoing()) break;
                if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsDotEntry(fd.cFileName))
                    continue;
                // A junction or symbolic link leads to folders that are walked
                // under their own names already, or back up the tree.
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
                const std::string sub = JoinPath(folder, fd.cFileName);
                if (sub.size() > kMaxBuiltPath) continue;
                count += SearchFolderTree(tree, node, listBox, sub, pattern);
            } while (::FindNextFileA(find.get(), &fd));
        }
    }
    // A stopped search keeps the shows it found, but lists no more.
    if (KeepGoing()) {
        UniqueFind find(::FindFirstFileA(JoinPath(folder, pattern.c_str()).c_str(), &fd));
        if (find) {
            do {
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
                const std::string full = JoinPath(folder, fd.cFileName);
                // A path no other part of the program could open is no result.
                if (full.size() > kMaxBuiltPath) continue;
                InsertSorted(tree, node, fd.cFileName);
                ::SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(full.c_str()));
                ++count;
            } while (::FindNextFileA(find.get(), &fd));
        }
    }

    if (count == 0 && node) ::SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node));
    return count;
}
