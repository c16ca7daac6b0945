// At the venue: a stick or a copied show checked from the first page,
// without an analysis or green light.
#include <vector>

#include "backup/backup_run.h"
#include "backup/check_target.h"
#include "common/wide_text.h"
#include "pages/intro_page.h"
#include "page/repair_fixture.h"
#include "resource.h"
#include "services/state.h"
#include "support/media_samples.h"
#include "wizard/folder_picker.h"

namespace {
constexpr uint64_t kPlenty = 1000000000;

std::string Bytes(MediaSample kind) {
    const std::vector<uint8_t> bytes = SampleMedia(kind, 20000);
    return std::string(bytes.begin(), bytes.end());
}

std::string s_chosen;
std::string ChooseForTest(HWND) { return s_chosen; }

class VenueCheck : public RepairPageTest {
protected:
    void SetUp() override {
        RepairPageTest::SetUp();
        DeleteTree(Root('E'));
        m_cleanup.push_back(Root('E'));
        g_bAnalysed = 0;
    }
    // Presses the first page's button with this folder or show chosen; the
    // dialog's steps run meanwhile.
    void CheckFromTheFirstPage(const std::string& chosen, std::deque<ModalDriver::Step> steps) {
        ScopedSeam<CheckTargetPicker> pick(g_pfnPickCheckTarget, &ChooseForTest);
        s_chosen = chosen;
        HWND page = ShowPage(0);
        ModalDriver dialog("Zekerpad - Back-up of show controleren", std::move(steps));
        ClickDialogButton(page, IDC_INTRO_CHECK);
        EXPECT_TRUE(dialog.Done());
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& b : m_boxes.Boxes()) texts.push_back(b.text);
        return texts;
    }
};
}  // namespace

// Copied by Explorer, no record: judged by what its show names, at the
// same place below the copy as below the show's old folder.
TEST_F(VenueCheck, AHandMadeCopyIsJudgedByItsShowAllThereThenOneMissingAndOneDamaged) {
    const std::string copy = Root('E') + "\\Demo\\";
    const std::string old = Root('C') + "\\Shows\\Demo\\";  // not on this PC
    MakeTestFile(copy + "Audio\\intro.wav", Bytes(MediaSample::Wav));
    MakeTestFile(copy + "Audio\\slot.mp3", Bytes(MediaSample::Mp3));
    MakeTestFile(copy + "Plaatjes\\titel.jpg", Bytes(MediaSample::Jpeg));
    MakeTestFile(copy + "demo.ws4", ShowFileBytes({old + "Audio\\intro.wav", old + "Plaatjes\\titel.jpg",
                                                   old + "Audio\\slot.mp3", old + "Audio\\intro.wav"}));
    std::string plan, whole, wrong;
    CheckFromTheFirstPage(copy + "demo.ws4", {[&](HWND dlg) {
                              plan = ItemText(dlg, IDC_BACKUP_PLAN);
                              EXPECT_FALSE(IsVisible(dlg, IDC_BACKUP_START));
                              EXPECT_FALSE(IsVisible(dlg, IDC_BACKUP_DEST));
                              EXPECT_EQ(copy + "demo.ws4", ItemText(dlg, IDC_BACKUP_SHOW));
                              SaveShot(dlg, ShotFolder("venue") + "kopie-gekozen");
                              ClickDialogButton(dlg, IDC_BACKUP_VERIFY);
                              whole = ItemText(dlg, IDC_BACKUP_SUMMARY);
                              SaveShot(dlg, ShotFolder("venue") + "kopie-compleet");
                              ::DeleteFileA((copy + "Audio\\slot.mp3").c_str());
                              MakeTestFile(copy + "Plaatjes\\titel.jpg", Bytes(MediaSample::Jpeg).substr(0, 5000));
                              ClickDialogButton(dlg, IDC_BACKUP_VERIFY);
                              wrong = ItemText(dlg, IDC_BACKUP_SUMMARY);
                              ClickDialogButton(dlg, IDCANCEL);
                          }});
    EXPECT_FALSE(g_bAnalysed);
    EXPECT_EQ("In " + copy + " staat geen overzicht van Zekerpad. De controle gaat na of elk bestand dat demo.ws4 "
              "noemt in deze map staat en heel is.",
              plan);
    EXPECT_EQ("De show is compleet: alle 3 bestanden staan erin en zijn heel. Er was geen overzicht om mee te "
              "vergelijken.\nElk bestand staat in het logboek C:\\Zekerpad.log.",
              whole);
    EXPECT_EQ("De show is niet compleet: 2 van de 3 bestanden ontbreken of zijn beschadigd. Er was geen overzicht "
              "om mee te vergelijken.\nElk bestand staat in het logboek C:\\Zekerpad.log.",
              wrong);
    ASSERT_EQ(1u, BoxTexts().size());
    EXPECT_EQ(0u, BoxTexts()[0].find("De show is niet compleet: 2 van de 3 bestanden ontbreken of zijn beschadigd. "
                                     "Er was geen overzicht om mee te vergelijken.\n\nOntbreekt in de kopie:\n"
                                     "Audio\\slot.mp3\n\nBeschadigd:\nPlaatjes\\titel.jpg ("))
        << BoxTexts()[0];
    const std::string log = LogSoFar();
    EXPECT_NE(std::string::npos, log.find("-> Controleren - " + copy + "demo.ws4\n\r"));
    EXPECT_NE(std::string::npos, log.find("Start controle kopie\n\r-> map - " + copy + "\n\r-> show - demo.ws4\n\r"
                                          "-> oude map - " + old + "\n\r"));
    EXPECT_NE(std::string::npos, log.find("-> ontbreekt - " + copy + "Audio\\slot.mp3\n\r"));
}

