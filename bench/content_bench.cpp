// "Bestanden nakijken" as its dialog reads: every file through
// CContentReader (1 MiB chunks fed to the content check, the messages
// handled between chunks as the dialog does) against reading the same
// files once in the same chunks and nothing else, in the same run, in
// turns over at least 5 rounds. Prints the median, minimum and maximum of
// each and the ratio of the medians (goal: at most 1.25).
//
// 1 GiB in all: a few large files (200, 150, 100 MB, ...) and 2,000 small
// ones of 100 kB, named as media (.wav, .jpg, .mp3, .png, .avi), their
// bytes noise: this measures the reading loop and what the check costs per
// byte; with whole media of each kind the check runs its full parse.
//
//   content_bench.exe [folder] [rounds]
//
// Default folder D:\ZkBench\nakijken, made first and removed at the end.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_rounds.h"
#include "bench_tree.h"
#include "common/win_raii.h"
#include "media/content_read.h"

namespace {
constexpr int64_t kMB = 1000000;
constexpr int64_t kTotalBytes = 1LL << 30;
constexpr int kSmallFiles = 2000;
constexpr int64_t kSmallSize = 100000;

std::vector<std::string> MakeFiles(const std::string& folder) {
    const char* const kExtensions[] = {".wav", ".jpg", ".mp3", ".png", ".avi"};
    std::vector<std::string> files;
    int64_t total = 0;
    for (int i = 0; i < kSmallFiles; ++i) {
        files.push_back(folder + "\\klein" + std::to_string(i) + kExtensions[i % 5]);
        if (!bench::MakeNoiseFile(files.back(), kSmallSize, static_cast<uint32_t>(i))) return {};
        total += kSmallSize;
    }
    const int large[] = {200, 150, 100, 120, 80, 60, 40, 30, 20, 10};
    for (size_t i = 0; total < kTotalBytes; ++i) {
        const int64_t size = std::min<int64_t>(large[i % 10] * kMB, kTotalBytes - total);
        files.push_back(folder + "\\groot" + std::to_string(i) + kExtensions[i % 5]);
        if (!bench::MakeNoiseFile(files.back(), size, static_cast<uint32_t>(size))) return {};
        total += size;
    }
    return files;
}

void PumpWaiting() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
}

double CheckAll(const std::vector<std::string>& files) {
    const auto start = bench::Clock::now();
    CContentReader reader;
    for (const std::string& path : files) {
        CheckedFile found;
        reader.Check(path, found, [](uint64_t) {
            PumpWaiting();
            return true;
        });
        if (found.size < 0) {
            std::fprintf(stderr, "%s could not be read\n", path.c_str());
            std::exit(1);
        }
    }
    return bench::Seconds(bench::Clock::now() - start);
}

double ReadAll(const std::vector<std::string>& files) {
    const auto start = bench::Clock::now();
    std::vector<char> buffer(CContentReader::kChunkBytes);
    for (const std::string& path : files) {
        UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        DWORD got = 0;
        while (file && ::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got)
            PumpWaiting();
    }
    return bench::Seconds(bench::Clock::now() - start);
}
}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "D:\\ZkBench\\nakijken";
    const int rounds = argc > 2 ? std::atoi(argv[2]) : bench::kMinRounds;
    ::CreateDirectoryA(folder.substr(0, folder.find_last_of('\\')).c_str(), nullptr);
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::vector<std::string> files = MakeFiles(folder);
    if (files.empty()) {
        std::fprintf(stderr, "cannot make the files in %s\n", folder.c_str());
        return 1;
    }
    std::printf("1 GiB in %zu files (%d of 100 kB), %s, %d rounds\n", files.size(), kSmallFiles, folder.c_str(),
                rounds);
    const bench::Comparison c = bench::Compare(rounds, [&] { return CheckAll(files); }, [&] { return ReadAll(files); });
    bench::DeleteTree(folder);
    ::RemoveDirectoryA(folder.substr(0, folder.find_last_of('\\')).c_str());
    bench::Print("Bestanden nakijken tegen eenmaal lezen (doel <= 1.25)", "CContentReader, zoals het venster",
                 "ReadFile in dezelfde stukken", c);
    return 0;
}
