#include "report/show_check.h"

#include <windows.h>

#include "analysis/show_scan.h"
#include "services/run_log.h"
#include "services/state.h"

SubfolderNames CurrentSubfolderNames() {
    return SubfolderNames{g_csSubmapAudio, g_csSubmapPlaatjes, g_csSubmapOverige};
}

ReportCounts WizardCounts() {
    ReportCounts c;
    c.red = g_nRed;
    c.yellow = g_nYellow;
    c.yellow1 = g_nYellow1;
    c.yellow2 = g_nYellow2;
    c.green = g_nGreen;
    c.other = g_nOther;
    c.totalBytes = g_nTotalBytes;
    return c;
}

std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            if (!out.empty() && out.back() != ' ') out += ' ';
            continue;
        }
        out += c;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

ShowReport CheckShow(const std::string& path, const SubfolderNames& names) {
    ScanOutcome outcome = CheckShowFile(path);
    ShowResults results;
    CReportCollector collector;
    if (outcome.status == ScanStatus::Done) outcome = AnalyseShowInto(path, results, &collector);
    if (outcome.status != ScanStatus::Done) {
        ShowReport report;
        report.showPath = path;
        report.readable = false;
        report.failure = OneLine(ScanFailureMessage(outcome, std::string()));
        report.reason = ScanFailureInShort(outcome.status);
        return report;
    }
    ShowReport report = collector.Report(path, results.showDrive, results.showDir, CountsOf(results), names);
    report.networkPaths = std::move(results.networkPaths);
    return report;
}

void LogCheckedShow(const ShowReport& report) {
    if (!report.readable) {
        LogValue(report.showPath, VerdictInFull(report));
        return;
    }
    const ReportCounts& c = report.counts;
    LogValue(report.showPath, "groen " + std::to_string(c.green) + ", geel 1 " + std::to_string(c.yellow1) +
                                  ", geel 2 " + std::to_string(c.yellow2) + ", rood " + std::to_string(c.red) +
                                  ", overige " + std::to_string(c.other) + ": " + VerdictWords(report));
}

std::string ReportTimeNow() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return DutchDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute);
}
