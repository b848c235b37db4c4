#include "core/dialogSincyoku.h"
#include "core/publicDim.h"
#include "platform/flexgrid.h"
#include "tests/webimport/seisekiFixture.h"
#include "webimport/dialogWeb.h"
#include "webimport/frmWebSeiseki.h"
#include "webimport/importGuard.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr VbDate kDay1(39531);  // 2008-03-24
constexpr VbDate kDay2(39532);  // 2008-03-25

// Two days, three tracks: 大井 races 3 then 1, 川崎 2 then none, 船橋 none then 2.
struct Meeting {
    const char* zyo;
    const char* code;
    VbDate day;
    int races;
};
constexpr Meeting kCalendar[] = {
    {"大井", "20", kDay1, 3}, {"川崎", "21", kDay1, 2}, {"船橋", "19", kDay1, 0},
    {"大井", "20", kDay2, 1}, {"川崎", "21", kDay2, 0}, {"船橋", "19", kDay2, 2},
};

class SeisekiImport : public SeisekiFolder {
protected:
    void SetUp() override
    {
        SeisekiFolder::SetUp();
        setVbToday(VbDate::fromYmd(2009, 1, 10));
        useTracks();
        for (const Meeting& m : kCalendar)
            for (int r = 1; r <= m.races; ++r)
                server_.addPage(resultsPath(m.code, m.day, r), raceOn(m.zyo, m.day, r));
        // 大井's first day ends with the page the server shows for a race that did not run.
        server_.addPage(resultsPath("20", kDay1, 4), seisekiPage("seiseki_none.htm"));
        form_ = new FrmWebSeiseki;
    }
    void TearDown() override
    {
        delete form_.data();
        setVbToday(VbDate());
    }

    // The track list, stored out of order, with a row that has no web code.
    void useTracks()
    {
        openDb(1, appPath() + "Strevin_data.dat", dbPassword);
        slotConnection(1).execute("DELETE FROM MasterZyo");
        for (const auto& [code, no, name] : {std::tuple {"19", 3, "船橋"}, std::tuple {"20", 1, "大井"},
                                             std::tuple {"", 4, "門別"}, std::tuple {"21", 2, "川崎"}})
            insertRow(1, "MasterZyo", DbRow().set("zyoCode", code).set("zyoNo", no).set("zyoName", name));
        closeDb(1);
    }

    void setLastDate(const VbDate& day)
    {
        openDb(1, appPath() + "NAR_data.dat", dbPassword);
        insertRow(1, "LastDate", DbRow().set("LastDate", day));
        closeDb(1);
    }

    void importRange(const QString& from, const QString& to)
    {
        const QStringList a = from.split('/'), b = to.split('/');
        form_->cmbStartNen->setCurrentText(a[0]);
        form_->cmbStartTuki->setCurrentText(a[1]);
        form_->cmbStartHi->setCurrentText(a[2]);
        form_->cmbEndNen->setCurrentText(b[0]);
        form_->cmbEndTuki->setCurrentText(b[1]);
        form_->cmbEndHi->setCurrentText(b[2]);
        form_->cmdWebStart->click();
    }

    // What the race database holds: result races, runner rows, the last imported day.
    struct Stored {
        QStringList codes;
        int runners = 0;
        QStringList lastDates;
    };
    Stored stored()
    {
        openDb(3, appPath() + "NAR_data.dat", dbPassword);
        Stored s;
        for (RecordSet rs(3, "SELECT R_code FROM T_Rdata WHERE R_flag = ? ORDER BY R_code", {"Seiseki"}); !rs.eof();
             rs.moveNext())
            s.codes << rs["R_code"].toString();
        s.runners = count(3, "SELECT COUNT(*) FROM T_Useiseki");
        for (RecordSet rs(3, "SELECT LastDate FROM LastDate"); !rs.eof(); rs.moveNext())
            s.lastDates << rs["LastDate"].toDate().toDbText();
        closeDb(3);
        return s;
    }

    QPointer<FrmWebSeiseki> form_;
};

QStringList paths(std::initializer_list<std::tuple<const char*, VbDate, int>> races)
{
    QStringList list;
    for (const auto& [code, day, r] : races)
        list << resultsPath(code, day, r);
    return list;
}

}

