// The back-up of many shows, one after the other into one destination, as
// "Back-up van alle groene shows..." makes it (the one back-up run for
// each show, under one memo of the destination), against the same shows
// backed up one at a time, on the same files and drives in the same run. By default 50 shows of 20 MB each:
// a show file, two recordings and small pictures in two folders.
//
//  - all shows to an empty destination against the sum of the single
//    back-ups of the same shows, each to an empty destination of its own
//    (goal: at most 1.1);
//  - all shows again, nothing changed, against a bare walk of both trees
//    (every show's folder and the destination) with FindFirstFile/
//    FindNextFile, reading no file (goal: at most 1.3).
//
// Each figure is the median of the rounds, with the fastest and slowest;
// the order of a figure and its baseline alternates between rounds. The
// run log is kept in the temporary folder, not on the destination.
// The planning pass the dialog makes before Starten (every show listed
// once for the space check) is not in these figures.
//
//   shows_bench.exe [shows folder] [destination] [rounds] [shows] [MB a show]
//
// Defaults: D:\ZkShows, E:\ZkShows, 5 rounds, 50 shows, 20 MB. The shows
// are made first and everything is removed at the end; the destination
// needs the shows twice over and 100 MB more.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "backup/backup_run.h"
#include "backup/destination_memo.h"
#include "services/msgbox.h"
#include "services/run_log.h"

#include "bench_rounds.h"
#include "bench_tree.h"

namespace {
constexpr int64_t kMB = 1000000;
constexpr int kPictureFolders = 2;
constexpr int kPicturesPerFolder = 40;

// A show of about bytes: its show file, two recordings that take half, and
// pictures of 20 to 180 KB for the rest. The number of files made, or -1.
int MakeShow(const std::string& folder, int64_t bytes, uint32_t seed) {
    ::CreateDirectoryA(folder.c_str(), nullptr);
    int files = 0;
    const auto make = [&](const std::string& relative, int64_t size) {
        ++files;
        return bench::MakeNoiseFile(folder + "\\" + relative, size, seed * 1000 + static_cast<uint32_t>(files));
    };
    if (!make("show.ws4", 4000) || !make("opname1.wav", bytes / 4) || !make("opname2.wav", bytes / 4)) return -1;
    int64_t left = bytes - 2 * (bytes / 4) - 4000;
    for (int d = 0; d < kPictureFolders; ++d) {
        const std::string pictures = "Plaatjes" + std::to_string(d);
        ::CreateDirectoryA((folder + "\\" + pictures).c_str(), nullptr);
        for (int f = 0; f < kPicturesPerFolder && left > 0; ++f) {
            const int64_t size = std::min<int64_t>(left, 20000 + 4000 * ((f * 7 + d) % 41));
            if (!make(pictures + "\\foto" + std::to_string(f) + ".jpg", size)) return -1;
            left -= size;
        }
    }
    return files;
}



struct Show {
    std::string folder;  // ending in "\"
    int files;
};
}  // namespace

