// The grids and the corner diagram, filled from races in the run table and read back as a user sees them.
#include "analysis/gridLayout.h"
#include "analysis/mainCorce.h"
#include "analysis/mainCornner.h"
#include "analysis/mainMochiTime.h"
#include "analysis/mainSpSisuu.h"
#include "analysis/mainSyuxtubaHyo.h"
#include "analysis/mainTaisen.h"
#include "analysis/mainTekiseiRentai.h"
#include "analysis/mainTekiseiSisuu.h"
#include "analysis/mainYosou.h"
#include "core/dialogSincyoku.h"
#include "platform/canvas.h"
#include "tests/analysis/gridCheck.h"
#include "tests/analysis/raceBuilder.h"
#include "webimport/importGuard.h"

#include <QProgressBar>

namespace {

class RunnerGrid : public RaceTest {
protected:
    void SetUp() override { RaceTest::SetUp(); pd.raceKyori = 1200; }
    // Runner h's row, columns of groups first..last.
    std::string groups(int h, int first, int last) const { return rowText(grid, h + 1, 3 * first + 3, 3 * last + 5); }
    FlexGrid grid;
};
const QString oneYear = QStringLiteral("1年以内対象");

// Two runners in bracket 1, then brackets 2 and 4 (white numbers); a factor of 1.05 shows +15.0%,
// 0.98 -6.0% in red, exactly 1 +0.0% in black, a hair below 1 -0.0% in red, 0 nothing.
TEST_F(RunnerGrid, PredictionTabShowsMarksIndicesChancesAndFactors)
{
    for (int h = 1; h <= 4; ++h)
        addRunner(h, {.waku = std::array{1, 1, 2, 4}[size_t(h - 1)]});
    const std::array<float, 8> factors{1.05f, 0.98f, 1, 0, std::nextafter(1.0f, 0.0f), 1.1f, 0.9f, 1.0333333f};
    for (int i = 0; i < 8; ++i)
        std::tie(pd.tekiseiFactor(1, i), pd.tekiseiFactor(3, i)) = std::pair(factors[size_t(i)], 1.0f);
    std::tie(pd.sirusi(1), pd.uKyakusitu(1, 0), pd.yosouSisuu(1), pd.kisoSisuu(1, 0), pd.kakuritu1(1), pd.kakuritu2(1)) =
        std::tuple("◎", "逃", 72.5f, 68.4f, 0.3456f, 0.5f);
    std::tie(pd.sirusi(3), pd.uKyakusitu(3, 0), pd.yosouSisuu(3), pd.kisoSisuu(3, 0), pd.kakuritu1(3), pd.kakuritu2(3)) =
        std::tuple("▲", "差", -3.2f, 0.4f, 0.0004f, 1.0f);
    drawGridYosou(grid);

    EXPECT_EQ(rowText(grid, 2), "1|1|◎|馬1|逃|73|68|34.6%|50.0%|+15.0%|-6.0%|+0.0%||-0.0%|+30.0%|-30.0%|+10.0%");
    EXPECT_EQ(rowText(grid, 3), "|2||馬2||||0.0%|0.0%||||||||") << "a runner without prediction";
    EXPECT_EQ(rowText(grid, 4), "2|3|▲|馬3|差|-3||0.0%|100.0%|+0.0%|+0.0%|+0.0%|+0.0%|+0.0%|+0.0%|+0.0%|+0.0%");
    EXPECT_EQ(rowLook(grid, 2), "bffffff|bffffff|B bffffff|B bffffff|||||||fff|||fff||fff|");
    EXPECT_EQ(rowLook(grid, 3, 0, 0) + " / " + rowLook(grid, 4, 0, 0) + " / " + rowText(grid, 5, 0, 0) + rowLook(grid, 5, 0, 0),
              "bffffff / fffffff b10101 / 4fffffff bff0000") << "the bracket colour without its number in row 3";
    EXPECT_EQ(pd.umaIdx, 5);
}

// Each finish colour, a central run (no link), an index of 0 without a variant row (grey), a
// negative one whose variant was 0 (found: not grey); runner 2 shares the bracket and has no run.
TEST_F(RunnerGrid, RaceCardsTellEachRun)
{
    addRunner(1, {.waku = 2, .kisyu = "騎手A", .hutan = 54},
              {{.daysAgo = 78, .sisuu = 84.4f, .kyori = 1200, .cyaku = 3, .tousuu = 12, .sisuu3f = 40},
               {.daysAgo = 61, .zyo = "Ｊ東京", .siba = 1, .cyaku = 1, .tousuu = 16, .fileFound = false},
               {.daysAgo = 100, .sisuu = -5, .zyo = "川崎", .cyaku = 2, .tousuu = 9, .sisuu3f = 0.4f},
               {.daysAgo = 120, .sisuu = 60.5f, .cyaku = 0, .tousuu = 14, .sisuu3f = 51}, {.daysAgo = 140, .sisuu = 61, .cyaku = 5, .tousuu = 14},
               {.daysAgo = 160, .sisuu = 62, .cyaku = 4, .tousuu = 14}, {.daysAgo = 180, .sisuu = 63, .cyaku = 13, .tousuu = 12}});
    addRunner(2, {.waku = 2, .kisyu = "騎手B", .hutan = 5.5f});
    addRunner(3, {.waku = 4});
    std::tie(pd.uChichi(1), pd.uSeirei(1), pd.uCyoukyou(1, 0), pd.sirusi(1)) = std::tuple("父馬", "牡4", "厩舎A", "○");
    std::tie(pd.uChichi(2), pd.uSeirei(2), pd.uCyoukyou(2, 0)) = std::tuple("父馬2", "牝3", "厩舎B");

    drawGridSyuxtusouHyou(grid);
    EXPECT_EQ(rowText(grid, 1), "2|1|○|馬1|父馬|牡4|騎手A|54.0|厩舎A|大井03/15 Ｄ1200 3/12|Ｊ東京04/01 芝1600 1/16|"
                                "川崎02/22 Ｄ1600 2/9|大井02/02 Ｄ1600 0/14|大井01/13 Ｄ1600 5/14|大井12/24 Ｄ1600 4/14|"
                                "大井12/04 Ｄ1600 13/12");
    EXPECT_EQ(rowText(grid, 2), "|2||馬2|父馬2|牝3|騎手B|05.5|厩舎B|||||||");
    EXPECT_EQ(rowLook(grid, 1), "fffffff b10101|bffffff|B bffffff|BU fff0000 bffffff|U fff0000||U fff0000||U fff0000|"
                                "U8 fff0000 bffffc8|8 bc8c8ff|U8 fff0000 b80c8ff|U8 fff0000 bffffff|U8 fff0000 bffffff|"
                                "U8 fff0000 bffffff|U8 fff0000 bffffff");
    EXPECT_EQ(rowLook(grid, 2, 9), "||||||") << "no run: empty and white";
    EXPECT_EQ(pd.umaIdx, 4);
    saveGridPicture(grid, "gridSyuxtusouHyou");

    drawGridSpSisuu(grid);
    EXPECT_EQ(rowText(grid, 1, 9, 20), "大井03/15 Ｄ1200|84|40|Ｊ東京04/01 芝1600|||川崎02/22 Ｄ1600|-5||大井02/02 Ｄ1600|61|51")
        << "60.5 rounds away from zero";
    EXPECT_EQ(rowLook(grid, 1, 9, 17), "U8 fff0000 bffffc8|B bffffc8|bffffc8|8 bc8c8ff|B f808080 bc8c8ff|f808080 bc8c8ff|"
                                       "U8 fff0000 b80c8ff|B b80c8ff|b80c8ff");
}

// Without a fifth run the cards keep four run columns, gridSpSisuu two empty ones; runs beyond 100 never show.
TEST_F(RunnerGrid, RaceCardsGrowWithTheLongestHistory)
{
    const auto shapes = [this] {
        QStringList out;
        for (const auto fill : {drawGridSyuxtusouHyou, drawGridSpSisuu}) {
            fill(grid);
            out << QStringLiteral("%1x%2 fixed %3x%4 height %5 %6").arg(grid.rows()).arg(grid.cols()).arg(grid.fixedRows())
                       .arg(grid.fixedCols()).arg(grid.heightTwips()).arg(rowText(grid, 0, out.isEmpty() ? 9 : 21).c_str());
        }
        return out.join(" / ").toStdString();
    };
    EXPECT_EQ(shapes(), "1x13 fixed 1x3 height 650 1走前|2走前|3走前|4走前 / 1x23 fixed 1x3 height 650 |");
    addRunner(1, {}, std::vector<PastRun>(4));
    addRunner(2, {}, std::vector<PastRun>(2));
    EXPECT_EQ(shapes(), "3x13 fixed 1x3 height 1250 1走前|2走前|3走前|4走前 / 3x23 fixed 1x3 height 1250 |");
    addRunner(2, {}, std::vector<PastRun>(5));
    EXPECT_EQ(shapes(), "3x14 fixed 1x3 height 1250 1走前|2走前|3走前|4走前|5走前 / 3x26 fixed 1x3 height 1250 5走前|指数|3f||");
    addRunner(1, {}, std::vector<PastRun>(120));
    drawGridSyuxtusouHyou(grid);
    const int cardCols = grid.cols();
    drawGridSpSisuu(grid);
    EXPECT_EQ(std::pair(cardCols, grid.cols()), std::pair(109, 311));
}

using Aptitude = RunnerGrid;

// Today 大井 1200 m dirt: 1100 and 1300 m lie within 100 m, 1099 and 1301 m do not; a central
// run never meets the track; frame 0 is inner; a run without style meets no style group; turf
// runs and indices of 0 and below count nowhere.
TEST_F(Aptitude, IndexGridAveragesAndBestsEachCondition)
{
    addRunner(1, {.waku = 2},
              {{.daysAgo = 10, .sisuu = 80, .kyori = 1200, .baba = 1, .waku = 0, .style = "逃", .cyaku = 1},
               {.daysAgo = 20, .sisuu = 70, .kyori = 1100, .baba = 2, .waku = 4, .style = "先", .cyaku = 3},
               {.daysAgo = 30, .sisuu = 60, .kyori = 1301, .baba = 3, .waku = 7, .cyaku = 5},
               {.daysAgo = 40, .sisuu = 90, .zyo = "川崎", .kyori = 1300, .baba = 4, .waku = 8, .style = "差"},
               {.daysAgo = 50, .sisuu = 50, .zyo = "川崎", .kyori = 1099, .baba = 1, .waku = 3, .style = "追", .cyaku = 2},
               {.daysAgo = 60, .sisuu = 100, .zyo = "Ｊ東京", .kyori = 1200, .baba = 1, .waku = 1, .cyaku = 1},
               {.daysAgo = 70, .sisuu = 99, .kyori = 1200, .siba = 1, .cyaku = 1}, {.daysAgo = 80, .sisuu = 0, .kyori = 1200, .cyaku = 1},
               {.daysAgo = 90, .sisuu = -3, .kyori = 1200, .cyaku = 1}});
    addRunner(2, {.waku = 2}, {{.sisuu = 0, .kyori = 1200}, {.daysAgo = 400, .sisuu = 70, .kyori = 1200}});
    std::tie(pd.yosouSisuu(1), pd.kisoSisuu(1, 0)) = std::pair(84.4f, 91.7f);
    drawGridTekiseiSisuu(grid, oneYear);

    EXPECT_EQ(rowText(grid, 2, 0, 5), "2|1||馬1|84|92");
    // Track and distance, within 100 m, track, distance, within 100 m, every course; goings; draws; styles.
    EXPECT_EQ(groups(1, 1, 17), "80|80|1|75|80|2|70|80|3|90|100|2|85|100|4|75|100|6|77|100|3|70|70|1|60|60|1|90|90|1|"
                                "77|100|3|70|70|1|75|90|2|80|80|1|70|70|1|90|90|1|50|50|1");
    EXPECT_EQ(rowText(grid, 3, 4), std::string(52, '|')) << "no run in the period with an index above 0";
}

// Finishes 1, 3, 5, 0: 25 % wins, 50 % in the first three ("連対"), 4 runs; an index of 0 or below counts nowhere.
TEST_F(Aptitude, RateGridShowsWinsAndPlacesOfEachCondition)
{
    addRunner(1, {.waku = 3}, {{.sisuu = 50, .cyaku = 1}, {.sisuu = 50, .cyaku = 3}, {.sisuu = 50, .cyaku = 5},
                               {.sisuu = 50, .cyaku = 0}, {.sisuu = 0, .cyaku = 1}, {.sisuu = 50, .zyo = "川崎", .cyaku = 4}});
    drawGridTekiseiRentai(grid, oneYear);
    EXPECT_EQ(groups(1, 1, 3) + " " + groups(1, 6, 6), "||||||25%|50%|4 20%|40%|5") << "today 1200 m, the runs 1600 m";
}

// Runs on each bound day and a day later: only those after the bound count, in the aptitude grids and head to head.
// A text that is no entry counts every run in the aptitude grids; head to head keeps the bound of its previous fill.
TEST_F(Aptitude, EveryPeriodPageCountsRunsStrictlyAfterItsBound)
{
    std::vector<PastRun> runs;
    for (int daysAgo : {183, 182, 365, 364, 730, 729, 3650, 3649, 5000})
        runs.push_back({.daysAgo = daysAgo, .sisuu = 50, .kyori = 1200, .cyaku = 1, .raceNo = 11});
    addRunner(1, {}, runs);
    addRunner(2, {}, runs);
    for (int k = 1; k <= 9; ++k)
        pd.uCyaku(2, k) = 2;
    for (const auto& [kikan, counted, met] : std::vector<std::tuple<QString, int, int>>{
             {"6ヶ月以内対象", 1, 1}, {"3年", 9, 1}, {"1年以内対象", 3, 3}, {"2年以内対象", 5, 5}, {"全期間対象", 7, 7},
             {"全期間対象 ", 9, 7}, {"", 9, 7}}) {
        drawGridTekiseiSisuu(grid, kikan);
        calcTaisenMatrix(kikan);
        EXPECT_EQ(QList<float>({grid.textMatrix(2, tekiseiGroupCol(6) + 2).toFloat(), pd.taisenMatrix(1, 2, 0),
                                pd.taisenMatrix(1, 0, 0), pd.taisenMatrix(2, 1, 1)}),
                  QList<float>({float(counted), float(met), float(met), float(met)})) << kikan.toStdString();
    }
    EXPECT_TRUE(msgs_.texts().isEmpty()) << msgs_.texts().join(", ").toStdString();
}

class BestTimes : public RunnerGrid {
protected:
    // 大井 dirt at 1000, 1200, 1500 (two classes), 1600 and 1800 m; another class, turf, another track.
    void SetUp() override
    {
        RunnerGrid::SetUp();
        pd.raceKyori = 1400;
        insertRows(createTrackFile(), "T_avetime", {"A_zyo", "A_kyori", "A_class", "A_sin_kyu", "A_siba"},
                   {{"大井", 1000, "ave", 1, 0}, {"大井", 1200, "ave", 1, 0}, {"大井", 1600, "ave", 1, 0}, {"大井", 1800, "ave", 1, 0},
                    {"大井", 1500, "ave", 1, 0}, {"大井", 1500, "ave", 2, 0}, {"大井", 1300, "A1", 1, 0}, {"大井", 1300, "ave", 1, 1},
                    {"川崎", 1350, "ave", 1, 0}});
    }
};

TEST_F(BestTimes, LadderTakesTwoDistinctDistancesOnEachSide)
{
    const struct { const char* zyo; int kyori; MochiKyori ladder; } cases[] {
        {"大井", 1800, {0, 1500, 1600, 1800, 0, 0}}, {"大井", 0, {0, 0, 0, 0, 1000, 1200}},
        {"船橋", 1400, {0, 0, 0, 1400, 0, 0}}, {"大井'", 1400, {0, 0, 0, 1400, 0, 0}}};
    for (const auto& c : cases) {
        std::tie(pd.raceZyo, pd.raceKyori) = std::pair(QString::fromUtf8(c.zyo), c.kyori);
        EXPECT_EQ(readMochiKyori(), c.ladder) << c.zyo << c.kyori;
    }
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

// Turf runs, runs outside the period and runs without an index are never a best time; a missing
// track file is shown once.
TEST_F(BestTimes, GridShowsBestTimeOfEachLadderDistanceUnderEachCondition)
{
    addRunner(1, {.waku = 3},
              {{.sisuu = 60, .kyori = 1400, .baba = 1, .waku = 0, .style = "逃", .time = 88.5f},
               {.sisuu = 55, .kyori = 1400, .baba = 4, .waku = 5, .style = "先", .time = 87.9f},
               {.sisuu = 50, .zyo = "川崎", .kyori = 1000, .baba = 1, .waku = 8, .time = 61.2f},
               {.sisuu = 70, .kyori = 1500, .siba = 1, .time = 50}, {.daysAgo = 400, .sisuu = 70, .kyori = 1600, .time = 50},
               {.sisuu = 0, .kyori = 1200, .time = 50}, {.sisuu = 40, .kyori = 1200, .baba = 2, .waku = 2, .style = "差", .time = 74.3f}});
    drawGridMochiTime(grid, oneYear);
    EXPECT_EQ(rowText(grid, 2, mochiTimeCol(1, 1)),
              "|1:14:3|1:27:9|||1:01:2|1:14:3|1:27:9|||1:01:2||1:28:5||||1:14:3|||||||||"
              "||1:27:9||||1:14:3|1:28:5|||||1:27:9|||1:01:2|||||||1:28:5|||"
              "||1:27:9||||1:14:3||||||||||||");

    // One shorter distance: every group's first column stays unwritten.
    pd.raceKyori = 1100;
    drawGridMochiTime(grid, oneYear);
    EXPECT_EQ(rowText(grid, 0, 6, 11) + " / " + rowText(grid, 1, 6, 11), "|大井|大井|大井|大井| / 対象|1000|1100|1200|1500|");

    // A new race without the track file: one message, and today's distance alone, not the last ladder.
    pd.raceKyori = 1400;
    QFile::remove(dir_.filePath("Strevin_data.dat"));
    ++pd.raceReadNo;
    beginRaceAnalysis();
    drawGridMochiTime(grid, oneYear);
    EXPECT_EQ(msgs_.firstLines(), QStringList {"dataファイルが開けません"});
    EXPECT_EQ(rowText(grid, 1, 6, 15) + " / " + rowText(grid, 2, 6, 10), "対象||1400|||||1400|| / ||1:27:9||");

    // A period pick for that race: the open's message and the fill's tag, and the grid as it was.
    const std::string shown = rowText(grid, 1, 0) + rowText(grid, 2, 0);
    msgs_.clear();
    drawGridMochiTime(grid, "全期間対象");
    EXPECT_EQ(msgs_.texts(), (QStringList {"dataファイルが開けません\n" + dir_.filePath("Strevin_data.dat") + "\nファイルがありません",
                                           "Error-mainMochiTime-1"}));
    EXPECT_EQ(rowText(grid, 1, 0) + rowText(grid, 2, 0), shown);
}

class HeadToHead : public RunnerGrid {
protected:
    // Runner h's past runs, each (days ago, race number, track, finish).
    static void meetings(int h, const char* name, const std::vector<std::tuple<int, int, const char*, int>>& runs)
    {
        addRunner(h, {.waku = h});
        for (size_t k = 0; k < runs.size(); ++k) {
            const auto& [daysAgo, raceNo, zyo, cyaku] = runs[k];
            setRun(h, int(k) + 1, {.daysAgo = daysAgo, .zyo = QString::fromUtf8(zyo), .cyaku = cyaku, .raceNo = raceNo});
        }
        pd.uName(h) = QString::fromUtf8(name);
    }
};

// Runner 1 beats 2 once and is beaten once, shares second place with 3, meets 4 without a finish,
// has none itself against 2, meets 2 on the race day, misses by track and race number, beats slot 5.
TEST_F(HeadToHead, CountsMeetingsWithDeadHeatsAsLossesForBothAndShowsTheTotals)
{
    meetings(1, "ミスターシービー", {{30, 11, "大井", 1}, {60, 5, "川崎", 4}, {90, 3, "大井", 2}, {120, 7, "大井", 1},
                                    {150, 8, "大井", 0}, {0, 1, "大井", 1}, {180, 9, "大井", 1}, {200, 2, "大井", 3}});
    meetings(2, "O'Neil", {{30, 11, "大井", 3}, {60, 5, "川崎", 2}, {150, 8, "大井", 1}, {0, 1, "大井", 2}, {180, 9, "船橋", 2}, {210, 4, "大井", 1}});
    meetings(3, "ﾊﾙｳﾗﾗﾃﾞｽ", {{90, 3, "大井", 2}, {180, 10, "大井", 3}, {210, 4, "大井", 2}});
    meetings(4, "馬4", {{120, 7, "大井", 0}});
    meetings(5, "馬5", {{200, 2, "大井", 5}});
    std::tie(pd.tousuu, pd.sirusi(1), pd.sirusi(2)) = std::tuple(4, "◎", "○");
    const auto row = [](int h) {
        QStringList cells;
        for (int j = 0; j <= 5; ++j)
            cells << QStringLiteral("%1-%2").arg(pd.taisenMatrix(h, j, 0)).arg(pd.taisenMatrix(h, j, 1));
        return cells.join(' ').toStdString();
    };
    calcTaisenMatrix(QStringLiteral("全期間対象"));
    EXPECT_EQ(row(1) + " / " + row(2) + " / " + row(3), "2-2 0-0 1-1 0-1 0-0 1-0 / 2-1 1-1 0-0 1-0 0-0 0-0 / 0-2 0-1 0-1 0-0 0-0 0-0");
    EXPECT_EQ(std::pair(row(4) + " / " + row(5), pd.umaIdx), std::pair(std::string("0-0 0-0 0-0 0-0 0-0 0-0 / 0-0 0-0 0-0 0-0 0-0 0-0"), 5));

    drawGridTaisen(grid, QStringLiteral("全期間対象"));
    EXPECT_EQ(rowText(grid, 0), "|||馬名|基本指数|基本指数|合計|合計|合計|1◎ミスターシー|1◎ミスターシー|1◎ミスターシー|"
                                "2○O'Neil|2○O'Neil|2○O'Neil|3ﾊﾙｳﾗﾗﾃ|3ﾊﾙｳﾗﾗﾃ|3ﾊﾙｳﾗﾗﾃ|4馬4|4馬4|4馬4|");
    EXPECT_EQ(rowText(grid, 2), "1|1|◎|ミスターシービー|||2|2|50%||||1|1|50%||1|0%||||");
    EXPECT_EQ(rowText(grid, 3, taisenGroupCol(0)) + " / " + rowText(grid, 4, taisenGroupCol(0)) + " / " + rowText(grid, 5, taisenGroupCol(0)),
              "2|1|67%|1|1|50%||||1||100%|||| / |2|0%||1|0%||1|0%||||||| / " + std::string(15, '|'));
    EXPECT_EQ(pd.umaIdx, 5);
}

// A field larger than the run table: each filler's message, the rows so far kept; in debug mode
// the error passes through. The grid paints all the same.
using GridFault = RaceTest;

TEST_F(GridFault, ErrorMidFillShowsTheTagAndLeavesTheGridPainting)
{
    createTrackFile();
    for (int h = 1; h <= 18; ++h)
        addRunner(h, {.waku = std::min((h + 1) / 2, 8)}, {{.sisuu = 50, .cyaku = 1, .raceNo = 1}});
    pd.tousuu = 19;
    const struct { const char* tag; std::function<void(FlexGrid&)> fill; int lastRow; QStringList messages; int umaIdx; } cases[] {
        {"Yosou", [](FlexGrid& g) { drawGridYosou(g); }, 19, {"Error-mainTekiseiYsou-1"}, 19},
        {"TekiseiSisuu", [&](FlexGrid& g) { drawGridTekiseiSisuu(g, oneYear); }, 19, {"Error-mainTekiseiSisuu-1"}, 19},
        {"TekiseiRentai", [&](FlexGrid& g) { drawGridTekiseiRentai(g, oneYear); }, 19, {"Error-mainTekiseiRentai-1"}, 19},
        {"MochiTime", [&](FlexGrid& g) { drawGridMochiTime(g, oneYear); }, 19, {"Error-mainMochiTime-1"}, 19},
        {"SyuxtusouHyou", [](FlexGrid& g) { drawGridSyuxtusouHyou(g); }, 18, {"Error-mainSyustusouHyou-1"}, 19},
        {"SpSisuu", [](FlexGrid& g) { drawGridSpSisuu(g); }, 18, {"Error-mainSpSisuu-1"}, 19},
        // The matrix fails at runner 19; the grid then at runner 1's label of opponent 19.
        {"Taisen", [&](FlexGrid& g) { drawGridTaisen(g, oneYear); }, 2, {"Error-mainTaisen-3", "Error-mainTaisen-1"}, 1},
    };
    for (const auto& c : cases) {
        FlexGrid grid;
        msgs_.clear();
        c.fill(grid);
        EXPECT_EQ(std::tuple(msgs_.texts(), grid.updatesEnabled(), grid.textMatrix(c.lastRow, 3), pd.umaIdx),
                  std::tuple(c.messages, true, QString(c.lastRow == 2 ? "馬1" : "馬18"), c.umaIdx)) << c.tag;
    }
    msgs_.clear();
    debugMode = true;
    FlexGrid grid;
    EXPECT_THROW(drawGridSpSisuu(grid), VbError);
    debugMode = false;
    EXPECT_TRUE(grid.updatesEnabled() && msgs_.texts().isEmpty());
}

struct StoredRun { int waku; double sisuu; int cyaku; };
using Course = RunnerGrid;

// A missing database leaves the values empty. Frame 1: average 55 (the 0 left out), rate 1/3. The race
// day counts; a race on the bound day does not. A busy import leaves the table as it was.
TEST_F(Course, FramesShowAverageIndexAndWinRateForEachGoing)
{
    drawGridCorce(grid, oneYear);
    EXPECT_EQ(std::tuple(msgs_.firstLines(), isDialogSincyokuLoaded(), rowText(grid, 0, 1, 2) + " " + rowText(grid, 2)),
              std::tuple(QStringList {"dataファイルが開けません"}, false, std::string("大井1200|大井1200 1枠||||||||||")));
    msgs_.clear();
    const QString path = dir_.createNarData();
    const struct { int daysAgo, baba; std::vector<StoredRun> runs; const char* zyo = "大井"; int kyori = 1200, siba = 0; } races[] {
        {30, 1, {{1, 50, 1}, {1, 60, 2}, {1, 0, 3}, {2, 70, 4}}}, {100, 3, {{2, 80, 1}, {8, 45, 0}}}, {0, 2, {{3, 65, 1}}},
        {200, 4, {{4, 52.5, 2}, {4, 51, 1}}}, {400, 1, {{1, 99, 1}}}, {4000, 1, {{1, 99, 1}}}, {10, 1, {{1, 99, 1}}, "大井", 1400},
        {10, 1, {{1, 99, 1}}, "川崎"}, {10, 1, {{1, 99, 1}}, "大井", 1200, 1}, {365, 2, {{6, 40, 1}}}, {364, 3, {{7, 30, 2}}}};
    for (const auto& race : races) {
        const QString code = QStringLiteral("R%1").arg(&race - races);
        insertRows(path, "T_Rdata", {"R_code", "R_zyo", "R_date", "R_kyori", "R_siba", "R_baba"},
                   {{code, race.zyo, kRaceDay.addDays(-race.daysAgo), race.kyori, race.siba, race.baba}});
        std::vector<std::vector<DbValue>> rows;
        for (const StoredRun& run : race.runs)
            rows.push_back({code, QString::number(rows.size() + 1), run.waku, run.sisuu, run.cyaku});
        insertRows(path, "T_Useiseki", {"R_code", "U_name", "U_waku", "U_sisuu", "U_cyaku"}, rows);
    }
    QList<int> steps;
    QObject::connect(dialogSincyoku().findChild<QProgressBar*>("prgSincyoku"), &QProgressBar::valueChanged, [&](int v) { steps << v; });
    drawGridCorce(grid, oneYear);

    EXPECT_EQ(std::tuple(steps, isDialogSincyokuLoaded(), msgs_.texts()), std::tuple(QList<int>({1, 2, 3, 4, 5}), false, QStringList()));
    // Frames 1..8: index|rate of all goings, then each going.
    std::string frames;
    for (int f = 1; f <= 8; ++f)
        frames += rowText(grid, f + 1, 1) + "\n";
    EXPECT_EQ(frames, "55|33%|55|33%||0%||0%||0%\n75|50%|70|0%||0%|80|100%||0%\n65|100%||0%|65|100%||0%||0%\n"
                      "52|50%||0%||0%||0%|52|50%\n|0%||0%||0%||0%||0%\n|0%||0%||0%||0%||0%\n"
                      "30|0%||0%||0%|30|0%||0%\n45|0%||0%||0%|45|0%||0%\n");

    // Ten years back: frame 1 gains the run of 400 days ago. A track name with a quote is only a value.
    drawGridCorce(grid, QStringLiteral("全期間対象"));
    EXPECT_EQ(rowText(grid, 2, 1, 4), "70|50%|70|50%");
    pd.raceZyo = QStringLiteral("大井' OR '1'='1");
    drawGridCorce(grid, QStringLiteral("全期間対象"));
    EXPECT_EQ(rowText(grid, 2, 1, 4), "|0%||0%");
    grid.setTextMatrix(2, 1, "kept");
    const ImportGuard running;
    drawGridCorce(grid, oneYear);
    EXPECT_EQ(std::tuple(msgs_.texts(), grid.textMatrix(2, 1), isDialogSincyokuLoaded()),
              std::tuple(QStringList {"他の読込みが実行中です。終了してから開始してください"}, QString("kept"), false));
}

using Corner = RaceTest;

// Nothing to place; a canvas of size 0; positions worked by hand on a 9100 x 5600 twip picture
// (bands 700 twips high, 500 per lane); a run table of fewer than sixteen slots.
TEST_F(Corner, RunnersStandInTheirLanesFromRightToLeft)
{
    CanvasRecorder recorder;
    Canvas canvas {&recorder, 9100, 5600};
    // Every print as "text@x,y" after the one Cls; the record then starts afresh.
    const auto prints = [&] {
        QStringList out;
        for (const CanvasOp& op : recorder.ops())
            out << (op.kind == CanvasOp::Cls ? "cls" : QStringLiteral("%1@%2,%3").arg(op.text).arg(op.x1, 0, 'f', 1).arg(op.y1, 0, 'f', 1));
        recorder.clear();
        return out.join(' ').toStdString();
    };
    drawCornner(canvas);
    EXPECT_EQ(std::pair(prints(), pd.umaIdx), std::pair(std::string("cls"), 17));
    canvas.setSizeTwips(0, 0);
    pd.tuka1Ave(3, 0) = 8;
    drawCornner(canvas);
    EXPECT_EQ(prints(), "cls ③@0.0,-100.0");
    canvas.setSizeTwips(9100, 5600);

    const float averages[] {0.5f, 2, 7, 0, 2.5f, 9, 4.2f, 4.4f, 4.6f, 4.8f, 4.9f, -1, 1, 6, 5.99f, 3.99f, 3, 3};
    for (int h = 1; h <= 18; ++h)
        pd.tuka1Ave(h, 0) = averages[h - 1];
    drawCornner(canvas);
    // One runner: two thirds of the width; two: three quarters and a half; five: 6/7 .. 2/7.
    // Exactly 2 is lane 3, exactly 7 lane 8; 9 falls below lane 8's band and the picture.
    EXPECT_EQ(prints(), "cls ①@6066.7,350.0 ⑬@6066.7,800.0 ②@6825.0,1500.0 ⑤@4550.0,1750.0 ⑯@6066.7,2695.0 "
                        "⑦@7800.0,3000.0 ⑧@6500.0,3100.0 ⑨@5200.0,3200.0 ⑩@3900.0,3300.0 ⑪@2600.0,3350.0 "
                        "⑮@6066.7,4095.0 ⑭@6066.7,4300.0 ③@6825.0,5000.0 ⑥@4550.0,6000.0");
    EXPECT_EQ(pd.umaIdx, 6);

    redimUma(12, pd.kakoMax);
    pd.tuka1Ave(12, 0) = 1.5f;
    drawCornner(canvas);
    EXPECT_EQ(std::pair(msgs_.texts(), prints()), std::pair(QStringList {"Error-mainAnalConer-2"}, std::string("cls ⑫@6066.7,1050.0")));
    EXPECT_EQ(getMaruNo(0) + getMaruNo(1) + getMaruNo(16) + getMaruNo(17), "①⑯");
}

}
