// Copying 1 GiB in files of 1 to 200 MB with the repair's CopyFileChunked,
// as the yellow pages run it (a progress bar set and the messages handled
// at every chunk), against the system's CopyFileA, on the same files and
// drives in the same run, in turns over at least 5 rounds. Prints the
// median, minimum and maximum of each and the ratios of the medians (goal:
// at most 1.2).
//
// CopyFileChunked flushes each copy to the disk before it reports success
// (a source may be deleted right after), CopyFileA leaves it in the cache.
// So a second baseline, CopyFileA followed by a flush of the copy, shows
// what the same durability costs the system's copy.
//
//   copy_bench.exe [source folder] [target folder] [rounds]
//
// Defaults: D:\ZkBench\bron, C:\ZkBench\doel, 5 rounds. The source files
// are made first and removed at the end; every copy is removed right
// after its round, so the target drive needs 1 GiB free.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/file_helpers.h"
#include "bench_rounds.h"
#include "bench_tree.h"
#include "wizard/long_work.h"

namespace {
constexpr int64_t kTotalBytes = 1LL << 30;
constexpr int64_t kMB = 1000000;

struct Source {
    std::string name;
    int64_t size;
};

// Sizes from 1 to 200 MB in a fixed mixed order until 1 GiB is reached.
std::vector<Source> Plan() {
    const int pattern[] = {1, 200, 5, 150, 20, 100, 50, 75, 10, 180, 2, 120};
    std::vector<Source> files;
    int64_t total = 0;
    for (size_t i = 0; total < kTotalBytes; ++i) {
        int64_t size = pattern[i % (sizeof pattern / sizeof pattern[0])] * kMB;
        size = std::min(size, kTotalBytes - total);
        if (size < kMB) {  // the rest is too small for a file of its own
            files.back().size += size;
            break;
        }
        files.push_back(Source{"bestand" + std::to_string(i) + ".wav", size});
        total += size;
    }
    return files;
}

using CopyFn = bool (*)(const std::string&, const std::string&);

HWND s_bar = nullptr;

// As a yellow page copies: the bar follows the bytes, and the window's
// messages are handled between the chunks.
bool Chunked(const std::string& from, const std::string& to) {
    CLongWork work(::GetParent(s_bar));
    return CopyFileChunked(from, to, [&](int64_t copied) {
        ::SendMessageA(s_bar, PBM_SETPOS, static_cast<WPARAM>(copied / 1000), 0);
        work.Pump();
        return true;
    });
}
bool System(const std::string& from, const std::string& to) {
    return ::CopyFileA(from.c_str(), to.c_str(), TRUE) != FALSE;
}
bool SystemFlushed(const std::string& from, const std::string& to) {
    if (!::CopyFileA(from.c_str(), to.c_str(), TRUE)) return false;
    HANDLE h = ::CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = ::FlushFileBuffers(h) != FALSE;
    ::CloseHandle(h);
    return ok;
}

// Copies every source to the target folder; the time, or -1 on a failure.
double CopyAll(CopyFn copy, const std::vector<Source>& files, const std::string& src, const std::string& dst) {
    const auto start = bench::Clock::now();
    for (const Source& f : files) {
        if (!copy(src + "\\" + f.name, dst + "\\" + f.name)) {
            std::fprintf(stderr, "copy of %s failed\n", f.name.c_str());
            std::exit(1);
        }
    }
    const double seconds = bench::Seconds(bench::Clock::now() - start);
    for (const Source& f : files) ::DeleteFileA((dst + "\\" + f.name).c_str());
    return seconds;
}
}  // namespace

int main(int argc, char** argv) {
    const std::string src = argc > 1 ? argv[1] : "D:\\ZkBench\\bron";
    const std::string dst = argc > 2 ? argv[2] : "C:\\ZkBench\\doel";
    const int rounds = argc > 3 ? std::atoi(argv[3]) : bench::kMinRounds;

    ::CreateDirectoryA(src.substr(0, src.find_last_of('\\')).c_str(), nullptr);
    ::CreateDirectoryA(src.c_str(), nullptr);
    ::CreateDirectoryA(dst.substr(0, dst.find_last_of('\\')).c_str(), nullptr);
    ::CreateDirectoryA(dst.c_str(), nullptr);

    const std::vector<Source> files = Plan();
    for (const Source& f : files) {
        if (!bench::MakeNoiseFile(src + "\\" + f.name, f.size, static_cast<uint32_t>(f.size))) {
            std::fprintf(stderr, "cannot make %s\\%s\n", src.c_str(), f.name.c_str());
            return 1;
        }
    }
    std::printf("1 GiB in %zu files of 1 to 200 MB, %s -> %s, %d rounds\n", files.size(), src.c_str(), dst.c_str(),
                rounds);

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);
    HWND frame = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 40, nullptr, nullptr, nullptr,
                                   nullptr);
    s_bar = ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 0, 0, 400, 20, frame, nullptr, nullptr,
                              nullptr);
    ::SendMessageA(s_bar, PBM_SETRANGE32, 0, 200000);
    const std::vector<bench::Spread> s = bench::MeasureInTurns(
        rounds, {[&] { return CopyAll(&Chunked, files, src, dst); }, [&] { return CopyAll(&System, files, src, dst); },
                 [&] { return CopyAll(&SystemFlushed, files, src, dst); }});
    ::DestroyWindow(frame);
    for (const Source& f : files) ::DeleteFileA((src + "\\" + f.name).c_str());
    // Nothing left behind (the parents only when nothing else is in them).
    for (const std::string& folder : {src, dst}) {
        ::RemoveDirectoryA(folder.c_str());
        ::RemoveDirectoryA(folder.substr(0, folder.find_last_of('\\')).c_str());
    }

    bench::Print("1. CopyFileChunked tegen CopyFileA (doel <= 1.2)", "CopyFileChunked, zoals de pagina", "CopyFileA",
                 {s[0], s[1]});
    bench::Print("2. CopyFileChunked tegen CopyFileA met flush", "CopyFileChunked, zoals de pagina",
                 "CopyFileA + flush", {s[0], s[2]});
    return 0;
}
