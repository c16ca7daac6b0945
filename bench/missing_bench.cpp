// How the search for missing files scales with the number of missing
// names, and how its walk compares with the command line's own.
//
//   missing_bench.exe [--keep] [--rounds=N] [ROOT]
//
// ROOT (default D:\) holds the tree of search_bench in ROOT\ZkBench (made
// when absent, removed afterwards unless --keep). The real dialog searches
// the same tree, as the user sees it (its status, its handling of
// messages), for 1 name and for 1,000 names, each found once; the ratio of
// the two must stay near 1. The search for one name is set against
// "cmd /c dir /s /b ROOT\ZkBench\<that name>", which walks the same tree
// for the same file, without the start-up of cmd itself. At least 5 rounds,
// in alternating order.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "analysis/folder_search.h"
#include "app/app.h"
#include "services/state.h"
#include "bench_rounds.h"
#include "bench_tree.h"
#include "repair/find_missing_dialog.h"
#include "resource.h"

namespace {
using namespace bench;

std::string s_base;
std::vector<std::string> BenchRoots(bool) { return {s_base}; }

// The clips are named by number: every 200th of them is a missing name.
std::vector<std::string> RedNames(int count) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i)
        paths.push_back("C:\\Show\\Audio\\clip" + std::to_string(i * (kFiles / 1000) + 1) + ".wav");
    return paths;
}

std::string s_status;

// The real dialog, from its start until its search has ended; closed by a
// timer then.
double TimeDialog(int names) {
    s_status.clear();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND dialog = ::FindWindowA("#32770", "Zekerpad - Ontbrekende bestanden zoeken");
        if (!dialog || !s_status.empty()) return;
        char text[512] = {};
        ::GetDlgItemTextA(dialog, IDC_FM_STATUS, text, sizeof text);
        if (std::string(text).rfind("Klaar", 0) != 0) return;
        s_status = text;
        ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    CDialogFindMissing dialog(RedNames(names));
    const auto start = Clock::now();
    dialog.DoModal(nullptr);
    const double seconds = Seconds(Clock::now() - start);
    ::KillTimer(nullptr, timer);
    return seconds;
}
}  // namespace

int main(int argc, char** argv) {
    const Arguments args = ParseArguments(argc, argv);
    const int rounds = args.rounds;
    s_base = args.root + "ZkBench";
    if (!EnsureTree(s_base)) return 1;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    CWingsTestApp app;
    g_pApp = &app;
    g_pfnSearchRoots = &BenchRoots;

    const std::string onePattern = s_base + "\\clip1.wav";
    TimeDialog(1);  // warm the caches
    std::string one, thousand;
    const Comparison names = Compare(
        rounds,
        [&] {
            const double s = TimeDialog(1000);
            thousand = s_status;
            return s;
        },
        [&] {
            const double s = TimeDialog(1);
            one = s_status;
            return s;
        });
    Print("1. Zoeken naar 1.000 namen tegen 1 naam (doel <= 1.2)", "1.000 namen", "1 naam", names);
    std::printf("  1.000 namen: %s\n  1 naam: %s\n", thousand.c_str(), one.c_str());
    const Comparison dir = Compare(
        rounds, [&] { return TimeDialog(1); }, [&] { return TimeDir(onePattern).seconds; });
    Print("2. Zoeken naar 1 naam tegen cmd /c dir /s /b (doel <= 2)", "het venster", "dir zonder het starten van cmd",
          dir);

    if (!args.keep) DeleteTree(s_base);
    return 0;
}
