#include "platform/textcodec.h"
#include "tests/webimport/webImportFixture.h"
#include "webimport/importGuard.h"

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <ctime>

namespace {

// Cells 1.. of every row, rows joined by "/", without the blank cells and rows at the end.
std::string tableRows()
{
    QStringList rows;
    for (int r = 1; r <= webCell.ubound(1); ++r) {
        QStringList cells;
        for (int c = 1; c <= webCell.ubound(2); ++c)
            cells << webCell(r, c);
        rows << cells.join(u'|').remove(QRegularExpression("\\|+$"));
    }
    return rows.join(u'/').remove(QRegularExpression("/+$")).toStdString();
}

TEST(CellTable, RowsAndCellsEndOnlyAtTheirExactClosingTags)
{
    const std::pair<const char*, const char*> cases[] = {
        // "</Td>" and "</Tr>" end nothing.
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
    QString wide = QStringLiteral("<tr>");
    for (int c = 1; c <= 61; ++c)
        wide += QStringLiteral("<td>%1</td>").arg(c);
    cutWebTable(wide + QStringLiteral("</tr>") + QStringLiteral("<tr><td>x</td></tr>").repeated(300));
    EXPECT_EQ(joined(webCell(1, 60), webCell(300, 1), webCell.ubound(1), webCell.ubound(2)), "60|x|300|60");
}

using PageLoader = WebImportTest;

// The query's "%2F" reaches the server unchanged; CR LF pairs go before cutting.
TEST_F(PageLoader, LoadsThePageDecodesItAndRemovesCrLfPairsBeforeCutting)
{
    const QString target = QStringLiteral("/keibaWeb/p.jpf?k_babaCode=20&k_raceNo=11&k_raceDate=2008%2F02%2F15");
    server.addPage(target, toCp932(QStringLiteral("<html><body><table><tr><td>1\r\n2</td><td>3\n4</td>"
                                                  "<td>－&nbsp;</td></tr>\r\n</table></body></html>")));
    ASSERT_TRUE(getWebTable(url(target)));
    EXPECT_EQ(joined(webHtml, tableRows(), server.requestLog().join(' ')),
              joined("<table><tr><td>12</td><td>3\n4</td><td>－&nbsp;</td></tr></table>", "12|3\n4|－&nbsp;", target));
    iniWrite("System", "webHost", QString());
    EXPECT_EQ(webServerUrl(), "http://localhost");
}

// At the time-out the window comes up (Cancel in reach) and the page is asked for anew; then it goes.
TEST_F(PageLoader, ATimeOutAsksForThePageAgainWithTheWindowOnScreen)
{
    server.addPage("/slow", "<body><table><tr><td>late</td></tr></table></body>");
    server.setDelayFirstN("/slow", 2, 5000);
    bool onScreenWhileWaiting = false;
    QTimer::singleShot(1500, [&] { onScreenWhileWaiting = dialogWeb().isVisible(); });
    ASSERT_TRUE(getWebTable(url("/slow")));
    ASSERT_TRUE(isDialogWebLoaded());
    EXPECT_EQ(joined(server.requestCount("/slow"), webCell(1, 1), onScreenWhileWaiting, pd.webTimeOut,
                     dialogWeb().isVisible(), shown()), "3|late|1|0|0|");
    // A window unloaded during the wait: the page is asked for again in a new one.
    server.addPage("/gone", "<body>ok</body>");
    server.setDelayFirstN("/gone", 1, 3000);
    QTimer::singleShot(100, [] { unloadDialogWeb(); });
    EXPECT_TRUE(getWebTable(url("/gone")) && server.requestCount("/gone") == 2);
}

// A transfer that fails is never parsed: it is asked for again when the time-out comes, with the window on screen, and the
// whole page that then comes is the one cut.
TEST_F(PageLoader, AFailedTransferIsAskedForAgainAndNeverCut)
{
    const QByteArray whole = "<body><table><tr><td>r1</td></tr><tr><td>r2</td><td>end</td></tr></table>"
        + QByteArray(2000, ' ') + "</body>";
    for (const auto fault : {PageServer::Fault::ShortBody, PageServer::Fault::ServerError, PageServer::Fault::Reset}) {
        const QString target = QStringLiteral("/f%1").arg(int(fault));
        server.addPage(target, whole);
        server.setFaultFirstN(target, fault, fault == PageServer::Fault::Reset ? 2 : 1);
        clearWebCell();
        bool onScreenWhileWaiting = false;
        QTimer::singleShot(500, [&] { onScreenWhileWaiting = isDialogWebLoaded() && dialogWeb().isVisible(); });
        ASSERT_TRUE(getWebTable(url(target))) << int(fault);
        EXPECT_EQ(joined(tableRows(), onScreenWhileWaiting, webLoadFailure.failed(), shown()), "r1/r2|end|1|0|") << int(fault);
        EXPECT_GE(server.requestCount(target), 2);
        unloadDialogWeb();
    }
}

// A server that does not answer is given up after three attempts: nothing is cut or said, the host is named.
TEST_F(PageLoader, AServerThatDoesNotAnswerIsGivenUpAndNamed)
{
    server.addPage("/down", "<body><table><tr><td>x</td></tr></table></body>");
    server.setFaultFirstN("/down", PageServer::Fault::ServerError, 1000);
    EXPECT_FALSE(getWebTable(url("/down")));
    EXPECT_EQ(joined(server.requestCount("/down"), tableRows(), webLoadFailure.host.toStdString(),
                     webLoadFailure.reason.contains("500"), shown(), pd.webCancel),
              joined(3, QString(), QStringLiteral("127.0.0.1:%1").arg(server.port()), true, QString(), false));
    server.setNeverAnswer("/hung", true);
    EXPECT_FALSE(getWebTable(url("/hung")));
    EXPECT_EQ(joined(server.requestCount("/hung"), webLoadFailure.reason), "3|1秒以内に応答がありません");

    PageServer closed;
    ASSERT_TRUE(closed.start());
    const QString refused = closed.baseUrl() + "/page", refusingHost = QStringLiteral("127.0.0.1:%1").arg(closed.port());
    closed.stop();
    EXPECT_FALSE(getWebTable(refused));
    EXPECT_TRUE(webLoadFailure.failed() && !webLoadFailure.reason.isEmpty());
    EXPECT_EQ(webLoadFailure.host, refusingHost);
}

// A loop that spins would burn the whole 2.3 s of waiting. A cancel left set ends the next load.
TEST_F(PageLoader, CancelStopsAServerThatNeverAnswersAcrossRetriesWithoutSpinning)
{
    server.setNeverAnswer("/hung", true);
    dialogWeb().show();
    QTimer::singleShot(2300, [] { dialogWeb().cmdCancel->click(); });
    const std::clock_t cpuBefore = std::clock();
    EXPECT_FALSE(getWebTable(url("/hung")));
    EXPECT_LT(double(std::clock() - cpuBefore) / CLOCKS_PER_SEC, 1.0);
    EXPECT_TRUE(server.requestCount("/hung") >= 2 && pd.webCancel && dialogWeb().isVisible());
    server.addPage("/page", "<body>x</body>");
    EXPECT_FALSE(getWebTable(url("/page")));
    EXPECT_EQ(shown(), "キャンセルしました|キャンセルしました");
    // Wide enough for its whole caption beside the title bar's icon and buttons.
    EXPECT_GE(dialogWeb().width(), QFontMetrics(QApplication::font()).horizontalAdvance(dialogWeb().windowTitle()) + 100);
}

// A dump is refused while another import runs, and one that cannot be written is no success.
TEST_F(PageLoader, TheCellDumpIsCp932WithCrLfWrittenAlsoAfterACancelAndNeverAFalseSuccess)
{
    server.addPage("/dump", toCp932(QStringLiteral("<body><table><tr><td>a,b</td><td>－</td></tr>"
                                                   "<tr><td>c</td></tr></table></body>")));
    const QByteArray blank = QByteArray(29, ',') + "\r\n";
    for (const QByteArray& expected : {"a,b,\x81\x7C" + QByteArray(28, ',') + "\r\nc" + blank + blank.repeated(78),
                                       blank.repeated(80)}) {
        ASSERT_TRUE(readWebPageToCsv(url("/dump")));
        QFile csv(appDir.filePath("CSV.csv"));
        ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
        EXPECT_EQ(csv.readAll(), expected);
        pd.webCancel = true;
    }
    pd.webCancel = false;
    // A page the server did not give is said so; the empty table is written as after a cancel.
    server.setFaultFirstN("/dump", PageServer::Fault::NotFound, 1000);
    ASSERT_TRUE(readWebPageToCsv(url("/dump")));
    server.setFaultFirstN("/dump", PageServer::Fault::None, 0);
    {
        QFile csv(appDir.filePath("CSV.csv"));
        EXPECT_TRUE(csv.open(QIODevice::ReadOnly) && csv.readAll() == blank.repeated(80));
    }
    const std::string notGiven = "ページを読み込めませんでした\nサーバー 127.0.0.1:" + std::to_string(server.port())
        + " が応答しません（HTTP 404 Not Found）";
    ASSERT_TRUE(QFile::remove(appDir.filePath("CSV.csv")) && QDir(appDir.path()).mkdir("CSV.csv"));
    EXPECT_FALSE(readWebPageToCsv(url("/dump")));
    const int requests = server.totalRequests();
    const ImportGuard running;
    EXPECT_FALSE(readWebPageToCsv(url("/dump")));
    EXPECT_EQ(joined(server.totalRequests() - requests, shown()),
              "0|キャンセルしました|" + notGiven + "|Error-ReadWeb-5|他の読込みが実行中です。終了してから開始してください");
}

}
