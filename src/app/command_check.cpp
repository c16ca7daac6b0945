#include "app/command_check.h"

#include <windows.h>

#include <cwchar>
#include <unordered_set>

#include "backup/backup_run.h"
#include "backup/check_target.h"
#include "backup/copy_check.h"
#include "common/wide_text.h"
#include "common/text.h"
#include "files/file_helpers.h"
#include "media/content_read.h"
#include "services/run_log.h"
#include "services/settings.h"
#include "report/report_file.h"
#include "report/show_check.h"

namespace {

int ExitCodeOf(Verdict verdict) {
    switch (verdict) {
    case Verdict::Green: return kExitGreenLight;
    // A file on the network leaves the show's folder as incomplete as a
    // yellow one does.
    case Verdict::Yellow:
    case Verdict::Network: return kExitOnlyYellow;
    case Verdict::Red: return kExitRed;
    case Verdict::Damaged: return kExitDamaged;
    // Not one file name: most likely no show at all.
    case Verdict::NoNames:
    case Verdict::Unreadable: break;
    }
    return kExitUnreadable;
}

int CheckRecorded(const std::string& root) {
    const BackupCheckResult result = CheckBackup(root, nullptr);
    if (!result.hasRecord) return kExitBackupNoRecord;
    // Missing, damaged, incomplete or a record that does not prove itself:
    // the run log's "uitslag" says which and what to do.
    return BackupProven(result) ? kExitBackupGood : kExitBackupDamaged;
}

// A back-up folder, a folder above back-ups (each is checked), a show file,
// or a copy of a show without a record (judged by its show files).
int CheckBackupFolder(const std::string& chosen) {
    const CheckTarget target = FindCheckTarget(Utf8FromCodePage(FullPathName(chosen)));
    switch (target.kind) {
    case CheckTargetKind::Backup:
        return CheckRecorded(target.folder);
    case CheckTargetKind::BackupsBelow: {
        int code = kExitBackupGood;
        for (const std::string& name : target.backups) {
            const int one = CheckRecorded(target.folder + name + "\\");
            if (one != kExitBackupGood) code = kExitBackupDamaged;
        }
        return code;
    }
    case CheckTargetKind::ShowCopy:
        return ShowCopyComplete(CheckShowCopy(target, nullptr)) ? kExitBackupGood : kExitBackupDamaged;
    case CheckTargetKind::Nothing:
        break;
    }
    LogLine("Start controle back-up");
    LogValue("map", CodePageFromUtf8(target.folder.empty() ? Utf8FromCodePage(chosen) : target.folder));
    LogValue("uitslag", "geen overzicht en geen show (code 3)");
    LogLine("Einde controle back-up");
    return kExitBackupNoRecord;
}

// Every file the show names that is there, each once, read to its end.
std::vector<CheckedFile> CheckContents(const ShowReport& report) {
    std::vector<std::string> files;
    std::unordered_set<std::string> seen;
    for (const ReportRow& row : report.rows)
        if (row.exists >= 0 && seen.insert(UpperCasedAscii(row.path)).second) files.push_back(row.path);
    return CheckFiles(files);
}

int Check(const CheckCommand& command, const std::string& settingsFile) {
    if (command.mode == CheckCommand::Mode::CheckBackup) return CheckBackupFolder(command.backup);
    if (command.mode != CheckCommand::Mode::Check) {
        LogValue("Fout", "de opdrachtregel klopt niet, " + command.why);
        return kExitWrongCommand;
    }
    const SubfolderNames names{ReadSubfolderSetting(settingsFile, "SubmapAudio", "Audio"),
                               ReadSubfolderSetting(settingsFile, "SubmapPlaatjes", "Plaatjes"),
                               ReadSubfolderSetting(settingsFile, "SubmapOverige", "Overige")};
    LogValue("Start analyse", command.show);
    ShowReport report = CheckShow(command.show, names);
    if (report.readable) {
        const ReportCounts& c = report.counts;
        LogNumber("groen  ", c.green);
        LogNumber("geel 1 ", c.yellow1);
        LogNumber("geel 2 ", c.yellow2);
        LogNumber("geel   ", c.yellow);
        LogNumber("rood   ", c.red);
        LogNumber("overige", c.other);
        if (!report.networkPaths.empty()) LogNumber("netwerk", static_cast<int32_t>(report.networkPaths.size()));
        LogLine("Einde analyse");
        if (command.checkContents) report.checkedFiles = CheckContents(report);
    } else {
        LogValue("Fout", VerdictInFull(report));
    }
    int code = ExitCodeOf(VerdictOf(report));
    if (!command.report.empty()) {
        std::string error;
        if (WriteReportFile(command.report, ShowReportHtml(report, ReportTimeNow()), ReplacePolicy::OnlyOwnReports,
                            &error)) {
            LogValue("Rapport opgeslagen", command.report);
        } else {
            LogValue("Rapport niet opgeslagen", OneLine(error));
            code = kExitWrongCommand;
        }
    }
    LogValue("Uitslag", VerdictWords(report) + " (code " + std::to_string(code) + ")");
    return code;
}

}  // namespace

ProgramArguments ReadProgramArguments(const wchar_t* commandLine) {
    ProgramArguments read;
    // Blanks, quotes and backslashes are the same bytes in UTF-8, so the one
    // splitter of the program splits the wide line too.
    const std::vector<std::string> args = ArgumentsOf(Utf8FromWide(commandLine, std::wcslen(commandLine)));
    for (const std::string& arg : args) {
        const std::wstring wide = WideFromUtf8(arg);
        std::string text = CodePagePathOf(wide);
        if (text.empty() && !arg.empty() && read.unreadable < 0) {
            read.unreadable = static_cast<int>(read.args.size());
            read.unreadableShown = CodePageFromWide(wide);
        }
        read.args.push_back(std::move(text));
    }
    return read;
}

int RunCommandCheck(const CheckCommand& command, const std::string& logPath, const std::string& settingsFile) {
    // No window of the system either: a drive without a medium must not
    // ask anyone anything.
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    OpenRunLog(logPath);
    LogLine(kLogStartEntry);
    LogLine("Controle zonder venster");
    const int code = Check(command, settingsFile);
    LogLine(kLogStopEntry);
    CloseRunLog();
    ::SetErrorMode(oldMode);
    return code;
}
