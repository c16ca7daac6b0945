// The folder walk of the search for shows, against real folders on the
// Wine drives: the nodes it leaves, the list lines, what it shows while it
// walks, and the paths it must pass over.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "analysis/folder_search.h"
#include "services/state.h"
#include "wizard/long_work.h"
#include "support/test_support.h"

namespace {
using Strings = std::vector<std::string>;

void MakeFolder(const std::string& folder) {
    ASSERT_TRUE(MakeFolderTree(folder)) << folder;
}

void MakeFile(const std::string& path) { ASSERT_TRUE(WriteWholeFile(path, "WS4")) << path; }

// A hidden-free little window with a status text, a tree and an unsorted
// list box, so the list shows the order in which the walk found things.
class FolderSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&icc);
        m_frame = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, nullptr,
                                    nullptr, nullptr, nullptr);
        m_status = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 600, 40, m_frame,
                                     nullptr, nullptr, nullptr);
        m_tree = ::CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE, 0, 40, 300, 360, m_frame,
                                   nullptr, nullptr, nullptr);
        m_list = ::CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE, 300, 40, 300, 360, m_frame,
                                   nullptr, nullptr, nullptr);
        ASSERT_TRUE(m_frame && m_status && m_tree && m_list);
        PumpMessages();
    }
    void TearDown() override {
        g_pSearchStatus = nullptr;
        ::DestroyWindow(m_frame);
        for (const std::string& f : m_cleanup) DeleteTree(f);
    }
    // A test folder that is removed afterwards, whatever happens.
    std::string Own(const std::string& folder) {
        DeleteTree(folder);
        m_cleanup.push_back(folder);
        return folder;
    }
    int Search(const std::string& folder) {
        return SearchFolderTree(m_tree, TVI_ROOT, m_list, folder, "*.ws4");
    }
    Strings Children(HTREEITEM parent) const { return TreeChildTexts(m_tree, parent); }
    HTREEITEM Child(HTREEITEM parent, const std::string& text) const {
        return FindTreeChild(m_tree, parent, text);
    }

    HWND m_frame = nullptr, m_status = nullptr, m_tree = nullptr, m_list = nullptr;
    std::vector<std::string> m_cleanup;
};

// The folder a status text names, without its last component.
std::string ParentOf(const std::string& folder) {
    const size_t slash = folder.find_last_of('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

bool IsSameOrBelow(const std::string& folder, const std::string& ancestor) {
    return folder == ancestor || folder.rfind(ancestor + "\\", 0) == 0;
}
}  // namespace

// --- What the walk leaves in the tree and the list --------------------------

TEST_F(FolderSearchTest, NoMatchLeavesTreeAndListAsTheyWere) {
    const std::string root = Own("C:\\ZkFsNone");
    MakeFolder(root + "\\A\\B");
    MakeFolder(root + "\\Empty");
    MakeFile(root + "\\A\\B\\readme.txt");
    MakeFile(root + "\\A\\show.ws4.bak");
    ::SendMessageA(m_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("earlier line"));
    TVINSERTSTRUCTA ins{};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<char*>("earlier node");
    ::SendMessageA(m_tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins));

    EXPECT_EQ(0, Search(root));
    EXPECT_EQ(Strings{"earlier node"}, Children(TVI_ROOT));
    EXPECT_EQ(Strings{"earlier line"}, ListBoxLines(m_list));
    EXPECT_EQ(0, Search(root + "\\Missing"));
    EXPECT_EQ(Strings{"earlier node"}, Children(TVI_ROOT));
}

TEST_F(FolderSearchTest, DeepMatchGivesOneNodePerFolderAndTheFullPathAsLine) {
    const std::string root = Own("C:\\ZkFsDeep");
    MakeFolder(root + "\\A\\B\\C");
    MakeFolder(root + "\\Fruitless\\Below");
    MakeFile(root + "\\A\\B\\C\\deep.ws4");
    MakeFile(root + "\\Fruitless\\Below\\other.txt");

    EXPECT_EQ(1, Search(root));
    ASSERT_EQ(Strings{"C:\\ZkFsDeep\\"}, Children(TVI_ROOT));
    HTREEITEM top = Child(TVI_ROOT, "C:\\ZkFsDeep\\");
    // The fruitless folder's node was removed again.
    ASSERT_EQ(Strings{"C:\\ZkFsDeep\\A\\"}, Children(top));
    HTREEITEM a = Child(top, "C:\\ZkFsDeep\\A\\");
    ASSERT_EQ(Strings{"C:\\ZkFsDeep\\A\\B\\"}, Children(a));
    HTREEITEM b = Child(a, "C:\\ZkFsDeep\\A\\B\\");
    ASSERT_EQ(Strings{"C:\\ZkFsDeep\\A\\B\\C\\"}, Children(b));
    HTREEITEM c = Child(b, "C:\\ZkFsDeep\\A\\B\\C\\");
    EXPECT_EQ(Strings{"deep.ws4"}, Children(c));
    EXPECT_EQ(Strings{"C:\\ZkFsDeep\\A\\B\\C\\deep.ws4"}, ListBoxLines(m_list));
}

