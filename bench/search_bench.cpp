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

#include "files/file_helpers.h"
#include "analysis/folder_search.h"
#include "services/state.h"
#include "bench_rounds.h"
#include "bench_tree.h"
#include "common/win_raii.h"
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

// Where the time goes: the same two listings per folder, with or without
// the folder test, but no tree, no list and no status.
int BareWalk(const std::string& folder, bool testFolder) {
    if (testFolder && !FolderExists(folder)) return 0;
    const std::string prefix = folder.back() == '\\' ? folder : folder + "\\";
    int count = 0;
    WIN32_FIND_DATAA fd;
    {
        UniqueFind find(::FindFirstFileA((prefix + "*.*").c_str(), &fd));
        if (find) {
            do {
                const std::string name = fd.cFileName;
                if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
                    count += BareWalk(prefix + name, testFolder);
            } while (::FindNextFileA(find.get(), &fd));
        }
    }
    UniqueFind find(::FindFirstFileA((prefix + "*.ws4").c_str(), &fd));
    if (find) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
        } while (::FindNextFileA(find.get(), &fd));
    }
    return count;
}

Walk TimeBare(const std::string& root, bool testFolder) {
    const auto start = Clock::now();
    const int found = BareWalk(root, testFolder);
    return {Seconds(Clock::now() - start), found};
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
    HWND tree = ::CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES |
                                  TVS_LINESATROOT, 0, 20, 300, 400, frame, nullptr, nullptr, nullptr);
    HWND list = ::CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_SORT, 300, 20, 300, 400, frame,
                                  nullptr, nullptr, nullptr);
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
    // Where the time goes: the folder test of every folder.
    const Comparison tested = Compare(
        args.rounds, [&] { return TimeBare(root, true).seconds; }, [&] { return TimeBare(root, false).seconds; });
    Print("Twee lijsten per map, met en zonder de maptest", "met maptest", "zonder", tested);
    ::DestroyWindow(frame);

    if (!args.keep) DeleteTree(base);
    return search.found >= kShows ? 0 : 1;
}
