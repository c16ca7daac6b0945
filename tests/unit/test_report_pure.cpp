// The report page and the command line of the check for scripts, without
// any window. The page is parsed back as a browser would see it rather than
// compared as a string. Built natively (sanitizers) and for Windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "report/report_html.h"

namespace {

// What a browser would make of the page: its elements' texts, with the
// entities resolved, and whether every element was closed in order.
struct ParsedPage {
    bool wellFormed = true;
    bool hasScript = false;
    bool hasExternal = false;  // a src= or href= to another file
    std::string title;
    std::vector<std::vector<std::string>> rows;  // every <tr>, cell texts
    std::vector<std::string> headings;           // h1, h2, h3 texts
    std::string text;                            // all text, blanks kept
};

std::string Unescape(const std::string& s) {
    static const std::map<std::string, std::string> kEntities = {
        {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"#39", "'"}, {"#10006", "x"}, {"#10004", "v"}, {"#xFFFD", "?"}};
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        const size_t semi = s.find(';', i);
        const auto it = semi == std::string::npos ? kEntities.end() : kEntities.find(s.substr(i + 1, semi - i - 1));
        if (it == kEntities.end()) {
            ADD_FAILURE() << "bare or unknown entity at " << s.substr(i, 12);
            out += s[i];
            continue;
        }
        out += it->second;
        i = semi;
    }
    return out;
}

ParsedPage Parse(const std::string& html) {
    static const std::vector<std::string> kVoid = {"meta", "br", "!doctype"};
    ParsedPage page;
    std::vector<std::string> open;
    std::string cell, heading;
    bool inCell = false, inHeading = false, inTitle = false, inStyle = false;
    for (size_t i = 0; i < html.size();) {
        if (html[i] != '<') {
            const size_t next = html.find('<', i);
            const std::string raw = html.substr(i, next == std::string::npos ? std::string::npos : next - i);
            i = next == std::string::npos ? html.size() : next;
            if (inStyle) continue;
            if (raw.find('>') != std::string::npos) page.wellFormed = false;
            const std::string text = Unescape(raw);
            page.text += text;
            if (inCell) cell += text;
            if (inHeading) heading += text;
            if (inTitle) page.title += text;
            continue;
        }
        const size_t close = html.find('>', i);
        if (close == std::string::npos) {
            page.wellFormed = false;
            break;
        }
        std::string tag = html.substr(i + 1, close - i - 1);
        i = close + 1;
        const bool closing = !tag.empty() && tag[0] == '/';
        if (closing) tag.erase(0, 1);
        const std::string attributes = tag.find(' ') == std::string::npos ? "" : tag.substr(tag.find(' '));
        std::string name = tag.substr(0, tag.find(' '));
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name == "script") page.hasScript = true;
        if (attributes.find("src=") != std::string::npos || attributes.find("href=") != std::string::npos)
            page.hasExternal = true;
        if (std::find(kVoid.begin(), kVoid.end(), name) != kVoid.end()) {
            if (name == "br") {
                if (inCell) cell += "\n";
                page.text += "\n";
            }
            continue;
        }
        if (!closing) {
            open.push_back(name);
            if (name == "tr") page.rows.emplace_back();
            if (name == "td" || name == "th") inCell = true, cell.clear();
            if (name == "h1" || name == "h2" || name == "h3") inHeading = true, heading.clear();
            if (name == "title") inTitle = true;
            if (name == "style") inStyle = true;
            continue;
        }
        if (open.empty() || open.back() != name) {
            page.wellFormed = false;
            continue;
        }
        open.pop_back();
        if ((name == "td" || name == "th") && !page.rows.empty()) page.rows.back().push_back(cell), inCell = false;
        if (name == "h1" || name == "h2" || name == "h3") page.headings.push_back(heading), inHeading = false;
        if (name == "title") inTitle = false;
        if (name == "style") inStyle = false;
    }
    if (!open.empty()) page.wellFormed = false;
    return page;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

ReportRow Row(const std::string& path, int kind, int64_t size, int exists, ReportColour colour,
              const std::string& action) {
    ReportRow row;
    row.path = path;
    row.kind = kind;
    row.size = size;
    row.exists = exists;
    row.colour = colour;
    row.action = action;
    return row;
}

