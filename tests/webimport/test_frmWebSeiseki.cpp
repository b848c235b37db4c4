#include "core/dialogSincyoku.h"
#include "platform/flexgrid.h"
#include "tests/webimport/seisekiFixture.h"
#include "tools/demoSite.h"
#include "webimport/frmWebSeiseki.h"
#include "webimport/importGuard.h"

#include <QComboBox>
#include <QLineEdit>
#include <QDir>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {

constexpr VbDate kDay1(39531);  // 2008-03-24
constexpr VbDate kDay2(39532);  // 2008-03-25

struct SeisekiImport : WebImportTest {
    void SetUp() override
    {
        WebImportTest::SetUp();
        setVbToday(VbDate::fromYmd(2009, 1, 10));
        // The track list, stored out of order, with a row that has no web code.
        execute("Strevin_data.dat", "DELETE FROM MasterZyo");
        execute("Strevin_data.dat", "INSERT INTO MasterZyo (zyoCode, zyoNo, zyoName) VALUES (?, ?, ?), (?, ?, ?), (?, ?, ?), (?, ?, ?)",
                {"19", 3, "船橋", "20", 1, "大井", "", 4, "門別", "21", 2, "川崎"});
        // Two days, three tracks: 大井 races 3 then 1, 川崎 2 then none, 船橋 none then 2. Even races end after their payouts.
        for (const auto& [zyo, code, day, races] : {std::tuple {"大井", "20", kDay1, 3}, {"川崎", "21", kDay1, 2},
                                                    {"大井", "20", kDay2, 1}, {"船橋", "19", kDay2, 2}})
            for (int r = 1; r <= races; ++r)
                server.addPage(resultsPath(code, day, r), r % 2 ? raceOn(zyo, day, r) : withoutFoot(raceOn(zyo, day, r)));
        server.addPage(resultsPath("20", kDay1, 4), seisekiPage("seiseki_none.htm"));
        form = new FrmWebSeiseki;
    }
    void TearDown() override { delete form.data(); WebImportTest::TearDown(); }

    void importRange(const QString& from, const QString& to)
    {
        const QStringList parts = (from + '/' + to).split('/');
        int i = 0;
        for (QComboBox* box : {form->cmbStartNen, form->cmbStartTuki, form->cmbStartHi, form->cmbEndNen, form->cmbEndTuki, form->cmbEndHi})
            box->setCurrentText(parts[i++]);
        form->cmdWebStart->click();
    }

    // Requests from the n-th on; results pages of March 2008 as code.day.race.
    std::string asked(int from = 0) const
    {
        return server.requestLog().mid(from).join(' ').replace(QRegularExpression("/keibaWeb/PageFlows/RaceMarkTable/RaceMark"
            "TableController\\.jpf\\?k_babaCode=(\\d+)&k_raceNo=(\\d+)&k_raceDate=2008%2F03%2F(\\d\\d)"), "\\1.\\3.\\2").toStdString();
    }

    // Stored result races, with their runner count unless 12, then the last imported day.
    static std::string results()
    {
        return QString::fromStdString(stored("SELECT * FROM (SELECT R_code || CASE COUNT(*) WHEN 12 THEN '' ELSE ':' || COUNT(*) END "
            "FROM T_Rdata JOIN T_Useiseki USING (R_code) WHERE R_flag = 'Seiseki' GROUP BY R_code ORDER BY R_code) UNION ALL SELECT "
            "'last ' || LastDate FROM LastDate")).replace('\n', ' ').toStdString();
    }

    QPointer<FrmWebSeiseki> form;
};

