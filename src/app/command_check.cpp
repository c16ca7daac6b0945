#include "app/command_check.h"

#include <windows.h>

#include <cwchar>
#include <memory>
#include <unordered_set>

#include "backup/backup_disk.h"
#include "backup/backup_run.h"
#include "backup/check_target.h"
#include "backup/copy_check.h"
#include "common/win_raii.h"
#include "common/wide_text.h"
#include "common/text.h"
#include "files/file_helpers.h"
#include "files/file_system.h"
#include "media/content_read.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "services/settings.h"
#include "report/report_file.h"
#include "report/show_check.h"
#include "wizard/long_work.h"

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

// Analyses the show as the wizard does and logs its counts; the code of
// /controleer, without the report's.
int AnalyseShow(const CheckCommand& command, const std::string& settingsFile, ShowReport* report) {
    const SubfolderNames names{ReadSubfolderSetting(settingsFile, "SubmapAudio", "Audio"),
                               ReadSubfolderSetting(settingsFile, "SubmapPlaatjes", "Plaatjes"),
                               ReadSubfolderSetting(settingsFile, "SubmapOverige", "Overige")};
    LogValue("Start analyse", command.show);
    *report = CheckShow(command.show, names);
    if (report->readable) {
        const ReportCounts& c = report->counts;
        LogNumber("groen  ", c.green);
        LogNumber("geel 1 ", c.yellow1);
        LogNumber("geel 2 ", c.yellow2);
        LogNumber("geel   ", c.yellow);
        LogNumber("rood   ", c.red);
        LogNumber("overige", c.other);
        if (!report->networkPaths.empty()) LogNumber("netwerk", static_cast<int32_t>(report->networkPaths.size()));
        LogLine("Einde analyse");
        if (command.checkContents) report->checkedFiles = CheckContents(*report);
    } else {
        LogValue("Fout", VerdictInFull(*report));
    }
    return ExitCodeOf(VerdictOf(*report));
}

int CheckShowForScript(const CheckCommand& command, const std::string& settingsFile) {
    ShowReport report;
    int code = AnalyseShow(command, settingsFile, &report);
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

void LogBackupVerdict(const std::string& words, int code) {
    LogValue("Uitslag", words + " (code " + std::to_string(code) + ")");
}

// Windows ends the session (a log-off, a shutdown) while the back-up runs:
// the files being written are already marked for deletion, and the record
// still says the back-up is not complete.
void EndSessionDuringBackup() {
    LogBackupVerdict("back-up niet volledig: Windows meldt de gebruiker af of sluit af", kExitBackupIncomplete);
    LogLine(kLogStopEntry);
    CloseRunLog();
    ::ExitProcess(kExitBackupIncomplete);
}

// "/back-up": with green light the back-up the dialog makes, run by the
// same code, with no one to ask; without it, none at all.
int BackUpShow(const CheckCommand& command, const std::string& settingsFile) {
    ShowReport report;
    const int verdict = AnalyseShow(command, settingsFile, &report);
    if (verdict != kExitGreenLight) {
        LogBackupVerdict(VerdictWords(report) + ", geen back-up gemaakt", verdict);
        return verdict;
    }
    const std::string showFolder = backup::FolderPathOf(Utf8FromCodePage(FullPathName(command.show)));
    const std::string destination = Utf8FromWide(FullWidePath(WideFromUtf8(command.backup)));

    // Never shown: it is there to hear that Windows ends the session, as
    // the wizard's window does during its long work.
    UniqueWindow listener(::CreateWindowExA(0, "STATIC", "Zekerpad", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                            ::GetModuleHandleA(nullptr), nullptr));
    const SessionEndFn sessionEndBefore = g_pfnSessionEnd;
    g_pfnSessionEnd = g_pfnBackupSessionEnd;
    BackupOutcome outcome;
    {
        std::unique_ptr<CLongWork> work;
        if (listener) work = std::make_unique<CLongWork>(listener.get());
        MakeBackup(showFolder, destination,
                   [&](const std::string&, int64_t) { return !work || work->Pump(); }, nullptr, &outcome);
    }
    g_pfnSessionEnd = sessionEndBefore;

    if (BackupComplete(outcome)) {
        LogBackupVerdict("back-up volledig", kExitGreenLight);
        return kExitGreenLight;
    }
    if (outcome.refusal == BackupRefusal::Destination) {
        LogBackupVerdict("geen back-up gemaakt: de doelmap is geweigerd", kExitWrongCommand);
        return kExitWrongCommand;
    }
    LogBackupVerdict(outcome.refusal == BackupRefusal::Later
                         ? "geen back-up gemaakt: de doelmap kan nu niet worden gebruikt"
                         : "back-up niet volledig",
                     kExitBackupIncomplete);
    return kExitBackupIncomplete;
}

int Check(const CheckCommand& command, const std::string& settingsFile) {
    switch (command.mode) {
    case CheckCommand::Mode::CheckBackup: return CheckBackupFolder(command.backup);
    case CheckCommand::Mode::Check: return CheckShowForScript(command, settingsFile);
    case CheckCommand::Mode::Backup: return BackUpShow(command, settingsFile);
    case CheckCommand::Mode::Wizard:
    case CheckCommand::Mode::Wrong: break;
    }
    LogValue("Fout", "de opdrachtregel klopt niet, " + command.why);
    return kExitWrongCommand;
}

}  // namespace

BackupSessionEndFn g_pfnBackupSessionEnd = &EndSessionDuringBackup;

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
    read.utf8 = args;
    return read;
}

CheckCommand ParseProgramArguments(const ProgramArguments& read) {
    std::vector<std::string> args = read.args;
    if (args.size() >= 3 && EqualsNoCaseAscii(args[0], "/back-up")) args[2] = read.utf8[2];
    return ParseCheckCommand(args);
}

int RunCommandCheck(const CheckCommand& command, const std::string& logPath, const std::string& settingsFile) {
    // No window of the system either: a drive without a medium must not
    // ask anyone anything.
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // Nor any box of the program's: the run log says what a box would.
    CWindowlessMessages windowless;
    OpenRunLog(logPath);
    LogLine(kLogStartEntry);
    LogLine(ScriptLogLine(command.mode == CheckCommand::Mode::Backup));
    const int code = Check(command, settingsFile);
    LogLine(kLogStopEntry);
    CloseRunLog();
    ::SetErrorMode(oldMode);
    return code;
}
