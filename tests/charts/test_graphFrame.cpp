// The history chart's scales, frame and title, worked by hand for a 9700 x 7000 twip box:
// PW = 9350, PH = 6600, y(v) = 200 + 66 (100 - v), x of a run a days old = 9600 - 9350 a / 420.
#include "chartFixture.h"

// The scales follow the box's size; the window's first day lies outside it.
TEST(ChartScale, SizeAndWindowEdge)
{
    const int race = kRaceDay.serial();
    const ChartGeometry g = ChartGeometry::of(4000, 3000, race);
    EXPECT_EQ(std::tuple(g.x(race - 210), g.y(25), g.inWindow(race - 420), g.inWindow(race - 419)), std::tuple(2075.f, 2150.f, false, true));
}

using GraphFrame = ChartTest;

TEST_F(GraphFrame, EveryStrokeAndLabelUnshifted)
{
    const QStringList rows = drawn(drawGraphFrame);
    ASSERT_EQ(rows.size(), 62);
    QStringList expected;
    for (int i = 1; i <= 9; ++i)
        expected << QStringLiteral("line 250.00 %1.00 9600.00 %1.00 128,128,128 w1 dot").arg(200 + 660 * i);
    expected << "line 250.00 3500.00 9600.00 3500.00 0,0,0 w1 solid";
    for (int i = 0; i <= 9; ++i)
        expected << QStringLiteral("text 0.00 %1.00 %2 8").arg(160 + 660 * i).arg(100 - 10 * i);
    expected << "line 561.67 200.00 561.67 6800.00 128,128,128 w1 dot";
    EXPECT_EQ(lines(rows.mid(0, 21) << rows[49]), lines(expected << "line 9600.00 200.00 9600.00 6800.00 128,128,128 w1 dot"));
    EXPECT_EQ(lines(rows.mid(50)), lines({
        "text 80.00 6805.00 4/8 8", "text 1638.33 6805.00 6/17 8", "text 3196.67 6805.00 8/26 8",
        "text 4755.00 6805.00 11/4 8", "text 6313.33 6805.00 1/13 8", "text 7871.67 6805.00 3/23 8",
        "text 9310.00 6805.00 6/1 8",
        "line 1474.40 200.00 1474.40 6800.00 0,0,0 w1 solid", "text 1174.40 6805.00 1年前 8",
        "line 250.00 2180.00 9600.00 2180.00 255,255,0 w4 dashdot", "text 300.00 1980.00 20%ライン 8",
        "box 250.00 200.00 9600.00 6800.00 0,0,0 w2 solid"}));
}

// Shifts are whole days (365 is not a year across 29 February); the one-year line moves right.
TEST_F(GraphFrame, ShiftsOfOneAndTwoYears)
{
    pd.graphShiftDays = 365;
    QStringList rows = drawn(drawGraphFrame, 365);
    EXPECT_EQ(lines(rows.mid(55, 4) << rows[50]), lines({"text 7871.67 6805.00 3/24 8", "text 9930.00 6805.00 6/2 8",
                                                        "line 9600.00 200.00 9600.00 6800.00 0,0,0 w1 solid",
                                                        "text 9300.00 6805.00 1年前 8", "text 80.00 6805.00 4/8 8"}));
    pd.graphShiftDays = 730;
    EXPECT_EQ(drawn(drawGraphFrame, 730)[57], "line 17725.60 200.00 17725.60 6800.00 0,0,0 w1 solid");
}

// The display offset moves the value labels and the X% line; the line is never clamped.
TEST_F(GraphFrame, OffsetAndTheXPercentLine)
{
    pd.sisuuOffset = 30, pd.lineSisuu = 140, pd.lineRatio = 0.05f;
    const QStringList rows = drawn(drawGraphFrame);
    EXPECT_EQ(lines({rows[10], rows[19], rows[59], rows[60]}),
              lines({"text 0.00 160.00 130 8", "text 0.00 6100.00 40 8", "line 250.00 -460.00 9600.00 -460.00 255,255,0 w4 dashdot",
                     "text 300.00 -660.00 05%ライン 8"}));
}

// The title: three blanks before the style; a Single weight carried in its shortest form.
TEST_F(GraphFrame, TitleLine)
{
    addRunner(1, 3);
    pd.uName(1) = QStringLiteral("スズカ"), pd.uSeirei(1) = QStringLiteral("牡4"), pd.uTaizyu(1, 0) = 480;
    pd.uKisyu(1, 0) = QStringLiteral("的場"), pd.uKyakusitu(1, 0) = QStringLiteral("先"), pd.tuka1Ave(1, 0) = 2.5f, pd.uHutan(1, 0) = 56;
    EXPECT_EQ(drawn(drawGraphTitle), QStringList("text 250.00 0.00 3 1 スズカ 牡4 480 的場(56)   先2.5 9"));
}
