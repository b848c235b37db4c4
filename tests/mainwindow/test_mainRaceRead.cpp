#include "admin/kanriZyunkai.h"
#include "tests/mainwindow/frmMainFixture.h"
#include "webimport/ReadWeb.h"

#include <QElapsedTimer>

namespace {

struct RaceRead : MainWindowTest {
    void SetUp() override
    {
        MainWindowTest::SetUp();
        openForm();
    }
    void select(const QStringList& texts)
    {
        for (int i = 0; i < 5; ++i)
            control<QComboBox>(QStringLiteral("cmbSelRace_%1").arg(i))->setCurrentText(texts[i]);
    }
    static int storedRuns(const VbDate& from, const VbDate& to)
    {
        openDbOrThrow(0, appPath() + "NAR_data.dat", dbPassword);
        const DbSlotCloser closer(0);
        return RecordSet(0, "SELECT COUNT(*) FROM T_Useiseki u JOIN T_Rdata r ON r.R_code = u.R_code WHERE r.R_date >= ? AND r.R_date <= ?",
                         {from, to}).field(0).toInt();
    }
    std::string raceShown() const
    {
        return QStringList({pd.raceCode, QString::number(pd.tousuu), pd.uName(1), pd.uName(12),
                            control<QLabel>("lblRaceInfo")->text()}).join('|').toStdString();
    }
};

const QString card = "出走表読込み中";

}

// The address takes race "01", the date as the selectors write it and a literal "%2F"; the loading
// window names every page; a runner whose history address is missing is passed at once, and told.
// The card and every even runner's history end right after their last part, without a foot.
TEST_F(RaceRead, AddressLoadingLabelsAndTheRaceShown)
{
    DemoRace early {VbDate::fromYmd(2008, 2, 5)};
    early.raceNo = 1;
    serveRace(early);
    for (int h = 2; h <= early.runners; h += 2)
        server.addPage(demoHistoryTarget(h), withoutFoot(demoHistory(early, h)), "text/html; charset=Shift_JIS");
    QByteArray page = withoutFoot(demoCard(early));
    page.replace(demoHistoryTarget(12).toLatin1(), "/nowhere");
    server.addPage(demoCardTarget(early), page.replace("href=\"/nowhere\"", ""), "text/html; charset=Shift_JIS");
    for (int h = 1; h <= early.runners; ++h)
        server.setDelayFirstN(demoHistoryTarget(h), 1, 20);
    select({"2008", "02", "05", "大井", "01"});
    QStringList labels;  // every text the loading window shows, once each time it changes
    const auto recorder = whenever([&labels] {
        if (isDialogWebLoaded() && dialogWeb().isVisible() && (labels.isEmpty() || labels.last() != dialogWeb().lblTitle->text()))
            labels << dialogWeb().lblTitle->text();
        return false;
    });
    pressRead();
    EXPECT_EQ(std::tuple(shown(), server.totalRequests(), server.requestLog().value(0), pd.uUrl(12)),
              std::tuple("マツリバヤシの成績を読込めませんでした：成績ページのアドレスがありません", 12,
                         "/keibaWeb/PageFlows/DebaTable/DebaTableController.jpf?k_babaCode=20&k_raceNo=01&k_raceDate=2008%2F02%2F05", QString()));
    EXPECT_EQ(std::tuple(labels.size(), labels.value(0), labels.value(3), labels.last().left(6)),
              std::tuple(12LL, card, "03/12 " + demoHorseName(3) + "成績読込み中・・・", QString("11/12 ")));
    EXPECT_EQ(raceShown(), "大井08020501|12|アサカゼスター|マツリバヤシ|Ｃ２六組特別\n"
                           "2008年2月5日（火）　大井　第1競走　ダート　1400ｍ　天候：晴　馬場：良");
    EXPECT_EQ(storedRuns(VbDate::fromYmd(2005, 1, 1), VbDate::fromYmd(2008, 2, 4)), 11 * 26);
    EXPECT_EQ(std::tuple(isDialogWebLoaded(), isDialogSincyokuLoaded(), tabs()->isEnabled(), form->isBusy(), shownPageControls()),
              std::tuple(false, false, true, false, QStringList({"gridSyuxtusouHyou"})));
}

