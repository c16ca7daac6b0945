#include "report/report_html.h"

#include <cstdio>
#include <unordered_map>

#include "files/path_split.h"
#include "common/text.h"

const char kAllShowsReportName[] = "Alle shows - Zekerpad-rapport.html";
const char kReportMark[] = "<meta name=\"generator\" content=\"Zekerpad-rapport\">";

namespace {

// The page's own look. Colours are also said in words, and every mark
// carries a sign (a cross, an exclamation mark, a tick): a report printed in
// black and white, or read by someone who cannot tell red from green, must
// still be read right. A path too long for its line breaks anywhere.
const char kStyle[] =
    "body{font-family:Arial,Helvetica,sans-serif;font-size:10pt;color:#000;margin:2em}"
    "h1{font-size:16pt;margin:0 0 .5em}h2{font-size:13pt;margin:1.5em 0 .4em}"
    "h3{font-size:11pt;margin:1.2em 0 .3em}"
    "h1,h2,h3,p{word-wrap:break-word;overflow-wrap:break-word}"
    "table{border-collapse:collapse;width:100%;margin:.3em 0 1em}"
    "th,td{border:1px solid #999;padding:2px 5px;text-align:left;vertical-align:top}"
    "th{background:#eee}td.getal{text-align:right;white-space:nowrap}"
    "td.pad,.pad{word-break:break-all}"
    ".mark{display:inline-block;width:1.3em;height:1.3em;line-height:1.3em;border-radius:50%;"
    "text-align:center;font-weight:bold;font-size:10pt;color:#fff;vertical-align:.05em}"
    ".rood{background:#c00000}.geel{background:#f2c200;color:#000}"
    ".groen{background:#008000}.grijs{background:#777}"
    ".oordeel{font-size:13pt;font-weight:bold}"
    "*{-webkit-print-color-adjust:exact;print-color-adjust:exact}"
    "@media print{@page{size:A4;margin:15mm}body{margin:0;font-size:9pt}"
    "h2,h3{page-break-after:avoid}tr{page-break-inside:avoid}"
    "thead{display:table-header-group}}";

const char* MarkClass(Verdict verdict) {
    switch (verdict) {
    case Verdict::Green: return "groen";
    case Verdict::Yellow: return "geel";
    case Verdict::Network: return "geel";
    case Verdict::Damaged: return "rood";
    case Verdict::Red: return "rood";
    case Verdict::NoNames:
    case Verdict::Unreadable: break;
    }
    return "grijs";
}

// A coloured dot with its sign, the colour also in words beside it.
std::string Mark(const char* cssClass) {
    const std::string css = cssClass;
    const char* sign = css == "rood" ? "&#10006;" : css == "geel" ? "!" : css == "groen" ? "&#10004;" : "?";
    return "<span class=\"mark " + css + "\">" + sign + "</span>";
}

const char* KindWord(int kind) {
    switch (kind) {
    case 0: return "show";
    case 1: return "geluid";
    case 2: return "afbeelding";
    default: return "overig";
    }
}

std::string SizeText(const ReportRow& row) {
    if (row.exists == -1) return "ontbreekt";
    if (row.exists == 0 || row.size < 0) return "in gebruik, niet gemeten";
    return FormatThousands(row.size);
}

void AppendHead(std::string& html, const std::string& title) {
    html += "<!DOCTYPE html>\n<html lang=\"nl\">\n<head>\n<meta charset=\"windows-1252\">\n";
    html += kReportMark;
    html += "\n<title>" + HtmlEscape(title) + "</title>\n<style>";
    html += kStyle;
    html += "</style>\n</head>\n<body>\n";
}

void AppendCounts(std::string& html, const ReportCounts& c) {
    html += "<table class=\"tellingen\">\n<tbody>\n";
    html += "<tr><td>" + Mark("rood") + " Rood</td><td>bestand is niet gevonden</td><td class=\"getal\">" +
            std::to_string(c.red) + " keer</td></tr>\n";
    html += "<tr><td>" + Mark("geel") +
            " Geel</td><td>bestand is gevonden, maar staat op een mogelijk riskante plaats (geel 1: " +
            std::to_string(c.yellow1) + " op de schijf van de show, geel 2: " + std::to_string(c.yellow2) +
            " op een andere schijf)</td><td class=\"getal\">" + std::to_string(c.yellow) + " keer</td></tr>\n";
    html += "<tr><td>" + Mark("groen") +
            " Groen</td><td>bestand is gevonden en staat op een veilige plaats</td><td class=\"getal\">" +
            std::to_string(c.green) + " keer</td></tr>\n";
    html += "</tbody>\n</table>\n<p>De show en de gevonden bestanden zijn tezamen " +
            FormatThousands(c.totalBytes) + " bytes groot.</p>\n";
}

struct ColourSection {
    ReportColour colour;
    const char* cssClass;
    const char* heading;
    bool withAction;
};

const ColourSection kSections[] = {
    {ReportColour::Red, "rood", "Rood: niet gevonden", true},
    {ReportColour::Yellow1, "geel", "Geel 1: elders op de schijf van de show", true},
    {ReportColour::Yellow2, "geel", "Geel 2: op een andere schijf", true},
    {ReportColour::Green, "groen", "Groen: in de map van de show", false},
};

// A file's finding by its path, as the show names it.
using FindingsByPath = std::unordered_map<std::string, const CheckedFile*>;

FindingsByPath IndexFindings(const std::vector<CheckedFile>& files) {
    FindingsByPath index;
    for (const CheckedFile& f : files) index[UpperCasedAscii(f.path)] = &f;
    return index;
}

// Below a path: what the check found wrong inside the file.
std::string FindingNote(const FindingsByPath& findings, const std::string& path) {
    const auto it = findings.find(UpperCasedAscii(path));
    if (it == findings.end()) return std::string();
    const CheckedFile& f = *it->second;
    if (f.content == FileContent::Damaged) return "<br>" + Mark("rood") + " Beschadigd: " + HtmlEscape(f.reason);
    if (f.content == FileContent::Warning) return "<br>" + Mark("geel") + " Let op: " + HtmlEscape(f.reason);
    return std::string();
}

void AppendContentCheck(std::string& html, const std::vector<CheckedFile>& files) {
    if (files.empty()) return;
    ContentCounts counts;
    for (const CheckedFile& f : files) counts.Add(f);
    html += "<p>De bestanden zijn nagekeken. " + HtmlEscape(ContentSummary(counts, counts.read, false)) + "</p>\n";
}

void AppendColourTables(std::string& html, const ShowReport& report, const char* level) {
    const FindingsByPath findings = IndexFindings(report.checkedFiles);
    for (const ColourSection& section : kSections) {
        size_t count = 0;
        for (const ReportRow& row : report.rows)
            if (row.colour == section.colour) ++count;
        html += std::string("<") + level + ">" + Mark(section.cssClass) + " " + section.heading + " (" +
                std::to_string(count) + ")</" + level + ">\n";
        if (count == 0) {
            html += "<p>Geen bestanden.</p>\n";
            continue;
        }
        html += "<table>\n<thead><tr><th>Pad zoals de show het noemt</th><th>Soort</th><th>Grootte (bytes)</th>";
        if (section.withAction) html += "<th>Wat Corrigeren ermee zou doen</th>";
        html += "</tr></thead>\n<tbody>\n";
        for (const ReportRow& row : report.rows) {
            if (row.colour != section.colour) continue;
            html += "<tr><td class=\"pad\">" + HtmlEscape(row.path) + FindingNote(findings, row.path) +
                    "</td><td>" + KindWord(row.kind) +
                    "</td><td class=\"getal\">" + SizeText(row) + "</td>";
            if (section.withAction) html += "<td>" + HtmlEscape(row.action) + "</td>";
            html += "</tr>\n";
        }
        html += "</tbody>\n</table>\n";
    }
}

// Files the drive-letter analysis never sees: a copy of the show's folder
// leaves them behind.
void AppendNetworkPaths(std::string& html, const std::vector<std::string>& paths, const char* level) {
    if (paths.empty()) return;
    html += std::string("<") + level + ">" + Mark("geel") + " Op het netwerk (" + std::to_string(paths.size()) +
            ")</" + level + ">\n<p>Een kopie van de map van de show neemt deze bestanden niet mee.</p>\n"
            "<table>\n<thead><tr><th>Pad zoals de show het noemt</th></tr></thead>\n<tbody>\n";
    for (const std::string& path : paths) html += "<tr><td class=\"pad\">" + HtmlEscape(path) + "</td></tr>\n";
    html += "</tbody>\n</table>\n";
}

// Everything about one show below its heading.
void AppendShowBody(std::string& html, const ShowReport& report, const char* tableLevel) {
    const Verdict verdict = VerdictOf(report);
    html += "<p class=\"oordeel\">" + Mark(MarkClass(verdict)) + " Oordeel: " +
            HtmlEscape(VerdictInFull(report)) + "</p>\n";
    if (!report.readable) return;
    if (verdict == Verdict::NoNames)
        html += "<p>In deze show is geen enkele bestandsnaam gevonden. Is dit wel een Wings-show?</p>\n";
    AppendCounts(html, report.counts);
    // Why a file that a Mac shows as ordinary is red here.
    std::vector<std::string> red;
    for (const ReportRow& row : report.rows)
        if (row.colour == ReportColour::Red) red.push_back(row.path);
    const std::string deviceNote = DeviceNameNote(red);
    if (!deviceNote.empty()) html += "<p>" + HtmlEscape(deviceNote) + "</p>\n";
    AppendContentCheck(html, report.checkedFiles);
    AppendColourTables(html, report, tableLevel);
    AppendNetworkPaths(html, report.networkPaths, tableLevel);
}

}  // namespace

