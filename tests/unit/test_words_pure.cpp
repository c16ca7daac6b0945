// Words the user reads: sizes as a person says them, and the contact lines
// whoever hands out the program sets.
#include <gtest/gtest.h>

#include "common/text.h"
#include "services/contact.h"

TEST(Words, SizesInUnitsAPersonReads) {
    EXPECT_EQ(FormatSize(0), "0 bytes");
    EXPECT_EQ(FormatSize(1), "1 byte");
    EXPECT_EQ(FormatSize(1023), "1.023 bytes");
    EXPECT_EQ(FormatSize(1024), "1,0 kB");
    EXPECT_EQ(FormatSize(12595), "12,3 kB");
    EXPECT_EQ(FormatSize(655360), "640 kB");
    // No figure of four digits: the next unit takes over.
    EXPECT_EQ(FormatSize(1023487), "999 kB");
    EXPECT_EQ(FormatSize(1023488), "1,0 MB");
    EXPECT_EQ(FormatSize(12897485), "12,3 MB");
    EXPECT_EQ(FormatSize(76964474880), "71,7 GB");
    EXPECT_EQ(FormatSize(1000000000), "954 MB");
    EXPECT_EQ(FormatSize(INT64_MAX), "8,0 EB");
}

TEST(Words, ContactLinesFromTheSetting) {
    // Nothing set: the program's own lines, which finish the sentence
    // before them, so they start in lower case and end in a full stop.
    const std::string own = ContactLines("");
    EXPECT_EQ(own, ContactLines("  \t "));
    EXPECT_EQ("\tde club, vereniging of winkel die u dit programma gaf,\n\tof\n\tde beheerder van uw computer. Stuur "
              "het logboek\n\tC:\\Zekerpad.log mee, en een rapport van de show (knop\n\tRapport opslaan op de "
              "pagina Analyse en resultaten).\n",
              own);

    EXPECT_EQ(ContactLines("Fotoclub De Lens & Co|secretaris@delens.nl|Dorpsstraat 1|1234 AB Ergens|tel. 012-3456789"),
              "\tFotoclub De Lens & Co\n\tsecretaris@delens.nl\n\tDorpsstraat 1\n\t1234 AB Ergens\n\ttel. 012-3456789\n");
    // Always five lines: fewer parts leave lines empty, more join the fifth;
    // a tab typed in the value lays out a column, a line break cannot slip in.
    EXPECT_EQ(ContactLines("Vraag het de club|E-mail:\tclub@voorbeeld.nl"),
              "\tVraag het de club\n\tE-mail:\tclub@voorbeeld.nl\n\t\n\t\n\t\n");
    EXPECT_EQ(ContactLines("a|b|c|d|e|f|g"), "\ta\n\tb\n\tc\n\td\n\te, f, g\n");
    EXPECT_EQ(ContactLines("a\r\nb"), "\tab\n\t\n\t\n\t\n\t\n");
}
