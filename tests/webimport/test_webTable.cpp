#include "platform/textcodec.h"
#include "platform/webbrowser.h"
#include "tests/webimport/webImportFixture.h"
#include "webimport/importGuard.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <ctime>

namespace {

QString rows(int count, const QString& cellText = QStringLiteral("x"))
{
    QString s;
    for (int i = 0; i < count; ++i)
        s += QStringLiteral("<tr><td>%1</td></tr>").arg(cellText);
    return s;
}

struct CellTable : ::testing::Test {
    void SetUp() override { clearWebCell(); }
};

TEST_F(CellTable, OnlyTheTwoSpellingsOfEachClosingTagCount)
{
    cutWebTable(QStringLiteral("<tr><td>a</td><TD>b</TD><td>c</Td><td>d</td></tr><TR><td>e</td></TR>"
                               "<tr><td>f</td></Tr><tr><td>g</td></tr>"));
    EXPECT_EQ(cell(1, 1), "a");
    EXPECT_EQ(cell(1, 2), "b");
    EXPECT_EQ(cell(1, 3), "cd");  // "</Td>" is no cell end: c and d share a cell
    EXPECT_EQ(cell(1, 4), "");
    EXPECT_EQ(cell(2, 1), "e");
    EXPECT_EQ(cell(3, 1), "f");  // "</Tr>" is no row end: row 3 runs on to the next "</tr>"
    EXPECT_EQ(cell(3, 2), "g");
    EXPECT_EQ(cell(1, 0), "<tr><td>a</td><TD>b</TD><td>c</Td><td>d</td>");
}

TEST_F(CellTable, CellTextKeepsEntitiesAndBlanksAndJoinsTheTextPieces)
{
    cutWebTable(QStringLiteral("<tr><td class=\"n\" align=right> 1&nbsp;2 </td><td><b>5</b>着</td>"
                               "<td>x>y</td></tr>"));
    EXPECT_EQ(cell(1, 1), " 1&nbsp;2 ");
    EXPECT_EQ(cell(1, 2), "5着");
    EXPECT_EQ(cell(1, 3), "x>yy");  // every ">" copies what follows it up to the next "<"
    // Text standing before a cell's first ">" is lost; a cell end right at the start is passed over.
    clearWebCell();
    cutWebTable(QStringLiteral("lost<td>kept</td></tr></td>late</td></tr>"));
    EXPECT_EQ(cell(1, 1), "kept");
    EXPECT_EQ(cell(2, 1), "late");
}

TEST_F(CellTable, RowsAndCellsBeyondTheTableAreDropped)
{
    QString wide = QStringLiteral("<tr>");
    for (int c = 1; c <= 61; ++c)
        wide += QStringLiteral("<td>%1</td>").arg(c);
    cutWebTable(wide + QStringLiteral("</tr>") + rows(300));
    EXPECT_EQ(cell(1, 60), "60");
    EXPECT_EQ(cell(300, 1), "x");  // the 301st row of the page
    EXPECT_EQ(webCell.ubound(1), 300);
    EXPECT_EQ(webCell.ubound(2), 60);
}

TEST_F(CellTable, TwoClosingRowTagsInARowLeaveOneEmptyRowAndCuttingGoesOn)
{
    cutWebTable(QStringLiteral("<tr><td>a</td></tr></tr><tr><td>b</td></tr><tr><td>c</td></tr>"));
    EXPECT_EQ(cell(1, 1), "a");
    EXPECT_EQ(cell(2, 0), "");
    EXPECT_EQ(cell(3, 1), "b");
    EXPECT_EQ(cell(4, 1), "c");
}

using PageLoader = WebImportTest;

TEST_F(PageLoader, LoadsThePageDecodesItAndRemovesCrLfPairsBeforeCutting)
{
    const QString target = QStringLiteral("/keibaWeb/p.jpf?k_babaCode=20&k_raceNo=11&k_raceDate=2008%2F02%2F15");
    server.addPage(target, toCp932(QStringLiteral("<html><body><table><tr><td>1\r\n2</td><td>3\n4</td>"
                                                  "<td>－&nbsp;</td></tr>\r\n</table></body></html>")));
    ASSERT_TRUE(getWebTable(url(target)));
    EXPECT_EQ(u8(webHtml), "<table><tr><td>12</td><td>3\n4</td><td>－&nbsp;</td></tr></table>");
    EXPECT_EQ(cell(1, 1), "12");
    EXPECT_EQ(cell(1, 2), "3\n4");
    EXPECT_EQ(cell(1, 3), "－&nbsp;");
    EXPECT_EQ(webRow, 301);
    EXPECT_EQ(u8(server.requestLog().join(' ')), u8(target));
    EXPECT_TRUE(shown().empty());
}

TEST_F(PageLoader, AnEmptyBodyGivesAnEmptyTable)
{
    server.addPage("/empty", QByteArray());
    ASSERT_TRUE(getWebTable(url("/empty")));
    EXPECT_EQ(u8(webHtml), "");
    EXPECT_EQ(cell(1, 0), "");
}

// The window that was never shown comes up at the time-out, so Cancel is within reach, and
// the page is asked for anew until it comes; then it goes again, as nobody else would close it.
TEST_F(PageLoader, ATimeOutAsksForThePageAgainWithTheWindowOnScreen)
{
    server.addPage("/slow", "<body><table><tr><td>late</td></tr></table></body>");
    server.setDelayFirstN("/slow", 2, 5000);
    bool onScreenWhileWaiting = false;
    QTimer::singleShot(1500, [&] { onScreenWhileWaiting = dialogWeb().isVisible(); });
    ASSERT_TRUE(getWebTable(url("/slow")));
    EXPECT_EQ(server.requestCount("/slow"), 3);
    EXPECT_EQ(cell(1, 1), "late");
    EXPECT_TRUE(onScreenWhileWaiting);
    ASSERT_TRUE(isDialogWebLoaded());
    EXPECT_FALSE(dialogWeb().isVisible());
    EXPECT_FALSE(pd.webTimeOut);
    EXPECT_TRUE(shown().empty());
}

TEST_F(PageLoader, AWindowTheCallerShowedStaysAfterATimeOut)
{
    server.addPage("/slow", "<body>late</body>");
    server.setDelayFirstN("/slow", 1, 5000);
    dialogWeb().show();
    ASSERT_TRUE(getWebTable(url("/slow")));
    EXPECT_EQ(server.requestCount("/slow"), 2);
    EXPECT_TRUE(dialogWeb().isVisible());
}

TEST_F(PageLoader, AWindowUnloadedDuringTheWaitLoadsThePageInANewOne)
{
    server.addPage("/page", "<body><table><tr><td>ok</td></tr></table></body>");
    server.setDelayFirstN("/page", 1, 3000);
    QTimer::singleShot(100, [] { unloadDialogWeb(); });
    ASSERT_TRUE(getWebTable(url("/page")));
    EXPECT_EQ(cell(1, 1), "ok");
    EXPECT_EQ(server.requestCount("/page"), 2);
}

TEST_F(PageLoader, CancelStopsAServerThatNeverAnswersAcrossRetriesWithoutSpinning)
{
    server.setNeverAnswer("/hung", true);
    dialogWeb().show();
    QTimer::singleShot(2300, [] { dialogWeb().cmdCancel->click(); });
    const std::clock_t cpuBefore = std::clock();
    EXPECT_FALSE(getWebTable(url("/hung")));
    const double cpuSeconds = double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    EXPECT_EQ(shown(), std::vector<std::string> {"キャンセルしました"});
    EXPECT_GE(server.requestCount("/hung"), 2);
    EXPECT_TRUE(pd.webCancel);
    EXPECT_TRUE(dialogWeb().isVisible());
    // A loop that spins would burn the whole 2.3 s of waiting.
    EXPECT_LT(cpuSeconds, 1.0);
}

TEST_F(PageLoader, ACancelLeftSetEndsTheNextLoadAtOnce)
{
    server.addPage("/page", "<body>x</body>");
    pd.webCancel = true;
    EXPECT_FALSE(getWebTable(url("/page")));
    EXPECT_EQ(shown(), std::vector<std::string> {"キャンセルしました"});
}

TEST_F(PageLoader, TheHostIsASettingWithADefault)
{
    EXPECT_EQ(u8(webServerUrl()), u8(QStringLiteral("http://127.0.0.1:%1").arg(server.port())));
    iniWrite(QStringLiteral("System"), QStringLiteral("webHost"), QString());
    EXPECT_EQ(u8(webServerUrl()), "http://localhost");
}

TEST_F(PageLoader, TheCellDumpIsCp932WithCrLfAndWrittenAlsoAfterACancel)
{
    server.addPage("/dump", toCp932(QStringLiteral("<body><table><tr><td>a,b</td><td>－</td></tr>"
                                                   "<tr><td>c</td></tr></table></body>")));
    ASSERT_TRUE(readWebPageToCsv(url("/dump")));
    QFile csv(appDir.filePath("CSV.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    csv.close();
    ASSERT_EQ(lines.size(), 81);  // 80 lines, each ended by CR LF
    EXPECT_EQ(lines[0], QByteArray("a,b,\x81\x7C") + QByteArray(28, ',') + "\r");
    EXPECT_EQ(lines[1], "c" + QByteArray(29, ',') + "\r");
    EXPECT_EQ(lines[79], QByteArray(29, ',') + "\r");

    pd.webCancel = true;
    server.setNeverAnswer("/hung", true);
    ASSERT_TRUE(readWebPageToCsv(url("/hung")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll(), (QByteArray(29, ',') + "\r\n").repeated(80));
}

TEST_F(PageLoader, ADumpThatCannotBeWrittenIsNoSuccess)
{
    server.addPage("/dump", "<body><table><tr><td>a</td></tr></table></body>");
    ASSERT_TRUE(QDir(appDir.path()).mkdir(QStringLiteral("CSV.csv")));  // a folder in the file's place
    EXPECT_FALSE(readWebPageToCsv(url("/dump")));
    EXPECT_EQ(shown(), std::vector<std::string> {"Error-ReadWeb-5"});
}

TEST_F(PageLoader, NoDumpWhileAnotherImportRuns)
{
    server.addPage("/dump", "<body><table><tr><td>a</td></tr></table></body>");
    {
        const ImportGuard running;
        EXPECT_FALSE(readWebPageToCsv(url("/dump")));
        EXPECT_EQ(shown(), std::vector<std::string> {"他の読込みが実行中です。終了してから開始してください"});
        EXPECT_EQ(server.totalRequests(), 0);
        EXPECT_FALSE(QFile::exists(appDir.filePath("CSV.csv")));
    }
    EXPECT_TRUE(readWebPageToCsv(url("/dump")));  // the token is free again
}

TEST_F(PageLoader, TheLoadingWindowLoadsWithItsTimersAndCancelOnlySetsTheFlag)
{
    pd.timerInter = 10;
    pd.webTimeOut = true;
    DialogWeb& dialog = dialogWeb();
    EXPECT_EQ(u8(dialog.windowTitle()), "Webよりデータ読込み中・・・");
    EXPECT_EQ(u8(dialog.lblTitle->text()), "Label1");
    EXPECT_EQ(u8(dialog.cmdCancel->text()), "CANCEL");
    EXPECT_EQ(u8(dialog.font().family()), "IPAPGothic");  // what stands in for "ＭＳ Ｐゴシック"
    EXPECT_FALSE(pd.webTimeOut);
    EXPECT_EQ(dialog.Timer1->interval(), 10000);
    EXPECT_TRUE(dialog.Timer1->isActive());
    EXPECT_EQ(dialog.Timer2->interval(), 200);
    dialog.show();
    dialog.cmdCancel->click();
    EXPECT_TRUE(pd.webCancel);
    EXPECT_TRUE(dialog.isVisible());
    unloadDialogWeb();
    EXPECT_FALSE(isDialogWebLoaded());
}

}
