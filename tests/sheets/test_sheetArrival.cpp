// A person with more runs than a sheet lists at once: the first screen holds the newest year and the
// period (at least 2,000 runs) with every aptitude value, list and average exact, the rest arrives while the
// user works in the window.
#include "tests/sheets/sheetFixture.h"
#include "tests/sheets/wholeRead.h"
#include "tests/support/longCareer.h"
#include "tests/support/noNewThreads.h"
#include "core/dialogSincyoku.h"
#include "sheets/sheetRunReader.h"
#include "sheets/subjectSheet.h"

#include <atomic>

namespace {
using longCareer::kDays, longCareer::kPerDay;

SubjectSheet* arriving(SheetKind kind)
{
    return qobject_cast<SubjectSheet*>(loadedSheet(kind));
}

// A grid of the sheet as it is now: no event is let in, so that nothing more arrives meanwhile.
FlexGrid* gridNow(SheetKind kind, const char* name = "gridRireki")
{
    return childNamed<FlexGrid>(loadedSheet(kind), name);
}

// Clicks the run list's cell in that row under that header.
void clickNow(SheetKind kind, int row, const QString& header)
{
    gridNow(kind)->clickCell(row, int(lineTexts(gridNow(kind), 0).indexOf(header)));
}

// Lets the rest of the list arrive.
void waitForArrival(SheetKind kind)
{
    QElapsedTimer clock;
    clock.start();
    while (arriving(kind) && arriving(kind)->runsArriving() && clock.elapsed() < 20000)
        QCoreApplication::processEvents();
}

class SheetArrivalTest : public SheetTest {
protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        longCareer::write(kToday);
    }
};
}  // namespace

TEST_F(SheetArrivalTest, TheFirstScreenHoldsTheNewestYearWithExactListsAndAverageAndTheRestArrives)
{
    ASSERT_TRUE(openSheet(SheetKind::Cyoukyou, "長調教師"));
    const Expected expected(SheetKind::Cyoukyou, "長調教師", "1年以内対象");
    ASSERT_TRUE(arriving(SheetKind::Cyoukyou)->runsArriving());
    // Days 1 to 364 and day 365 (after raceDate - 365 is "later than", the day itself is not), 2,000 at least.
    EXPECT_EQ(gridNow(SheetKind::Cyoukyou)->rows() - 1, 364 * kPerDay);
    // Tracks: 浦和 (the race's), 笠松 (later runs), 大井, then the old tracks from day 365 on, newest first;
    // jockeys: 騎手Z, 騎手A, 騎手B and three old ones; average of the last 365 days with the later runs.
    const QStringList labels = lineTexts(gridNow(SheetKind::Cyoukyou, "gridTekiseiSisuu"), 1);
    EXPECT_EQ(labels.mid(24, 12).join('|'), "浦和|笠松|大井|金沢|水沢|盛岡|騎手Z|騎手B|騎手A|騎手H|騎手G|騎手F");
    EXPECT_EQ(labels.mid(36, 5).join('|'), lineTexts(&expected.sisuu, 1).mid(36, 5).join('|'));
    EXPECT_EQ(allTexts(gridNow(SheetKind::Cyoukyou, "gridTekiseiSisuu")), allTexts(&expected.sisuu));
    EXPECT_EQ(allTexts(gridNow(SheetKind::Cyoukyou, "gridTekiseiRentai")), allTexts(&expected.rentai));
    waitForArrival(SheetKind::Cyoukyou);
    EXPECT_FALSE(arriving(SheetKind::Cyoukyou)->runsArriving());
    EXPECT_EQ(allTexts(gridNow(SheetKind::Cyoukyou)), allTexts(&expected.rireki));
    // The sheet kept its runs to itself: the shared run table is as the race read left it.
    EXPECT_EQ(std::make_tuple(pd.kakoMax, pd.uDate.ubound(2), pd.uDate(0, 1), pd.uKisyu(0, 1), pd.uName(0)),
              std::make_tuple(150, 150, VbDate(), QString(), QString()));
}

