// The back-up of a show's folder against the system's own means, on the
// same files and drives in the same run: 1 GiB in a dozen files plus
// 10,000 small files in 100 folders. Four figures, in this order:
//
//  - a first back-up, each file hashed while copied, flushed once and read
//    back from the disk, against CopyFileA followed by a flush of each copy
//    (goal: at most 1.3);
//  - a second back-up with nothing changed against a bare walk of both
//    trees with FindFirstFile/FindNextFile, reading no file (goal: at
//    most 1.3);
//  - "Back-up controleren" against the larger of two floors: reading every
//    file of the back-up once, and hashing the same bytes once from memory
//    (file by file, as the check does), the floor on a disk faster than the
//    hashing (goal: at most 1.2);
//  - the back-up after every copy's time moved by exactly one hour (a FAT
//    stick after daylight-saving time changed), which reads every file of
//    the show once and copies nothing, against reading the show once
//    (goal: at most 1.2);
//  - the first back-up against the same first back-up with the content
//    check turned off (the check's share of the copy; goal: at most 1.05).
//
// The show's large files are generated media, one of each kind the content
// check follows, so that the check does its real work.
//
// Each figure is the median of the rounds, with the fastest and slowest;
// the order of a measurement and its baselines rotates between rounds,
// so none always finds the other's data in the cache. The run log is
// kept (in the bench's own folder) as in real use.
//
//   backup_bench.exe [show folder] [destination] [rounds] [MiB]
//
// Defaults: D:\ZkBench\Show, E:\ZkBench, 5 rounds, 1024 MiB in the large
// files. The show is made first and everything is removed at the end; the
// destination needs three times the show and 100 MB more.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "services/msgbox.h"
#include "services/run_log.h"
#include "backup/backup_disk.h"
#include "backup/backup_run.h"
#include "backup/sha256.h"
#include "media/content_check.h"
#include "support/media_samples.h"

#include "bench_rounds.h"
#include "bench_tree.h"

