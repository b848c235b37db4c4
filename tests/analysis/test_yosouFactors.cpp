// The seven condition factors one by one and their combination into the predicted index.
// Races are built so that the average index A and the qualifying runs are easy to follow;
// every expected ratio is worked in the comment beside it.
#include "analysis/mainAnalSisuu02.h"
#include "tests/analysis/raceBuilder.h"

namespace {

class Factors : public RaceTest {
protected:
    // Working values and A of runner 1, as the driver has them before the factors.
    static void prepare()
    {
        initYosouWork();
        pd.umaIdx = 1;
        calcAveSisuu();
    }
    static float factor(int column) { return pd.tekiseiFactor(1, column); }
    // n runs on 大井 at index 80 and as many on 川崎 at 20: A = 50, and the 大井 runs alone
    // give (80 + 100) / (50 + 100) = 1.2 before shrinking.
    static void oiAndKawasaki(int n)
    {
        std::vector<PastRun> runs;
        for (int i = 0; i < n; ++i) {
            runs.push_back({.daysAgo = 20 * i + 10, .sisuu = 80, .kyori = i % 2 ? 1500 : 1700});
            runs.push_back({.daysAgo = 20 * i + 20, .sisuu = 20, .zyo = "川崎"});
        }
        setRuns(1, runs);
    }
};

}

TEST_F(Factors, RunRatioShrinksTowardsOneBelowTenRuns)
{
    addRunner(1);
    oiAndKawasaki(9);
    prepare();
    calcFactorZyo();
    calcFactorKyori();
    EXPECT_FLOAT_EQ(factor(4), 1.18f);  // 1 + 0.2 x 9 / 10
    EXPECT_FLOAT_EQ(factor(2), 1.18f);  // 1500 and 1700 lie within 100 m of 1600

    redimUma(18, 150);
    addRunner(1);
    oiAndKawasaki(10);
    prepare();
    calcFactorZyo();
    EXPECT_FLOAT_EQ(factor(4), 1.2f);

    redimUma(18, 150);
    addRunner(1);
    oiAndKawasaki(1);
    prepare();
    calcFactorZyo();
    EXPECT_FLOAT_EQ(factor(4), 1.02f);
}

TEST_F(Factors, TrackAndDistanceNeedRunsOnTodaysTrackSurfaceAndPeriod)
{
    addRunner(1);
    setRuns(1, {{.daysAgo = 10, .sisuu = 60, .zyo = "川崎"},
                {.daysAgo = 20, .sisuu = 70, .siba = 1},         // turf
                {.daysAgo = 30, .sisuu = 50, .kyori = 1800},     // 200 m off: track only
                {.daysAgo = 500, .sisuu = 90},                   // older than 450 days
                {.daysAgo = 40, .sisuu = 0}});
    prepare();
    calcFactorZyo();
    calcFactorKyori();
    calcFactorBaba();
    // A = 60; track: the 1800 m run, (50 + 100) / 160 = 0.9375, shrunk x 1/10.
    EXPECT_FLOAT_EQ(factor(4), 0.99375f);
    EXPECT_EQ(factor(2), 0.0f);
    // Going 1 on every run: 川崎 60 and 大井 50 (dirt, recent): (55 + 100) / 160, x 2/10.
    EXPECT_FLOAT_EQ(factor(5), 1 - 0.03125f * 0.2f);

    redimUma(18, 150);
    addRunner(1);
    setRuns(1, {{.daysAgo = 10, .sisuu = 60, .zyo = "川崎"}, {.daysAgo = 20, .sisuu = 70, .baba = 3}});
    prepare();
    calcFactorZyo();
    calcFactorKyori();
    calcFactorBaba();
    // A = 65; track and distance: the 大井 1600 m run; going: the 良 run only.
    EXPECT_FLOAT_EQ(factor(4), 1 + (170.0f / 165.0f - 1) * 0.1f);
    EXPECT_FLOAT_EQ(factor(2), factor(4));
    EXPECT_FLOAT_EQ(factor(5), 1 + (160.0f / 165.0f - 1) * 0.1f);
}

