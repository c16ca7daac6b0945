// "Bestanden nakijken" from the analysis page, in the real wizard on real
// files: what its list and summary say, that a damaged file keeps green
// light away until a good copy is back and read, and that it stops where
// it is told. Damaged here means what every check calls damaged (nothing
// but zero bytes, nothing at all, a file that cannot be read); files it
// cannot judge have a kind no check knows.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "report/report_file.h"
#include "resource.h"
#include "services/run_log.h"
#include "services/state.h"
#include "support/test_support.h"

namespace {

constexpr int kSelectionPage = 1;
constexpr int kAnalysisPage = 2;
constexpr int kClosingPage = 7;
constexpr char kCaption[] = "Zekerpad - Bestanden nakijken";
constexpr char kShow[] = "C:\\ZkNakijken\\Show\\show.ws4";
constexpr char kSilence[] = "C:\\ZkNakijken\\Show\\Audio\\stilte.wav";
constexpr char kTitle[] = "C:\\ZkNakijken\\Show\\Plaatjes\\titel.bmp";
constexpr char kLocked[] = "C:\\ZkNakijken\\Show\\Overige\\slot.dat";
constexpr char kNotes[] = "C:\\ZkNakijken\\Show\\notities.txt";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A whole 1 x 1 picture: file header, info header, one pixel padded to 4.
std::string GoodBmp() {
    return std::string("BM\x3a\0\0\0\0\0\0\0\x36\0\0\0", 14) +
           std::string("\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x04\0\0\0\x13\x0b\0\0\x13\x0b\0\0\0\0\0\0\0\0\0\0",
                       40) +
           std::string("\x20\x40\xff\0", 4);
}

// A whole second of 8-bit mono sound at 8000 Hz.
std::string GoodWav() {
    const std::string data(8000, '\x80');
    return std::string("RIFF\x64\x1f\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0data\x40\x1f\0\0",
                       44) +
           data;
}

struct Row {
    std::string path, word, reason;
    bool operator==(const Row& o) const { return path == o.path && word == o.word && reason == o.reason; }
};
std::ostream& operator<<(std::ostream& os, const Row& r) { return os << r.path << " | " << r.word << " | " << r.reason; }

std::string Cell(HWND list, int item, int column) {
    std::vector<char> text(4096);
    ListView_GetItemText(list, item, column, text.data(), static_cast<int>(text.size()));
    return text.data();
}

std::vector<Row> Rows(HWND dialog) {
    HWND list = ::GetDlgItem(dialog, IDC_CC_LIST);
    std::vector<Row> rows;
    const int n = ListView_GetItemCount(list);
    for (int i = 0; i < n; ++i) rows.push_back({Cell(list, i, 0), Cell(list, i, 1), Cell(list, i, 2)});
    return rows;
}

// The save dialog of the report, answered with this file.
const char* s_reportAnswer = nullptr;
BOOL WINAPI AnswerSaveDialog(OPENFILENAMEA* ofn) {
    if (!s_reportAnswer || std::strlen(s_reportAnswer) + 1 > ofn->nMaxFile) return FALSE;
    lstrcpyA(ofn->lpstrFile, s_reportAnswer);
    return TRUE;
}

// The lines of the files in the analysis page's tree, each with its mark.
std::vector<std::string> FileLines(HWND page) {
    std::vector<std::string> lines;
    for (const TreeItem& show : ReadTree(::GetDlgItem(page, IDC_TREE)))
        for (const TreeItem& group : show.children)
            for (const TreeItem& file : group.children)
                lines.push_back(file.text + (file.image == 3 ? " | rood" : file.image == 5 ? " | groen" : " | ?"));
    return lines;
}

bool CheckEnded(HWND dialog) { return !IsEnabled(dialog, IDC_CC_STOP) && IsEnabled(dialog, IDCANCEL); }

class CheckContents : public ::testing::Test {
protected:
    CheckContents() : m_root("C:\\ZkNakijken") {}
    void SetUp() override {
        ASSERT_TRUE(MakeFolderTree(m_root / "Show\\Audio"));
        ASSERT_TRUE(MakeFolderTree(m_root / "Show\\Plaatjes"));
        ASSERT_TRUE(MakeFolderTree(m_root / "Show\\Overige"));
        ASSERT_TRUE(WriteWholeFile(kSilence, std::string(4096, '\0')));
        ASSERT_TRUE(WriteWholeFile(kTitle, ""));
        ASSERT_TRUE(WriteWholeFile(kLocked, "gegevens"));
        ASSERT_TRUE(WriteWholeFile(kNotes, "Licht uit bij dia 12."));
        ASSERT_TRUE(WriteWholeFile(kShow, ShowFileBytes({kSilence, kTitle, kLocked, kNotes, kSilence})));
        g_csSubmapAudio = "Audio";
        g_csSubmapPlaatjes = "Plaatjes";
        g_csSubmapOverige = "Overige";
        ASSERT_TRUE(OpenRunLog());
    }
    void TearDown() override { CloseRunLog(); }