// Cancel during runner 3's page keeps the runs of runners 1 and 2; the debug read shows the same race from
// temp/; typed garbage and a card that is not there say so, or under the administration window only
// turn raceExists False.
TEST_F(RaceRead, CancelNoCardAndTheDebugTestRead)
{
    pressRead();
    ASSERT_EQ(shown(), "");
    const std::string before = raceShown();
    DemoRace next {VbDate::fromYmd(2008, 3, 25)};
    next.daysBetweenRuns = 7;
    serveRace(next);
    server.setNeverAnswer(demoHistoryTarget(3), true);
    select({"2008", "03", "25", "大井", "11"});
    const auto canceller = whenever([] {
        if (!isDialogWebLoaded() || !dialogWeb().lblTitle->text().startsWith("03/12"))
            return false;
        QTest::mouseClick(dialogWeb().cmdCancel, Qt::LeftButton);
        return true;
    });
    pressRead();
    EXPECT_EQ(std::pair(shown(), raceShown()), std::pair(std::string("キャンセルしました|キャンセルしました"), before));
    EXPECT_EQ(std::tuple(storedRuns(VbDate::fromYmd(2008, 3, 1), VbDate::fromYmd(2008, 3, 24)), isDialogWebLoaded(),
                         tabs()->isEnabled(), control("cmdRaceRead")->isEnabled()),
              std::tuple(2 * 3, false, true, true));
    for (int h = 0; h <= race.runners; ++h)
        writeTestFile(appDir.filePath(h ? QString("temp/%1.htm").arg(h) : "temp/raceMatrix.htm"), h ? demoHistory(race, h) : demoCard(race));
    const int requests = server.totalRequests();
    messages.clear();
    form.reset();
    debugMode = true;
    openForm();
    debugMode = false;
    QTest::mouseClick(control<QPushButton>("cmdTest"), Qt::LeftButton);
    EXPECT_EQ(std::tuple(raceShown(), pd.kakoMax, server.totalRequests(), tabs()->isEnabled(), shown()),
              std::tuple(before, 100, requests, true, std::string()));
    select({"2008", "03", "24", "xx", "11"});
    pressRead();
    EXPECT_EQ(std::tuple(shown(), raceShown(), isDialogWebLoaded()), std::tuple("指定した出走表はありません", before, false));
    EXPECT_TRUE(server.requestLog().contains(
        "/keibaWeb/PageFlows/DebaTable/DebaTableController.jpf?k_babaCode=&k_raceNo=11&k_raceDate=2008%2F03%2F24"));
    QWidget frmKanri;
    frmKanri.setObjectName("frmKanri");
    messages.clear();
    pd.raceExists = true;
    form->starRaceRead();
    EXPECT_EQ(std::tuple(pd.raceExists, shown(), raceShown()), std::tuple(false, std::string(), before));
    // A batch read that finds its race predicts it and leaves the window as it was.
    server.setNeverAnswer(demoHistoryTarget(3), false);
    select({"2008", "03", "25", "大井", "11"});
    const QString label = control<QLabel>("lblRaceInfo")->text();
    EXPECT_EQ(std::tuple(form->starRaceRead() == RaceReadOutcome::Read, pd.tousuu, control<QLabel>("lblRaceInfo")->text(), shown()),
              std::tuple(true, 12, label, std::string()));
}

// A second press, a tab click and a batch call while the card is pending change nothing.
TEST_F(RaceRead, NothingReentersWhileAPageIsPending)
{
    pressRead();
    clickTab("対戦表");
    const int tab = tabs()->currentIndex();
    server.setDelayFirstN(demoCardTarget(race), 1, 300);
    bool checked = false;
    const auto meddler = whenever([&] {
        if (!isDialogWebLoaded() || dialogWeb().lblTitle->text() != card)
            return false;
        EXPECT_TRUE(form->isBusy() && dialogWeb().cmdCancel->isEnabled());
        pressRead();
        clickTab("コース");
        form->starRaceRead();
        EXPECT_EQ(std::pair(tabs()->currentIndex(), isDialogSincyokuLoaded()), std::pair(tab, false));
        return checked = true;
    });
    pressRead();
    EXPECT_EQ(std::tuple(checked, server.requestCount(demoCardTarget(race)), tabs()->currentIndex(), form->isBusy(), shown()),
              std::tuple(true, 2, tab, false, std::string()));
}

