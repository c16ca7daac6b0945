// The yellow-2 page: files on another drive are copied into the show's
// subfolders after a free-space check; the sources are deleted or kept
// as ".bak". Every scenario ends with the nothing-lost check.
#include <cstdlib>
#include <memory>
#include <vector>

#include "services/msgbox.h"
#include "services/run_log.h"
#include "services/state.h"
#include "common/win_raii.h"
#include "page/repair_fixture.h"
#include "repair/yellow_repair.h"

namespace {
const char kQuestion[] =
    "De 'riskante' bestanden, die op een andere schijf staan dan \nwaarop de show staat, worden gekopieerd naar de "
    "schijf waarop de \nshow staat.\n\nMoeten deze bestanden daarna op hun oorspronkelijke plaats\n VERWIJDERD "
    "worden (dus VERPLAATSEN i.p.v. kopi\xEBren)?";
const char kBakNotice[] =
    "De namen van de oorspronkelijke bestanden zullen worden voorzien van een extra achtervoegsel: '.bak'";
const char kSuccess[] = "Het verplaatsen/kopi\xEBren van de bestanden naar een veiligere plaats is gelukt.\n\n";
const char kMovedToBin[] = "Het verplaatsen/kopi\xEBren van de bestanden naar een veiligere plaats is gelukt. De "
                           "oorspronkelijke bestanden staan in de Prullenbak.\n\n";
constexpr uint64_t kPlenty = 1000000000;

class Yellow2Page : public YellowPageTest {
protected:
    Yellow2Page() : YellowPageTest(5, true) {}
    // D: is a fixed drive with a Recycle Bin; E:, a removable one, has none.
    std::string Wav() const { return Media(m_drive) + "intro.wav"; }
    std::string Tlg() const { return Media(m_drive) + "intro.tlg"; }
    // The example of a sound file of 1000 bytes with a companion of 200.
    // Other seeds give bytes of one test alone.
    void PrepareIntro(int wavSeed = 7, int tlgSeed = 8) {
        MakeTestFile(Wav(), TestBytes(1000, wavSeed));
        MakeTestFile(Tlg(), TestBytes(200, tlgSeed));
        Prepare({}, {Wav()});
    }
    // Answers the question; no (IDNO) also brings the ".bak" notice.
    std::string CorrectAnswering(int answer) {
        m_boxes.QueueAnswer(answer);
        return Correct();
    }
    char m_drive = 'D';
};

// Whether a file with these bytes lies in the Recycle Bin. By contents, not
// by name: tests that run at the same time share the bin, and the bin
// renames a file whose name it already holds.
bool BinHolds(const std::string& bin, const std::string& bytes) {
    WIN32_FIND_DATAA found{};
    UniqueFind find(::FindFirstFileA((bin + "*").c_str(), &found));
    if (!find) return false;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && ReadWholeFile(bin + found.cFileName) == bytes)
            return true;
    } while (::FindNextFileA(find.get(), &found));
    return false;
}
}  // namespace