Verdict VerdictOf(const ShowReport& report) {
    if (!report.readable) return Verdict::Unreadable;
    int32_t damaged = 0;
    for (const CheckedFile& f : report.checkedFiles)
        if (f.content == FileContent::Damaged) ++damaged;
    return VerdictOfCounts(report.counts.red, report.counts.yellow, report.counts.green, report.networkPaths.size(),
                           damaged);
}

std::string VerdictWords(const ShowReport& report) {
    switch (VerdictOf(report)) {
    case Verdict::Green: return "groen licht";
    case Verdict::Yellow: return "geen groen licht: gele bestanden";
    case Verdict::Network: return "geen groen licht: bestanden op het netwerk";
    case Verdict::Damaged: return "geen groen licht: beschadigde bestanden";
    case Verdict::Red: return "geen groen licht: rode bestanden";
    case Verdict::NoNames: return "geen groen licht: geen bestandsnamen gevonden";
    case Verdict::Unreadable: break;
    }
    const std::string& why = report.reason.empty() ? report.failure : report.reason;
    return why.empty() ? "niet gecontroleerd" : "niet gecontroleerd: " + why;
}

std::string VerdictInFull(const ShowReport& report) {
    if (VerdictOf(report) != Verdict::Unreadable || report.failure.empty()) return VerdictWords(report);
    return "niet gecontroleerd: " + report.failure;
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        case '\n': out += "<br>"; break;
        case '\t': out += ' '; break;
        default:
            // A show may hold any byte in a path; control characters have no
            // place in a page.
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
                out += "&#xFFFD;";
            else
                out += c;
        }
    }
    return out;
}

