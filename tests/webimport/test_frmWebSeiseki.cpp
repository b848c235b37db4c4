#include "core/dialogSincyoku.h"
#include "platform/flexgrid.h"
#include "tests/webimport/seisekiFixture.h"
#include "tools/demoSite.h"
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

struct SeisekiImport : WebImportTest {
    void SetUp() override
    {
        WebImportTest::SetUp();
        createData();
        setVbToday(VbDate::fromYmd(2009, 1, 10));
        // The track list, stored out of order, with a row that has no web code.
        execute("Strevin_data.dat", "DELETE FROM MasterZyo");
        execute("Strevin_data.dat", "INSERT INTO MasterZyo (zyoCode, zyoNo, zyoName) VALUES (?, ?, ?), (?, ?, ?), (?, ?, ?), (?, ?, ?)",
                {"19", 3, "船橋", "20", 1, "大井", "", 4, "門別", "21", 2, "川崎"});
        // Two days, three tracks: 大井 races 3 then 1, 川崎 2 then none, 船橋 none then 2.
        for (const auto& [zyo, code, day, races] : {std::tuple {"大井", "20", kDay1, 3}, {"川崎", "21", kDay1, 2},
                                                    {"大井", "20", kDay2, 1}, {"船橋", "19", kDay2, 2}})
            for (int r = 1; r <= races; ++r)
                server.addPage(resultsPath(code, day, r), raceOn(zyo, day, r));
        // 大井's first day ends with the page the server shows for a race that did not run.
        server.addPage(resultsPath("20", kDay1, 4), seisekiPage("seiseki_none.htm"));
        form = new FrmWebSeiseki;
    }
    void TearDown() override { delete form.data(); WebImportTest::TearDown(); }

    void importRange(const QString& from, const QString& to)
    {
        const QStringList a = from.split('/'), b = to.split('/');
        QComboBox* const boxes[] = {form->cmbStartNen, form->cmbStartTuki, form->cmbStartHi,
                                    form->cmbEndNen,   form->cmbEndTuki,   form->cmbEndHi};
        for (int i = 0; i < 6; ++i)
            boxes[i]->setCurrentText((i < 3 ? a : b)[i % 3]);
        form->cmdWebStart->click();
    }

    // Stored result races with their runners, then the last imported day.
    static std::string results()
    {
        return stored("SELECT * FROM (SELECT R_code || ':' || COUNT(*) FROM T_Rdata JOIN T_Useiseki USING (R_code) WHERE "
                      "R_flag = 'Seiseki' GROUP BY R_code ORDER BY R_code) UNION ALL SELECT 'last ' || LastDate FROM LastDate");
    }

    QPointer<FrmWebSeiseki> form;
};

QStringList paths(std::initializer_list<std::tuple<const char*, VbDate, int>> races)
{
    QStringList list;
    for (const auto& [code, day, r] : races)
        list << resultsPath(code, day, r);
    return list;
}

