// How the search for missing files scales with the number of missing
// names, and how its walk compares with the command line's own.
//
//   missing_bench.exe [--keep] [ROOT]
//
// ROOT (default D:\) holds the tree of search_bench in ROOT\ZkBench (made
// when absent, removed afterwards unless --keep). The same tree is searched
// for 1 name and for 1,000 names, each found once; the ratio of the two
// must stay near 1. The walk for one name is set against
// "cmd /c dir /s /b ROOT\ZkBench\<that name>", which walks the same tree
// for the same file.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_tree.h"
#include "repair/missing_search.h"

namespace {
using namespace bench;

// The clips are named by number: every 200th of them is a missing name.
std::vector<std::string> RedNames(int count) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i)
        paths.push_back("C:\\Show\\Audio\\clip" + std::to_string(i * (kFiles / 1000) + 1) + ".wav");
    return paths;
}

Walk TimeSearch(const std::string& base, int names) {
    MissingFiles files(RedNames(names));
    const auto start = Clock::now();
    // The dialog's own per-folder work (status, messages) is throttled;
    // a callback stands in for its cost of a call per folder.
    const MissingWalkResult r = FindMissingCandidates({base}, files, [](const std::string&) { return true; });
    const double seconds = Seconds(Clock::now() - start);
    return {r.stopped ? -1 : seconds, static_cast<int>(files.CandidateCount())};
}
}  // namespace

int main(int argc, char** argv) {
    const Arguments args = ParseArguments(argc, argv);
    const bool keep = args.keep;
    const std::string root = args.root;
    const std::string base = root + "ZkBench";
    if (!EnsureTree(base)) return 1;

    const std::string onePattern = base + "\\clip1.wav";
    // One round of each to warm the caches, then the best of three, in turns.
    TimeSearch(base, 1);
    TimeDir(onePattern);
    Walk best1{1e9, 0}, best1000{1e9, 0}, bestDir{1e9, 0};
    auto keepBest = [](Walk& best, const Walk& w) {
        if (w.seconds >= 0 && w.seconds < best.seconds) best = w;
    };
    for (int round = 0; round < 3; ++round) {
        keepBest(best1, TimeSearch(base, 1));
        keepBest(best1000, TimeSearch(base, 1000));
        keepBest(bestDir, TimeDir(onePattern));
    }

    std::printf("search for 1 name: %.3f s, %d found\n", best1.seconds, best1.found);
    std::printf("search for 1000 names: %.3f s, %d found\n", best1000.seconds, best1000.found);
    std::printf("cmd /c dir /s /b %s: %.3f s, %d lines\n", onePattern.c_str(), bestDir.seconds, bestDir.found);
    const double ratioNames = best1000.seconds / best1.seconds;
    const double ratioDir = best1.seconds / bestDir.seconds;
    std::printf("ratio 1000 names / 1 name: %.2f (goal <= 1.2)\n", ratioNames);
    std::printf("ratio search / dir: %.2f (goal <= 2)\n", ratioDir);

    if (!keep) DeleteTree(base);
    return best1.found == 1 && best1000.found == 1000 ? 0 : 1;
}
