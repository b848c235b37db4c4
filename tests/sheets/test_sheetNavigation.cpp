// Sheets opening sheets: the dispatcher, one instance per kind, Back, Prev and Next, the period pick.
#include "tests/sheets/sheetFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>

namespace {
void clickToolbar(QWidget* sheet, const QString& key)
{
    auto* bar = childNamed<QToolBar>(sheet, "tbMenuMove");
    QTest::mouseClick(bar->widgetForAction(childNamed<QAction>(bar, key)), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Three runners of the race on screen, each with one past run.
void raceOnScreen()
{
    pd.tousuu = 3;
    const QStringList names {"", "一番馬", "二番馬", "三番馬"};
    for (int h = 1; h <= 3; ++h) {
        pd.uName(h) = names[h];
        pd.uWaku(h, 0) = h + 2;
        pd.uKisyu(h, 0) = QString("今日の騎手%1").arg(h);
        writeRun({.date = ago(10 * h), .name = names[h]});
    }
}
}  // namespace

TEST_F(SheetTest, TheDispatcherOpensBySubjectColumnHeaderOnly)
{
    writeRun({});  // 浦和08021509
    writeRun({.zyo = "Ｊ中山", .date = ago(30), .raceNo = 12});
    const std::vector<std::tuple<int, QString, std::optional<SheetKind>, QString>> cases {
        {1, "レース名", SheetKind::Kextuka, "浦和08021509"},
        {2, "レース名", SheetKind::Kextuka, "Ｊ中山08013112"},
        {1, "馬名", SheetKind::Uma, "テスト馬"},
        {1, "騎手", SheetKind::Kisyu, "騎手甲"},
        {2, "厩舎", SheetKind::Cyoukyou, "調教師乙"},
        {1, "指数", std::nullopt, ""},
        {0, "騎手", std::nullopt, ""},  // the header row
    };
    for (const auto& [row, header, opens, key] : cases) {
        closeAllSheets();
        ASSERT_TRUE(openSheet(SheetKind::Syuboba, "種牡馬丙"));
        pd.sheetKey = "前の鍵";
        FlexGrid* g = gridOf(SheetKind::Syuboba);
        g->clickCell(row, columnOf(g, header));
        EXPECT_EQ(pd.sheetKey, opens ? key : "前の鍵") << header.toStdString();
        if (opens) {
            ASSERT_NE(sheetOf(*opens), nullptr) << header.toStdString();
            EXPECT_EQ(pd.sheetForm == sheetOf(*opens), *opens != SheetKind::Kextuka);
            EXPECT_NE(sheetOf(SheetKind::Syuboba), nullptr);
        }
    }
    EXPECT_NO_MESSAGES();
}

TEST_F(SheetTest, AnUnreadableRaceRowLeavesTheOpenRaceSheetAlone)
{
    writeRun({});
    ASSERT_TRUE(openSheet(SheetKind::Kextuka, "浦和08021509"));
    ASSERT_TRUE(openSheet(SheetKind::Uma, "テスト馬"));
    FlexGrid* g = gridOf(SheetKind::Uma);
    g->setTextMatrix(1, 0, "");  // a row whose date cannot be read
    g->clickCell(1, columnOf(g, "レース名"));
    EXPECT_EQ(messages.texts(), QStringList({"Error-frmUma-5"}));
    ASSERT_NE(sheetOf(SheetKind::Kextuka), nullptr);
    EXPECT_EQ(sheetOf(SheetKind::Kextuka)->windowTitle(), "レース結果シート 浦和08021509");
}

TEST_F(SheetTest, OneInstancePerKindReplacedOnReopenEvenFromItselfAndBackBringsTheMainWindow)
{
    writeRun({});
    writeRun({.date = ago(12), .kisyu = "騎手丁"});
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "騎手甲"));
    ASSERT_TRUE(openSheet(SheetKind::Cyoukyou, "調教師乙"));
    ASSERT_TRUE(openSheet(SheetKind::Syuboba, "種牡馬丙"));
    QPointer<QWidget> jockey = sheetOf(SheetKind::Kisyu), trainer = sheetOf(SheetKind::Cyoukyou);
    FlexGrid* sire = gridOf(SheetKind::Syuboba);
    sire->clickCell(1, columnOf(sire, "騎手"));  // the newest run: 騎手丁
    FlexGrid* own = gridOf(SheetKind::Cyoukyou);
    own->clickCell(1, columnOf(own, "厩舎"));  // the trainer sheet's own empty trainer cell
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(jockey.isNull() && trainer.isNull());
    EXPECT_EQ(sheetOf(SheetKind::Kisyu)->windowTitle(), "騎手シート 騎手丁");
    EXPECT_EQ(sheetOf(SheetKind::Cyoukyou)->windowTitle(), "調教師シート ");
    EXPECT_TRUE(mainWindow.isVisible());  // the replaced sheet's unload showed it
    mainWindow.hide();
    clickToolbar(sheetOf(SheetKind::Kisyu), "Back");
    EXPECT_EQ(sheetOf(SheetKind::Kisyu), nullptr);
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_NE(sheetOf(SheetKind::Syuboba), nullptr);  // other sheets stay
    EXPECT_NO_MESSAGES();
}

