// Speed of the show analysis, run by hand under Wine:
//
//   analysis_bench.exe [references [rounds]]
//
// Makes a 64 MiB show that names 20,000 existing and missing files of every
// kind and colour on C: and D: (removed at the end), then prints three
// figures, each against a baseline measured in the same run, in turns over
// at least 5 rounds (median, minimum, maximum, ratio of the medians):
//   1. finding the references vs one memchr pass for ':' (goal <= 1.5);
//   2. the whole analysis without the tree vs a bare loop of exactly the
//      existence tests and exclusive opens it needs (goal <= 1.3);
//   3. filling the page's tree with the 20,000 references, sorted by the
//      control (goal: under a second), and the page's whole scan.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "analysis/analysis_page.h"
#include "files/file_helpers.h"
#include "files/file_kind.h"
#include "files/path_split.h"
#include "analysis/ref_scan.h"
#include "analysis/result_tree.h"
#include "analysis/show_scan.h"
#include "app/app.h"
#include "services/msgbox.h"
#include "services/state.h"
#include "common/win_raii.h"
#include "wizard/sheet.h"

#include "bench_rounds.h"
#include "bench_tree.h"

namespace {

constexpr size_t kShowBytes = 64u << 20;
int g_rounds = bench::kMinRounds;
const char kShowDir[] = "C:\\ZkBench\\Show";
const char kShowPath[] = "C:\\ZkBench\\Show\\bench.ws4";

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// A small deterministic generator: the same show on every run.
struct Random {
    uint64_t state = 0x2545F4914F6CDD1Dull;
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<uint32_t>(state >> 16);
    }
};

bool MakeFile(const std::string& path, size_t bytes) {
    UniqueFile f(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr));
    if (!f) return false;
    std::string data(bytes, 'z');
    DWORD written = 0;
    return ::WriteFile(f.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
           written == data.size();
}