// Refused dates ask for nothing. Each day, each track in zyoNo order (none without a code), races from 1 until the first that
// fails; a title that does not parse costs that race only. While it runs, the window is busy and nothing may start or close it.
TEST_F(SeisekiImport, ReadsEachDayTrackAndRaceUntilTheFirstMissingRaceButNeverToday)
{
    importRange("2008/03/25", "2008/03/24");
    importRange("2008/02/31", "2008/03/24");
    importRange("/03/24", "2008/03/24");
    {
        const ImportGuard raceRead;
        importRange("2008/03/24", "2008/03/24");
    }
    server.addPage(resultsPath("20", kDay1, 2), pageWith(raceOn("大井", kDay1, 2), "第2競走", "2競走"));
    execute("NAR_data.dat", "INSERT INTO T_Rdata (R_code, R_zyo, R_date) VALUES (?, ?, ?)", {"船橋08032401", "船橋", kDay1});
    bool sawBusy = false, sawIdle = false, windowMadeAgain = false;
    QPointer<DialogWeb> loadingWindow;  // one for the whole import: a window made anew per page flashes
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!isDialogWebLoaded())
            return;
        windowMadeAgain |= sawBusy && loadingWindow != &dialogWeb();
        loadingWindow = &dialogWeb();
        const bool busy = ImportGuard::busy() && form->isWorking() && !form->cmdWebStart->isEnabled()
            && !form->cmdEnd->isEnabled() && !form->cmdTorikomiGrid->isEnabled() && dialogWeb().isVisible()
            && dialogWeb().parentWidget() == form;
        (busy ? sawBusy : sawIdle) = true;
        form->close();  // refused while the import runs
    });
    watch.start(5);
    importRange("2008/03/24", "2008/03/25");
    watch.stop();

    EXPECT_EQ(asked(), "20.24.1 20.24.2 20.24.3 20.24.4 21.24.1 21.24.2 21.24.3 19.24.1 20.25.1 20.25.2 21.25.1 19.25.1 19.25.2 "
                       "19.25.3");
    EXPECT_EQ(results(), "大井08032401 大井08032403 大井08032501 川崎08032401 川崎08032402 船橋08032501 船橋08032502 last 2008-03-25");
    EXPECT_EQ(shown(), "終了日が開始日より前になっています|開始日と終了日には正しい日付を指定してください|開始日と終了日には正しい日付を"
                       "指定してください|他の読込みが実行中です。終了してから開始してください|成績data変換エラー|2008/03/25まで読込み完了\n"
                       "保存したレース数：7");
    ASSERT_TRUE(form);
    EXPECT_TRUE(sawBusy && !sawIdle && !windowMadeAgain && form->cmdWebStart->isEnabled() && form->cmdEnd->isEnabled()
                && !ImportGuard::busy() && !isDialogWebLoaded());

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
    EXPECT_EQ(asked(before), "20.25.1 21.25.1 19.25.1");
    importRange("2008/03/24", "2008/03/24");
    EXPECT_EQ(results(), "大井08032401 大井08032403 川崎08032401 川崎08032402 last 2008-03-25");
    const FrmWebSeiseki f;  // opens on the last imported day and yesterday
    EXPECT_EQ(joined(f.cmbStartNen->currentText() + f.cmbStartTuki->currentText() + f.cmbStartHi->currentText(), f.cmbEndHi->currentText()),
              "20080325|24");
}

// Cancel keeps what was stored. No answer, unlike "no racing", stops the import naming the server, as does a page whole by its length
// but ending early (storing nothing of its race, named) or a whole one whose rows are short (a finisher, the last bet's amount);
// LastDate moves only over the days read in full.
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
    EXPECT_EQ(results(), "大井08032401 大井08032402 大井08032403 川崎08032401 last 2008-03-01");
    EXPECT_TRUE(form->cmdWebStart->isEnabled() && !ImportGuard::busy());

    messages.clear();
    server.setNeverAnswer(hung, false);
    server.setFaultFirstN(resultsPath("19", kDay2, 2), PageServer::Fault::ServerError, 1000);
    importRange("2008/03/24", "2008/03/26");
    EXPECT_EQ(asked(server.totalRequests() - 4) + " " + shown(), "19.25.1 19.25.2 19.25.2 19.25.2 2008/03/25船橋2Rを読み込めません"
              "でした\nサーバー 127.0.0.1:" + std::to_string(server.port()) + " が応答しません（エラー応答 HTTP 500）\n"
              "2008/03/24まで読込み完了\n保存したレース数：7");
    EXPECT_EQ(results(), "大井08032401 大井08032402 大井08032403 大井08032501 川崎08032401 川崎08032402 船橋08032501 last 2008-03-24");

    messages.clear();
    const QString whole = fromCp932(raceOn("大井", kDay2.addDays(1), 1));
    const QString target = resultsPath("20", kDay2.addDays(1), 1);
    const QString rowEnd = "<td>41.5</td><td>12</td></tr>";
    const QString cut = "2008/03/26大井1Rを読み込めませんでした\nページ " + url(target) + " が途中で切れています\n保存したレース数：0";
    for (const auto& [page, said] : {std::pair {whole.left(whole.indexOf("<td>ユウヒノオカ</td><td>浦和") + 10), cut},
                                     {whole.left(whole.indexOf("<table class=\"foot\">") + 19), cut},
                                     {QString(whole).replace(rowEnd, "</tr>"), cut},
                                     {fromCp932(withoutFoot(toCp932(whole))).remove("<td>12,340円</td><td>5-3-1</td>"), cut},
                                     {whole, "2008/03/26まで読込み完了\n保存したレース数：1"}}) {
        messages.clear();
        server.addPage(target, toCp932(page));
        importRange("2008/03/26", "2008/03/26");
        EXPECT_EQ(joined(stored("SELECT COUNT(*) FROM T_Rdata WHERE R_date = ?", {kDay2.addDays(1)}), shown()),
                  joined(page == whole ? 1 : 0, said));
    }
    EXPECT_EQ(joined(stored("SELECT R_3tan FROM T_Rdata WHERE R_code = '大井08032601'"), results()), "12340|大井08032401 大井08032402 "
              "大井08032403 大井08032501 大井08032601 川崎08032401 川崎08032402 船橋08032501 last 2008-03-26");

    // Against the demo's server a track without racing that day is an answer without data: the import completes.
    const VbDate demoDay = VbDate::fromYmd(2008, 4, 21);
    setVbToday(demoDay);
    DemoSite site(demoDay);
    ASSERT_TRUE(site.listen(0));
    iniWrite("System", "webHost", QStringLiteral("127.0.0.1:%1").arg(site.port()));
    messages.clear();
    const int requests = server.totalRequests();
    importRange("2008/04/20", "2008/04/20");
    EXPECT_EQ(joined(shown(), ImportGuard::busy(), isDialogWebLoaded(), server.totalRequests() - requests, stored("SELECT COUNT(*) FROM "
                     "T_Rdata"), results().substr(results().size() - 15)), "2008/04/20まで読込み完了\n保存したレース数：0|0|0|0|8|last 2008-04-20");
}

}