TEST_F(SheetArrivalTest, WhileTheListArrivesTabsScrollingAPeriodChangeAndBackWork)
{
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "騎手A"));  // 1,092 runs: read whole
    EXPECT_FALSE(arriving(SheetKind::Kisyu)->runsArriving());
    ASSERT_TRUE(openSheet(SheetKind::Syuboba, "長父"));
    QWidget* sheet = loadedSheet(SheetKind::Syuboba);
    ASSERT_TRUE(arriving(SheetKind::Syuboba)->runsArriving());
    clickTab(sheet, "適性（勝率・連対率）");
    EXPECT_TRUE(childNamed<FlexGrid>(sheet, "gridTekiseiRentai")->isVisible());
    EXPECT_FALSE(childNamed<FlexGrid>(sheet, "gridRireki")->isVisible());
    auto* combo = childNamed<QComboBox>(sheet, "cmbTarKikan");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);  // the user picks "2年以内対象" while the list still arrives
    const Expected twoYears(SheetKind::Syuboba, "長父", "2年以内対象");
    EXPECT_EQ(combo->currentText(), "2年以内対象");
    EXPECT_FALSE(arriving(SheetKind::Syuboba)->runsArriving());  // 730 days hold every run
    EXPECT_EQ(allTexts(gridNow(SheetKind::Syuboba)), allTexts(&twoYears.rireki));
    EXPECT_EQ(allTexts(gridNow(SheetKind::Syuboba, "gridTekiseiRentai")), allTexts(&twoYears.rentai));
    QTest::keyClick(combo, Qt::Key_Up);  // back to one year: arriving again
    ASSERT_TRUE(arriving(SheetKind::Syuboba)->runsArriving());
    clickTab(sheet, "出走履歴");
    FlexGrid* list = childNamed<FlexGrid>(sheet, "gridRireki");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_PageDown);
    QTest::keyClick(list, Qt::Key_PageDown);
    const int scrolled = list->verticalScrollBar()->value();
    EXPECT_GT(scrolled, 0);
    ASSERT_TRUE(arriving(SheetKind::Syuboba)->runsArriving());
    const QStringList topRow = lineTexts(list, list->rowAt(0));
    QElapsedTimer clock;
    clock.start();
    while (list->rows() == 364 * kPerDay + 1 && clock.elapsed() < 20000)
        QCoreApplication::processEvents();  // until arrived runs join the list
    EXPECT_EQ(std::make_tuple(list->verticalScrollBar()->value(), lineTexts(list, list->rowAt(0))), std::make_tuple(scrolled, topRow));
    auto* bar = childNamed<QToolBar>(sheet, "tbMenuMove");
    QPointer<SubjectSheet> closing = arriving(SheetKind::Syuboba);
    mainWindow.hide();
    QTest::mouseClick(bar->widgetForAction(childNamed<QAction>(bar, "Back")), Qt::LeftButton);
    ASSERT_FALSE(closing.isNull());  // deleted once the event loop runs, its reading stopped at once
    EXPECT_FALSE(closing->runsArriving());
    EXPECT_TRUE(mainWindow.isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closing.isNull());
}

TEST_F(SheetArrivalTest, AnotherSheetOpensWhileTheListArrivesAndAReplacedSheetStopsReading)
{
    ASSERT_TRUE(openSheet(SheetKind::Cyoukyou, "長調教師"));
    QPointer<SubjectSheet> trainer = arriving(SheetKind::Cyoukyou);
    ASSERT_TRUE(trainer->runsArriving());
    clickNow(SheetKind::Cyoukyou, 1, "騎手");  // 騎手B's sheet, read whole
    clickNow(SheetKind::Cyoukyou, 1, "馬名");
    EXPECT_EQ(std::make_tuple(loadedSheet(SheetKind::Kisyu)->windowTitle(), loadedSheet(SheetKind::Uma)->windowTitle()),
              std::make_tuple(QString("騎手シート 騎手B"), QString("馬毎シート 馬1_6")));
    waitForArrival(SheetKind::Cyoukyou);  // the other sheets' fills let it go on
    EXPECT_EQ(gridNow(SheetKind::Cyoukyou)->rows() - 1, kDays * kPerDay + 1);
    ASSERT_TRUE(openSheet(SheetKind::Syuboba, "長父"));
    QPointer<SubjectSheet> sire = arriving(SheetKind::Syuboba);
    ASSERT_TRUE(sire->runsArriving());
    ASSERT_TRUE(openSheet(SheetKind::Syuboba, "長父"));  // reopened for the same key: a fresh reading
    EXPECT_TRUE(sire.isNull() || !sire->runsArriving());  // its reading stopped when it closed
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sire.isNull());
    EXPECT_TRUE(arriving(SheetKind::Syuboba)->runsArriving());
}

