// The main window's grid clicks: race cards, runner sorts, best times, the chart's runner list, the window's wiring.
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
    using C = RaceCard;
    const std::vector<std::tuple<RaceCard, int, int, std::optional<SheetKind>, QString, int>> cases {
        {C::ByFinish, 2, 3, SheetKind::Uma, "馬2", 2}, {C::BySisuu, 1, 4, SheetKind::Syuboba, "父1", 1},
        {C::ByFinish, 2, 6, SheetKind::Kisyu, "騎手2", 7}, {C::BySisuu, 1, 8, SheetKind::Cyoukyou, "厩舎1", 7},
        {C::ByFinish, 1, 9, SheetKind::Kextuka, "浦和08021102", 1}, {C::ByFinish, 2, 10, SheetKind::Kextuka, "Ｊ中山08021204", 2},
        {C::BySisuu, 2, 11, SheetKind::Kextuka, "浦和08021103", 2}, {C::BySisuu, 1, 12, SheetKind::Kextuka, "浦和08021203", 1},
        {C::BySisuu, 1, 15, SheetKind::Kextuka, "00", 1},  // an empty run slot matches no race
        {C::ByFinish, 1, 5, std::nullopt, "", 7}, {C::ByFinish, 3, 3, std::nullopt, "", 7},  // below the last
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
        const ImportGuard import;
        g.setRowCol(2, 3);
        raceCardClick(g, RaceCard::ByFinish);
    }
    EXPECT_EQ(std::make_pair(sheetOf(SheetKind::Uma) ? sheetOf(SheetKind::Uma)->windowTitle() : "", messages.texts()),
              std::make_pair(QString("馬毎シート 馬1"), QStringList({"他の読込みが実行中です。終了してから開始してください"})));
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
    {
        const FrmMain::BusyGuard busy(form);
        card->clickCell(2, 3);
    }
    EXPECT_EQ(sheetOf(SheetKind::Uma) ? sheetOf(SheetKind::Uma)->windowTitle() : "", "馬毎シート 馬1");
    messages.clear();  // the bare window's own complaints are its tests' business
}

TEST(MainGridClick, RunnersSortDescendingBelowTheSubHeaderButNotByNameAndBestTimesByIncreasingTime)
{
    pd.tousuu = 4;
    FlexGrid g;
    fill(g, 6, 8, {{3, {"", "", "A", "B", "C", "D"}}, {4, {"0", "1", "2", "3", "4", "5"}},
                   {6, {"", "1400", "1:29:3", "", "58:7", "1:28:0"}}});
    g.setRowCol(2, 3);
    sortRunnersClick(g);
    EXPECT_EQ(lineTexts(&g, 3, true), QStringList({"", "", "A", "B", "C", "D"}));
    g.setRowCol(3, 6);
    mochiTimeClick(g);
    EXPECT_EQ(lineTexts(&g, 3, true), QStringList({"", "", "C", "D", "A", "B"}));
    EXPECT_EQ(lineTexts(&g, 6, true), QStringList({"", "1400", "58:7", "1:28:0", "1:29:3", ""}));
    g.setRowCol(0, 4);  // a header click sorts too
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
        QString drawn;  // the runner and year shift at each drawing
        runnerListClick(g, [&] { drawn += QString("%1,%2;").arg(pd.umaIdx).arg(pd.graphShiftDays); });
        EXPECT_EQ(std::make_pair(drawn, pd.umaIdx), std::make_pair(row >= 2 && row <= 4 ? QString("%1,0;").arg(runner) : "", runner)) << row;
    }
    for (int r = 0; r < 5; ++r)
        EXPECT_EQ(g.cellFontUnderline(r, 3), r != 4) << r;
    bindGraphSurfaces({});
}
