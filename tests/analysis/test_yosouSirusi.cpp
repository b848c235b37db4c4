// Expected running style and first-corner average, marks, and win and top-two probabilities.
#include "analysis/mainAnalSisuu02.h"
#include "tests/analysis/raceBuilder.h"

namespace {

class Verdict : public RaceTest {
protected:
    // Runner h with a predicted index (0: none).
    static void predicted(int h, float index)
    {
        addRunner(h);
        pd.yosouSisuu(h) = index;
    }
    static void judge()
    {
        judgeSirusi();
        calcKakuritu1();
        calcKakuritu2();
    }
    static QString marks()
    {
        QString s;
        for (int h = 1; h <= 18; ++h)
            s += pd.sirusi(h).isEmpty() ? QStringLiteral("-") : pd.sirusi(h);
        return s;
    }
    // Style and first-corner average of runner 1 with the given base index.
    static void style(float kiso, const std::vector<PastRun>& runs)
    {
        addRunner(1);
        setRuns(1, runs);
        pd.kisoSisuu(1, 0) = kiso;
        pd.umaIdx = 1;
        judgeKyakusitu();
    }
};

PastRun styled(const char* s, float sisuu = 60, int tuka = 0)
{
    return {.sisuu = sisuu, .style = QString::fromUtf8(s), .tuka1 = tuka};
}

}

TEST_F(Verdict, StyleIsTheCommonestOfTheGoodRunsWithTiesToTheEarlierStyle)
{
    // 先 three times and 逃 three times: 逃.
    style(60, {styled("先", 60, 3), styled("逃", 60, 1), styled("先", 60, 2), styled("逃", 60, 1),
               styled("先", 60, 4), styled("逃", 60, 2)});
    EXPECT_EQ(pd.uKyakusitu(1, 0), "逃");
    EXPECT_FLOAT_EQ(pd.tuka1Ave(1, 0), 13.0f / 6);

    // Three-way tie of 先, 差 and 追 ahead of one 逃: 先.
    redimUma(18, 150);
    style(60, {styled("追"), styled("差"), styled("先"), styled("逃"), styled("追"), styled("差"), styled("先")});
    EXPECT_EQ(pd.uKyakusitu(1, 0), "先");

    // A later style needs strictly more runs: 追 three times beats 先 twice.
    redimUma(18, 150);
    style(60, {styled("追"), styled("先"), styled("追"), styled("先"), styled("追")});
    EXPECT_EQ(pd.uKyakusitu(1, 0), "追");
}

TEST_F(Verdict, GoodRunsAreAboveSevenTenthsOfTheBaseIndexInSinglePrecision)
{
    // 0.7 x 11.25 is 7.874999999999999 in double but 7.875 in single precision: a run at 7.875
    // is not good. Good: 差 (corner 5), 追 (no corner recorded, still in the divisor) and the
    // unknown text "逃げ" (corner 7).
    style(11.25f, {styled("先", 7.875f, 1), styled("差", 50, 5), styled("追", 8, 0), styled("逃げ", 70, 7),
                   styled("先", 5, 1), styled("先", 0, 1)});
    EXPECT_EQ(pd.uKyakusitu(1, 0), "差");
    EXPECT_FLOAT_EQ(pd.tuka1Ave(1, 0), 4.0f);  // (5 + 0 + 7) / 3
}

TEST_F(Verdict, NoGoodRunKeepsTheStyleAndOnlyRunsWithADateCount)
{
    pd.uKyakusitu(1, 0) = "差";
    style(60, {styled("逃", 20, 2)});
    EXPECT_EQ(pd.uKyakusitu(1, 0), "差");
    EXPECT_EQ(pd.tuka1Ave(1, 0), 0.0f);

    // A negative base index makes every empty slot (index 0) look good; only runs with a date count.
    redimUma(18, 150);
    style(-5, {styled("追", 10, 6), styled("逃", -15, 1)});
    pd.uTuka(1, 1, 120) = 9;  // a stray corner in an empty slot
    pd.tuka1Ave(1, 0) = 0;
    judgeKyakusitu();
    EXPECT_EQ(pd.uKyakusitu(1, 0), "追");
    EXPECT_FLOAT_EQ(pd.tuka1Ave(1, 0), 6.0f);
}

TEST_F(Verdict, TenRunnersGetFourMarksElevenGetFive)
{
    for (int h = 1; h <= 10; ++h)
        predicted(h, float(50 + h));
    judge();
    EXPECT_EQ(marks(), "------△▲○◎--------");
    EXPECT_EQ(pd.sirusiTop(5, 0), 6.0f);  // ranked, but no fifth mark in a field of ten
    EXPECT_EQ(pd.sirusiTop(5, 1), 56.0f);

    redimUma(18, 150);
    for (int h = 1; h <= 11; ++h)
        predicted(h, float(50 + h));
    judge();
    EXPECT_EQ(marks(), "------△△▲○◎-------");
}