namespace {
// Lets arrived runs join the list once (the reading may have ended by then).
bool runsJoined(SheetKind kind)
{
    const int first = gridNow(kind)->rows();
    QElapsedTimer clock;
    clock.start();
    while (gridNow(kind)->rows() == first && clock.elapsed() < 20000)
        QCoreApplication::processEvents();
    return gridNow(kind)->rows() > first;
}

QComboBox* periodCombo(SheetKind kind)
{
    QWidget* sheet = loadedSheet(kind);
    clickTab(sheet, "適性（スピード指数）");
    auto* combo = childNamed<QComboBox>(sheet, "cmbTarKikan");
    combo->setFocus();
    return combo;
}
}  // namespace

// With eleven more years of runs the rest takes a while to read. A period picked once runs have joined the list starts a fresh
// reading whose list is one whole read; a sheet closed or sent Back as soon as it opens stops its reading at once and is gone
// when the event loop runs.
TEST_F(SheetArrivalTest, APeriodPickedClosingAndBackWhileAListArrivesEndTheReadingUnderWay)
{
    longCareer::writeDaily(kToday, {"長調教師", "長父", "船橋", kDays + 1, kDays + 4000, 24});
    ASSERT_TRUE(openSheet(SheetKind::Cyoukyou, "長調教師"));
    ASSERT_TRUE(runsJoined(SheetKind::Cyoukyou));
    QComboBox* combo = periodCombo(SheetKind::Cyoukyou);
    QTest::keyClick(combo, Qt::Key_Up);
    ASSERT_EQ(combo->currentText(), "6ヶ月以内対象");
    waitForArrival(SheetKind::Cyoukyou);
    const Expected whole(SheetKind::Cyoukyou, "長調教師", "6ヶ月以内対象");
    EXPECT_EQ(allTexts(gridNow(SheetKind::Cyoukyou)), allTexts(&whole.rireki));
    EXPECT_EQ(allTexts(gridNow(SheetKind::Cyoukyou, "gridTekiseiSisuu")), allTexts(&whole.sisuu));

    for (const bool back : {false, true}) {
        ASSERT_TRUE(openSheet(SheetKind::Syuboba, "長父"));
        QPointer<SubjectSheet> closing = arriving(SheetKind::Syuboba);
        ASSERT_TRUE(closing->runsArriving());
        if (back) {
            auto* bar = childNamed<QToolBar>(closing, "tbMenuMove");
            QTest::mouseClick(bar->widgetForAction(childNamed<QAction>(bar, "Back")), Qt::LeftButton);
        } else {
            closing->close();  // as the window's close box does
        }
        ASSERT_FALSE(closing.isNull());  // deleted once the event loop runs; its reading stopped at once
        EXPECT_FALSE(closing->runsArriving()) << back;
        QCoreApplication::processEvents();
        EXPECT_TRUE(closing.isNull()) << back;
    }
}

namespace {
std::atomic<bool> aConnectionWaits {false};

bool noteTheWait()
{
    aConnectionWaits = true;
    return false;  // nothing of ours is letting the file go
}
}  // namespace

// In a rollback-journal file that another program writes, a reader waits for the writer's lock up to the 10-second
// time-out. A sheet closed, or destroyed with its period combo focused as at the program's end, while its reader
// waits goes at once and says nothing.
TEST_F(SheetArrivalTest, ASheetGoesAtOnceWhileItsReaderWaitsForALock)
{
    longCareer::writeDaily(kToday, {"長調教師", "長父", "船橋", kDays + 1, kDays + 4000, 24});
    Connection(appPath() + "NAR_data.dat", dbKeyFor(dbPassword)).execute("PRAGMA journal_mode = DELETE");
    setLockWaitHook(noteTheWait);
    for (const bool destroyed : {false, true}) {
        ASSERT_TRUE(openSheet(SheetKind::Cyoukyou, "長調教師"));
        QPointer<SubjectSheet> sheet = arriving(SheetKind::Cyoukyou);
        ASSERT_TRUE(sheet->runsArriving());
        Connection writer(appPath() + "NAR_data.dat", dbKeyFor(dbPassword));
        writer.execute("BEGIN EXCLUSIVE");  // once the years under way are read
        aConnectionWaits = false;
        QElapsedTimer clock;
        clock.start();
        while (!aConnectionWaits && clock.elapsed() < 5000)
            QCoreApplication::processEvents();
        ASSERT_TRUE(aConnectionWaits && sheet->runsArriving()) << destroyed;
        clock.restart();
        if (destroyed) {
            QApplication::setActiveWindow(sheet);
            ASSERT_TRUE(periodCombo(SheetKind::Cyoukyou)->hasFocus());
            delete sheet;
        } else {
            sheet->close();
        }
        EXPECT_LT(clock.elapsed(), 3000) << destroyed;
        writer.execute("ROLLBACK");
        if (!destroyed)
            EXPECT_FALSE(sheet->runsArriving());
    }
    setLockWaitHook(nullptr);
}

