// The introduction with its settings dialog, the other-files page and the
// closing page, driven through the real wizard.
#include <windows.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "services/msgbox.h"
#include "services/run_log.h"
#include "services/settings.h"
#include "services/state.h"
#include "files/file_helpers.h"
#include "files/file_reference.h"
#include "resource.h"
#include "support/test_support.h"

namespace {
constexpr char kSettingsCaption[] = "Zekerpad - Geavanceerde instellingen";
constexpr char kNoNameMessage[] = "U moet voor alle 3 situaties een mapnaam opgeven";
constexpr int kIntro = 0, kSelection = 1, kOther = 6, kClosing = 7;

size_t CountOf(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

struct Names {
    std::string audio, plaatjes, overige;
};

Names CurrentNames() { return {g_csSubmapAudio, g_csSubmapPlaatjes, g_csSubmapOverige}; }

void TypeNames(HWND dlg, const Names& n) {
    ::SetDlgItemTextA(dlg, IDC_SUB_AUDIO, n.audio.c_str());
    ::SetDlgItemTextA(dlg, IDC_SUB_PLAATJES, n.plaatjes.c_str());
    ::SetDlgItemTextA(dlg, IDC_SUB_OVERIGE, n.overige.c_str());
}

Names TypedNames(HWND dlg) {
    return {ItemText(dlg, IDC_SUB_AUDIO), ItemText(dlg, IDC_SUB_PLAATJES), ItemText(dlg, IDC_SUB_OVERIGE)};
}

void ExpectNames(const Names& got, const Names& want) {
    EXPECT_EQ(got.audio, want.audio);
    EXPECT_EQ(got.plaatjes, want.plaatjes);
    EXPECT_EQ(got.overige, want.overige);
}

// The wizard on its introduction, with the run log open and every message
// box answered.
class PagesTest : public ::testing::Test {
protected:
    PagesTest() {
        OpenRunLog();
        m_wizard = std::make_unique<WizardHarness>();
        g_csSubmapAudio = "Audio";
        g_csSubmapPlaatjes = "Plaatjes";
        g_csSubmapOverige = "Overige";
    }
    ~PagesTest() override {
        m_wizard.reset();
        CloseRunLog();
    }

    // Clicks "Geavanceerde instellingen" on the introduction; the action
    // works the dialog and must close it.
    void OpenSettings(std::function<void(HWND)> action) {
        ASSERT_EQ(m_wizard->CurrentIndex(), kIntro);
        ModalDriver when(kSettingsCaption, {std::move(action)});
        HWND page = m_wizard->CurrentPage();
        ::SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_1007, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(page, IDC_BUTTON_1007)));
        EXPECT_TRUE(when.Done()) << "the settings dialog did not appear";
    }

    std::string PageText(int id = IDC_TEXT) const { return ItemText(m_wizard->CurrentPage(), id); }

    MessageBoxRecorder m_boxes;
    std::unique_ptr<WizardHarness> m_wizard;
};

// --- The settings dialog --------------------------------------------------

