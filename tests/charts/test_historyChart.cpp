// The history chart's scales, frame and eight series on a 9700 x 7000 twip recording canvas, worked by hand:
// PW = 9350, PH = 6600, y(v) = 200 + 66 (100 - v), x of a run a days old = 9600 - 9350 a / 420.
#include "chartFixture.h"

using GraphFrame = ChartTest;
using GraphSeries = ChartTest;

// The scales follow the box's size; the window's first day lies outside it.
TEST(ChartScale, SizeAndWindowEdge)
{
    const int race = kRaceDay.serial();
    const ChartGeometry g = ChartGeometry::of(4000, 3000, race);
    EXPECT_EQ(std::tuple(g.x(race - 210), g.y(25), g.inWindow(race - 420), g.inWindow(race - 419)), std::tuple(2075.f, 2150.f, false, true));
}

// Texts whose ink would touch the frame move off it by whole pixels: the three-digit value label a pixel
// left, the date labels two pixels down, "1年前" also half a point smaller, the X% label a pixel higher.
TEST_F(GraphFrame, EveryStrokeAndLabelUnshifted)
{
    const QStringList rows = drawn(drawGraphFrame);
    ASSERT_EQ(rows.size(), 62);
    QStringList expected;
    for (int i = 1; i <= 9; ++i)
        expected << QStringLiteral("line 250.00 %1.00 9600.00 %1.00 128,128,128 w1 dot").arg(200 + 660 * i);
    expected << "line 250.00 3500.00 9600.00 3500.00 0,0,0 w1 solid";
    for (int i = 0; i <= 9; ++i)
        expected << QStringLiteral("text %1 %2.00 %3 8").arg(i == 0 ? "-15.00" : "0.00").arg(160 + 660 * i).arg(100 - 10 * i);
    expected << "line 561.67 200.00 561.67 6800.00 128,128,128 w1 dot" << "line 9600.00 200.00 9600.00 6800.00 128,128,128 w1 dot";
    EXPECT_EQ(lines(rows.mid(0, 21) << rows[49] << rows.mid(50)), lines(expected << QStringList({
        "text 80.00 6835.00 4/8 8", "text 1638.33 6835.00 6/17 8", "text 3196.67 6835.00 8/26 8", "text 4755.00 6835.00 11/4 8",
        "text 6313.33 6835.00 1/13 8", "text 7871.67 6835.00 3/23 8", "text 9310.00 6835.00 6/1 8",
        "line 1474.40 200.00 1474.40 6800.00 0,0,0 w1 solid", "text 1174.40 6835.00 1年前 7.5",
        "line 250.00 2180.00 9600.00 2180.00 255,255,0 w4 dashdot", "text 300.00 1965.00 20%ライン 8",
        "box 250.00 200.00 9600.00 6800.00 0,0,0 w2 solid"})));
}

// Shifts are whole days (365 is not a year across 29 February); the one-year line moves right, beyond the
// box at two years. The display offset moves the value labels and the X% line; the line is never clamped.
TEST_F(GraphFrame, ShiftedAndOffset)
{
    QStringList rows = drawn(drawGraphFrame, 365);
    EXPECT_EQ(lines(rows.mid(55, 4) << rows[50]), lines({"text 7871.67 6835.00 3/24 8", "text 9930.00 6835.00 6/2 8",
                                                        "line 9600.00 200.00 9600.00 6800.00 0,0,0 w1 solid",
                                                        "text 9300.00 6835.00 1年前 7.5", "text 80.00 6835.00 4/8 8"}));
    EXPECT_EQ(drawn(drawGraphFrame, 730)[57], "line 17725.60 200.00 17725.60 6800.00 0,0,0 w1 solid");

    pd.sisuuOffset = 30, pd.lineSisuu = 140, pd.lineRatio = 0.05f;
    rows = drawn(drawGraphFrame);
    EXPECT_EQ(lines({rows[10], rows[19], rows[59], rows[60]}),
              lines({"text -15.00 160.00 130 8", "text 0.00 6100.00 40 8", "line 250.00 -460.00 9600.00 -460.00 255,255,0 w4 dashdot",
                     "text 300.00 -675.00 05%ライン 8"}));
}