TEST_F(SheetTest, PrevAndNextWrapOverTheRunnersOfTheRaceOnScreen)
{
    raceOnScreen();
    const auto info = [] { return childNamed<QLabel>(sheetOf(SheetKind::Uma), "lblUmaInfo")->text(); };
    for (int idx : {-1, 0, 4, 19}) {  // out-of-range slots are never read
        pd.umaIdx = idx;
        ASSERT_TRUE(openSheet(SheetKind::Uma, "一番馬"));
        EXPECT_EQ(info(), "一番馬") << idx;
    }
    pd.umaIdx = 1;
    ASSERT_TRUE(openSheet(SheetKind::Uma, "一番馬"));
    EXPECT_EQ(info(), "3枠1番 一番馬");
    for (const auto& [key, horse] : std::vector<std::pair<QString, QString>> {
             {"Prev", "三番馬"}, {"Prev", "二番馬"}, {"Next", "三番馬"}, {"Next", "一番馬"}}) {
        clickToolbar(sheetOf(SheetKind::Uma), key);
        EXPECT_EQ(sheetOf(SheetKind::Uma)->windowTitle(), "馬毎シート " + horse) << key.toStdString();
    }
    EXPECT_EQ(pd.umaIdx, 1);
    // A horse opened from another sheet steps from the slot umaIdx still names.
    pd.umaIdx = 2;
    ASSERT_TRUE(openSheet(SheetKind::Uma, "よその馬"));
    EXPECT_EQ(info(), "よその馬");
    clickToolbar(sheetOf(SheetKind::Uma), "Next");
    EXPECT_EQ(sheetOf(SheetKind::Uma)->windowTitle(), "馬毎シート 三番馬");
    pd.tousuu = 0;  // no race on screen: nothing happens
    clickToolbar(sheetOf(SheetKind::Uma), "Next");
    EXPECT_EQ(sheetOf(SheetKind::Uma)->windowTitle(), "馬毎シート 三番馬");
    EXPECT_NO_MESSAGES();
}

TEST_F(SheetTest, TheCurrentRunnersTablesCountItsSlotAndAPersonsCountItsListedRuns)
{
    raceOnScreen();
    for (int k = 1; k <= 2; ++k) {  // slot 2 holds two past runs; the database holds one for 二番馬
        pd.uDate(2, k) = ago(5 * k);
        pd.uSisuu(2, k) = 60;
        pd.uZyo(2, k) = "浦和";
        pd.uKyakusitu(2, k) = "逃";
    }
    for (int k = 1; k <= 10; ++k) {  // runs an earlier sheet left in slot 0 count nowhere
        pd.uDate(0, k) = ago(k);
        pd.uSisuu(0, k) = 99;
    }
    pd.umaIdx = 2;
    ASSERT_TRUE(openSheet(SheetKind::Uma, "二番馬"));
    EXPECT_EQ(cells(gridOf(SheetKind::Uma, "gridTekiseiSisuu"), {{2, 1}, {4, 1}, {4, 49}, {1, 30}}),
              QStringList({"60", "2", "2", "今日の騎手2"}));
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "騎手甲"));
    EXPECT_EQ(cells(gridOf(SheetKind::Kisyu, "gridTekiseiSisuu"), {{2, 1}, {4, 1}, {4, 50}, {1, 30}}),
              QStringList({"52", "3", "3", "騎手甲"}));
}

TEST_F(SheetTest, APeriodPickRefillsItsOwnSheetAndTypedTextCountsAtTheNextFill)
{
    writeRun({.date = ago(100)});
    writeRun({.date = ago(300)});
    writeRun({.date = ago(600), .kisyu = "騎手乙"});
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "騎手甲"));
    ASSERT_TRUE(openSheet(SheetKind::Syuboba, "種牡馬丙"));
    QWidget* jockey = sheetOf(SheetKind::Kisyu);
    clickTab(jockey, "適性（スピード指数）");
    auto* combo = childNamed<QComboBox>(jockey, "cmbTarKikan");
    const FlexGrid* t = gridOf(SheetKind::Kisyu, "gridTekiseiSisuu");
    EXPECT_EQ(t->textMatrix(4, 1), "2");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Up);  // the user picks "6ヶ月以内対象"
    EXPECT_EQ(std::make_pair(combo->currentText(), t->textMatrix(4, 1)), std::make_pair(QString("6ヶ月以内対象"), QString("1")));
    EXPECT_EQ(gridOf(SheetKind::Syuboba, "gridTekiseiSisuu")->textMatrix(4, 1), "2");  // the other sheet keeps its own
    combo->setCurrentText("全期間対象");  // set by the program, not picked: no fill
    EXPECT_EQ(t->textMatrix(4, 1), "1");
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), "365");
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);  // typed text: no lower bound
    EXPECT_EQ(t->textMatrix(4, 1), "2");
}