TEST_F(PagesTest, SettingsDialogShowsTheNamesCentredOverTheWizard) {
    g_csSubmapAudio = "Geluid met spaties ";
    OpenSettings([&](HWND dlg) {
        ExpectNames(TypedNames(dlg), {"Geluid met spaties ", "Plaatjes", "Overige"});
        EXPECT_EQ(ItemText(dlg, IDC_TEXT),
                  "Hieronder kunt u aangeven welke submappen Zekerpad moet gebruiken voor het opslaan van "
                  "verschillende soorten bestanden.\nDe namen van deze submappen zijn altijd ten opzichte "
                  "van de map waarin de show staat!\nBreng hierin geen wijziingen aan als u niet weet wat "
                  "de gevolgen daarvan kunnen zijn.");
        // Over the wizard, not over the page that owns it.
        RECT d{}, s{};
        ::GetWindowRect(dlg, &d);
        ::GetWindowRect(m_wizard->Sheet(), &s);
        EXPECT_NEAR((d.left + d.right) / 2, (s.left + s.right) / 2, 2);
        EXPECT_NEAR((d.top + d.bottom) / 2, (s.top + s.bottom) / 2, 2);
        // A long nested name scrolls instead of being refused or cut.
        const std::string deep(40000, 'x');
        for (int id : {IDC_SUB_AUDIO, IDC_SUB_PLAATJES, IDC_SUB_OVERIGE}) {
            HWND edit = ::GetDlgItem(dlg, id);
            EXPECT_TRUE(::GetWindowLongA(edit, GWL_STYLE) & ES_AUTOHSCROLL);
            EXPECT_GT(::SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 40000);
        }
        ClickDialogButton(dlg, IDCANCEL);
    });
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(PagesTest, SettingsCancelAfterEditingKeepsTheNames) {
    OpenSettings([](HWND dlg) {
        TypeNames(dlg, {"Geluid", "Beeld", "Rest"});
        ClickDialogButton(dlg, IDCANCEL);
    });
    ExpectNames(CurrentNames(), {"Audio", "Plaatjes", "Overige"});
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(PagesTest, SettingsOkDropsOneTrailingBackslashOnly) {
    HWND closed = nullptr;
    OpenSettings([&](HWND dlg) {
        TypeNames(dlg, {"Audio\\", "Beeld", " Map\\Sub met blanco"});
        ClickDialogButton(dlg, IDOK);
        closed = dlg;
    });
    EXPECT_FALSE(::IsWindow(closed));
    // A leading blank stays, and a backslash inside makes a nested subfolder.
    ExpectNames(CurrentNames(), {"Audio", "Beeld", " Map\\Sub met blanco"});
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(PagesTest, SettingsRefuseAnEmptyNameAndKeepWhatWasTyped) {
    OpenSettings([&](HWND dlg) {
        // A lone backslash is empty once trimmed; so is an empty field.
        for (const char* empty : {"\\", ""}) {
            TypeNames(dlg, {"Geluid\\", empty, "Rest"});
            ClickDialogButton(dlg, IDOK);
            EXPECT_TRUE(::IsWindowVisible(dlg)) << "the dialog closed on a refused name";
            ExpectNames(TypedNames(dlg), {"Geluid\\", empty, "Rest"});
            EXPECT_EQ(g_csSubmapPlaatjes, "Plaatjes");
        }
        ::SetDlgItemTextA(dlg, IDC_SUB_PLAATJES, "Beeld");
        ClickDialogButton(dlg, IDOK);  // no ASSERT above: this must run
    });
    ASSERT_EQ(m_boxes.Boxes().size(), 2u);
    for (const MessageBoxRecorder::Box& box : m_boxes.Boxes()) {
        EXPECT_EQ(box.text, kNoNameMessage);
        EXPECT_EQ(box.caption, ProgramTitle());
        EXPECT_EQ(box.type, static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION));
    }
    ExpectNames(CurrentNames(), {"Geluid", "Beeld", "Rest"});
}

// A name must stay inside the show's folder and be one Windows can make:
// refused with the reason, the dialog open with what was typed.
TEST_F(PagesTest, SettingsRefuseANameOutsideTheShowsFolder) {
    OpenSettings([&](HWND dlg) {
        for (const char* wrong : {"..\\..\\..\\windows", "Beeld\\\\", "C:\\Beeld", "aux"}) {
            TypeNames(dlg, {"Geluid", wrong, "Rest"});
            ClickDialogButton(dlg, IDOK);
            EXPECT_TRUE(::IsWindowVisible(dlg)) << wrong;
            EXPECT_EQ(ItemText(dlg, IDC_SUB_PLAATJES), wrong);
            EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg, IDC_SUB_PLAATJES));
        }
        ::SetDlgItemTextA(dlg, IDC_SUB_PLAATJES, "Beeld");
        ClickDialogButton(dlg, IDOK);
    });
    ASSERT_EQ(m_boxes.Boxes().size(), 4u);
    EXPECT_EQ(m_boxes.Boxes()[0].text,
              "De naam van de submap voor afbeeldingen kan niet worden gebruikt: \"..\" wijst niet naar een map "
              "binnen de show.\n\nGeef de naam van een map in de map van de show, zoals \"Audio\", of van een "
              "map daaronder, zoals \"Media\\Audio\".");
    EXPECT_EQ(m_boxes.Boxes()[1].text.rfind("De naam van de submap voor afbeeldingen kan niet worden gebruikt: de "
                                            "naam mag niet met een schuine streep \\ beginnen of eindigen.\n",
                                            0),
              0u)
        << m_boxes.Boxes()[1].text;
    EXPECT_EQ(m_boxes.Boxes()[3].type, static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION));
    ExpectNames(CurrentNames(), {"Geluid", "Beeld", "Rest"});
}

