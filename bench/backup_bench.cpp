// The back-up of a show's folder against the system's own means, on the
// same files and drives in the same run: 1 GiB in a dozen files plus
// 10,000 small files in 100 folders.
//
//  - a first back-up, verified file by file, against CopyFileA followed by
//    a flush of each copy (goal: at most 2.0);
//  - a second back-up with nothing changed against a bare walk of both
//    trees with FindFirstFile/FindNextFile, reading no file (goal: at
//    most 1.5).
//
// The run log is kept (in the bench's own folder) as in real use.
//
//   backup_bench.exe [show folder] [destination] [rounds]
//
// Defaults: D:\ZkBench\Show, E:\ZkBench, 3 rounds. The show is made first
// and everything is removed at the end; the destination needs 2.2 GB.
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

#include "bench_tree.h"

namespace {
constexpr int64_t kMB = 1000000;
constexpr int kSmallFolders = 100;
constexpr int kSmallPerFolder = 100;

// The show: a dozen large files that make 1 GiB, and the small ones.
std::vector<std::string> MakeShow(const std::string& show) {
    std::vector<std::string> files;
    ::CreateDirectoryA(show.c_str(), nullptr);
    const int64_t total = 1LL << 30;
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

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int Answer(HWND__*, const std::string& text, const std::string&, unsigned) {
    std::fprintf(stderr, "melding: %s\n", text.c_str());
    return IDYES;
}
}  // namespace

int main(int argc, char** argv) {
    const std::string show = argc > 1 ? argv[1] : "D:\\ZkBench\\Show";
    const std::string dest = argc > 2 ? argv[2] : "E:\\ZkBench";
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    g_pfnMessageBox = &Answer;

    ::CreateDirectoryA(show.substr(0, show.find_last_of('\\')).c_str(), nullptr);
    ::CreateDirectoryA(dest.c_str(), nullptr);
    const std::vector<std::string> files = MakeShow(show);
    if (files.empty()) {
        std::fprintf(stderr, "cannot make the show in %s\n", show.c_str());
        return 1;
    }
    OpenRunLog(dest + "\\bench.log");
    const std::string showFolder = show + "\\";
    const std::string name = show.substr(show.find_last_of('\\') + 1);
    const std::string root = dest + "\\" + name;
    const std::string plain = dest + "\\kopie";
    std::printf("%zu files (1 GiB in 12, the rest small), %s -> %s, %d rounds\n", files.size(), show.c_str(),
                dest.c_str(), rounds);

    std::vector<double> copyTimes, firstTimes, secondTimes, walkTimes;
    for (int r = 0; r < rounds; ++r) {
        double t = Now();
        if (!CopyAllFlushed(show, plain, files)) {
            std::fprintf(stderr, "CopyFileA failed\n");
            return 1;
        }
        copyTimes.push_back(Now() - t);
        DeleteTree(plain);

        BackupOutcome outcome;
        t = Now();
        MakeBackup(showFolder, dest, nullptr, nullptr, &outcome);
        firstTimes.push_back(Now() - t);
        if (outcome.copied != static_cast<int>(files.size()) || outcome.failed != 0) {
            std::fprintf(stderr, "first back-up: %d copied, %d failed\n", outcome.copied, outcome.failed);
            return 1;
        }

        t = Now();
        MakeBackup(showFolder, dest, nullptr, nullptr, &outcome);
        secondTimes.push_back(Now() - t);
        if (outcome.unchanged != static_cast<int>(files.size())) {
            std::fprintf(stderr, "second back-up: %d unchanged\n", outcome.unchanged);
            return 1;
        }

        t = Now();
        const int64_t walked = Walk(show) + Walk(root);
        walkTimes.push_back(Now() - t);
        if (walked != 2 * static_cast<int64_t>(files.size())) return 1;
        std::printf("round %d: CopyFileA+flush %.2f s, first back-up %.2f s, second back-up %.3f s, walk %.3f s\n",
                    r + 1, copyTimes.back(), firstTimes.back(), secondTimes.back(), walkTimes.back());
        DeleteTree(root);
    }
    CloseRunLog();
    DeleteTree(show);
    ::DeleteFileA((dest + "\\bench.log").c_str());
    ::RemoveDirectoryA(dest.c_str());

    std::printf("median of %d rounds:\n", rounds);
    std::printf("ratio first back-up / CopyFileA + flush = %.2f (goal <= 2.0)\n",
                Median(firstTimes) / Median(copyTimes));
    std::printf("ratio second back-up / walk of both trees = %.2f (goal <= 1.5)\n",
                Median(secondTimes) / Median(walkTimes));
    return 0;
}
