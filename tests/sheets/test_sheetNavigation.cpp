// Clicks that open sheets or act on the main window's grids: the sheets' dispatcher, one instance per kind, Back,
// Prev and Next, runner slots, period picks; the race cards, runner sorts, best times and the chart's runner list.
#include "tests/sheets/sheetFixture.h"
#include "charts/graphDrawGraph.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/mainGridClick.h"
#include "tests/support/progressWatcher.h"
#include "webimport/importGuard.h"

namespace {
void clickToolbar(QWidget* sheet, const QString& key)
{
    auto* bar = childNamed<QToolBar>(sheet, "tbMenuMove");
    QTest::mouseClick(bar->widgetForAction(childNamed<QAction>(bar, key)), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

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

TEST_F(SheetTest, TheDispatcherOpensBySubjectColumnHeaderOnlyAndAnUnreadableRowOpensNothing)
{
    writeRun({});  // 浦和08021509
    writeRun({.zyo = "Ｊ中山", .date = ago(30), .raceNo = 12});
    const std::vector<std::tuple<int, QString, std::optional<SheetKind>, QString>> cases {
        {1, "レース名", SheetKind::Kextuka, "浦和08021509"}, {2, "レース名", SheetKind::Kextuka, "Ｊ中山08013112"},
        {1, "馬名", SheetKind::Uma, "テスト馬"}, {1, "騎手", SheetKind::Kisyu, "騎手甲"}, {2, "厩舎", SheetKind::Cyoukyou, "調教師乙"},
        {1, "指数", std::nullopt, ""}, {0, "騎手", std::nullopt, ""},  // the header row
    };
    for (const auto& [row, header, opens, key] : cases) {
        closeAllSheets();
        ASSERT_TRUE(openSheet(SheetKind::Syuboba, "種牡馬丙"));
        pd.sheetKey = "前の鍵";
        clickUnder(SheetKind::Syuboba, row, header);
        // The key, the sheet opened, which is the current one unless a race sheet, and the sire sheet staying.
        EXPECT_EQ(std::make_tuple(pd.sheetKey, opens && sheetOf(*opens), opens && pd.sheetForm == sheetOf(*opens),
                      sheetOf(SheetKind::Syuboba) != nullptr),
            std::make_tuple(opens ? key : "前の鍵", opens.has_value(), opens && *opens != SheetKind::Kextuka, true))
            << header.toStdString();
    }
    // A row whose date cannot be read leaves the open race sheet alone.
    ASSERT_TRUE(openSheet(SheetKind::Kextuka, "浦和08021509"));
    gridOf(SheetKind::Syuboba)->setTextMatrix(1, 0, "");
    clickUnder(SheetKind::Syuboba, 1, "レース名");
    EXPECT_EQ(messages.texts(), QStringList({"Error-frmSyuboba-8"}));
    EXPECT_EQ(sheetOf(SheetKind::Kextuka)->windowTitle(), "レース結果シート 浦和08021509");
    messages.clear();
}

TEST_F(SheetTest, OneInstancePerKindReplacedOnReopenEvenFromItselfAndBackBringsTheMainWindow)
{
    writeRun({});
    writeRun({.date = ago(12), .kisyu = "騎手丁"});
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "騎手甲") && openSheet(SheetKind::Cyoukyou, "調教師乙") && openSheet(SheetKind::Syuboba, "種牡馬丙"));
    QPointer<QWidget> jockey = sheetOf(SheetKind::Kisyu), trainer = sheetOf(SheetKind::Cyoukyou);
    clickUnder(SheetKind::Syuboba, 1, "騎手");  // the newest run: 騎手丁
    clickUnder(SheetKind::Cyoukyou, 1, "厩舎");  // the trainer sheet's own empty trainer cell
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(std::make_tuple(jockey.isNull() && trainer.isNull(), mainWindow.isVisible(),
                              sheetOf(SheetKind::Kisyu)->windowTitle() + '|' + sheetOf(SheetKind::Cyoukyou)->windowTitle()),
              std::make_tuple(true, true, "騎手シート 騎手丁|調教師シート "));  // the replaced sheet's unload showed the main window
    mainWindow.hide();
    clickToolbar(sheetOf(SheetKind::Kisyu), "Back");
    EXPECT_EQ(std::make_tuple(sheetOf(SheetKind::Kisyu), mainWindow.isVisible(), sheetOf(SheetKind::Syuboba) != nullptr),
              std::make_tuple(nullptr, true, true));  // other sheets stay
    EXPECT_TRUE(pd.sheetForm == sheetOf(SheetKind::Cyoukyou));  // the subject sheet opened last
    clickToolbar(sheetOf(SheetKind::Cyoukyou), "Back");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(pd.sheetForm == nullptr);  // gone with its sheet, never left pointing at it
}

TEST_F(SheetTest, TheRunnerSlotFeedsTheHorseSheetAndPrevAndNextWrapOverTheRunnersOnScreen)
{
    runnersOnScreen(3);
    for (int k = 1; k <= 2; ++k) {  // slot 1 holds two past runs at 浦和; the database holds one for 馬1
        pd.uDate(1, k) = ago(5 * k);
        pd.uSisuu(1, k) = 60;
        pd.uKyakusitu(1, k) = "逃";
    }
    for (int k = 1; k <= 10; ++k) {  // runs an earlier sheet left in slot 0 count nowhere
        pd.uDate(0, k) = ago(k);
        pd.uSisuu(0, k) = 99;
    }
    const auto info = [] { return childNamed<QLabel>(sheetOf(SheetKind::Uma), "lblUmaInfo")->text(); };
    for (int idx : {-1, 0, 4, 19}) {  // out-of-range slots are never read
        pd.umaIdx = idx;
        ASSERT_TRUE(openSheet(SheetKind::Uma, "馬1"));
        EXPECT_EQ(info(), "馬1") << idx;
    }
    pd.umaIdx = 1;
    ASSERT_TRUE(openSheet(SheetKind::Uma, "馬1"));
    EXPECT_EQ(QStringList {info()} + cells(gridOf(SheetKind::Uma, "gridTekiseiSisuu"), {{2, 1}, {4, 1}, {4, 49}, {1, 30}}),
              QStringList({"3枠1番 馬1", "60", "2", "2", "今日の騎手1"}));
    const auto step = [](const char* key) { clickToolbar(sheetOf(SheetKind::Uma), key); return sheetOf(SheetKind::Uma)->windowTitle(); };
    QStringList titles;
    for (const char* key : {"Prev", "Prev", "Next", "Next"})
        titles << step(key);
    EXPECT_EQ(titles, QStringList({"馬毎シート 馬3", "馬毎シート 馬2", "馬毎シート 馬3", "馬毎シート 馬1"}));
    EXPECT_EQ(pd.umaIdx, 1);
    pd.umaIdx = 2;  // a horse opened from another sheet steps from the slot umaIdx still names
    ASSERT_TRUE(openSheet(SheetKind::Uma, "よその馬"));
    EXPECT_EQ(info(), "よその馬");
    EXPECT_EQ(step("Next"), "馬毎シート 馬3");
    pd.tousuu = 0;  // no race on screen: nothing happens
    EXPECT_EQ(step("Next"), "馬毎シート 馬3");
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "騎手甲"));  // a person sheet counts its listed runs
    EXPECT_EQ(cells(gridOf(SheetKind::Kisyu, "gridTekiseiSisuu"), {{2, 1}, {4, 1}, {4, 50}, {1, 30}}),
              QStringList({"52", "3", "3", "騎手甲"}));
}