// A history page that does not come ends the read: one message naming the server (or the page cut short every time) and the runners
// read, no later page asked for, the race shown and its pages as they were; so does a card cut short. A page answered without any
// history goes on.
TEST_F(RaceRead, APageThatDoesNotComeEndsTheReadAndKeepsTheRaceShown)
{
    pressRead();
    ASSERT_EQ(shown(), "");
    pd.timerInter = 1;
    clickTab("予想・適性");
    const auto screen = [this] {
        const auto* grid = control<FlexGrid>("gridYosou");
        QString cells;
        for (int r = 0; r < grid->rows(); ++r)
            cells += grid->textMatrix(r, 1) + grid->textMatrix(r, 3);
        return std::tuple(raceShown(), cells, tabs()->currentIndex(), tabs()->isEnabled(), isDialogWebLoaded(), form->isBusy());
    };
    const auto before = screen();
    DemoRace next {VbDate::fromYmd(2008, 3, 25)};
    next.daysBetweenRuns = 7;
    serveRace(next);
    select({"2008", "03", "25", "大井", "11"});
    for (int h = 4; h <= next.runners; ++h)
        server.setNeverAnswer(demoHistoryTarget(h), true);
    pressRead();
    EXPECT_EQ(shown(), "12頭中3頭の成績を読込んだところで読込みを中止しました\nサーバー 127.0.0.1:" + std::to_string(server.port())
                           + " が応答しません（1秒以内に応答がありません）");
    // Each history page was asked for once by the first read.
    EXPECT_EQ(std::tuple(server.requestCount(demoHistoryTarget(4)), server.requestCount(demoHistoryTarget(5)), screen()),
              std::tuple(1 + 3, 1, before));

    messages.clear();
    for (int h = 4; h <= next.runners; ++h)
        server.setNeverAnswer(demoHistoryTarget(h), false);
    server.setFaultFirstN(demoHistoryTarget(6), PageServer::Fault::CutBody, 1000);
    pressRead();
    EXPECT_EQ(shown(), "12頭中5頭の成績を読込んだところで読込みを中止しました\nページ " + server.baseUrl().toStdString()
                           + demoHistoryTarget(6).toStdString() + " が途中で切れています");
    EXPECT_EQ(std::tuple(server.requestCount(demoHistoryTarget(6)), server.requestCount(demoHistoryTarget(7)), screen()),
              std::tuple(1 + 3, 1, before));

    messages.clear();
    server.setFaultFirstN(demoCardTarget(next), PageServer::Fault::CutBody, 1000);
    pressRead();
    EXPECT_EQ(shown(), "指定した出走表はありません\nページ " + server.baseUrl().toStdString() + demoCardTarget(next).toStdString()
                           + " が途中で切れています");
    EXPECT_EQ(std::tuple(server.requestCount(demoCardTarget(next)), screen()), std::tuple(2 + 3, before));  // two earlier reads

    messages.clear();
    server.setFaultFirstN(demoCardTarget(next), PageServer::Fault::None, 0);
    server.setFaultFirstN(demoHistoryTarget(6), PageServer::Fault::None, 0);
    server.addFile(demoHistoryTarget(6), "horse_none.htm");
    pressRead();
    EXPECT_EQ(std::tuple(shown(), pd.raceCode, control<QLabel>("lblRaceInfo")->text().contains("3月25日")),
              std::tuple("出走履歴が見つかりません", QString("大井08032511"), true));
}

// A race read whose data file cannot be opened says so once, not once per runner nor again in the pages it fills after an
// earlier read, and still shows the race; a batch read whose card does not come is a failed read (the batch reports it), not
// a race that does not exist.
TEST_F(RaceRead, AnUnopenableDataFileIsToldOnceAndABatchCardThatDoesNotComeFails)
{
    for (const QString file : {"NAR_data.dat", "Strevin_data.dat"}) {
        ASSERT_TRUE(QFile::rename(appDir.filePath(file), appDir.filePath("away.dat")));
        messages.clear();
        pressRead();
        EXPECT_EQ(std::tuple(messages.firstLines(), messages.texts().value(0).contains(file), pd.tousuu),
                  std::tuple(QStringList {"dataファイルが開けません"}, true, 12)) << file.toStdString();
        EXPECT_TRUE(control<QLabel>("lblRaceInfo")->text().startsWith("Ｃ２六組特別\n2008年3月24日"));
        ASSERT_TRUE(QFile::rename(appDir.filePath("away.dat"), appDir.filePath(file)));
    }

    messages.clear();
    pd.timerInter = 1;
    QWidget frmKanri;
    frmKanri.setObjectName("frmKanri");
    pd.raceExists = true;
    server.setFaultFirstN(demoCardTarget(race), PageServer::Fault::ServerError, 1000);
    EXPECT_EQ(std::tuple(form->starRaceRead() == RaceReadOutcome::Failed, pd.raceExists, shown(), webLoadFailure.reason),
              std::tuple(true, true, std::string(), QString("エラー応答 HTTP 500")));
}