TEST_F(Yellow2Page, AnswerNoCopiesKeepsTheSourceAsBakAndDeletesTheCompanion) {
    PrepareIntro();
    EXPECT_NE(std::string::npos, ItemText(m_page, kText).find("uit de tweede categorie."));
    FreeSpaceStub space(kPlenty);
    EXPECT_EQ("Start corrigeren GEEL 2\n\rCorrigeren Geel 2\n\rSchijfruimte op doelschijf\n\r-> nodig - 1200\n\r"
              "-> vrij - 1000000000\n\rKopi\xEBren\n\r-> bron - " + Wav() + "\n\r-> doel - " + Audio() +
                  "intro.wav\n\r->   - kopie OK\n\r->   - wissen/rename bron OK\n\r-> tlg - " + Tlg() +
                  "\n\r->   - wissen OK\n\ralle bestanden gekopieerd/verplaatst\n\rEinde corrigeren GEEL 2\n\r",
              CorrectAnswering(IDNO));

    EXPECT_EQ(std::vector<std::string>{"C:"}, space.Asked());
    ASSERT_EQ(2u, m_boxes.Boxes().size());
    EXPECT_EQ(kQuestion, m_boxes.Boxes()[0].text);
    EXPECT_EQ("Zekerpad", m_boxes.Boxes()[0].caption);
    // No is the default: Enter keeps the originals.
    EXPECT_EQ(static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), m_boxes.Boxes()[0].type);
    EXPECT_EQ(std::vector<std::string>{kBakNotice}, BoxTexts());
    EXPECT_EQ(ReadWholeFile(Wav() + ".bak"), ReadWholeFile(Audio() + "intro.wav"));
    EXPECT_FALSE(PathIsFile(Wav()));
    EXPECT_FALSE(PathIsFile(Tlg()));
    EXPECT_FALSE(PathIsFile(Audio() + "intro.tlg"));
    ExpectEndedNormally();
    EXPECT_EQ(std::string(kSuccess) +
                  "U moet nu nog wel deze show openen in Wings. Dan zal Wings melden dat niet alle geluidsbestanden "
                  "of afbeeldingen gelezen konden worden.Wings zal u vragen of er naar die bestanden gezocht moet "
                  "worden.\nKies voor 'JA', en geef aan dat Wings moet zoeken op schijf: C. \n\nOok moet u in de "
                  "Audio Pool de grafische bestanden opnieuw laten berekenen, omdat die niet gekopieerd/verplaatst "
                  "zijn.\n\nU kunt Wings starten met de knop hieronder.\n\nHet is mogelijk dat bij de andere "
                  "stappen binnen Zekerpad nog een keer wordt aangegeven dat de show opnieuw geopend moet worden met "
                  "Wings. U hoeft het nu dus niet te doen, maar ik raad het u wel aan.\n\n",
              ItemText(m_page, kText));
}

// At every step of a copy of three chunks the bar stands at the bytes
// copied so far; held at the first chunk (as long as progress is told at
// most that often), the page answers the system with the wizard's Next off.
TEST_F(Yellow2Page, ABigCopyAnswersTheSystemAndItsBarMovesWithTheBytes) {
    MakeTestFile(Wav(), TestBytes(1200000, 9));
    Prepare({}, {Wav()});
    FreeSpaceStub space(kPlenty);
    std::vector<int> bar;
    std::unique_ptr<HangChecks> checks;
    bool nextEnabled = true;
    LRESULT range = 0;
    const DWORD deadline = ::GetTickCount() + 20000;
    DWORD heldSince = 0;
    LongWorkSteps steps([&](CLongWork&, int step) {
        if (step == 1) range = ::SendMessageA(::GetDlgItem(m_page, kProgress), PBM_GETRANGE, FALSE, 0);
        if (step == 2 && !checks) {
            checks = std::make_unique<HangChecks>(m_wizard->Sheet(), 5);
            nextEnabled = m_wizard->IsButtonEnabled(WizardHarness::kNext);
            heldSince = ::GetTickCount();
        }
        if (step == 2 && (!checks->Finished() || ::GetTickCount() - heldSince <= kCopyProgressMs) &&
            ::GetTickCount() < deadline)
            return true;
        bar.push_back(ProgressPos(m_page));
        return false;
    });
    CorrectAnswering(IDNO);
    // The range: the file's bytes and one step for the file.
    EXPECT_EQ(1200001, range);
    EXPECT_EQ((std::vector<int>{0, 500000, 1000000, 1200000}), bar);
    ASSERT_TRUE(checks);
    EXPECT_EQ(5, checks->Answered());
    EXPECT_FALSE(nextEnabled);
    EXPECT_TRUE(m_wizard->IsButtonEnabled(WizardHarness::kNext));
    EXPECT_EQ(TestBytes(1200000, 9), ReadWholeFile(Audio() + "intro.wav"));
    ExpectEndedNormally();
}

TEST_F(Yellow2Page, AnswerYesMovesTheSourceToTheRecycleBinAfterTheCopy) {
    const std::string bin = RecycleBinFiles();
    ASSERT_NE("", bin) << "XDG_DATA_HOME is not set inside the build folder";
    PrepareIntro(71, 72);
    const std::string original = TestBytes(1000, 71), companion = TestBytes(200, 72);
    FreeSpaceStub space(kPlenty);
    const std::string log = CorrectAnswering(IDYES);
    EXPECT_EQ(kQuestion, m_boxes.Boxes().at(0).text);
    EXPECT_NE(std::string::npos, log.find("-> vrij - 1000000000\n\rVerplaatsen\n\r-> naar Prullenbak - D:\n\r"
                                          "-> bron - "));
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(original, ReadWholeFile(Audio() + "intro.wav"));
    EXPECT_FALSE(PathIsFile(Wav()));
    EXPECT_FALSE(PathIsFile(Wav() + ".bak"));
    EXPECT_TRUE(BinHolds(bin, original));
    // The companion is Wings' own to make again: deleted, not kept.
    EXPECT_FALSE(PathIsFile(Tlg()));
    EXPECT_FALSE(BinHolds(bin, companion));
    EXPECT_EQ(0u, ItemText(m_page, kText).find(kMovedToBin));
}

