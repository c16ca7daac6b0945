// Window-free parts of the frame: the traffic light's geometry and lamp
// choice, and the byte layout of run log entries.
#include <gtest/gtest.h>

#include "services/log_format.h"
#include "analysis/show_verdict.h"
#include "wizard/status_geometry.h"

namespace {
void ExpectRect(const StatusRect& r, int32_t l, int32_t t, int32_t rr, int32_t b) {
    EXPECT_EQ(r.left, l);
    EXPECT_EQ(r.top, t);
    EXPECT_EQ(r.right, rr);
    EXPECT_EQ(r.bottom, b);
}
}  // namespace

TEST(StatusGeometry, FrameOf120By360At7And11) {
    const StatusGeometry g = ComputeStatusGeometry(7, 11, 127, 371);
    ExpectRect(g.red, 37, 29, 97, 89);
    ExpectRect(g.yellow, 37, 107, 97, 167);
    ExpectRect(g.green, 37, 185, 97, 245);
    ExpectRect(g.housing, 7, 11, 127, 263);
    ExpectRect(g.pole, 47, 253, 87, 391);
    ExpectRect(g.plate, 47, 273, 87, 327);
    EXPECT_EQ(g.cornerWidth, 80);
    EXPECT_EQ(g.cornerHeight, 80);
}

TEST(StatusGeometry, OddWidthKeepsTheTruncatingDivisions) {
    // W = 121: W / 2 + W / 2 = 120, not 121, and the green lamp's top uses
    // 2 * (W / 2) while its bottom uses (3 * W) / 2.
    const StatusGeometry g = ComputeStatusGeometry(0, 0, 121, 400);
    EXPECT_EQ(g.red.left, 30);
    EXPECT_EQ(g.red.right, 91);
    EXPECT_EQ(g.green.top, 3 * 20 + 120);
    EXPECT_EQ(g.green.bottom, 3 * 20 + 181);
    EXPECT_EQ(g.cornerWidth, 80);
}

// The worst colour wins, and a show that gets no green light for another
// reason never lights the green lamp.
TEST(StatusGeometry, TheLampFollowsTheVerdict) {
    EXPECT_EQ(LampOfVerdict(VerdictOfCounts(1, 5, 9, 0)), LitLamp::Red);
    EXPECT_EQ(LampOfVerdict(VerdictOfCounts(0, 1, 9, 0)), LitLamp::Yellow);
    EXPECT_EQ(LampOfVerdict(VerdictOfCounts(0, 0, 1, 0)), LitLamp::Green);
    EXPECT_EQ(LampOfVerdict(VerdictOfCounts(0, 0, 0, 0)), LitLamp::None);
    EXPECT_EQ(LampOfVerdict(VerdictOfCounts(0, 0, 3, 2)), LitLamp::Yellow) << "files on the network";
    EXPECT_EQ(LampOfVerdict(VerdictOfCounts(2, 0, 3, 2)), LitLamp::Red);
    EXPECT_EQ(LampOfVerdict(Verdict::Unreadable), LitLamp::None);
}

TEST(LogFormat, EntriesEndInLineFeedThenCarriageReturn) {
    EXPECT_EQ(FormatLogLine("Einde analyse"), "Einde analyse\n\r");
    EXPECT_EQ(FormatLogValue("CTestPropPage01::OnSetActive", "Selecteer show"),
              "-> CTestPropPage01::OnSetActive - Selecteer show\n\r");
    EXPECT_EQ(FormatLogValue(" ", "OK"), "->   - OK\n\r");
    EXPECT_EQ(FormatLogValue("label", ""), "-> label - \n\r");
    EXPECT_EQ(FormatLogNumber("rood   ", 3), "-> rood    - 3\n\r");
    EXPECT_EQ(FormatLogNumber("geel   ", -2147483647 - 1), "-> geel    - -2147483648\n\r");
}

TEST(LogFormat, TextIsWrittenByteForByte) {
    // Texts carry their own line breaks and any byte, zero included.
    const std::string withZero("a\0b", 3);
    EXPECT_EQ(FormatLogLine(withZero), std::string("a\0b\n\r", 5));
    EXPECT_EQ(FormatLogLine("\n\r>>>>>>>>> Start logboek\n\r"), "\n\r>>>>>>>>> Start logboek\n\r\n\r");
}
