// Speed of "Alle shows controleren" and of writing a report, run by hand
// under Wine:
//
//   report_bench.exe [shows [rounds]]
//
// Makes 200 shows of 100 references each under C:\ZkBench\Alle, of every
// colour (removed at the end), then prints two figures, each against a
// baseline measured in the same run (at least 5 rounds, order alternated):
//   1. the real check-all dialog over every show vs the sum of analysing
//      each show alone as the wizard does, without its tree (goal <= 1.2);
//   2. the report of a show of 20,000 references, made and written under a
//      temporary name and renamed (goal: under a second), against writing
//      the same bytes with one plain WriteFile.
#include <windows.h>
#include <commctrl.h>
#include <imagehlp.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "analysis/show_scan.h"
#include "app/app.h"
#include "services/state.h"
#include "common/win_raii.h"
#include "report/check_all_dialog.h"
#include "report/report_file.h"
#include "report/report_html.h"
#include "bench_rounds.h"
#include "bench_tree.h"
#include "resource.h"

namespace {

using bench::Clock;
double Seconds(Clock::time_point from) { return bench::Seconds(Clock::now() - from); }

const char kRoot[] = "C:\\ZkBench\\Alle";
const char kOther[] = "D:\\ZkBenchAlle";
constexpr int kRefsPerShow = 100;

bool MakeFile(const std::string& path, size_t bytes) {
    if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    UniqueFile f(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return false;
    std::string data(bytes, 'z');
    DWORD written = 0;
    return ::WriteFile(f.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) != FALSE;
}

bool MakeFolder(const std::string& path) {
    return ::MakeSureDirectoryPathExists((path + "\\").c_str()) != FALSE;
}

// Show i names 40 files of its own (beside it and in Audio), 30 shared
// ones elsewhere on C:, 10 on D: and 20 that are missing.
bool MakeShows(int shows, std::vector<std::string>& paths) {
    if (!MakeFolder(std::string(kRoot) + "\\Gedeeld") || !MakeFolder(kOther)) return false;
    for (int j = 0; j < 30; ++j)
        if (!MakeFile(std::string(kRoot) + "\\Gedeeld\\g" + std::to_string(j) + ".wav", 2000)) return false;
    for (int j = 0; j < 10; ++j)
        if (!MakeFile(std::string(kOther) + "\\d" + std::to_string(j) + ".jpg", 3000)) return false;
    for (int i = 0; i < shows; ++i) {
        const std::string dir = std::string(kRoot) + "\\Show" + std::to_string(i);
        if (!MakeFolder(dir + "\\Audio")) return false;
        std::string bytes("WS4\0\x01", 5);
        for (int j = 0; j < 40; ++j) {
            const std::string file = dir + (j % 2 ? "\\Audio\\s" : "\\b") + std::to_string(j) + (j % 2 ? ".wav" : ".bmp");
            if (!MakeFile(file, 500 + j)) return false;
            bytes += file + '\0';
        }
        for (int j = 0; j < 30; ++j) bytes += std::string(kRoot) + "\\Gedeeld\\g" + std::to_string(j) + ".wav" + '\0';
        for (int j = 0; j < 10; ++j) bytes += std::string(kOther) + "\\d" + std::to_string(j) + ".jpg" + '\0';
        for (int j = 0; j < 20; ++j) bytes += dir + "\\weg" + std::to_string(j) + ".mp3" + '\0';
        bytes.append(4000, '\x7f');  // the show's own data
        const std::string show = dir + "\\show.ws4";
        if (!MakeFile(show, 0)) return false;
        UniqueFile f(::CreateFileA(show.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!f || !::WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) return false;
        paths.push_back(show);
    }
    return true;
}

// The wizard's analysis of each show alone, without its tree.
double SumOfSingleAnalyses(const std::vector<std::string>& shows) {
    const auto start = Clock::now();
    for (const std::string& show : shows) {
        ResetScanResults();
        if (CheckShowFile(show).status == ScanStatus::Done) AnalyseShowFile(show, nullptr);
    }
    return Seconds(start);
}

// The real dialog, closed by a timer once it can save its report.
double CheckAllDialog(const std::vector<std::string>& shows, size_t* rows) {
    static bool s_closed;
    s_closed = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND dialog = ::FindWindowA("#32770", "Zekerpad - Alle shows controleren");
        if (!dialog || s_closed || !::IsWindowEnabled(::GetDlgItem(dialog, IDC_CHECK_SAVE))) return;
        s_closed = true;
        ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    CCheckAllDialog dialog(shows);
    const auto start = Clock::now();
    dialog.DoModal(nullptr);
    const double seconds = Seconds(start);
    ::KillTimer(nullptr, timer);
    *rows = dialog.Reports().size();
    return seconds;
}

ShowReport BigReport(size_t refs) {
    ShowReport report;
    report.showPath = "C:\\Shows\\Groot & Breed\\groot.ws4";
    for (size_t i = 0; i < refs; ++i) {
        ReportRow row;
        row.path = "C:\\Shows\\Groot & Breed\\Audio\\nummer <" + std::to_string(i) + "> van de show.wav";
        row.kind = static_cast<int>(i % 4);
        row.size = static_cast<int64_t>(i) * 1234;
        row.exists = i % 7 == 0 ? -1 : 1;
        row.colour = static_cast<ReportColour>(i % 4);
        if (row.colour != ReportColour::Green)
            row.action = "Verplaatsen naar C:\\Shows\\Groot & Breed\\Audio\\nummer " + std::to_string(i) + ".wav";
        report.rows.push_back(std::move(row));
    }
    report.counts.red = report.counts.yellow1 = report.counts.yellow2 = report.counts.green =
        static_cast<int32_t>(refs / 4);
    report.counts.yellow = report.counts.yellow1 + report.counts.yellow2;
    report.counts.totalBytes = 123456789;
    return report;
}

}  // namespace

int main(int argc, char** argv) {
    const int showCount = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : bench::kMinRounds;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    CWingsTestApp app;
    g_pApp = &app;
    g_csSubmapAudio = "Audio";
    g_csSubmapPlaatjes = "Plaatjes";
    g_csSubmapOverige = "Overige";

    std::vector<std::string> shows;
    std::printf("Shows maken (%d x %d verwijzingen)...\n", showCount, kRefsPerShow);
    if (!MakeShows(showCount, shows)) {
        std::printf("De shows konden niet worden gemaakt.\n");
        return 1;
    }

    // 1. Check-all against the sum of single analyses.
    size_t rows = 0;
    SumOfSingleAnalyses(shows);  // warm the file cache for both
    const bench::Comparison all = bench::Compare(
        rounds, [&] { return CheckAllDialog(shows, &rows); }, [&] { return SumOfSingleAnalyses(shows); });
    bench::Print("1. Alle shows controleren, " + std::to_string(rows) + " shows (doel <= 1.2)", "het venster",
                 "elke show los geanalyseerd", all);

    // 2. The report of 20,000 references.
    const ShowReport big = BigReport(20000);
    const std::string target = std::string(kRoot) + "\\groot - Zekerpad-rapport.html";
    const std::string plain = std::string(kRoot) + "\\gewoon.html";
    const std::string html = ShowReportHtml(big, "7 december 2026, 14:09");
    bool failed = false;
    const bench::Comparison report = bench::Compare(
        rounds,
        [&] {
            const auto start = Clock::now();
            std::string error;
            if (!WriteReportFile(target, ShowReportHtml(big, "7 december 2026, 14:09"), ReplacePolicy::Replace,
                                 &error))
                failed = true;
            return Seconds(start);
        },
        [&] {
            const auto start = Clock::now();
            UniqueFile f(::CreateFileA(plain.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                       nullptr));
            DWORD written = 0;
            ::WriteFile(f.get(), html.data(), static_cast<DWORD>(html.size()), &written, nullptr);
            ::FlushFileBuffers(f.get());
            f.reset();
            return Seconds(start);
        });
    if (failed) std::printf("Het rapport kon niet worden geschreven.\n");
    bench::Print("2. Rapport van 20.000 verwijzingen, " + std::to_string(html.size()) + " bytes (doel < 1 s)",
                 "gemaakt en opgeslagen", "dezelfde bytes gewoon geschreven", report);

    // Nothing left behind.
    bench::DeleteTree(kRoot);
    bench::DeleteTree(kOther);
    ::RemoveDirectoryA("C:\\ZkBench");
    return 0;
}
