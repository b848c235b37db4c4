// The prediction engine step by step, on runs where the average index A is easy to follow.
#include "tests/analysis/raceBuilder.h"

namespace {

// A runner's result fields in the order of resultRow.
enum Field { Kiso, KisoRuns, Yosou, Combined, Waku, Kyori, Kankaku, Zyo, Baba, Taizyu, Kisyu };

class Engine : public RaceTest {
protected:
    // Mark, win and top-two chance of slots 0.. of a field with these predicted indices (0: none).
    static std::string judgeField(const std::vector<float>& indices)
    {
        redimUma(18, pd.kakoMax);
        pd.tousuu = 0;
        for (size_t i = 0; i < indices.size(); ++i) {
            addRunner(int(i) + 1);
            pd.yosouSisuu(int(i) + 1) = indices[i];
        }
        judgeSirusi();
        calcKakuritu1();
        calcKakuritu2();
        QStringList field;
        for (int h = 0; h <= pd.tousuu; ++h)
            field << QString::fromStdString(resultRow(h)).section(' ', -3);
        return field.join(" | ").toStdString();
    }
};

}

// The boundaries the hand-worked races leave open.
TEST_F(Engine, BaseIndexAndFactorsOfOneRunner)
{
    createTrackFile({}, {{"D'Arcy", 5}, {"O'Neil", 10}});
    const struct { const char* what; PastRun today; std::vector<PastRun> runs; Field field; float value; } cases[]{
        // A latest run 60 days old still counts in full: 0.2 x 60 + 0.8 x A.
        {"latest run exactly 60 days old", {}, {{60, 60, "川崎"}}, Kiso, 60.0f},
        // A = 0.2f; A - 30 in float is -29.799999237, which the run at -29.8f equals (in double
        // the run would count): 0.3 x 0.4 + 0.1 x 0.2 + 0.2 x 0.2 + 0.2 x A.
        {"A - 30 in float", {}, {{10, 0.3f}, {20, 0.1f}, {30, 0.2f}, {40, -29.8f}}, Kiso, 0.22f},
        // Today 11 days after run 1: the class 11 to below 20 holds run 1 (interval 11, index 60),
        // not run 2 (10 days, 90). A = 75: 1 + (160 / 175 - 1) / 10. On or before run 1's day: none.
        {"interval of exactly 11 days", {}, {{11, 60, "大井", 1600, 0, 1, 1, 11}, {22, 90, "大井", 1600, 0, 1, 1, 10}},
         Kankaku, 0.99142857f},
        {"interval 0", {}, {{0, 60, "大井", 1600, 0, 1, 1, 5}, {20, 70, "大井", 1600, 0, 1, 1, 5}}, Kankaku, 0},
        {"interval below 0", {}, {{-3, 60, "大井", 1600, 0, 1, 1, 5}, {20, 70, "大井", 1600, 0, 1, 1, 5}}, Kankaku, 0},
        // Eleven rides of a jockey rated 5, none of today's (10): 0.7 x (1 + 1 / 10) + 0.3 x 1.
        {"jockey", {.kisyu = "O'Neil"}, std::vector<PastRun>(11, {.sisuu = 60, .kisyu = "D'Arcy"}), Kisyu, 1.07f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        redimUma(18, pd.kakoMax);
        addRunner(1, c.today, c.runs);
        analYosou();
        EXPECT_FLOAT_EQ(QString::fromStdString(resultRow(1)).split(' ')[c.field].toFloat(), c.value);
    }
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(Engine, FailingAverageLeavesNoValueOfThePreviousRunner)
{
    addRunner(1, {}, {{.sisuu = 60}});
    initYosouWork();
    pd.umaIdx = 1;
    calcAveSisuu();
    pd.kakoMax = 151;  // one run beyond the table: a subscript error
    calcAveSisuu();
    EXPECT_EQ(yosouWork.aveSisuu, 0.0f);
    EXPECT_EQ(msgs_.texts(), QStringList{"Error-mainAnalSisuu02-10"});
}

TEST_F(Engine, CombinationWithTheSettingsWeights)
{
    addRunner(1);
    pd.kisoSisuu(1, 0) = 60;
    pd.umaIdx = 1;
    const auto combine = [](std::array<float, 8> factors) {
        initYosouWork();
        for (int i = 0; i < 8; ++i)
            pd.tekiseiFactor(1, i) = factors[size_t(i)];
        calcYosouSisuu();
    };
    // All far above 1.15 with the weights at 100 %: F0 = 1.15, 1.525 times the base index.
    combine({0, 2, 2, 2, 2, 2, 2, 2});
    EXPECT_FLOAT_EQ(pd.tekiseiFactor(1, 0), 1.15f);
    EXPECT_FLOAT_EQ(pd.yosouSisuu(1), 91.5f);

    // Whole percentages, halves to even; a text that is not a number counts as 100 %.
    const QStringList texts{"180", "0", "abc", "", "50.5", "51.5"};
    for (int n = 0; n < texts.size(); ++n)
        iniWrite("parameter", QString("para(%1)").arg(n), texts[n]);
    // Factors clamped to 0.85..1.15, then weighted: the draw 1 + 0.1 x 0 x 1.3, the distance (0)
    // left out, 1 - 0.15, 1 + 0.15 x 0.5 x 0.9, 1, 1, 1 + 0.05 x 1.1. Their mean 5.9725 / 6 gives
    // F0 = 1 + (M - 1) x 1.8 = 0.99175, and the base index becomes (1 + (F0 - 1) x 3.5) x 60.
    combine({0, 1.1f, 0, 0.8f, 1.2f, 1, 1, 1.05f});
    EXPECT_EQ(yosouWork.para, (std::array<float, 8>{1.8f, 0, 1, 1, 0.5f, 0.52f, 1, 1}));
    EXPECT_FLOAT_EQ(pd.tekiseiFactor(1, 0), 0.99175f);
    EXPECT_FLOAT_EQ(pd.yosouSisuu(1), 58.2675f);
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(Engine, QuantileLineAndIndexAxis)
{
    // 37 indices 136 .. 100 in runs 0..50 (run 51 does not count): at 0.2 position CLng(7.4) = 7,
    // the eighth highest; at 0.7 25.9 rounds to 26. A ratio outside 0..1 is clamped.
    pd.tousuu = 4;
    for (int i = 0; i < 37; ++i)
        pd.uSisuu(1 + i / 10, i % 10 * 5) = float(136 - i);
    pd.uSisuu(4, 51) = 500;
    for (const auto& [ratio, line] : std::vector<std::pair<float, float>>{{0.2f, 129}, {0.7f, 110}, {1.5f, 0}, {-0.3f, 136}}) {
        pd.lineRatio = ratio;
        analAveSisuu();
        EXPECT_EQ(pd.lineSisuu, line) << ratio;
    }
    analSisuuRange();
    EXPECT_EQ(pd.sisuuOffset, 30);  // more than a tenth of runs 1..50 above 100
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(Engine, StyleIsTheCommonestOfTheGoodRuns)
{
    const auto styled = [](const char* style, float sisuu = 60, int tuka1 = 0) {
        return PastRun{.sisuu = sisuu, .style = style, .tuka1 = tuka1};
    };
    const struct { const char* what; float kiso; std::vector<PastRun> runs; const char* style; float tuka1Ave; } cases[]{
        // 0.7 x 11.25 is 7.874999999999999 in double but 7.875 in float: a run at 7.875 is not
        // good. Good: 差 (corner 5), 追 (no corner, still in the divisor), the unknown "逃げ" (7).
        {"seven tenths of the base index in float", 11.25f,
         {styled("先", 7.875f, 1), styled("差", 50, 5), styled("追", 8), styled("逃げ", 70, 7), styled("先", 5, 1)}, "差", 4},
        // Below a negative base index empty slots (index 0) would look good; only runs with a date count.
        {"negative base index", -5, {styled("追", 10, 6), styled("逃", -15, 1)}, "追", 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        redimUma(18, pd.kakoMax);
        addRunner(1, {}, c.runs);
        pd.kisoSisuu(1, 0) = c.kiso;
        pd.umaIdx = 1;
        judgeKyakusitu();
        EXPECT_EQ(pd.uKyakusitu(1, 0), c.style);
        EXPECT_FLOAT_EQ(pd.tuka1Ave(1, 0), c.tuka1Ave);
    }
}

TEST_F(Engine, MarksAndChances)
{
    // Ten runners get four marks; the fifth ranked gets one only in a field of eleven.
    judgeField({51, 52, 53, 54, 55, 56, 57, 58, 59, 60});
    EXPECT_EQ(pd.sirusi(6) + pd.sirusi(7) + pd.sirusi(10), "△◎");
    EXPECT_EQ(pd.sirusiTop(5, 0), 6.0f);
    judgeField({51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61});
    EXPECT_EQ(pd.sirusi(7) + pd.sirusi(8) + pd.sirusi(11), "△△◎");
    // Three ranked, ranks 4 and 5 empty. Win: 0.5 - 0.5 x (70 - P) / 18, the leader 1 - T2's;
    // top two against T2 (60), T2 1 - T3's, the leader 1 - T3's win value.
    EXPECT_EQ(judgeField({0, 70, 0, 0, 60, 55}), "- 0 0 | - 0 0 | ◎ 0.777777791 0.916666687 | - 0 0 | - 0 0 | "
                                                 "○ 0.222222224 0.638888896 | ▲ 0.0833333358 0.361111104");
    EXPECT_EQ(std::pair(pd.sirusiTop(4, 0), pd.sirusiTop(5, 1)), std::pair(0.0f, -100.0f));
    // A tie for the best index goes to the lower number.
    EXPECT_EQ(judgeField({0, 64, 0, 0, 64}), "- 0 0 | - 0 0 | ◎ 0.5 1 | - 0 0 | - 0 0 | ○ 0.5 1");
    // A single ranked runner is certain; slot 0, standing for the missing ranks, stays 0.
    EXPECT_EQ(judgeField({0, 0, 62}), "- 0 0 | - 0 0 | - 0 0 | ◎ 1 1");
    // A predicted index below zero is no chance at all, also against a leader within 18 points:
    // win and top two are 0, not 0.5 - 0.5 x 13 / 18 and 0.5 - 0.5 x 7 / 18.
    EXPECT_EQ(judgeField({0, 10, -3, 4}), "- 0 0 | - 0 0 | ◎ 0.666666627 1 | - 0 0 | ○ 0.333333343 1");
    // Nobody ranked: no marks and no chances at all (not 50 % each).
    EXPECT_EQ(judgeField({0, 0, 0}), "- 0 0 | - 0 0 | - 0 0 | - 0 0");
}
