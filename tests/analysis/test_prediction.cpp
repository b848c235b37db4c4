// Whole races through the driver, worked out by hand with every float rounded where it is stored, so
// every result field must match bit for bit; the speed index pass; the engine where races leave a boundary open.
#include "tests/analysis/raceBuilder.h"

#include <QFile>

namespace {

class WholeRace : public RaceTest {
protected:
    // Day variants (days ago, track, value) and standard times of a track file.
    static void addStandards(const QString& path, const std::vector<std::tuple<int, QString, double>>& variants,
                             const std::vector<std::vector<DbValue>>& times)
    {
        for (const auto& [daysAgo, zyo, value] : variants)
            insertRows(path, "T_sisuu", {"S_date", "S_zyo", "S_siba", "S_sisuu"}, {{kRaceDay.addDays(-daysAgo), zyo, 0, value}});
        insertRows(path, "T_avetime", {"A_zyo", "A_kyori", "A_class", "A_sin_kyu", "A_siba", "A_time"}, times);
    }
};

void expectRows(const std::vector<std::string>& rows)
{
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(resultRow(int(i) + 1), rows[i]) << "runner " << i + 1;
}

// A runner's result fields in the order of resultRow.
enum Field { Kiso, KisoRuns, Yosou, Combined, Waku, Kyori, Kankaku, Zyo, Baba, Taizyu, Kisyu };

using Engine = RaceTest;

}