// E:\Back-ups holds two back-ups: the dialog names both and checks the one
// chosen; with one there it is checked at once.
TEST_F(VenueCheck, AFolderAboveBackUpsListsThemAndChecksTheOneChosen) {
    const std::string dest = Root('E') + "\\Back-ups";
    ASSERT_TRUE(MakeFolderTree(dest));
    FreeSpaceStub space(kPlenty);
    for (const char* name : {"Reis", "Demo"}) {
        const std::string show = Root('C') + "\\" + name + "\\";
        MakeTestFile(show + name + ".ws4", TestBytes(300, 1));
        MakeTestFile(show + "Audio\\intro.wav", TestBytes(3000, name[0]));
        BackupOutcome outcome;
        ASSERT_EQ(BackupResult::Ran, MakeBackup(show, dest, nullptr, nullptr, &outcome));
        if (std::string(name) == "Reis") {
            const CheckTarget one = FindCheckTarget(Utf8FromCodePage(dest));
            EXPECT_EQ(CheckTargetKind::Backup, one.kind);
            EXPECT_EQ(Utf8FromCodePage(dest + "\\Reis\\"), one.folder);
        }
    }
    MakeTestFile(dest + "\\Reis\\Audio\\intro.wav", TestBytes(3000, 'X'));
    std::vector<std::string> lines;
    std::string plan, demo, reis;
    CheckFromTheFirstPage(dest, {[&](HWND dlg) {
                              lines = ListBoxLines(::GetDlgItem(dlg, IDC_BACKUP_LIST));
                              plan = ItemText(dlg, IDC_BACKUP_PLAN);
                              SaveShot(dlg, ShotFolder("venue") + "back-ups-gekozen");
                              ClickDialogButton(dlg, IDC_BACKUP_VERIFY);
                              demo = ItemText(dlg, IDC_BACKUP_SUMMARY);
                              ::SendDlgItemMessageA(dlg, IDC_BACKUP_LIST, LB_SETCURSEL, 1, 0);
                              ClickDialogButton(dlg, IDC_BACKUP_VERIFY);
                              reis = ItemText(dlg, IDC_BACKUP_SUMMARY);
                              EXPECT_EQ(plan, ItemText(dlg, IDC_BACKUP_PLAN));
                              ClickDialogButton(dlg, IDCANCEL);
                          }});
    EXPECT_EQ((std::vector<std::string>{"Demo", "Reis"}), lines);
    EXPECT_EQ("In " + dest + "\\ staan 2 back-ups van Zekerpad. Kies hierboven welke u wilt controleren.", plan);
    EXPECT_EQ(0u, demo.find("De back-up is in orde: elk bestand is van de schijf gelezen en gelijk aan het overzicht."));
    EXPECT_EQ(0u, reis.find("De back-up is niet in orde: 1 bestand is beschadigd. Maak de back-up opnieuw."));
}

// Neither a record nor a show: nothing to check, and the dialog says what
// to choose instead.
TEST_F(VenueCheck, AFolderWithNeitherARecordNorAShowSaysWhatToChoose) {
    MakeTestFile(Root('E') + "\\Los\\liedje.mp3", Bytes(MediaSample::Mp3));
    std::string plan;
    bool verify = true;
    CheckFromTheFirstPage(Root('E') + "\\Los", {[&](HWND dlg) {
                              plan = ItemText(dlg, IDC_BACKUP_PLAN);
                              verify = IsEnabled(dlg, IDC_BACKUP_VERIFY);
                              ClickDialogButton(dlg, IDCANCEL);
                          }});
    EXPECT_FALSE(verify);
    EXPECT_EQ("Hier staat geen back-up van Zekerpad en geen show (.ws4). Kies de map van de back-up, de map waarin "
              "de back-ups staan, of het showbestand.",
              plan);
}