TEST_F(SeisekiImport, ReadsEachDayTrackAndRaceUntilTheFirstMissingRace)
{
    // Watch the window while the pages load.
    bool sawBusy = false, sawIdle = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!isDialogWebLoaded())
            return;
        const bool busy = ImportGuard::busy() && form_->isWorking() && !form_->cmdWebStart->isEnabled()
            && !form_->cmdEnd->isEnabled() && !form_->cmdTorikomiGrid->isEnabled()
            && dialogWeb().isVisible() && dialogWeb().parentWidget() == form_;
        (busy ? sawBusy : sawIdle) = true;
        form_->close();  // refused while the import runs
    });
    watch.start(5);
    importRange("2008/03/24", "2008/03/25");
    watch.stop();

    EXPECT_EQ(server_.requestLog(),
              paths({{"20", kDay1, 1}, {"20", kDay1, 2}, {"20", kDay1, 3}, {"20", kDay1, 4}, {"21", kDay1, 1},
                     {"21", kDay1, 2}, {"21", kDay1, 3}, {"19", kDay1, 1}, {"20", kDay2, 1}, {"20", kDay2, 2},
                     {"21", kDay2, 1}, {"19", kDay2, 1}, {"19", kDay2, 2}, {"19", kDay2, 3}}));
    const Stored s = stored();
    EXPECT_EQ(s.codes, (QStringList {"大井08032401", "大井08032402", "大井08032403", "大井08032501", "川崎08032401",
                                     "川崎08032402", "船橋08032501", "船橋08032502"}));
    EXPECT_EQ(s.runners, 8 * 12);
    EXPECT_EQ(s.lastDates, QStringList {"2008-03-25"});
    EXPECT_EQ(msgs_.texts(), QStringList {"2008/03/25まで読込み完了"});

    ASSERT_TRUE(form_);
    EXPECT_TRUE(sawBusy);
    EXPECT_FALSE(sawIdle);
    EXPECT_TRUE(form_->cmdWebStart->isEnabled());
    EXPECT_TRUE(form_->cmdEnd->isEnabled());
    EXPECT_FALSE(ImportGuard::busy());
    EXPECT_FALSE(isDialogWebLoaded());
}

TEST_F(SeisekiImport, CancelWhenTheServerStopsAnsweringKeepsWhatWasStored)
{
    setLastDate(VbDate::fromYmd(2008, 3, 1));
    const QString hung = resultsPath("21", kDay1, 2);
    server_.setNeverAnswer(hung, true);
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        if (server_.requestCount(hung) > 0 && isDialogWebLoaded())
            dialogWeb().cmdCancel->click();
    });
    cancel.start(20);
    importRange("2008/03/24", "2008/03/25");
    cancel.stop();

    EXPECT_EQ(msgs_.texts(), QStringList {"キャンセルしました"});
    EXPECT_EQ(server_.requestLog().last(), hung);
    const Stored s = stored();
    EXPECT_EQ(s.codes, (QStringList {"大井08032401", "大井08032402", "大井08032403", "川崎08032401"}));
    EXPECT_EQ(s.runners, 4 * 12);
    EXPECT_EQ(s.lastDates, QStringList {"2008-03-01"});
    EXPECT_TRUE(form_->cmdWebStart->isEnabled());
    EXPECT_FALSE(ImportGuard::busy());
}

TEST_F(SeisekiImport, AnUnreadableTitleCostsOnlyThatRace)
{
    server_.addPage(resultsPath("20", kDay1, 2),
                    pageWith(raceOn("大井", kDay1, 2), QStringLiteral("第2競走"), QStringLiteral("2競走")));
    importRange("2008/03/24", "2008/03/24");
    EXPECT_EQ(msgs_.texts(), (QStringList {"成績data変換エラー", "2008/03/24まで読込み完了"}));
    EXPECT_EQ(server_.requestCount(resultsPath("20", kDay1, 4)), 1);
    EXPECT_EQ(stored().codes.mid(0, 3), (QStringList {"大井08032401", "大井08032403", "川崎08032401"}));
}

TEST_F(SeisekiImport, DatesThatCannotBeImported)
{
    setLastDate(VbDate::fromYmd(2008, 3, 1));
    importRange("2008/03/25", "2008/03/24");
    EXPECT_EQ(msgs_.texts(), QStringList {"終了日が開始日より前になっています"});
    msgs_.clear();
    importRange("2008/02/31", "2008/03/24");
    EXPECT_EQ(msgs_.texts(), QStringList {"開始日と終了日には正しい日付を指定してください"});
    msgs_.clear();
    importRange("/03/24", "2008/03/24");
    EXPECT_EQ(msgs_.texts(), QStringList {"開始日と終了日には正しい日付を指定してください"});
    EXPECT_EQ(server_.totalRequests(), 0);
    EXPECT_EQ(stored().lastDates, QStringList {"2008-03-01"});
}

TEST_F(SeisekiImport, AnotherImportRunningRefusesTheStart)
{
    const ImportGuard raceRead;
    ASSERT_TRUE(raceRead.acquired());
    EXPECT_FALSE(ImportGuard().acquired());
    importRange("2008/03/24", "2008/03/24");
    EXPECT_EQ(msgs_.texts(), QStringList {"他の読込みが実行中です。終了してから開始してください"});
    EXPECT_EQ(server_.totalRequests(), 0);
}