// 川崎 1400 m dirt, going 3, twelve runners. Runner 1's weights 0.2 0.2 0.1 0.1 0.2 0.1 0.1 reach
// 1 in float at run 7 (in double run 8 would count too); its recency goes 0.95 then 0.93. Runner
// 2 gained 2 kg: no run falls in its class at thresholds 4 and 3, gains above 2 kg count at 2;
// nine of its eleven recent jockeys are rated. Runner 3 has no weight carried or body weight, a
// turf, a central and a negative run. Runner 4 has one run within 450 days and today's jockey is
// rated 0. Runner 5 ran only before the cut-off. Of 66 indices, 0.25 sits at 16.5: position 16.
TEST_F(WholeRace, KawasakiTwelveRunners)
{
    std::tie(pd.raceZyo, pd.raceKyori, pd.raceBaba, pd.lineRatio) = std::tuple(QStringLiteral("川崎"), 1400, 3, 0.25f);
    createTrackFile({{0, 1.05}, {1, 0.0}, {2, 0.92}}, {{"森", 8}, {"今野", 12.5}, {"張田", 6}, {"山崎", 10}, {"矢野", 0}});
    addRunner(1, {.waku = 8, .taizyu = 472, .kisyu = "今野", .hutan = 54.5f},
              {{61, 58.5, "大井", 1600, 0, 1, 7, 35, 470, -2, "森", "先", 3}, {96, 61.25, "川崎", 1400, 0, 3, 8, 30, 472, 6, "今野", "逃", 1},
               {126, 49, "船橋", 1400, 0, 2, 2, 59, 466, -6, "今野", "逃", 2}, {230, 64, "川崎", 1500, 0, 3, 6, 60, 472, 0, "張田", "差", 6},
               {262, 52, "川崎", 1400, 0, 3, 7, 32, 476, 4, "森", "先", 4}, {300, 33.5, "川崎", 1300, 0, 3, 8, 38, 470, -3, "今野", "追", 9},
               {449, 55, "浦和", 1400, 0, 1, 4, 45, 468, 0, "山崎", "差", 5}, {450, 90, "川崎", 1400, 0, 3, 8, 30, 472, 0, "今野", "逃", 1}});
    addRunner(2, {.waku = 4, .taizyu = 502, .kisyu = "山崎", .hutan = 56},
              {{30, 62, "川崎", 1400, 0, 3, 4, 30, 500, 6, "山崎", "先", 2}, {60, 57, "川崎", 1500, 0, 3, 5, 29, 494, -5, "新人", "先", 3},
               {89, 66, "大井", 1400, 0, 3, 6, 59, 499, 8, "森", "逃", 1}, {148, 45, "川崎", 1300, 0, 2, 3, 60, 491, -7, "山崎", "差", 7},
               {208, 60, "川崎", 1400, 0, 3, 4, 11, 498, 5, "今野", "先", 2}, {219, 54.5, "船橋", 1500, 0, 1, 1, 10, 493, -5, "張田", "差", 5},
               {229, 63, "川崎", 1290, 0, 3, 4, 0, 498, 6, "山崎", "先", 3}, {240, 58, "川崎", 1510, 0, 4, 6, 11, 492, -6, "新人", "逃", 1},
               {270, 61, "川崎", 1400, 0, 3, 5, 30, 498, 5, "森", "先", 2}, {300, 52, "川崎", 1400, 0, 3, 4, 30, 493, -5, "山崎", "差", 6},
               {330, 59, "川崎", 1400, 0, 3, 4, 30, 498, 7, "矢野", "先", 3}, {360, 70, "川崎", 1400, 0, 3, 4, 30, 491, -5, "今野", "逃", 1}});
    addRunner(3, {.waku = 1, .taizyu = 0, .kisyu = "矢野", .hutan = 0},
              {{20, -4, "川崎", 1400, 0, 3, 2, 20, 0, 0, "矢野", "追", 10}, {40, 48, "川崎", 1400, 1, 3, 1, 21, 0, 0, "矢野", "追", 9},
               {61, 35, "Ｊ東京", 1400, 0, 3, 3, 20, 0, 0, "森", "差", 8}, {80, 30, "川崎", 1400, 0, 3, 1, 19, 0, 0, "矢野", "追", 12},
               {100, 0, "川崎", 1400, 0, 3, 2, 20, 0, 0, "矢野", "逃", 1}, {120, 5, "川崎", 1400, 0, 3, 3, 20, 0, 0, "矢野", "差", 6}});
    addRunner(4, {.waku = 5, .taizyu = 455, .kisyu = "矢野", .hutan = 53},
              {{300, 47.25, "浦和", 1500, 0, 2, 5, 40, 452, 3, "今野", "先", 4}, {460, 80, "川崎", 1400, 0, 3, 5, 40, 455, 0, "今野", "逃", 1},
               {700, 61.5, "川崎", 1400, 0, 3, 5, 40, 455, 0, "今野", "逃", 1}, {800, 61, "川崎", 1400, 0, 3, 5, 40, 455, 0, "今野", "逃", 1}});
    addRunner(5, {.waku = 3, .taizyu = 470, .kisyu = "森", .hutan = 55},
              {{451, 75, "川崎", 1400, 0, 3, 3, 30, 0, 0, "", "逃", 1}, {600, 71, "川崎", 1400, 0, 3, 3, 30, 0, 0, "", "逃", 1}});
    pd.uKyakusitu(5, 0) = "差";
    const std::array<QString, 5> jockeys{"森", "今野", "張田", "山崎", "矢野"};
    const std::array<QString, 4> styles{"逃", "先", "差", "追"};
    for (int h = 6; h <= 12; ++h) {
        addRunner(h, {.waku = std::min((h + 1) / 2, 8), .taizyu = 460 + h, .kisyu = jockeys[size_t(h % 5)],
                      .hutan = float(52 + h % 5)});
        for (int k = 1; k <= 5; ++k)
            setRun(h, k, {14 * k + h, float(35 + 2 * h + (h * k) % 7), (h + k) % 3 ? "川崎" : "大井",
                          k % 2 ? 1400 : 1500, 0, 1 + (h + k) % 4, 1 + (h * k) % 8, 14, 460 + h + k % 3 - 1,
                          k % 3 - 1, jockeys[size_t((h + k) % 5)], styles[size_t((h + k) % 4)], 1 + (h + k) % 12});
    }

    analYosou();

    expectRows({
        "49.8782539 7 49.2448769 0.996371865 0.972331226 0.99834615 1.0069648 0.99834615 0.99834615 0.999198675 1.00912011 逃 "
        "3.14285707 - 0.119889259 0.141079262",
        "54.6416473 6 55.9678917 1.00693476 1.00811005 0.996435106 1.01022279 0.99837482 1.01218879 1.01085186 1.01049662 先 3 △ "
        "0.306639671 0.327829689",
        "28.6000004 4 26.8946953 0.982963979 1.005 0.981467187 0.985328197 0.981467187 0.985714257 1 0.952440143 追 9.66666698 - "
        "0 0",
        "58.0925026 4 56.0050354 0.989733279 1 0 0 0 0 1 0.972000003 逃 1.75 △ 0.307671428 0.328861445",
        "0 0 0 0 0 0 0 0 0 0 0 差 0 - 0 0",
        "51.8699989 5 53.238327 1.00753713 1.01453638 1 0 1 0.999337733 1 1.02453411 追 10 - 0.230818436 0.252008438",
        "48.5299988 5 48.335907 0.998857319 1 1 0 1 1 1 0.993767142 逃 8.60000038 - 0.0946400985 0.115830101",
        "52.9199982 5 53.4008789 1.00259626 1 1.00064933 0 1.00064933 0.999350667 1 1.01333487 先 7.19999981 - 0.235333756 "
        "0.256523758",
        "53.1199989 5 51.771843 0.992748737 1.00017929 0.99820745 0 0.99820745 0.999103725 1 0.964961588 差 5.80000019 - "
        "0.190082759 0.211272776",
        "59.3699989 5 59.5567474 1.00089872 1.00114894 0.999873757 0 0.999873757 1.00101006 1 1.00290167 追 4.4000001 ▲ "
        "0.406330109 0.427520126",
        "61.8499985 5 62.9288635 1.00498378 0.999476969 1.0007472 0 1.0007472 1.00087178 1 1.02537978 逃 3 ◎ 0.521190047 "
        "0.593669891",
        "62.3099976 5 62.1660233 0.999339819 0.999398053 1.00171995 0 1.00171995 0.999508619 1 0.993803978 先 4 ○ 0.478809983 "
        "0.572479844",
    });
    EXPECT_EQ(pd.lineSisuu, 61.25f);
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

// 大井 1200 m dirt, going 2: indices from the times, on local and central courses (a turf run, a run
// without a time, one without a standard time); two exceed 100 and two are negative: the axis moves down.
TEST_F(WholeRace, OiIndicesFromTimes)
{
    std::tie(pd.raceKyori, pd.raceBaba, pd.jraGraphOn) = std::tuple(1200, 2, true);
    addStandards(createTrackFile({{0, 1.02}, {2, 0.97}}, {{"的場", 14}, {"森", 9}}),
        {{30, "大井", 0.4}, {60, "川崎", -0.2}, {15, "大井", 0.25}},
        {{"大井", 1200, "ave", 1, 0, 73.5}, {"大井", 1600, "ave", 1, 0, 100.2}, {"川崎", 1400, "ave", 1, 0, 87.0},
            {"大井", 1200, "ave", 1, 1, 72.0}});
    addStandards(dir_.createJraGraph(), {{90, "05", 0.1}}, {{"05", 1400, "ave", 0, 0, 84.5}});
    addRunner(1, {.waku = 2, .taizyu = 468, .kisyu = "的場", .hutan = 55},
              {{30, 0, "大井", 1200, 0, 2, 2, 30, 466, 2, "的場", "先", 2, 73.1f, 56}, {60, 0, "川崎", 1400, 0, 1, 5, 30, 464, -2, "森", "先", 3, 86.6f, 55},
               {90, 0, "Ｊ東京", 1400, 0, 2, 3, 30, 466, 0, "的場", "逃", 1, 84.9f, 57}, {120, 0, "大井", 1200, 1, 2, 1, 30, 466, 4, "的場", "逃", 1, 72.5f, 55},
               {150, 0, "大井", 1200, 0, 2, 8, 50, 462, 0, "的場", "追", 11, 0, 55}, {200, 0, "大井", 1600, 0, 2, 4, 21, 462, -4, "森", "差", 5, 99.0f, 54}});
    addRunner(2, {.waku = 6, .taizyu = 440, .kisyu = "森", .hutan = 57},
              {{20, 0, "大井", 1200, 0, 2, 6, 30, 436, -6, "森", "追", 12, 79.0f, 55}, {50, 0, "大井", 1200, 0, 3, 7, 30, 442, 2, "森", "追", 10, 76.0f, 55},
               {80, 0, "大井", 1200, 0, 2, 5, 30, 440, 0, "的場", "差", 7, 74.0f, 55}, {110, 0, "川崎", 1500, 0, 2, 4, 30, 440, 3, "森", "差", 8, 95.0f, 55},
               {140, 0, "大井", 1200, 0, 2, 6, 30, 437, -3, "森", "追", 9, 77.6f, 55}});
    addRunner(3, {.waku = 8, .taizyu = 512, .kisyu = "的場", .hutan = 52},
              {{15, 0, "大井", 1200, 0, 2, 8, 30, 510, 4, "的場", "逃", 1, 69.0f, 55}, {45, 0, "大井", 1600, 0, 2, 7, 30, 506, -2, "的場", "逃", 1, 95.5f, 55},
               {75, 0, "Ｊ東京", 1400, 0, 1, 2, 30, 508, 0, "森", "先", 2, 83.0f, 55}});

    for (pd.umaIdx = 1; pd.umaIdx <= 3; ++pd.umaIdx)
        calcUmaSisuu();
    analYosou();

    expectRows({
        "56.1522408 5 58.0122108 1.00946391 1.01595342 1.00010049 1.0096128 1.00044119 1.01455986 1.00985122 1.00994146 逃 2.4000001 ○ 0 1",
        "29.25 2 29.3273125 1.00075519 1.00666666 1 0 1 1.00952387 0.99333334 0.993642867 差 7 ▲ 0 0",
        "104.595856 3 104.492973 0.999718964 0.991061032 1.00369143 0 1.00008726 1.00008726 1.00108123 1.002864 逃 1.33333337 ◎ 1 1",
    });
    EXPECT_EQ(pd.lineSisuu, 94.0624695f);  // CLng(0.2 x 12) = 2: the third highest
    EXPECT_EQ(pd.sisuuOffset, -30);
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

// The history indexes the runs it reads; the index pass computes only the others (runs of the
// card, runs whose index failed), so a run's index is computed once per read.
TEST_F(WholeRace, IndexPassComputesOnlyTheRunsTheHistoryDidNotIndex)
{
    addStandards(createTrackFile(), {{20, "大井", 0.5}}, {{"大井", 1500, "ave", 1, 0, 90.0}});
    const PastRun run {.daysAgo = 20, .kyori = 1500, .time = 89.5f, .hutan = 56};
    addRunner(1, {}, {run, run});
    pd.uSisuu(1, 1) = 12.5f;  // as the history stored it
    pd.uIndexed(1, 1) = 1;
    pd.umaIdx = 1;
    calcUmaSisuu();
    EXPECT_EQ(pd.uSisuu(1, 1), 12.5f);
    EXPECT_NEAR(pd.uSisuu(1, 2), 61.0f, 1e-4);  // ((90.0 - 89.5) + 0.5) x 10 + 50 + 1 (56 kg)
    redimUma(18, pd.kakoMax);
    EXPECT_EQ(pd.uIndexed(1, 1), 0) << "a new read starts with no run indexed";
}

// Central runs need the central file; a missing, locked or incomplete track file is shown once per race read.
TEST_F(WholeRace, IndexPassNeedsTheCentralFileForCentralRunsAndShowsABrokenTrackFileOnce)
{
    // Runners 1..3 with a local run (大井 1500 m) and a central run (東京 1600 m), indexed.
    const auto indexRunners = [] {
        redimUma(18, pd.kakoMax);
        for (pd.umaIdx = 1; pd.umaIdx <= 3; ++pd.umaIdx) {
            addRunner(pd.umaIdx, {.waku = pd.umaIdx, .kisyu = "山田"},
                      {{.daysAgo = 20, .kyori = 1500, .time = 89.5f, .hutan = 56}, {.daysAgo = 20, .zyo = "Ｊ東京", .time = 95.0f, .hutan = 57}});
            calcUmaSisuu();
        }
    };
    addStandards(createTrackFile(), {{20, "大井", 0.5}}, {{"大井", 1500, "ave", 1, 0, 90.0}});
    indexRunners();
    EXPECT_NEAR(pd.uSisuu(1, 1), 61.0f, 1e-4);  // ((90.0 - 89.5) + 0.5) x 10 + 50 + 1 (56 kg)
    EXPECT_EQ(std::pair(pd.uSisuu(1, 2), msgs_.texts()), std::pair(0.0f, QStringList()));

    pd.jraGraphOn = true;
    addStandards(dir_.createJraGraph(), {{20, "05", 0.3}}, {{"05", 1600, "ave", 0, 0, 96.0}});
    const QString path = dir_.filePath("Strevin_data.dat");
    const QString tables = "CREATE TABLE T_sisuu (a); CREATE TABLE T_avetime (a); CREATE TABLE T_waku (a); CREATE TABLE T_Kisyu (a);";
    for (const auto& [password, schema, why] : std::vector<std::tuple<QString, QString, QString>>{
             {"", "", "ファイルがありません"}, {"other", tables, "データファイルではないか、パスワードが違います"},
             {dbPassword, "CREATE TABLE T_sisuu (S_date TEXT);", "データファイルではないか、パスワードが違います"}}) {
        SCOPED_TRACE(password.toStdString());
        QFile::remove(path);
        if (!schema.isEmpty())
            createDbFile(path, password, schema);
        msgs_.clear();
        beginRaceAnalysis();
        indexRunners();
        analYosou();  // the draw and jockey factors of three runners find no usable file either
        EXPECT_EQ(msgs_.texts(), QStringList{"dataファイルが開けません\n" + path + "\n" + why});
        for (int h = 1; h <= 3; ++h) {
            EXPECT_NEAR(pd.uSisuu(h, 2), 99.0f, 1e-4);  // ((96 - 95) + 0.3) x 10 + 84 + 2
            EXPECT_EQ(std::pair(pd.uSisuu(h, 1), pd.tekiseiFactor(h, 1) + pd.tekiseiFactor(h, 7)), std::pair(0.0f, 0.0f));
            EXPECT_NE(pd.yosouSisuu(h), 0.0f);  // from the other factors
        }
    }
}

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
        {"interval of exactly 11 days", {}, {{11, 60, "大井", 1600, 0, 1, 1, 11}, {22, 90, "大井", 1600, 0, 1, 1, 10}}, Kankaku, 0.99142857f},
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
    EXPECT_EQ(std::pair(yosouWork.aveSisuu, msgs_.texts()), std::pair(0.0f, QStringList{"Error-mainAnalSisuu02-10"}));
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
    const auto styled = [](const char* style, float sisuu = 60, int tuka1 = 0) { return PastRun{.sisuu = sisuu, .style = style, .tuka1 = tuka1}; };
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
    // Mark, win and top-two chance of slots 0.. of a field with these predicted indices (0: none).
    const auto judgeField = [](const std::vector<float>& indices) {
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
    };
    // Ten runners get four marks; the fifth ranked gets one only in a field of eleven.
    judgeField({51, 52, 53, 54, 55, 56, 57, 58, 59, 60});
    EXPECT_EQ(std::pair(pd.sirusi(6) + pd.sirusi(7) + pd.sirusi(10), pd.sirusiTop(5, 0)), std::pair(QString("△◎"), 6.0f));
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
    // Only slots 1..16 are ranked and given chances: runner 17's best index counts for nothing.
    std::vector<float> seventeen(17, 50);
    seventeen.back() = 90;
    const QStringList field = QString::fromStdString(judgeField(seventeen)).split(" | ");
    EXPECT_EQ(field[1] + " / " + field[17], "◎ 0.5 0.5 / - 0 0");
}