// A period under a year still shows the whole newest year, at least 2,000 runs, at once: 体重調教師's weights differ between the
// newest 250 days and the rest of the year, so the 馬体重 columns tell an average over fewer days. A list whose newest year holds
// fewer runs shows exactly 2,000 at once (one run a race).
TEST_F(SheetTest, UnderAYearTheFirstScreenHoldsTheNewestYearAndItsWeightsAndNeverFewerThan2000Runs)
{
    longCareer::writeDaily(kToday, {"体重調教師", "体重父", "園田", 1, 500, 8,
                                    "CASE WHEN d <= 250 THEN 440 WHEN d < 365 THEN 520 ELSE 600 END"});
    longCareer::writeDaily(kToday, {"二千調教師", "二千父", "佐賀", 1, 3000, 1});
    ASSERT_TRUE(openSheet(SheetKind::Cyoukyou, "体重調教師"));
    QTest::keyClick(periodCombo(SheetKind::Cyoukyou), Qt::Key_Up);
    ASSERT_TRUE(arriving(SheetKind::Cyoukyou)->runsArriving());
    const Expected whole(SheetKind::Cyoukyou, "体重調教師", "6ヶ月以内対象");
    EXPECT_EQ(gridNow(SheetKind::Cyoukyou)->rows() - 1, 364 * 8);
    const QStringList headers = lineTexts(&whole.sisuu, 0);
    QStringList weights, wholeWeights;
    for (int c = 0; c < headers.size(); ++c)
        if (headers[c] == "馬体重")
            weights << lineTexts(gridNow(SheetKind::Cyoukyou, "gridTekiseiSisuu"), c, true).join('|'),
                wholeWeights << lineTexts(&whole.sisuu, c, true).join('|');
    EXPECT_EQ(weights.size(), 5);
    EXPECT_EQ(weights, wholeWeights);
    EXPECT_EQ(allTexts(gridNow(SheetKind::Cyoukyou, "gridTekiseiRentai")), allTexts(&whole.rentai));

    ASSERT_TRUE(openSheet(SheetKind::Cyoukyou, "二千調教師"));
    EXPECT_EQ(gridNow(SheetKind::Cyoukyou)->rows() - 1, 2000);
    waitForArrival(SheetKind::Cyoukyou);
    const Expected all(SheetKind::Cyoukyou, "二千調教師", "1年以内対象");
    EXPECT_EQ(allTexts(gridNow(SheetKind::Cyoukyou)), allTexts(&all.rireki));
}

// A typed period that names no item has no lower bound: the whole list is read at once and every run counts.
TEST_F(SheetArrivalTest, ATypedPeriodWithNoLowerBoundCountsEveryRunOfALongList)
{
    ASSERT_TRUE(openSheet(SheetKind::Cyoukyou, "長調教師"));
    QComboBox* combo = periodCombo(SheetKind::Cyoukyou);
    combo->lineEdit()->selectAll();
    QTest::sendKeyEvent(QTest::Click, combo->lineEdit(), Qt::Key_unknown, QString("すべて"), Qt::NoModifier);
    ASSERT_EQ(combo->currentText(), "すべて");
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    EXPECT_FALSE(arriving(SheetKind::Cyoukyou)->runsArriving());
    const Expected whole(SheetKind::Cyoukyou, "長調教師", "すべて");
    EXPECT_EQ(allTexts(gridNow(SheetKind::Cyoukyou)), allTexts(&whole.rireki));
    EXPECT_EQ(allTexts(gridNow(SheetKind::Cyoukyou, "gridTekiseiSisuu")), allTexts(&whole.sisuu));
    EXPECT_EQ(allTexts(gridNow(SheetKind::Cyoukyou, "gridTekiseiRentai")), allTexts(&whole.rentai));
}