TEST_F(PagesTest, NewNamesMakeTheNextSubfoldersNew) {
    const std::string show = "C:\\ZkPagesSubfolders";
    DeleteTree(show);
    ASSERT_TRUE(::CreateDirectoryA(show.c_str(), nullptr));
    g_szShowDrive = "C:";
    g_szShowDir = "\\ZkPagesSubfolders\\";

    OpenSettings([](HWND dlg) {
        TypeNames(dlg, {"Geluid\\", "Beeld\\Foto's", "Rest"});
        ClickDialogButton(dlg, IDOK);
    });
    ASSERT_TRUE(g_pApp->CreateShowSubfolders());
    EXPECT_TRUE(FolderExists(show + "\\Geluid\\"));
    EXPECT_TRUE(FolderExists(show + "\\Beeld\\Foto's\\"));
    EXPECT_TRUE(FolderExists(show + "\\Rest\\"));
    EXPECT_FALSE(FolderExists(show + "\\Audio\\"));
    EXPECT_FALSE(FolderExists(show + "\\Plaatjes\\"));
    DeleteTree(show);
}

// --- The introduction -----------------------------------------------------

TEST(IntroPage, LogsEachActivationAndItsInitialisationOnce) {
    LogWatch log;
    OpenRunLog();
    {
        WizardHarness wizard;
        EXPECT_TRUE(wizard.IsButtonEnabled(WizardHarness::kNext));
        EXPECT_FALSE(wizard.IsButtonEnabled(WizardHarness::kBack));
        const std::string welcome = ItemText(wizard.CurrentPage(), IDC_INTRO_TEXT);
        EXPECT_EQ(welcome.rfind("Welkom bij Wings Zekerpad\n\nMet dit programma", 0), 0u);
        EXPECT_NE(welcome.find("'groen licht' krijgt.\n\nHet Zekerpad-team\n"), std::string::npos);

        for (int round = 0; round < 2; ++round) {
            wizard.Press(PSBTN_NEXT);
            EXPECT_EQ(wizard.CurrentIndex(), kSelection);
            wizard.Press(PSBTN_BACK);
            EXPECT_EQ(wizard.CurrentIndex(), kIntro);
        }
        EXPECT_TRUE(wizard.IsButtonEnabled(WizardHarness::kNext));
        EXPECT_FALSE(wizard.IsButtonEnabled(WizardHarness::kBack));
    }
    CloseRunLog();
    const std::string bytes = log.Appended();
    EXPECT_EQ(CountOf(bytes, "CTestPropPage00::OnInitDialog\n\r"), 1u);
    EXPECT_EQ(CountOf(bytes, "-> CTestPropPage00::OnSetActive - Introductie\n\r"), 3u);
}

// --- The closing page -----------------------------------------------------

struct Analysis {
    int analysed;
    const char* analysedFile;
    int red, yellow, green, other;
};

class ClosingPageTest : public PagesTest {
protected:
    // Sets the results as an analysis would and walks onto the closing page.
    std::string VerdictAfter(const Analysis& a) {
        g_csRecentFile = "C:\\Shows\\Reis\\reis.ws4";
        g_bAnalysed = a.analysed;
        g_csAnalysedFile = a.analysedFile;
        g_nRed = a.red;
        g_nYellow = a.yellow;
        g_nGreen = a.green;
        g_nOther = a.other;
        m_wizard->GoTo(kIntro);
        m_wizard->GoTo(kClosing);
        EXPECT_EQ(m_wizard->CurrentIndex(), kClosing);
        return PageText();
    }
    static bool Congratulates(const std::string& text) { return text.rfind("Gefeliciteerd!\n", 0) == 0; }
    static bool Regrets(const std::string& text) { return text.rfind("Jammer,\n\n", 0) == 0; }
};