TEST_F(Verdict, OnlySlotsOneToSixteenAreRankedAndTiesGoToTheLowerNumber)
{
    for (int h = 1; h <= 18; ++h)
        predicted(h, 40);
    predicted(3, 80);
    predicted(7, 80);
    predicted(17, 99);
    predicted(18, 98);
    pd.uName(5).clear();  // an empty slot with an index is not a runner
    pd.yosouSisuu(5) = 90;
    judge();
    EXPECT_EQ(pd.sirusiTop(1, 0), 3.0f);
    EXPECT_EQ(pd.sirusiTop(2, 0), 7.0f);
    EXPECT_EQ(pd.sirusiTop(3, 0), 1.0f);  // the 40s in slot order
    EXPECT_EQ(marks(), "▲△◎△--○-----------");
    // Level with the leader: 0.5, and the leader 1 - 0.5.
    EXPECT_FLOAT_EQ(pd.kakuritu1(7), 0.5f);
    EXPECT_FLOAT_EQ(pd.kakuritu1(3), 0.5f);
    EXPECT_EQ(pd.kakuritu1(17), 0.0f);
    EXPECT_EQ(pd.kakuritu2(18), 0.0f);
    EXPECT_EQ(pd.kakuritu1(5), 0.0f);
    EXPECT_EQ(pd.umaIdx, 17);
}

TEST_F(Verdict, WinAndTopTwoProbabilities)
{
    predicted(4, 80);   // T1
    predicted(2, 71);   // T2
    predicted(7, 65);   // T3
    predicted(1, 60);
    predicted(3, 0);    // no predicted index
    predicted(5, -2);   // negative: not ranked, but it has one
    judge();
    EXPECT_EQ(marks(), "△○-◎--▲-----------");
    // Win: 0.5 - 0.5 x (80 - P) / 18, at least 0; the leader 1 - T2's.
    EXPECT_FLOAT_EQ(pd.kakuritu1(2), 0.25f);
    EXPECT_FLOAT_EQ(pd.kakuritu1(4), 0.75f);
    EXPECT_FLOAT_EQ(pd.kakuritu1(7), 0.5f - 0.5f * 15 / 18);
    EXPECT_EQ(pd.kakuritu1(1), 0.0f);
    EXPECT_EQ(pd.kakuritu1(3), 0.0f);
    EXPECT_EQ(pd.kakuritu1(5), 0.0f);
    // Top two: against T2 (71); T2 = 1 - T3's; the leader = 1 - T3's win value.
    EXPECT_FLOAT_EQ(pd.kakuritu2(7), 0.5f - 0.5f * 6 / 18);
    EXPECT_FLOAT_EQ(pd.kakuritu2(1), 0.5f - 0.5f * 11 / 18);
    EXPECT_FLOAT_EQ(pd.kakuritu2(2), 0.5f + 0.5f * 6 / 18);
    EXPECT_FLOAT_EQ(pd.kakuritu2(4), 1 - (0.5f - 0.5f * 15 / 18));
    EXPECT_EQ(pd.kakuritu2(3), 0.0f);
    EXPECT_EQ(pd.kakuritu2(5), 0.0f);
    EXPECT_EQ(pd.kakuritu1(0), 0.0f);
    EXPECT_EQ(pd.kakuritu2(0), 0.0f);
}

TEST_F(Verdict, FewRankedRunnersReferToAnEmptyRank)
{
    predicted(2, 70);
    predicted(5, 60);
    predicted(6, 55);
    predicted(8, 0);
    judge();
    EXPECT_EQ(pd.sirusiTop(4, 0), 0.0f);
    EXPECT_EQ(pd.sirusiTop(4, 1), -100.0f);
    EXPECT_EQ(pd.sirusiTop(5, 1), -100.0f);
    EXPECT_EQ(marks(), "-◎--○▲------------");

    // A single ranked runner: 100 % to win and to finish in the top two; nobody else has a chance.
    redimUma(18, 150);
    predicted(4, 62);
    predicted(1, 0);
    predicted(9, 0);
    judge();
    EXPECT_EQ(marks(), "---◎--------------");
    EXPECT_EQ(pd.kakuritu1(4), 1.0f);
    EXPECT_EQ(pd.kakuritu2(4), 1.0f);
    EXPECT_EQ(pd.kakuritu1(1), 0.0f);
    EXPECT_EQ(pd.kakuritu2(9), 0.0f);

    // Nobody ranked: no marks, no probabilities, slot 0 untouched.
    redimUma(18, 150);
    for (int h = 1; h <= 8; ++h)
        predicted(h, 0);
    judge();
    EXPECT_EQ(marks(), "------------------");
    for (int h = 0; h <= 18; ++h) {
        EXPECT_EQ(pd.kakuritu1(h), 0.0f) << h;
        EXPECT_EQ(pd.kakuritu2(h), 0.0f) << h;
    }
    EXPECT_EQ(pd.sirusiTop(1, 0), 0.0f);
    EXPECT_EQ(pd.sirusiTop(0, 1), -100.0f);
}