// The reading goes on in the background: a run of the older years that cannot be read (its race day is no date) is told
// once, after the runs of every newer year have joined the list; the reading ends with its year.
TEST_F(SheetArrivalTest, AnUnreadableOldRunIsToldOnceAfterTheRunsOfTheNewerYears)
{
    const Expected whole(SheetKind::Cyoukyou, "長調教師", "1年以内対象");
    Connection(appPath() + "NAR_data.dat", dbKeyFor(dbPassword))
        .execute("UPDATE T_Rdata SET R_date = '不明' WHERE R_date = ? AND R_no = 1", {kToday.addDays(-550)});  // in 2006
    QStringList listedWhenTold;
    messages.setAnswerer([&](const QString&) {
        listedWhenTold = allTexts(gridNow(SheetKind::Cyoukyou));
        return vbOK;
    });
    ASSERT_TRUE(openSheet(SheetKind::Cyoukyou, "長調教師"));
    ASSERT_TRUE(arriving(SheetKind::Cyoukyou)->runsArriving());
    waitForArrival(SheetKind::Cyoukyou);
    EXPECT_FALSE(arriving(SheetKind::Cyoukyou)->runsArriving());
    QStringList newerYears = allTexts(&whole.rireki);  // days as yy/mm/dd
    newerYears.removeIf([](const QString& row) { return row.startsWith("06/"); });
    EXPECT_EQ(newerYears.size(), 1 + 425 * kPerDay + 1);  // the header, 2007/01/01 to 2008/02/29, あ馬
    EXPECT_EQ(allTexts(gridNow(SheetKind::Cyoukyou)), newerYears);
    EXPECT_EQ(listedWhenTold, newerYears);
    EXPECT_EQ(messages.texts(), QStringList {"Error-frmCyoukyo-1"});
    messages.clear();
}

// Where no thread can be started, a long list is read whole on the window's thread: every run at once, listed as one whole
// read lists them.
TEST_F(SheetArrivalTest, WithoutAThreadToReadOnALongListIsReadWholeAtOnce)
{
    const Expected whole(SheetKind::Cyoukyou, "長調教師", "1年以内対象");
    openDb(slotMain, DataFileKind::NarData);
    std::optional<SheetRunReader> reader;
    withoutNewThreads([&] { reader.emplace(SheetRequest {SheetKind::Cyoukyou, "長調教師", pd.raceZyo, {}, pd.raceDate, 365}); });
    closeDb(slotMain);
    EXPECT_TRUE(reader->complete());
    FlexGrid listed;
    drawSheetGridRireki(listed, SheetKind::Cyoukyou, listedRuns(reader->takeRuns(), pd.raceDate));
    EXPECT_EQ(allTexts(&listed), allTexts(&whole.rireki));
}

// A race code whose year is no two digits falls outside the index's years: that person's list is read whole, with the run.
TEST_F(SheetArrivalTest, ARunWhoseRaceCodeNamesNoYearIsListedAsInOneWholeRead)
{
    Connection c(appPath() + "NAR_data.dat", dbKeyFor(dbPassword));
    c.execute("INSERT INTO T_Rdata (R_code, R_zyo, R_date, R_no) VALUES ('大井ab010101', '大井', ?, 1)", {kToday.addDays(-500)});
    c.execute("INSERT INTO T_Useiseki (R_code, U_name, U_cyoukyou) VALUES ('大井ab010101', '年なし馬', '長調教師')");
    ASSERT_TRUE(openSheet(SheetKind::Cyoukyou, "長調教師"));
    EXPECT_FALSE(arriving(SheetKind::Cyoukyou)->runsArriving());
    const Expected whole(SheetKind::Cyoukyou, "長調教師", "1年以内対象");
    EXPECT_EQ(allTexts(gridNow(SheetKind::Cyoukyou)), allTexts(&whole.rireki));
    EXPECT_EQ(allTexts(gridNow(SheetKind::Cyoukyou)).filter("年なし馬").size(), 1);
}
