// The main window's grid clicks: the race cards' column rules, the runner sorts, the best-times
// sort through seconds, the chart's runner list, and the window's own wiring.
#include "mainwindow/frmMain.h"
#include "mainwindow/mainGridClick.h"
#include "charts/graphDrawGraph.h"
#include "tests/sheets/sheetWindows.h"
#include "webimport/importGuard.h"

namespace {
// Two runners on screen, each with two past runs in the run table.
void twoRunners()
{
    pd.tousuu = 2;
    for (int h = 1; h <= 2; ++h) {
        pd.uName(h) = QString("馬%1").arg(h);
        pd.uChichi(h) = QString("父%1").arg(h);
        for (int k = 1; k <= 2; ++k) {
            pd.uZyo(h, k) = k == 2 && h == 2 ? "Ｊ中山" : "浦和";
            pd.uDate(h, k) = VbDate::fromYmd(2008, 2, 10 + k);
            pd.uRaceNo(h, k) = h + k;
        }
    }
}

FlexGrid* raceCard()
{
    auto* g = new FlexGrid;
    g->setRows(3);
    g->setCols(16);
    for (int h = 1; h <= 2; ++h) {
        g->setTextMatrix(h, 6, QString("騎手%1").arg(h));
        g->setTextMatrix(h, 8, QString("厩舎%1").arg(h));
    }
    return g;
}
}  // namespace

TEST_F(SheetWindowTest, RaceCardClicksOpenTheSheetOfTheCell)
{
    twoRunners();
    std::unique_ptr<FlexGrid> g(raceCard());
    struct Case {
        RaceCard card;
        int row, col;
        std::optional<SheetKind> opens;
        QString key;
        int umaIdx;
    };
    const std::vector<Case> cases {
        {RaceCard::ByFinish, 2, 3, SheetKind::Uma, "馬2", 2},
        {RaceCard::BySisuu, 1, 4, SheetKind::Syuboba, "父1", 1},
        {RaceCard::ByFinish, 2, 6, SheetKind::Kisyu, "騎手2", 7},
        {RaceCard::BySisuu, 1, 8, SheetKind::Cyoukyou, "厩舎1", 7},
        {RaceCard::ByFinish, 1, 9, SheetKind::Kextuka, "浦和08021102", 1},
        {RaceCard::ByFinish, 2, 10, SheetKind::Kextuka, "Ｊ中山08021204", 2},
        {RaceCard::BySisuu, 2, 11, SheetKind::Kextuka, "浦和08021103", 2},
        {RaceCard::BySisuu, 1, 12, SheetKind::Kextuka, "浦和08021203", 1},
        {RaceCard::BySisuu, 1, 15, SheetKind::Kextuka, "00", 1},  // an empty run slot matches no race
        {RaceCard::ByFinish, 1, 5, std::nullopt, "", 7},
        {RaceCard::ByFinish, 3, 3, std::nullopt, "", 7},   // below the last runner
    };
    for (const Case& c : cases) {
        closeAllSheets();
        pd.umaIdx = 7;
        pd.sheetKey = "前";
        g->setRowCol(c.row, c.col);
        raceCardClick(*g, c.card);
        EXPECT_EQ(pd.umaIdx, c.umaIdx) << c.row << "," << c.col;
        EXPECT_EQ(pd.sheetKey, c.opens ? c.key : "前") << c.row << "," << c.col;
        if (c.opens)
            EXPECT_NE(sheetOf(*c.opens), nullptr) << c.key.toStdString();
    }
    // While an import runs, an open sheet stays as it is.
    ASSERT_TRUE(openSheet(SheetKind::Uma, "馬1"));
    {
        ImportGuard import;
        g->setRowCol(2, 3);
        raceCardClick(*g, RaceCard::ByFinish);
    }
    ASSERT_NE(sheetOf(SheetKind::Uma), nullptr);
    EXPECT_EQ(sheetOf(SheetKind::Uma)->windowTitle(), "馬毎シート 馬1");
    EXPECT_EQ(messages.texts(), QStringList({"他の読込みが実行中です。終了してから開始してください"}));
    // A horse or sire click without a runner row still closes the open sheet.
    g->setRowCol(0, 3);
    raceCardClick(*g, RaceCard::ByFinish);
    EXPECT_EQ(sheetOf(SheetKind::Uma), nullptr);
}

