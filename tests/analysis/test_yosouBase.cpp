// Average index, base index, the settings weights and the two field statistics. Expected
// values are worked by hand in the comments; where single precision decides the result the
// float steps are spelled out.
#include "analysis/mainAnalSisuu02.h"
#include "tests/analysis/raceBuilder.h"

#include <cmath>

namespace {

class BaseIndex : public RaceTest {
protected:
    // Average and base index of runner 1 carrying the given weight today.
    static void computeBase(float hutan = 55)
    {
        pd.uHutan(1, 0) = hutan;
        initYosouWork();
        pd.umaIdx = 1;
        calcAveSisuu();
        calcKinsouSisuu();
    }
};

}

TEST_F(BaseIndex, AverageCountsPositiveRunsOfTheLast450DaysOnAnyCourse)
{
    addRunner(1);
    setRuns(1, {{.daysAgo = 100, .sisuu = 60},
                {.daysAgo = 200, .sisuu = 70, .siba = 1},
                {.daysAgo = 300, .sisuu = 80, .zyo = "Ｊ東京"},
                {.daysAgo = 320, .sisuu = 0},
                {.daysAgo = 340, .sisuu = -5},
                {.daysAgo = 449, .sisuu = 50},
                {.daysAgo = 450, .sisuu = 90},  // on the cut-off day: not later, not counted
                {.daysAgo = 600, .sisuu = 99}});
    computeBase();
    EXPECT_FLOAT_EQ(yosouWork.aveSisuu, 65.0f);  // (60 + 70 + 80 + 50) / 4
    EXPECT_EQ(yosouWork.cutoff, kRaceDay.addDays(-450));
}

TEST_F(BaseIndex, FailingAverageLeavesNoValueOfThePreviousRunner)
{
    addRunner(1);
    setRuns(1, {{.sisuu = 60}});
    initYosouWork();
    yosouWork.aveSisuu = 55;  // the previous runner's
    pd.kakoMax = 151;          // one run beyond the table: a subscript error
    pd.umaIdx = 1;
    calcAveSisuu();
    EXPECT_EQ(yosouWork.aveSisuu, 0.0f);
    EXPECT_EQ(msgs_.texts(), QStringList{"Error-mainAnalSisuu02-10"});
}

TEST_F(BaseIndex, SingleOldRunOnAnotherCourseAndTheWeightCarried)
{
    addRunner(1);
    setRuns(1, {{.daysAgo = 100, .sisuu = 60, .zyo = "川崎"}});
    // r = 0.95 (more than 60 days); w = 0.2: 0.95 x 0.2 x 60 + 0.8 x 60 = 59.4, then 55 - 57.
    computeBase(57);
    EXPECT_FLOAT_EQ(pd.kisoSisuu(1, 0), 57.4f);
    EXPECT_EQ(pd.kisoSisuu(1, 1), 1.0f);

    redimUma(18, 150);
    addRunner(1);
    setRuns(1, {{.daysAgo = 100, .sisuu = 60, .zyo = "川崎"}});
    computeBase(52);
    EXPECT_FLOAT_EQ(pd.kisoSisuu(1, 0), 62.4f);

    // An unknown weight carried (0) leaves the base index as it is, not 55 points higher.
    redimUma(18, 150);
    addRunner(1);
    setRuns(1, {{.daysAgo = 100, .sisuu = 60, .zyo = "川崎"}});
    computeBase(0);
    EXPECT_FLOAT_EQ(pd.kisoSisuu(1, 0), 59.4f);
}

TEST_F(BaseIndex, FourRunsOnTodaysCourseReachFullWeight)
{
    addRunner(1);
    // w = 0.4f + 0.2 + 0.2 + 0.2 = 1.0 exactly in single precision: the fifth run is not used.
    setRuns(1, {{.daysAgo = 10, .sisuu = 70},
                {.daysAgo = 40, .sisuu = 72},
                {.daysAgo = 70, .sisuu = 68},
                {.daysAgo = 100, .sisuu = 74},
                {.daysAgo = 130, .sisuu = 40}});
    computeBase();
    EXPECT_FLOAT_EQ(pd.kisoSisuu(1, 0), 70.8f);  // 28 + 14.4 + 13.6 + 14.8
    EXPECT_EQ(pd.kisoSisuu(1, 1), 4.0f);
}