TEST_F(Factors, DrawFactorBlendsRunsInTodaysGroupWithTheCourseRatio)
{
    createTrackFile({{0, 0.95}, {1, 1.1}, {2, 0.9}});
    // Today in bracket 5; no recent run in 4..6 (the one in 6 is 500 days old): 0.7 + 0.3 x 1.1.
    addRunner(1, {.waku = 5});
    setRuns(1, {{.daysAgo = 10, .sisuu = 60, .waku = 3}, {.daysAgo = 500, .sisuu = 80, .waku = 6}});
    prepare();
    calcFactorWaku();
    EXPECT_FLOAT_EQ(factor(1), 1.03f);

    // Today in bracket 0 (unknown) counts as 1..3, and so does a past run in 0: runs 70 and 50
    // against A = 60: (60 + 100) / 160 = 1, so 0.7 + 0.3 x 0.95.
    redimUma(18, 150);
    addRunner(1, {.waku = 0});
    setRuns(1, {{.daysAgo = 10, .sisuu = 70, .waku = 0}, {.daysAgo = 20, .sisuu = 50, .waku = 3},
                {.daysAgo = 30, .sisuu = 60, .waku = 8}});
    prepare();
    calcFactorWaku();
    EXPECT_FLOAT_EQ(factor(1), 0.985f);

    // Bracket 7: the 8 run alone, (90 + 100) / 160 shrunk x 1/10 = 1.01875; 0.7 x that + 0.27.
    redimUma(18, 150);
    addRunner(1, {.waku = 7});
    setRuns(1, {{.daysAgo = 10, .sisuu = 30, .waku = 1}, {.daysAgo = 20, .sisuu = 90, .waku = 8}});
    prepare();
    calcFactorWaku();
    EXPECT_FLOAT_EQ(factor(1), 0.7f * 1.01875f + 0.27f);
}

