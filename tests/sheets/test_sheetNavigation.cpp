// Sheets opening sheets: the dispatcher, one instance per kind, Back, Prev and Next, the period pick.
#include "tests/sheets/sheetWindows.h"
#include "core/dialogSincyoku.h"
#include "webimport/importGuard.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>

namespace {
void clickToolbar(QWidget* sheet, const QString& key)
{
    auto* bar = childNamed<QToolBar>(sheet, "tbMenuMove");
    QAction* action = childNamed<QAction>(bar, key);
    QTest::mouseClick(bar->widgetForAction(action), Qt::LeftButton);
    QCoreApplication::processEvents();
}

int columnOf(const FlexGrid* grid, const QString& header)
{
    return int(rowTexts(grid, 0).indexOf(header));
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
        RunRow r = runDaysBefore(10 * h);
        r.name = names[h];
        writeRun(r);
    }
}
}  // namespace

TEST_F(SheetWindowTest, TheDispatcherOpensBySubjectColumnHeaderOnly)
{
    RunRow r = runDaysBefore(15, 9);  // 浦和08021509
    writeRun(r);
    RunRow central = runDaysBefore(30, 12);
    central.zyo = "Ｊ中山";
    writeRun(central);
    ASSERT_TRUE(openSheet(SheetKind::Syuboba, "種牡馬丙"));
    struct Case {
        int row;
        QString header;
        std::optional<SheetKind> opens;
        QString key;
    };
    const std::vector<Case> cases {
        {1, "レース名", SheetKind::Kextuka, "浦和08021509"},
        {2, "レース名", SheetKind::Kextuka, "Ｊ中山08013112"},
        {1, "馬名", SheetKind::Uma, "テスト馬"},
        {1, "騎手", SheetKind::Kisyu, "騎手甲"},
        {2, "厩舎", SheetKind::Cyoukyou, "調教師乙"},
        {1, "指数", std::nullopt, ""},
        {0, "騎手", std::nullopt, ""},  // the header row
    };
    for (const Case& c : cases) {
        closeAllSheets();
        ASSERT_TRUE(openSheet(SheetKind::Syuboba, "種牡馬丙"));
        pd.sheetKey = "前の鍵";
        FlexGrid* g = gridOf(SheetKind::Syuboba);
        g->clickCell(c.row, columnOf(g, c.header));
        EXPECT_EQ(pd.sheetKey, c.opens ? c.key : "前の鍵") << c.header.toStdString();
        if (!c.opens)
            continue;
        QWidget* opened = sheetOf(*c.opens);
        ASSERT_NE(opened, nullptr) << c.header.toStdString();
        EXPECT_EQ(pd.sheetForm == opened, *c.opens != SheetKind::Kextuka);
        EXPECT_NE(sheetOf(SheetKind::Syuboba), nullptr);
    }
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('\n').toStdString();
}

TEST_F(SheetWindowTest, AnUnreadableRaceRowLeavesTheOpenRaceSheetAlone)
{
    writeRun(runDaysBefore(15, 9));
    ASSERT_TRUE(openSheet(SheetKind::Kextuka, "浦和08021509"));
    ASSERT_TRUE(openSheet(SheetKind::Uma, "テスト馬"));
    FlexGrid* g = gridOf(SheetKind::Uma);
    g->setTextMatrix(1, 0, "");  // a row whose date cannot be read
    g->clickCell(1, columnOf(g, "レース名"));
    EXPECT_EQ(messages.texts(), QStringList({"Error-frmUma-5"}));
    ASSERT_NE(sheetOf(SheetKind::Kextuka), nullptr);
    EXPECT_EQ(sheetOf(SheetKind::Kextuka)->windowTitle(), "レース結果シート 浦和08021509");
}

TEST_F(SheetWindowTest, OneInstancePerKindReplacedOnReopenAndBackBringsTheMainWindow)
{
    RunRow other = runDaysBefore(12);
    other.kisyu = "騎手丁";
    writeRun(runDaysBefore(15));
    writeRun(other);
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "騎手甲"));
    ASSERT_TRUE(openSheet(SheetKind::Syuboba, "種牡馬丙"));
    QPointer<QWidget> first = sheetOf(SheetKind::Kisyu);
    FlexGrid* sire = gridOf(SheetKind::Syuboba);
    sire->clickCell(1, columnOf(sire, "騎手"));  // the newest run: 騎手丁
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(sheetOf(SheetKind::Kisyu)->windowTitle(), "騎手シート 騎手丁");
    EXPECT_TRUE(mainWindow.isVisible());  // the replaced sheet's unload showed it
    mainWindow.hide();
    clickToolbar(sheetOf(SheetKind::Kisyu), "Back");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(sheetOf(SheetKind::Kisyu), nullptr);
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_NE(sheetOf(SheetKind::Syuboba), nullptr);  // other sheets stay
}

TEST_F(SheetWindowTest, ASheetReopeningItselfFromItsOwnClickIsRebuiltSafely)
{
    RunRow r = runDaysBefore(15);
    r.cyoukyou = "調教師乙";
    writeRun(r);
    ASSERT_TRUE(openSheet(SheetKind::Cyoukyou, "調教師乙"));
    QPointer<QWidget> old = sheetOf(SheetKind::Cyoukyou);
    FlexGrid* g = gridOf(SheetKind::Cyoukyou);
    g->clickCell(1, columnOf(g, "厩舎"));  // the trainer sheet's own empty trainer cell
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(old.isNull());
    ASSERT_NE(sheetOf(SheetKind::Cyoukyou), nullptr);
    EXPECT_EQ(sheetOf(SheetKind::Cyoukyou)->windowTitle(), "調教師シート ");
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('\n').toStdString();
}