    void Analyse() {
        m_wizard.GoTo(kSelectionPage);
        ::SetDlgItemTextA(m_wizard.CurrentPage(), IDC_SHOW_EDIT, kShow);
        m_wizard.GoTo(kAnalysisPage);
        ASSERT_EQ(m_wizard.CurrentIndex(), kAnalysisPage);
        ASSERT_EQ(g_nGreen, 5);
    }

    // Opens the dialog from the page, waits for the check to end, reads its
    // list and summary, and closes it.
    void RunCheck(std::vector<Row>& rows, std::string& summary) {
        HWND page = m_wizard.CurrentPage();
        ASSERT_TRUE(IsEnabled(page, IDC_CHECK_CONTENTS));
        ModalDriver driver(kCaption,
                           {[&](HWND dialog) {
                               rows = Rows(dialog);
                               summary = ItemText(dialog, IDC_CC_SUMMARY);
                               ClickDialogButton(dialog, IDCANCEL);
                           }},
                           &CheckEnded);
        ClickDialogButton(page, IDC_CHECK_CONTENTS);
        EXPECT_TRUE(driver.Done());
    }

    std::string ClosingText() {
        m_wizard.GoTo(kClosingPage);
        const std::string text = ItemText(m_wizard.CurrentPage(), IDC_TEXT);
        m_wizard.GoTo(kAnalysisPage);
        return text;
    }

    ScratchFolder m_root;
    MessageBoxRecorder m_boxes;
    WizardHarness m_wizard;
};

const char kDamageOnClosingPage[] =
    "Bij het nakijken van de bestanden zijn beschadigde bestanden gevonden; de show speelt ze niet goed af. Zet "
    "van elk een goede kopie terug en kijk de bestanden op de pagina Analyse en resultaten opnieuw na.\n";
const char kUnreadable[] =
    "onleesbaar: het bestand kan niet tot het einde worden gelezen; zet een goede kopie terug";
const char kUnknownKind[] =
    "onbekende soort: Zekerpad kan de opbouw van dit soort bestand niet nakijken; het is wel helemaal gelezen";

}  // namespace