// A removable drive keeps no Recycle Bin: the question says what Yes does
// there before it is answered, and the result says it was done.
TEST_F(Yellow2Page, WhereTheDriveHasNoRecycleBinTheQuestionSaysYesDeletesForGood) {
    const std::string bin = RecycleBinFiles();
    ASSERT_NE("", bin);
    m_drive = 'E';
    PrepareIntro(73, 74);
    const std::string original = TestBytes(1000, 73);
    FreeSpaceStub space(kPlenty);
    const std::string log = CorrectAnswering(IDYES);
    ASSERT_FALSE(m_boxes.Boxes().empty());
    EXPECT_EQ(std::string(kQuestion) + "\n\nLet op: schijf E: heeft geen Prullenbak. Kiest u Ja, dan worden de "
                                       "bestanden daar voorgoed verwijderd.",
              m_boxes.Boxes()[0].text);
    EXPECT_NE(std::string::npos, log.find("Verplaatsen\n\r-> geen Prullenbak, voorgoed wissen - E:\n\r-> bron - "));
    EXPECT_EQ(original, ReadWholeFile(Audio() + "intro.wav"));
    EXPECT_FALSE(PathIsFile(Wav()));
    EXPECT_FALSE(BinHolds(bin, original));
    EXPECT_EQ(0u, ItemText(m_page, kText).find("Het verplaatsen/kopi\xEBren van de bestanden naar een veiligere "
                                               "plaats is gelukt. De oorspronkelijke bestanden zijn voorgoed "
                                               "verwijderd, want schijf E: heeft geen Prullenbak.\n\n"));
}