// A zero index breaks the line, a run on the window's first day is skipped without breaking it; the offset
// shifts the scale and decides which labels count as out of range.
TEST_F(GraphSeries, SpeedIndexMarksLabelsAndLine)
{
    addRunner(1, 1, {{.daysAgo = 30, .sisuu = 65}, {.daysAgo = 60, .sisuu = 0},
                     {.daysAgo = 90, .sisuu = 72, .zyo = "浦和", .siba = 1, .variant = false},
                     {.daysAgo = 120, .sisuu = 112, .zyo = "Ｊ東京"}, {.daysAgo = 150, .sisuu = -3, .zyo = "川崎"},
                     {.daysAgo = 420, .sisuu = 40}, {.daysAgo = 419, .sisuu = 50}, {.daysAgo = noDate, .sisuu = 80}});
    EXPECT_EQ(lines(drawn(drawSeriesSisuu)), lines({
        "circle 8932.14 2510.00 r72.00 0,0,255 fill 0,0,255 w3", "text 8802.14 2160.00 65 10",
        "circle 7596.43 2048.00 r72.00 0,128,0 fill 255,255,255 w3", "text 7466.43 1698.00 浦 10",
        "line 6928.57 200.00 7596.43 2048.00 0,0,255 w3 solid", "circle 6928.57 200.00 r72.00 0,0,255 fill 0,0,255 w3",
        "text 6798.57 550.00 Ｊ東112 10", "line 6260.71 6800.00 6928.57 200.00 0,0,255 w3 solid",
        "circle 6260.71 6800.00 r72.00 0,0,255 fill 0,0,255 w3", "text 6130.71 6450.00 川-03 10",
        "line 272.26 3500.00 6260.71 6800.00 0,0,255 w3 solid", "circle 272.26 3500.00 r72.00 0,0,255 fill 0,0,255 w3",
        "text 142.26 3150.00 50 10"}));

    pd.uSisuu(1, 3) = 20, pd.sisuuOffset = 30;
    EXPECT_EQ(lines(drawn(drawSeriesSisuu).mid(0, 4)),
              lines({"circle 8932.14 4490.00 r72.00 0,0,255 fill 0,0,255 w3", "text 8802.14 4140.00 65 10",
                     "circle 7596.43 6800.00 r72.00 0,128,0 fill 255,255,255 w3", "text 7466.43 6450.00 浦20 10"}));
}

// 3F marks are hollow; the connector leads to the run's own index mark where that exists.
TEST_F(GraphSeries, LastThreeFurlongMarksAndConnectors)
{
    addRunner(1, 1, {{.daysAgo = 30, .sisuu = 0, .sisuu3f = 60}, {.daysAgo = 60, .sisuu = 65, .sisuu3f = 105},
                     {.daysAgo = 90, .sisuu = 50, .zyo = "Ｊ中山", .sisuu3f = -2}, {.daysAgo = 120, .sisuu = 50, .sisuu3f = 0}});
    EXPECT_EQ(lines(drawn(drawSeriesSisuu3f)), lines({
        "circle 8932.14 2840.00 r54.00 192,192,0 fill none w3", "circle 8264.29 200.00 r54.00 192,192,0 fill none w3",
        "line 8264.29 200.00 8264.29 2510.00 0,0,255 w1 solid", "text 8134.29 550.00 大105 10",
        "circle 7596.43 6800.00 r54.00 192,192,0 fill none w3", "line 7596.43 6800.00 7596.43 3500.00 0,0,255 w1 solid",
        "text 7466.43 6450.00 Ｊ中-02 10"}));
}