std::string DutchDateTime(int year, int month, int day, int hour, int minute) {
    static const char* const kMonths[] = {"januari", "februari", "maart",     "april",   "mei",      "juni",
                                          "juli",    "augustus", "september", "oktober", "november", "december"};
    const char* name = month >= 1 && month <= 12 ? kMonths[month - 1] : "?";
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d", hour, minute);
    return std::to_string(day) + " " + name + " " + std::to_string(year) + ", " + time;
}

std::string ReportFileName(std::string_view showPath) {
    std::string name = SplitPath(showPath).name;
    if (name.empty()) name = "Show";
    return name + " - Zekerpad-rapport.html";
}

std::string ShowReportHtml(const ShowReport& report, const std::string& madeAt) {
    std::string html;
    html.reserve(512 + report.rows.size() * 160);
    AppendHead(html, "Zekerpad-rapport: " + report.showPath);
    html += "<h1>Zekerpad-rapport</h1>\n<p>Show: <b class=\"pad\">" + HtmlEscape(report.showPath) + "</b><br>Gemaakt op " +
            HtmlEscape(madeAt) + "</p>\n";
    AppendShowBody(html, report, "h2");
    html += "</body>\n</html>\n";
    return html;
}

std::string AllShowsReportHtml(const std::vector<ShowReport>& reports, const std::string& madeAt) {
    std::string html;
    size_t rows = 0;
    for (const ShowReport& r : reports) rows += r.rows.size();
    html.reserve(1024 + reports.size() * 600 + rows * 160);
    AppendHead(html, "Zekerpad-rapport: alle shows");
    html += "<h1>Zekerpad-rapport: alle shows</h1>\n<p>Gemaakt op " + HtmlEscape(madeAt) + "<br>" +
            std::to_string(reports.size()) + (reports.size() == 1 ? " show" : " shows") +
            " gecontroleerd.</p>\n";
    bool backedUp = false;
    for (const ShowReport& r : reports) backedUp = backedUp || !r.backup.empty();
    html += "<table class=\"overzicht\">\n<thead><tr><th>Show</th><th>Rood</th><th>Geel 1</th><th>Geel 2</th>"
            "<th>Groen</th><th>Grootte (bytes)</th><th>Oordeel</th>" +
            std::string(backedUp ? "<th>Back-up</th>" : "") + "</tr></thead>\n<tbody>\n";
    for (const ShowReport& r : reports) {
        html += "<tr><td class=\"pad\">" + HtmlEscape(r.showPath) + "</td>";
        if (r.readable) {
            for (int32_t n : {r.counts.red, r.counts.yellow1, r.counts.yellow2, r.counts.green})
                html += "<td class=\"getal\">" + std::to_string(n) + "</td>";
            html += "<td class=\"getal\">" + FormatThousands(r.counts.totalBytes) + "</td>";
        } else {
            html += "<td></td><td></td><td></td><td></td><td></td>";
        }
        html += "<td>" + Mark(MarkClass(VerdictOf(r))) + " " + HtmlEscape(VerdictWords(r)) + "</td>";
        if (backedUp) html += "<td>" + HtmlEscape(r.backup) + "</td>";
        html += "</tr>\n";
    }
    html += "</tbody>\n</table>\n";
    // One show after the other, not each on a page of its own: a check of
    // two hundred shows must not print two hundred pages.
    for (const ShowReport& r : reports) {
        html += "<section>\n<h2 class=\"pad\">" + HtmlEscape(r.showPath) + "</h2>\n";
        AppendShowBody(html, r, "h3");
        html += "</section>\n";
    }
    html += "</body>\n</html>\n";
    return html;
}

bool LooksLikeReport(std::string_view fileStart) {
    return fileStart.find(kReportMark) != std::string_view::npos;
}
