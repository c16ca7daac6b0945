// The record a back-up keeps beside its folder: which show's folder it
// mirrors and, per file, the size, last-write time and SHA-256 of the copy.
// With it a back-up proves itself on any computer, without the show.
// Also the names the back-up gives its record, its older versions and its
// temporary files. Pure text work: nothing here touches a file.
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

// The findings of a check beside the record ("Demo - Zekerpad-controle.txt"):
// the copies it found damaged or missing, which the next back-up copies again.
std::string FormatCheckFindings(const std::vector<std::string>& relatives);
std::vector<std::string> ParseCheckFindings(std::string_view text);
std::string CheckFindingsName(const std::string& folderName);

// "2024-05-01 12:00:00.0000000": a last-write time to the tick, in UTC.
std::string FormatRecordTime(uint64_t ticks);
std::optional<uint64_t> ParseRecordTime(std::string_view text);

// "Demo - Zekerpad-back-up.txt": the record of the back-up folder "Demo".
std::string BackupRecordName(const std::string& folderName);
// "Demo oudere versies": where older copies of the folder "Demo" go.
std::string OlderVersionsName(const std::string& folderName);
// "2026-12-08 09.30": one run's folder of older versions.
std::string OlderVersionsStamp(int year, int month, int day, int hour, int minute);

// Whether two paths name the same folder by their spelling, letters compared
// as Windows compares names; one trailing backslash ignored.
bool SameFolderText(std::string_view a, std::string_view b);

// Both paths have a drive letter and the same path below it ("D:\Shows\Demo"
// and "G:\Shows\Demo\"): one folder, perhaps, on a disk that came back
// under another letter.
bool SamePathBelowDrive(std::string_view a, std::string_view b);

// What is found under one candidate name in the destination.
struct BackupFolderState {
    bool folderExists = false;
    bool folderEmpty = true;
    std::optional<std::string> recordShow;  // the show folder its record names
    bool recordShowIsThis = false;  // that folder is known to be this show's under another name
};

struct BackupFolderChoice {
    std::string name;         // "Kerst (2)"
    bool needsConsent = false;  // a full folder without a record: ask first
    bool takenBy = false;     // the show's own name belongs to another show
};

constexpr int kMaxBackupFolderNumber = 999;

// The back-up folder for the show's folder named showName: the first of
// "Kerst", "Kerst (2)", "Kerst (3)" ... that is this show's, or free. A
// folder whose record names another show is never chosen; an empty name
// when all up to kMaxBackupFolderNumber are taken.
BackupFolderChoice ChooseBackupFolder(const std::string& showName, const std::string& showFolder,
                                      const std::function<BackupFolderState(const std::string& name)>& look);
