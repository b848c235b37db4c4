// The main window's grid clicks: the race cards' column rules, the runner sorts, the best-times
// sort through seconds, the chart's runner list, and the window's own wiring.
#include "mainwindow/frmMain.h"
#include "mainwindow/mainGridClick.h"
#include "charts/graphDrawGraph.h"
#include "tests/sheets/sheetFixture.h"
#include "webimport/importGuard.h"

namespace {
// A grid of that size whose columns hold the given texts from row 0 down.
void fill(FlexGrid& g, int rows, int cols, const std::vector<std::pair<int, QStringList>>& columns)
{
    g.setRows(rows);
    g.setCols(cols);
    for (const auto& [c, texts] : columns)
        for (int r = 0; r < texts.size(); ++r)
            g.setTextMatrix(r, c, texts[r]);
}
}  // namespace

TEST_F(SheetTest, RaceCardClicksOpenTheSheetOfTheCellUnlessBusy)
{
    runnersOnScreen(2);
    FlexGrid g;
    fill(g, 3, 16, {{6, {"", "騎手1", "騎手2"}}, {8, {"", "厩舎1", "厩舎2"}}});
    // (card, row, column, the sheet it opens, its key, the runner slot after)
    const std::vector<std::tuple<RaceCard, int, int, std::optional<SheetKind>, QString, int>> cases {
        {RaceCard::ByFinish, 2, 3, SheetKind::Uma, "馬2", 2}, {RaceCard::BySisuu, 1, 4, SheetKind::Syuboba, "父1", 1},
        {RaceCard::ByFinish, 2, 6, SheetKind::Kisyu, "騎手2", 7}, {RaceCard::BySisuu, 1, 8, SheetKind::Cyoukyou, "厩舎1", 7},
        {RaceCard::ByFinish, 1, 9, SheetKind::Kextuka, "浦和08021102", 1},
        {RaceCard::ByFinish, 2, 10, SheetKind::Kextuka, "Ｊ中山08021204", 2},
        {RaceCard::BySisuu, 2, 11, SheetKind::Kextuka, "浦和08021103", 2},
        {RaceCard::BySisuu, 1, 12, SheetKind::Kextuka, "浦和08021203", 1},
        {RaceCard::BySisuu, 1, 15, SheetKind::Kextuka, "00", 1},  // an empty run slot matches no race
        {RaceCard::ByFinish, 1, 5, std::nullopt, "", 7}, {RaceCard::ByFinish, 3, 3, std::nullopt, "", 7},  // below the last
    };
    for (const auto& [card, row, col, opens, key, umaIdx] : cases) {
        closeAllSheets();
        pd.umaIdx = 7;
        pd.sheetKey = "前";
        g.setRowCol(row, col);
        raceCardClick(g, card);
        EXPECT_EQ(std::make_pair(pd.umaIdx, pd.sheetKey), std::make_pair(umaIdx, opens ? key : "前")) << row << "," << col;
        EXPECT_TRUE(!opens || sheetOf(*opens)) << key.toStdString();
    }
    // While an import runs, an open sheet stays as it is.
    ASSERT_TRUE(openSheet(SheetKind::Uma, "馬1"));
    {
        ImportGuard import;
        g.setRowCol(2, 3);
        raceCardClick(g, RaceCard::ByFinish);
    }
    ASSERT_NE(sheetOf(SheetKind::Uma), nullptr);
    EXPECT_EQ(sheetOf(SheetKind::Uma)->windowTitle(), "馬毎シート 馬1");
    EXPECT_EQ(messages.texts(), QStringList({"他の読込みが実行中です。終了してから開始してください"}));
    // A horse or sire click without a runner row still closes the open sheet.
    g.setRowCol(0, 3);
    raceCardClick(g, RaceCard::ByFinish);
    EXPECT_EQ(sheetOf(SheetKind::Uma), nullptr);
    // The main window's own race card, wired to its busy guard.
    dir.createStrevinData();
    FrmMain form;  // its start clears the race on screen
    pd.tousuu = 2;
    pd.uName(1) = "馬1";
    pd.uName(2) = "馬2";
    auto* card = childNamed<FlexGrid>(&form, "gridSyuxtusouHyou");
    fill(*card, 3, 10, {});
    card->clickCell(1, 3);
    ASSERT_NE(sheetOf(SheetKind::Uma), nullptr);
    {
        FrmMain::BusyGuard busy(form);
        card->clickCell(2, 3);
    }
    EXPECT_EQ(sheetOf(SheetKind::Uma)->windowTitle(), "馬毎シート 馬1");
}

TEST(MainGridClick, AnalysisGridsSortRunnersDescendingBelowTheirSubHeader)
{
    FlexGrid g;
    const QStringList names {"", "", "A", "B", "C", "D"};
    fill(g, 6, 6, {{3, names}, {5, {"", "対象", "52", "", "61", "-3"}}});
    g.setRowCol(2, 3);
    sortRunnersClick(g);
    EXPECT_EQ(lineTexts(&g, 3, true), names);
    g.setRowCol(0, 5);
    sortRunnersClick(g);
    EXPECT_EQ(lineTexts(&g, 3, true), QStringList({"", "", "C", "A", "D", "B"}));
    EXPECT_EQ(g.textMatrix(1, 5), "対象");
}

TEST(MainGridClick, BestTimesSortByIncreasingTimeWithUntimedRunnersLast)
{
    pd.tousuu = 4;
    FlexGrid g;
    fill(g, 6, 8, {{3, {"", "", "A", "B", "C", "D"}}, {4, {"0", "1", "2", "3", "4", "5"}},
                   {6, {"", "1400", "1:29:3", "", "58:7", "1:28:0"}}});
    g.setRowCol(3, 6);
    mochiTimeClick(g);
    EXPECT_EQ(lineTexts(&g, 3, true), QStringList({"", "", "C", "D", "A", "B"}));
    EXPECT_EQ(lineTexts(&g, 6, true), QStringList({"", "1400", "58:7", "1:28:0", "1:29:3", ""}));
    g.setRowCol(1, 4);
    mochiTimeClick(g);
    EXPECT_EQ(lineTexts(&g, 4, true), QStringList({"0", "1", "5", "4", "3", "2"}));
    g.setTextMatrix(2, 6, "abc");
    const QStringList before = lineTexts(&g, 6, true);
    g.setRowCol(1, 6);
    EXPECT_THROW(mochiTimeClick(g), VbError);
    EXPECT_EQ(lineTexts(&g, 6, true), before);  // nothing was converted
}

TEST(MainGridClick, RunnerListPicksTheClickedRunnerOnly)
{
    pd.tousuu = 3;
    FlexGrid g;
    fill(g, 5, 4, {});
    bindGraphSurfaces({nullptr, nullptr, &g, nullptr, nullptr});
    for (const auto& [row, runner] : std::vector<std::pair<int, int>> {{3, 2}, {1, 2}, {5, 2}, {4, 3}}) {
        pd.umaIdx = 2;
        pd.graphShiftDays = 365;
        g.setRowCol(row, 3);
        int drawn = 0;
        runnerListClick(g, [&] {
            EXPECT_EQ(std::make_pair(pd.umaIdx, pd.graphShiftDays), std::make_pair(runner, 0));
            ++drawn;
        });
        EXPECT_EQ(std::make_pair(drawn, pd.umaIdx), std::make_pair(row >= 2 && row <= 4 ? 1 : 0, runner)) << row;
    }
    for (int r = 0; r < 5; ++r)
        EXPECT_EQ(g.cellFontUnderline(r, 3), r != 4) << r;
    bindGraphSurfaces({});
}