TEST_F(ClosingPageTest, GreenLightOnlyForACompletedCleanAnalysis) {
    const char* show = "C:\\Shows\\Reis\\reis.ws4";
    // All green, some of them files of class other.
    EXPECT_TRUE(Congratulates(VerdictAfter({1, show, 0, 0, 12, 3})));
    // The analysed show differs from the chosen one only in letter case.
    EXPECT_TRUE(Congratulates(VerdictAfter({1, "c:\\SHOWS\\reis\\REIS.WS4", 0, 0, 1, 0})));
    // One red or one yellow file left, however many are green.
    EXPECT_TRUE(Regrets(VerdictAfter({1, show, 1, 0, 500, 0})));
    EXPECT_TRUE(Regrets(VerdictAfter({1, show, 0, 1, 500, 0})));
    // An analysis that did not complete, or belongs to another show.
    EXPECT_TRUE(Regrets(VerdictAfter({0, show, 0, 0, 0, 0})));
    EXPECT_TRUE(Regrets(VerdictAfter({0, "", 0, 0, 0, 0})));
    EXPECT_TRUE(Regrets(VerdictAfter({1, "C:\\Shows\\Ander\\reis.ws4", 0, 0, 4, 0})));
}

// The regret text as specified, then which files are left and what to do,
// then the frame with the contact lines: the program's own, or those set
// by whoever handed out the program.
TEST_F(ClosingPageTest, VerdictSitsInTheClosingFrame) {
    g_csContact.clear();
    const auto record = [](const char* path) {
        auto r = std::make_unique<CFileReference>();
        r->m_csPath = path;
        return r;
    };
    EmptyResultLists();
    g_aRedFiles.push_back(record("C:\\Shows\\Reis\\Audio\\weg.wav"));
    g_aYellowFiles.push_back(record("D:\\Foto's\\strand.jpg"));
    g_aYellowFiles.push_back(record("D:\\Foto's\\duin.jpg"));
    const std::string regret = VerdictAfter({1, "C:\\Shows\\Reis\\reis.ws4", 1, 2, 0, 0});
    EmptyResultLists();
    EXPECT_EQ(regret.rfind("Jammer,\n\nU heeft alle relevante stappen van het programma Wings Zekerpad "
                           "doorlopen,maar toch geen groen licht gekregen.\n\n\n"
                           "Nog over: 1 rood bestand (ontbreekt) en 2 gele (buiten de map van de show), zoals:\n"
                           "\tC:\\Shows\\Reis\\Audio\\weg.wav\nStart Zekerpad opnieuw met deze show en volg de "
                           "pagina's voor rood en geel; het rapport (knop Rapport opslaan) noemt elk bestand.\n"
                           "\n\nAls u vragen heeft",
                           0),
              0u)
        << regret;
    const std::string contact = "contact opnemen:\n";
    const std::string thanks = "\n\nIk dank u voor het gebruik van dit programma.\n\nHet Zekerpad-team\n";
    EXPECT_EQ(regret.substr(regret.find(contact) + contact.size()),
              "\tde club, vereniging of winkel die u dit programma gaf,\n\tof\n\tde beheerder van uw computer. Stuur "
              "het logboek\n\tC:\\Zekerpad.log mee, en een rapport van de show (knop\n\tRapport opslaan op de "
              "pagina Analyse en resultaten).\n" +
                  thanks);
    // ideeën in the program's code page.
    EXPECT_NE(regret.find("of idee\xEB" "n heeft"), std::string::npos);

    // Set by a club, on both pages that name a contact; the congratulation
    // has no list of files.
    g_csContact = "Fotoclub De Lens|secretaris@delens.nl|Dorpsstraat 1|1234 AB Ergens|tel. 012-3456789";
    const std::string lines =
        "\tFotoclub De Lens\n\tsecretaris@delens.nl\n\tDorpsstraat 1\n\t1234 AB Ergens\n\ttel. 012-3456789\n";
    const std::string green = VerdictAfter({1, "C:\\Shows\\Reis\\reis.ws4", 0, 0, 3, 0});
    EXPECT_EQ(green.substr(green.find(contact) + contact.size()), lines + thanks);
    EXPECT_EQ(green.find("Nog over"), std::string::npos);
    g_nOther = 1;
    m_wizard->GoTo(kIntro);
    m_wizard->GoTo(kOther);
    const std::string other = PageText();
    EXPECT_NE(other.find("Stuur het bestand dan naar:\n" + lines + "\n\n\nBij voorbaat dank"), std::string::npos);
    g_csContact.clear();
}

