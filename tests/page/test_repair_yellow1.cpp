// The yellow-1 page: files elsewhere on the show's drive are moved into
// the show's subfolders. Every scenario ends with the nothing-lost check.
#include "services/msgbox.h"
#include "services/state.h"
#include "page/repair_fixture.h"

namespace {
const char kSuccess[] = "Het verplaatsen van de bestanden naar een veiligere plaats is gelukt.\n\n";

class Yellow1Page : public YellowPageTest {
protected:
    Yellow1Page() : YellowPageTest(4, false) {}
};
}  // namespace

TEST_F(Yellow1Page, MovesASoundFileWithItsCompanionAndMakesAllThreeSubfolders) {
    const std::string wav = Media() + "intro.wav", tlg = Media() + "intro.tlg";
    Prepare({wav, tlg}, {wav});
    const std::string help = ItemText(m_page, kText);
    EXPECT_EQ(0u, help.find("Alle bestanden met een GELE stip zijn aanwezig."));
    EXPECT_NE(std::string::npos, help.find("uit de eeste categorie."));

    EXPECT_EQ("Start corrigeren GEEL 1 \n\rCorrigeren Geel 1\n\r-> bron - " + wav + "\n\r-> doel - " + Audio() +
                  "intro.wav\n\r->   - OK\n\r-> tlg bron - " + tlg + "\n\r-> tlg doel - " + Audio() +
                  "intro.tlg\n\r->   - OK\n\rKlaar met verplaatsen\n\rEinde corrigeren GEEL 1 \n\r",
              Correct());
    EXPECT_TRUE(PathIsFile(Audio() + "intro.wav"));
    EXPECT_TRUE(PathIsFile(Audio() + "intro.tlg"));
    EXPECT_FALSE(PathIsFile(wav));
    EXPECT_FALSE(PathIsFile(tlg));
    EXPECT_TRUE(PathIsFolder(ShowFolder() + "Plaatjes"));
    EXPECT_TRUE(PathIsFolder(ShowFolder() + "Overige"));
    EXPECT_TRUE(BoxTexts().empty());
    ExpectEndedNormally();
    EXPECT_EQ(std::string(kSuccess) +
                  "U moet nu nog wel deze show openen in Wings. Dan zal Wings melden dat niet alle geluidsbestanden "
                  "of afbeeldingen gelezen konden worden.Wings zal u vragen of er naar die bestanden gezocht moet "
                  "worden.\nKies voor 'JA', en geef aan dat Wings moet zoeken op schijf: C. \n\nU kunt Wings "
                  "starten met de knop hieronder.\n\nHet is mogelijk dat bij de andere stappen binnen Zekerpad nog "
                  "een keer wordt aangegeven dat de show opnieuw geopend moet worden met Wings. U hoeft het nu niet "
                  "te doen, maar ik raad het u wel aan.\n\n",
              ItemText(m_page, kText));
}

TEST_F(Yellow1Page, ExistingTargetsAreNeverReplacedAndTheResultSaysSo) {
    // intro.wav's target exists; song.wav's companion target exists.
    const std::string intro = Media() + "intro.wav", song = Media() + "song.wav";
    Prepare({intro, Media() + "intro.tlg", song, Media() + "song.tlg", Audio() + "intro.wav", Audio() + "song.tlg"},
            {intro, song});
    const std::string log = Correct();

    EXPECT_EQ((std::vector<std::string>{"Het volgende bestand bestaat al:\n" + Audio() + "intro.wav",
                                        "Het volgende bestand bestaat al:\n" + Audio() + "song.tlg"}),
              BoxTexts());
    EXPECT_NE(std::string::npos, log.find("-> doel - " + Audio() + "intro.wav\n\r-> stop - doelbestand bestaat al\n\r"
                                          "-> bron - " + song));
    EXPECT_NE(std::string::npos, log.find("-> tlg doel - " + Audio() + "song.tlg\n\r-> stop - doel bestaat al\n\r"));
    EXPECT_TRUE(PathIsFile(intro));
    EXPECT_TRUE(PathIsFile(Media() + "intro.tlg"));
    EXPECT_TRUE(PathIsFile(Audio() + "song.wav"));
    EXPECT_TRUE(PathIsFile(Media() + "song.tlg"));
    ExpectEndedNormally();
    const std::string text = ItemText(m_page, kText);
    EXPECT_EQ(0u, text.find("Het verplaatsen van de bestanden is niet helemaal gelukt: 2 bestanden konden niet "
                            "worden verplaatst (de meldingen en het logboek C:\\Zekerpad.log noemen ze).\n\nU moet nu "
                            "nog wel deze show openen in Wings."))
        << text;
}