TEST_F(FolderSearchTest, SubfoldersFirstFoldersNamedLikeShowsAreNotCounted) {
    const std::string root = Own("C:\\ZkFsOrder");
    MakeFolder(root + "\\Sub");
    MakeFolder(root + "\\x.ws4");
    MakeFile(root + "\\own.ws4");
    MakeFile(root + "\\OWN2.WS4");  // the pattern ignores case, as Windows does
    MakeFile(root + "\\Sub\\sub.ws4");
    MakeFile(root + "\\x.ws4\\inside.ws4");

    EXPECT_EQ(4, Search(root));
    const Strings lines = ListBoxLines(m_list);
    ASSERT_EQ(4u, lines.size());
    // Both subfolders' shows come before the folder's own ones.
    const Strings subs(lines.begin(), lines.begin() + 2), own(lines.begin() + 2, lines.end());
    EXPECT_EQ((std::set<std::string>{root + "\\Sub\\sub.ws4", root + "\\x.ws4\\inside.ws4"}),
              std::set<std::string>(subs.begin(), subs.end()));
    EXPECT_EQ((std::set<std::string>{root + "\\own.ws4", root + "\\OWN2.WS4"}),
              std::set<std::string>(own.begin(), own.end()));

    // The folder x.ws4 is a node, never a leaf; the tree sorts its items.
    HTREEITEM top = Child(TVI_ROOT, root + "\\");
    ASSERT_TRUE(top);
    const Strings kids = Children(top);
    EXPECT_EQ(4u, kids.size());
    EXPECT_TRUE(std::is_sorted(kids.begin(), kids.end(), [](const std::string& l, const std::string& r) {
        return ::lstrcmpiA(l.c_str(), r.c_str()) < 0;
    }));
    HTREEITEM folder = Child(top, root + "\\x.ws4\\");
    ASSERT_TRUE(folder);
    EXPECT_EQ(Strings{"inside.ws4"}, Children(folder));
    EXPECT_FALSE(Child(top, "x.ws4"));
}

TEST_F(FolderSearchTest, DriveRootIsJoinedWithoutDoubleBackslash) {
    // D: is a fixed drive of the test prefix; whatever else lies on it, our
    // folder must hang under "D:\" with single backslashes.
    const std::string root = Own("D:\\ZkFsRoot");
    MakeFolder(root + "\\In");
    MakeFile(root + "\\In\\d.ws4");

    EXPECT_GE(Search("D:\\"), 1);
    HTREEITEM drive = Child(TVI_ROOT, "D:\\");
    ASSERT_TRUE(drive);
    HTREEITEM ours = Child(drive, "D:\\ZkFsRoot\\");
    ASSERT_TRUE(ours);
    HTREEITEM in = Child(ours, "D:\\ZkFsRoot\\In\\");
    ASSERT_TRUE(in);
    EXPECT_EQ(Strings{"d.ws4"}, Children(in));
    const Strings lines = ListBoxLines(m_list);
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "D:\\ZkFsRoot\\In\\d.ws4"));
}

// --- What the user sees while it walks --------------------------------------