TEST_F(ClosingPageTest, FinishOnlyEndsTheWizardAndTheNamesAreKept) {
    OpenSettings([](HWND dlg) {
        TypeNames(dlg, {"Geluid", "Beeld", "Rest"});
        ClickDialogButton(dlg, IDOK);
    });
    VerdictAfter({1, "C:\\Shows\\Reis\\reis.ws4", 0, 0, 1, 0});
    EXPECT_FALSE(m_wizard->IsButtonEnabled(WizardHarness::kBack));
    EXPECT_FALSE(m_wizard->IsButtonVisible(WizardHarness::kNext));
    EXPECT_TRUE(m_wizard->IsButtonEnabled(WizardHarness::kFinish));
    m_wizard->Press(PSBTN_FINISH);
    EXPECT_TRUE(m_wizard->Ended());

    // What start-up writes after the wizard, read back by the next run.
    const std::string ini = "ZkPagesSettings.INI";
    WriteSettings(ini);
    g_csRecentFile = g_csSubmapAudio = g_csSubmapPlaatjes = g_csSubmapOverige = "";
    ReadSettings(ini);
    EXPECT_EQ(g_csRecentFile, "C:\\Shows\\Reis\\reis.ws4");
    ExpectNames(CurrentNames(), {"Geluid", "Beeld", "Rest"});
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    ::DeleteFileA((std::string(windows) + "\\" + ini).c_str());
}

// --- The other-files page -------------------------------------------------

TEST(OtherFilesPage, SkippedWithoutFilesOfClassOther) {
    LogWatch log;
    OpenRunLog();
    {
        WizardHarness wizard;
        g_nOther = 0;
        g_nGreen = 3;
        wizard.GoTo(kOther);
        EXPECT_EQ(wizard.CurrentIndex(), kClosing);
    }
    CloseRunLog();
    EXPECT_NE(log.Appended().find("-> CTestPropPage06::OnSetActive - Onbekende bestanden\n\r"
                                  "-> CTestPropPage06 - Scherm overslaan\n\r"
                                  "-> CTestPropPage99::OnSetActive - Afsluiting\n\r"),
              std::string::npos);
}

TEST(OtherFilesPage, ShownWithThePathOnItsOwnLineEvenWithPercent) {
    LogWatch log;
    OpenRunLog();
    {
        WizardHarness wizard;
        g_nOther = 2;
        // Used as a format, this path would print garbage or crash.
        g_csRecentFile = "C:\\Shows\\100%s %d%n\\show.ws4";
        wizard.GoTo(kOther);
        ASSERT_EQ(wizard.CurrentIndex(), kOther);
        EXPECT_TRUE(wizard.IsButtonEnabled(WizardHarness::kBack));
        EXPECT_TRUE(wizard.IsButtonEnabled(WizardHarness::kNext));
        std::string text = ItemText(wizard.CurrentPage(), IDC_TEXT);
        EXPECT_NE(text.find("van het showbestand:\nC:\\Shows\\100%s %d%n\\show.ws4\ntoe te zenden,"),
                  std::string::npos);
        EXPECT_EQ(text.rfind("Er zijn (verwijzingen naar) bestanden aangetroffen", 0), 0u);
        // Five contact lines between the request and the thanks, "of" second.
        const std::string before = "Stuur het bestand dan naar:\n";
        const size_t from = text.find(before);
        const size_t to = text.find("\n\n\nBij voorbaat dank voor uw medewerking.\n");
        ASSERT_NE(from, std::string::npos);
        ASSERT_NE(to, std::string::npos);
        const std::string lines = text.substr(from + before.size(), to - from - before.size());
        EXPECT_EQ(CountOf(lines, "\n"), 5u);
        EXPECT_NE(lines.find("\n\tof\n"), std::string::npos);

        // A show chosen again shows its own path on the next visit.
        g_csRecentFile = "D:\\Ander\\show.ws4";
        wizard.GoTo(kIntro);
        wizard.GoTo(kOther);
        text = ItemText(wizard.CurrentPage(), IDC_TEXT);
        EXPECT_NE(text.find("showbestand:\nD:\\Ander\\show.ws4\n"), std::string::npos);
        EXPECT_EQ(text.find("100%s"), std::string::npos);
    }
    CloseRunLog();
    EXPECT_EQ(CountOf(log.Appended(), "Onbekende besanden aangetroffen\n\r"), 2u);
}

}  // namespace