int main(int argc, char** argv) {
    const std::string base = argc > 1 ? argv[1] : "D:\\ZkShows";
    const std::string dest = argc > 2 ? argv[2] : "E:\\ZkShows";
    const int rounds = std::max(bench::kMinRounds, argc > 3 ? std::atoi(argv[3]) : 0);
    const int count = argc > 4 ? std::max(2, std::atoi(argv[4])) : 50;
    const int64_t megabytes = argc > 5 ? std::max(1, std::atoi(argv[5])) : 20;
    g_pfnMessageBox = &bench::AnswerYesOnStderr;

    ::CreateDirectoryA(base.c_str(), nullptr);
    ::CreateDirectoryA(dest.c_str(), nullptr);
    std::vector<Show> shows;
    int64_t totalFiles = 0;
    for (int i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Show%02d", i);
        const int files = MakeShow(base + "\\" + name, megabytes * kMB, static_cast<uint32_t>(i));
        if (files < 0) {
            std::fprintf(stderr, "cannot make %s in %s\n", name, base.c_str());
            return 1;
        }
        shows.push_back({base + "\\" + name + "\\", files});
        totalFiles += files;
    }
    char temp[MAX_PATH + 1] = {};
    const DWORD tempLength = ::GetTempPathA(sizeof temp, temp);
    const std::string log = std::string(temp, tempLength <= MAX_PATH ? tempLength : 0) + "zk-shows-bench.log";
    OpenRunLog(log);
    const std::string all = dest + "\\Alle", single = dest + "\\Een";
    std::printf("%d shows of %lld MB (%lld files in all), %s -> %s, %d rounds\n", count,
                static_cast<long long>(megabytes), static_cast<long long>(totalFiles), base.c_str(), dest.c_str(),
                rounds);

    // Every show backed up into folder; true when each is complete and
    // copied (or, unchanged, found) every file.
    const auto backUpAll = [&](const std::string& folder, bool unchanged) {
        backup::CDestinationMemo memo(folder);
        CLogBatch log;  // as the dialog's run: one flush per quarter second
        for (const Show& show : shows) {
            BackupOutcome outcome;
            if (MakeBackup(show.folder, folder, nullptr, nullptr, &outcome) != BackupResult::Ran ||
                !BackupComplete(outcome) || (unchanged ? outcome.unchanged : outcome.copied) != show.files) {
                std::fprintf(stderr, "%s: %d copied, %d unchanged, %d failed\n", show.folder.c_str(), outcome.copied,
                             outcome.unchanged, outcome.failed);
                return false;
            }
        }
        return true;
    };

    std::vector<double> allRun, singles, again, walk;
    for (int r = 0; r < rounds; ++r) {
        const auto allShows = [&] {
            ::CreateDirectoryA(all.c_str(), nullptr);
            const auto t = bench::Clock::now();
            const bool ok = backUpAll(all, false);
            allRun.push_back(bench::Seconds(bench::Clock::now() - t));
            return ok;
        };
        const auto oneByOne = [&] {
            double seconds = 0;
            for (const Show& show : shows) {
                ::CreateDirectoryA(single.c_str(), nullptr);
                BackupOutcome outcome;
                const auto t = bench::Clock::now();
                const BackupResult result = MakeBackup(show.folder, single, nullptr, nullptr, &outcome);
                seconds += bench::Seconds(bench::Clock::now() - t);
                bench::DeleteTree(single);
                if (result != BackupResult::Ran || !BackupComplete(outcome) || outcome.copied != show.files) {
                    std::fprintf(stderr, "%s alone: %d copied, %d failed\n", show.folder.c_str(), outcome.copied,
                                 outcome.failed);
                    return false;
                }
            }
            singles.push_back(seconds);
            return true;
        };
        if (!(r % 2 ? oneByOne() && allShows() : allShows() && oneByOne())) return 1;

        const auto unchanged = [&] {
            const auto t = bench::Clock::now();
            const bool ok = backUpAll(all, true);
            again.push_back(bench::Seconds(bench::Clock::now() - t));
            return ok;
        };
        const auto bareWalk = [&] {
            const auto t = bench::Clock::now();
            const int64_t walked = bench::CountFiles(base) + bench::CountFiles(all);
            walk.push_back(bench::Seconds(bench::Clock::now() - t));
            // The destination holds each show's record beside its folder.
            return walked == 2 * totalFiles + count;
        };
        if (!(r % 2 ? bareWalk() && unchanged() : unchanged() && bareWalk())) {
            std::fprintf(stderr, "the unchanged run or the walk failed\n");
            return 1;
        }
        std::printf("round %d: all shows %.2f s, one by one %.2f s, all again %.3f s, walk %.3f s\n", r + 1,
                    allRun.back(), singles.back(), again.back(), walk.back());
        std::fflush(stdout);
        bench::DeleteTree(all);
    }
    CloseRunLog();
    bench::DeleteTree(base);
    ::DeleteFileA(log.c_str());
    ::RemoveDirectoryA(dest.c_str());

    std::printf("median of %d rounds (min, max):\n", rounds);
    bench::Print("all shows to an empty destination / the sum of the single back-ups (goal <= 1.1)",
                 "Zekerpad, alle shows", "Zekerpad, een voor een", {bench::SpreadOf(allRun), bench::SpreadOf(singles)});
    bench::Print("all shows again, nothing changed / walk of both trees (goal <= 1.3)", "Zekerpad, alle shows",
                 "FindFirstFile/FindNextFile", {bench::SpreadOf(again), bench::SpreadOf(walk)});
    return 0;
}
