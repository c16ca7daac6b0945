// The analysis page in the real wizard: the scan of real shows on the Wine
// drives, the result tree read back from the control, the explanation, the
// shared results and the run log.
#include <windows.h>
#include <commctrl.h>
#include <direct.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "files/file_reference.h"
#include "wizard/page_base.h"
#include "services/run_log.h"
#include "services/state.h"
#include "common/win_raii.h"
#include "resource.h"
#include "support/test_support.h"

using namespace std::string_literals;

namespace {

constexpr int kAnalysisPage = 2;

// Texts with their image, "text|image", for compact comparisons.
std::vector<std::string> Labels(const std::vector<TreeItem>& items) {
    std::vector<std::string> labels;
    for (const auto& i : items) {
        labels.push_back(i.text + "|" + std::to_string(i.image));
        EXPECT_EQ(i.image, i.selectedImage) << i.text;
    }
    return labels;
}

using Strings = std::vector<std::string>;

std::vector<std::string> Paths(const CFileReferenceList& list) {
    Strings paths;
    for (const auto& r : list) paths.push_back(r->m_csPath);
    return paths;
}

std::string Explanation(int red, int yellow, int green, const std::string& total) {
    return "Toelichting\nRood\t bestand is niet gevonden (" + std::to_string(red) +
           " keer)\nGeel\t bestand is gevonden, maar staat op een mogelijk riskante plaats (" +
           std::to_string(yellow) + " keer)\nGroen\t bestand is gevonden en staat op een veilige plaats (" +
           std::to_string(green) + " keer)\nDe show en de gevonden bestanden zijn tezamen " + total +
           " bytes groot.\n";
}

std::string CountLines(int green, int y1, int y2, int yellow, int red, int other) {
    return "-> groen   - " + std::to_string(green) + "\n\r-> geel 1  - " + std::to_string(y1) +
           "\n\r-> geel 2  - " + std::to_string(y2) + "\n\r-> geel    - " + std::to_string(yellow) +
           "\n\r-> rood    - " + std::to_string(red) + "\n\r-> overige - " + std::to_string(other) +
           "\n\rEinde analyse\n\r";
}

size_t Occurrences(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class AnalysisPage : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteFileA(kRunLogPath);
        ASSERT_TRUE(OpenRunLog());
    }
    void TearDown() override { CloseRunLog(); }

    // The log so far; the log is reopened after reading it.
    std::string Log() {
        CloseRunLog();
        std::string bytes = ReadWholeFile(kRunLogPath);
        EXPECT_TRUE(OpenRunLog());
        return bytes;
    }
    void ClearLog() {
        CloseRunLog();
        ::DeleteFileA(kRunLogPath);
        EXPECT_TRUE(OpenRunLog());
    }

    void Analyse(const std::string& show) {
        g_csRecentFile = show;
        // Leaving the selection page takes its field as the show: put it
        // there too when the wizard stands on that page.
        if (wizard.CurrentIndex() == 1) ::SetDlgItemTextA(wizard.CurrentPage(), IDC_SHOW_EDIT, show.c_str());
        wizard.GoTo(kAnalysisPage);
        ASSERT_EQ(wizard.CurrentIndex(), kAnalysisPage);
    }

    HWND Page() const { return wizard.CurrentPage(); }
    HWND Tree() const { return ::GetDlgItem(Page(), IDC_TREE); }
    std::string Text() const {
        char buf[2000] = {};
        ::GetDlgItemTextA(Page(), IDC_TEXT, buf, sizeof buf);
        return buf;
    }

    MessageBoxRecorder boxes;
    WizardHarness wizard;
};

}  // namespace

