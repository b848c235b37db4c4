// The course table over a small race database in a temporary program folder.
#include "analysis/mainCorce.h"
#include "core/dialogSincyoku.h"
#include "tests/analysis/gridCheck.h"
#include "tests/analysis/raceBuilder.h"
#include "webimport/importGuard.h"

#include <QProgressBar>

namespace {

struct StoredRun { int waku; double sisuu; int cyaku; };

class Course : public RaceTest {
protected:
    FlexGrid grid;
    int races_ = 0;

    void SetUp() override
    {
        RaceTest::SetUp();
        pd.raceKyori = 1200;
    }
    // One race and its runs; the race code only needs to be unique.
    void storeRace(int daysAgo, int baba, const std::vector<StoredRun>& runs, const char* zyo = "大井", int kyori = 1200,
                   int siba = 0)
    {
        const QString code = QStringLiteral("R%1").arg(++races_), path = dir_.filePath("NAR_data.dat");
        insertRows(path, "T_Rdata", {"R_code", "R_zyo", "R_date", "R_kyori", "R_siba", "R_baba"},
                   {{code, zyo, kRaceDay.addDays(-daysAgo), kyori, siba, baba}});
        std::vector<std::vector<DbValue>> rows;
        for (const StoredRun& run : runs)
            rows.push_back({code, QString::number(rows.size() + 1), run.waku, run.sisuu, run.cyaku});
        insertRows(path, "T_Useiseki", {"R_code", "U_name", "U_waku", "U_sisuu", "U_cyaku"}, rows);
    }
};

// Indices 50, 60 and 0 with finishes 1, 2, 3 in frame 1: average 55 (the 0 left out), rate 1/3.
// The race day's own result counts; other distances, tracks, surfaces and runs outside the
// period do not; a race on the bound day is outside, one a day later inside.
TEST_F(Course, FramesShowAverageIndexAndWinRateForEachGoing)
{
    dir_.createNarData();
    storeRace(30, 1, {{1, 50, 1}, {1, 60, 2}, {1, 0, 3}, {2, 70, 4}});
    storeRace(100, 3, {{2, 80, 1}, {8, 45, 0}});
    storeRace(0, 2, {{3, 65, 1}});
    storeRace(200, 4, {{4, 52.5, 2}, {4, 51, 1}});
    storeRace(400, 1, {{1, 99, 1}});
    storeRace(4000, 1, {{1, 99, 1}});
    storeRace(10, 1, {{1, 99, 1}}, "大井", 1400);
    storeRace(10, 1, {{1, 99, 1}}, "川崎");
    storeRace(10, 1, {{1, 99, 1}}, "大井", 1200, 1);
    storeRace(365, 2, {{6, 40, 1}});
    storeRace(364, 3, {{7, 30, 2}});
    QList<int> steps;
    QObject::connect(dialogSincyoku().findChild<QProgressBar*>("prgSincyoku"), &QProgressBar::valueChanged,
                     [&](int v) { steps << v; });
    drawGridCorce(grid, QStringLiteral("1年以内対象"));

    EXPECT_EQ(steps, QList<int>({1, 2, 3, 4, 5}));
    EXPECT_FALSE(isDialogSincyokuLoaded());
    EXPECT_TRUE(msgs_.texts().isEmpty()) << msgs_.texts().join(", ").toStdString();
    // Frames 1..8: index|rate of all goings, then 良, 稍, 重 and 不.
    std::string frames;
    for (int f = 1; f <= 8; ++f)
        frames += rowText(grid, f + 1, 1) + "\n";
    EXPECT_EQ(frames, "55|33%|55|33%||0%||0%||0%\n"
                      "75|50%|70|0%||0%|80|100%||0%\n"
                      "65|100%||0%|65|100%||0%||0%\n"
                      "52|50%||0%||0%||0%|52|50%\n"
                      "|0%||0%||0%||0%||0%\n"
                      "|0%||0%||0%||0%||0%\n"
                      "30|0%||0%||0%|30|0%||0%\n"
                      "45|0%||0%||0%|45|0%||0%\n");
    saveGridPicture(grid, "gridCorce");

    // Ten years back: frame 1 gains the run of 400 days ago. A track name with a quote is only a value.
    drawGridCorce(grid, QStringLiteral("全期間対象"));
    EXPECT_EQ(rowText(grid, 2, 1, 4), "70|50%|70|50%");
    pd.raceZyo = QStringLiteral("大井' OR '1'='1");
    drawGridCorce(grid, QStringLiteral("全期間対象"));
    EXPECT_EQ(rowText(grid, 2, 1, 4), "|0%||0%");
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

// A database that is missing or locked says so once and leaves the values empty; while a page
// import holds the slots the table is left as it was.
TEST_F(Course, UnreadableDatabaseOrBusyImportLeavesValuesEmpty)
{
    drawGridCorce(grid, QStringLiteral("1年以内対象"));
    EXPECT_EQ(msgs_.firstLines(), QStringList {"dataファイルが開けません"});
    EXPECT_FALSE(isDialogSincyokuLoaded());
    EXPECT_EQ(rowText(grid, 0, 1, 2) + " " + rowText(grid, 2), "大井1200|大井1200 1枠||||||||||");

    createDbFile(dir_.filePath("NAR_data.dat"), "other", "CREATE TABLE T_Rdata (R_code TEXT);");
    msgs_.clear();
    drawGridCorce(grid, QStringLiteral("1年以内対象"));
    EXPECT_EQ(msgs_.firstLines(), QStringList {"dataファイルが開けません"}) << "wrong password";

    grid.setTextMatrix(2, 1, "kept");
    msgs_.clear();
    const ImportGuard running;
    drawGridCorce(grid, QStringLiteral("1年以内対象"));
    EXPECT_EQ(msgs_.texts(), QStringList {"他の読込みが実行中です。終了してから開始してください"});
    EXPECT_EQ(grid.textMatrix(2, 1), "kept");
    EXPECT_FALSE(isDialogSincyokuLoaded());
}

}