TEST_F(CheckContents, DamageKeepsGreenLightAwayUntilAGoodCopyIsBackAndReadAgain) {
    LogWatch log;
    Analyse();
    EXPECT_TRUE(Contains(ClosingText(), "Gefeliciteerd!"));

    // Another program holds one file: it cannot be read.
    UniqueFile held = HoldOpen(kLocked, 0);
    ASSERT_TRUE(held);
    std::vector<Row> rows;
    std::string summary;
    RunCheck(rows, summary);
    ASSERT_EQ(rows.size(), 4u);
    // Each file once, though the show names one twice, in the show's order.
    EXPECT_EQ(rows[0].path, kSilence);
    EXPECT_EQ(rows[1].path, kTitle);
    EXPECT_EQ(rows[2], (Row{kLocked, "beschadigd", kUnreadable}));
    EXPECT_EQ(rows[3], (Row{kNotes, "niet te beoordelen", kUnknownKind}));
    for (int i : {0, 1}) {
        EXPECT_EQ(rows[i].word, "beschadigd");
        EXPECT_FALSE(rows[i].reason.empty());
    }
    EXPECT_TRUE(Contains(ItemText(m_wizard.CurrentPage(), IDC_TEXT),
                         "(5 keer)\nDe show en de gevonden bestanden zijn tezamen 8.404 bytes groot.\nLet op: bij het "
                         "nakijken bleken 3 bestanden beschadigd:\nC:\\ZkNakijken\\Show\\Audio\\stilte.wav en "
                         "nog 2\nZet van elk een goede kopie terug en kijk de bestanden opnieuw na.\n"))
        << ItemText(m_wizard.CurrentPage(), IDC_TEXT);
    // The tree marks each line of a damaged file, the sound named twice on both.
    EXPECT_EQ(FileLines(m_wizard.CurrentPage()),
              (std::vector<std::string>{".\\Plaatjes\\titel.bmp (beschadigd) | rood",
                                        ".\\Audio\\stilte.wav (beschadigd) | rood",
                                        ".\\Audio\\stilte.wav (beschadigd) | rood",
                                        ".\\Overige\\slot.dat (beschadigd) | rood",
                                        "C:\\ZkNakijken\\Show\\notities.txt | groen"}));
    EXPECT_EQ(summary, "Gelezen: 4 bestanden. Beschadigd: 3. Niet te beoordelen: 1.\nZet van elk "
                       "beschadigd bestand een goede kopie terug en kijk de bestanden daarna opnieuw na.");
    const std::string logged = log.Appended();
    EXPECT_TRUE(Contains(logged, "Start nakijken bestanden\n\r-> beschadigd - " + std::string(kSilence) + " (" +
                                     rows[0].reason + ")\n\r-> beschadigd - " + kTitle + " (" + rows[1].reason +
                                     ")\n\r-> beschadigd - " + kLocked + " (" + kUnreadable +
                                     ")\n\r-> aantal gelezen - 4\n\r-> aantal beschadigd - 3\n\r"
                                     "-> aantal let op - 0\n\r-> aantal niet te beoordelen - 1\n\r"
                                     "Einde nakijken bestanden\n\r"))
        << logged;
    // A report saved now names each damaged file with its reason.
    const std::string report = m_root / "rapport.html";
    s_reportAnswer = report.c_str();
    {
        ScopedSeam<SaveFileDialogFn> save(g_pfnGetSaveFileName, &AnswerSaveDialog);
        ClickDialogButton(m_wizard.CurrentPage(), IDC_SAVE_REPORT);
    }
    const std::string html = ReadWholeFile(report);
    EXPECT_TRUE(Contains(html, "Oordeel: geen groen licht: beschadigde bestanden</p>")) << html;
    EXPECT_TRUE(Contains(html, "<td class=\"pad\">C:\\ZkNakijken\\Show\\Overige\\slot.dat<br><span class=\"mark "
                               "rood\">&#10006;</span> Beschadigd: " + std::string(kUnreadable) + "</td>"))
        << html;

    std::string closing = ClosingText();
    EXPECT_TRUE(Contains(closing, "Jammer,")) << closing;
    EXPECT_TRUE(Contains(closing, kDamageOnClosingPage)) << closing;

    // The picture put back and checked again: its line is gone, the rest stays.
    ASSERT_TRUE(WriteWholeFile(kTitle, GoodBmp()));
    RunCheck(rows, summary);
    for (const Row& row : rows) EXPECT_FALSE(row.path == kTitle && row.word == "beschadigd") << row;
    EXPECT_EQ(DamagedFileCount(), 2);
    EXPECT_EQ(FileLines(m_wizard.CurrentPage())[0], ".\\Plaatjes\\titel.bmp | groen");
    EXPECT_TRUE(Contains(ClosingText(), kDamageOnClosingPage));

    // A new analysis forgets the sound the user replaced; the file that
    // could not be read stays damaged until it is read.
    ASSERT_TRUE(WriteWholeFile(kSilence, GoodWav()));
    held.reset();
    Analyse();
    ASSERT_EQ(g_aCheckedFiles.size(), 3u);
    EXPECT_EQ(DamagedFileCount(), 1);
    // The fresh tree marks what still holds, and the note names it.
    EXPECT_EQ(FileLines(m_wizard.CurrentPage()),
              (std::vector<std::string>{".\\Plaatjes\\titel.bmp | groen", ".\\Audio\\stilte.wav | groen",
                                        ".\\Audio\\stilte.wav | groen", ".\\Overige\\slot.dat (beschadigd) | rood",
                                        "C:\\ZkNakijken\\Show\\notities.txt | groen"}));
    EXPECT_TRUE(Contains(ItemText(m_wizard.CurrentPage(), IDC_TEXT),
                         "\nLet op: bij het nakijken bleek dit bestand beschadigd:\nC:\\ZkNakijken\\Show\\Overige\\"
                         "slot.dat\nZet een goede kopie terug en kijk de bestanden opnieuw na.\n"))
        << ItemText(m_wizard.CurrentPage(), IDC_TEXT);
    EXPECT_TRUE(Contains(ClosingText(), kDamageOnClosingPage));
    RunCheck(rows, summary);
    for (const Row& row : rows) EXPECT_NE(row.word, "beschadigd") << row;
    // The good files counted too, and no count of nothing.
    EXPECT_EQ(summary, "Gelezen: 4 bestanden. In orde: 2. Niet te beoordelen: 2.\nGeen enkel bestand is beschadigd.");
    EXPECT_EQ(DamagedFileCount(), 0);
    EXPECT_FALSE(Contains(ItemText(m_wizard.CurrentPage(), IDC_TEXT), "nakijken"));
    closing = ClosingText();
    EXPECT_TRUE(Contains(closing, "Gefeliciteerd!")) << closing;
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

// Held before the second file, Stoppen is pressed there: one file is read
// and kept, the rest waits for the next check. Enter, pressed as the check
// begins, closes nothing.
TEST_F(CheckContents, StopsWhereTheUserStopsIt) {
    LogWatch log;
    Analyse();
    KeyAtDialogStart enter(kCaption, IDC_CC_LIST, VK_RETURN);
    std::string statusAtStop;
    bool clicked = false;
    const DWORD deadline = ::GetTickCount() + 20000;
    LongWorkSteps steps([&](CLongWork& work, int step) {
        // 1: before the first file, 2: its one chunk, 3: before the second.
        if (step != 3) return false;
        if (!clicked) {
            HWND dialog = FindThreadWindow(kCaption);
            statusAtStop = ItemText(dialog, IDC_CC_STATUS) + " " + ItemText(dialog, IDC_CC_FILE);
            ::PostMessageA(::GetDlgItem(dialog, IDC_CC_STOP), BM_CLICK, 0, 0);
            clicked = true;
        }
        return !work.StopRequested() && ::GetTickCount() < deadline;  // held until the click is handled
    });
    std::vector<Row> rows;
    std::string summary, status;
    ModalDriver driver(kCaption,
                       {[&](HWND dialog) {
                           rows = Rows(dialog);
                           summary = ItemText(dialog, IDC_CC_SUMMARY);
                           status = ItemText(dialog, IDC_CC_STATUS);
                           ClickDialogButton(dialog, IDCANCEL);
                       }},
                       &CheckEnded);
    ClickDialogButton(m_wizard.CurrentPage(), IDC_CHECK_CONTENTS);
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(enter.Posted());
    EXPECT_EQ(statusAtStop, std::string("Bestand 1 van 4 wordt gelezen: ") + kSilence);
    EXPECT_EQ(status, "Het nakijken is gestopt.");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].path, kSilence);
    EXPECT_EQ(summary, "Gestopt: 1 van 4 bestanden gelezen. Beschadigd: 1.\nZet "
                       "van elk beschadigd bestand een goede kopie terug en kijk de bestanden daarna opnieuw na.");
    ASSERT_EQ(g_aCheckedFiles.size(), 1u);
    EXPECT_TRUE(Contains(log.Appended(), ")\n\rNakijken gestopt\n\r-> aantal gelezen - 1\n\r-> aantal beschadigd - 1\n\r"
                                         "-> aantal let op - 0\n\r-> aantal niet te beoordelen - 0\n\r"
                                         "Einde nakijken bestanden\n\r"))
        << log.Appended();

    // A repair moves the damaged sound and the show names its new place: it
    // does not come out whole that way.
    const std::string moved = m_root / "Show\\Geluid\\stilte.wav";
    ASSERT_TRUE(MakeFolderTree(m_root / "Show\\Geluid"));
    ASSERT_TRUE(::MoveFileA(kSilence, moved.c_str()));
    ASSERT_TRUE(WriteWholeFile(kShow, ShowFileBytes({moved, kTitle, kLocked, kNotes, moved})));
    Analyse();
    ASSERT_EQ(g_aCheckedFiles.size(), 1u);
    EXPECT_EQ(g_aCheckedFiles[0].path, moved);
    EXPECT_EQ(DamagedFileCount(), 1);
}

// For people to look at: the dialog at its end and the analysis page after
// it, its tree marking the damaged files and the note naming the first.
TEST_F(CheckContents, DamageInTheDialogAndTheTreePicture) {
    Analyse();
    UniqueFile held = HoldOpen(kLocked, 0);
    ASSERT_TRUE(held);
    ModalDriver driver(kCaption,
                       {[&](HWND dialog) {
                           EXPECT_TRUE(SaveShot(dialog, ShotFolder("words") + "9-nakijken-klaar"));
                           ClickDialogButton(dialog, IDCANCEL);
                       }},
                       &CheckEnded);
    ClickDialogButton(m_wizard.CurrentPage(), IDC_CHECK_CONTENTS);
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(SaveShot(m_wizard.Sheet(), ShotFolder("words") + "9-analyse-beschadigd"));
}

TEST(CheckContentsAt144Dpi, DamageInTheDialogAndTheTreePicture) {
    if (InDpiChild()) GTEST_SKIP() << "the child itself";
    EXPECT_EQ(0, RunTestsAt144Dpi("CheckContents.DamageInTheDialogAndTheTreePicture"));
}
