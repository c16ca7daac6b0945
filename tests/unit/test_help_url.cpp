// Where the manual opens: each page's section and the file URL with it.
#include <gtest/gtest.h>

#include "services/help_url.h"

TEST(ManualAnchor, OneSectionPerPageInWizardOrder) {
    const char* const expected[] = {"introductie", "selectie", "analyse", "rood",
                                    "geel1",       "geel2",    "overige", "klaar"};
    ASSERT_EQ(kManualPageSections, 8);
    for (int i = 0; i < kManualPageSections; ++i) EXPECT_EQ(ManualAnchor(i), expected[i]) << i;
    // No page: the manual opens at its top.
    EXPECT_EQ(ManualAnchor(-1), "");
    EXPECT_EQ(ManualAnchor(8), "");
}

TEST(FileUrl, DrivePathWithBlanksAndSection) {
    EXPECT_EQ(FileUrl("C:\\Program Files\\Zekerpad\\handleiding.html", "analyse"),
              "file:///C:/Program%20Files/Zekerpad/handleiding.html#analyse");
    EXPECT_EQ(FileUrl("d:/Zekerpad/handleiding.html", ""), "file:///d:/Zekerpad/handleiding.html");
}

TEST(FileUrl, CharactersThatWouldEndThePathEarlyAreEscaped) {
    // A "#" in a folder name must not start the section, a "%" must not
    // start an escape, and non-ASCII letters go as their UTF-8 bytes.
    EXPECT_EQ(FileUrl("C:\\Show #2\\100%\\Kopi\xC3\xABren\\handleiding.html", "klaar"),
              "file:///C:/Show%20%232/100%25/Kopi%C3%ABren/handleiding.html#klaar");
    EXPECT_EQ(FileUrl("C:\\a?b&c;d\\h.html", ""), "file:///C:/a%3Fb%26c%3Bd/h.html");
}

TEST(FileUrl, NetworkPathNamesTheServer) {
    EXPECT_EQ(FileUrl("\\\\server\\share\\Zekerpad\\handleiding.html", "rood"),
              "file://server/share/Zekerpad/handleiding.html#rood");
}