TEST_F(Yellow1Page, MissingCompanionGivesOnlyItsTwoLogLines) {
    const std::string wav = Media() + "intro.wav";
    Prepare({wav}, {wav});
    EXPECT_NE(std::string::npos, Correct().find("->   - OK\n\r-> tlg bron - " + Media() + "intro.tlg\n\r-> tlg doel - " +
                                                Audio() + "intro.tlg\n\rKlaar met verplaatsen\n\r"));
    EXPECT_TRUE(PathIsFile(Audio() + "intro.wav"));
    EXPECT_EQ(0u, ItemText(m_page, kText).find(kSuccess));
}

TEST_F(Yellow1Page, TheSameFileNamedTwiceIsMovedOnce) {
    // Named twice, once through a folder and back up again.
    const std::string pic = Media() + "dia.jpg", again = Media() + "Sub\\..\\DIA.jpg";
    Prepare({pic}, {pic, again});
    const std::string log = Correct();
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_NE(std::string::npos, log.find("-> bron - " + again + "\n\r-> doel - " + ShowFolder() +
                                          "Plaatjes\\DIA.jpg\n\r->   - al verplaatst\n\rKlaar met verplaatsen\n\r"));
    EXPECT_TRUE(PathIsFile(ShowFolder() + "Plaatjes\\dia.jpg"));
    ExpectEndedNormally();
    EXPECT_EQ(0u, ItemText(m_page, kText).find(kSuccess));
}

TEST_F(Yellow1Page, AShowAmongTheRecordsStopsTheRunAfterTheFilesBeforeIt) {
    const std::string a = Media() + "a.wav", b = Media() + "b.gif", show = Media() + "andere.ws4",
                      d = Media() + "d.txt";
    Prepare({a, b, show, d}, {a, b, show, d});
    const std::string help = ItemText(m_page, kText);
    const std::string log = Correct();

    EXPECT_EQ(std::vector<std::string>{"FOUT:\nEr komt een show (.ws4) voor tussen de GELE bestanden!"}, BoxTexts());
    EXPECT_TRUE(PathIsFile(Audio() + "a.wav"));
    EXPECT_TRUE(PathIsFile(ShowFolder() + "Plaatjes\\b.gif"));
    EXPECT_TRUE(PathIsFile(show));
    EXPECT_TRUE(PathIsFile(d));
    EXPECT_NE(std::string::npos, log.find("-> bron - " + show + "\n\r"));
    EXPECT_EQ(std::string::npos, log.find(d));
    EXPECT_EQ(std::string::npos, log.find("Einde"));
    ExpectStopped(3);
    EXPECT_EQ(help, ItemText(m_page, kText));
}

TEST_F(Yellow1Page, ALowerCaseShowDriveSelectsItsRecordsAndLeavesOtherDrivesAlone) {
    const std::string clip = Media() + "clip.mp3", elsewhere = Root('D') + "\\Media\\elders.bmp";
    std::string show = ShowFolder() + "demo.ws4";
    show[0] = 'c';
    UseShow(show);
    MakeFiles({clip, elsewhere});
    AddYellowRecord(clip);
    AddYellowRecord(elsewhere);
    ASSERT_EQ(1, g_nYellow1);
    Open();

    const std::string log = Correct();
    EXPECT_EQ(std::string::npos, log.find("elders"));
    EXPECT_TRUE(PathIsFile(elsewhere));
    EXPECT_TRUE(PathIsFile(Audio() + "clip.mp3"));
    EXPECT_NE(std::string::npos, ItemText(m_page, kText).find("zoeken op schijf: C. \n\n"));
}

TEST_F(Yellow1Page, ASourceHeldOpenStaysAndSoDoesItsCompanion) {
    const std::string wav = Media() + "bezet.wav", tlg = Media() + "bezet.tlg";
    Prepare({wav, tlg}, {wav});
    {
        UniqueFile held = HoldOpen(wav, 0);
        ASSERT_TRUE(held);
        const std::string log = Correct();
        held.reset();
        EXPECT_NE(std::string::npos, log.find("-> doel - " + Audio() + "bezet.wav\n\r-> stop - rename niet gelukt\n\r"
                                              "Klaar met verplaatsen\n\r"));
        EXPECT_EQ(std::string::npos, log.find("tlg"));
    }
    EXPECT_EQ(std::vector<std::string>{"FOUT tijdens het hernoemen/verplaatsen (rename) van bestand\n" + wav + "\nin\n" +
                                       Audio() + "bezet.wav"},
              BoxTexts());
    EXPECT_TRUE(PathIsFile(wav));
    EXPECT_TRUE(PathIsFile(tlg));
    EXPECT_FALSE(PathIsFile(Audio() + "bezet.tlg"));
    ExpectEndedNormally();
}

