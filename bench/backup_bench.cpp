// The back-up of a show's folder against the system's own means, on the
// same files and drives in the same run: 1 GiB in a dozen files plus
// 10,000 small files in 100 folders.
//
//  - a first back-up, each file hashed while copied, flushed once and read
//    back from the disk, against CopyFileA followed by a flush of each copy
//    (goal: at most 1.6);
//  - a second back-up with nothing changed against a bare walk of both
//    trees with FindFirstFile/FindNextFile, reading no file (goal: at
//    most 1.3);
//  - "Back-up controleren" against reading every file of the back-up once
//    (goal: at most 1.2).
//
// Each figure is the median of the rounds, with the fastest and slowest;
// the order of a measurement and its baseline alternates between rounds,
// so neither always finds the other's data in the cache. The run log is
// kept (in the bench's own folder) as in real use.
//
//   backup_bench.exe [show folder] [destination] [rounds] [MiB]
//
// Defaults: D:\ZkBench\Show, E:\ZkBench, 5 rounds, 1024 MiB in the large
// files. The show is made first and everything is removed at the end; the
// destination needs twice the show and 100 MB more.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "services/msgbox.h"
#include "services/run_log.h"
#include "backup/backup_run.h"
#include "backup/sha256.h"

#include "bench_rounds.h"
#include "bench_tree.h"

namespace {
constexpr int64_t kMB = 1000000;
constexpr int kSmallFolders = 100;
constexpr int kSmallPerFolder = 100;

// The show: a dozen large files that make the given size, and the small ones.
std::vector<std::string> MakeShow(const std::string& show, int64_t total) {
    std::vector<std::string> files;
    ::CreateDirectoryA(show.c_str(), nullptr);
    for (int i = 0; i < 12; ++i) {
        const int64_t size = i < 11 ? total / 12 : total - 11 * (total / 12);
        files.push_back("film" + std::to_string(i) + ".avi");
        if (!bench::MakeNoiseFile(show + "\\" + files.back(), size, static_cast<uint32_t>(i))) return {};
    }
    for (int d = 0; d < kSmallFolders; ++d) {
        const std::string folder = "Plaatjes" + std::to_string(d);
        ::CreateDirectoryA((show + "\\" + folder).c_str(), nullptr);
        for (int f = 0; f < kSmallPerFolder; ++f) {
            files.push_back(folder + "\\foto" + std::to_string(f) + ".jpg");
            if (!bench::MakeNoiseFile(show + "\\" + files.back(), 2000 + 37 * f, static_cast<uint32_t>(d * 1000 + f))) return {};
        }
    }
    return files;
}

void DeleteTree(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!std::strcmp(data.cFileName, ".") || !std::strcmp(data.cFileName, "..")) continue;
            const std::string path = folder + "\\" + data.cFileName;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(path);
            else
                ::DeleteFileA(path.c_str());
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryA(folder.c_str());
}

// Counts the files below a folder, as a bare walk does.
int64_t Walk(const std::string& folder) {
    int64_t count = 0;
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!std::strcmp(data.cFileName, ".") || !std::strcmp(data.cFileName, "..")) continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            count += Walk(folder + "\\" + data.cFileName);
        else
            ++count;
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    return count;
}

// Reads every file below a folder once, as a plain check would.
int64_t ReadAll(const std::string& folder, std::vector<char>& buffer) {
    int64_t bytes = 0;
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!std::strcmp(data.cFileName, ".") || !std::strcmp(data.cFileName, "..")) continue;
        const std::string path = folder + "\\" + data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            bytes += ReadAll(path, buffer);
            continue;
        }
        HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (h == INVALID_HANDLE_VALUE) continue;
        DWORD got = 0;
        while (::ReadFile(h, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0) bytes += got;
        ::CloseHandle(h);
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    return bytes;
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

int Answer(HWND__*, const std::string& text, const std::string&, unsigned) {
    std::fprintf(stderr, "melding: %s\n", text.c_str());
    return IDYES;
}
}  // namespace

