// Sheets opening sheets: the dispatcher, one instance per kind, Back, Prev and Next, runner slots, period picks.
#include "tests/sheets/sheetFixture.h"

namespace {
void clickToolbar(QWidget* sheet, const QString& key)
{
    auto* bar = childNamed<QToolBar>(sheet, "tbMenuMove");
    QTest::mouseClick(bar->widgetForAction(childNamed<QAction>(bar, key)), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
        EXPECT_EQ(pd.sheetKey, opens ? key : "前の鍵") << header.toStdString();
        if (opens)  // the opened sheet is the current one unless a race sheet; the sire sheet stays
            EXPECT_EQ(std::make_tuple(sheetOf(*opens) != nullptr, pd.sheetForm == sheetOf(*opens), sheetOf(SheetKind::Syuboba) != nullptr),
                      std::make_tuple(true, *opens != SheetKind::Kextuka, true)) << header.toStdString();
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
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "騎手甲"));
    ASSERT_TRUE(openSheet(SheetKind::Cyoukyou, "調教師乙"));
    ASSERT_TRUE(openSheet(SheetKind::Syuboba, "種牡馬丙"));
    QPointer<QWidget> jockey = sheetOf(SheetKind::Kisyu), trainer = sheetOf(SheetKind::Cyoukyou);
    clickUnder(SheetKind::Syuboba, 1, "騎手");  // the newest run: 騎手丁
    clickUnder(SheetKind::Cyoukyou, 1, "厩舎");  // the trainer sheet's own empty trainer cell
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(jockey.isNull() && trainer.isNull());
    EXPECT_EQ(sheetOf(SheetKind::Kisyu)->windowTitle() + '|' + sheetOf(SheetKind::Cyoukyou)->windowTitle(), "騎手シート 騎手丁|調教師シート ");
    EXPECT_TRUE(mainWindow.isVisible());  // the replaced sheet's unload showed it
    mainWindow.hide();
    clickToolbar(sheetOf(SheetKind::Kisyu), "Back");
    EXPECT_EQ(std::make_tuple(sheetOf(SheetKind::Kisyu), mainWindow.isVisible(), sheetOf(SheetKind::Syuboba) != nullptr),
              std::make_tuple(nullptr, true, true));  // other sheets stay
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
    EXPECT_EQ(info(), "3枠1番 馬1");
    EXPECT_EQ(cells(gridOf(SheetKind::Uma, "gridTekiseiSisuu"), {{2, 1}, {4, 1}, {4, 49}, {1, 30}}),
              QStringList({"60", "2", "2", "今日の騎手1"}));
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
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "騎手甲"));
    ASSERT_TRUE(openSheet(SheetKind::Syuboba, "種牡馬丙"));
    // Within a year, 全ダート: (40.4 + 55.5 + 60.5) / 3 = 52.13 shows 52; the best 60.5 shows 61 (halves away from zero).
    EXPECT_EQ(cells(gridOf(SheetKind::Syuboba, "gridTekiseiSisuu"), {{2, 1}, {3, 1}, {4, 1}, {2, 3}, {4, 3}})
                  + cells(gridOf(SheetKind::Syuboba, "gridTekiseiRentai"), {{2, 1}, {3, 1}, {4, 1}, {3, 3}}),
              QStringList({"52", "61", "3", "", "", "33%", "67%", "3", ""}));
    QWidget* jockey = sheetOf(SheetKind::Kisyu);
    clickTab(jockey, "適性（スピード指数）");
    auto* combo = childNamed<QComboBox>(jockey, "cmbTarKikan");
    const FlexGrid* t = gridOf(SheetKind::Kisyu, "gridTekiseiSisuu");
    EXPECT_EQ(t->textMatrix(4, 1), "3");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Up);  // the user picks "6ヶ月以内対象"
    EXPECT_EQ(combo->currentText() + t->textMatrix(4, 1), "6ヶ月以内対象2");
    EXPECT_EQ(gridOf(SheetKind::Syuboba, "gridTekiseiSisuu")->textMatrix(4, 1), "3");  // the other sheet keeps its own
    combo->setCurrentText("全期間対象");  // set by the program, not picked: no fill
    EXPECT_EQ(t->textMatrix(4, 1), "2");
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), "365");
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);  // typed text: no lower bound
    EXPECT_EQ(t->textMatrix(4, 1), "4");
}
