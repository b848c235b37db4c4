// The comparison chart: every runner's index history against its own run 0, worked by hand
// (x = 9600 - 9350 a / 420 for a run a days before the runner's run 0, y = 200 + 66 (100 - v)).
#include "chartFixture.h"

using DrawHikaku = ChartTest;

TEST_F(DrawHikaku, RunnersColoursAndTheSelectedOne)
{
    addRunner(1, 9, {{.daysAgo = 30, .sisuu = 60}}), pd.uDate(1, 0) = kRaceDay.addDays(-7);  // gate 9: black; run 0 a week back
    addRunner(2, 4, {{.daysAgo = 30, .sisuu = 50}, {.daysAgo = 60, .sisuu = 0}, {.daysAgo = noDate, .sisuu = 70},
                     {.daysAgo = 90, .sisuu = 112}, {.daysAgo = 120, .sisuu = -5}});  // above and below the frame:
    // of their line only the part inside the frame is drawn, and neither mark
    addRunner(3, 0, {{.daysAgo = 500, .sisuu = 40}});  // keeps runner 2's colour; an old run left of the frame is not drawn
    addRunner(4, 2), pd.uName(4).clear(), pd.uSisuu(4, 0) = 55;  // unnamed: no marks
    pd.uSisuu(2, 0) = 66, pd.umaIdx = 2;  // run 0 is drawn too
    pd.sisuuOffset = 30;                  // neither the X% line nor the marks take it
    drawHikaku();
    EXPECT_EQ(std::pair(pd.graphMode, msgs.texts()), std::pair(false, QStringList()));
    EXPECT_EQ(lines(rows1()), lines({
        "cls", "line 250.00 2180.00 9600.00 2180.00 255,255,0 w4 dashdot", "text 300.00 1965.00 20%ライン 8",
        "box 250.00 200.00 9600.00 6800.00 0,0,0 w2 solid", "circle 9087.98 2840.00 r27.00 0,0,0 fill 0,0,0 w1",
        "circle 9600.00 2444.00 r67.50 0,0,255 fill 0,0,255 w3", "circle 8932.14 3500.00 r67.50 0,0,255 fill 0,0,255 w3",
        "line 8932.14 3500.00 9600.00 2444.00 0,0,255 w3 solid", "line 6957.11 6800.00 7527.93 200.00 0,0,255 w3 solid",
        "text 250.00 0.00 4 2 馬2  0 (0)   0.0 7.5"}));
}

// Runs 0 to 30 only, and only as far as the table holds.
TEST_F(DrawHikaku, ThirtyRunsAtMost)
{
    std::vector<ChartRun> runs;
    for (int k = 1; k <= 40; ++k)
        runs.push_back({.daysAgo = 5 * k, .sisuu = 50});
    addRunner(1, 1, runs);
    drawHikaku();
    EXPECT_EQ(rows1().filter("circle").size(), 30);  // run 0 has no index; runs 1..30

    newRace(10), addRunner(1, 1, std::vector<ChartRun>(runs.begin(), runs.begin() + 10)), rec1.clear();
    drawHikaku();
    EXPECT_EQ(std::pair(rows1().filter("circle").size(), msgs.texts()), std::pair(qsizetype(10), QStringList()));
}

// The titles: three blanks before the style, a Single weight carried in its shortest form; the comparison's
// style letter comes from the average first-corner position itself; it leaves list, legend and buttons alone.
TEST_F(DrawHikaku, TitlesOfBothCharts)
{
    addRunner(1, 3);
    grid->setTextMatrix(0, 0, "kept"), cmdGraphShift->hide();
    pd.uSeirei(1) = QStringLiteral("牡4"), pd.uTaizyu(1, 0) = 480, pd.uKisyu(1, 0) = QStringLiteral("的場");
    pd.uKyakusitu(1, 0) = QStringLiteral("差"), pd.uHutan(1, 0) = 54.5f;
    const struct { float a; const char* tail; } cases[] = {{1.8f, "逃1.8"}, {2.0f, "先2.0"}, {5.99f, "差6.0"}, {6.0f, "追6.0"}, {2.96f, "先3.0"}};
    for (const auto& c : cases) {
        pd.tuka1Ave(1, 0) = c.a, rec1.clear();
        drawHikaku();
        EXPECT_EQ(rows1().last(), QStringLiteral("text 250.00 15.00 3 1 馬1 牡4 480 的場(54.5)   %1 7.5").arg(c.tail)) << c.a;
    }
    EXPECT_EQ(std::tuple(rec2.ops().empty(), grid->textMatrix(0, 0), cmdGraphShift->isHidden()), std::tuple(true, QString("kept"), true));
    pd.uHutan(1, 0) = 56;
    EXPECT_EQ(drawn(drawGraphTitle), QStringList("text 250.00 15.00 3 1 馬1 牡4 480 的場(56)   差3.0 7.5"));
}
