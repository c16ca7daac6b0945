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

#include "analysis/file_helpers.h"
#include "analysis/folder_search.h"
#include "app/state.h"
#include "common/win_raii.h"
#include "wizard/long_work.h"

namespace {
constexpr int kTop = 20, kMiddle = 9, kLeaf = 110;  // 20 + 180 + 19,800 folders
constexpr int kFiles = 200000, kShows = 50;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::vector<std::string> MakeFolders(const std::string& base) {
    std::vector<std::string> all;
    ::CreateDirectoryA(base.c_str(), nullptr);
    for (int t = 0; t < kTop; ++t) {
        const std::string top = base + "\\Project " + std::to_string(t);
        ::CreateDirectoryA(top.c_str(), nullptr);
        all.push_back(top);
        for (int m = 0; m < kMiddle; ++m) {
            const std::string mid = top + "\\Media" + std::to_string(m);
            ::CreateDirectoryA(mid.c_str(), nullptr);
            all.push_back(mid);
            for (int l = 0; l < kLeaf; ++l) {
                const std::string leaf = mid + "\\take_" + std::to_string(l);
                ::CreateDirectoryA(leaf.c_str(), nullptr);
                all.push_back(leaf);
            }
        }
    }
    return all;
}

bool Generate(const std::string& base) {
    const std::vector<std::string> folders = MakeFolders(base);
    const size_t perShow = kFiles / kShows;
    for (int i = 0; i < kFiles; ++i) {
        const std::string& folder = folders[static_cast<size_t>(i) % folders.size()];
        const bool show = static_cast<size_t>(i) % perShow == perShow / 2;
        const std::string name = folder + (show ? "\\show" : "\\clip") + std::to_string(i) + (show ? ".ws4" : ".wav");
        UniqueFile f(::CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
        if (!f) {
            std::fprintf(stderr, "cannot create %s\n", name.c_str());
            return false;
        }
    }
    return true;
}

void DeleteTree(const std::string& path) {
    WIN32_FIND_DATAA fd;
    UniqueFind find(::FindFirstFileA((path + "\\*").c_str(), &fd));
    if (find) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(path + "\\" + name);
            else
                ::DeleteFileA((path + "\\" + name).c_str());
        } while (::FindNextFileA(find.get(), &fd));
    }
    find.reset();
    ::RemoveDirectoryA(path.c_str());
}

struct Walk {
    double seconds;
    int found;
};

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

// The command line's own walk, its output counted from a file.
Walk TimeDir(const std::string& root, const std::string& outFile) {
    std::string cmd = "cmd /c dir /s /b " + root + "*.ws4 > \"" + outFile + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const auto start = Clock::now();
    if (!::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                          &pi))
        return {-1, 0};
    UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    const double seconds = Seconds(Clock::now() - start);

    int lines = 0;
    UniqueFile out(::CreateFileA(outFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char buf[65536];
    DWORD got = 0;
    while (out && ::ReadFile(out.get(), buf, sizeof buf, &got, nullptr) && got)
        lines += static_cast<int>(std::count(buf, buf + got, '\n'));
    return {seconds, lines};
}
}  // namespace

int main(int argc, char** argv) {
    bool keep = false;
    std::string root = "D:\\";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--keep") keep = true;
        else root = a;
    }
    if (root.back() != '\\') root.push_back('\\');
    // The search makes each drive current before it walks it; so do we.
    if (root.size() < 2 || root[1] != ':' || _chdrive(std::toupper(static_cast<unsigned char>(root[0])) - 64) != 0) {
        std::fprintf(stderr, "cannot make %s the current drive\n", root.c_str());
        return 1;
    }
    const std::string base = root + "ZkBench";
    const std::string marker = base + "\\complete.txt";

    if (::GetFileAttributesA(marker.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("making %d folders and %d files (%d shows) in %s ...\n", kTop * (1 + kMiddle * (1 + kLeaf)),
                    kFiles, kShows, base.c_str());
        std::fflush(stdout);
        DeleteTree(base);
        const auto start = Clock::now();
        if (!Generate(base)) return 1;
        UniqueFile(::CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        std::printf("made in %.1f s\n", Seconds(Clock::now() - start));
    } else {
        std::printf("reusing the tree in %s\n", base.c_str());
    }

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    HWND frame = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
    HWND tree = ::CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
                                  0, 0, 300, 400, frame, nullptr, nullptr, nullptr);
    HWND list = ::CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_SORT, 300, 0, 300, 400, frame, nullptr, nullptr,
                                  nullptr);
    char temp[MAX_PATH + 1] = "";
    ::GetTempPathA(sizeof temp, temp);
    const std::string outFile = std::string(temp) + "zk_search_bench_dir.txt";

    // One round of each to warm the caches, then the best of three, taken
    // in turns so that neither side gets the quieter moments.
    TimeSearch(root, tree, list);
    TimeDir(root, outFile);
    Walk bestSearch{1e9, 0}, bestDir{1e9, 0}, bestBare{1e9, 0}, bestTested{1e9, 0};
    auto keepBest = [](Walk& best, const Walk& w) {
        if (w.seconds >= 0 && w.seconds < best.seconds) best = w;
    };
    for (int round = 0; round < 3; ++round) {
        keepBest(bestSearch, TimeSearch(root, tree, list));
        keepBest(bestDir, TimeDir(root, outFile));
        keepBest(bestBare, TimeBare(root, false));
        keepBest(bestTested, TimeBare(root, true));
    }
    ::DeleteFileA(outFile.c_str());
    ::DestroyWindow(frame);

    std::printf("SearchFolderTree %s: %.3f s, %d shows\n", root.c_str(), bestSearch.seconds, bestSearch.found);
    std::printf("cmd /c dir /s /b %s*.ws4: %.3f s, %d lines\n", root.c_str(), bestDir.seconds, bestDir.found);
    std::printf("  of which: bare two listings per folder %.3f s, with the folder test %.3f s\n",
                bestBare.seconds, bestTested.seconds);
    std::printf("ratio search / dir: %.2f (goal <= 2)\n", bestSearch.seconds / bestDir.seconds);

    if (!keep) DeleteTree(base);
    return bestSearch.found >= kShows ? 0 : 1;
}
