// When a show gets no green light although nothing in it is red or
// yellow: no file name found at all, or files on a network share.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "analysis/ref_scan.h"
#include "analysis/show_verdict.h"
#include "report/report_html.h"

using namespace std::string_literals;

namespace {
using Strings = std::vector<std::string>;

// Scanned from a block of exactly the bytes' size: a read past the end
// trips ASan.
Strings NetworkPaths(const std::string& bytes) {
    const std::vector<char> block(bytes.begin(), bytes.end());
    return FindNetworkPaths(block.data(), block.size());
}

Strings DriveReferences(const std::string& bytes) {
    Strings refs;
    ForEachReference(bytes.data(), bytes.size(), [&](std::string_view ref) { refs.emplace_back(ref); });
    return refs;
}
}  // namespace

TEST(ShowVerdict, AShowWithoutASingleFileNameGetsNoGreenLight) {
    EXPECT_EQ(VerdictOfCounts(0, 0, 0, 0), Verdict::NoNames);
    EXPECT_EQ(VerdictOfCounts(0, 0, 1, 0), Verdict::Green);
    EXPECT_EQ(AnalysisNotes(0, 0, 0, {}),
              "In deze show is geen enkele bestandsnaam gevonden. Is dit wel een Wings-show?\n");
    EXPECT_EQ(AnalysisNotes(0, 0, 1, {}), "");

    ShowReport empty;
    empty.showPath = "C:\\Shows\\Leeg\\leeg.ws4";
    EXPECT_EQ(VerdictWords(empty), "geen groen licht: geen bestandsnamen gevonden");
    const std::string html = ShowReportHtml(empty, "1 januari 2027, 00:00");
    EXPECT_NE(html.find("Oordeel: geen groen licht: geen bestandsnamen gevonden</p>\n<p>In deze show is geen enkele bestandsnaam "
                        "gevonden. Is dit wel een Wings-show?</p>"),
              std::string::npos);
}

TEST(ShowVerdict, NetworkPathsAreFoundBesideTheAnalysisWhichStaysAsItWas) {
    const std::string show = "WS4\0"s
                             "\\\\server\\share\\intro.wav\0"s
                             "C:\\Shows\\Demo\\a.wav\0"s
                             "\x05\\\\NAS\\Muziek$\\Live 2026\\slot.mp3\0"s
                             "C:\\Shows\\\\server\\share\\x.wav\0"s  // a doubled backslash in a local path
                             "\\\\?\\C:\\lang.wav\0\\\\.\\pipe\\x\0"s    // no server
                             "\\\\server\\share\\\0\\\\server\\\\x.wav\0\\\\\\srv\\s\\x\0"s  // no file, no share
                             "\\\\srv\\s\\z.bmp"s;                      // ends at the end of the data
    EXPECT_EQ(NetworkPaths(show), (Strings{"\\\\server\\share\\intro.wav", "\\\\NAS\\Muziek$\\Live 2026\\slot.mp3",
                                           "\\\\srv\\s\\z.bmp"}));
    // What the analysis counts and shows in its tree: the drive-letter
    // references, exactly as without the network paths.
    EXPECT_EQ(DriveReferences(show), (Strings{"C:\\Shows\\Demo\\a.wav", "C:\\Shows\\\\server\\share\\x.wav",
                                              "C:\\lang.wav"}));
    EXPECT_EQ(NetworkPaths(""), Strings{});
    EXPECT_EQ(NetworkPaths("\\\\"), Strings{});
    EXPECT_EQ(NetworkPaths("\\\\a\\b\\" + std::string(1200, 'x')).at(0).size(), 1000u);

    // Green but for the network: no green light, and the page says how
    // many and names the first.
    EXPECT_EQ(VerdictOfCounts(0, 0, 3, 2), Verdict::Network);
    EXPECT_EQ(VerdictOfCounts(0, 0, 0, 1), Verdict::Network);
    EXPECT_EQ(VerdictOfCounts(1, 0, 3, 2), Verdict::Red);
    EXPECT_EQ(AnalysisNotes(0, 0, 3, {"\\\\server\\share\\intro.wav", "\\\\NAS\\m\\b.wav"}),
              "Let op: de show verwijst 2 keer naar een bestand op het netwerk. Een kopie van de map van de show "
              "neemt zulke bestanden niet mee; zet ze in de map van de show en laat Wings ze daar opnieuw zoeken.\n"
              "Het eerste: \\\\server\\share\\intro.wav\n");

    ShowReport report;
    report.counts.green = 3;
    report.networkPaths = {"\\\\server\\share\\R&B.wav"};
    EXPECT_EQ(VerdictWords(report), "geen groen licht: bestanden op het netwerk");
    const std::string html = ShowReportHtml(report, "1 januari 2027, 00:00");
    EXPECT_NE(html.find("Op het netwerk (1)</h2>"), std::string::npos);
    EXPECT_NE(html.find("<td class=\"pad\">\\\\server\\share\\R&amp;B.wav</td>"), std::string::npos);
}
