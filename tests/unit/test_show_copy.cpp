// A show copied by hand (to a stick, to the venue's PC) still names its
// files at the old place; they are looked for at the same place below the
// copy, and the verdict says what is there without a record to go by.
#include <gtest/gtest.h>

#include <set>

#include "analysis/show_copy.h"
#include "backup/copy_verdict.h"

namespace {
// The copy on the stick, as Explorer made it.
const std::set<std::string> kOnStick = {"E:\\Demo\\Audio\\intro.wav", "E:\\Demo\\Audio\\slot.mp3",
                                        "E:\\Demo\\Plaatjes\\titel.jpg"};
bool OnStick(const std::string& path) { return kOnStick.count(path) > 0; }
}  // namespace

TEST(ShowCopy, TheOldFolderIsTheOneThatFindsTheFilesInTheCopy) {
    // Only audio files named: the folder they share is Audio, but the show's
    // own folder is the one above it, as the copy shows.
    ShowCopyMap map = MapShowCopy({"C:\\Shows\\Demo\\Audio\\intro.wav", "c:\\shows\\demo\\audio\\INTRO.WAV",
                                   "C:\\Shows\\Demo\\Audio\\slot.mp3", "C:\\Shows\\Demo\\Audio\\weg.wav"},
                                  "E:\\Demo\\", &OnStick);
    EXPECT_EQ("C:\\Shows\\Demo\\", map.oldFolder);
    EXPECT_EQ(3, map.named);
    EXPECT_EQ(2, map.atSamePlace);
    EXPECT_EQ("E:\\Demo\\Audio\\weg.wav", PlaceInCopy("C:\\Shows\\Demo\\Audio\\weg.wav", map.oldFolder, "E:\\Demo\\"));
    EXPECT_EQ("", PlaceInCopy("D:\\Muziek\\lied.mp3", map.oldFolder, "E:\\Demo\\"));
    EXPECT_EQ("Deze show is een kopie van C:\\Shows\\Demo; 2 van de 3 bestanden staan op dezelfde plaats in deze "
              "kopie. Controleer de kopie met de knop 'Back-up of show controleren...' op de eerste pagina.\n",
              ShowCopyNote(map, "E:\\Demo\\"));

    // Nothing found: the folder that holds them all, deepest; no line, as
    // nothing shows it is a copy.
    map = MapShowCopy({"C:\\Shows\\Demo\\Audio\\a.wav", "C:\\Shows\\Demo\\Plaatjes\\b.jpg"}, "F:\\Leeg\\", &OnStick);
    EXPECT_EQ("C:\\Shows\\Demo\\", map.oldFolder);
    EXPECT_EQ(0, map.atSamePlace);
    EXPECT_EQ("", ShowCopyNote(map, "F:\\Leeg\\"));

    // The show in its own folder is no copy of anything.
    map = MapShowCopy({"E:\\Demo\\Audio\\intro.wav", "D:\\Muziek\\lied.mp3"}, "E:\\Demo\\", &OnStick);
    EXPECT_EQ("E:\\Demo\\", map.oldFolder);
    EXPECT_EQ("", ShowCopyNote(map, "e:\\demo\\"));
    EXPECT_EQ(0, MapShowCopy({}, "E:\\Demo\\", &OnStick).named);
}

TEST(ShowCopy, TheVerdictSaysItWasJudgedWithoutARecord) {
    ShowCopyResult r;
    r.shows = {"demo.ws4"};
    r.named = 6;
    r.whole = 6;
    EXPECT_TRUE(ShowCopyComplete(r));
    EXPECT_EQ("De show is compleet: alle 6 bestanden staan erin en zijn heel. Er was geen overzicht om mee te "
              "vergelijken.\n\nElk bestand staat in het logboek C:\\Zekerpad.log.",
              ShowCopyText(r, "C:\\Zekerpad.log"));
    r.notJudged = 1;
    EXPECT_EQ(0u, ShowCopyText(r, "L").find("De show is compleet: alle 6 bestanden staan erin en zijn heel. Er was "
                                              "geen overzicht om mee te vergelijken.\nVan 1 bestand kan Zekerpad de "
                                              "inhoud niet beoordelen; die staan er wel.\n"));

    r.whole = 4;
    r.missing = {"Audio\\weg.wav"};
    r.damaged = {"Plaatjes\\titel.jpg (het bestand is afgebroken)"};
    EXPECT_FALSE(ShowCopyComplete(r));
    EXPECT_EQ("De show is niet compleet: 2 van de 6 bestanden ontbreken of zijn beschadigd. Er was geen overzicht "
              "om mee te vergelijken.\n\nOntbreekt in de kopie:\nAudio\\weg.wav\n\nBeschadigd:\nPlaatjes\\titel.jpg "
              "(het bestand is afgebroken)\n\nZet deze bestanden op dezelfde plaats in de kopie, vanaf de computer "
              "waarop de show is gemaakt. Het beste is een back-up met Zekerpad: die neemt alles mee en is later te "
              "controleren.\n\nElk bestand staat in het logboek L.",
              ShowCopyText(r, "L"));

    // Named outside the show's folder: never in a copy of it.
    ShowCopyResult outside;
    outside.shows = {"demo.ws4"};
    outside.named = 1;
    outside.outside = {"D:\\Muziek\\lied.mp3"};
    EXPECT_FALSE(ShowCopyComplete(outside));
    EXPECT_EQ(0u, ShowCopyText(outside, "L").find("De show is niet compleet: 1 van de 1 bestanden ontbreekt of is "
                                                    "beschadigd. Er was geen overzicht om mee te vergelijken.\n\n"
                                                    "Staat buiten de map van de show, en dus niet in de kopie:\n"
                                                    "D:\\Muziek\\lied.mp3\n\n"));
    // A stopped check proves nothing.
    r = ShowCopyResult{};
    r.shows = {"demo.ws4"};
    r.stopped = true;
    EXPECT_FALSE(ShowCopyComplete(r));
    EXPECT_EQ(0u, ShowCopyText(r, "L").find("De controle is gestopt; de show is dus niet volledig gecontroleerd.\n"));
}
