// The aptitude grids by index and by rates, the best-times grid and the head-to-head table: the
// conditions, the run test and the period, read back cell by cell; and every filler's error path.
#include "analysis/gridLayout.h"
#include "analysis/mainMochiTime.h"
#include "analysis/mainSpSisuu.h"
#include "analysis/mainSyuxtubaHyo.h"
#include "analysis/mainTaisen.h"
#include "analysis/mainTekiseiRentai.h"
#include "analysis/mainTekiseiSisuu.h"
#include "analysis/mainYosou.h"
#include "tests/analysis/gridCheck.h"
#include "tests/analysis/raceBuilder.h"

#include <functional>

namespace {

const QString oneYear = QStringLiteral("1年以内対象");

class Aptitude : public RaceTest {
protected:
    FlexGrid grid;

    void SetUp() override
    {
        RaceTest::SetUp();
        pd.raceKyori = 1200;
    }
    // Runner h's row, columns of groups first..last.
    std::string groups(int h, int first, int last) const { return rowText(grid, h + 1, 3 * first + 3, 3 * last + 5); }
};

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
               {.daysAgo = 70, .sisuu = 99, .kyori = 1200, .siba = 1, .cyaku = 1},
               {.daysAgo = 80, .sisuu = 0, .kyori = 1200, .cyaku = 1},
               {.daysAgo = 90, .sisuu = -3, .kyori = 1200, .cyaku = 1}});
    addRunner(2, {.waku = 2}, {{.sisuu = 0, .kyori = 1200}, {.daysAgo = 400, .sisuu = 70, .kyori = 1200}});
    pd.yosouSisuu(1) = 84.4f;
    pd.kisoSisuu(1, 0) = 91.7f;
    drawGridTekiseiSisuu(grid, oneYear);

    EXPECT_EQ(rowText(grid, 2, 0, 5), "2|1||馬1|84|92");
    // Track and distance, within 100 m, track, distance, within 100 m, every course; goings;
    // draw groups; styles.
    EXPECT_EQ(groups(1, 1, 17), "80|80|1|75|80|2|70|80|3|90|100|2|85|100|4|75|100|6|77|100|3|70|70|1|60|60|1|90|90|1|"
                                "77|100|3|70|70|1|75|90|2|80|80|1|70|70|1|90|90|1|50|50|1");
    EXPECT_EQ(rowText(grid, 3, 4), times(53, "")) << "no run in the period with an index above 0";
    saveGridPicture(grid, "gridTekiseiSisuu");
}

// Finishes 1, 3, 5 and 0 on the track: 25 % wins, 50 % in the first three ("連対" counts places
// 1 to 3), 4 runs; runs with an index of 0 or below count nowhere, even as wins.
TEST_F(Aptitude, RateGridShowsWinsAndPlacesOfEachCondition)
{
    addRunner(1, {.waku = 3}, {{.sisuu = 50, .cyaku = 1}, {.sisuu = 50, .cyaku = 3}, {.sisuu = 50, .cyaku = 5},
                               {.sisuu = 50, .cyaku = 0}, {.sisuu = 0, .cyaku = 1}, {.sisuu = 50, .zyo = "川崎", .cyaku = 4}});
    drawGridTekiseiRentai(grid, oneYear);
    EXPECT_EQ(groups(1, 1, 3) + " " + groups(1, 6, 6), "||||||25%|50%|4 20%|40%|5") << "today 1200 m, the runs 1600 m";
    saveGridPicture(grid, "gridTekiseiRentai");
}

