// The record a back-up keeps beside its folder: which show's folder it
// mirrors and, per file, the size, last-write time and SHA-256 of the copy.
// With it a back-up proves itself on any computer, without the show.
// Pure text work: nothing here touches a file.
//
// Paths in here are UTF-8, as the record keeps them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct BackupRecordFile {
    std::string relative;  // "Audio\intro.wav"
    int64_t size = 0;
    uint64_t writeTime = 0;  // 100-nanosecond ticks since 1601, UTC
    std::string sha256;      // 64 lowercase hex digits
};

// What the run that wrote a record said of itself.
enum class RecordedRun {
    Unknown,     // a record of an earlier version, which did not say
    Complete,    // every file of the show's folder was copied
    Incomplete,  // stopped, files failed, folders unreadable, or still running
};

struct BackupRecord {
    std::string showFolder;  // "C:\Shows\Demo\"
    std::vector<BackupRecordFile> files;
    RecordedRun lastRun = RecordedRun::Unknown;
    std::string incompleteReason;  // "gestopt", for Incomplete

    // Set by ParseBackupRecord only.
    // Cut short, a line changed or added, or the seal's count wrong; the
    // files parsed are kept, but none of them is proved.
    bool damaged = false;
    std::string damage;  // why, as the check tells it: "het is afgebroken"
    // The last line's checksum (64 hex digits, empty when there is none)
    // and how many bytes of the text, from its start, it covers.
    std::string sealChecksum;
    size_t sealedLength = 0;
};

// SHA-256 of the given bytes, as 64 lowercase hex digits.
using RecordChecksumFn = std::function<std::string(std::string_view bytes)>;

// The text of a record file (UTF-8 with a byte order mark, CR LF lines):
// a few lines that say what it is and whether its run was complete, then
// one line per file with its path, size, time and hash separated by tabs,
// and last a line with the number of file lines and the checksum of every
// byte above it, so that a record cut short or changed is known.
std::string FormatBackupRecord(const BackupRecord& record, const RecordChecksumFn& checksum);

// Reads a record's text; nullopt when its first line is not a record's. A
// damaged file line is skipped (its file then counts as not recorded) and,
// in a record that ends with a seal, makes it damaged. The caller compares
// sealChecksum with the checksum of text[0, sealedLength).
std::optional<BackupRecord> ParseBackupRecord(std::string_view text);

// "2024-05-01 12:00:00.0000000": a last-write time to the tick, in UTC.
std::string FormatRecordTime(uint64_t ticks);
std::optional<uint64_t> ParseRecordTime(std::string_view text);
