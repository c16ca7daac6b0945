// The red-files page: Start Wings, then a fresh analysis.
#include "services/state.h"
#include "page/repair_fixture.h"

namespace {
constexpr int kStartWings = 1007, kOpnieuw = 1009;

class RedPage : public RepairPageTest {
protected:
    HWND Prepare(const std::string& wingsFolder) {
        UseShow(Root() + "\\Show\\de show.ws4");
        MakeTestFile(g_csRecentFile, "WS4");
        AddRedRecord(Root() + "\\Show\\weg.wav");
        RegisterWingsFolder(wingsFolder);
        SetStandInEnv("ZK_WINGS_RECORD", Root() + "\\record.txt");
        MakeFolderTree(Root());
        HWND page = ShowPage(3);
        EXPECT_TRUE(IsEnabled(page, kStartWings));
        EXPECT_FALSE(IsEnabled(page, kOpnieuw));
        EXPECT_EQ(0u, ItemText(page, 1006).find("Toelichting bij de bestanden met een RODE stip\n\n"));
        return page;
    }
    void TearDown() override {
        RegisterWingsFolder(StandInFolder());
        RepairPageTest::TearDown();
    }
};
}  // namespace

TEST_F(RedPage, WingsFoundThenOpnieuwAnalyserenTurnsToAFreshAnalysis) {
    HWND page = Prepare(StandInFolder());
    const std::string before = LogSoFar();
    ClickButton(page, kStartWings);

    EXPECT_FALSE(IsEnabled(page, kStartWings));
    EXPECT_TRUE(IsEnabled(page, kOpnieuw));
    const std::string show = "\"" + Root() + "\\Show\\de show.ws4\"";
    EXPECT_EQ(show + " " + show + "\r\n", ReadWholeFile(Root() + "\\record.txt"));
    EXPECT_EQ("Start Wings vanuit ROOD\n\r-> csExe - " + StandInFolder() + "\\wings.exe\n\r-> csExe - Bestaat\n\r" +
                  "-> csArg - " + show + "\n\rEinde Wings\n\r",
              LogSoFar().substr(before.size()));
    EXPECT_TRUE(m_boxes.Boxes().empty());

    const std::string beforeReanalysis = LogSoFar();
    ClickButton(page, kOpnieuw);
    EXPECT_EQ(2, m_wizard->CurrentIndex());
    // The results were current: only a cleared flag makes the page scan again.
    EXPECT_NE(std::string::npos,
              LogSoFar().find("-> Start analyse - " + g_csRecentFile + "\n\r", beforeReanalysis.size()));
}

TEST_F(RedPage, WingsMissingLeavesBothButtonsOffUntilThePageIsShownAgain) {
    MakeFolderTree(Root() + "\\Leeg");
    HWND page = Prepare(Root() + "\\Leeg");
    ClickButton(page, kStartWings);

    ASSERT_EQ(1u, m_boxes.Boxes().size());
    EXPECT_EQ(0u, m_boxes.Boxes()[0].text.find("Helaas, Wings kan niet gelocaliseerd worden"));
    EXPECT_FALSE(IsEnabled(page, kStartWings));
    EXPECT_FALSE(IsEnabled(page, kOpnieuw));
    const std::string log = LogSoFar();
    EXPECT_NE(std::string::npos, log.find("Start Wings vanuit ROOD\n\r-> csExe - " + Root() +
                                          "\\Leeg\\wings.exe\n\r-> csExe - bestaat niet\n\rEinde Wings\n\r"));

    ShowPage(0);
    ShowPage(3);
    EXPECT_TRUE(IsEnabled(page, kStartWings));
    EXPECT_FALSE(IsEnabled(page, kOpnieuw));
}