// A show that names a file of every colour, with "&", "<" and quotes in
// its own name and in the paths.
ShowReport EveryColour() {
    ShowReport r;
    r.showPath = "C:\\Shows\\Rock & <Roll> \"live\"\\show.ws4";
    r.counts.red = 1;
    r.counts.yellow = 2;
    r.counts.yellow1 = 1;
    r.counts.yellow2 = 1;
    r.counts.green = 2;
    r.counts.other = 1;
    r.counts.totalBytes = 12345678;
    r.rows = {
        Row("C:\\Shows\\Rock & <Roll> \"live\"\\intro.wav", 1, 1200, 1, ReportColour::Green, ""),
        Row("C:\\Muziek\\b&b<1>.mp3", 1, 5000, 1, ReportColour::Yellow1, "Verplaatsen naar C:\\Shows\\x\\Audio\\b&b<1>.mp3"),
        Row("D:\\Foto's\\zee.jpg", 2, 2000000, 1, ReportColour::Yellow2, "Kopiëren naar C:\\Shows\\x\\Plaatjes\\zee.jpg"),
        Row("C:\\Weg\\kwijt.txt", 3, -1, -1, ReportColour::Red, "Niets: start Wings"),
        Row("C:\\Shows\\Rock & <Roll> \"live\"\\Audio\\slot.wav", 1, 7, 0, ReportColour::Green, ""),
    };
    return r;
}

}  // namespace

TEST(ReportPage, OneShowParsesBackWithEveryColourAndEscapedNames) {
    const ShowReport report = EveryColour();
    const std::string html = ShowReportHtml(report, "7 december 2026, 14:09");
    const ParsedPage page = Parse(html);
    ASSERT_TRUE(page.wellFormed);
    EXPECT_FALSE(page.hasScript);
    EXPECT_FALSE(page.hasExternal);
    EXPECT_TRUE(Contains(html, "<meta charset=\"windows-1252\">"));
    EXPECT_TRUE(Contains(html, "@media print"));
    EXPECT_TRUE(Contains(html, "size:A4"));

    EXPECT_EQ(page.title, "Zekerpad-rapport: C:\\Shows\\Rock & <Roll> \"live\"\\show.ws4");
    EXPECT_TRUE(Contains(page.text, "Show: C:\\Shows\\Rock & <Roll> \"live\"\\show.ws4"));
    EXPECT_TRUE(Contains(page.text, "Gemaakt op 7 december 2026, 14:09"));
    EXPECT_TRUE(Contains(page.text, "x Oordeel: geen groen licht: rode bestanden"));
    EXPECT_TRUE(Contains(page.text, "De show en de gevonden bestanden zijn tezamen 12.345.678 bytes groot."));

    const std::vector<std::string> headings = {"Zekerpad-rapport", "x Rood: niet gevonden (1)",
                                               "! Geel 1: elders op de schijf van de show (1)",
                                               "! Geel 2: op een andere schijf (1)",
                                               "v Groen: in de map van de show (2)"};
    EXPECT_EQ(page.headings, headings);

    // The counts, then per colour a head row and its files, in that order.
    const std::vector<std::vector<std::string>> rows = {
        {"x Rood", "bestand is niet gevonden", "1 keer"},
        {"! Geel",
         "bestand is gevonden, maar staat op een mogelijk riskante plaats (geel 1: 1 op de schijf van de show, "
         "geel 2: 1 op een andere schijf)",
         "2 keer"},
        {"v Groen", "bestand is gevonden en staat op een veilige plaats", "2 keer"},
        {"Pad zoals de show het noemt", "Soort", "Grootte (bytes)", "Wat Corrigeren ermee zou doen"},
        {"C:\\Weg\\kwijt.txt", "overig", "ontbreekt", "Niets: start Wings"},
        {"Pad zoals de show het noemt", "Soort", "Grootte (bytes)", "Wat Corrigeren ermee zou doen"},
        {"C:\\Muziek\\b&b<1>.mp3", "geluid", "5.000", "Verplaatsen naar C:\\Shows\\x\\Audio\\b&b<1>.mp3"},
        {"Pad zoals de show het noemt", "Soort", "Grootte (bytes)", "Wat Corrigeren ermee zou doen"},
        {"D:\\Foto's\\zee.jpg", "afbeelding", "2.000.000", "Kopiëren naar C:\\Shows\\x\\Plaatjes\\zee.jpg"},
        {"Pad zoals de show het noemt", "Soort", "Grootte (bytes)"},
        {"C:\\Shows\\Rock & <Roll> \"live\"\\intro.wav", "geluid", "1.200"},
        {"C:\\Shows\\Rock & <Roll> \"live\"\\Audio\\slot.wav", "geluid", "in gebruik, niet gemeten"},
    };
    EXPECT_EQ(page.rows, rows);
}

