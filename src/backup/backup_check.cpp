#include "backup/backup_check.h"

#include "backup/backup_disk.h"
#include "backup/backup_record_file.h"
#include "backup/sha256.h"
#include "services/run_log.h"

using namespace backup;

BackupCheckResult CheckBackup(const std::string& backupRoot, const BackupProgressFn& progress) {
    BackupCheckResult result;
    const std::string root = WithBackslash(backupRoot);
    LogLine("Start controle back-up");
    LogValue("map", Shown(root));
    BackupRecord record;
    result.hasRecord = ReadBackupRecord(root, &record);
    if (!result.hasRecord) {
        LogValue("fout", "geen overzicht gevonden: " + Shown(RecordPathOf(root)));
        LogLine("Einde controle back-up");
        return result;
    }
    CLogBatch log;
    CAlignedBuffer buffer(kChunkBytes);
    CSha256 sha;
    int64_t done = 0;
    for (const BackupRecordFile& file : record.files) {
        log.FlushIfDue();
        if (progress && !progress(file.relative, done)) {
            result.stopped = true;
            break;
        }
        int64_t size = 0;
        std::string hash;
        DWORD error = 0;
        const int64_t before = done;
        const auto step = [&](int64_t bytes) { return !progress || progress(file.relative, before + bytes); };
        const DiskRead read = buffer.get() && sha.Valid()
                                  ? HashFromDisk(root + file.relative, buffer.get(), sha, size, hash, error, step)
                                  : DiskRead::Failed;
        done += file.size;
        if (read == DiskRead::Failed && error == ERROR_CANCELLED) {
            result.stopped = true;
            break;
        }
        ++result.checked;
        if (read == DiskRead::Missing) {
            result.missing.push_back(file.relative);
            log.Value("ontbreekt", Shown(root + file.relative));
        } else if (read == DiskRead::Failed || size != file.size || hash != file.sha256) {
            result.damaged.push_back(file.relative);
            log.Value("beschadigd", Shown(root + file.relative) +
                                        (read == DiskRead::Failed ? " (" + ReasonFor(error) + ")" : std::string()));
        }
    }
    log.Flush();
    LogNumber("gecontroleerd", result.checked);
    LogNumber("ontbreekt    ", static_cast<int32_t>(result.missing.size()));
    LogNumber("beschadigd   ", static_cast<int32_t>(result.damaged.size()));
    if (result.stopped) LogLine("Controle gestopt");
    LogLine("Einde controle back-up");
    if (progress) progress(std::string(), done);
    return result;
}