namespace {
constexpr int64_t kMB = 1000000;
constexpr int kSmallFolders = 100;
constexpr int kSmallPerFolder = 100;
constexpr uint64_t kHour = 3600ULL * 10000000ULL;  // in the file system's 100 ns ticks

double Now();

double CheckFromMemory(const std::vector<uint8_t>& bytes, const char* extension) {
    const double t = Now();
    CContentCheck content(extension, bytes.size());
    for (size_t at = 0; at < bytes.size(); at += 1 << 20)
        content.Feed(bytes.data() + at, std::min<size_t>(bytes.size() - at, 1 << 20));
    const bool damaged = content.Finish().verdict == ContentVerdict::Damaged;
    return damaged ? 1e9 : Now() - t;  // a generated file found damaged spoils the figure for all to see
}

// The show: a dozen large files that make the given size, one of each kind
// whose contents the back-up checks (generated media, so that the check
// follows a real structure), and the small ones, pictures; each file's size
// goes to sizes.
// checkAlone: the seconds the content check takes over the files' bytes in
// memory, in chunks of 1 MiB: its own share, apart from any disk.
std::vector<std::string> MakeShow(const std::string& show, int64_t total, std::vector<int64_t>& sizes,
                                  double& checkAlone) {
    std::vector<std::string> files;
    checkAlone = 0;
    ::CreateDirectoryA(show.c_str(), nullptr);
    const std::vector<MediaSample>& kinds = AllMediaSamples();
    for (size_t i = 0; i < kinds.size(); ++i) {
        const size_t bulk = static_cast<size_t>(total) / kinds.size();
        const std::vector<uint8_t> bytes = SampleMedia(kinds[i], bulk);
        files.push_back("film" + std::to_string(i) + "." + SampleExtension(kinds[i]));
        sizes.push_back(static_cast<int64_t>(bytes.size()));
        if (!bench::WriteWholeFile(show + "\\" + files.back(), bytes)) return {};
        checkAlone += CheckFromMemory(bytes, SampleExtension(kinds[i]));
    }
    for (int d = 0; d < kSmallFolders; ++d) {
        const std::string folder = "Plaatjes" + std::to_string(d);
        ::CreateDirectoryA((show + "\\" + folder).c_str(), nullptr);
        for (int f = 0; f < kSmallPerFolder; ++f) {
            const std::vector<uint8_t> bytes = SampleMedia(MediaSample::Jpeg, 1600 + 37 * static_cast<size_t>(f));
            files.push_back(folder + "\\foto" + std::to_string(f) + ".jpg");
            sizes.push_back(static_cast<int64_t>(bytes.size()));
            if (!bench::WriteWholeFile(show + "\\" + files.back(), bytes)) return {};
            checkAlone += CheckFromMemory(bytes, "jpg");
        }
    }
    return files;
}

bool CopyAllFlushed(const std::string& show, const std::string& target, const std::vector<std::string>& files) {
    ::CreateDirectoryA(target.c_str(), nullptr);
    for (int d = 0; d < kSmallFolders; ++d)
        ::CreateDirectoryA((target + "\\Plaatjes" + std::to_string(d)).c_str(), nullptr);
    for (const std::string& f : files) {
        const std::string to = target + "\\" + f;
        if (!::CopyFileA((show + "\\" + f).c_str(), to.c_str(), TRUE)) return false;
        HANDLE h = ::CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        const bool ok = ::FlushFileBuffers(h) != FALSE;
        ::CloseHandle(h);
        if (!ok) return false;
    }
    return true;
}

double Now() {
    LARGE_INTEGER c, f;
    ::QueryPerformanceCounter(&c);
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

void PrintRatio(const char* what, const std::vector<double>& ours, const std::vector<double>& base, const char* goal) {
    bench::Print(std::string(what) + " (goal <= " + goal + ")", "Zekerpad", "baseline",
                 {bench::SpreadOf(ours), bench::SpreadOf(base)});
}

}  // namespace

int main(int argc, char** argv) {
    const std::string show = argc > 1 ? argv[1] : "D:\\ZkBench\\Show";
    const std::string dest = argc > 2 ? argv[2] : "E:\\ZkBench";
    const int rounds = std::max(bench::kMinRounds, argc > 3 ? std::atoi(argv[3]) : 0);
    const int64_t mib = argc > 4 ? std::max(12, std::atoi(argv[4])) : 1024;
    g_pfnMessageBox = &bench::AnswerYesOnStderr;

    ::CreateDirectoryA(show.substr(0, show.find_last_of('\\')).c_str(), nullptr);
    ::CreateDirectoryA(dest.c_str(), nullptr);
    std::vector<int64_t> sizes;
    double checkAlone = 0;
    const std::vector<std::string> files = MakeShow(show, mib << 20, sizes, checkAlone);
    if (files.empty()) {
        std::fprintf(stderr, "cannot make the show in %s\n", show.c_str());
        return 1;
    }
    // The run log is not written on the destination being measured.
    char temp[MAX_PATH + 1] = {};
    const DWORD tempLength = ::GetTempPathA(sizeof temp, temp);
    const std::string log = std::string(temp, tempLength <= MAX_PATH ? tempLength : 0) + "zk-backup-bench.log";
    OpenRunLog(log);
    const std::string showFolder = show + "\\";
    const std::string name = show.substr(show.find_last_of('\\') + 1);
    const std::string root = dest + "\\" + name;
    const std::string record = dest + "\\" + name + " - Zekerpad-back-up.txt";
    const std::string plain = dest + "\\kopie";
    const std::string uncheckedDest = dest + "\\zonder";
    std::vector<char> buffer(1 << 20);
    std::printf("%zu files (%lld MiB in 12, the rest small), %s -> %s, %d rounds\n", files.size(),
                static_cast<long long>(mib), show.c_str(), dest.c_str(), rounds);

    // What each SHA-256 costs here, apart from any disk: the first back-up
    // hashes every byte twice (written and read back), the check once. The
    // fastest of three passes, the one least disturbed by other programs.
    {
        std::vector<char> block(64 << 20, 'z');
        const auto speed = [&](Sha256Engine engine) {
            CSha256 sha(engine);
            if (!sha.Valid()) return 0.0;
            double best = 0;
            for (int pass = 0; pass < 3; ++pass) {
                const double t = Now();
                sha.Begin();
                for (int i = 0; i < 4; ++i) sha.Add(block.data(), block.size());
                sha.Finish();
                best = std::max(best, 4.0 * static_cast<double>(block.size()) / 1e6 / (Now() - t));
            }
            return best;
        };
        const double processor = speed(Sha256Engine::Processor);
        if (processor > 0)
            std::printf("SHA-256 in memory, processor (SHA-NI): %.0f MB/s\n", processor);
        else
            std::printf("SHA-256 in memory, processor (SHA-NI): not on this processor\n");
        std::printf("SHA-256 in memory, system (BCrypt): %.0f MB/s\n", speed(Sha256Engine::System));
    }

    // The same bytes as the check reads, hashed file by file from memory.
    std::vector<char> noise(buffer.size());
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 2654435761u >> 24);
    const auto hashFromMemory = [&] {
        CSha256 sha;
        for (const int64_t size : sizes) {
            sha.Begin();
            for (int64_t left = size; left > 0; left -= static_cast<int64_t>(noise.size()))
                sha.Add(noise.data(), static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(noise.size()))));
            if (sha.Finish().empty()) return false;
        }
        return true;
    };

    std::vector<double> copy, first, unchecked, second, walk, check, read, hash, shifted, readShow;
    for (int r = 0; r < rounds; ++r) {
        const auto timed = [](std::vector<double>& into, const auto& work) {
            const double t = Now();
            const bool ok = work();
            into.push_back(Now() - t);
            return ok;
        };
        // Each figure of a comparison once, starting with the next one each round.
        const auto inTurn = [r](const std::vector<std::function<bool()>>& steps) {
            for (size_t i = 0; i < steps.size(); ++i)
                if (!steps[(static_cast<size_t>(r) + i) % steps.size()]()) return false;
            return true;
        };
        const auto copyBase = [&] {
            const bool ok = timed(copy, [&] { return CopyAllFlushed(show, plain, files); });
            bench::DeleteTree(plain);
            return ok;
        };
        BackupOutcome outcome;
        const auto backup = [&](std::vector<double>& into) {
            return timed(into, [&] { return MakeBackup(showFolder, dest, nullptr, nullptr, &outcome) == BackupResult::Ran; });
        };
        const int count = static_cast<int>(files.size());
        const auto firstBackup = [&] {
            return backup(first) && outcome.copied == count && outcome.failed == 0 && outcome.suspect == 0;
        };
        // The same first back-up with the content check off, into a
        // destination of its own that is emptied at once.
        const auto uncheckedBackup = [&] {
            ::CreateDirectoryA(uncheckedDest.c_str(), nullptr);
            SetContentCheckEnabled(false);
            const bool ok = timed(unchecked, [&] {
                return MakeBackup(showFolder, uncheckedDest, nullptr, nullptr, &outcome) == BackupResult::Ran;
            });
            SetContentCheckEnabled(true);
            bench::DeleteTree(uncheckedDest);
            return ok && outcome.copied == count && outcome.failed == 0;
        };
        if (!inTurn({copyBase, firstBackup, uncheckedBackup})) {
            std::fprintf(stderr, "first back-up or CopyFileA failed: %d copied, %d failed, %d suspect\n",
                         outcome.copied, outcome.failed, outcome.suspect);
            return 1;
        }

        const auto secondBackup = [&] { return backup(second) && outcome.unchanged == count && outcome.copied == 0; };
        const auto walkBase = [&] {
            int64_t walked = 0;
            timed(walk, [&] {
                walked = bench::CountFiles(show) + bench::CountFiles(root);
                return true;
            });
            return walked == 2 * static_cast<int64_t>(files.size());
        };
        if (!inTurn({walkBase, secondBackup})) {
            std::fprintf(stderr, "second back-up: %d unchanged\n", outcome.unchanged);
            return 1;
        }

        const auto checkBackup = [&] {
            BackupCheckResult result;
            timed(check, [&] {
                result = CheckBackup(root, nullptr);
                return true;
            });
            return result.hasRecord && result.checked == count && result.missing.empty() && result.damaged.empty();
        };
        const auto readBase = [&] {
            int64_t bytes = 0;
            timed(read, [&] {
                bytes = bench::ReadFiles(root, buffer);
                return true;
            });
            return bytes > 0;
        };
        const auto hashBase = [&] { return timed(hash, hashFromMemory); };
        if (!inTurn({readBase, checkBackup, hashBase})) {
            std::fprintf(stderr, "Back-up controleren failed\n");
            return 1;
        }

        // Daylight-saving time changed: every copy reads an hour later.
        for (const std::string& f : files) {
            WIN32_FILE_ATTRIBUTE_DATA data{};
            const std::string path = root + "\\" + f;
            const uint64_t ticks = ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)
                                       ? (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                             data.ftLastWriteTime.dwLowDateTime
                                       : 0;
            if (ticks == 0 || !backup::SetWriteTime(path, ticks + kHour)) {
                std::fprintf(stderr, "cannot move the time of %s\n", path.c_str());
                return 1;
            }
        }
        const auto shiftedBackup = [&] { return backup(shifted) && outcome.unchanged == count && outcome.copied == 0; };
        const auto readShowBase = [&] {
            int64_t bytes = 0;
            timed(readShow, [&] {
                bytes = bench::ReadFiles(show, buffer);
                return true;
            });
            return bytes > 0;
        };
        if (!inTurn({readShowBase, shiftedBackup})) {
            std::fprintf(stderr, "back-up after an hour's shift: %d unchanged, %d copied\n", outcome.unchanged,
                         outcome.copied);
            return 1;
        }
        std::printf("round %d: CopyFileA+flush %.2f s, first back-up %.2f s, unchecked %.2f s, walk %.3f s, "
                    "second back-up %.3f s, read %.2f s, hash %.2f s, check %.2f s, read show %.2f s, "
                    "after the hour %.2f s\n",
                    r + 1, copy.back(), first.back(), unchecked.back(), walk.back(), second.back(), read.back(),
                    hash.back(), check.back(), readShow.back(), shifted.back());
        std::fflush(stdout);
        bench::DeleteTree(root);
        ::DeleteFileA(record.c_str());
    }
    CloseRunLog();
    bench::DeleteTree(show);
    ::DeleteFileA(log.c_str());
    ::RemoveDirectoryA(dest.c_str());

    std::printf("median of %d rounds (min, max):\n", rounds);
    PrintRatio("first back-up / CopyFileA + flush", first, copy, "1.3");
    PrintRatio("second back-up / walk of both trees", second, walk, "1.3");
    // The check against the larger floor: the disk's or the hashing's.
    const bench::Spread readSpread = bench::SpreadOf(read), hashSpread = bench::SpreadOf(hash);
    const bool hashLarger = hashSpread.median > readSpread.median;
    std::printf("(reading the back-up once: median %.3f s; hashing its bytes once from memory: median %.3f s)\n",
                readSpread.median, hashSpread.median);
    PrintRatio(hashLarger ? "Back-up controleren / hashing the same bytes from memory"
                          : "Back-up controleren / reading the files once",
               check, hashLarger ? hash : read, "1.2");
    PrintRatio("back-up after an hour's shift / reading the show once", shifted, readShow, "1.2");
    std::printf("(the content check alone over the show's bytes in memory: %.3f s)\n", checkAlone);
    PrintRatio("first back-up / the same without the content check", first, unchecked, "1.05");
    return 0;
}