// Refused dates ask for nothing. Each day, each track in zyoNo order (none without a code), races from 1 until the first that
// fails; a title that does not parse costs that race only. While it runs, the window is busy and nothing may start or close it.
TEST_F(SeisekiImport, ReadsEachDayTrackAndRaceUntilTheFirstMissingRaceButNeverToday)
{
    importRange("2008/03/25", "2008/03/24");
    importRange("2008/02/31", "2008/03/24");
    importRange("/03/24", "2008/03/24");
    {
        const ImportGuard raceRead;
        EXPECT_TRUE(raceRead.acquired() && !ImportGuard().acquired());
        importRange("2008/03/24", "2008/03/24");
    }
    server.addPage(resultsPath("20", kDay1, 2), pageWith(raceOn("大井", kDay1, 2), "第2競走", "2競走"));
    execute("NAR_data.dat", "INSERT INTO T_Rdata (R_code, R_zyo, R_date) VALUES (?, ?, ?)", {"船橋08032401", "船橋", kDay1});
    bool sawBusy = false, sawIdle = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!isDialogWebLoaded())
            return;
        const bool busy = ImportGuard::busy() && form->isWorking() && !form->cmdWebStart->isEnabled()
            && !form->cmdEnd->isEnabled() && !form->cmdTorikomiGrid->isEnabled() && dialogWeb().isVisible()
            && dialogWeb().parentWidget() == form;
        (busy ? sawBusy : sawIdle) = true;
        form->close();  // refused while the import runs
    });
    watch.start(5);
    importRange("2008/03/24", "2008/03/25");
    watch.stop();

    EXPECT_EQ(server.requestLog(),
              paths({{"20", kDay1, 1}, {"20", kDay1, 2}, {"20", kDay1, 3}, {"20", kDay1, 4}, {"21", kDay1, 1},
                     {"21", kDay1, 2}, {"21", kDay1, 3}, {"19", kDay1, 1}, {"20", kDay2, 1}, {"20", kDay2, 2},
                     {"21", kDay2, 1}, {"19", kDay2, 1}, {"19", kDay2, 2}, {"19", kDay2, 3}}));
    EXPECT_EQ(results(), "大井08032401:12\n大井08032403:12\n大井08032501:12\n川崎08032401:12\n川崎08032402:12\n"
                         "船橋08032501:12\n船橋08032502:12\nlast 2008-03-25");
    EXPECT_EQ(shown(), "終了日が開始日より前になっています|開始日と終了日には正しい日付を指定してください|開始日と終了日には正しい日付を"
                       "指定してください|他の読込みが実行中です。終了してから開始してください|成績data変換エラー|2008/03/25まで読込み完了\n"
                       "保存したレース数：7");
    ASSERT_TRUE(form);
    EXPECT_TRUE(sawBusy && !sawIdle && form->cmdWebStart->isEnabled() && form->cmdEnd->isEnabled());
    EXPECT_FALSE(ImportGuard::busy() || isDialogWebLoaded());

    // The grid of 2008: a row per day from 31 December back (24 March is row 283), result races per track (a history row is none).
    form->cmbYomiNen->setCurrentText("2008");
    form->cmdTorikomiGrid->click();
    const FlexGrid& g = *form->gridYomikomi;
    EXPECT_TRUE(form->txtYmikomi->isHidden() && !isDialogSincyokuLoaded());
    QStringList cells;
    for (int r : {0, 1, 283, 282})
        cells << g.textMatrix(r, 0) + ":" + g.textMatrix(r, 7) + "," + g.textMatrix(r, 8) + "," + g.textMatrix(r, 9);
    EXPECT_EQ(joined(g.rows(), g.cols(), g.textMatrix(0, 1), cells.join(' ')),
              "367|19|門別|:船橋,大井,川崎 12/31（水）:,, 03/24（月）:,2,2 03/25（火）:2,1,");

    // LastDate never moves back. Today's races may change: each track ends at its first, and nothing is stored.
    execute("NAR_data.dat", "DELETE FROM T_Useiseki WHERE R_code LIKE '%080325%'");
    setVbToday(kDay2);
    const int before = server.totalRequests();
    importRange("2008/03/25", "2008/03/25");
    EXPECT_EQ(server.requestLog().mid(before), paths({{"20", kDay2, 1}, {"21", kDay2, 1}, {"19", kDay2, 1}}));
    importRange("2008/03/24", "2008/03/24");
    EXPECT_EQ(results(), "大井08032401:12\n大井08032403:12\n川崎08032401:12\n川崎08032402:12\nlast 2008-03-25");
    const FrmWebSeiseki f;  // opens on the last imported day and yesterday
    EXPECT_EQ(joined(f.cmbStartNen->currentText() + f.cmbStartTuki->currentText() + f.cmbStartHi->currentText(), f.cmbEndHi->currentText()),
              "20080325|24");
}

