// The head-to-head table: meetings in the run table, wins, losses and dead heats, and the grid.
#include "analysis/gridLayout.h"
#include "analysis/mainTaisen.h"
#include "tests/analysis/gridCheck.h"
#include "tests/analysis/raceBuilder.h"

namespace {

class HeadToHead : public RaceTest {
protected:
    FlexGrid grid;

    // Runner h's past runs, each (days ago, race number, track, finish).
    static void meetings(int h, const char* name, int waku, const std::vector<std::tuple<int, int, const char*, int>>& runs)
    {
        std::vector<PastRun> past;
        for (const auto& [daysAgo, raceNo, zyo, cyaku] : runs)
            past.push_back({.daysAgo = daysAgo, .zyo = QString::fromUtf8(zyo), .cyaku = cyaku, .raceNo = raceNo});
        addRunner(h, {.waku = waku}, past);
        pd.uName(h) = QString::fromUtf8(name);
    }
    void SetUp() override
    {
        RaceTest::SetUp();
        // Runner 1 beats 2 in one race and is beaten in another, shares second place with 3, meets
        // 4 when 4 has no finish, has no finish itself against 2, meets 2 on the race day, misses 2
        // and 3 by track and race number, and beats slot 5, which holds a runner above tousuu.
        meetings(1, "ミスターシービー", 1, {{30, 11, "大井", 1}, {60, 5, "川崎", 4}, {90, 3, "大井", 2}, {120, 7, "大井", 1},
                                         {150, 8, "大井", 0}, {0, 1, "大井", 1}, {180, 9, "大井", 1}, {200, 2, "大井", 3}});
        meetings(2, "O'Neil", 2, {{30, 11, "大井", 3}, {60, 5, "川崎", 2}, {150, 8, "大井", 1}, {0, 1, "大井", 2},
                                  {180, 9, "船橋", 2}, {210, 4, "大井", 1}});
        meetings(3, "ﾊﾙｳﾗﾗﾃﾞｽ", 3, {{90, 3, "大井", 2}, {180, 10, "大井", 3}, {210, 4, "大井", 2}});
        meetings(4, "馬4", 4, {{120, 7, "大井", 0}});
        meetings(5, "馬5", 5, {{200, 2, "大井", 5}});
        pd.tousuu = 4;
        pd.sirusi(1) = "◎";
        pd.sirusi(2) = "○";
    }
};

TEST_F(HeadToHead, CountsMeetingsWithDeadHeatsAsLossesForBoth)
{
    const auto row = [](int h) {
        QStringList cells;
        for (int j = 0; j <= 5; ++j)
            cells << QStringLiteral("%1-%2").arg(pd.taisenMatrix(h, j, 0)).arg(pd.taisenMatrix(h, j, 1));
        return cells.join(' ').toStdString();
    };
    calcTaisenMatrix(QStringLiteral("全期間対象"));
    EXPECT_EQ(row(1), "2-2 0-0 1-1 0-1 0-0 1-0");
    EXPECT_EQ(row(2), "2-1 1-1 0-0 1-0 0-0 0-0");
    EXPECT_EQ(row(3), "0-2 0-1 0-1 0-0 0-0 0-0");
    EXPECT_EQ(row(4), "0-0 0-0 0-0 0-0 0-0 0-0");
    EXPECT_EQ(row(5), "0-0 0-0 0-0 0-0 0-0 0-0") << "slots above tousuu are not computed";
    EXPECT_EQ(pd.umaIdx, 5);
    // Half a year: the meetings 200 and 210 days ago drop out.
    calcTaisenMatrix(QStringLiteral("6ヶ月以内対象"));
    EXPECT_EQ(row(1) + " / " + row(2), "1-2 0-0 1-1 0-1 0-0 0-0 / 1-1 1-1 0-0 0-0 0-0 0-0");
}

TEST_F(HeadToHead, GridShowsEachPairAndTheTotals)
{
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

}