// A data file that refuses the results (read-only as the user nobody sees it; a trigger that refuses as root too) is told once,
// naming the race, the file and the cause, with the races stored so far; nothing more is asked for and LastDate stays. A day
// without racing read into such a file says that its last day was not stored, and why.
TEST_F(SeisekiImport, ARefusedWriteIsToldOnceAndStopsTheImport)
{
    const QString nar = appDir.filePath("NAR_data.dat");
    execute("NAR_data.dat", "INSERT INTO LastDate VALUES (?)", {VbDate::fromYmd(2008, 3, 1)});
    asNobodyOverReadOnlyFile(nar, [&] { importRange("2008/03/24", "2008/03/25"); });
    EXPECT_EQ(joined(shown(), asked(), results()), joined("2008/03/24大井1Rの成績を保存できませんでした\n成績data書込みエラー\n" + nar
                                                          + "\nファイルが読み取り専用です\n保存したレース数：0", "20.24.1", "last 2008-03-01"));
    messages.clear();
    asNobodyOverReadOnlyFile(nar, [&] { importRange("2008/03/27", "2008/03/27"); });
    EXPECT_EQ(joined(shown(), results()), joined("2008/03/27まで読込み完了\n読込み済みの最終日を保存できませんでした\n" + nar
                                                 + "\nファイルが読み取り専用です\n保存したレース数：0", "last 2008-03-01"));

    messages.clear();
    execute("NAR_data.dat", "CREATE TRIGGER refuse BEFORE INSERT ON T_Rdata WHEN NEW.R_code = '川崎08032402' "
                            "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    const int before = server.totalRequests();
    importRange("2008/03/24", "2008/03/25");
    EXPECT_EQ(joined(shown(), asked(before), results()),
              joined("2008/03/24川崎2Rの成績を保存できませんでした\n成績data書込みエラー\n" + nar + "\nほかのプログラムが使用中か、ディスクの空き"
                     "が足りません\n保存したレース数：4", "20.24.1 20.24.2 20.24.3 20.24.4 21.24.1 21.24.2",
                     "大井08032401 大井08032402 大井08032403 川崎08032401 last 2008-03-01"));
}

// The status grid paints again whatever stops its fill: a race database that does not open (told once, naming the file) or one
// without its race table (the window's own tag and the cause).
TEST_F(SeisekiImport, TheStatusGridPaintsAgainAfterADataFileError)
{
    const QString nar = appDir.filePath("NAR_data.dat");
    form->show();
    ASSERT_TRUE(QFile::rename(nar, nar + ".away") && QDir().mkdir(nar));
    QTest::mouseClick(form->cmdTorikomiGrid, Qt::LeftButton);
    EXPECT_EQ(joined(shown(), form->gridYomikomi->updatesEnabled(), isDialogSincyokuLoaded()),
              joined("dataファイルが開けません\n" + nar + "\nファイルではありません", 1, 0));

    messages.clear();
    ASSERT_TRUE(QDir().rmdir(nar) && QFile::rename(nar + ".away", nar));
    execute("NAR_data.dat", "DROP TABLE T_Rdata");
    QTest::mouseClick(form->cmdTorikomiGrid, Qt::LeftButton);
    EXPECT_EQ(joined(shown(), form->gridYomikomi->updatesEnabled(), form->cmdTorikomiGrid->isEnabled()),
              joined("Error-frmWebSeiseki-5\nデータファイルではないか、パスワードが違います", 1, 1));
}

// A day typed as "3" and left with Tab is the 3rd, not the 30th the completion offers; Enter takes it too.
TEST_F(SeisekiImport, ATypedDayIsTheDayItNames)
{
    form->show();
    QApplication::setActiveWindow(form);
    for (const auto& [box, key] : {std::pair {form->cmbStartHi, Qt::Key_Tab}, {form->cmbEndHi, Qt::Key_Return}}) {
        QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, "3");
        QTest::keyClick(box, key);
        EXPECT_EQ(box->currentText().toStdString(), "03");
    }
}
