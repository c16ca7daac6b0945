#include "backup/backup_check.h"

#include <set>

#include "analysis/ref_scan.h"
#include "backup/backup_disk.h"
#include "backup/backup_record_file.h"
#include "backup/local_findings.h"
#include "backup/sha256.h"
#include "common/text.h"
#include "common/wide_text.h"
#include "services/run_log.h"

using namespace backup;

bool IsShowAtTopOfBackup(const std::string& relative) {
    return relative.find('\\') == std::string::npos && relative.size() > 4 &&
           EqualsNoCaseAscii(std::string_view(relative).substr(relative.size() - 4), ".ws4");
}

namespace {

void CheckNamedFiles(const std::string& root, const BackupRecord& record, const std::set<std::string>& unread,
                     BackupCheckResult& result, CLogBatch& log) {
    std::set<std::string> held;
    std::vector<std::string> shows;
    for (const BackupRecordFile& f : record.files) {
        held.insert(NameKey(f.relative));
        // A show that is missing or damaged is reported already.
        if (IsShowAtTopOfBackup(f.relative) && !unread.count(f.relative)) shows.push_back(f.relative);
    }
    result.notHeld = NamedButNotHeld(
        root, record.showFolder, shows, [&](const std::string& key) { return held.count(key) > 0; }, log);
}
// Each copy the record names, read from the disk against its line.
// Returns the bytes the record names up to where the check got.
int64_t CheckCopies(const std::string& root, const BackupRecord& record, const BackupProgressFn& progress,
                    BackupCheckResult& result, CLogBatch& log) {
    CSha256 sha;
    int64_t done = 0;
    for (const BackupRecordFile& file : record.files) {
        log.FlushIfDue();
        if (progress && !progress(file.relative, done)) {
            result.stopped = true;
            return done;
        }
        int64_t size = 0;
        std::string hash;
        DWORD error = 0;
        const int64_t before = done;
        const auto step = [&](int64_t bytes) { return !progress || progress(file.relative, before + bytes); };
        const DiskRead read =
            sha.Valid() ? HashFromDisk(root + file.relative, sha, size, hash, error, step) : DiskRead::Failed;
        done += file.size;
        if (read == DiskRead::Failed && error == ERROR_CANCELLED) {
            result.stopped = true;
            return done;
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
    return done;
}

void KeepFindings(const std::string& root, BackupCheckResult& result, CLogBatch& log) {
    // The next back-up copies these again: a copy that keeps its size and
    // time would otherwise count as unchanged for ever.
    std::vector<std::string> findings = result.missing;
    findings.insert(findings.end(), result.damaged.begin(), result.damaged.end());
    bool keptHere = false;
    if (!findings.empty() && SaveCheckFindings(root, findings, &keptHere) != ERROR_SUCCESS) {
        log.Value("fout", "bevindingen niet bewaard: " + Shown(FindingsPathOf(root)));
        result.findingsOnlyHere = keptHere;
        if (keptHere) log.Value("bevindingen bewaard", Shown(LocalFindingsPath(root)));
    }
}
}  // namespace

std::vector<std::string> NamedButNotHeld(const std::string& root, const std::string& showFolder,
                                         const std::vector<std::string>& shows,
                                         const std::function<bool(const std::string& key)>& held, CLogBatch& log) {
    const std::string folder = NameKey(WithBackslash(showFolder));
    std::vector<std::string> notHeld;
    std::set<std::string> told;
    for (const std::string& show : shows) {
        std::string bytes;
        if (!ReadFileText(root + show, bytes)) continue;
        ForEachReference(bytes.data(), bytes.size(), [&](std::string_view ref) {
            const std::string name = Utf8FromCodePage(std::string(ref));
            const std::string folded = NameKey(name);
            const bool inside = folded.compare(0, folder.size(), folder) == 0;
            if (inside && held(folded.substr(folder.size()))) return;
            if (!told.insert(folded).second) return;
            notHeld.push_back(name);
            log.Value(inside ? "niet in back-up" : "buiten de map", Shown(name) + " (" + Shown(show) + ")");
        });
    }
    return notHeld;
}

BackupCheckResult CheckBackup(const std::string& backupRoot, const BackupProgressFn& progress) {
    BackupCheckResult result;
    const std::string root = WithBackslash(backupRoot);
    LogLine("Start controle back-up");
    LogValue("map", Shown(root));
    RecordOnDisk read = ReadRecordAt(root);
    BackupRecord& record = read.record;
    result.hasRecord = read.found;
    if (!result.hasRecord) {
        LogValue("fout", "geen overzicht gevonden: " + Shown(RecordPathOf(root)));
        LogValue("uitslag", "geen overzicht (code 3)");
        LogLine("Einde controle back-up");
        return result;
    }
    CLogBatch log;
    result.recordDamaged = record.damaged;
    result.recordDamage = record.damage;
    result.lastRun = record.lastRun;
    result.incompleteReason = record.incompleteReason;
    if (record.damaged) log.Value("overzicht beschadigd", Shown(RecordPathOf(root)));
    if (record.lastRun == RecordedRun::Incomplete)
        log.Value("onvolledig", "de laatste back-up was niet volledig (" + record.incompleteReason + ")");
    else if (record.lastRun == RecordedRun::Unknown && !record.damaged)
        log.Value("onvolledig", "overzicht van een eerdere versie; niet bekend of de back-up volledig was");

    const int64_t done = CheckCopies(root, record, progress, result, log);
    if (!result.stopped) {
        std::set<std::string> unread(result.missing.begin(), result.missing.end());
        unread.insert(result.damaged.begin(), result.damaged.end());
        CheckNamedFiles(root, record, unread, result, log);
    }
    KeepFindings(root, result, log);
    log.Flush();
    LogNumber("gecontroleerd", result.checked);
    LogNumber("ontbreekt    ", static_cast<int32_t>(result.missing.size()));
    LogNumber("beschadigd   ", static_cast<int32_t>(result.damaged.size()));
    if (!result.notHeld.empty()) LogNumber("niet in back-up", static_cast<int32_t>(result.notHeld.size()));
    if (result.stopped) LogLine("Controle gestopt");
    const std::string verdict = BackupCheckText(result, std::string());
    LogValue("uitslag", verdict.substr(0, verdict.find('\n')));
    LogLine("Einde controle back-up");
    if (progress) progress(std::string(), done);
    return result;
}