namespace {
// A status control that behaves as Windows' static text does: a new text
// only marks the control for painting. (Wine's static paints at once,
// which would hide a walk that never repaints.) Records texts and paints.
struct StatusProbe {
    static std::vector<std::string>& Events() {
        static std::vector<std::string> events;
        return events;
    }
    static constexpr const char* kPaint = "<paint>";

    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_SETTEXT) {
            Events().emplace_back(reinterpret_cast<const char*>(lp));
            const LRESULT r = ::DefWindowProcA(wnd, msg, wp, lp);
            ::InvalidateRect(wnd, nullptr, TRUE);
            return r;
        }
        if (msg == WM_PAINT) {
            Events().emplace_back(kPaint);
            PAINTSTRUCT ps;
            ::BeginPaint(wnd, &ps);
            ::EndPaint(wnd, &ps);
            return 0;
        }
        return ::DefWindowProcA(wnd, msg, wp, lp);
    }
    static HWND Create(HWND parent) {
        static const ATOM cls = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = &StatusProbe::Proc;
            wc.hInstance = ::GetModuleHandleA(nullptr);
            wc.lpszClassName = "ZkStatusProbe";
            return ::RegisterClassA(&wc);
        }();
        if (!cls) return nullptr;
        return ::CreateWindowExA(0, "ZkStatusProbe", "", WS_CHILD | WS_VISIBLE, 0, 0, 600, 40, parent, nullptr,
                                 nullptr, nullptr);
    }
};
}  // namespace