TEST(ReportPage, VerdictsAndAnUnreadableShow) {
    ShowReport r;
    r.showPath = "C:\\a.ws4";
    r.counts.green = 1;
    EXPECT_EQ(VerdictOf(r), Verdict::Green);
    EXPECT_EQ(VerdictWords(r), "groen licht");
    r.counts.yellow = 1;
    EXPECT_EQ(VerdictWords(r), "geen groen licht: gele bestanden");
    r.counts.red = 1;
    EXPECT_EQ(VerdictWords(r), "geen groen licht: rode bestanden");
    r.readable = false;
    r.failure = "Het opgegeven Wings-bestand bestaat niet!";
    r.reason = "de show bestaat niet";
    EXPECT_EQ(VerdictWords(r), "niet gecontroleerd: de show bestaat niet");
    EXPECT_EQ(VerdictInFull(r), "niet gecontroleerd: Het opgegeven Wings-bestand bestaat niet!");

    const ParsedPage page = Parse(ShowReportHtml(r, "1 januari 2027, 00:00"));
    ASSERT_TRUE(page.wellFormed);
    EXPECT_TRUE(Contains(page.text, "? Oordeel: niet gecontroleerd: Het opgegeven Wings-bestand bestaat niet!"));
    EXPECT_TRUE(page.rows.empty());  // no counts of a show never read
}

// A red file whose name Windows keeps for a device: the report says why.
TEST(ReportPage, ADeviceNameIsExplained) {
    ShowReport r;
    r.showPath = "C:\\Demo\\a.ws4";
    r.counts.red = 1;
    ReportRow row;
    row.path = "C:\\Demo\\aux.wav";
    r.rows.push_back(row);
    EXPECT_TRUE(Contains(ShowReportHtml(r, "1 januari 2027, 00:00"),
                         "<p>Let op: dit rode bestand heeft in het pad een naam die Windows voor een apparaat "
                         "gebruikt (CON, PRN, AUX, NUL, COM1 tot en met COM9 of LPT1 tot en met LPT9, ook met een "
                         "extensie erachter). Windows opent dan het apparaat en niet het bestand. Geef het bestand "
                         "of de map een andere naam en laat Wings het opnieuw zoeken. Het bestand:<br>"
                         "C:\\Demo\\aux.wav<br></p>"));
}

TEST(ReportPage, AllShowsSummaryComesFirstThenOneSectionPerShow) {
    ShowReport green;
    green.showPath = "C:\\Shows\\A&B\\groen.ws4";
    green.counts.green = 3;
    green.counts.totalBytes = 4096;
    ShowReport gone;
    gone.showPath = "C:\\Shows\\weg.ws4";
    gone.readable = false;
    gone.failure = "Het opgegeven Wings-bestand bestaat niet!";
    gone.reason = "de show bestaat niet";
    const ParsedPage page = Parse(AllShowsReportHtml({green, EveryColour(), gone}, "2 februari 2027, 09:05"));
    ASSERT_TRUE(page.wellFormed);
    ASSERT_GE(page.rows.size(), 4u);
    EXPECT_EQ(page.rows[0], (std::vector<std::string>{"Show", "Rood", "Geel 1", "Geel 2", "Groen", "Grootte (bytes)",
                                                      "Oordeel"}));
    EXPECT_EQ(page.rows[1], (std::vector<std::string>{"C:\\Shows\\A&B\\groen.ws4", "0", "0", "0", "3", "4.096",
                                                      "v groen licht"}));
    EXPECT_EQ(page.rows[2], (std::vector<std::string>{"C:\\Shows\\Rock & <Roll> \"live\"\\show.ws4", "1", "1", "1", "2",
                                                      "12.345.678", "x geen groen licht: rode bestanden"}));
    EXPECT_EQ(page.rows[3],
              (std::vector<std::string>{"C:\\Shows\\weg.ws4", "", "", "", "", "",
                                        "? niet gecontroleerd: de show bestaat niet"}));
    const std::vector<std::string> shows(page.headings.begin() + 1, page.headings.end());
    EXPECT_EQ(shows[0], "C:\\Shows\\A&B\\groen.ws4");
    EXPECT_EQ(std::count(shows.begin(), shows.end(), "C:\\Shows\\weg.ws4"), 1);
    EXPECT_EQ(shows.back(), "C:\\Shows\\weg.ws4");
}

TEST(ReportPage, EscapingNamesAndDates) {
    EXPECT_EQ(HtmlEscape("a&b<c>\"d'e"), "a&amp;b&lt;c&gt;&quot;d&#39;e");
    EXPECT_EQ(HtmlEscape(std::string("x\x01y\x7fz\xeb", 6)), "x&#xFFFD;y&#xFFFD;z\xeb");
    EXPECT_EQ(DutchDateTime(2026, 12, 7, 14, 9), "7 december 2026, 14:09");
    EXPECT_EQ(DutchDateTime(2027, 3, 31, 0, 0), "31 maart 2027, 00:00");
    EXPECT_EQ(ReportFileName("C:\\Shows\\Rock & Roll\\zomer.ws4"), "zomer - Zekerpad-rapport.html");
    EXPECT_EQ(ReportFileName("C:\\Shows\\geen.punt.ws4"), "geen.punt - Zekerpad-rapport.html");
    EXPECT_TRUE(LooksLikeReport(ShowReportHtml(EveryColour(), "nu").substr(0, 1024)));
    EXPECT_FALSE(LooksLikeReport("WS4\x01\x02 C:\\Shows\\a.wav"));
}

