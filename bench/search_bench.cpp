// How long the search for shows takes to walk one drive, against
// "cmd /c dir /s /b X:\*.ws4" over the same tree in the same run.
//
//   search_bench.exe [--keep] [ROOT]
//
// ROOT (default D:\) is the drive that is walked; the tree is made in
// ROOT\ZkBench: 20,000 folders, 200,000 empty files, 50 of them shows.
// It is removed afterwards unless --keep is given (a kept tree is reused).
#include <windows.h>
#include <commctrl.h>
#include <direct.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "files/file_helpers.h"
#include "analysis/folder_search.h"
#include "services/state.h"
#include "bench_tree.h"
#include "common/win_raii.h"
#include "wizard/long_work.h"

namespace {
using namespace bench;

// As the selection page runs it: as long work, handling the window's
// messages as it goes.
Walk TimeSearch(const std::string& root, HWND tree, HWND list) {
    ::SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    const auto start = Clock::now();
    CLongWork work(::GetParent(tree));
    const int found = SearchFolderTree(tree, TVI_ROOT, list, root, "*.ws4");
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
    const bool keep = args.keep;
    const std::string root = args.root;
    // The search makes each drive current before it walks it; so do we.
    if (root.size() < 2 || root[1] != ':' || _chdrive(std::toupper(static_cast<unsigned char>(root[0])) - 64) != 0) {
        std::fprintf(stderr, "cannot make %s the current drive\n", root.c_str());
        return 1;
    }
    const std::string base = root + "ZkBench";
    if (!EnsureTree(base)) return 1;

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    HWND frame = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
    HWND tree = ::CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
                                  0, 0, 300, 400, frame, nullptr, nullptr, nullptr);
    HWND list = ::CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_SORT, 300, 0, 300, 400, frame, nullptr, nullptr,
                                  nullptr);
    // One round of each to warm the caches, then the best of three, taken
    // in turns so that neither side gets the quieter moments.
    TimeSearch(root, tree, list);
    TimeDir(root + "*.ws4");
    Walk bestSearch{1e9, 0}, bestDir{1e9, 0}, bestBare{1e9, 0}, bestTested{1e9, 0};
    auto keepBest = [](Walk& best, const Walk& w) {
        if (w.seconds >= 0 && w.seconds < best.seconds) best = w;
    };
    for (int round = 0; round < 3; ++round) {
        keepBest(bestSearch, TimeSearch(root, tree, list));
        keepBest(bestDir, TimeDir(root + "*.ws4"));
        keepBest(bestBare, TimeBare(root, false));
        keepBest(bestTested, TimeBare(root, true));
    }
    ::DestroyWindow(frame);

    std::printf("SearchFolderTree %s: %.3f s, %d shows\n", root.c_str(), bestSearch.seconds, bestSearch.found);
    std::printf("cmd /c dir /s /b %s*.ws4: %.3f s, %d lines\n", root.c_str(), bestDir.seconds, bestDir.found);
    std::printf("  of which: bare two listings per folder %.3f s, with the folder test %.3f s\n",
                bestBare.seconds, bestTested.seconds);
    std::printf("ratio search / dir: %.2f (goal <= 2)\n", bestSearch.seconds / bestDir.seconds);

    if (!keep) DeleteTree(base);
    return bestSearch.found >= kShows ? 0 : 1;
}
