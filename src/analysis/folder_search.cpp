#include "analysis/folder_search.h"

#include <cstring>

#include "common/text.h"
#include "files/file_helpers.h"
#include "files/file_system.h"
#include "services/state.h"
#include "common/wide_text.h"
#include "wizard/long_work.h"

namespace {
HTREEITEM InsertSorted(HWND tree, HTREEITEM parent, const char* text) {
    TVINSERTSTRUCTA ins{};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_SORT;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<char*>(text);
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}

// The folder being entered, in g_pSearchStatus. Every folder's name goes
// to the control, but painting one is slow next to listing a folder (the
// system's static text paints itself on each new text), so under long work,
// whose messages are handled only now and then, the control is painted at
// most as often as they are. A walk without long work handles no messages:
// there each folder is painted at once, or it would never be seen.
class CSearchStatus {
public:
    CSearchStatus() : m_hStatus(g_pSearchStatus), m_bPaced(m_hStatus && CLongWork::Current()) {
        if (m_bPaced) ::SendMessageA(m_hStatus, WM_SETREDRAW, FALSE, 0);
    }
    ~CSearchStatus() {
        if (!m_bPaced) return;
        ::SendMessageA(m_hStatus, WM_SETREDRAW, TRUE, 0);
        ::RedrawWindow(m_hStatus, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    CSearchStatus(const CSearchStatus&) = delete;
    CSearchStatus& operator=(const CSearchStatus&) = delete;

    void Show(const char* folder) {
        if (!m_hStatus) return;
        ::SetWindowTextA(m_hStatus, folder);
        if (!m_bPaced) {
            ::UpdateWindow(m_hStatus);
            return;
        }
        const DWORD now = ::GetTickCount();
        if (m_bPainted && now - m_nPainted < CLongWork::kPumpIntervalMs) return;
        ::SendMessageA(m_hStatus, WM_SETREDRAW, TRUE, 0);
        ::RedrawWindow(m_hStatus, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        ::SendMessageA(m_hStatus, WM_SETREDRAW, FALSE, 0);
        m_bPainted = true;
        m_nPainted = now;
    }

private:
    HWND m_hStatus;
    bool m_bPaced;
    bool m_bPainted = false;
    DWORD m_nPainted = 0;
};

// Lets the window answer between folders; false once the user asked the
// search to stop.
bool KeepGoing() {
    CLongWork* work = CLongWork::Current();
    return !work || work->Pump();
}

// A name from the disk folds as every name does (NameUpper), one UTF-16
// unit at a time.
wchar_t FoldCase(wchar_t c) {
    return static_cast<wchar_t>(NameUpper(static_cast<char32_t>(c)));
}

// A file name pattern as the listing calls take it ("*.ws4": any name
// ending in ".ws4"; "*" and "*.*": every name), matched against the long
// name alone, without regard to case.
class CNamePattern {
public:
    explicit CNamePattern(const std::string& pattern) : m_pattern(WideFromCodePage(pattern)) {
        if (m_pattern == L"*.*") m_pattern = L"*";
        for (wchar_t& c : m_pattern) c = FoldCase(c);
        // "*" and a plain ending, the form every search uses: one comparison
        // of the name's end.
        m_bEnding = !m_pattern.empty() && m_pattern[0] == L'*' &&
                    m_pattern.find_first_of(L"*?", 1) == std::wstring::npos;
    }

    bool Matches(const wchar_t* name, size_t length) const {
        if (m_bEnding) {
            const size_t tail = m_pattern.size() - 1;
            if (length < tail) return false;
            for (size_t i = 0; i < tail; ++i)
                if (FoldCase(name[length - tail + i]) != m_pattern[1 + i]) return false;
            return true;
        }
        return Glob(name, length);
    }

private:
    // '*' any run of characters, '?' one character.
    bool Glob(const wchar_t* name, size_t length) const {
        size_t p = 0, n = 0, starP = std::wstring::npos, starN = 0;
        while (n < length) {
            if (p < m_pattern.size() && m_pattern[p] == L'*') {
                starP = p++;
                starN = n;
            } else if (p < m_pattern.size() && (m_pattern[p] == L'?' || m_pattern[p] == FoldCase(name[n]))) {
                ++p;
                ++n;
            } else if (starP != std::wstring::npos) {
                p = starP + 1;
                n = ++starN;
            } else {
                return false;
            }
        }
        while (p < m_pattern.size() && m_pattern[p] == L'*') ++p;
        return p == m_pattern.size();
    }

    std::wstring m_pattern;
    bool m_bEnding = false;
};

// The search as the layer walks it: a node per folder as it is entered,
// the folder's shows once its subfolders are done (so theirs come first),
// and the node removed again when nothing was found below it. The tree,
// the list and the status take code-page text: a name the code page cannot
// hold makes a path no other part of the program could open, so it is
// passed over like a path that is too long.
class CShowSearch : public CFolderVisitor {
public:
    CShowSearch(HWND tree, HTREEITEM parent, HWND listBox, const std::string& root, const std::string& pattern)
        : m_hTree(tree), m_hParent(parent), m_hList(listBox), m_csRoot(root), m_pattern(pattern) {}

    int Found() const { return m_nFound; }

    bool OnFolder(const FolderPlace& folder) override {
        if (m_bStopped || !KeepGoing()) return false;
        // Every folder is entered by a name OnEntry converted exactly.
        if (!CodePageFromWideExact(folder.path.data(), folder.path.size(), &m_csFolder))
            m_csFolder = CodePageFromWide(std::wstring(folder.path));
        // The status names the folder as it was passed in: a subfolder
        // without its trailing backslash.
        if (folder.depth == 0) {
            m_status.Show(m_csRoot.c_str());
        } else {
            m_csStatus.assign(m_csFolder, 0, m_csFolder.size() - 1);
            m_status.Show(m_csStatus.c_str());
        }
        const HTREEITEM parent = m_levels.empty() ? m_hParent : m_levels.back().node;
        m_levels.push_back(Level{InsertSorted(m_hTree, parent, m_csFolder.c_str()), 0, m_csShows.size(),
                                 m_csFolder.size()});
        return true;
    }

    bool OnEntry(const FolderPlace&, const FolderEntry& entry) override {
        if (!entry.isFolder && !m_pattern.Matches(entry.name, entry.nameLength)) return false;
        // A stop seen here walks into no more folders and lists no more shows.
        if (m_bStopped || (m_bStopped = !KeepGoing())) return false;
        if (!CodePageFromWideExact(entry.name, entry.nameLength, &m_csName)) return false;
        // A path no other part of the program could open is no result, and
        // a folder of such a path holds none.
        if (m_levels.back().folderLength + m_csName.size() > kMaxBuiltPath) return false;
        if (entry.isFolder) return true;
        m_csShows.append(m_csName).push_back('\0');
        return false;
    }

    void OnFolderDone(const FolderPlace& folder) override {
        Level level = m_levels.back();
        m_levels.pop_back();
        // A stopped search keeps the shows it found, but lists no more.
        if (!m_bStopped) m_bStopped = !KeepGoing();
        if (!m_bStopped && level.showsBegin < m_csShows.size() &&
            CodePageFromWideExact(folder.path.data(), folder.path.size(), &m_csPath)) {
            const size_t base = m_csPath.size();
            for (size_t at = level.showsBegin; at < m_csShows.size(); at += std::strlen(m_csShows.c_str() + at) + 1) {
                const char* name = m_csShows.c_str() + at;
                InsertSorted(m_hTree, level.node, name);
                m_csPath.resize(base);
                m_csPath += name;
                ::SendMessageA(m_hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_csPath.c_str()));
                ++level.count;
            }
        }
        m_csShows.resize(level.showsBegin);
        if (level.count == 0 && level.node)
            ::SendMessageA(m_hTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(level.node));
        if (m_levels.empty())
            m_nFound += level.count;
        else
            m_levels.back().count += level.count;
    }

private:
    struct Level {
        HTREEITEM node;
        int count;            // shows found in the folder and below it
        size_t showsBegin;    // where its shows start in m_csShows
        size_t folderLength;  // of its code-page path, with the backslash
    };

    HWND m_hTree;
    HTREEITEM m_hParent;
    HWND m_hList;
    std::string m_csRoot;
    CNamePattern m_pattern;
    CSearchStatus m_status;
    std::vector<Level> m_levels;
    std::string m_csFolder, m_csStatus, m_csName, m_csPath;  // reused for every folder and name
    std::string m_csShows;  // names of the open folders' shows, each ended by a 0
    int m_nFound = 0;
    bool m_bStopped = false;
};
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
    CShowSearch search(tree, parent, listBox, folder, pattern);
    WalkFolderTree(WideFromCodePage(folder), search);
    return search.Found();
}