bool MakeFolder(const std::string& path) {
    std::string p = path + "\\";
    for (size_t i = 3; i < p.size(); ++i) {
        if (p[i] != '\\') continue;
        const std::string part = p.substr(0, i);
        if (!::CreateDirectoryA(part.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return true;
}

// One reference of the show: where it points, whether the file is made.
struct Planned {
    std::string path;
    bool make;
    bool companion;  // a sound file with its .tlg
};

std::vector<Planned> PlanReferences(int count) {
    static const char* const kExts[] = {".wav", ".mp3", ".jpg", ".bmp", ".tif", ".001", ".psd",
                                        ".gif", ".txt", ".avi", ".ws4", ".WAV", ".doc", ".0042"};
    std::vector<Planned> plan;
    Random rnd;
    for (int i = 0; i < count; ++i) {
        const char* ext = kExts[rnd.Next() % std::size(kExts)];
        const std::string name = "f" + std::to_string(i) + ext;
        std::string folder;
        bool make = true;
        switch (rnd.Next() % 10) {
        case 0: case 1: case 2: folder = kShowDir; break;                         // green, beside
        case 3: case 4: folder = std::string(kShowDir) + "\\Sub" + std::to_string(i % 7); break;  // green below
        case 5: case 6: folder = "C:\\ZkBench\\Elsewhere" + std::to_string(i % 5); break;       // yellow 1
        case 7: case 8: folder = "D:\\ZkBench\\Far" + std::to_string(i % 5); break;             // yellow 2
        default: folder = "C:\\ZkBench\\Gone"; make = false; break;                            // red
        }
        const bool sound = std::strcmp(ext, ".wav") == 0 || std::strcmp(ext, ".WAV") == 0;
        plan.push_back({folder + "\\" + name, make, sound && make && i % 2 == 0});
    }
    return plan;
}

bool Generate(const std::vector<Planned>& plan) {
    if (FileExists(kShowPath)) return true;
    std::printf("Making the show and %zu files (once)...\n", plan.size());
    for (const auto& p : plan) {
        const size_t slash = p.path.find_last_of('\\');
        if (!MakeFolder(p.path.substr(0, slash))) return false;
        if (!p.make) continue;
        if (!MakeFile(p.path, 100 + p.path.size() * 13)) return false;
        if (p.companion && !MakeFile(p.path.substr(0, p.path.size() - 4) + ".tlg", 64)) return false;
    }
    // Binary filler, with the colons and zeros real data has, and the
    // references spread through it.
    std::string show(kShowBytes, '\0');
    Random rnd;
    for (size_t i = 0; i < show.size(); ++i) show[i] = static_cast<char>(rnd.Next());
    const size_t step = show.size() / (plan.size() + 1);
    for (size_t i = 0; i < plan.size(); ++i) {
        const std::string& ref = plan[i].path;
        const size_t at = step * (i + 1) - ref.size() - 2;
        show[at - 1] = '\0';
        std::memcpy(&show[at], ref.c_str(), ref.size() + 1);
    }
    UniqueFile f(::CreateFileA(kShowPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return f && ::WriteFile(f.get(), show.data(), static_cast<DWORD>(show.size()), &written, nullptr) &&
           written == show.size();
}

std::string ReadAll(const char* path) {
    std::string bytes;
    UniqueFile f(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!f || !::GetFileSizeEx(f.get(), &size)) return bytes;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    ::ReadFile(f.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    bytes.resize(got);
    return bytes;
}

// Seconds of one run.
template <typename F>
bench::Round Timed(F run) {
    return [run]() mutable {
        const auto start = Clock::now();
        run();
        return Seconds(start);
    };
}

volatile size_t g_sink;  // keeps the measured loops from being optimised away

bool g_expectMessage = false;  // the page's first activation names no show

int BenchMessageBox(HWND__*, const std::string& text, const std::string&, unsigned) {
    if (!g_expectMessage) std::printf("message: %s\n", text.c_str());
    return IDOK;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 20000;
    g_pfnMessageBox = &BenchMessageBox;
    CWingsTestApp app;
    g_pApp = &app;

    const std::vector<Planned> plan = PlanReferences(count);
    if (!Generate(plan)) {
        std::printf("could not make the show (%lu)\n", ::GetLastError());
        return 1;
    }
    const std::string show = ReadAll(kShowPath);
    if (argc > 2) g_rounds = std::atoi(argv[2]);
    std::printf("show: %zu bytes, %d references\n\n", show.size(), count);

    // 1. Finding the references against the floor of reading every byte once.
    size_t colons = 0, refs = 0;
    const bench::Comparison scan = bench::Compare(g_rounds, Timed([&] {
        refs = 0;
        size_t length = 0;
        ForEachReference(show.data(), show.size(), [&](std::string_view ref) {
            ++refs;
            length += ref.size();
        });
        g_sink = length;
    }), Timed([&] {
        colons = 0;
        const char* p = show.data();
        const char* end = p + show.size();
        while ((p = static_cast<const char*>(std::memchr(p, ':', static_cast<size_t>(end - p)))) != nullptr) {
            ++colons;
            ++p;
        }
        g_sink = colons;
    }));
    bench::Print("1. " + std::to_string(refs) + " verwijzingen vinden tegen " + std::to_string(colons) +
                     " dubbele punten met memchr (doel <= 1.5)",
                 "ForEachReference", "memchr", scan);

    // 2. The whole analysis without the tree against a bare loop of the
    // file system calls it cannot do without: per reference one existence
    // test and, for a present file, one exclusive open; the same again for
    // a sound file's .tlg companion.
    std::vector<std::string> paths, companions;
    ForEachReference(show.data(), show.size(), [&](std::string_view ref) {
        paths.emplace_back(ref);
        const PathParts parts = SplitPath(ref);
        companions.push_back(FileKindOfExtension(parts.ext) == kKindSound
                                 ? parts.drive + parts.dir + parts.name + ".tlg"
                                 : std::string());
    });
    auto bareOne = [](const std::string& path) -> int64_t {
        // FileExists: an open for reading, and whether it is a file on a disk.
        HANDLE probe = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE) return -1;
        const bool onDisk = ::GetFileType(probe) == FILE_TYPE_DISK;
        ::CloseHandle(probe);
        if (!onDisk) return -1;
        HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return -1;
        LARGE_INTEGER size{};
        ::GetFileSizeEx(h, &size);
        ::CloseHandle(h);
        return size.QuadPart;
    };
    bool failed = false;
    const bench::Comparison analysis = bench::Compare(g_rounds, Timed([&] {
        ResetScanResults();
        const ScanOutcome outcome = AnalyseShowFile(kShowPath, nullptr);
        if (outcome.status != ScanStatus::Done) failed = true;
    }), Timed([&] {
        int64_t total = 0;
        for (size_t i = 0; i < paths.size(); ++i) {
            const int64_t size = bareOne(paths[i]);
            if (size >= 0) {
                total += size;
                if (!companions[i].empty()) total += std::max<int64_t>(0, bareOne(companions[i]));
            }
        }
        g_sink = static_cast<size_t>(total);
    }));
    if (failed) {
        std::printf("the analysis failed\n");
        return 1;
    }
    bench::Print("2. De analyse zonder boom tegen dezelfde bestandsaanroepen in een kale lus (doel <= 1.3)",
                 "AnalyseShowFile", "kale lus", analysis);
    std::printf("   red %d, yellow %d (1: %d, 2: %d), green %d, other %d, total %lld bytes\n", g_nRed, g_nYellow,
                g_nYellow1, g_nYellow2, g_nGreen, g_nOther, static_cast<long long>(g_nTotalBytes));

    // 3. The page's own scan, with the tree, in the real wizard.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    app.BuildWizard();
    HWND sheet = app.Sheet()->Create();
    g_csRecentFile = "C:\\ZkBench\\Show\\missing.ws4";
    g_expectMessage = true;
    ::SendMessageA(sheet, PSM_SETCURSEL, 2, 0);  // makes the page; its scan fails at once
    g_expectMessage = false;
    auto* page = static_cast<CTestPropPage02*>(app.Page(2));
    HWND tree = ::GetDlgItem(page->GetSafeHwnd(), 1002);

    // The tree alone: the same references, collected once, into the page's
    // tree under fresh group nodes, as the page does after its scan; and
    // the page's whole scan with its tree.
    // Fill() hands its items over and keeps none: each round fills from a
    // fresh copy of the collected items, made before the clock starts.
    CResultTreeFiller collected;
    ResetScanResults();
    AnalyseShowFile(kShowPath, &collected);
    const bench::Comparison fill = bench::Compare(g_rounds, [&] {
        ::SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
        CResultTreeFiller filler = collected;
        const auto start = Clock::now();
        HTREEITEM showItem = InsertTreeItem(tree, TVI_ROOT, TVI_LAST, kShowPath, kImageFigure);
        const HTREEITEM groups[4] = {TVI_ROOT, InsertTreeItem(tree, showItem, TVI_SORT, "Geluidsbestanden", 1),
                                     InsertTreeItem(tree, showItem, TVI_SORT, "Afbeeldingen", 2),
                                     InsertTreeItem(tree, showItem, TVI_SORT, "Overige bestanden", 0)};
        filler.Fill(tree, groups);
        for (HTREEITEM item : groups)
            if (item != TVI_ROOT) ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(showItem));
        return Seconds(start);
    }, Timed([&] { page->ScanShow(kShowPath); }));
    bench::Print("3. De boom vullen (" + std::to_string(::SendMessageA(tree, TVM_GETCOUNT, 0, 0)) +
                     " items, doel < 1 s) tegen de hele analyse van de pagina met boom",
                 "boom vullen", "de pagina", fill);
    // Nothing left behind. The run log is not opened: none is written.
    bench::DeleteTree("C:\\ZkBench");
    for (int i = 0; i < 5; ++i) bench::DeleteTree("D:\\ZkBench\\Far" + std::to_string(i));
    ::RemoveDirectoryA("D:\\ZkBench");
    ::DestroyWindow(sheet);
    app.DestroyWizard();
    g_pApp = nullptr;
    return 0;
}
