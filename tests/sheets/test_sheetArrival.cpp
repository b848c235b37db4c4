// A person with more runs than a sheet lists at once: the first screen holds the newest year and the
// period (at least 2,000 runs) with every aptitude value, list and average exact, the rest arrives while the
// user works in the window.
#include "tests/sheets/sheetFixture.h"
#include "tests/sheets/wholeRead.h"
#include "core/dialogSincyoku.h"
#include "sheets/subjectSheet.h"

namespace {
constexpr int kDays = 600, kPerDay = 6;

// 長調教師's runs (jockey 長騎手 in the newest year, 騎手C.. before), six a day for 600 days back from the day
// before the race: in the newest year only at 浦和 and 大井 under 騎手A and 騎手B, before that at six other tracks
// (one race with no track) under six other jockeys; two runners in one old race; two runs after the race day.
void writeLongCareer()
{
    openDb(1, appPath() + "NAR_data.dat", dbPassword);
    DbSlotCloser closer(1);
    DbTransaction t(1);
    const QStringList oldTracks {"川崎", "船橋", "門別", "盛岡", "水沢", "金沢"};
    const auto write = [](const VbDate& day, int no, const QString& zyo, const QString& horse, const QString& kisyu,
                          int taizyu) {
        const QString code = (zyo.isEmpty() ? "無" : zyo) + Format(day, "yymmdd") + Format(no, "00");
        insertRowIfNew(1, "T_Rdata", DbRow().set("R_code", code).set("R_zyo", zyo.isEmpty() ? DbValue() : DbValue(zyo))
                                         .set("R_date", day).set("R_no", no).set("R_name", "長距離戦").set("R_kyori", 1400 + 100 * (no % 3))
                                         .set("R_baba", 1 + no % 4).set("R_tousuu", 12));
        insertRow(1, "T_Useiseki", DbRow().set("R_code", code).set("U_name", horse).set("U_kisyu", kisyu)
                                       .set("U_cyoukyou", "長調教師").set("U_chichi", "長父").set("U_sisuu", 30 + (no * 7 + taizyu) % 40)
                                       .set("U_cyaku", 1 + (taizyu + no) % 12).set("U_taizyu", taizyu).set("U_waku", 1 + no % 8)
                                       .set("U_zougen", no % 9 - 4).set("U_kankaku", 7 * no).set("U_kyakusitu", "先"));
    };
    for (int d = 1; d <= kDays; ++d)
        for (int no = 1; no <= kPerDay; ++no) {
            const bool newest = d < 365;
            const QString zyo = newest ? (d % 2 ? "浦和" : "大井") : d == 500 && no == 1 ? "" : oldTracks[(d + no) % 6];
            const QString kisyu = newest ? (no % 2 ? "騎手A" : "騎手B") : QString("騎手%1").arg(QChar('C' + (d * 7 + no) % 6));
            write(ago(d), no, zyo, QString("馬%1_%2").arg(d).arg(no), kisyu, newest ? 460 + d % 7 : 500);
        }
    write(ago(400), 1, oldTracks[(400 + 1) % 6], "あ馬", "騎手Y", 500);  // before 馬400_1 in the race's order
    write(kToday.addDays(3), 1, "笠松", "後の馬", "騎手Z", 430);
    write(kToday.addDays(9), 2, "笠松", "後の馬", "騎手Z", 431);
    t.commit();
}

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
        writeLongCareer();
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
    EXPECT_EQ(pd.kakoMax, kDays * kPerDay + 1);
    EXPECT_EQ(std::make_tuple(pd.uDate(0, pd.kakoMax), pd.uKisyu(0, 1), pd.uZyo(0, 2191)),
              std::make_tuple(ago(kDays), QString("騎手B"), QString("川崎")));
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