// Runs on each bound day and a day later (and a day before ten years, and older): only those
// strictly after the bound count, on every page that uses the period; a typed text counts every
// dated run, also in the head-to-head table right after a fill with a shorter period. Runner 1
// met runner 2 in each race and beat it; older runs were faster.
TEST_F(Aptitude, EveryPeriodPageCountsRunsStrictlyAfterItsBound)
{
    createTrackFile();
    std::vector<PastRun> ahead;
    for (int i = 0; i < 9; ++i)
        ahead.push_back({.daysAgo = std::array{183, 182, 365, 364, 730, 729, 3650, 3649, 5000}[size_t(i)], .sisuu = 50,
                         .kyori = 1200, .time = 75.0f - float(i), .cyaku = 1, .raceNo = 11});
    std::vector<PastRun> behind = ahead;
    for (PastRun& run : behind)
        run.cyaku = 2;
    addRunner(1, {}, ahead);
    addRunner(2, {}, behind);
    for (const auto& [kikan, met, best] : std::vector<std::tuple<QString, int, QString>>{
             {"6ヶ月以内対象", 1, "1:14:0"}, {"3年", 9, "1:07:0"}, {"1年以内対象", 3, "1:12:0"},
             {"2年以内対象", 5, "1:10:0"}, {"全期間対象", 7, "1:08:0"}, {"全期間対象 ", 9, "1:07:0"}}) {
        drawGridTekiseiSisuu(grid, kikan);
        QStringList counted{grid.textMatrix(2, tekiseiGroupCol(6) + 2)};
        drawGridMochiTime(grid, kikan);
        counted << grid.textMatrix(2, mochiTimeCol(2, 3));
        calcTaisenMatrix(kikan);
        for (float n : {pd.taisenMatrix(1, 2, 0), pd.taisenMatrix(1, 0, 0), pd.taisenMatrix(2, 1, 1)})
            counted << QString::number(n);
        EXPECT_EQ(counted, QStringList({QString::number(met), best}) + QStringList(3, QString::number(met))) << kikan.toStdString();
    }
    EXPECT_TRUE(msgs_.texts().isEmpty()) << msgs_.texts().join(", ").toStdString();
}

class BestTimes : public Aptitude {
protected:
    // Standard times of 大井 dirt at 1000, 1200, 1500 (two classes), 1600 and 1800 m, and rows that
    // must never reach the ladder: another class, turf, another track. Today 1400 m.
    void SetUp() override
    {
        Aptitude::SetUp();
        pd.raceKyori = 1400;
        std::vector<std::vector<DbValue>> rows;
        for (int kyori : {1000, 1200, 1600, 1800, 1500})
            rows.push_back({"大井", kyori, "ave", 1, 0});
        rows.insert(rows.end(), {{"大井", 1500, "ave", 2, 0}, {"大井", 1300, "A1", 1, 0}, {"大井", 1300, "ave", 1, 1},
                                 {"川崎", 1350, "ave", 1, 0}});
        insertRows(createTrackFile(), "T_avetime", {"A_zyo", "A_kyori", "A_class", "A_sin_kyu", "A_siba"}, rows);
    }
};

