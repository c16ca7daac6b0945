// How long the search for shows takes to walk one drive, against
// "cmd /c dir /s /b X:\*.ws4" over the same tree in the same run (without
// the start-up of cmd itself); at least 5 rounds, in alternating order.
//
//   search_bench.exe [--keep] [--rounds=N] [ROOT]
//
// ROOT (default D:\) is the drive that is walked; the tree is made in
// ROOT\ZkBench: 20,000 folders, 200,000 empty files, 50 of them shows.
// It is removed afterwards unless --keep is given (a kept tree is reused).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "analysis/folder_search.h"
#include "services/state.h"
#include "bench_rounds.h"
#include "bench_tree.h"
#include "wizard/long_work.h"

namespace {
using namespace bench;

// As the selection page runs it: as long work, handling the window's
// messages as it goes, and naming each folder in its status.
Walk TimeSearch(const std::string& root, HWND tree, HWND list, HWND status) {
    ::SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    const auto start = Clock::now();
    CLongWork work(::GetParent(tree));
    g_pSearchStatus = status;
    const int found = SearchFolderTree(tree, TVI_ROOT, list, root, "*.ws4");
    g_pSearchStatus = nullptr;
    return {Seconds(Clock::now() - start), found};
}

// Where the time goes: the file layer's walk alone, the same one listing
// per folder, with no tree, no list, no status and no message handling.
class CCountShows : public CFolderVisitor {
public:
    int found = 0;
    bool OnFolder(const FolderPlace&) override { return true; }
    bool OnEntry(const FolderPlace&, const FolderEntry& e) override {
        if (e.isFolder) return true;
        if (e.nameLength > 4 && ::CompareStringOrdinal(e.name + e.nameLength - 4, 4, L".ws4", 4, TRUE) == CSTR_EQUAL)
            ++found;
        return false;
    }
};

Walk TimeLayer(const std::string& root) {
    const auto start = Clock::now();
    CCountShows count;
    WalkFolderTree(std::wstring(root.begin(), root.end()), count);
    return {Seconds(Clock::now() - start), count.found};
}

}  // namespace

int main(int argc, char** argv) {
    const Arguments args = ParseArguments(argc, argv);
    const std::string root = args.root;
    const std::string base = root + "ZkBench";
    if (!EnsureTree(base)) return 1;

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    HWND frame = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 600, 420, nullptr, nullptr, nullptr,
                                   nullptr);
    // As on the page: the tree and the list stay hidden until the search ends.
    HWND tree = ::CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 0,
                                  20, 300, 400, frame, nullptr, nullptr, nullptr);
    HWND list = ::CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_SORT, 300, 20, 300, 400, frame, nullptr, nullptr,
                                  nullptr);
    HWND status = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 600, 20, frame, nullptr, nullptr,
                                    nullptr);
    TimeSearch(root, tree, list, status);  // warm the caches
    Walk search{}, dirWalk{};
    const Comparison dir = Compare(
        args.rounds, [&] { return (search = TimeSearch(root, tree, list, status)).seconds; },
        [&] { return (dirWalk = TimeDir(root + "*.ws4")).seconds; });
    Print("Zoeken naar shows op " + root + ": " + std::to_string(search.found) + " shows; dir: " +
              std::to_string(dirWalk.found) + " regels (doel <= 2)",
          "SearchFolderTree, zoals de pagina", "cmd /c dir /s /b zonder het starten van cmd", dir);
    // Where the time goes: the page's work on top of the walk itself.
    const Comparison layer = Compare(
        args.rounds, [&] { return TimeSearch(root, tree, list, status).seconds; },
        [&] { return TimeLayer(root).seconds; });
    Print("De zoektocht van de pagina tegen de kale wandeling van de bestandslaag", "SearchFolderTree, zoals de pagina",
          "WalkFolderTree alleen", layer);
    ::DestroyWindow(frame);

    if (!args.keep) DeleteTree(base);
    return search.found >= kShows ? 0 : 1;
}