// The show of the five references: one of each colour, on C: and D:.
TEST_F(AnalysisPage, FiveReferencesOnTwoDrives) {
    ScratchFolder shows("C:\\ZkAnaFive");
    ScratchFolder pics("D:\\ZkAnaFive");
    const std::string demo = shows / "Shows\\Demo";
    ASSERT_TRUE(MakeFolderTree(demo + "\\Audio"));
    ASSERT_TRUE(MakeFolderTree(shows / "Music"));
    ASSERT_TRUE(WriteWholeFile(demo + "\\a.wav", std::string(100, 'a')));
    ASSERT_TRUE(WriteWholeFile(demo + "\\Audio\\b.wav", std::string(200, 'b')));
    ASSERT_TRUE(WriteWholeFile(shows / "Music\\c.mp3", std::string(300, 'c')));
    ASSERT_TRUE(WriteWholeFile(pics / "d.jpg", std::string(400, 'd')));
    const Strings refs = {demo + "\\a.wav", demo + "\\Audio\\b.wav", shows / "Music\\c.mp3", pics / "d.jpg",
                          demo + "\\e.bmp"};
    const std::string show = demo + "\\demo.ws4";
    ASSERT_TRUE(WriteWholeFile(show, ShowFileBytes(refs, 10000)));

    Analyse(show);

    EXPECT_EQ(g_nGreen, 2);
    EXPECT_EQ(g_nYellow, 2);
    EXPECT_EQ(g_nYellow1, 1);
    EXPECT_EQ(g_nYellow2, 1);
    EXPECT_EQ(g_nRed, 1);
    EXPECT_EQ(g_nOther, 0);
    EXPECT_EQ(Paths(g_aGreenFiles), Strings{refs[1]});
    EXPECT_EQ(Paths(g_aYellowFiles), (Strings{refs[2], refs[3]}));
    EXPECT_EQ(Paths(g_aRedFiles), Strings{refs[4]});
    EXPECT_EQ(g_nTotalBytes, 10000 + 100 + 200 + 300 + 400);
    EXPECT_EQ(g_szShowDrive, "C:");
    EXPECT_EQ(g_szShowDir, "\\ZkAnaFive\\Shows\\Demo\\");
    EXPECT_TRUE(g_bAnalysed);
    EXPECT_EQ(g_csAnalysedFile, show);

    const auto root = ReadTree(Tree(), nullptr);
    ASSERT_EQ(Labels(root), Strings{show + "|0"});
    EXPECT_TRUE(root[0].expanded);
    const auto& groups = root[0].children;
    ASSERT_EQ(Labels(groups), (Strings{"Afbeeldingen|2", "Geluidsbestanden|1", "Overige bestanden|0"}));
    EXPECT_EQ(Labels(groups[0].children), (Strings{demo + "\\e.bmp|3", pics / "d.jpg|4"}));
    EXPECT_EQ(Labels(groups[1].children),
              (Strings{".\\Audio\\b.wav|5", shows / "Music\\c.mp3|4", demo + "\\a.wav|5"}));
    EXPECT_TRUE(groups[2].children.empty());
    EXPECT_TRUE(groups[0].expanded && groups[1].expanded);
    EXPECT_TRUE(::IsWindowEnabled(Tree()));
    EXPECT_EQ(::SendMessageA(Tree(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0),
              ::SendMessageA(Tree(), TVM_GETNEXTITEM, TVGN_ROOT, 0))
        << "the show's node is the first in view";

    EXPECT_EQ(Text(), Explanation(1, 2, 2, "11.000"));
    EXPECT_TRUE(boxes.Boxes().empty());

    // The log, byte for byte.
    EXPECT_EQ(Log(), "CTestPropPage02::OnInitDialog\n\r-> CTestPropPage02::OnSetActive - Analyse\n\r"
                     "-> Start analyse - " + show + "\n\r" + CountLines(2, 1, 1, 2, 1, 0));
}

TEST_F(AnalysisPage, KindsPlacesAndDuplicates) {
    ScratchFolder dir("C:\\ZkAnaKinds");
    ScratchFolder farDrive("D:\\ZkAnaKinds");
    const std::string show = dir / "Show\\show.ws4";
    ASSERT_TRUE(MakeFolderTree(dir / "Show\\Sub\\Deeper"));
    ASSERT_TRUE(MakeFolderTree(dir / "Show2"));
    ASSERT_TRUE(WriteWholeFile(dir / "Show\\other.ws4", "x"));
    ASSERT_TRUE(WriteWholeFile(dir / "Show\\Sub\\Deeper\\notes.txt", "xy"));
    ASSERT_TRUE(WriteWholeFile(dir / "Show2\\beside.gif", "xyz"));
    ASSERT_TRUE(WriteWholeFile(dir / "up.001", "wxyz"));
    ASSERT_TRUE(WriteWholeFile(farDrive / "x.doc", "12345"));
    const Strings refs = {
        dir / "Show\\other.ws4",              // a show: beside the show's node, green
        dir / "Show\\Sub\\Deeper\\notes.txt",  // other, green at depth two
        dir / "Show2\\beside.gif",            // Show2 is no subfolder of Show: yellow 1
        dir / "up.001",                       // the folder above: yellow 1
        farDrive / "x.doc",                        // other drive: yellow 2
        dir / "Show\\gone.txt",               // other and missing: red
        dir / "Show\\gone.txt",               // named twice: counts twice
    };
    ASSERT_TRUE(WriteWholeFile(show, ShowFileBytes(refs, 0)));

    Analyse(show);

    EXPECT_EQ(g_nGreen, 2);
    EXPECT_EQ(g_nYellow, 3);
    EXPECT_EQ(g_nYellow1, 2);
    EXPECT_EQ(g_nYellow2, 1);
    EXPECT_EQ(g_nRed, 2);
    EXPECT_EQ(g_nOther, 4);
    EXPECT_EQ(g_aRedFiles.size(), 2u);
    EXPECT_EQ(Paths(g_aGreenFiles), Strings{refs[1]});
    const auto root = ReadTree(Tree(), nullptr);
    ASSERT_EQ(root.size(), 2u);
    EXPECT_EQ(Labels(root), (Strings{refs[0] + "|5", show + "|0"})) << "C:\\ZkAnaKinds\\Show\\o < s";
    const auto& groups = root[1].children;
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(Labels(groups[0].children), (Strings{refs[2] + "|4", refs[3] + "|4"}));
    EXPECT_EQ(Labels(groups[2].children),
              (Strings{".\\Sub\\Deeper\\notes.txt|5", refs[5] + "|3", refs[5] + "|3", refs[4] + "|4"}));
    EXPECT_EQ(Text(), Explanation(2, 3, 2, std::to_string(ShowFileBytes(refs, 0).size() + 1 + 2 + 3 + 4 + 5)));
}

// ".." in a reference: the colour follows where the file really lies, the
// tree, the lists and the log keep what the show wrote.
TEST_F(AnalysisPage, DotDotReferencesAreJudgedByWhereTheFileLies) {
    ScratchFolder dir("C:\\ZkAnaDots");
    const std::string demo = dir / "Shows\\Demo";
    ASSERT_TRUE(MakeFolderTree(demo + "\\Audio"));
    ASSERT_TRUE(MakeFolderTree(dir / "Shows\\Muziek"));
    ASSERT_TRUE(WriteWholeFile(dir / "Shows\\Muziek\\x.wav", "x"));
    ASSERT_TRUE(WriteWholeFile(demo + "\\a.wav", "a"));
    ASSERT_TRUE(WriteWholeFile(demo + "\\Audio\\b.wav", "b"));
    const Strings refs = {demo + "\\..\\Muziek\\x.wav", demo + "\\Audio\\..\\a.wav",
                          demo + "\\Oud\\..\\Audio\\b.wav"};
    const std::string show = demo + "\\demo.ws4";
    ASSERT_TRUE(WriteWholeFile(show, ShowFileBytes(refs, 0)));

    Analyse(show);

    EXPECT_EQ(g_nYellow1, 1);
    EXPECT_EQ(g_nGreen, 2);
    EXPECT_EQ(Paths(g_aYellowFiles), Strings{"C:\\ZkAnaDots\\Shows\\Demo\\..\\Muziek\\x.wav"});
    EXPECT_EQ(Paths(g_aGreenFiles), Strings{"C:\\ZkAnaDots\\Shows\\Demo\\Oud\\..\\Audio\\b.wav"});
    const auto root = ReadTree(Tree(), nullptr);
    ASSERT_EQ(root.size(), 1u);
    EXPECT_EQ(Labels(root[0].children[1].children),
              (Strings{".\\Audio\\b.wav|5", "C:\\ZkAnaDots\\Shows\\Demo\\..\\Muziek\\x.wav|4",
                       "C:\\ZkAnaDots\\Shows\\Demo\\Audio\\..\\a.wav|5"}));
    EXPECT_NE(Log().find(CountLines(2, 1, 0, 1, 0, 0)), std::string::npos);
}

// A file another program holds is there and only busy; one the user may
// not read is missing for this user, as a back-up would miss it too.
TEST_F(AnalysisPage, ABusyFileIsPresentAnUnreadableOneIsRed) {
    ScratchFolder dir("C:\\ZkAnaDenied");
    const std::string busy = dir / "bezet.wav", denied = dir / "geweigerd.jpg";
    ASSERT_TRUE(WriteWholeFile(busy, "bezet"));
    ASSERT_TRUE(WriteWholeFile(denied, "geweigerd"));
    const std::string show = dir / "show.ws4";
    ASSERT_TRUE(WriteWholeFile(show, ShowFileBytes({busy, denied}, 0)));
    UniqueFile heldBusy = HoldOpen(busy, 0), heldDenied = HoldOpen(denied, 0);
    ASSERT_TRUE(heldBusy && heldDenied);
    AccessDeniedFiles refused({denied});

    Analyse(show);

    EXPECT_EQ(g_nGreen, 1);
    EXPECT_EQ(g_nRed, 1);
    EXPECT_EQ(Paths(g_aRedFiles), Strings{denied});
    const auto groups = ReadTree(Tree(), nullptr)[0].children;
    EXPECT_EQ(Labels(groups[0].children), Strings{denied + "|3"});
    EXPECT_EQ(Labels(groups[1].children), Strings{busy + "|5"});
}

// The line below the counts when not one file name was found.
const char kNoNames[] = "In deze show is geen enkele bestandsnaam gevonden. Is dit wel een Wings-show?\n";

TEST_F(AnalysisPage, NoReferencesAndAMissingFileNamedTwice) {
    ScratchFolder dir("C:\\ZkAnaCounts");
    const std::string empty = dir / "empty.ws4";
    ASSERT_TRUE(WriteWholeFile(empty, std::string(12345, 'q') + "C:" + "c:/x" + std::string(3, '\0')));
    const size_t emptyLength = 12345 + 2 + 4 + 3;
    ASSERT_EQ(emptyLength, 12354u);

    Analyse(empty);
    EXPECT_EQ(Text(), Explanation(0, 0, 0, "12.354") + kNoNames);
    EXPECT_EQ(Occurrences(Text(), "(0 keer)"), 3u);
    const auto root = ReadTree(Tree(), nullptr);
    ASSERT_EQ(root.size(), 1u);
    for (const auto& group : root[0].children) EXPECT_TRUE(group.children.empty()) << group.text;

    // The counts are of references, not of files.
    const std::string twice = dir / "twice.ws4";
    const std::string gone = dir / "gone.wav";
    ASSERT_TRUE(WriteWholeFile(twice, ShowFileBytes({gone, gone}, 0)));
    Analyse(twice);
    EXPECT_NE(Text().find("niet gevonden (2 keer)"), std::string::npos) << Text();
    EXPECT_EQ(g_aRedFiles.size(), 2u);

    // An empty show file: the four nodes, nothing counted, nothing in total.
    const std::string nothing = dir / "nothing.ws4";
    ASSERT_TRUE(WriteWholeFile(nothing, ""));
    Analyse(nothing);
    EXPECT_EQ(Text(), Explanation(0, 0, 0, "0") + kNoNames);
    EXPECT_TRUE(g_aRedFiles.empty());
    EXPECT_TRUE(boxes.Boxes().empty());
}

// "nul.wav" and "aux.wav" are ordinary names on a Mac, and each opens a
// device on Windows: red, with the reason below the counts.
TEST_F(AnalysisPage, DeviceNamesAreRedWithTheirReason) {
    ScratchFolder dir("C:\\ZkAnaDevice");
    ASSERT_TRUE(MakeFolderTree(dir / "Audio"));
    ASSERT_TRUE(WriteWholeFile(dir / "a.wav", "RIFF"));
    const std::string show = dir / "show.ws4";
    ASSERT_TRUE(WriteWholeFile(show, ShowFileBytes({dir / "a.wav", dir / "nul.wav", dir / "Audio\\NUL"}, 0)));

    Analyse(show);
    EXPECT_EQ(g_nRed, 2);
    EXPECT_EQ(g_nGreen, 1);
    EXPECT_EQ(Text().substr(Text().find("Let op")),
              "Let op: 2 rode bestanden hebben in het pad een naam die Windows voor een apparaat gebruikt (CON, "
              "PRN, AUX, NUL, COM1 tot en met COM9 of LPT1 tot en met LPT9, ook met een extensie erachter). "
              "Windows opent dan het apparaat en niet het bestand. Geef die bestanden of mappen een andere naam "
              "en laat Wings ze opnieuw zoeken. Het eerste:\nC:\\ZkAnaDevice\\nul.wav\n");
}

namespace {
// Which lamps a page's traffic light lights, as its own drawing puts them
// on a bitmap: "rood", "geel", "groen", "" for none.
std::string LitLamps(HWND page) {
    auto* base = static_cast<CTestPropPageBasis*>(CPropertyPage::FromHwnd(page));
    RECT client{};
    ::GetClientRect(page, &client);
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, client.right, client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueGdiObject bitmap(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedSelect select(dc.get(), bitmap.get());
    base->DrawStatus(dc.get());
    std::string lit;
    const struct {
        const RECT& lamp;
        COLORREF on;
        const char* name;
    } lamps[] = {{base->m_rcRed, RGB(250, 0, 0), "rood"},
                 {base->m_rcYellow, RGB(250, 250, 0), "geel"},
                 {base->m_rcGreen, RGB(0, 250, 0), "groen"}};
    for (const auto& l : lamps)
        if (::GetPixel(dc.get(), (l.lamp.left + l.lamp.right) / 2, (l.lamp.top + l.lamp.bottom) / 2) == l.on)
            lit += std::string(lit.empty() ? "" : " ") + l.name;
    return lit;
}
}  // namespace

// The lamp says what the verdict says, on the analysis page and on the
// closing page: a show that plays files from the network, or names none
// at all, gets no green lamp.
TEST_F(AnalysisPage, TheLampAgreesWithTheVerdictOnEveryPage) {
    ScratchFolder dir("C:\\ZkAnaLamp");
    ASSERT_TRUE(WriteWholeFile(dir / "a.wav", "RIFF"));
    const struct {
        const char* name;
        std::string bytes;
        const char* lamps;
    } shows[] = {
        {"groen.ws4", ShowFileBytes({dir / "a.wav"}), "groen"},
        {"netwerk.ws4", ShowFileBytes({dir / "a.wav", "\\\\nas\\media\\x.wav"}), "geel"},
        {"leeg.ws4", "WS4", ""},
        {"rood.ws4", ShowFileBytes({dir / "a.wav", dir / "weg.wav"}), "rood"},
    };
    for (const auto& show : shows) {
        SCOPED_TRACE(show.name);
        ASSERT_TRUE(WriteWholeFile(dir / show.name, show.bytes));
        wizard.GoTo(1);
        Analyse(dir / show.name);
        EXPECT_EQ(LitLamps(Page()), show.lamps);
        wizard.GoTo(7);
        ASSERT_EQ(wizard.CurrentIndex(), 7);
        EXPECT_EQ(LitLamps(wizard.CurrentPage()), show.lamps);
    }
}

TEST_F(AnalysisPage, ScansOnlyWhenTheResultsAreNotCurrent) {
    ScratchFolder dir("C:\\ZkAnaRescan");
    const std::string show = dir / "show.ws4";
    const std::string gone = dir / "gone.bmp";
    ASSERT_TRUE(WriteWholeFile(show, ShowFileBytes({gone}, 100)));
    Analyse(show);
    ASSERT_EQ(g_nRed, 1);
    ASSERT_EQ(Occurrences(Log(), "Start analyse"), 1u);

    // Next to the red page and Back again: the same results, no new scan,
    // even though the show has changed meanwhile.
    ASSERT_TRUE(WriteWholeFile(show, ShowFileBytes({}, 100)));
    wizard.Press(PSBTN_NEXT);
    ASSERT_EQ(wizard.CurrentIndex(), 3);
    wizard.Press(PSBTN_BACK);
    ASSERT_EQ(wizard.CurrentIndex(), kAnalysisPage);
    EXPECT_EQ(Occurrences(Log(), "Start analyse"), 1u);
    EXPECT_EQ(g_nRed, 1);
    EXPECT_EQ(Text(), Explanation(1, 0, 0, "100"));
    EXPECT_EQ(ReadTree(Tree(), nullptr)[0].children[0].children.size(), 1u);

    // The same show in other letters is the same show.
    g_csRecentFile = "c:\\zkanarescan\\SHOW.ws4";
    wizard.Press(PSBTN_NEXT);
    wizard.Press(PSBTN_BACK);
    EXPECT_EQ(Occurrences(Log(), "Start analyse"), 1u);

    // Back to the selection page and forward again: a fresh scan.
    g_csRecentFile = show;
    wizard.Press(PSBTN_BACK);
    ASSERT_EQ(wizard.CurrentIndex(), 1);
    ::SetDlgItemTextA(wizard.CurrentPage(), IDC_SHOW_EDIT, show.c_str());
    wizard.Press(PSBTN_NEXT);
    ASSERT_EQ(wizard.CurrentIndex(), kAnalysisPage);
    EXPECT_EQ(Occurrences(Log(), "Start analyse"), 2u);
    EXPECT_EQ(g_nRed, 0);
    EXPECT_EQ(Text(), Explanation(0, 0, 0, "100") + kNoNames);
    EXPECT_TRUE(ReadTree(Tree(), nullptr)[0].children[0].children.empty());
}

// A show that cannot be read is no analysed show: nothing may pass for
// results, and the user is told why.
TEST_F(AnalysisPage, AShowThatCannotBeReadIsNotAnalysed) {
    ScratchFolder dir("C:\\ZkAnaFail");
    const std::string good = dir / "good.ws4";
    const std::string bad = dir / "bad.ws4";
    ASSERT_TRUE(WriteWholeFile(good, ShowFileBytes({dir / "gone.wav"}, 50)));
    ASSERT_TRUE(WriteWholeFile(bad, ShowFileBytes({good}, 60)));
    Analyse(good);
    ASSERT_TRUE(g_bAnalysed);
    ASSERT_EQ(g_aRedFiles.size(), 1u);

    struct Case {
        const char* what;
        DWORD share;           // how another program holds the show; ~0 for not at all
        std::string path;
        std::string message;  // how the box begins
    };
    const Case cases[] = {
        {"held for reading", FILE_SHARE_READ, bad,
         "De show is in gebruik bij een ander programma (bijvoorbeeld Wings) en kan nu niet worden gelezen.\n" +
             bad + "\n\n"},
        {"held exclusively", 0, bad,
         "De show is in gebruik bij een ander programma (bijvoorbeeld Wings) en kan nu niet worden gelezen.\n" +
             bad + "\n\n"},
        {"missing", ~DWORD{0}, dir / "missing.ws4", "Het opgegeven Wings-bestand bestaat niet!\n" + dir / "missing.ws4"},
        {"a folder", ~DWORD{0}, dir.Path(), "Het opgegeven Wings-bestand bestaat niet!\n" + dir.Path()},
        {"no path", ~DWORD{0}, "", "Het opgegeven Wings-bestand bestaat niet!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UniqueFile held;
        if (c.share != ~DWORD{0}) {
            held = HoldOpen(c.path, c.share);
            ASSERT_TRUE(held);
        }
        const size_t before = boxes.Boxes().size();
        wizard.GoTo(1);
        ClearLog();
        Analyse(c.path);

        ASSERT_EQ(boxes.Boxes().size(), before + 1);
        const auto& box = boxes.Boxes().back();
        EXPECT_EQ(box.text.substr(0, c.message.size()), c.message);
        if (c.share != ~DWORD{0}) {
            EXPECT_GT(box.text.size(), c.message.size()) << "the system's reason";
        }
        EXPECT_EQ(box.type, static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_FALSE(g_bAnalysed);
        EXPECT_EQ(g_csAnalysedFile, good) << "still names the last show analysed";
        EXPECT_TRUE(g_aRedFiles.empty()) << "no records of another show";
        EXPECT_EQ(g_nRed + g_nYellow + g_nGreen, 0);
        EXPECT_NE(Text().find("De analyse kon niet worden uitgevoerd"), std::string::npos) << Text();
        EXPECT_FALSE(::IsWindowEnabled(Tree()));
        PumpMessages();
        EXPECT_FALSE(wizard.IsButtonEnabled(WizardHarness::kNext)) << "nothing to go on to";
        EXPECT_TRUE(wizard.IsButtonEnabled(WizardHarness::kBack));
        const std::string log = Log();
        EXPECT_NE(log.find("-> Start analyse - " + c.path + "\n\r"), std::string::npos);
        EXPECT_EQ(log.find("Einde analyse"), std::string::npos);
    }

    // Once the show is free again, the next visit analyses it.
    wizard.GoTo(1);
    Analyse(bad);
    EXPECT_TRUE(g_bAnalysed);
    EXPECT_EQ(g_csAnalysedFile, bad);
    EXPECT_EQ(g_nYellow, 0);
    EXPECT_EQ(g_nGreen, 1);
    PumpMessages();
    EXPECT_TRUE(wizard.IsButtonEnabled(WizardHarness::kNext));
}

// "C:demo.ws4" names the show relative to C:'s current folder; its files
// beside it are still green.
TEST_F(AnalysisPage, ShowPathRelativeToItsDrive) {
    ScratchFolder dir("C:\\ZkAnaRelative");
    ASSERT_TRUE(WriteWholeFile(dir / "a.wav", "abc"));
    ASSERT_TRUE(WriteWholeFile(dir / "demo.ws4", ShowFileBytes({dir / "a.wav"}, 0)));
    std::unique_ptr<char, decltype(&std::free)> saved(_getcwd(nullptr, 0), &std::free);
    ASSERT_EQ(_chdir(dir.Path().c_str()), 0);

    Analyse("C:demo.ws4");

    EXPECT_EQ(g_szShowDrive, "C:");
    EXPECT_EQ(g_szShowDir, "\\ZkAnaRelative\\");
    EXPECT_EQ(g_nGreen, 1);
    EXPECT_EQ(g_nYellow, 0);
    EXPECT_EQ(ReadTree(Tree(), nullptr)[0].text, "C:demo.ws4");
    _chdir(saved ? saved.get() : "C:\\");
}

// The control sorts; the page only hands the items over.
TEST_F(AnalysisPage, ManySiblingsComeOutSorted) {
    ScratchFolder dir("C:\\ZkAnaSorted");
    Strings refs;
    for (int i = 0; i < 60; ++i) {
        const int n = (i * 37) % 60;  // neither ascending nor descending
        refs.push_back(dir / ((n % 3 ? "Beeld" : "beeld") + std::to_string(n) + (n % 2 ? ".JPG" : ".bmp")));
    }
    refs.push_back(refs[5]);  // one twice
    ASSERT_TRUE(WriteWholeFile(dir / "show.ws4", ShowFileBytes(refs, 0)));

    Analyse(dir / "show.ws4");

    const auto images = ReadTree(Tree(), nullptr)[0].children[0].children;
    ASSERT_EQ(images.size(), refs.size());
    for (size_t i = 1; i < images.size(); ++i)
        EXPECT_LE(::lstrcmpiA(images[i - 1].text.c_str(), images[i].text.c_str()), 0)
            << images[i - 1].text << " before " << images[i].text;
}

namespace {

// Which pixels of a dot are its sign: each dot is drawn onto magenta (a
// colour none of them holds); the disc's fill is its commonest colour, and
// a pixel of the dot far from that colour is rim or sign. Rims are alike in
// every dot, so two dots differ here only by their signs.
std::vector<bool> SignPixels(int iconId, int size) {
    std::vector<bool> sign;
    HICON icon = static_cast<HICON>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconId), IMAGE_ICON, size, size, 0));
    if (!icon) return sign;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = size;
    bmi.bmiHeader.biHeight = -size;  // top row first
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    UniqueGdiObject bitmap(::CreateDIBSection(dc.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc || !bitmap || !bits) {
        ::DestroyIcon(icon);
        return sign;
    }
    auto* pixels = static_cast<uint32_t*>(bits);
    const uint32_t magenta = 0xFF00FF;
    const HGDIOBJ old = ::SelectObject(dc.get(), bitmap.get());
    std::fill(pixels, pixels + size * size, magenta);
    ::DrawIconEx(dc.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    ::GdiFlush();
    ::SelectObject(dc.get(), old);
    ::DestroyIcon(icon);

    std::map<uint32_t, int> counts;
    for (int i = 0; i < size * size; ++i)
        if ((pixels[i] & 0xFFFFFF) != magenta) ++counts[pixels[i] & 0xFFFFFF];
    uint32_t fill = 0;
    int most = 0;
    for (const auto& [colour, n] : counts)
        if (n > most) most = n, fill = colour;
    for (int i = 0; i < size * size; ++i) {
        const uint32_t p = pixels[i] & 0xFFFFFF;
        int distance = 0;
        for (int shift : {0, 8, 16}) distance += std::abs(static_cast<int>((p >> shift) & 0xFF) -
                                                          static_cast<int>((fill >> shift) & 0xFF));
        sign.push_back(p != magenta && distance > 96);
    }
    return sign;
}

}  // namespace

// About one man in twelve cannot tell the red dot from the green one: the
// dots carry a cross, an exclamation mark and a tick, at every size the
// tree's icons take (16 to 32 pixels, with the screen's DPI).
TEST(ResultDots, DifferInShapeAsWellAsColourAtEverySize) {
    for (int size : {16, 20, 24, 32}) {
        const std::vector<bool> red = SignPixels(IDI_DOT_RED, size), yellow = SignPixels(IDI_DOT_YELLOW, size),
                                green = SignPixels(IDI_DOT_GREEN, size);
        const size_t pixels = static_cast<size_t>(size * size);
        ASSERT_EQ(red.size(), pixels) << size;
        ASSERT_EQ(yellow.size(), pixels) << size;
        ASSERT_EQ(green.size(), pixels) << size;
        auto differing = [](const std::vector<bool>& a, const std::vector<bool>& b) {
            size_t n = 0;
            for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
            return n;
        };
        // A tenth of the icon at least: more than a blurred edge.
        EXPECT_GE(differing(red, yellow), pixels / 10) << size << " pixels: red and yellow";
        EXPECT_GE(differing(red, green), pixels / 10) << size << " pixels: red and green";
        EXPECT_GE(differing(yellow, green), pixels / 10) << size << " pixels: yellow and green";
    }
}

// A show copied by hand to a stick names its files on the PC it came from:
// the page says it is a copy and how to check it, and the colours keep
// their rules (all red here: the old folder is not on this PC).
TEST_F(AnalysisPage, AShowCopiedToAStickSaysWhatItIsACopyOf) {
    ScratchFolder stick("E:\\ZkAnaCopy");
    ASSERT_TRUE(MakeFolderTree(stick / "Demo\\Audio"));
    ASSERT_TRUE(WriteWholeFile(stick / "Demo\\Audio\\a.wav", std::string(100, 'a')));
    ASSERT_TRUE(WriteWholeFile(stick / "Demo\\b.jpg", std::string(200, 'b')));
    const std::string show = stick / "Demo\\demo.ws4";
    ASSERT_TRUE(WriteWholeFile(show, ShowFileBytes({"C:\\ZkAnaCopyOud\\Shows\\Demo\\Audio\\a.wav",
                                                    "C:\\ZkAnaCopyOud\\Shows\\Demo\\b.jpg",
                                                    "C:\\ZkAnaCopyOud\\Shows\\Demo\\weg.jpg"})));
    Analyse(show);
    EXPECT_EQ(g_nRed, 3);
    EXPECT_NE(Text().find("Deze show is een kopie van C:\\ZkAnaCopyOud\\Shows\\Demo; 2 van de 3 bestanden staan op "
                          "dezelfde plaats in deze kopie. Controleer de kopie met de knop 'Back-up of show "
                          "controleren...' op de eerste pagina.\n"),
              std::string::npos)
        << Text();
}