TEST_F(BaseIndex, WeightHeldInSinglePrecisionStopsAtTheNinthRun)
{
    addRunner(1);
    // Another course throughout: 0.2 for run 1, 0.1 for each later run. In float the sum
    // reaches 1.0000001 at run 9 (in double it would be 0.9999999999999999 and run 10 would count).
    std::vector<PastRun> runs;
    for (int k = 1; k <= 9; ++k)
        runs.push_back({.daysAgo = 10 * k, .sisuu = 50, .zyo = "川崎"});
    runs.push_back({.daysAgo = 100, .sisuu = 80, .zyo = "川崎"});
    setRuns(1, runs);
    computeBase();
    // 50 x 0.2 + 8 x (50 x 0.1 x 0.9) = 46, divided by the float weight just above 1.
    const float w = std::nextafter(1.0f, 2.0f);
    EXPECT_EQ(pd.kisoSisuu(1, 0), float(46.0 / double(w)));
    EXPECT_EQ(pd.kisoSisuu(1, 1), 9.0f);
}

TEST_F(BaseIndex, RecencyFromRunOneAndOldRuns)
{
    addRunner(1);
    // Run 1 has no index but its age (30 days) sets r = 1; runs older than 200 days set 0.93
    // for themselves and every later run. A = 60; w = 0.8 filled with 0.2 x A.
    setRuns(1, {{.daysAgo = 30, .sisuu = 0},
                {.daysAgo = 90, .sisuu = 60},
                {.daysAgo = 250, .sisuu = 60},
                {.daysAgo = 150, .sisuu = 60},
                {.daysAgo = 320, .sisuu = 60}});
    computeBase();
    // 60 x 0.2 + 3 x 60 x 0.2 x 0.93 + 0.2 x 60 = 12 + 33.48 + 12 (the 150-day run after
    // the 250-day one keeps r = 0.93).
    EXPECT_FLOAT_EQ(pd.kisoSisuu(1, 0), 57.48f);
    EXPECT_EQ(pd.kisoSisuu(1, 1), 4.0f);
}

TEST_F(BaseIndex, RunsAtOrBelowThirtyUnderTheAverageAreLeftOut)
{
    addRunner(1);
    // A = (25 + 20 + 20) / 3 = 21.6667, A - 30 = -8.3333: -3 is used, -10 is not.
    setRuns(1, {{.daysAgo = 10, .sisuu = 25},
                {.daysAgo = 20, .sisuu = -3},
                {.daysAgo = 30, .sisuu = -10},
                {.daysAgo = 40, .sisuu = 20},
                {.daysAgo = 50, .sisuu = 20}});
    computeBase();
    // 25 x 0.4 - 3 x 0.2 + 20 x 0.2 + 20 x 0.2, w = 1.
    EXPECT_FLOAT_EQ(pd.kisoSisuu(1, 0), 17.4f);
    EXPECT_EQ(pd.kisoSisuu(1, 1), 4.0f);

    // A = 0.2f; A - 30 in single precision is -29.799999237, which the run at -29.8f equals
    // (in double A - 30 is -29.799999997 and the run would count): 0.18 + (1 - 0.8) x 0.2.
    redimUma(18, 150);
    addRunner(1);
    setRuns(1, {{.daysAgo = 10, .sisuu = 0.3f},
                {.daysAgo = 20, .sisuu = 0.1f},
                {.daysAgo = 30, .sisuu = 0.2f},
                {.daysAgo = 40, .sisuu = -29.8f}});
    computeBase();
    EXPECT_FLOAT_EQ(pd.kisoSisuu(1, 0), 0.22f);
    EXPECT_EQ(pd.kisoSisuu(1, 1), 3.0f);
}

TEST_F(BaseIndex, RunsOlderThan450DaysCountInTheBaseIndexOnly)
{
    addRunner(1);
    setRuns(1, {{.daysAgo = 30, .sisuu = 60, .zyo = "川崎"}, {.daysAgo = 600, .sisuu = 90}});
    computeBase();
    EXPECT_FLOAT_EQ(yosouWork.aveSisuu, 60.0f);
    // 60 x 0.2 + 90 x 0.2 x 0.93 = 28.74, w = 0.4, + 0.6 x 60.
    EXPECT_FLOAT_EQ(pd.kisoSisuu(1, 0), 64.74f);
    EXPECT_EQ(pd.kisoSisuu(1, 1), 2.0f);
}

