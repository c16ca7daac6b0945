// Reading one file of the show to its end through the content check, in
// large chunks, as "Bestanden nakijken" and the check for scripts do. The
// path comes from the show (code page), so the ANSI calls open it, as the
// rest of the analysis does.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "media/content_findings.h"

// Told the bytes of the file read so far after each chunk; false stops.
using ContentProgressFn = std::function<bool(uint64_t bytesRead)>;

class CContentReader {
public:
    // Large enough that a disk reads at its own speed, small enough that a
    // stop is seen at once.
    static constexpr size_t kChunkBytes = 1 << 20;

    CContentReader();
    // Reads the file at path and says what it holds in found. A file that
    // cannot be opened, fails to read or ends before its size is
    // unreadable (damaged). False only when progress stopped the reading:
    // found is then left as it was.
    bool Check(const std::string& path, CheckedFile& found, const ContentProgressFn& progress = nullptr);

private:
    std::vector<uint8_t> m_buffer;
};

// The size and time of writing of a file as the system gives them now.
bool FileStampOf(const std::string& path, int64_t& size, uint64_t& written);

// After a new analysis that names these files: a finding holds for a file
// the show still names, unchanged since it was read, and goes with a file
// of the same name and size that the show names instead (moved or copied
// by a repair); all others are gone.
void KeepFindingsThatHold(std::vector<CheckedFile>& findings, const std::vector<std::string>& files);

// The run log's entries of a check: its start, a value "beschadigd" or
// "let op" per file that earned one, and its end with the counts (and,
// when it was stopped, a line that says so).
extern const char kLogContentStart[];
void LogFinding(const CheckedFile& file);
void LogContentEnd(const ContentCounts& counts, bool stopped);

// The check without a window, for scripts: every file read, logged as
// above. The findings in the order of files.
std::vector<CheckedFile> CheckFiles(const std::vector<std::string>& files);
