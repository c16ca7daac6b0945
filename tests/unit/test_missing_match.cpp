// What the search for missing files decides without a disk: the names it
// looks for, the choice per missing file, and the texts it shows.
// Window-free: it also runs natively under the sanitizers.
#include <gtest/gtest.h>

#include "repair/missing_match.h"

namespace {
MissingCandidate Found(const char* path, int64_t size = 0) {
    MissingCandidate c;
    c.path = path;
    c.size = size;
    c.written = MissingDate{2026, 12, 7, 9, 5};
    return c;
}
}  // namespace

TEST(MissingMatch, NamesAreMatchedWithoutCaseAndOnlyWhole) {
    MissingFiles files({"C:\\Shows\\Demo\\Audio\\Applaus.WAV", "c:\\shows\\demo\\audio\\applaus.wav",
                        "D:\\Beeld\\applaus.wav", "C:\\Shows\\Demo\\dia.001", "C:\\Shows\\Demo\\Café.jpg"});
    // The same path twice, differing only in case, is one missing file.
    ASSERT_EQ(4u, files.Groups().size());
    EXPECT_EQ("Applaus.WAV", files.Groups()[0].fileName);
    EXPECT_EQ(1, files.Groups()[0].kind);
    EXPECT_EQ(2, files.Groups()[2].kind);

    std::string scratch;
    const std::vector<size_t>* applaus = files.GroupsNamed("APPLAUS.wav", scratch);
    ASSERT_NE(nullptr, applaus);
    EXPECT_EQ((std::vector<size_t>{0, 1}), *applaus);
    EXPECT_EQ(nullptr, files.GroupsNamed("applaus.wave", scratch));
    EXPECT_EQ(nullptr, files.GroupsNamed("applaus", scratch));
    EXPECT_EQ(nullptr, files.GroupsNamed("xapplaus.wav", scratch));
    // Only the ASCII letters fold, as everywhere in the program.
    ASSERT_NE(nullptr, files.GroupsNamed("CAFé.JPG", scratch));
    EXPECT_EQ(nullptr, files.GroupsNamed("CAFÉ.jpg", scratch));
}

TEST(MissingMatch, OneCandidateIsChosenSeveralWaitForTheUser) {
    MissingFiles files({"C:\\Show\\een.wav", "C:\\Show\\twee.wav", "C:\\Show\\geen.wav"});
    files.AddCandidate(0, Found("E:\\Stick\\een.wav"));
    files.AddCandidate(1, Found("D:\\Oud\\twee.wav"));
    files.AddCandidate(1, Found("E:\\twee.wav"));
    files.ChooseDefaults();
    EXPECT_EQ(0, files.Groups()[0].chosen);
    EXPECT_EQ(-1, files.Groups()[1].chosen);
    EXPECT_EQ(-1, files.Groups()[2].chosen);
    EXPECT_EQ(1u, files.ChosenCount());
    EXPECT_EQ(3u, files.CandidateCount());

    EXPECT_EQ("C:\\Show\\een.wav", MissingGroupText(files.Groups()[0]));
    EXPECT_EQ("Kies een bestand:  C:\\Show\\twee.wav", MissingGroupText(files.Groups()[1]));
    EXPECT_EQ("Niet gevonden:  C:\\Show\\geen.wav", MissingGroupText(files.Groups()[2]));

    files.Choose(1, 1);
    EXPECT_EQ(1, files.Groups()[1].chosen);
    files.Choose(1, 0);  // another one replaces the choice
    EXPECT_EQ(0, files.Groups()[1].chosen);
    files.Choose(1, 2);  // no such candidate: nothing chosen
    EXPECT_EQ(-1, files.Groups()[1].chosen);
    files.Choose(0, -1);
    EXPECT_EQ(0u, files.ChosenCount());
}

TEST(MissingMatch, TextsOfAFoundFileAndOfTheSummaries) {
    EXPECT_EQ("Klaar: 1 map doorzocht, 1 bestand gevonden.", MissingSearchSummary(1, 1, 0, false));
    EXPECT_EQ("Klaar: 12.345 mappen doorzocht, 0 bestanden gevonden. 2 bestanden met een pad van meer dan 259 "
              "tekens zijn overgeslagen. Staan de bestanden op een USB-stick of schijf die nu niet is aangesloten, "
              "sluit die dan aan en zoek opnieuw; of laat Wings ze zoeken met Start Wings op de pagina met de rode "
              "bestanden.",
              MissingSearchSummary(12345, 0, 2, false));
    EXPECT_EQ("Het zoeken is gestopt na 1.000 mappen. Hieronder staat wat tot dan toe gevonden is. 1 bestand met "
              "een pad van meer dan 259 tekens is overgeslagen.",
              MissingSearchSummary(1000, 3, 1, true));

    EXPECT_EQ("E:\\Stick\\een.wav   (1,2 MB, 07-12-2026 09:05)",
              MissingCandidateText(Found("E:\\Stick\\een.wav", 1234567)));

    EXPECT_EQ("Er is 1 bestand naar de show gekopieerd.", MissingCopySummary({1, 0, 0, false}));
    EXPECT_EQ("Er zijn 2 bestanden naar de show gekopieerd.\n\n1 bestand is niet gekopieerd. De reden staat in "
              "de meldingen en in het logboek C:\\Zekerpad.log.",
              MissingCopySummary({2, 0, 1, false}));
    EXPECT_EQ("Er is geen bestand naar de show gekopieerd.\n\n2 bestanden stonden al in een submap van de show.\n\n"
              "U heeft het kopiëren gestopt; de overige bestanden zijn niet gekopieerd.",
              MissingCopySummary({0, 2, 0, true}));
}