TEST_F(SheetTest, APeriodPickRefillsItsOwnSheetsAptitudeTablesAndTypedTextCountsAtTheNextFill)
{
    for (const auto& [days, sisuu, cyaku] : std::vector<std::tuple<int, float, int>> {
             {10, 40.4f, 1}, {100, 55.5f, 3}, {300, 60.5f, 5}, {600, 99, 1}})
        writeRun({.date = ago(days), .cyaku = cyaku, .sisuu = sisuu});
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "騎手甲") && openSheet(SheetKind::Syuboba, "種牡馬丙"));
    // Within a year, 全ダート: (40.4 + 55.5 + 60.5) / 3 = 52.13 shows 52; the best 60.5 shows 61 (halves away from zero).
    EXPECT_EQ(cells(gridOf(SheetKind::Syuboba, "gridTekiseiSisuu"), {{2, 1}, {3, 1}, {4, 1}, {2, 3}, {4, 3}})
                  + cells(gridOf(SheetKind::Syuboba, "gridTekiseiRentai"), {{2, 1}, {3, 1}, {4, 1}, {3, 3}}),
              QStringList({"52", "61", "3", "", "", "33%", "67%", "3", ""}));
    clickTab(sheetOf(SheetKind::Kisyu), "適性（スピード指数）");
    auto* combo = childNamed<QComboBox>(sheetOf(SheetKind::Kisyu), "cmbTarKikan");
    const FlexGrid* t = gridOf(SheetKind::Kisyu, "gridTekiseiSisuu");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Up);  // the user picks "6ヶ月以内対象"
    EXPECT_EQ(combo->currentText() + '|' + t->textMatrix(4, 1) + '|' + gridOf(SheetKind::Syuboba, "gridTekiseiSisuu")->textMatrix(4, 1),
              "6ヶ月以内対象|2|3");  // the other sheet keeps its own
    combo->setCurrentText("全期間対象");  // set by the program, not picked: no fill
    EXPECT_EQ(t->textMatrix(4, 1), "2");
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), "365");
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);  // typed text: no lower bound
    EXPECT_EQ(t->textMatrix(4, 1), "4");
}

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

// Each fill's progress window reaches its maximum: the horse sheet's five steps count its comment tab, a
// person sheet has four; a period pick counts them all again.
TEST_F(SheetTest, EveryFillsProgressReachesItsMaximumTheCommentStepIncluded)
{
    writeRun({});
    const ProgressWatcher watcher;
    ASSERT_TRUE(openSheet(SheetKind::Uma, "テスト馬"));
    emit childNamed<QComboBox>(sheetOf(SheetKind::Uma), "cmbTarKikan")->activated(2);
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "騎手甲"));
    using Run = std::pair<float, float>;
    EXPECT_EQ(watcher.runs(), (std::vector<Run> {{5, 5}, {5, 5}, {4, 4}}));
    EXPECT_FALSE(isDialogSincyokuLoaded());
}