// Cancel while the server does not answer keeps what was stored. "No racing" is an answer; no answer is not: the import stops at
// the first page the server did not give, names the server, and LastDate moves only over the days read in full.
TEST_F(SeisekiImport, CancelAndARangeWhoseServerDidNotAnswerAreNotComplete)
{
    execute("NAR_data.dat", "INSERT INTO LastDate VALUES (?)", {VbDate::fromYmd(2008, 3, 1)});
    const QString hung = resultsPath("21", kDay1, 2);
    server.setNeverAnswer(hung, true);
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        if (server.requestCount(hung) > 0 && isDialogWebLoaded())
            dialogWeb().cmdCancel->click();
    });
    cancel.start(20);
    importRange("2008/03/24", "2008/03/25");
    cancel.stop();
    EXPECT_EQ(joined(shown(), server.requestLog().last() == hung), "キャンセルしました|1");
    EXPECT_EQ(results(), "大井08032401:12\n大井08032402:12\n大井08032403:12\n川崎08032401:12\nlast 2008-03-01");
    EXPECT_TRUE(form->cmdWebStart->isEnabled() && !ImportGuard::busy());

    messages.clear();
    server.setNeverAnswer(hung, false);
    const QString failing = resultsPath("19", kDay2, 2);
    server.setFaultFirstN(failing, PageServer::Fault::ServerError, 1000);
    importRange("2008/03/24", "2008/03/26");
    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.port());
    EXPECT_EQ(joined(server.requestLog().mid(server.requestLog().size() - 4).join(' '), shown()),
              joined(QStringList {resultsPath("19", kDay2, 1), failing, failing, failing}.join(' '),
                     "2008/03/25船橋2Rを読み込めませんでした\nサーバー " + host + " が応答しません（HTTP 500 Internal Server Error）\n"
                     "2008/03/24まで読込み完了\n保存したレース数：7"));
    EXPECT_EQ(results(), "大井08032401:12\n大井08032402:12\n大井08032403:12\n大井08032501:12\n川崎08032401:12\n"
                         "川崎08032402:12\n船橋08032501:12\nlast 2008-03-24");

    // A page that came whole by its length but ends inside its runner table stops the import too.
    messages.clear();
    const QByteArray page = raceOn("大井", kDay2.addDays(1), 1);
    server.addPage(resultsPath("20", kDay2.addDays(1), 1), page.left(page.indexOf("<tr><td>5</td>")));
    importRange("2008/03/26", "2008/03/26");
    EXPECT_EQ(shown(), "2008/03/26大井1Rの成績ページが途中で切れていました\n保存したレース数：0");
    EXPECT_TRUE(results().ends_with("\nlast 2008-03-24"));
}

// Against the demo's server a track without racing that day is an answer without data: the import completes.
TEST_F(SeisekiImport, AgainstTheDemoSiteADayWithoutRacingAtATrackIsReadToTheEnd)
{
    DemoRace race;
    race.date = VbDate::fromYmd(2008, 4, 21);
    setVbToday(race.date);
    DemoSite site(race);
    ASSERT_TRUE(site.listen(0));
    iniWrite("System", "webHost", QStringLiteral("127.0.0.1:%1").arg(site.port()));
    for (const QString day : {Format(race.date.addDays(-1), "yyyy/mm/dd"), Format(demoLastRaceDate(race).addDays(-1), "yyyy/mm/dd")}) {
        messages.clear();
        importRange(day, day);
        EXPECT_EQ(shown(), day.toStdString() + "まで読込み完了\n保存したレース数：0");
        EXPECT_FALSE(ImportGuard::busy() || isDialogWebLoaded());
    }
    EXPECT_EQ(joined(server.totalRequests(), stored("SELECT COUNT(*) FROM T_Rdata"), results()),
              joined(0, 0, "last " + race.date.addDays(-1).toDbText()));
}

}