TEST_F(BestTimes, LadderTakesTwoDistinctDistancesOnEachSide)
{
    const struct { const char* zyo; int kyori; MochiKyori ladder; } cases[] {
        {"大井", 1400, {0, 1000, 1200, 1400, 1500, 1600}}, {"大井", 1100, {0, 0, 1000, 1100, 1200, 1500}},
        {"大井", 1800, {0, 1500, 1600, 1800, 0, 0}}, {"大井", 0, {0, 0, 0, 0, 1000, 1200}},
        {"船橋", 1400, {0, 0, 0, 1400, 0, 0}}, {"大井'", 1400, {0, 0, 0, 1400, 0, 0}},
    };
    for (const auto& c : cases) {
        pd.raceZyo = QString::fromUtf8(c.zyo);
        pd.raceKyori = c.kyori;
        EXPECT_EQ(readMochiKyori(), c.ladder) << c.zyo << c.kyori;
    }
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

// The ladder 1000, 1200, 1400, 1500, 1600. Turf runs, runs outside the period and runs without
// an index are never a best time; going 4 is "不"; frame 0 is inner.
TEST_F(BestTimes, GridShowsBestTimeOfEachLadderDistanceUnderEachCondition)
{
    addRunner(1, {.waku = 3},
              {{.sisuu = 60, .kyori = 1400, .baba = 1, .waku = 0, .style = "逃", .time = 88.5f},
               {.sisuu = 55, .kyori = 1400, .baba = 4, .waku = 5, .style = "先", .time = 87.9f},
               {.sisuu = 50, .zyo = "川崎", .kyori = 1000, .baba = 1, .waku = 8, .time = 61.2f},
               {.sisuu = 70, .kyori = 1500, .siba = 1, .time = 50},
               {.daysAgo = 400, .sisuu = 70, .kyori = 1600, .time = 50},
               {.sisuu = 0, .kyori = 1200, .time = 50},
               {.sisuu = 40, .kyori = 1200, .baba = 2, .waku = 2, .style = "差", .time = 74.3f}});
    drawGridMochiTime(grid, oneYear);
    EXPECT_EQ(rowText(grid, 2, mochiTimeCol(1, 1)),
              "|1:14:3|1:27:9|||1:01:2|1:14:3|1:27:9|||1:01:2||1:28"
              ":5||||1:14:3|||||||||||1:27:9||||1:14:3|1:28:5|||||1"
              ":27:9|||1:01:2|||||||1:28:5|||||1:27:9||||1:14:3||||||||||||");
    saveGridPicture(grid, "gridMochiTime");

    // One shorter distance: the first column of every group is written in no row, "対象" of the
    // set-up stays in row 1.
    pd.raceKyori = 1100;
    drawGridMochiTime(grid, oneYear);
    EXPECT_EQ(rowText(grid, 0, 6, 11) + " / " + rowText(grid, 1, 6, 11), "|大井|大井|大井|大井| / 対象|1000|1100|1200|1500|");
}

// A new race whose track file cannot be read (missing, or without the table) is not shown with
// the previous race's ladder: one message, and today's distance alone. Later fills say nothing.
TEST_F(BestTimes, UnreadableTrackFileGivesOneMessageAndTodaysDistanceAlone)
{
    addRunner(1, {}, {{.sisuu = 60, .kyori = 1400, .time = 88.5f}});
    drawGridMochiTime(grid, oneYear);
    ASSERT_EQ(rowText(grid, 1, 6, 10), "1000|1200|1400|1500|1600");
    for (const bool noTable : {false, true}) {
        QFile::remove(dir_.filePath("Strevin_data.dat"));
        if (noTable) {
            openDbOrThrow(1, dir_.createStrevinData(), dbPassword);
            slotConnection(1).execute("DROP TABLE T_avetime");
            closeDb(1);
        }
        beginRaceAnalysis();
        msgs_.clear();
        drawGridMochiTime(grid, oneYear);
        drawGridMochiTime(grid, oneYear);
        EXPECT_EQ(msgs_.firstLines(), QStringList {"dataファイルが開けません"}) << noTable;
        EXPECT_EQ(rowText(grid, 1, 6, 15) + " / " + rowText(grid, 2, 6, 10), "対象||1400|||||1400|| / ||1:28:5||") << noTable;
    }
}

class HeadToHead : public RaceTest {
protected:
    FlexGrid grid;

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
    void SetUp() override
    {
        RaceTest::SetUp();
        // Runner 1 beats 2 in one race and is beaten in another, shares second place with 3, meets
        // 4 when 4 has no finish, has no finish itself against 2, meets 2 on the race day, misses 2
        // and 3 by track and race number, and beats slot 5, which holds a runner above tousuu.
        meetings(1, "ミスターシービー", {{30, 11, "大井", 1}, {60, 5, "川崎", 4}, {90, 3, "大井", 2}, {120, 7, "大井", 1},
                                        {150, 8, "大井", 0}, {0, 1, "大井", 1}, {180, 9, "大井", 1}, {200, 2, "大井", 3}});
        meetings(2, "O'Neil", {{30, 11, "大井", 3}, {60, 5, "川崎", 2}, {150, 8, "大井", 1}, {0, 1, "大井", 2},
                               {180, 9, "船橋", 2}, {210, 4, "大井", 1}});
        meetings(3, "ﾊﾙｳﾗﾗﾃﾞｽ", {{90, 3, "大井", 2}, {180, 10, "大井", 3}, {210, 4, "大井", 2}});
        meetings(4, "馬4", {{120, 7, "大井", 0}});
        meetings(5, "馬5", {{200, 2, "大井", 5}});
        pd.tousuu = 4;
        pd.sirusi(1) = "◎";
        pd.sirusi(2) = "○";
    }
};

TEST_F(HeadToHead, CountsMeetingsWithDeadHeatsAsLossesForBothAndShowsTheTotals)
{
    const auto row = [](int h) {
        QStringList cells;
        for (int j = 0; j <= 5; ++j)
            cells << QStringLiteral("%1-%2").arg(pd.taisenMatrix(h, j, 0)).arg(pd.taisenMatrix(h, j, 1));
        return cells.join(' ').toStdString();
    };
    calcTaisenMatrix(QStringLiteral("全期間対象"));
    EXPECT_EQ(row(1) + " / " + row(2) + " / " + row(3), "2-2 0-0 1-1 0-1 0-0 1-0 / 2-1 1-1 0-0 1-0 0-0 0-0 / 0-2 0-1 0-1 0-0 0-0 0-0");
    EXPECT_EQ(row(4) + " / " + row(5), "0-0 0-0 0-0 0-0 0-0 0-0 / 0-0 0-0 0-0 0-0 0-0 0-0") << "slot 5 is above tousuu";
    EXPECT_EQ(pd.umaIdx, 5);
    // Half a year: the meetings 200 and 210 days ago drop out.
    calcTaisenMatrix(QStringLiteral("6ヶ月以内対象"));
    EXPECT_EQ(row(1) + " / " + row(2), "1-2 0-0 1-1 0-1 0-0 0-0 / 1-1 1-1 0-0 0-0 0-0 0-0");

    drawGridTaisen(grid, QStringLiteral("全期間対象"));
    EXPECT_EQ(rowText(grid, 0), "|||馬名|基本指数|基本指数|合計|合計|合計|1◎ミスターシー|1◎ミスターシー|1◎ミスターシー|"
                                "2○O'Neil|2○O'Neil|2○O'Neil|3ﾊﾙｳﾗﾗﾃ|3ﾊﾙｳﾗﾗﾃ|3ﾊﾙｳﾗﾗﾃ|4馬4|4馬4|4馬4|");
    EXPECT_EQ(rowText(grid, 2), "1|1|◎|ミスターシービー|||2|2|50%||||1|1|50%||1|0%||||");
    EXPECT_EQ(rowText(grid, 3, taisenGroupCol(0)), "2|1|67%|1|1|50%||||1||100%||||");
    EXPECT_EQ(rowText(grid, 4, taisenGroupCol(0)), "|2|0%||1|0%||1|0%|||||||");
    EXPECT_EQ(rowText(grid, 5, taisenGroupCol(0)), times(16, ""));
    EXPECT_EQ(pd.umaIdx, 5);
    saveGridPicture(grid, "gridTaisen");
}

// Every filler on a field larger than the run table: its own message, the rows written so far
// kept, and the grid painting again.
class GridFault : public RaceTest {};

TEST_F(GridFault, ErrorMidFillShowsTheTagAndLeavesTheGridPainting)
{
    createTrackFile();
    for (int h = 1; h <= 18; ++h)
        addRunner(h, {.waku = std::min((h + 1) / 2, 8)}, {{.sisuu = 50, .cyaku = 1, .raceNo = 1}});
    pd.tousuu = 19;
    const QString kikan = QStringLiteral("1年以内対象");
    // The tag, the filler, the last runner row written, the messages and the runner reached.
    const struct { const char* tag; std::function<void(FlexGrid&)> fill; int lastRow; QStringList messages; int umaIdx; } cases[] {
        {"Yosou", [](FlexGrid& g) { drawGridYosou(g); }, 19, {"Error-mainTekiseiYsou-1"}, 19},
        {"TekiseiSisuu", [&](FlexGrid& g) { drawGridTekiseiSisuu(g, kikan); }, 19, {"Error-mainTekiseiSisuu-1"}, 19},
        {"TekiseiRentai", [&](FlexGrid& g) { drawGridTekiseiRentai(g, kikan); }, 19, {"Error-mainTekiseiRentai-1"}, 19},
        {"MochiTime", [&](FlexGrid& g) { drawGridMochiTime(g, kikan); }, 19, {"Error-mainMochiTime-1"}, 19},
        {"SyuxtusouHyou", [](FlexGrid& g) { drawGridSyuxtusouHyou(g); }, 18, {"Error-mainSyustusouHyou-1"}, 19},
        {"SpSisuu", [](FlexGrid& g) { drawGridSpSisuu(g); }, 18, {"Error-mainSpSisuu-1"}, 19},
        // The matrix fails at runner 19; the grid then at runner 1's label of opponent 19.
        {"Taisen", [&](FlexGrid& g) { drawGridTaisen(g, kikan); }, 2, {"Error-mainTaisen-3", "Error-mainTaisen-1"}, 1},
    };
    for (const auto& c : cases) {
        FlexGrid grid;
        msgs_.clear();
        c.fill(grid);
        EXPECT_EQ(msgs_.texts(), c.messages) << c.tag;
        EXPECT_TRUE(grid.updatesEnabled()) << c.tag;
        EXPECT_EQ(grid.textMatrix(c.lastRow, 3), c.lastRow == 2 ? "馬1" : "馬18") << c.tag;
        EXPECT_EQ(pd.umaIdx, c.umaIdx) << c.tag;
    }
}

// In debug mode nothing is trapped: the error passes through, and the grid paints all the same.
TEST_F(GridFault, DebugModePassesTheErrorOnWithRedrawOn)
{
    addRunner(1);
    pd.tousuu = 19;
    debugMode = true;
    FlexGrid grid;
    EXPECT_THROW(drawGridSpSisuu(grid), VbError);
    debugMode = false;
    EXPECT_TRUE(grid.updatesEnabled());
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

}