// Weight: the first weighed run in the window is the 50 % reference; a missing weight, a place below 1 or a
// finish outside the window breaks the line.
TEST_F(GraphSeries, WeightAndFinishChains)
{
    addRunner(1, 1, {{.daysAgo = 30, .taizyu = 476, .cyaku = 1}, {.daysAgo = 45, .taizyu = 0, .cyaku = 3},
                     {.daysAgo = 60, .taizyu = 486, .cyaku = 0}, {.daysAgo = 90, .taizyu = 480, .cyaku = 18},
                     {.daysAgo = 500, .taizyu = 400, .cyaku = 2},  // before the window: not the reference
                     {.daysAgo = 150, .cyaku = 2}});
    pd.uTaizyu(1, 0) = 470;
    EXPECT_EQ(lines(drawn(drawSeriesTaizyu)), lines({
        "fbox 7569.43 3473.00 7623.43 3527.00 0,0,0 w1 solid", "fbox 8237.29 3077.00 8291.29 3131.00 0,0,0 w1 solid",
        "line 8264.29 3104.00 7596.43 3500.00 0,0,0 w1 solid", "fbox 8905.14 3737.00 8959.14 3791.00 0,0,0 w1 solid",
        "fbox 9573.00 4133.00 9627.00 4187.00 0,0,0 w1 solid", "line 9600.00 4160.00 8932.14 3764.00 0,0,0 w1 solid"}));
    EXPECT_EQ(lines(drawn(drawSeriesCyaku)), lines({
        "fbox 8905.14 173.00 8959.14 227.00 128,128,128 w1 solid", "fbox 8571.21 833.00 8625.21 887.00 128,128,128 w1 solid",
        "line 8598.21 860.00 8932.14 200.00 255,128,128 w1 solid", "fbox 7569.43 5783.00 7623.43 5837.00 128,128,128 w1 solid",
        "fbox 6233.71 503.00 6287.71 557.00 128,128,128 w1 solid"}));
}

// The unjoined series visit run 0 (but the going) and draw zero cells where the scale puts them.
TEST_F(GraphSeries, DrawDistanceGoingAndCorner)
{
    addRunner(1, 3, {{.daysAgo = 30, .waku = 0, .kyori = 0, .baba = 0, .tuka1 = 1},
                     {.daysAgo = 60, .waku = 8, .kyori = 2000, .baba = 4, .tuka1 = 9},
                     {.daysAgo = 90, .kyori = 900, .baba = 2, .tuka1 = 10}, {.daysAgo = 120, .tuka1 = 0}});
    pd.uKyori(1, 0) = 1500, pd.uBaba(1, 0) = 3, pd.uTuka(1, 1, 0) = 2;
    const QStringList waku = drawn(drawSeriesWaku), kyori = drawn(drawSeriesKyori), baba = drawn(drawSeriesBaba);
    EXPECT_EQ(lines({waku[0], waku[2], kyori[0], kyori[1], kyori[3], baba[0], baba[2]}),
              lines({"fbox 9555.00 4775.00 9645.00 4865.00 0,128,128 w3 solid", "fbox 8219.29 6425.00 8309.29 6515.00 0,128,128 w3 solid",
                     "circle 9600.00 3500.00 r54.00 128,0,128 fill none w3", "circle 8932.14 8450.00 r54.00 128,0,128 fill none w3",
                     "circle 7596.43 5480.00 r54.00 128,0,128 fill none w3", "circle 8932.14 -130.00 r36.00 128,128,128 fill 128,128,128 w3",
                     "circle 7596.43 530.00 r36.00 128,128,128 fill 128,128,128 w3"}));
    EXPECT_EQ(lines(drawn(drawSeriesTuka)), lines({
        "box 9546.00 476.00 9654.00 584.00 255,0,0 w3 solid", "box 8878.14 146.00 8986.14 254.00 255,0,0 w3 solid",
        "box 8210.29 2786.00 8318.29 2894.00 255,0,0 w3 solid", "box 7542.43 3446.00 7650.43 3554.00 255,0,0 w3 solid"}));
}
