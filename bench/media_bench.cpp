// Checking the contents of a show's files against reading them once: the
// same files, the same reads in chunks of 1 MiB, in the same run, in turns
// over at least 5 rounds; the check feeds every chunk to the content check
// and takes its finding at the end of each file (goal: at most 1.15).
//
// The files are generated media of every kind the check knows, about
// 1.1 GiB in all: fifteen large files (one of each kind) and 4,000 small
// ones.
//
//   media_bench.exe [folder] [rounds]
//
// Default: D:\ZkBench\Media, 5 rounds. The files are made first and
// removed at the end.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "media/content_check.h"
#include "support/media_samples.h"
#include "support/media_variants.h"

#include "bench_rounds.h"
#include "bench_tree.h"

namespace {

constexpr size_t kLarge = 72u << 20;  // 15 of them: 1,080 MiB
constexpr int kSmallCount = 4000;
constexpr size_t kSmall = 40u << 10;  // 4,000 of about 40 KiB: 160 MiB
constexpr DWORD kChunk = 1u << 20;

struct File {
    std::string path;
    std::string extension;
};

// Every kind with its usual extension: a good file with about bulk bytes of
// picture, sound or video.
struct Kind {
    std::string extension;
    std::vector<uint8_t> (*make)(MediaSample sample, size_t bulk);
    MediaSample sample;
};

std::vector<uint8_t> Sample(MediaSample sample, size_t bulk) { return SampleMedia(sample, bulk); }
std::vector<uint8_t> Flac(MediaSample, size_t bulk)
{
    media_variants::FlacLayout l;
    l.frames = static_cast<int>(bulk / 776) + 1;  // 768 bytes of sound a frame
    return media_variants::Flac(l);
}
std::vector<uint8_t> Aac(MediaSample, size_t bulk) { return media_variants::Adts(static_cast<int>(bulk / 231) + 1); }
std::vector<uint8_t> Matroska(MediaSample, size_t bulk)
{
    media_variants::MatroskaLayout l;
    l.blockBytes = 20000;
    l.clusters = static_cast<int>(bulk / 60200) + 1;
    return media_variants::Matroska(l);
}

std::vector<Kind> Kinds()
{
    std::vector<Kind> kinds;
    for (MediaSample sample : AllMediaSamples()) kinds.push_back({SampleExtension(sample), &Sample, sample});
    kinds.push_back({"flac", &Flac, MediaSample::Wav});
    kinds.push_back({"aac", &Aac, MediaSample::Wav});
    kinds.push_back({"mkv", &Matroska, MediaSample::Wav});
    return kinds;
}

std::vector<File> MakeFiles(const std::string& folder, uint64_t& total)
{
    std::vector<File> files;
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::vector<Kind> kinds = Kinds();
    total = 0;
    for (size_t i = 0; i < kinds.size(); ++i) {
        const std::vector<uint8_t> bytes = kinds[i].make(kinds[i].sample, kLarge);
        files.push_back({folder + "\\groot" + std::to_string(i) + "." + kinds[i].extension, kinds[i].extension});
        if (!bench::WriteWholeFile(files.back().path, bytes))
            return {};
        total += bytes.size();
    }
    for (int s = 0; s < kSmallCount; ++s) {
        const Kind& kind = kinds[static_cast<size_t>(s) % kinds.size()];
        const std::vector<uint8_t> bytes = kind.make(kind.sample, kSmall / 2 + static_cast<size_t>(s % 97) * 400);
        files.push_back({folder + "\\klein" + std::to_string(s) + "." + kind.extension, kind.extension});
        if (!bench::WriteWholeFile(files.back().path, bytes))
            return {};
        total += bytes.size();
    }
    return files;
}

double Now()
{
    LARGE_INTEGER c, f;
    ::QueryPerformanceCounter(&c);
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// Reads every file once, each chunk also to the check when one is given.
// Returns the bytes read; counts the files not found whole.
uint64_t ReadAll(const std::vector<File>& files, std::vector<uint8_t>& buffer, bool check, int& notWhole)
{
    uint64_t bytes = 0;
    notWhole = 0;
    for (const File& f : files) {
        HANDLE h = ::CreateFileA(f.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            ++notWhole;
            continue;
        }
        LARGE_INTEGER size = {};
        ::GetFileSizeEx(h, &size);
        CContentCheck content(f.extension, static_cast<uint64_t>(size.QuadPart));
        DWORD got = 0;
        while (::ReadFile(h, buffer.data(), kChunk, &got, nullptr) && got > 0) {
            bytes += got;
            if (check)
                content.Feed(buffer.data(), got);
        }
        ::CloseHandle(h);
        if (check) {
            const ContentVerdict verdict = content.Finish().verdict;
            if (verdict != ContentVerdict::Whole && verdict != ContentVerdict::Warning)
                ++notWhole;
        }
    }
    return bytes;
}

void DeleteFiles(const std::vector<File>& files, const std::string& folder)
{
    for (const File& f : files)
        ::DeleteFileA(f.path.c_str());
    ::RemoveDirectoryA(folder.c_str());
    ::RemoveDirectoryA(folder.substr(0, folder.find_last_of('\\')).c_str());  // when the bench made it (and it is empty)
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : "D:\\ZkBench\\Media";
    const int rounds = std::max(bench::kMinRounds, argc > 2 ? std::atoi(argv[2]) : 0);
    ::CreateDirectoryA(folder.substr(0, folder.find_last_of('\\')).c_str(), nullptr);
    uint64_t total = 0;
    const double made = Now();
    const std::vector<File> files = MakeFiles(folder, total);
    if (files.empty()) {
        std::fprintf(stderr, "cannot make the files in %s\n", folder.c_str());
        return 1;
    }
    std::printf("%zu files, %.0f MiB (15 large, the rest small), made in %.1f s, %d rounds\n", files.size(),
                static_cast<double>(total) / (1 << 20), Now() - made, rounds);
    std::fflush(stdout);

    std::vector<uint8_t> buffer(kChunk);
    bool right = true;
    const auto pass = [&](bool check) {
        return [&, check] {
            int notWhole = 0;
            const double t = Now();
            const uint64_t bytes = ReadAll(files, buffer, check, notWhole);
            const double seconds = Now() - t;
            right = right && bytes == total && notWhole == 0;
            return seconds;
        };
    };
    const bench::Comparison c = bench::Compare(rounds, pass(true), pass(false));
    DeleteFiles(files, folder);
    if (!right) {
        std::fprintf(stderr, "a file was not read whole, or not found whole\n");
        return 1;
    }
    bench::Print("Bestanden nakijken / reading the files once (goal <= 1.15)", "read and checked", "read only", c);
    std::printf("  %.0f MB/s checked, %.0f MB/s read\n", static_cast<double>(total) / 1e6 / c.measured.median,
                static_cast<double>(total) / 1e6 / c.baseline.median);
    return 0;
}
