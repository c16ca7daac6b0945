// Copying 1 GiB in files of 1 to 200 MB with the repair's CopyFileChunked
// against the system's CopyFileA, on the same files and drives in the same
// run. Prints the time of each and their ratio (goal: at most 1.2).
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

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/file_helpers.h"

#include "bench_tree.h"

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

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER freq;
    ::QueryPerformanceFrequency(&freq);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(freq.QuadPart);
}

using CopyFn = bool (*)(const std::string&, const std::string&);

bool Chunked(const std::string& from, const std::string& to) { return CopyFileChunked(from, to); }
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
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    for (const Source& f : files) {
        if (!copy(src + "\\" + f.name, dst + "\\" + f.name)) {
            std::fprintf(stderr, "copy of %s failed\n", f.name.c_str());
            return -1;
        }
    }
    ::QueryPerformanceCounter(&end);
    for (const Source& f : files) ::DeleteFileA((dst + "\\" + f.name).c_str());
    return Seconds(start, end);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
    const std::string src = argc > 1 ? argv[1] : "D:\\ZkBench\\bron";
    const std::string dst = argc > 2 ? argv[2] : "C:\\ZkBench\\doel";
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;

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

    struct Method {
        const char* name;
        CopyFn copy;
        std::vector<double> times;
    };
    Method methods[] = {{"CopyFileChunked", &Chunked, {}},
                        {"CopyFileA", &System, {}},
                        {"CopyFileA + flush", &SystemFlushed, {}}};
    const size_t n = sizeof methods / sizeof methods[0];
    for (int r = 0; r < rounds; ++r) {
        // Each round starts with another method, so none always meets the
        // same state of the caches.
        std::printf("round %d:", r + 1);
        for (size_t i = 0; i < n; ++i) {
            Method& m = methods[(static_cast<size_t>(r) + i) % n];
            const double t = CopyAll(m.copy, files, src, dst);
            if (t < 0) return 1;
            m.times.push_back(t);
            std::printf("  %s %.2f s", m.name, t);
        }
        std::printf("\n");
    }
    for (const Source& f : files) ::DeleteFileA((src + "\\" + f.name).c_str());

    const double mb = static_cast<double>(kTotalBytes) / 1e6;
    std::printf("median of %d rounds:\n", rounds);
    for (const Method& m : methods) {
        const double t = Median(m.times);
        std::printf("  %-18s %.2f s  %5.0f MB/s\n", m.name, t, mb / t);
    }
    const double chunked = Median(methods[0].times);
    std::printf("ratio CopyFileChunked / CopyFileA         = %.2f (goal <= 1.20)\n", chunked / Median(methods[1].times));
    std::printf("ratio CopyFileChunked / CopyFileA + flush = %.2f\n", chunked / Median(methods[2].times));
    return 0;
}
