// The report of a check as one self-contained Dutch HTML file: readable in
// any browser, printable on A4, without scripts or files beside it. Takes
// what an analysis found and returns the page's text (code page 1252).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/show_verdict.h"
#include "media/content_findings.h"

enum class ReportColour { Red, Yellow1, Yellow2, Green };

// One reference of the show, as the report lists it.
struct ReportRow {
    std::string path;        // exactly as the show writes it
    int kind = 3;            // 0 show, 1 sound, 2 image, 3 other
    int64_t size = -1;       // bytes, -1 when not measured
    int exists = -1;         // -1 missing, 0 present but locked, 1 measured
    ReportColour colour = ReportColour::Red;
    std::string action;      // what the wizard would do; empty for green
};

// The counts as the analysis page's explanation gives them.
struct ReportCounts {
    int32_t red = 0, yellow = 0, yellow1 = 0, yellow2 = 0, green = 0, other = 0;
    int64_t totalBytes = 0;
};

struct ShowReport {
    std::string showPath;
    bool readable = true;
    std::string failure;  // why the show could not be read, in full
    std::string reason;   // the same in a few words, for a verdict in a list
    ReportCounts counts;
    std::vector<ReportRow> rows;  // in the order of the show
    std::vector<std::string> networkPaths;  // files on a network share, as the show names them
    // What "Bestanden nakijken" found, when the files were checked.
    std::vector<CheckedFile> checkedFiles;
    // What "Back-up van alle groene shows" did with the show ("volledig",
    // "overgeslagen: ..."); empty when no such back-up ran.
    std::string backup;
};

// Green light only without red and yellow files, with at least one file
// name found, none on the network and none found damaged.
Verdict VerdictOf(const ShowReport& report);
// "groen licht", "geen groen licht: gele bestanden", "... rode bestanden",
// "... bestanden op het netwerk" or "... geen bestandsnamen gevonden", or
// "niet gecontroleerd" with the reason in a few words.
std::string VerdictWords(const ShowReport& report);
// The same, but an unreadable show's reason in full.
std::string VerdictInFull(const ShowReport& report);

// & < > " ' as entities, control characters as the replacement character.
std::string HtmlEscape(std::string_view text);

// "7 december 2026, 14:09"
std::string DutchDateTime(int year, int month, int day, int hour, int minute);

// "<name of the show> - Zekerpad-rapport.html"
std::string ReportFileName(std::string_view showPath);
// The name suggested for the report of every show.
extern const char kAllShowsReportName[];

// The report of one show.
std::string ShowReportHtml(const ShowReport& report, const std::string& madeAt);
// The report of several shows: the summary table first, then one section
// per show.
std::string AllShowsReportHtml(const std::vector<ShowReport>& reports, const std::string& madeAt);

// Every report this program writes carries this mark, so that a report
// can be told from other files before it is replaced.
extern const char kReportMark[];
bool LooksLikeReport(std::string_view fileStart);