TEST_F(BaseIndex, SettingsWeights)
{
    iniWrite("parameter", "para(0)", "180");
    iniWrite("parameter", "para(1)", "50");
    iniWrite("parameter", "para(2)", "abc");   // not a number: 100 %
    iniWrite("parameter", "para(3)", "");      // empty: the default
    iniWrite("parameter", "para(4)", "50.5");  // halves to even
    iniWrite("parameter", "para(5)", "51.5");
    initYosouWork();
    EXPECT_EQ(yosouWork.para[0], 1.8f);
    EXPECT_EQ(yosouWork.para[1], 0.5f);
    EXPECT_EQ(yosouWork.para[2], 1.0f);
    EXPECT_EQ(yosouWork.para[3], 1.0f);
    EXPECT_EQ(yosouWork.para[4], 0.5f);
    EXPECT_EQ(yosouWork.para[5], 0.52f);
    EXPECT_EQ(yosouWork.para[7], 1.0f);  // missing key
    EXPECT_EQ(yosouWork.minCount, 10);
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(BaseIndex, QuantileLine)
{
    // 37 non-zero indices 100, 99, ..., 64 spread over four runners and runs 0..50; zeros, a
    // run beyond 50 and an empty runner do not count.
    int value = 100;
    for (int h = 1; h <= 4; ++h) {
        addRunner(h);
        for (int k = 0; k < 10 && value >= 64; ++k)
            pd.uSisuu(h, k * 5) = float(value--);
    }
    pd.uSisuu(4, 51) = 500;
    ASSERT_EQ(value, 63);
    analAveSisuu();
    EXPECT_EQ(pd.lineSisuu, 93.0f);  // position CLng(0.2 x 37) = 7: the eighth highest

    redimUma(18, 150);
    pd.tousuu = 1;
    for (int k = 1; k <= 6; ++k)
        pd.uSisuu(1, k) = float(10 * k);  // 60 50 40 30 20 10, then the added 0
    pd.lineRatio = 0.25f;                 // 1.5 goes to 2
    analAveSisuu();
    EXPECT_EQ(pd.lineSisuu, 40.0f);
    pd.lineRatio = 0.75f;  // 4.5 goes to 4
    analAveSisuu();
    EXPECT_EQ(pd.lineSisuu, 20.0f);

    pd.uSisuu(1, 6) = -5;  // 50 40 30 20 10 0 -5
    pd.lineRatio = 1.5f;   // out of range: the last position
    analAveSisuu();
    EXPECT_EQ(pd.lineSisuu, -5.0f);
    pd.lineRatio = -0.3f;
    analAveSisuu();
    EXPECT_EQ(pd.lineSisuu, 50.0f);

    redimUma(18, 150);
    pd.tousuu = 3;
    pd.lineSisuu = 7;
    analAveSisuu();
    EXPECT_EQ(pd.lineSisuu, 0.0f);
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(BaseIndex, IndexAxisOffset)
{
    const auto field = [](int above, int below) {
        redimUma(18, 150);
        pd.tousuu = 2;
        for (int k = 1; k <= 10; ++k) {
            pd.uSisuu(1, k) = 50;
            pd.uSisuu(2, k) = 60;
        }
        for (int i = 1; i <= above; ++i)
            pd.uSisuu(1, i) = 120;
        for (int i = 1; i <= below; ++i)
            pd.uSisuu(2, i) = -4;
        pd.uSisuu(1, 0) = 150;  // today's run and runs beyond 50 are not looked at
        pd.uSisuu(2, 51) = -9;
        pd.sisuuOffset = 99;
        analSisuuRange();
        return pd.sisuuOffset;
    };
    EXPECT_EQ(field(0, 0), 0);
    EXPECT_EQ(field(2, 0), 0);  // 2 of 20 is not more than 10 %
    EXPECT_EQ(field(3, 0), 30);
    EXPECT_EQ(field(0, 3), -30);
    EXPECT_EQ(field(3, 3), -30);

    redimUma(18, 150);
    pd.tousuu = 0;
    pd.sisuuOffset = 99;
    analSisuuRange();
    EXPECT_EQ(pd.sisuuOffset, 0);
}