TEST_F(Factors, DrawRatioMissingZeroOrWithoutGroup)
{
    createTrackFile();
    openDbOrThrow(1, dir_.filePath("Strevin_data.dat"), dbPassword);
    insertRow(1, "T_waku", DbRow().set("W_zyo", "大井").set("W_kyori", 1600).set("W_waku", 2).set("W_kakeritu", 0.0));
    insertRow(1, "T_waku", DbRow().set("W_zyo", "大井").set("W_kyori", 1400).set("W_waku", 1).set("W_kakeritu", 1.2));
    closeDb(1);
    addRunner(1, {.waku = 8});
    setRuns(1, {{.daysAgo = 10, .sisuu = 60, .waku = 1}});
    prepare();
    calcFactorWaku();
    EXPECT_FLOAT_EQ(factor(1), 1.0f);  // no run in 7..8, and a ratio of 0 counts as 1

    // Bracket 9: no run can match, and the course's row of any group is taken: 0.7 + 0.36.
    pd.raceKyori = 1400;
    pd.uWaku(1, 0) = 9;
    calcFactorWaku();
    EXPECT_FLOAT_EQ(factor(1), 1.06f);

    // No row for the course: the run ratio alone (the bracket-1 run, 160 / 160).
    pd.raceKyori = 1800;
    pd.uWaku(1, 0) = 2;
    calcFactorWaku();
    EXPECT_FLOAT_EQ(factor(1), 1.0f);
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(Factors, IntervalClassOfTodayAgainstEachRunsOwnInterval)
{
    addRunner(1);
    // Today 14 days after run 1: class 11..19. Runs with their own interval 12 and 19
    // qualify; 10, 20 and 0 (no older run known, first class) do not.
    setRuns(1, {{.daysAgo = 14, .sisuu = 70, .kankaku = 12},
                {.daysAgo = 26, .sisuu = 40, .kankaku = 10},
                {.daysAgo = 36, .sisuu = 90, .kankaku = 19},
                {.daysAgo = 55, .sisuu = 40, .kankaku = 20},
                {.daysAgo = 75, .sisuu = 60, .kankaku = 0}});
    prepare();
    calcFactorKankaku();
    // A = 60; (80 + 100) / 160 = 1.125, x 2/10.
    EXPECT_FLOAT_EQ(factor(3), 1.025f);

    // Run 1 on the race day itself, or after it: no interval factor.
    for (int days : {0, -3}) {
        pd.tekiseiFactor(1, 3) = 0;
        pd.uDate(1, 1) = kRaceDay.addDays(-days);
        calcFactorKankaku();
        EXPECT_EQ(factor(3), 0.0f) << days;
    }

    // 60 days and more is the last class; a run whose interval is 0 falls into the first.
    pd.uDate(1, 1) = kRaceDay.addDays(-60);
    calcFactorKankaku();
    EXPECT_EQ(factor(3), 0.0f);
    pd.uDate(1, 1) = kRaceDay.addDays(-5);
    calcFactorKankaku();
    EXPECT_FLOAT_EQ(factor(3), 1 - 0.0625f * 0.2f);  // runs at 40 (interval 10) and 60 (0): 150 / 160
}

TEST_F(Factors, BodyWeightLowersTheThresholdUntilRunsQualify)
{
    addRunner(1, {.taizyu = 480});
    // Today +4 kg on run 1's 476. At t = 4 today is a gain but no run changed by more than 4;
    // at t = 3 the run with +4 is a gain. A = 200 / 3: run 1 gives 170 / 166.67 = 1.02,
    // shrunk 1.002. Weight part (475..485): run 1 as well.
    setRuns(1, {{.daysAgo = 10, .sisuu = 70, .taizyu = 476, .zougen = 4},
                {.daysAgo = 30, .sisuu = 40, .taizyu = 472, .zougen = 0},
                {.daysAgo = 50, .sisuu = 90, .taizyu = 486, .zougen = -2}});
    prepare();
    calcFactorTaizyu();
    EXPECT_FLOAT_EQ(factor(6), 1.002f);

    // Run 1 +6: found at t = 4. Run 2 now weighs 485: weight part (70 + 40) / 2 = 55,
    // 155 / 166.67 = 0.93, shrunk 0.986.
    pd.uZougen(1, 1) = 6;
    pd.uTaizyu(1, 2) = 485;
    calcFactorTaizyu();
    EXPECT_FLOAT_EQ(factor(6), 0.7f * 1.002f + 0.3f * 0.986f);

    // Today's weight unknown: neither part.
    pd.uTaizyu(1, 0) = 0;
    calcFactorTaizyu();
    EXPECT_FLOAT_EQ(factor(6), 1.0f);

    // Latest weight unknown: no class part; today 485: runs at 485 and 486, (40 + 90) / 2 = 65,
    // 165 / 166.67 = 0.99, shrunk 0.998.
    pd.uTaizyu(1, 0) = 485;
    pd.uTaizyu(1, 1) = 0;
    calcFactorTaizyu();
    EXPECT_FLOAT_EQ(factor(6), 0.7f + 0.3f * 0.998f);
}

TEST_F(Factors, BodyWeightTodaysChangeOfExactlyTIsAGainButAPastOneIsSteady)
{
    addRunner(1, {.taizyu = 480});
    // Today +4 on 476: a gain at t = 4. Run 1 changed +4 (steady), run 2 +5 (a gain): the
    // class part is run 2's 150 / 160 shrunk 0.99375; the weight part run 1's 1.00625.
    setRuns(1, {{.daysAgo = 10, .sisuu = 70, .taizyu = 476, .zougen = 4},
                {.daysAgo = 30, .sisuu = 50, .taizyu = 470, .zougen = 5}});
    prepare();
    calcFactorTaizyu();
    EXPECT_FLOAT_EQ(factor(6), 0.7f * 0.99375f + 0.3f * 1.00625f);
}

TEST_F(Factors, JockeyPointsOfElevenRecentRidesAndSameJockeyRuns)
{
    createTrackFile({}, {{"佐藤", 5}, {"山田", 10}, {"O'Neil", 15}});
    // Eleven recent rides by 佐藤 (point 5), none by today's 山田 (10): ratio 2, not shrunk;
    // 0.7 x (1 + 1 / 10) + 0.3 x 1 = 1.07.
    addRunner(1, {.kisyu = "山田"});
    std::vector<PastRun> runs;
    for (int k = 1; k <= 11; ++k)
        runs.push_back({.daysAgo = 10 * k, .sisuu = 60, .kisyu = "佐藤"});
    setRuns(1, runs);
    prepare();
    calcFactorKisyu();
    EXPECT_FLOAT_EQ(factor(7), 1.07f);

    // Runs 8..11 by a jockey without a rating, except run 8 by O'Neil at 90; today O'Neil (15).
    for (int k = 8; k <= 11; ++k)
        pd.uKisyu(1, k) = "新人";
    pd.uKisyu(1, 8) = "O'Neil";
    pd.uSisuu(1, 8) = 90;
    pd.uKisyu(1, 0) = "O'Neil";
    pd.tekiseiFactor(1, 7) = 0;
    prepare();
    calcFactorKisyu();
    // Rated rides: seven by 佐藤 (5) and O'Neil's (15): mean 50 / 8 = 6.25; ratio 15 / 6.25 =
    // 2.4, with 8 rated (2.4 - 1) x 8 / 10 + 1 = 2.12. Same jockey: run 8, 190 / (A + 100), x 1/10.
    const double a = (10 * 60 + 90) / 11.0;
    const double sameJockey = 1 + ((190 / (a + 100)) - 1) * 0.1;
    EXPECT_FLOAT_EQ(factor(7), float(0.7 * (1 + 1.12 / 10) + 0.3 * sameJockey));

    // Today's jockey not rated: point ratio 1, the same-jockey part alone.
    pd.uKisyu(1, 0) = "新人";
    pd.tekiseiFactor(1, 7) = 0;
    calcFactorKisyu();
    const double newcomer = 1 + ((160 / (a + 100)) - 1) * 0.3;  // runs 9..11 at 60
    EXPECT_FLOAT_EQ(factor(7), float(0.7 + 0.3 * newcomer));
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(Factors, BrokenJockeyRowReportsAndLeavesTheFactorOut)
{
    createTrackFile();
    openDbOrThrow(1, dir_.filePath("Strevin_data.dat"), dbPassword);
    insertRow(1, "T_Kisyu", DbRow().set("name", "佐藤").set("point", DbValue()));
    closeDb(1);
    addRunner(1, {.kisyu = "佐藤"});
    setRuns(1, {{.daysAgo = 10, .sisuu = 60, .kisyu = "佐藤"}});
    prepare();
    calcFactorKisyu();
    EXPECT_EQ(factor(7), 0.0f);
    EXPECT_EQ(msgs_.texts(), QStringList{"Error-mainAnalSisuu02-3"});
    EXPECT_FALSE(isDbOpen(2));
}

TEST_F(Factors, CombinationClampsWeightsAndScalesTheBaseIndex)
{
    addRunner(1);
    initYosouWork();
    pd.umaIdx = 1;
    pd.kisoSisuu(1, 0) = 60;
    const auto combine = [](std::array<float, 8> f) {
        for (int i = 0; i < 8; ++i)
            pd.tekiseiFactor(1, i) = f[size_t(i)];
        calcYosouSisuu();
    };
    // Terms: 1 + 0.1 x 1.3; distance 0 is left out; 0.8 -> 1 - 0.15; 1.2 -> 1 + 0.15 x 0.9;
    // 1; 1; 1 + 0.05 x 1.1. Sum 6.17 over 6 terms: F0 = 1.0283333.
    combine({0, 1.1f, 0, 0.8f, 1.2f, 1, 1, 1.05f});
    EXPECT_FLOAT_EQ(factor(0), 1.0283333f);
    EXPECT_FLOAT_EQ(pd.yosouSisuu(1), 60 * (1 + 0.0283333f * 3.5f));

    // All at 1: the base index itself.
    combine({0, 1, 1, 1, 1, 1, 1, 1});
    EXPECT_FLOAT_EQ(factor(0), 1.0f);
    EXPECT_FLOAT_EQ(pd.yosouSisuu(1), 60.0f);

    // All far above 1.15: F0 = 1.15 and 1.525 times the base index.
    combine({0, 2, 2, 2, 2, 2, 2, 2});
    EXPECT_FLOAT_EQ(factor(0), 1.15f);
    EXPECT_FLOAT_EQ(pd.yosouSisuu(1), 91.5f);

    // The user's weights: para(0) 180 % on the combined factor, para(1) 0 % on the draw.
    iniWrite("parameter", "para(0)", "180");
    iniWrite("parameter", "para(1)", "0");
    initYosouWork();
    combine({0, 1.1f, 0, 0.8f, 1.2f, 1, 1, 1.05f});
    // Sum 6.04 over 6: M - 1 = 0.0066667, x 1.8 = 0.012.
    EXPECT_FLOAT_EQ(factor(0), 1.012f);
    EXPECT_FLOAT_EQ(pd.yosouSisuu(1), 60 * (1 + 0.012f * 3.5f));
}
