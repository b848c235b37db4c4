#include "platform/textcodec.h"
#include "tests/webimport/webImportFixture.h"

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <ctime>
#include <limits>

namespace {

// Cells 1.. of every row, rows joined by "/", without the blank cells and rows at the end.
std::string tableRows()
{
    QString all;
    for (int r = 1; r <= webCell.ubound(1); ++r)
        for (int c = 1; c <= webCell.ubound(2); ++c)
            all += webCell(r, c) + (c < webCell.ubound(2) ? "|" : "/");
    return all.remove(QRegularExpression("\\|+(?=/)")).remove(QRegularExpression("/+$")).toStdString();
}

TEST(CellTable, RowsAndCellsEndOnlyAtTheirExactClosingTagsAndRaceCodesAsThePatternsWriteThem)
{
    const std::pair<const char*, const char*> cases[] = {
        {"<tr><td>a</td><TD>b</TD><td>c</Td><td>d</td></tr><TR><td>e</td></TR><tr><td>f</td></Tr><tr><td>g</td></tr>",
         "a|b|cd/e/f|g"},
        // Entities and blanks stay; a ">" in text or a quoted attribute value ends no tag.
        {"<tr><td class=\"n\" align=right> 1&nbsp;2 </td><td><b>5</b>着</td><td>x>y</td>"
         "<td title=\"a>b\"><a href=\"?q=>\">7</a>R</td></tr>", " 1&nbsp;2 |5着|x>y|7R"},
        {"lost<td>kept</td></tr></td>late</td></tr>", "kept/late"},
        {"<tr><td>a</td></tr></tr><tr><td>b</td></tr><tr><td>c</td></tr>", "a//b/c"},
    };
    for (const auto& [html, rows] : cases) {
        clearWebCell();
        cutWebTable(QString::fromUtf8(html));
        EXPECT_EQ(tableRows(), rows) << html;
    }
    EXPECT_EQ(webCell(1, 0), "<tr><td>a</td>");
    // The 61st cell and the 301st row of a page are dropped.
    QString wide;
    for (int c = 1; c <= 61; ++c)
        wide += QStringLiteral("<td>%1</td>").arg(c);
    cutWebTable("<tr>" + wide + "</tr>" + QStringLiteral("<tr><td>x</td></tr>").repeated(300));
    EXPECT_EQ(joined(webCell(1, 60), webCell(300, 1), webCell.ubound(1), webCell.ubound(2)), "60|x|300|60");
    const VbDate day = VbDate::fromYmd(2008, 3, 24);
    EXPECT_EQ(joined(makeRaceCode("大井", day, 11), makeRaceCode("浦和", VbDate::fromYmd(2000, 1, 5), 0),
                     makeRaceCode("船橋", VbDate::fromYmd(1999, 12, 31), 99), makeRaceCode("川崎", VbDate(), 1),
                     makeRaceCode("高知", day, 100), makeRaceCode("佐賀", day, -1)),
              "大井08032411|浦和00010500|船橋99123199|川崎01|高知080324100|佐賀080324-01");
}

// The loading window shown over an owner goes with it, whether the owner is closed or destroyed: nothing is left that
// a later read would reach, the next read gets a window of its own, and an unload after it is harmless.
TEST(LoadingWindow, GoesWithItsOwnerAndLeavesNothingBehind)
{
    for (const bool byClose : {true, false}) {
        auto* owner = new QWidget;
        owner->setAttribute(Qt::WA_DeleteOnClose, byClose);
        owner->show();
        showDialogWebOver(owner, "01/12");
        const QPointer<DialogWeb> shown = &dialogWeb();
        EXPECT_TRUE(shown->parentWidget() == owner && shown->isVisible());
        if (byClose) {
            owner->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        } else {
            delete owner;
        }
        EXPECT_EQ(std::pair(shown.isNull(), isDialogWebLoaded()), std::pair(true, false)) << byClose;
        showDialogWebOver(nullptr, "02/12");
        EXPECT_EQ(std::tuple(dialogWeb().lblTitle->text(), dialogWeb().parentWidget(), dialogWeb().isVisible()),
                  std::tuple(QString("02/12"), static_cast<QWidget*>(nullptr), true));
        unloadDialogWeb();
        EXPECT_FALSE(isDialogWebLoaded());
    }
}

using PageLoader = WebImportTest;

// "%2F" reaches the server unchanged; CR LF pairs go before cutting. A page late twice or whose transfer fails is asked for again at
// the time-out with the window (and Cancel) on screen; only the whole page is cut, and the window goes, or comes back if unloaded.
TEST_F(PageLoader, LoadsDecodesAndAsksAgainForALateOrFailedPageWithTheWindowOnScreen)
{
    const QString target = QStringLiteral("/keibaWeb/p.jpf?k_babaCode=20&k_raceNo=11&k_raceDate=2008%2F02%2F15");
    server.addPage(target, toCp932(QStringLiteral("<html><body><table><tr><td>1\r\n2</td><td>3\n4</td>"
                                                  "<td>－&nbsp;</td></tr>\r\n</table></body></html>")));
    ASSERT_TRUE(getWebTable(url(target)));
    EXPECT_EQ(joined(webHtml, tableRows(), server.requestLog().join(' ')),
              joined("<table><tr><td>12</td><td>3\n4</td><td>－&nbsp;</td></tr></table>", "12|3\n4|－&nbsp;", target));
    using F = PageServer::Fault;
    const QByteArray whole = "<body><table><tr><td>r1</td></tr><tr><td>r2</td><td>end</td></tr></table>"
        + QByteArray(2000, ' ') + "</body>";
    for (const auto& [fault, requests] : {std::pair {F::None, 3}, {F::ShortBody, 2}, {F::ServerError, 2}, {F::Reset, 3}}) {
        const QString target = QStringLiteral("/f%1").arg(int(fault));
        server.addPage(target, whole);
        fault == F::None ? server.setDelayFirstN(target, 2, 5000) : server.setFaultFirstN(target, fault, fault == F::Reset ? 2 : 1);
        clearWebCell();
        bool onScreenWhileWaiting = false;
        QTimer::singleShot(fault == F::None ? 1500 : 500, [&] { onScreenWhileWaiting = dialogWeb().isVisible(); });
        ASSERT_TRUE(getWebTable(url(target))) << int(fault);
        EXPECT_EQ(joined(tableRows(), server.requestCount(target), onScreenWhileWaiting, webLoadFailure.failed(), pd.webTimeOut,
                         dialogWeb().isVisible(), shown()), joined("r1/r2|end", requests, "1|0|0|0|")) << int(fault);
    }
    server.addPage("/gone", "<body>ok</body>");
    server.setDelayFirstN("/gone", 1, 3000);
    QTimer::singleShot(100, [] { unloadDialogWeb(); });
    EXPECT_TRUE(getWebTable(url("/gone")) && server.requestCount("/gone") == 2);
    iniWrite("System", "webHost", QString());
    EXPECT_EQ(webServerUrl(), "http://localhost");
}

// No answer or a refusal is given up after three attempts, silently, the host named. Cancel ends the wait without spinning (which
// burns the 2.3 s), and the next load if left set. The CP932 cell dump (CR LF, 80 x 30) is empty after a cancel or a page not
// given (said so); one that cannot be written is no success.
TEST_F(PageLoader, AServerThatDoesNotAnswerIsGivenUpOrCancelledAndTheCellDumpIsNeverAFalseSuccess)
{
    server.setNeverAnswer("/hung", true);
    EXPECT_FALSE(getWebTable(url("/hung")));
    EXPECT_EQ(joined(server.requestCount("/hung"), tableRows(), webLoadFailure.reason, pd.webCancel), "3||1秒以内に応答がありません|0");
    // A file that cannot be read is given up at once, named, without bringing the window up to wait.
    bool waited = false;
    QTimer::singleShot(300, [&] { waited = isDialogWebLoaded() && dialogWeb().isVisible(); });
    const QString missing = appDir.filePath("temp/raceMatrix.htm");
    EXPECT_FALSE(getWebTable(missing));
    QTest::qWait(400);
    EXPECT_EQ(joined(webLoadFailure.text(), waited), joined("ファイル " + missing + " を読めません（ファイルがありません）", "0"));

    dialogWeb().show();
    QTimer::singleShot(2300, [] { dialogWeb().cmdCancel->click(); });
    const std::clock_t cpuBefore = std::clock();
    EXPECT_FALSE(getWebTable(url("/hung")));
    EXPECT_LT(double(std::clock() - cpuBefore) / CLOCKS_PER_SEC, 1.0);
    EXPECT_TRUE(server.requestCount("/hung") >= 5 && pd.webCancel && dialogWeb().isVisible());
    // Wide enough for its whole caption beside the title bar's icon and buttons.
    EXPECT_GE(dialogWeb().width(), QFontMetrics(QApplication::font()).horizontalAdvance(dialogWeb().windowTitle()) + 100);

    server.addPage("/dump", toCp932(QStringLiteral("<body><table><tr><td>a,b</td><td>－</td></tr><tr><td>c</td></tr></table></body>")));
    const QByteArray blank = QByteArray(29, ',') + "\r\n";
    const auto dumped = [&] {
        QFile csv(appDir.filePath("CSV.csv"));
        return readWebPageToCsv(url("/dump")) && csv.open(QIODevice::ReadOnly) ? csv.readAll() : QByteArray("failed");
    };
    EXPECT_EQ(dumped(), blank.repeated(80));
    pd.webCancel = false;
    EXPECT_EQ(dumped(), "a,b,\x81\x7C" + QByteArray(28, ',') + "\r\nc" + blank + blank.repeated(78));
    server.setFaultFirstN("/dump", PageServer::Fault::NotFound, 1000);
    EXPECT_EQ(dumped(), blank.repeated(80));
    server.setFaultFirstN("/dump", PageServer::Fault::None, 0);
    ASSERT_TRUE(QFile::remove(appDir.filePath("CSV.csv")) && QDir(appDir.path()).mkdir("CSV.csv"));
    EXPECT_FALSE(readWebPageToCsv(url("/dump")));
    const QString refused = url("/dump");
    server.stop();
    EXPECT_FALSE(getWebTable(refused));
    EXPECT_TRUE("http://" + webLoadFailure.host + "/dump" == refused && webLoadFailure.reason == "接続を拒否されました");
    EXPECT_EQ(shown(), "キャンセルしました|キャンセルしました|ページを読み込めませんでした\nサーバー " + webLoadFailure.host.toStdString()
                           + " が応答しません（エラー応答 HTTP 404）|Error-ReadWeb-5\n同じ名前のフォルダがあります");
}

// Any time-out setting is counted without overflow: the largest is what a timer counts in milliseconds, none of zero or less is
// the default.
TEST_F(PageLoader, AnyTimeOutSettingIsCountedWithoutOverflow)
{
    for (const auto& [setting, seconds] : {std::pair {std::numeric_limits<int>::max(), std::numeric_limits<int>::max() / 1000},
                                           {std::numeric_limits<int>::min(), 5}, {0, 5}, {30, 30}}) {
        pd.timerInter = setting;
        dialogWeb().formLoad();
        EXPECT_EQ(joined(webTimeOutSeconds(), dialogWeb().Timer1->interval()), joined(seconds, seconds * 1000)) << setting;
    }
}

}
