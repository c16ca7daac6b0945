// libFuzzer target for the back-up's record, the one file a stick brings
// from anywhere: reading any bytes must not fault, and whatever is read
// as a record must come back the same after it is written again, sealed
// and whole (the next run writes exactly what this one read).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "backup/backup_record.h"
#include "backup/backup_names.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// 64 hex digits that change with every byte: enough to see that the seal
// covers exactly the text above it (the real SHA-256 lives in Win32 code).
std::string FakeChecksum(std::string_view bytes) {
    std::string hex;
    for (uint64_t seed : {1469598103934665603ull, 7ull, 11ull, 13ull}) {
        uint64_t h = seed;
        for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
        char part[17];
        std::snprintf(part, sizeof part, "%016llx", static_cast<unsigned long long>(h));
        hex += part;
    }
    return hex;
}

// Any name the disk can give (no control characters) comes back as itself.
void NameRoundTrip(std::string_view bytes) {
    BackupRecordFile file;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x20) file.relative += c;
    if (file.relative.empty()) return;
    file.size = 8;
    file.sha256 = std::string(64, 'a');
    BackupRecord record;
    record.showFolder = "C:\\Shows\\Demo\\";
    record.lastRun = RecordedRun::Complete;
    record.files = {file, file};
    record.files[1].relative = "Audio\\" + file.relative;
    const std::optional<BackupRecord> back = ParseBackupRecord(FormatBackupRecord(record, FakeChecksum));
    Check(back.has_value() && !back->damaged && back->files.size() == 2);
    Check(back->files[0].relative == record.files[0].relative && back->files[1].relative == record.files[1].relative);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    NameRoundTrip(text);
    const std::optional<BackupRecord> read = ParseBackupRecord(text);
    // The findings file is read from the same stick.
    (void)ParseCheckFindings(text);
    if (!read) return 0;
    Check(read->sealedLength <= size);
    Check(read->damaged == !read->damage.empty());
    // A record that names no show is damaged, and a run names its show
    // before it writes the record again.
    if (read->showFolder.empty()) {
        Check(read->damaged);
        return 0;
    }

    const std::string again = FormatBackupRecord(*read, FakeChecksum);
    const std::optional<BackupRecord> back = ParseBackupRecord(again);
    Check(back.has_value());
    Check(!back->damaged);
    Check(back->sealChecksum == FakeChecksum(std::string_view(again).substr(0, back->sealedLength)));
    Check(back->showFolder == read->showFolder);
    if (read->lastRun != RecordedRun::Unknown) Check(back->lastRun == read->lastRun);
    if (!read->incompleteReason.empty()) Check(back->incompleteReason == read->incompleteReason);
    Check(back->files.size() == read->files.size());
    for (size_t i = 0; i < back->files.size(); ++i) {
        Check(back->files[i].relative == read->files[i].relative);
        Check(back->files[i].size == read->files[i].size);
        Check(back->files[i].writeTime == read->files[i].writeTime);
        Check(back->files[i].sha256 == read->files[i].sha256);
    }
    return 0;
}
