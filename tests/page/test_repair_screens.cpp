// Screenshots of the red and the two yellow pages before and after their
// work, for people to look at (build/screenshots/repair). The yellow pages
// are shown with the yellow lamp lit, so that its dark half shows.
#include "services/state.h"
#include "page/repair_fixture.h"
#include "support/driver.h"

namespace {
class RepairScreens : public RepairPageTest {
protected:
    void Shoot(const char* name) { EXPECT_TRUE(SaveShot(m_wizard->Sheet(), std::string("repair\\") + name)) << name; }
};
}  // namespace

TEST_F(RepairScreens, BeforeAndAfterTheirWorkPicture) {
    ::SetForegroundWindow(m_wizard->Sheet());
    ::KillTimer(m_wizard->Sheet(), 1);
    SetStandInEnv("ZK_WINGS_RECORD", Root() + "\\record.txt");

    const std::string show = Root() + "\\Show\\demo.ws4";
    MakeTestFile(show, "show");
    UseShow(show);
    AddRedRecord(Root() + "\\Show\\weg.wav");
    for (const char* f : {"\\Media\\intro.wav", "\\Media\\intro.tlg", "\\Media\\dia.jpg"})
        MakeTestFile(Root() + f, TestBytes(1000, 1));
    for (const char* f : {"\\Media\\muziek.mp3", "\\Media\\tekst.txt"}) MakeTestFile(Root('D') + f, TestBytes(1000, 2));
    // One file whose target is taken, so the yellow-1 result names a failure.
    MakeTestFile(Root() + "\\Show\\Plaatjes\\dia.jpg", "bezet");
    for (const char* f : {"\\Media\\intro.wav", "\\Media\\dia.jpg"}) AddYellowRecord(Root() + f);
    for (const char* f : {"\\Media\\muziek.mp3", "\\Media\\tekst.txt"}) AddYellowRecord(Root('D') + f);
    g_nGreen = 3;

    HWND red = ShowPage(3);
    Shoot("3-rood-voor");
    ClickButton(red, 1007);
    Shoot("3-rood-na-wings");

    g_nRed = 0;  // the yellow lamp lit
    HWND yellow1 = ShowPage(4);
    Shoot("4-geel1-voor");
    ClickButton(yellow1, 1007);
    Shoot("4-geel1-na");

    FreeSpaceStub space(1000000000);
    m_boxes.QueueAnswer(IDNO);
    HWND yellow2 = ShowPage(5);
    Shoot("5-geel2-voor");
    ClickButton(yellow2, 1007);
    Shoot("5-geel2-na");
    EXPECT_EQ(3u, m_boxes.Boxes().size());  // the taken target, the question, the .bak notice

    // A run stopped by a show among the records leaves its progress bar.
    g_aYellowFiles.clear();
    g_nYellow1 = 0;
    for (const char* f : {"\\Media\\a.wav", "\\Media\\b.wav", "\\Media\\andere.ws4"}) {
        MakeTestFile(Root() + f, "x");
        AddYellowRecord(Root() + f);
    }
    ShowPage(0);
    ShowPage(4);
    ClickButton(yellow1, 1007);
    Shoot("4-geel1-gestopt");
}