// Past runs the race database refuses (a read-only file, as the user nobody sees it; a trigger that refuses every runner's row, as it
// does for root too) are told once per read, naming the file and the cause; the race is shown all the same: it was read. A run stored
// already is passed over in silence.
TEST_F(RaceRead, RefusedPastRunsAreToldOnceNamingTheFileAndCause)
{
    const QString nar = appDir.filePath("NAR_data.dat"), said = "過去成績を保存できませんでした\n" + nar + "\n";
    const auto runnerRows = [] { return storedRuns(VbDate::fromYmd(2000, 1, 1), VbDate::fromYmd(2008, 3, 23)); };
    asNobodyOverReadOnlyFile(nar, [&] { pressRead(); });
    const auto raceOnScreen = [this] {
        return (pd.raceCode + '|' + QString::number(pd.tousuu) + '|'
                + (control<QLabel>("lblRaceInfo")->text().startsWith("Ｃ２六組特別\n2008年3月24日") ? "true" : "false")).toStdString();
    };
    EXPECT_EQ(std::tuple(messages.texts(), runnerRows(), raceOnScreen()),
              std::tuple(QStringList {said + "ファイルが読み取り専用です"}, 0, std::string("大井08032411|12|true")));

    openDbOrThrow(0, nar, dbPassword);
    slotConnection(0).execute("CREATE TRIGGER refuse BEFORE INSERT ON T_Useiseki BEGIN SELECT RAISE(ABORT, 'refused'); END");
    closeDb(0);
    messages.clear();
    pressRead();
    EXPECT_EQ(std::tuple(messages.texts(), runnerRows(), raceOnScreen()),
              std::tuple(QStringList {said + "ほかのプログラムが使用中か、ディスクの空きが足りません"}, 0, std::string("大井08032411|12|true")));

    openDbOrThrow(0, nar, dbPassword);
    slotConnection(0).execute("DROP TRIGGER refuse");
    closeDb(0);
    for (const int read : {1, 2}) {
        messages.clear();
        pressRead();
        EXPECT_EQ(std::tuple(shown(), runnerRows() > 0), std::tuple(std::string(), true)) << read;
    }
}

// A server that refuses the connection is given up after short pauses, not after the wait setting: at 30 s the read ends long before
// one wait, saying so. A server that takes the connection and stays silent is asked again only when the wait has passed.
TEST_F(RaceRead, ARefusedConnectionEndsTheReadAtOnceAndASilentServerGetsTheWholeWait)
{
    pd.timerInter = 30;
    const std::string port = std::to_string(server.port());
    server.stop();
    QElapsedTimer clock;
    clock.start();
    pressRead();
    EXPECT_LT(clock.elapsed(), 15000);
    EXPECT_EQ(shown(), "指定した出走表はありません\nサーバー 127.0.0.1:" + port + " が応答しません（接続を拒否されました）");

    messages.clear();
    ASSERT_TRUE(server.start());
    iniWrite("System", "webHost", QStringLiteral("127.0.0.1:%1").arg(server.port()));
    pd.timerInter = 5;
    server.setNeverAnswer(demoCardTarget(race), true);
    int askedBeforeTheWait = 0;
    QTimer::singleShot(2500, [&] {
        askedBeforeTheWait = server.requestCount(demoCardTarget(race));
        dialogWeb().cmdCancel->click();
    });
    pressRead();
    EXPECT_EQ(std::tuple(askedBeforeTheWait, shown()), std::tuple(1, std::string("キャンセルしました")));
}

// Typed into a selector and left with Tab, a number that names an item exactly is that item, not the longer one the completion
// offers ("1" is race 01, not 10; month "3" is 03); a text that names no item keeps the completion ("大" is 大井). The read asks for
// the race typed.
TEST_F(RaceRead, ATypedNumberIsTheItemItNamesNotTheLongerCompletion)
{
    DemoRace first {race.date};
    first.raceNo = 1;
    serveRace(first);
    QApplication::setActiveWindow(form.get());
    const auto type = [this](int box, const QString& text) {
        auto* combo = control<QComboBox>(QStringLiteral("cmbSelRace_%1").arg(box));
        QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
        QTest::keyClick(combo, Qt::Key_A, Qt::ControlModifier);
        for (const QChar c : text)  // as an input method sends it: the character, no key of its own
            QTest::sendKeyEvent(QTest::Click, combo, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::keyClick(combo, Qt::Key_Tab);
        return combo->currentText();
    };
    EXPECT_EQ(QStringList({type(4, "1"), type(1, "3"), type(2, "2"), type(2, "24"), type(3, "大")}),
              QStringList({"01", "03", "02", "24", "大井"}));
    pressRead();
    EXPECT_EQ(std::tuple(server.requestLog().value(0), pd.raceCode), std::tuple(demoCardTarget(first), QString("大井08032401")));
}