// The question as the system draws it: Nee is the default button, so Enter
// keeps the originals (as ".bak") and nothing is removed.
TEST_F(Yellow2Page, EnterInTheRealQuestionAnswersNo) {
    PrepareIntro();
    FreeSpaceStub space(kPlenty);
    static int s_defaultId = 0;
    s_defaultId = 0;
    ScopedSeam<MessageBoxFn> real(g_pfnMessageBox, [](HWND__* owner, const std::string& text,
                                                      const std::string& caption, unsigned type) -> int {
        if ((type & MB_TYPEMASK) != MB_YESNO) return IDOK;  // the ".bak" notice
        return ::MessageBoxA(owner, text.c_str(), caption.c_str(), type);
    });
    ModalDriver driver("Zekerpad", {[](HWND box) {
                           // The button drawn as the default one (DM_GETDEFID is not
                           // kept by every message box).
                           for (int id : {IDYES, IDNO})
                               if ((::GetWindowLongA(::GetDlgItem(box, id), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
                                   s_defaultId = id;
                           ::PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
                           ::PostMessageA(box, WM_KEYUP, VK_RETURN, 0xC0000001);
                       }});
    const std::string log = Correct();
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(IDNO, s_defaultId);
    EXPECT_NE(std::string::npos, log.find("\n\rKopi\xEBren\n\r"));
    EXPECT_EQ(std::string::npos, log.find("Verplaatsen"));
    EXPECT_TRUE(PathIsFile(Wav() + ".bak"));
}

TEST_F(Yellow2Page, ABakNameInTheWayLeavesTheSourceUnderItsOwnName) {
    MakeTestFile(Wav() + ".bak", "een oudere reservekopie");
    PrepareIntro();
    FreeSpaceStub space(kPlenty);
    const std::string log = CorrectAnswering(IDNO);
    EXPECT_EQ((std::vector<std::string>{kBakNotice,
                                        "Er is een fout opgetreden tijdens het hernoemen van bestand:\n" + Wav()}),
              BoxTexts());
    EXPECT_NE(std::string::npos, log.find("->   - kopie OK\n\rFOUT bij verplaatsen/hernoemen\n\r-> tlg - " + Tlg() +
                                          "\n\r->   - wissen OK\n\r"));
    EXPECT_TRUE(PathIsFile(Wav()));
    EXPECT_TRUE(PathIsFile(Audio() + "intro.wav"));
    EXPECT_FALSE(PathIsFile(Tlg()));
    EXPECT_EQ(0u, ItemText(m_page, kText).find("Het verplaatsen/kopi\xEBren van de bestanden is niet helemaal gelukt: "
                                               "1 bestand kon niet worden gekopieerd, gewist of hernoemd (de "
                                               "meldingen en het logboek C:\\Zekerpad.log noemen het).\n\n"));
}

TEST_F(Yellow2Page, AnExistingTargetLeavesSourceAndCompanionAlone) {
    MakeTestFile(Audio() + "intro.wav", "iets anders");
    PrepareIntro();
    FreeSpaceStub space(kPlenty);
    const std::string log = CorrectAnswering(IDYES);
    EXPECT_EQ(std::vector<std::string>{"Het volgende bestand bestaat al:\n" + Audio() + "intro.wav"}, BoxTexts());
    EXPECT_NE(std::string::npos, log.find("intro.wav\n\rdoel bestaat al\n\ralle bestanden"));
    EXPECT_TRUE(PathIsFile(Wav()));
    EXPECT_TRUE(PathIsFile(Tlg()));
    ExpectEndedNormally();
}

TEST_F(Yellow2Page, NamedTwiceIsCopiedOnceAndYellow1RecordsAreNotTouched) {
    const std::string pic = Media('D') + "dia.jpg", sameDrive = Media('C') + "hier.txt";
    Prepare({pic, sameDrive}, {pic, sameDrive, pic});
    ASSERT_EQ(2, g_nYellow2);
    FreeSpaceStub space(kPlenty);
    const std::string log = CorrectAnswering(IDYES);
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_NE(std::string::npos, log.find("-> bron - " + pic + "\n\r-> doel - " + ShowFolder() +
                                          "Plaatjes\\dia.jpg\n\r->   - al gekopieerd\n\ralle bestanden"));
    EXPECT_EQ(std::string::npos, log.find("hier.txt"));
    EXPECT_TRUE(PathIsFile(sameDrive));
    EXPECT_TRUE(PathIsFile(ShowFolder() + "Plaatjes\\dia.jpg"));
    EXPECT_FALSE(PathIsFile(pic));
    // The needed room counts both records of the file named twice.
    EXPECT_NE(std::string::npos, log.find("-> nodig - 220\n\r"));
    EXPECT_EQ(0u, ItemText(m_page, kText).find(kMovedToBin));
}

// The branches that keep the user's files when a step after a good copy
// fails, each reached without special rights.
// A read-only file may go to the Recycle Bin; on a drive without one it
// cannot be deleted.
TEST_F(Yellow2Page, AReadOnlySourceStaysWholeBesideItsGoodCopy) {
    m_drive = 'E';
    PrepareIntro();
    ASSERT_TRUE(::SetFileAttributesA(Wav().c_str(), FILE_ATTRIBUTE_READONLY));
    FreeSpaceStub space(kPlenty);
    const std::string log = CorrectAnswering(IDYES);
    ::SetFileAttributesA(Wav().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(std::vector<std::string>{"Fout tijdens het wissen van bestand\n" + Wav()}, BoxTexts());
    EXPECT_NE(std::string::npos, log.find("->   - kopie OK\n\rFOUT bij verplaatsen/hernoemen\n\r-> tlg - "));
    EXPECT_EQ(ReadWholeFile(Wav()), ReadWholeFile(Audio() + "intro.wav"));
}

TEST_F(Yellow2Page, ASourceAndItsCompanionBothLeftCountAsOneFile) {
    m_drive = 'E';
    PrepareIntro();
    ASSERT_TRUE(::SetFileAttributesA(Wav().c_str(), FILE_ATTRIBUTE_READONLY));
    UniqueFile held = HoldOpen(Tlg(), FILE_SHARE_READ);
    ASSERT_TRUE(held);
    FreeSpaceStub space(kPlenty);
    CorrectAnswering(IDYES);
    held.reset();
    ::SetFileAttributesA(Wav().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(2u, BoxTexts().size());
    EXPECT_EQ(0u, ItemText(m_page, kText).find("Het verplaatsen/kopi\xEBren van de bestanden is niet helemaal gelukt: "
                                               "1 bestand kon niet worden gekopieerd, gewist of hernoemd (de "
                                               "meldingen en het logboek C:\\Zekerpad.log noemen het).\n\n"));
}

TEST_F(Yellow2Page, ACompanionHeldOpenIsNotDeletedAndSaysSo) {
    PrepareIntro();
    FreeSpaceStub space(kPlenty);
    UniqueFile held = HoldOpen(Tlg(), FILE_SHARE_READ);
    ASSERT_TRUE(held);
    const std::string log = CorrectAnswering(IDYES);
    held.reset();
    EXPECT_EQ(std::vector<std::string>{"Fout tijdens het wissen van een tlg-bestand:\n" + Tlg()}, BoxTexts());
    EXPECT_NE(std::string::npos, log.find("-> tlg - " + Tlg() + "\n\r-> fout - wissen niet gelukt\n\r"));
    EXPECT_TRUE(PathIsFile(Tlg()));
    EXPECT_TRUE(PathIsFile(Audio() + "intro.wav"));
    EXPECT_FALSE(PathIsFile(Wav()));
}

TEST_F(Yellow2Page, ABakNameOver259CharactersIsRefusedAndTheSourceStays) {
    // The source's path is 257 characters: its ".bak" name would be 261.
    const std::string name = "lang.jpg";
    const std::string deep = Media('D') + std::string(257 - Media('D').size() - name.size() - 1, 'd') + "\\";
    const std::string source = deep + name;
    ASSERT_EQ(257u, source.size());
    Prepare({source}, {source});
    FreeSpaceStub space(kPlenty);
    const std::string log = CorrectAnswering(IDNO);
    EXPECT_EQ((std::vector<std::string>{kBakNotice,
                                        "Er is een fout opgetreden tijdens het hernoemen van bestand:\n" + source}),
              BoxTexts());
    EXPECT_NE(std::string::npos, log.find("->   - kopie OK\n\rFOUT bij verplaatsen/hernoemen\n\r"));
    EXPECT_TRUE(PathIsFile(source));
    EXPECT_TRUE(PathIsFile(ShowFolder() + "Plaatjes\\" + name));
    EXPECT_FALSE(PathIsFile(std::string(source, 0, 255) + ".bak")) << "never cut";
}

TEST_F(Yellow2Page, AShowAmongTheRecordsStopsAfterTheFilesBeforeIt) {
    const std::string a = Media('D') + "a.mp3", show = Media('D') + "andere.ws4", c = Media('D') + "c.psd";
    Prepare({a, show, c}, {a, show, c});
    FreeSpaceStub space(kPlenty);
    const std::string help = ItemText(m_page, kText);
    const std::string log = CorrectAnswering(IDYES);
    EXPECT_EQ(std::vector<std::string>{"FOUT:\nEr komt een show (.ws4) voor tussen de GELE bestanden!"}, BoxTexts());
    EXPECT_TRUE(PathIsFile(Audio() + "a.mp3"));
    EXPECT_TRUE(PathIsFile(show));
    EXPECT_TRUE(PathIsFile(c));
    EXPECT_EQ(std::string::npos, log.find("Einde"));
    // The bar counts bytes and files: a.mp3's 110 bytes and its one step
    // are done when the show is met.
    ExpectStopped(111);
    EXPECT_EQ(help, ItemText(m_page, kText));
}

TEST_F(Yellow2Page, FreeSpaceMustExceedNeededPlusOneMillionBytes) {
    PrepareIntro();
    {
        FreeSpaceStub exact(1200 + 1000000);
        const std::string log = Correct();
        EXPECT_NE(std::string::npos, log.find("-> nodig - 1200\n\r-> vrij - 1001200\n\rOnvoldoende schijfruimte vrij\n\r"
                                              "Einde corrigeren GEEL 2\n\r"));
        EXPECT_EQ(std::vector<std::string>{"Er is onvoldoende vrije ruimte op de schijf waar de show staat."},
                  BoxTexts());
        EXPECT_EQ(1u, m_boxes.Boxes().size());  // no question
        EXPECT_TRUE(PathIsFile(Wav()));
        EXPECT_FALSE(PathIsFile(Audio() + "intro.wav"));
        ExpectEndedNormally();
    }
    ShowPage(0);
    ShowPage(5);
    FreeSpaceStub oneMore(1200 + 1000000 + 1);
    CorrectAnswering(IDYES);
    ASSERT_EQ(2u, m_boxes.Boxes().size());
    EXPECT_EQ(kQuestion, m_boxes.Boxes()[1].text);
    EXPECT_TRUE(PathIsFile(Audio() + "intro.wav"));
}

TEST_F(Yellow2Page, FreeSpaceThatCannotBeDeterminedStopsBeforeAnyCopy) {
    PrepareIntro();
    {
        FreeSpaceStub old(FreeSpaceError{ERROR_CALL_NOT_IMPLEMENTED});
        EXPECT_NE(std::string::npos, Correct().find("-> vrij - onbekend\n\rVrije schijfruimte niet berekenbaar "
                                                    "(win95 te oud)\n\rEinde corrigeren GEEL 2\n\r"));
        ExpectEndedNormally();
    }
    ShowPage(0);
    ShowPage(5);
    m_logStart = LogSoFar().size();
    FreeSpaceStub notReady(FreeSpaceError{ERROR_NOT_READY});
    EXPECT_NE(std::string::npos,
              Correct().find("-> vrij - onbekend\n\rVrije schijfruimte niet berekenbaar\n\rEinde corrigeren GEEL 2\n\r"));
    EXPECT_EQ((std::vector<std::string>{
                  "Deze ondersteuning is (nog) niet beschikbaar voor gebruikers van de oudere versies van Windows 95 "
                  "(standaard en OSR 1).\n\nVoor deze actie is minimaal Windows 95 OSR 2 nodig.\n\nU zult het "
                  "verplaatsen van de bestanden op een andere manier moeten uitvoeren.\nMogelijk dat een latere versie "
                  "van Zekerpad deze versie van Windiws wel ondersteunt.",
                  "Fout tijdens het bepalen van de vrije schijfruimte op schijf C:"}),
              BoxTexts());
    EXPECT_TRUE(PathIsFile(Wav()));
    EXPECT_FALSE(PathIsFile(Audio() + "intro.wav"));
}

TEST_F(Yellow2Page, ASubfolderLostAfterTheQuestionStopsBeforeAnyCopy) {
    PrepareIntro();
    // Between the two checks of the subfolders, one becomes impossible to make.
    FreeSpaceStub space(kPlenty, [] { g_csSubmapOverige = "Over?ige"; });
    const std::string log = CorrectAnswering(IDYES);
    EXPECT_EQ(std::vector<std::string>{"Er is een fout opgetreden tijdens het maken van de map:\n" + ShowFolder() +
                                       "Over?ige\\"},
              BoxTexts());
    EXPECT_EQ(std::string::npos, log.find("bron"));
    EXPECT_TRUE(PathIsFile(Wav()));
    ExpectStopped(0);
}

TEST_F(Yellow2Page, ASourceHeldOpenOrOnAMissingDriveIsNotCopiedAndStaysWhole) {
    const std::string held = Media('D') + "bezet.wav", heldTlg = Media('D') + "bezet.tlg";
    ASSERT_FALSE(PathIsFolder("Q:\\"));
    Prepare({held, heldTlg}, {held, "Q:\\Media\\weg.bmp"});
    FreeSpaceStub space(kPlenty);
    UniqueFile lock = HoldOpen(held, 0);
    ASSERT_TRUE(lock);
    const std::string log = CorrectAnswering(IDYES);
    lock.reset();

    EXPECT_EQ((std::vector<std::string>{
                  "Fout tijdens het kopi\xEBren van bestand\n" + held + "\nnaar\n" + Audio() + "bezet.wav",
                  "Fout tijdens het kopi\xEBren van bestand\nQ:\\Media\\weg.bmp\nnaar\n" + ShowFolder() +
                      "Plaatjes\\weg.bmp"}),
              BoxTexts());
    EXPECT_NE(std::string::npos, log.find("bezet.wav\n\rfout tijdens kopi\xEBren\n\r-> bron - Q:"));
    EXPECT_TRUE(PathIsFile(held));
    EXPECT_TRUE(PathIsFile(heldTlg));
    EXPECT_FALSE(PathIsFile(Audio() + "bezet.wav"));
    ExpectEndedNormally();
}

TEST_F(Yellow2Page, AReadOnlyTargetFolderFailsTheCopyWithoutLoss) {
    MakeFolderTree(ShowFolder() + "Audio");
    PrepareIntro();
    ScopedReadOnlyFolder readOnly(ShowFolder() + "Audio");
    if (!readOnly.Made()) GTEST_SKIP() << "no read-only folder: " << readOnly.Why();
    FreeSpaceStub space(kPlenty);
    CorrectAnswering(IDYES);
    EXPECT_EQ(1u, BoxTexts().size());
    EXPECT_TRUE(PathIsFile(Wav()));
    EXPECT_TRUE(PathIsFile(Tlg()));
}

TEST_F(Yellow2Page, ADiskThatFillsDuringACopyLosesNothingAndTheRunGoesOn) {
    const char* disk = std::getenv("ZK_SMALL_DISK");
    if (!disk || !*disk)
        GTEST_SKIP() << "no small disk: tests/run-tests.sh mounts a 3 MiB tmpfs as F: only when run as root";
    m_showFolder = std::string(disk) + "ZkRepairFull\\Show\\";
    m_cleanup.push_back(std::string(disk) + "ZkRepairFull");
    ULARGE_INTEGER room{};
    ASSERT_TRUE(::GetDiskFreeSpaceExA(disk, &room, nullptr, nullptr));
    ASSERT_LT(room.QuadPart, 8ull << 20) << "not a small disk";
    // The second file cannot fit even on the empty disk; the others do.
    const std::string small = Media('D') + "klein.wav", big = Media('D') + "groot.wav", last = Media('D') + "laatste.bmp";
    MakeTestFile(small, TestBytes(room.QuadPart / 4, 1));
    MakeTestFile(big, TestBytes(room.QuadPart + 1500000, 2));
    MakeTestFile(last, TestBytes(room.QuadPart / 4, 3));
    UseShow(m_showFolder + "demo.ws4");
    for (const std::string& f : {small, big, last}) AddYellowRecord(f);
    Open();
    // The space check is told there is room: the disk itself must refuse.
    FreeSpaceStub space(kPlenty);
    CorrectAnswering(IDYES);

    EXPECT_EQ(std::vector<std::string>{"Fout tijdens het kopi\xEBren van bestand\n" + big + "\nnaar\n" + Audio() +
                                       "groot.wav"},
              BoxTexts());
    EXPECT_FALSE(PathIsFile(Audio() + "groot.wav"));
    EXPECT_TRUE(PathIsFile(big));
    EXPECT_TRUE(PathIsFile(Audio() + "klein.wav"));
    EXPECT_TRUE(PathIsFile(ShowFolder() + "Plaatjes\\laatste.bmp"));
}

TEST_F(Yellow2Page, ATargetPathOver259CharactersIsRefusedWholeNeverCut) {
    const std::string wav = Media('D') + "een_lange_naam_voor_intro.wav";
    UseShow(ShowFolder() + "demo.ws4");
    const std::string sub(259 - ShowFolder().size() - 1, 'a');
    g_csSubmapAudio = sub;
    MakeFiles({wav});
    AddYellowRecord(wav);
    Open();
    FreeSpaceStub space(kPlenty);
    CorrectAnswering(IDYES);
    const std::string target = ShowFolder() + sub + "\\een_lange_naam_voor_intro.wav";
    ASSERT_GT(target.size(), 259u);
    EXPECT_EQ(std::vector<std::string>{"Fout tijdens het kopi\xEBren van bestand\n" + wav + "\nnaar\n" + target},
              BoxTexts());
    EXPECT_TRUE(PathIsFile(wav));
}

TEST_F(Yellow2Page, NoYellow2FilesLeftWhenPressedEndsAtOnce) {
    PrepareIntro();
    g_nYellow2 = 0;
    EXPECT_EQ("Start corrigeren GEEL 2\n\rCorrigeren Geel 2\n\r-> Fout - Geen bestanden GEEL 2 aanwezig\n\r"
              "Einde corrigeren GEEL 2\n\r",
              Correct());
    ExpectEndedNormally();
    EXPECT_TRUE(PathIsFile(Wav()));
}

TEST_F(Yellow2Page, StartWingsLogsNothingOfItsOwn) {
    PrepareIntro();
    SetStandInEnv("ZK_WINGS_RECORD", Root() + "\\record.txt");
    FreeSpaceStub space(kPlenty);
    CorrectAnswering(IDYES);
    m_logStart = LogSoFar().size();
    ClickButton(m_page, kStartWings);
    EXPECT_EQ(0u, LogSoFar().substr(m_logStart).find("-> csExe - "));
    EXPECT_FALSE(IsEnabled(m_page, kStartWings));
    EXPECT_TRUE(IsEnabled(m_page, kOpnieuw));
    ClickButton(m_page, kOpnieuw);
    EXPECT_EQ(2, m_wizard->CurrentIndex());
}

TEST_F(Yellow2Page, StartWingsThatFindsNoWingsOffersNoFreshAnalysis) {
    PrepareIntro();
    FreeSpaceStub space(kPlenty);
    CorrectAnswering(IDYES);
    MakeFolderTree(Root() + "\\Leeg");
    RegisterWingsFolder(Root() + "\\Leeg");
    ClickButton(m_page, kStartWings);
    EXPECT_EQ(0u, m_boxes.Boxes().back().text.find("Helaas, Wings kan niet gelocaliseerd worden"));
    // As on the red page: neither button is left to press.
    EXPECT_FALSE(IsEnabled(m_page, kStartWings));
    EXPECT_FALSE(IsEnabled(m_page, kOpnieuw));
}

// A show on a network path has no drive letter: its folder is asked about.
TEST(Yellow2FreeSpace, AShowWithoutDriveLetterIsAskedAboutByItsFolder) {
    MessageBoxRecorder boxes;
    CFileReferenceList records;
    records.push_back(MakeRecord("D:\\Media\\intro.wav"));
    records.back()->m_nSize = 5000;
    {
        FreeSpaceStub space(5000 + 1000000 + 1);
        EXPECT_TRUE(CheckRoomForYellow2(records, "", "\\\\server\\share\\Shows\\"));
        EXPECT_EQ(std::vector<std::string>{"\\\\server\\share\\Shows\\"}, space.Asked());
    }
    FreeSpaceStub failing(FreeSpaceError{ERROR_BAD_NETPATH});
    EXPECT_FALSE(CheckRoomForYellow2(records, "", "\\\\server\\share\\Shows\\"));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Fout tijdens het bepalen van de vrije schijfruimte op schijf \\\\server\\share\\Shows\\",
              boxes.Boxes()[0].text);
}

// The question as the system draws it where a drive has no Recycle Bin,
// and the page after the answer Yes, at 96 DPI and (run by the next test)
// at 144.
TEST_F(Yellow2Page, TheQuestionWithoutARecycleBinPicture) {
    m_drive = 'E';
    PrepareIntro(75, 76);
    FreeSpaceStub space(kPlenty);
    bool shot = false;
    ScopedSeam<MessageBoxFn> real(g_pfnMessageBox, [](HWND__* owner, const std::string& text,
                                                      const std::string& caption, unsigned type) -> int {
        if ((type & MB_TYPEMASK) != MB_YESNO) return IDOK;  // the ".bak" notice
        return ::MessageBoxA(owner, text.c_str(), caption.c_str(), type);
    });
    ModalDriver driver("Zekerpad", {[&](HWND box) {
                           shot = SaveShot(box, ShotFolder("words") + "5-geel2-vraag-zonder-prullenbak");
                           ::PostMessageA(box, WM_COMMAND, IDYES, 0);
                       }});
    Correct();
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(shot);
    // The result with the longest sentence on where the originals went.
    EXPECT_TRUE(SaveShot(m_wizard->Sheet(), ShotFolder("words") + "5-geel2-gecorrigeerd-zonder-prullenbak"));
}

TEST(Yellow2PageAt144Dpi, TheQuestionWithoutARecycleBinPicture) {
    if (InDpiChild()) GTEST_SKIP() << "the child itself";
    EXPECT_EQ(0, RunTestsAt144Dpi("Yellow2Page.TheQuestionWithoutARecycleBinPicture"));
}
