// The whole round of the repair pages with the real analysis: a missing
// file that Wings finds, a yellow-1 file that is moved, Wings re-linking
// the show, and a fresh analysis that comes out green.
#include "services/state.h"
#include "page/repair_fixture.h"

namespace {
class RepairRound : public RepairPageTest {};

// Presses Start Wings and then Opnieuw analyseren on a page.
void StartWingsAndReanalyse(HWND page, int startWings, int reanalyse) {
    ClickButton(page, startWings);
    ClickButton(page, reanalyse);
}
}  // namespace

TEST_F(RepairRound, OpnieuwAnalyserenAfterWingsReLinkedTheShowComesOutGreen) {
    const std::string show = Root() + "\\Show\\demo.ws4";
    const std::string found = Root() + "\\Show\\Audio\\applaus.wav";  // Wings will find it here
    const std::string lost = Root() + "\\Oud\\applaus.wav";
    const std::string elsewhere = Root() + "\\Media\\intro.wav";
    MakeTestFile(found, TestBytes(300, 1));
    MakeTestFile(elsewhere, TestBytes(400, 2));
    MakeTestFile(Root() + "\\Media\\intro.tlg", TestBytes(50, 3));
    MakeTestFile(show, std::string("WS4\0", 4) + lost + '\0' + "\x01\x02" + elsewhere + '\0' + "einde");
    SetStandInEnv("ZK_WINGS_RECORD", Root() + "\\record.txt");
    SetStandInEnv("ZK_WINGS_RELINK", "1");

    UseShow(show);
    g_bAnalysed = 0;  // chosen, not yet analysed
    ShowPage(2);
    ASSERT_EQ(1, g_nRed);
    ASSERT_EQ(1, g_nYellow1);

    // Red: Wings finds the lost file in the show's folder.
    m_wizard->Press(PSBTN_NEXT);
    ASSERT_EQ(3, m_wizard->CurrentIndex());
    StartWingsAndReanalyse(m_wizard->CurrentPage(), 1007, 1009);
    ASSERT_EQ(2, m_wizard->CurrentIndex());
    EXPECT_EQ(0, g_nRed);
    EXPECT_EQ(1, g_nYellow1);

    // Yellow 1: moved into the show's folder, then re-linked by Wings.
    m_wizard->Press(PSBTN_NEXT);
    ASSERT_EQ(4, m_wizard->CurrentIndex());
    ClickButton(m_wizard->CurrentPage(), 1007);
    EXPECT_TRUE(PathIsFile(Root() + "\\Show\\Audio\\intro.wav"));
    StartWingsAndReanalyse(m_wizard->CurrentPage(), 1009, 1008);
    ASSERT_EQ(2, m_wizard->CurrentIndex());

    EXPECT_EQ(1, g_bAnalysed);
    EXPECT_EQ(0, g_nRed);
    EXPECT_EQ(0, g_nYellow);
    EXPECT_EQ(2, g_nGreen);
    // Nothing is left to repair: Next leads straight to the closing page.
    m_wizard->Press(PSBTN_NEXT);
    EXPECT_EQ(7, m_wizard->CurrentIndex());
    EXPECT_TRUE(m_boxes.Boxes().empty());
}