int main(int argc, char** argv) {
    const std::string show = argc > 1 ? argv[1] : "D:\\ZkBench\\Show";
    const std::string dest = argc > 2 ? argv[2] : "E:\\ZkBench";
    const int rounds = std::max(bench::kMinRounds, argc > 3 ? std::atoi(argv[3]) : 0);
    const int64_t mib = argc > 4 ? std::max(12, std::atoi(argv[4])) : 1024;
    g_pfnMessageBox = &Answer;

    ::CreateDirectoryA(show.substr(0, show.find_last_of('\\')).c_str(), nullptr);
    ::CreateDirectoryA(dest.c_str(), nullptr);
    const std::vector<std::string> files = MakeShow(show, mib << 20);
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

    std::vector<double> copy, first, second, walk, check, read;
    for (int r = 0; r < rounds; ++r) {
        const bool baseFirst = r % 2 == 0;
        const auto timed = [](std::vector<double>& into, const auto& work) {
            const double t = Now();
            const bool ok = work();
            into.push_back(Now() - t);
            return ok;
        };
        const auto copyBase = [&] {
            const bool ok = timed(copy, [&] { return CopyAllFlushed(show, plain, files); });
            DeleteTree(plain);
            return ok;
        };
        BackupOutcome outcome;
        const auto firstBackup = [&] {
            timed(first, [&] { return MakeBackup(showFolder, dest, nullptr, nullptr, &outcome) == BackupResult::Ran; });
            return outcome.copied == static_cast<int>(files.size()) && outcome.failed == 0;
        };
        if (!(baseFirst ? copyBase() && firstBackup() : firstBackup() && copyBase())) {
            std::fprintf(stderr, "first back-up or CopyFileA failed: %d copied, %d failed\n", outcome.copied,
                         outcome.failed);
            return 1;
        }

        const auto secondBackup = [&] {
            timed(second, [&] { return MakeBackup(showFolder, dest, nullptr, nullptr, &outcome) == BackupResult::Ran; });
            return outcome.unchanged == static_cast<int>(files.size());
        };
        const auto walkBase = [&] {
            int64_t walked = 0;
            timed(walk, [&] {
                walked = Walk(show) + Walk(root);
                return true;
            });
            return walked == 2 * static_cast<int64_t>(files.size());
        };
        if (!(baseFirst ? walkBase() && secondBackup() : secondBackup() && walkBase())) {
            std::fprintf(stderr, "second back-up: %d unchanged\n", outcome.unchanged);
            return 1;
        }

        const auto checkBackup = [&] {
            BackupCheckResult result;
            timed(check, [&] {
                result = CheckBackup(root, nullptr);
                return true;
            });
            return result.hasRecord && result.checked == static_cast<int>(files.size()) && result.missing.empty() &&
                   result.damaged.empty();
        };
        const auto readBase = [&] {
            int64_t bytes = 0;
            timed(read, [&] {
                bytes = ReadAll(root, buffer);
                return true;
            });
            return bytes > 0;
        };
        if (!(baseFirst ? readBase() && checkBackup() : checkBackup() && readBase())) {
            std::fprintf(stderr, "Back-up controleren failed\n");
            return 1;
        }
        std::printf("round %d: CopyFileA+flush %.2f s, first back-up %.2f s, walk %.3f s, second back-up %.3f s, "
                    "read %.2f s, check %.2f s\n",
                    r + 1, copy.back(), first.back(), walk.back(), second.back(),
                    read.back(), check.back());
        std::fflush(stdout);
        DeleteTree(root);
        ::DeleteFileA(record.c_str());
    }
    CloseRunLog();
    DeleteTree(show);
    ::DeleteFileA(log.c_str());
    ::RemoveDirectoryA(dest.c_str());

    std::printf("median of %d rounds (min, max):\n", rounds);
    PrintRatio("first back-up / CopyFileA + flush", first, copy, "1.6");
    PrintRatio("second back-up / walk of both trees", second, walk, "1.3");
    PrintRatio("Back-up controleren / reading the files once", check, read, "1.2");
    return 0;
}