TEST_F(SeisekiImport, LastDateNeverMovesBackAndTodayIsNeverStored)
{
    setLastDate(VbDate::fromYmd(2008, 4, 1));
    importRange("2008/03/24", "2008/03/24");
    Stored s = stored();
    EXPECT_EQ(s.codes.size(), 5);
    EXPECT_EQ(s.lastDates, QStringList {"2008-04-01"});

    // Today's races are there but may change: each track ends at its first race.
    setVbToday(kDay2);
    const int before = server_.totalRequests();
    importRange("2008/03/25", "2008/03/25");
    EXPECT_EQ(server_.requestLog().mid(before), paths({{"20", kDay2, 1}, {"21", kDay2, 1}, {"19", kDay2, 1}}));
    EXPECT_EQ(stored().codes.size(), 5);
}

TEST_F(SeisekiImport, OpensWithTheLastImportedDayAndYesterday)
{
    delete form_.data();
    setVbToday(VbDate::fromYmd(2009, 1, 1));
    FrmWebSeiseki empty;
    EXPECT_EQ(empty.cmbStartNen->currentText(), "");
    EXPECT_EQ(empty.cmbEndNen->currentText() + empty.cmbEndTuki->currentText() + empty.cmbEndHi->currentText(),
              "20081231");

    setLastDate(VbDate::fromYmd(2008, 3, 20));
    FrmWebSeiseki form;
    EXPECT_EQ(form.cmbStartNen->currentText() + form.cmbStartTuki->currentText() + form.cmbStartHi->currentText(),
              "20080320");
    EXPECT_EQ(form.cmbYomiNen->count(), 5);
    EXPECT_EQ(form.cmbYomiNen->itemText(0), "2005");
    EXPECT_EQ(form.cmbYomiNen->currentText(), "2009");
    EXPECT_EQ(form.cmbStartTuki->count(), 12);
    EXPECT_EQ(form.cmbStartHi->itemText(30), "31");
    EXPECT_EQ(form.windowTitle(), "競争成績読込み");
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(SeisekiImport, StatusGridCountsStoredResultRacesPerDayAndTrack)
{
    openDb(1, appPath() + "NAR_data.dat", dbPassword);
    for (const auto& [code, zyo, day, flag] :
         {std::tuple {"大井08032401", "大井", kDay1, "Seiseki"}, std::tuple {"大井08032402", "大井", kDay1, "Seiseki"},
          std::tuple {"大井08032403", "大井", kDay1, "Seiseki"}, std::tuple {"川崎08032401", "川崎", kDay1, "Seiseki"},
          std::tuple {"船橋08032401", "船橋", kDay1, ""}, std::tuple {"荒尾08032501", "荒尾", kDay2, "Seiseki"},
          std::tuple {"大井07123101", "大井", VbDate::fromYmd(2007, 12, 31), "Seiseki"}})
        insertRow(1, "T_Rdata", DbRow().set("R_code", code).set("R_zyo", zyo).set("R_date", day).set("R_flag", flag));
    closeDb(1);
    setVbToday(VbDate::fromYmd(2008, 3, 26));
    delete form_.data();
    form_ = new FrmWebSeiseki;
    FlexGrid& grid = *form_->gridYomikomi;

    form_->cmdTorikomiGrid->click();
    EXPECT_TRUE(form_->txtYmikomi->isHidden());
    EXPECT_FALSE(isDialogSincyokuLoaded());
    EXPECT_EQ(grid.rows(), 87);  // 26 March back to 1 January, and the header
    EXPECT_EQ(grid.cols(), 19);
    EXPECT_EQ(grid.textMatrix(0, 1), "門別");
    EXPECT_EQ(grid.textMatrix(0, 18), "荒尾");
    EXPECT_EQ(grid.textMatrix(1, 0), "03/26（水）");
    EXPECT_TRUE(grid.cellFontBold(1, 0) && grid.cellFontUnderline(1, 0));
    EXPECT_EQ(grid.cellForeColor(1, 0), 0xFF0000u);
    EXPECT_EQ(grid.textMatrix(3, 0), "03/24（月）");
    EXPECT_EQ(grid.textMatrix(3, 8), "3");
    EXPECT_EQ(grid.textMatrix(3, 9), "1");
    EXPECT_EQ(grid.textMatrix(3, 7), "");  // a history row is no result
    EXPECT_EQ(grid.textMatrix(2, 18), "1");
    EXPECT_EQ(grid.textMatrix(86, 0), "01/01（火）");

    form_->cmbYomiNen->setCurrentText("2007");
    emit form_->cmbYomiNen->activated(form_->cmbYomiNen->currentIndex());
    EXPECT_EQ(grid.rows(), 366);
    EXPECT_EQ(grid.textMatrix(1, 0), "12/31（月）");
    EXPECT_EQ(grid.textMatrix(1, 8), "1");
    EXPECT_TRUE(msgs_.texts().isEmpty());
}
