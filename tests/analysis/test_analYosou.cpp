// Whole races through the driver: every result field of a hand-worked runner, a full field of
// eighteen, a debut race and a tie for the best index.
#include "analysis/mainAnalSisuu02.h"
#include "tests/analysis/raceBuilder.h"

namespace {

class Prediction : public RaceTest {};

}

TEST_F(Prediction, HandWorkedRunnerBesideADebutant)
{
    createTrackFile({{1, 1.1}}, {{"山田", 12}, {"佐藤", 6}, {"鈴木", 9}});
    addRunner(1, {.waku = 5, .taizyu = 480, .hutan = 56, .kisyu = "山田"});
    setRuns(1, {{14, 62, "大井", 1600, 0, 1, 4, 21, 476, 2, "山田", "先", 3},
                {35, 55, "川崎", 1500, 0, 2, 7, 30, 474, -6, "佐藤", "先", 2},
                {65, 58, "大井", 1700, 0, 1, 5, 45, 480, 6, "山田", "逃", 1},
                {110, 50, "大井", 1200, 0, 3, 2, 70, 474, 0, "鈴木", "差", 6},
                {180, 66, "船橋", 1600, 1, 1, 6, 9, 474, -4, "山田", "逃", 1},  // turf
                {300, 48, "大井", 1600, 0, 1, 3, 12, 478, 4, "佐藤", "先", 4},
                {500, 70, "大井", 1600, 0, 1, 5, 60, 470, 0, "山田", "逃", 2}});  // beyond 450 days
    addRunner(2, {.waku = 6, .taizyu = 470, .hutan = 54, .kisyu = "佐藤"});

    analYosou();

    // A = (62 + 55 + 58 + 50 + 66 + 48) / 6 = 56.5 (the 500-day run is out).
    // Base: r = 1 (run 1 is 14 days old); w = 0.4, 0.5, 0.6, 0.7, 0.8 (float), then run 6 on
    // today's course at 300 days (r = 0.93) brings it to 1.0000001:
    // (62 x 0.4 + (55 + 58 + 50 + 66) x 0.09 + 48 x 0.2 x 0.93) / 1.0000001 = 54.33799, + 55 - 56.
    EXPECT_NEAR(pd.kisoSisuu(1, 0), 53.33799f, 2e-5);
    EXPECT_EQ(pd.kisoSisuu(1, 1), 6.0f);
    // Qualifying runs for the factors (dirt, recent): 1, 2, 3, 4, 6; A + 100 = 156.5.
    // Draw (4..6: runs 1, 3 -> 160 / 156.5, x 2/10): 0.7 x 1.0044728 + 0.3 x 1.1.
    EXPECT_NEAR(pd.tekiseiFactor(1, 1), 1.0331310, 1e-6);
    // Distance (大井 1500..1700: runs 1, 3, 6 -> 156 / 156.5, x 3/10).
    EXPECT_NEAR(pd.tekiseiFactor(1, 2), 0.9990415, 1e-6);
    // Interval 14 days (11..19): run 6 (its own 12) -> 148 / 156.5, x 1/10.
    EXPECT_NEAR(pd.tekiseiFactor(1, 3), 0.9945687, 1e-6);
    // Track (大井: runs 1, 3, 4, 6 -> 154.5 / 156.5, x 4/10).
    EXPECT_NEAR(pd.tekiseiFactor(1, 4), 0.9948882, 1e-6);
    // Going 良: runs 1, 3, 6, as the distance.
    EXPECT_NEAR(pd.tekiseiFactor(1, 5), 0.9990415, 1e-6);
    // Body weight: +4 is a gain at t = 4; run 3 (+6): 158 / 156.5 x 1/10 = 1.0009585;
    // 475..485 kg: runs 1, 3, 6 = 0.9990415. 0.7 x 1.0009585 + 0.3 x 0.9990415.
    EXPECT_NEAR(pd.tekiseiFactor(1, 6), 1.0003834, 1e-6);
    // Jockey: rides 1..7 rated 12 6 12 9 12 6 12 (mean 69 / 7), 山田 12: ratio 1.2173913,
    // x 7/10 -> 1.1521739; same jockey runs 1, 3: 160 / 156.5 x 2/10 = 1.0044728.
    // 0.7 x 1.0152174 + 0.3 x 1.0044728.
    EXPECT_NEAR(pd.tekiseiFactor(1, 7), 1.0119940, 1e-6);
    // Terms 1.0430703 0.9985623 0.9945687 0.9953994 0.9990415 1.0003834 1.0131934: mean 1.0063170.
    EXPECT_NEAR(pd.tekiseiFactor(1, 0), 1.0063170, 1e-6);
    EXPECT_NEAR(pd.yosouSisuu(1), 54.51727f, 5e-5);  // (1 + 0.006317 x 3.5) x 53.33799
    // Good runs (above 37.34): all seven; 先 3 and 逃 3 -> 逃; corners 19 / 7.
    EXPECT_EQ(pd.uKyakusitu(1, 0), "逃");
    EXPECT_FLOAT_EQ(pd.tuka1Ave(1, 0), 19.0f / 7);
    EXPECT_EQ(pd.sirusi(1), "◎");
    EXPECT_EQ(pd.sirusiTop(1, 0), 1.0f);
    EXPECT_EQ(pd.sirusiTop(1, 1), pd.yosouSisuu(1));
    EXPECT_EQ(pd.sirusiTop(2, 0), 0.0f);
    EXPECT_EQ(pd.sirusiTop(2, 1), -100.0f);
    EXPECT_EQ(pd.kakuritu1(1), 1.0f);
    EXPECT_EQ(pd.kakuritu2(1), 1.0f);
    // Seven indices in the field: position CLng(0.2 x 7) = 1 of 70 66 62 ...
    EXPECT_EQ(pd.lineSisuu, 66.0f);
    EXPECT_EQ(pd.sisuuOffset, 0);

    // The debutant has nothing.
    for (int i = 0; i <= 7; ++i)
        EXPECT_EQ(pd.tekiseiFactor(2, i), 0.0f) << i;
    EXPECT_EQ(pd.kisoSisuu(2, 0), 0.0f);
    EXPECT_EQ(pd.yosouSisuu(2), 0.0f);
    EXPECT_EQ(pd.sirusi(2), "");
    EXPECT_EQ(pd.uKyakusitu(2, 0), "");
    EXPECT_EQ(pd.kakuritu1(2), 0.0f);
    EXPECT_EQ(pd.kakuritu2(2), 0.0f);
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(Prediction, EighteenRunners)
{
    createTrackFile();
    // Runner h: five runs on today's course at 40 + 2h, every factor 1 (or absent), so the
    // predicted index is the base index 40 + 2h.
    for (int h = 1; h <= 18; ++h) {
        addRunner(h, {.waku = std::min((h + 1) / 2, 8)});
        std::vector<PastRun> runs;
        for (int k = 0; k < 5; ++k)
            runs.push_back({.daysAgo = 10 + 20 * k, .sisuu = float(40 + 2 * h), .style = "先", .tuka1 = h});
        setRuns(h, runs);
    }
    analYosou();

    for (int h = 1; h <= 18; ++h) {
        EXPECT_FLOAT_EQ(pd.yosouSisuu(h), float(40 + 2 * h)) << h;
        EXPECT_EQ(pd.kisoSisuu(h, 1), 4.0f) << h;
        EXPECT_FLOAT_EQ(pd.tekiseiFactor(h, 0), 1.0f) << h;
        EXPECT_EQ(pd.tekiseiFactor(h, 3), 0.0f) << h;  // no run in today's interval class
        EXPECT_EQ(pd.uKyakusitu(h, 0), "先") << h;
        EXPECT_FLOAT_EQ(pd.tuka1Ave(h, 0), float(h)) << h;
    }
    // Runners 17 and 18 are faster but never ranked: 16 72, 15 70, 14 68, 13 66, 12 64.
    QString marks;
    for (int h = 1; h <= 18; ++h)
        marks += pd.sirusi(h).isEmpty() ? QStringLiteral("-") : pd.sirusi(h);
    EXPECT_EQ(marks, "-----------△△▲○◎--");
    // Win: (2h - 14) / 36 from h = 8; the leader 1 - 16/36. Top two against 70: (2h - 12) / 36;
    // runner 15: 1 - 16/36; the leader: 1 - runner 14's win value 14/36.
    EXPECT_EQ(pd.kakuritu1(7), 0.0f);
    EXPECT_FLOAT_EQ(pd.kakuritu1(8), 2.0f / 36);
    EXPECT_FLOAT_EQ(pd.kakuritu1(15), 16.0f / 36);
    EXPECT_FLOAT_EQ(pd.kakuritu1(16), 20.0f / 36);
    EXPECT_EQ(pd.kakuritu2(6), 0.0f);
    EXPECT_FLOAT_EQ(pd.kakuritu2(7), 2.0f / 36);
    EXPECT_FLOAT_EQ(pd.kakuritu2(14), 16.0f / 36);
    EXPECT_FLOAT_EQ(pd.kakuritu2(15), 20.0f / 36);
    EXPECT_FLOAT_EQ(pd.kakuritu2(16), 22.0f / 36);
    for (int h : {17, 18}) {
        EXPECT_EQ(pd.kakuritu1(h), 0.0f);
        EXPECT_EQ(pd.kakuritu2(h), 0.0f);
    }
    // 90 indices: position CLng(0.2 x 90) = 18 of 76 x5, 74 x5, 72 x5, 70 x5 ...
    EXPECT_EQ(pd.lineSisuu, 70.0f);
    EXPECT_EQ(pd.sisuuOffset, 0);
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(Prediction, DebutRace)
{
    createTrackFile();
    for (int h = 1; h <= 8; ++h)
        addRunner(h);
    pd.uKyakusitu(3, 0) = "差";  // from the race card: kept
    analYosou();
    for (int h = 0; h <= 18; ++h) {
        EXPECT_EQ(pd.yosouSisuu(h), 0.0f) << h;
        EXPECT_EQ(pd.kisoSisuu(h, 0), 0.0f) << h;
        EXPECT_EQ(pd.tekiseiFactor(h, 0), 0.0f) << h;
        EXPECT_EQ(pd.sirusi(h), "") << h;
        EXPECT_EQ(pd.kakuritu1(h), 0.0f) << h;
        EXPECT_EQ(pd.kakuritu2(h), 0.0f) << h;
        EXPECT_EQ(pd.tuka1Ave(h, 0), 0.0f) << h;
    }
    EXPECT_EQ(pd.uKyakusitu(3, 0), "差");
    for (int k = 0; k <= 5; ++k) {
        EXPECT_EQ(pd.sirusiTop(k, 0), 0.0f);
        EXPECT_EQ(pd.sirusiTop(k, 1), -100.0f);
    }
    EXPECT_EQ(pd.lineSisuu, 0.0f);
    EXPECT_EQ(pd.sisuuOffset, 0);
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(Prediction, TieForTheBestIndex)
{
    createTrackFile();
    for (int h : {2, 5, 6}) {
        addRunner(h);
        setRuns(h, {{.daysAgo = 10, .sisuu = h == 6 ? 55.0f : 64.0f}, {.daysAgo = 30, .sisuu = 60}});
    }
    analYosou();
    ASSERT_GT(pd.yosouSisuu(2), pd.yosouSisuu(6));
    EXPECT_EQ(pd.yosouSisuu(2), pd.yosouSisuu(5));
    EXPECT_EQ(pd.sirusi(2), "◎");
    EXPECT_EQ(pd.sirusi(5), "○");
    EXPECT_EQ(pd.sirusi(6), "▲");
    EXPECT_FLOAT_EQ(pd.kakuritu1(5), 0.5f);
    EXPECT_FLOAT_EQ(pd.kakuritu1(2), 0.5f);
    EXPECT_EQ(pd.umaIdx, 7);  // the axis offset, the last step, loops the field's runners
}