TEST(MainGridClick, AnalysisGridsSortRunnersDescendingBelowTheirSubHeader)
{
    FlexGrid g;
    g.setRows(6);
    g.setCols(6);
    const QStringList names {"", "", "A", "B", "C", "D"}, values {"", "対象", "52", "", "61", "-3"};
    for (int r = 0; r < 6; ++r) {
        g.setTextMatrix(r, 3, names[r]);
        g.setTextMatrix(r, 5, values[r]);
    }
    g.setRowCol(2, 3);
    sortRunnersClick(g);
    EXPECT_EQ(rowTextsOfColumn(&g, 3), names);
    g.setRowCol(0, 5);
    sortRunnersClick(g);
    EXPECT_EQ(rowTextsOfColumn(&g, 3), QStringList({"", "", "C", "A", "D", "B"}));
    EXPECT_EQ(g.textMatrix(1, 5), "対象");
}

TEST(MainGridClick, BestTimesSortByIncreasingTimeWithUntimedRunnersLast)
{
    pd.tousuu = 4;
    FlexGrid g;
    g.setRows(6);
    g.setCols(8);
    const QStringList names {"", "", "A", "B", "C", "D"}, times {"", "1400", "1:29:3", "", "58:7", "1:28:0"};
    for (int r = 0; r < 6; ++r) {
        g.setTextMatrix(r, 3, names[r]);
        g.setTextMatrix(r, 6, times[r]);
        g.setTextMatrix(r, 4, QString::number(r));
    }
    g.setRowCol(3, 6);
    mochiTimeClick(g);
    EXPECT_EQ(rowTextsOfColumn(&g, 3), QStringList({"", "", "C", "D", "A", "B"}));
    EXPECT_EQ(rowTextsOfColumn(&g, 6), QStringList({"", "1400", "58:7", "1:28:0", "1:29:3", ""}));
    g.setRowCol(1, 4);
    mochiTimeClick(g);
    EXPECT_EQ(rowTextsOfColumn(&g, 4), QStringList({"0", "1", "5", "4", "3", "2"}));
    g.setTextMatrix(2, 6, "abc");
    const QStringList before = rowTextsOfColumn(&g, 6);
    g.setRowCol(1, 6);
    EXPECT_THROW(mochiTimeClick(g), VbError);
    EXPECT_EQ(rowTextsOfColumn(&g, 6), before);  // nothing was converted
}

TEST(MainGridClick, RunnerListPicksTheClickedRunnerOnly)
{
    pd.tousuu = 3;
    FlexGrid g;
    g.setRows(5);
    g.setCols(4);
    bindGraphSurfaces({nullptr, nullptr, &g, nullptr, nullptr});
    int drawn = 0;
    for (const auto& [row, runner] : std::vector<std::pair<int, int>> {{3, 2}, {1, 2}, {5, 2}, {4, 3}}) {
        pd.umaIdx = 2;
        pd.graphShiftDays = 365;
        g.setRowCol(row, 3);
        const int before = drawn;
        runnerListClick(g, [&] {
            EXPECT_EQ(pd.umaIdx, runner);
            EXPECT_EQ(pd.graphShiftDays, 0);
            ++drawn;
        });
        EXPECT_EQ(drawn - before, row >= 2 && row <= 4 ? 1 : 0) << row;
        EXPECT_EQ(pd.umaIdx, runner);
    }
    for (int r = 0; r < 5; ++r)
        EXPECT_EQ(g.cellFontUnderline(r, 3), r != 4) << r;
    bindGraphSurfaces({});
}

TEST_F(SheetWindowTest, TheMainWindowsRaceCardOpensSheetsUnlessBusy)
{
    dir.createStrevinData();
    FrmMain form;
    twoRunners();
    auto* card = childNamed<FlexGrid>(&form, "gridSyuxtusouHyou");
    card->setRows(3);
    card->setCols(10);
    card->clickCell(1, 3);
    ASSERT_NE(sheetOf(SheetKind::Uma), nullptr);
    EXPECT_EQ(sheetOf(SheetKind::Uma)->windowTitle(), "馬毎シート 馬1");
    {
        FrmMain::BusyGuard busy(form);
        card->clickCell(2, 3);
    }
    EXPECT_EQ(sheetOf(SheetKind::Uma)->windowTitle(), "馬毎シート 馬1");
}
