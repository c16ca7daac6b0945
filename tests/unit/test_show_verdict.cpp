// When a show gets no green light although nothing in it is red or
// yellow: no file name found at all, or files on a network share.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/chunk_scan.h"
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

// Every spelling that names a server or a volume by its GUID is off the
// show's drives; the prefixes that name a local drive or a device are not.
TEST(ShowVerdict, EverySpellingOfANetworkPath) {
    const struct {
        std::string text;
        bool network;
    } cases[] = {
        {"\\\\nas\\media\\x.wav", true},
        {"\\\\?\\UNC\\nas\\media\\x.wav", true},
        {"\\\\.\\UNC\\nas\\media\\x.wav", true},
        {"\\\\?\\unc\\nas\\media\\x.wav", true},
        {"//nas/media/x.wav", true},
        {"\\\\nas\\media/x.wav", true},
        {"/\\nas/media\\x.wav", true},
        {"\\\\?\\Volume{3f2504e0-4f89-11d3-9a0c-0305e82c3301}\\Shows\\x.wav", true},
        {"\\\\?\\C:\\Shows\\x.wav", false},
        {"\\\\.\\C:\\Shows\\x.wav", false},
        {"\\\\.\\pipe\\x", false},
        {"\\\\?\\UNC\\nas\\media\\", false},
        {"\\\\?\\UNC\\nas", false},
        {"\\\\?\\Volume{3f2504e0}", false},
        {"//nas/media/", false},
        {"http://www.example.com/show/x.wav", false},
        {"C:/Shows//nas/media/x.wav", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NetworkPaths("WS4\0"s + c.text + "\0"s), c.network ? Strings{c.text} : Strings{}) << c.text;
    // A server or share not named within the first 1000 characters.
    EXPECT_EQ(NetworkPaths("\\\\" + std::string(1000, 's') + "\\share\\x.wav"), Strings{});
}

// Read piece by piece, a show gives exactly the references and network
// paths of the whole: pieces of every size against references that cross
// their edges, nest, run past 1000 characters or end at the show's end.
TEST(ShowVerdict, AShowReadInPiecesGivesWhatTheWholeGives) {
    std::string mixed = "WS4\0C:\\Shows\\a.wav\0x\\\\nas\\media\\b.wav\0"s + std::string(1500, 'q') + "D:\\" +
                        std::string(1200, 'r') + "\0//nas/m/c.wav\0C:\\x\\\\nas\\s\\d\0"s + "e:\\f:\\g.jpg";
    // Bytes that make references likely, from a fixed sequence.
    std::string noisy;
    unsigned seed = 12345;
    const char alphabet[] = {'C', 'x', ':', '\\', '/', '\0', '?', '.', 'U', 'N'};
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        noisy += alphabet[(seed >> 16) % sizeof alphabet];
    }
    for (const std::string& show : {mixed, noisy, "\\\\"s, "C:\\"s, ""s}) {
        const Strings wholeRefs = DriveReferences(show);
        const Strings wholeNetwork = NetworkPaths(show);
        for (size_t chunk : {1, 2, 3, 7, 999, 1000, 1001, 4096, 100000}) {
            SCOPED_TRACE(chunk);
            size_t at = 0;
            Strings refs, network;
            ScanInChunks(
                chunk,
                [&](char* buffer, size_t max) {
                    const size_t n = std::min(max, show.size() - at);
                    std::copy(show.begin() + static_cast<std::ptrdiff_t>(at),
                              show.begin() + static_cast<std::ptrdiff_t>(at + n), buffer);
                    at += n;
                    return n;
                },
                [&](std::string_view ref) { refs.emplace_back(ref); }, network);
            EXPECT_EQ(refs, wholeRefs);
            EXPECT_EQ(network, wholeNetwork);
        }
    }
    EXPECT_EQ(NetworkPaths(mixed), (Strings{"\\\\nas\\media\\b.wav", "//nas/m/c.wav"}));
    EXPECT_EQ(DriveReferences(mixed).size(), 5u);
}