TEST_F(SheetWindowTest, PrevAndNextWrapOverTheRunnersOfTheRaceOnScreen)
{
    raceOnScreen();
    pd.umaIdx = 1;
    ASSERT_TRUE(openSheet(SheetKind::Uma, "一番馬"));
    EXPECT_EQ(childNamed<QLabel>(sheetOf(SheetKind::Uma), "lblUmaInfo")->text(), "3枠1番 一番馬");
    const std::vector<std::pair<QString, QString>> steps {
        {"Prev", "三番馬"}, {"Prev", "二番馬"}, {"Next", "三番馬"}, {"Next", "一番馬"}};
    for (const auto& [key, horse] : steps) {
        clickToolbar(sheetOf(SheetKind::Uma), key);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(sheetOf(SheetKind::Uma)->windowTitle(), "馬毎シート " + horse) << key.toStdString();
    }
    EXPECT_EQ(pd.umaIdx, 1);
    // A horse opened from another sheet steps from the slot umaIdx still names.
    pd.umaIdx = 2;
    ASSERT_TRUE(openSheet(SheetKind::Uma, "よその馬"));
    EXPECT_EQ(childNamed<QLabel>(sheetOf(SheetKind::Uma), "lblUmaInfo")->text(), "よその馬");
    clickToolbar(sheetOf(SheetKind::Uma), "Next");
    EXPECT_EQ(sheetOf(SheetKind::Uma)->windowTitle(), "馬毎シート 三番馬");
    // No race on screen: nothing happens.
    pd.tousuu = 0;
    clickToolbar(sheetOf(SheetKind::Uma), "Next");
    EXPECT_EQ(sheetOf(SheetKind::Uma)->windowTitle(), "馬毎シート 三番馬");
}

TEST_F(SheetWindowTest, OutOfRangeRunnerSlotsAreNeverRead)
{
    raceOnScreen();
    for (int idx : {-1, 0, 4, 19}) {
        pd.umaIdx = idx;
        ASSERT_TRUE(openSheet(SheetKind::Uma, "一番馬"));
        EXPECT_EQ(childNamed<QLabel>(sheetOf(SheetKind::Uma), "lblUmaInfo")->text(), "一番馬") << idx;
    }
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('\n').toStdString();
}

TEST_F(SheetWindowTest, TheCurrentRunnersTablesCountItsSlotAndAPersonsCountItsListedRuns)
{
    raceOnScreen();
    // Slot 2 holds two past runs in the run table; the database holds one for 二番馬.
    pd.kakoMax = 150;
    for (int k = 1; k <= 2; ++k) {
        pd.uDate(2, k) = kToday.addDays(-5 * k);
        pd.uSisuu(2, k) = 60;
        pd.uZyo(2, k) = "浦和";
        pd.uKyakusitu(2, k) = "逃";
    }
    // Slot 0 holds runs an earlier sheet left; they must count nowhere.
    for (int k = 1; k <= 10; ++k) {
        pd.uDate(0, k) = kToday.addDays(-k);
        pd.uSisuu(0, k) = 99;
    }
    pd.umaIdx = 2;
    ASSERT_TRUE(openSheet(SheetKind::Uma, "二番馬"));
    const FlexGrid* t = gridOf(SheetKind::Uma, "gridTekiseiSisuu");
    EXPECT_EQ(QStringList({t->textMatrix(2, 1), t->textMatrix(4, 1), t->textMatrix(4, 49)}), QStringList({"60", "2", "2"}));
    EXPECT_EQ(t->textMatrix(1, 30), "今日の騎手2");
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "騎手甲"));
    const FlexGrid* p = gridOf(SheetKind::Kisyu, "gridTekiseiSisuu");
    EXPECT_EQ(QStringList({p->textMatrix(2, 1), p->textMatrix(4, 1), p->textMatrix(4, 50)}), QStringList({"52", "3", "3"}));
    EXPECT_EQ(p->textMatrix(1, 30), "騎手甲");
}

TEST_F(SheetWindowTest, APeriodPickRefillsItsOwnSheetAndTypedTextCountsAtTheNextFill)
{
    writeRun(runDaysBefore(100));
    writeRun(runDaysBefore(300));
    RunRow old = runDaysBefore(600);
    old.kisyu = "騎手乙";
    writeRun(old);
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "騎手甲"));
    ASSERT_TRUE(openSheet(SheetKind::Syuboba, "種牡馬丙"));
    QWidget* jockey = sheetOf(SheetKind::Kisyu);
    clickTab(jockey, "適性（スピード指数）");
    auto* combo = childNamed<QComboBox>(jockey, "cmbTarKikan");
    const FlexGrid* t = gridOf(SheetKind::Kisyu, "gridTekiseiSisuu");
    EXPECT_EQ(t->textMatrix(4, 1), "2");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Up);  // the user picks "6ヶ月以内対象"
    EXPECT_EQ(combo->currentText(), "6ヶ月以内対象");
    EXPECT_EQ(t->textMatrix(4, 1), "1");
    EXPECT_EQ(gridOf(SheetKind::Syuboba, "gridTekiseiSisuu")->textMatrix(4, 1), "2");  // the other sheet keeps its own
    combo->setCurrentText("全期間対象");  // set by the program, not picked: no fill
    EXPECT_EQ(t->textMatrix(4, 1), "1");
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), "365");
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);  // typed text: no lower bound
    EXPECT_EQ(t->textMatrix(4, 1), "2");
}