TEST_F(FolderSearchTest, StatusShowsEveryFolderDepthFirstAndPaintsEachAtOnce) {
    const std::string root = Own("C:\\ZkFsStatus");
    const Strings folders = {root,
                             root + "\\One",
                             root + "\\One\\Deeper",
                             root + "\\One\\Deeper\\Deepest",
                             root + "\\Two",
                             root + "\\Two\\Below",
                             root + "\\Three"};
    for (const std::string& f : folders) MakeFolder(f);
    MakeFile(root + "\\Two\\Below\\s.ws4");
    HWND probe = StatusProbe::Create(m_frame);
    ASSERT_TRUE(probe);
    PumpMessages();
    StatusProbe::Events().clear();

    g_pSearchStatus = probe;
    EXPECT_EQ(1, Search(root));
    g_pSearchStatus = nullptr;

    // Each folder's text, as passed in, is painted before the next folder is
    // entered: the walk processes no messages, so it must paint itself.
    Strings texts;
    const Strings events = StatusProbe::Events();
    for (size_t i = 0; i < events.size(); ++i) {
        if (events[i] == StatusProbe::kPaint) continue;
        texts.push_back(events[i]);
        ASSERT_LT(i + 1, events.size()) << events[i] << " never painted";
        EXPECT_EQ(StatusProbe::kPaint, events[i + 1]) << events[i] << " not painted at once";
    }
    ASSERT_EQ(folders.size(), texts.size());
    EXPECT_EQ((std::set<std::string>(folders.begin(), folders.end())),
              std::set<std::string>(texts.begin(), texts.end()));
    // Depth first: each folder is entered right after its parent or after a
    // folder somewhere below that parent.
    EXPECT_EQ(root, texts.front());
    for (size_t i = 1; i < texts.size(); ++i)
        EXPECT_TRUE(IsSameOrBelow(texts[i - 1], ParentOf(texts[i])))
            << texts[i] << " entered after " << texts[i - 1];

    // Without a status control the walk still works and shows nothing.
    ::SendMessageA(m_tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    StatusProbe::Events().clear();
    EXPECT_EQ(1, Search(root));
    EXPECT_TRUE(StatusProbe::Events().empty());
}

// Under long work (the page's search) the status still gets every folder,
// is painted now and then instead of at each, and is whole again after.
TEST_F(FolderSearchTest, UnderLongWorkTheStatusGetsEveryFolderAndPaintsAgainAfter) {
    const std::string root = Own("C:\\ZkFsPaced");
    const Strings folders = {root, root + "\\Een", root + "\\Een\\Twee", root + "\\Drie"};
    for (const std::string& f : folders) MakeFolder(f);
    HWND probe = StatusProbe::Create(m_frame);
    ASSERT_TRUE(probe);
    PumpMessages();
    StatusProbe::Events().clear();

    g_pSearchStatus = probe;
    {
        CLongWork work(m_frame);
        EXPECT_EQ(0, Search(root));
    }
    g_pSearchStatus = nullptr;

    Strings texts;
    int paints = 0;
    for (const std::string& e : StatusProbe::Events()) {
        if (e == StatusProbe::kPaint)
            ++paints;
        else
            texts.push_back(e);
    }
    EXPECT_EQ((std::set<std::string>(folders.begin(), folders.end())), std::set<std::string>(texts.begin(), texts.end()));
    EXPECT_EQ(folders.size(), texts.size());
    EXPECT_GE(paints, 1);
    // Afterwards the control shows and paints its texts as before.
    EXPECT_TRUE(::IsWindowVisible(probe));
    StatusProbe::Events().clear();
    ::SetWindowTextA(probe, "Alle gevonden Wings-shows:");
    ::UpdateWindow(probe);
    EXPECT_EQ((Strings{"Alle gevonden Wings-shows:", StatusProbe::kPaint}), StatusProbe::Events());
}

// --- Paths too long for the program's buffers -------------------------------

namespace {
std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// Long paths need the wide functions and the \\?\ form.
bool MakeLongFolder(const std::string& path) {
    size_t pos = 0;
    while ((pos = path.find('\\', pos + 1)) != std::string::npos) {
        ::CreateDirectoryW(Wide("\\\\?\\" + path.substr(0, pos)).c_str(), nullptr);
    }
    return ::CreateDirectoryW(Wide("\\\\?\\" + path).c_str(), nullptr) ||
           ::GetLastError() == ERROR_ALREADY_EXISTS;
}

bool MakeLongFile(const std::string& path) {
    HANDLE h = ::CreateFileW(Wide("\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(h);
    return true;
}

void DeleteLongTree(const std::string& path) {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW(Wide("\\\\?\\" + path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name;
            for (const wchar_t* p = fd.cFileName; *p; ++p) name.push_back(static_cast<char>(*p));
            if (name == "." || name == "..") continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteLongTree(path + "\\" + name);
            else
                ::DeleteFileW(Wide("\\\\?\\" + path + "\\" + name).c_str());
        } while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(Wide("\\\\?\\" + path).c_str());
}
}  // namespace

TEST_F(FolderSearchTest, PathsOverTheLimitArePassedOverNeverCut) {
    const std::string root = "C:\\ZkFsLong";
    DeleteLongTree(root);
    // A folder whose path is 250 characters long.
    const std::string folder = root + "\\" + std::string(250 - root.size() - 1, 'f');
    ASSERT_EQ(250u, folder.size());
    ASSERT_TRUE(MakeLongFolder(folder));
    // Exactly 259 characters: found. 260: passed over.
    const std::string fits = folder + "\\" + std::string(259 - 250 - 1 - 4, 'a') + ".ws4";
    const std::string over = folder + "\\" + std::string(260 - 250 - 1 - 4, 'b') + ".ws4";
    ASSERT_EQ(259u, fits.size());
    ASSERT_EQ(260u, over.size());
    ASSERT_TRUE(MakeLongFile(fits));
    ASSERT_TRUE(MakeLongFile(over));
    // A subfolder beyond the limit, with a show in it, is not walked.
    const std::string deep = folder + "\\" + std::string(20, 'd');
    ASSERT_TRUE(MakeLongFolder(deep));
    ASSERT_TRUE(MakeLongFile(deep + "\\x.ws4"));

    const int found = Search(root);
    const Strings lines = ListBoxLines(m_list);
    DeleteLongTree(root);

    EXPECT_EQ(1, found);
    EXPECT_EQ(Strings{fits}, lines);
    for (const std::string& line : lines) EXPECT_LE(line.size(), 259u);
}

// --- Names the code page cannot hold ----------------------------------------

TEST_F(FolderSearchTest, ANameTheCodePageCannotHoldIsPassedOverNeverReplaced) {
    const std::string root = Own("C:\\ZkFsNames");
    MakeFolder(root);
    const std::wstring wideRoot = Wide(root);
    // "富士.ws4", and "in.ws4" in the folder "Dvořák": no code-page path opens them.
    for (const std::wstring& path : {wideRoot + L"\\\u5bcc\u58eb.ws4", wideRoot + L"\\Dvo\u0159\u00e1k\\in.ws4"}) {
        ::CreateDirectoryW(path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
        UniqueFile(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    MakeFile(root + "\\caf\xE9.ws4");  // "café.ws4": é is in the code page

    const int found = Search(root);
    ::DeleteFileW((wideRoot + L"\\\u5bcc\u58eb.ws4").c_str());
    ::DeleteFileW((wideRoot + L"\\Dvo\u0159\u00e1k\\in.ws4").c_str());
    ::RemoveDirectoryW((wideRoot + L"\\Dvo\u0159\u00e1k").c_str());

    EXPECT_EQ(1, found);
    EXPECT_EQ(Strings{root + "\\caf\xE9.ws4"}, ListBoxLines(m_list));
    EXPECT_EQ(Strings{"caf\xE9.ws4"}, Children(Child(TVI_ROOT, root + "\\")));
}