TEST(CommandLine, SplitAsWindowsProgramsDo) {
    using Args = std::vector<std::string>;
    EXPECT_EQ(ArgumentsOf("\"C:\\Program Files\\Zekerpad\\Zekerpad.exe\""), Args{});
    EXPECT_EQ(ArgumentsOf("Zekerpad.exe   "), Args{});
    EXPECT_EQ(ArgumentsOf("\"C:\\P F\\Zekerpad.exe\" /controleer \"D:\\Mijn shows\\a.ws4\" /rapport r.html"),
              (Args{"/controleer", "D:\\Mijn shows\\a.ws4", "/rapport", "r.html"}));
    EXPECT_EQ(ArgumentsOf("z.exe \"C:\\Shows\\\\\" x"), (Args{"C:\\Shows\\", "x"}));
    EXPECT_EQ(ArgumentsOf("z.exe a\\\"b \"c\"\"d\" e\\\\f"), (Args{"a\"b", "c\"d", "e\\\\f"}));
    EXPECT_EQ(ArgumentsOf("z.exe \"\""), (Args{""}));
}

TEST(CommandLine, CheckCommandAndItsMistakes) {
    using Mode = CheckCommand::Mode;
    EXPECT_EQ(ParseCheckCommand({}).mode, Mode::Wizard);
    // A show handed to the program.
    EXPECT_EQ(ParseCheckCommand({"D:\\Mijn shows\\a.ws4"}).mode, Mode::Wizard);
    EXPECT_EQ(ParseCheckCommand({"D:\\Mijn shows\\a.ws4"}).show, "D:\\Mijn shows\\a.ws4");

    CheckCommand c = ParseCheckCommand({"/CONTROLEER", "C:\\a.ws4"});
    EXPECT_EQ(c.mode, Mode::Check);
    EXPECT_EQ(c.show, "C:\\a.ws4");
    EXPECT_EQ(c.report, "");
    c = ParseCheckCommand({"/controleer", "C:\\a.ws4", "/Rapport", "C:\\r.html"});
    EXPECT_EQ(c.mode, Mode::Check);
    EXPECT_EQ(c.report, "C:\\r.html");
    EXPECT_FALSE(c.checkContents);
    // /nakijken before or after the report.
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"/controleer", "C:\\a.ws4", "/NAKIJKEN"},
             {"/controleer", "C:\\a.ws4", "/rapport", "C:\\r.html", "/nakijken"},
             {"/controleer", "C:\\a.ws4", "/nakijken", "/rapport", "C:\\r.html"}}) {
        c = ParseCheckCommand(args);
        EXPECT_EQ(c.mode, Mode::Check) << args.size();
        EXPECT_TRUE(c.checkContents) << args.size();
        EXPECT_EQ(c.report, args.size() == 3 ? "" : "C:\\r.html");
    }

    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"/controleer"}, {"/controleer", ""}, {"/controleer", "/rapport", "r.html"},
             {"/controleer", "a.ws4", "/rapport"}, {"/controleer", "a.ws4", "/rapport", "/x"},
             {"/controleer", "a.ws4", "extra"}, {"a.ws4", "b.ws4"}, {"/rapport", "r.html"}, {"/?"},
             {"/controleer", "a.ws4", "/nakijken", "/nakijken"},
             {"/controleer", "a.ws4", "/rapport", "r.html", "/rapport", "s.html"}, {"/nakijken", "a.ws4"}}) {
        c = ParseCheckCommand(wrong);
        EXPECT_EQ(c.mode, Mode::Wrong) << wrong.size() << " " << wrong[0];
        EXPECT_FALSE(c.why.empty());
    }

    c = ParseCheckCommand({"/Back-Up", "C:\\Shows\\a.ws4", "E:\\"});
    EXPECT_EQ(c.mode, Mode::Backup);
    EXPECT_EQ(c.show, "C:\\Shows\\a.ws4");
    EXPECT_EQ(c.backup, "E:\\");
    // Its mistakes never open a window either.
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"/back-up"}, {"/back-up", "a.ws4"}, {"/back-up", "a.ws4", ""}, {"/back-up", "/nakijken", "E:\\"},
             {"/back-up", "a.ws4", "E:\\", "/nakijken"}, {"/back-up", "a.ws4", "E:\\Back-up\""}}) {
        c = ParseCheckCommand(wrong);
        EXPECT_EQ(c.mode, Mode::Wrong) << wrong.size();
        EXPECT_FALSE(c.why.empty());
        EXPECT_TRUE(IsScriptCommand(wrong));
    }
}