TEST_F(Yellow1Page, AReadOnlyTargetFolderFailsEachFileWithoutLoss) {
    const std::string wav = Media() + "intro.wav", tlg = Media() + "intro.tlg";
    Prepare({wav, tlg}, {wav});
    MakeFolderTree(ShowFolder() + "Audio");
    ScopedReadOnlyFolder readOnly(ShowFolder() + "Audio");
    if (!readOnly.Made()) GTEST_SKIP() << "no read-only folder: " << readOnly.Why();
    Correct();
    // The sound file stays, and its companion with it: one message.
    EXPECT_EQ(1u, BoxTexts().size());
    EXPECT_TRUE(PathIsFile(wav));
    EXPECT_TRUE(PathIsFile(tlg));
    ExpectEndedNormally();
}

TEST_F(Yellow1Page, AMissingShowDriveStopsBeforeAnythingMoves) {
    ASSERT_FALSE(PathIsFolder("Q:\\"));
    UseShow("Q:\\Shows\\demo.ws4");
    AddYellowRecord("Q:\\Media\\intro.wav");
    Open();
    EXPECT_EQ("Start corrigeren GEEL 1 \n\rCorrigeren Geel 1\n\r", Correct());
    EXPECT_EQ(std::vector<std::string>{"Er is een fout opgetreden tijdens het maken van de map:\nQ:\\Shows\\Audio\\"},
              BoxTexts());
    ExpectStopped(0);
}

TEST_F(Yellow1Page, NoYellow1FilesLeftWhenPressedEndsAtOnce) {
    const std::string wav = Media() + "intro.wav";
    Prepare({wav}, {wav});
    const std::string help = ItemText(m_page, kText);
    g_nYellow1 = 0;
    EXPECT_EQ("Start corrigeren GEEL 1 \n\rCorrigeren Geel 1\n\r-> Fout - Geen bestanden GEEL 1 aanwezig\n\r"
              "Einde corrigeren GEEL 1 \n\r",
              Correct());
    ExpectEndedNormally();
    EXPECT_EQ(help, ItemText(m_page, kText));
    EXPECT_TRUE(PathIsFile(wav));
}

TEST_F(Yellow1Page, ATargetPathOver259CharactersIsRefusedWholeNeverCut) {
    const std::string wav = Media() + "een_lange_naam_voor_intro.wav";
    UseShow(ShowFolder() + "demo.ws4");
    const std::string sub(259 - ShowFolder().size() - 1, 'a');
    g_csSubmapAudio = sub;
    MakeFiles({wav});
    AddYellowRecord(wav);
    Open();
    const std::string target = ShowFolder() + sub + "\\een_lange_naam_voor_intro.wav";
    ASSERT_GT(target.size(), 259u);

    const std::string log = Correct();
    EXPECT_EQ(std::vector<std::string>{"FOUT tijdens het hernoemen/verplaatsen (rename) van bestand\n" + wav + "\nin\n" +
                                       target},
              BoxTexts());
    EXPECT_NE(std::string::npos, log.find("-> doel - " + target + "\n\r-> stop - rename niet gelukt\n\r"));
    EXPECT_TRUE(PathIsFile(wav));
    ExpectEndedNormally();
}

TEST_F(Yellow1Page, StartWingsAfterTheRunThenOpnieuwAnalyseren) {
    const std::string wav = Media() + "intro.wav";
    Prepare({wav}, {wav});
    SetStandInEnv("ZK_WINGS_RECORD", Root() + "\\record.txt");
    Correct();
    m_logStart = LogSoFar().size();
    ClickButton(m_page, kStartWings);
    EXPECT_EQ("Start Wings vanuit GEEL 1\n\r-> csExe - " + StandInFolder() + "\\wings.exe\n\r-> csExe - Bestaat\n\r" +
                  "-> csArg - \"" + g_csRecentFile + "\"\n\r",
              LogSoFar().substr(m_logStart));
    EXPECT_FALSE(IsEnabled(m_page, kCorrigeren));
    EXPECT_FALSE(IsEnabled(m_page, kStartWings));
    EXPECT_TRUE(IsEnabled(m_page, kOpnieuw));
    const size_t beforeReanalysis = LogSoFar().size();
    ClickButton(m_page, kOpnieuw);
    EXPECT_EQ(2, m_wizard->CurrentIndex());
    // The results were current: only a cleared flag makes the page scan again.
    EXPECT_NE(std::string::npos, LogSoFar().find("-> Start analyse - " + g_csRecentFile + "\n\r", beforeReanalysis));
}