// The first page keeps its specified controls where they were; the new
// button and its note sit between the welcome text and the settings.
TEST_F(VenueCheck, TheFirstPageButtonSitsBetweenTheWelcomeAndTheSettings) {
    HWND page = ShowPage(0);
    const auto rect = [&](int id) {
        RECT rc{};
        ::GetWindowRect(::GetDlgItem(page, id), &rc);
        return rc;
    };
    const RECT welcome = rect(IDC_INTRO_TEXT), check = rect(IDC_INTRO_CHECK), note = rect(IDC_INTRO_CHECK_NOTE),
               settings = rect(IDC_BUTTON_1007);
    EXPECT_LE(welcome.bottom, check.top);
    EXPECT_LE(note.bottom, settings.top);
    EXPECT_LT(check.right, note.left);
    EXPECT_EQ("Back-up of show &controleren...", ItemText(page, IDC_INTRO_CHECK));
    SaveShot(m_wizard->Sheet(), ShotFolder("venue") + "introductie");
}

namespace {
// The picker as the system would start it: its callback told the picker is
// there, with a real window to receive what the callback asks of it.
std::wstring s_title, s_selected;
bool s_selectionAsked = false;
LRESULT CALLBACK PickerStandInProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == BFFM_SETSELECTIONW && wParam == TRUE) {
        s_selectionAsked = true;
        s_selected = reinterpret_cast<const wchar_t*>(lParam);
        return 0;
    }
    return ::DefWindowProcW(wnd, message, wParam, lParam);
}
PIDLIST_ABSOLUTE WINAPI CancelledPicker(BROWSEINFOW* info) {
    s_title = info->lpszTitle ? info->lpszTitle : L"";
    if (info->lpfn) {
        WNDCLASSW cls{};
        cls.lpfnWndProc = &PickerStandInProc;
        cls.hInstance = ::GetModuleHandleW(nullptr);
        cls.lpszClassName = L"ZekerpadPickerStandIn";
        ::RegisterClassW(&cls);
        HWND picker = ::CreateWindowW(cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      cls.hInstance, nullptr);
        info->lpfn(picker, BFFM_INITIALIZED, 0, info->lParam);
        ::DestroyWindow(picker);
    }
    return nullptr;
}
}  // namespace

// The picker starts at the folder this PC last made a back-up in, while it
// is there; a stick taken out leaves the picker where the system starts it.
TEST_F(VenueCheck, ThePickerStartsAtTheLastBackUpWhileThatFolderIsThere) {
    ScopedSeam<BrowseForFolderFn> browse(g_pfnBrowseForFolder, &CancelledPicker);
    const std::string saved = g_csBackupMap;
    const auto pickFrom = [&](const std::string& remembered) {
        g_csBackupMap = remembered;
        s_title.clear();
        s_selected.clear();
        s_selectionAsked = false;
        ClickDialogButton(ShowPage(0), IDC_INTRO_CHECK);
    };
    ASSERT_TRUE(MakeFolderTree(Root('E') + "\\Back-ups"));
    pickFrom(Root('E') + "\\Back-ups");
    EXPECT_TRUE(s_selectionAsked);
    EXPECT_EQ(WideFromCodePage(Root('E') + "\\Back-ups"), s_selected);
    EXPECT_EQ(L"Kies de map van de back-up, de map met uw back-ups, of het showbestand (.ws4) dat u wilt controleren:",
              s_title);

    pickFrom(Root('E') + "\\Weg");
    EXPECT_EQ(L"Kies de map van de back-up, de map met uw back-ups, of het showbestand (.ws4) dat u wilt controleren:",
              s_title);
    EXPECT_FALSE(s_selectionAsked);
    pickFrom("");
    EXPECT_FALSE(s_selectionAsked);
    g_csBackupMap = saved;
    EXPECT_EQ(std::string::npos, LogSoFar().find("-> Controleren"));
}

// The same pages at 144 DPI, for the pictures.
TEST(VenueCheckAt144Dpi, AHandMadeCopyAndAFolderAboveBackUps) {
    if (InDpiChild()) GTEST_SKIP() << "the child itself";
    EXPECT_EQ(0, RunTestsAt144Dpi("VenueCheck.AHandMadeCopyIsJudgedByItsShowAllThereThenOneMissingAndOneDamaged:"
                                  "VenueCheck.AFolderAboveBackUpsListsThemAndChecksTheOneChosen:"
                                  "VenueCheck.TheFirstPageButtonSitsBetweenTheWelcomeAndTheSettings"));
}
