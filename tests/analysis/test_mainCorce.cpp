// The course table over a small race database in a temporary program folder.
#include "analysis/mainCorce.h"
#include "core/dialogSincyoku.h"
#include "tests/analysis/gridCheck.h"
#include "tests/analysis/raceBuilder.h"
#include "webimport/importGuard.h"

#include <QProgressBar>

namespace {

struct StoredRun {
    int waku;
    double sisuu;
    int cyaku;
};

class Course : public RaceTest {
protected:
    FlexGrid grid;

    void SetUp() override
    {
        RaceTest::SetUp();
        pd.raceKyori = 1200;
    }
    // One race and its runs; the race code only needs to be unique.
    void storeRace(int daysAgo, int baba, const std::vector<StoredRun>& runs, const char* zyo = "大井", int kyori = 1200,
                   int siba = 0)
    {
        const QString code = QStringLiteral("R%1").arg(++races_);
        openDbOrThrow(1, dir_.filePath("NAR_data.dat"), dbPassword);
        insertRow(1, "T_Rdata", DbRow().set("R_code", code).set("R_zyo", zyo).set("R_date", kRaceDay.addDays(-daysAgo))
                                    .set("R_kyori", kyori).set("R_siba", siba).set("R_baba", baba));
        int n = 0;
        for (const StoredRun& run : runs)
            insertRow(1, "T_Useiseki", DbRow().set("R_code", code).set("U_name", QString::number(++n)).set("U_waku", run.waku)
                                           .set("U_sisuu", run.sisuu).set("U_cyaku", run.cyaku));
        closeDb(1);
    }
    // Frames 1..8 as "index|rate" of all goings, then 良, 稍, 重 and 不, one frame per line.
    std::string frames() const
    {
        std::string out;
        for (int f = 1; f <= 8; ++f)
            out += rowText(grid, f + 1, 1) + "\n";
        return out;
    }
    int races_ = 0;
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
    QProgressBar* bar = dialogSincyoku().findChild<QProgressBar*>("prgSincyoku");
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) { steps << v; });
    drawGridCorce(grid, QStringLiteral("1年以内対象"));

    EXPECT_EQ(steps, QList<int>({1, 2, 3, 4, 5}));
    EXPECT_FALSE(isDialogSincyokuLoaded());
    EXPECT_TRUE(msgs_.texts().isEmpty()) << msgs_.texts().join(", ").toStdString();
    EXPECT_EQ(frames(), "55|33%|55|33%||0%||0%||0%\n"
                        "75|50%|70|0%||0%|80|100%||0%\n"
                        "65|100%||0%|65|100%||0%||0%\n"
                        "52|50%||0%||0%||0%|52|50%\n"
                        "|0%||0%||0%||0%||0%\n"
                        "|0%||0%||0%||0%||0%\n"
                        "30|0%||0%||0%|30|0%||0%\n"
                        "45|0%||0%||0%|45|0%||0%\n");
    EXPECT_EQ(rowText(grid, 2, 0, 0) + rowText(grid, 9, 0, 0), "1枠8枠");
    saveGridPicture(grid, "gridCorce");

    // Ten years back: frame 1 gains the run of 400 days ago; a typed text counts every stored run.
    drawGridCorce(grid, QStringLiteral("全期間対象"));
    EXPECT_EQ(rowText(grid, 2, 1, 4), "70|50%|70|50%");
    drawGridCorce(grid, QStringLiteral("3年"));
    EXPECT_EQ(rowText(grid, 2, 1, 4), "77|60%|77|60%");
    // A track name with a quote is only a value.
    pd.raceZyo = QStringLiteral("大井' OR '1'='1");
    drawGridCorce(grid, QStringLiteral("全期間対象"));
    EXPECT_EQ(rowText(grid, 2, 1, 4), "|0%||0%");
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

// A database that cannot be read says so once and leaves the values empty; while a page import
// holds the slots the table is left as it was.
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
