// What the benchmarks share: the tree the search benchmarks walk, the
// command line's own walk over it as their baseline, and large files of
// noise for the copies.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

struct HWND__;

namespace bench {

// 20 + 180 + 19,800 folders; 200,000 empty files "clipN.wav", 50 of them
// shows "showN.ws4" instead.
constexpr int kTop = 20, kMiddle = 9, kLeaf = 110;
constexpr int kFolders = kTop * (1 + kMiddle * (1 + kLeaf));
constexpr int kFiles = 200000, kShows = 50;

using Clock = std::chrono::steady_clock;
inline double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The benchmarks' command line: [--keep] [--rounds=N] [ROOT], ROOT by
// default D:\ and always ending in a backslash.
struct Arguments {
    bool keep = false;
    int rounds = 5;
    std::string root = "D:\\";
};
Arguments ParseArguments(int argc, char** argv);

// Makes the tree in base unless a complete one is there already (then it
// is reused). False when a file cannot be made.
bool EnsureTree(const std::string& base);
void DeleteTree(const std::string& path);

struct Walk {
    double seconds;
    int found;
};

// "cmd /c dir /s /b <pattern>", its output counted from a file in the
// temporary folder; the start-up of cmd (an empty command, timed just
// before) is taken off.
Walk TimeDir(const std::string& pattern);

// The files below a folder, counted by a bare walk (FindFirstFile,
// FindNextFile) that opens none: what any back-up must at least do.
int64_t CountFiles(const std::string& folder);
// Reads every file below a folder once, through the cache, in buffer's
// chunks; the bytes read.
int64_t ReadFiles(const std::string& folder, std::vector<char>& buffer);

// A message box of the measured code, written to stderr and answered Yes,
// so that no round waits for a person (set as g_pfnMessageBox).
int AnswerYesOnStderr(HWND__* owner, const std::string& text, const std::string& title, unsigned type);

// Writes size bytes of noise (varied by seed) to path and flushes them to
// the disk, so no timed round pays for their write-back.
bool MakeNoiseFile(const std::string& path, int64_t size, uint32_t seed);
// Writes the bytes to path and flushes them to the disk, the same way.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace bench
