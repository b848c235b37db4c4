#include "tests/support/lhaTool.h"
#include "tests/webimport/seisekiFixture.h"
#include "webimport/ReadWebSeiseki.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>

namespace {

// Where a page can be cut: after every line, and inside every table row (in its first cell, just
// after that cell's end tag, and half-way to the row's line end).
QList<qsizetype> cutPoints(const QByteArray& page)
{
    QList<qsizetype> points;
    for (qsizetype i = page.indexOf('\n'); i >= 0; i = page.indexOf('\n', i + 1))
        points << i + 1;
    for (qsizetype row = page.indexOf("<tr"); row >= 0; row = page.indexOf("<tr", row + 1)) {
        const qsizetype lineEnd = page.indexOf('\n', row) < 0 ? page.size() : page.indexOf('\n', row);
        const qsizetype cellEnd = page.indexOf("</td>", row);
        points << (row + lineEnd) / 2;
        if (cellEnd > row && cellEnd < lineEnd)
            points << cellEnd - 1 << cellEnd + 5;
    }
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    points.removeAll(page.size());
    return points;
}

// Every place before or after a table's or a row's tag, where a page can end and still be closed
// properly.
QList<qsizetype> boundaries(const QByteArray& page)
{
    QList<qsizetype> points;
    const QByteArray lower = page.toLower();
    for (const QByteArray open : {"<table", "<tr"})
        for (qsizetype at = lower.indexOf(open); at >= 0; at = lower.indexOf(open, at + 1))
            points << at;
    for (const QByteArray close : {"</table>", "</tr>"})
        for (qsizetype at = lower.indexOf(close); at >= 0; at = lower.indexOf(close, at + 1))
            points << at + close.size();
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}

// The page up to `cut`, then every table it left open closed and its end tags: a page that ends
// early and still looks whole.
QByteArray closedAt(const QByteArray& page, qsizetype cut)
{
    QByteArray closed = page.left(cut);
    const QByteArray lower = closed.toLower();
    for (qsizetype open = lower.count("<table") - lower.count("</table"); open > 0; --open)
        closed += "</table>";
    return closed + "\r\n</body></html>\r\n";
}

// Every prefix of the page, as it ends at each cut point and as it ends closed properly at each
// table and row boundary.
QList<QByteArray> shortPages(const QByteArray& page)
{
    QList<QByteArray> pages;
    for (const qsizetype cut : cutPoints(page))
        pages << page.left(cut);
    for (const qsizetype cut : boundaries(page))
        pages << closedAt(page, cut);
    return pages;
}

// What a reader made of one page: "" when it took nothing from it (nothing in the shared race
// state, nothing stored), else the race as it took it.
using Reader = std::function<std::string(const QString& url)>;

struct CutPages : WebImportTest {
    QTemporaryDir pages;

    void SetUp() override
    {
        WebImportTest::SetUp();
        ASSERT_TRUE(pages.isValid());
        messages.clear();
    }

    // What the reader stored, then removed for the next page; "0||0" when nothing.
    static std::string takeStored()
    {
        const std::string races = stored("SELECT COUNT(*), GROUP_CONCAT(R_code) FROM T_Rdata") + "|" + stored("SELECT COUNT(*) FROM T_Useiseki");
        if (races != "0||0") {
            execute("NAR_data.dat", "DELETE FROM T_Rdata");
            execute("NAR_data.dat", "DELETE FROM T_Useiseki");
        }
        return races;
    }

    std::string card(const QString& url) const
    {
        clearRace();
        const bool read = readSyuxtubaPage(url);
        if (webLoadFailure.failed())
            return pd.tousuu == 0 && pd.raceTitle.isEmpty() ? "" : "a failed card left runners";
        if (!read)
            return "no card";
        QString names;
        for (int k = 1; k <= pd.tousuu; ++k)
            names += pd.uName(k) + pd.uUrl(k).right(10);
        return joined(pd.raceCode, pd.tousuu, names, takeStored());
    }

    std::string history(const QString& url) const
    {
        clearRace();
        std::tie(pd.raceDate, pd.kakoKikan, pd.umaIdx, pd.tousuu, pd.uName(1)) = std::tuple(VbDate::fromYmd(2008, 3, 24), 5000, 1, 1, "ハヤテ");
        const bool read = readUmaRirekiPage(url);
        int runs = 0;
        while (runs < pd.kakoMax && !pd.uDate(1, runs + 1).isZero())
            ++runs;
        const std::string store = takeStored();
        if (!read)
            return runs == 0 && store == "0||0" ? "" : "a failed history left runs";
        return joined(runs, store);
    }

    static std::string results(const QString& url)
    {
        openDb(1, appPath() + "Strevin_data.dat", dbPassword);
        openDb(2, appPath() + "NAR_data.dat", dbPassword);
        const SeisekiPage page = readSeisekiPage(url);
        closeDb(1);
        closeDb(2);
        const std::string store = takeStored();
        if (page == SeisekiPage::LoadFailed)
            return store == "0||0" ? "" : "a failed page was stored";
        return joined(int(page), store);
    }

    Reader readerOf(const QString& file)
    {
        if (file.startsWith("racecard"))
            return [this](const QString& url) { return card(url); };
        if (file.startsWith("horse"))
            return [this](const QString& url) { return history(url); };
        return [](const QString& url) { return results(url); };
    }
};

// Every sample page cut at every line end and inside every row, each prefix a whole file, and cut at
// every table and row boundary with its tables and its body then closed: the reader takes the race
// the whole page gives or nothing, and then the load names the page as cut, with no other word. The
// page's own end tags of rows and cells may be missing; those of its tables may not, and a page that
// closes properly but stops short of what it holds is no whole page either.
TEST_F(CutPages, EveryPrefixOfEverySamplePageGivesTheWholeRaceOrNothingAndSaysSo)
{
    setVbToday(VbDate::fromYmd(2008, 6, 1));
    const QStringList files = QDir(QStringLiteral(BRENNOCK_PAGES_DIR)).entryList({"*.htm"}, QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 20);
    // The data files stay open between the reads, as in a race read.
    const DbConnectionKeeper connections;
    int prefixes = 0;
    for (const QString& file : files) {
        const QByteArray page = samplePage(file);
        const Reader read = readerOf(file);
        const QString url = pages.filePath(file);
        // A page without any table row is no page of the server: the reader's answer to an empty one.
        writeTestFile(url, "<html><body></body></html>");
        const std::string none = read(url);
        writeTestFile(url, page);
        const std::string whole = read(url);
        messages.clear();
        // Only the cut sample is no page at all.
        EXPECT_EQ(whole.empty(), file == "racecard_truncated.htm") << file.toStdString();
        for (const QByteArray& shortPage : shortPages(page)) {
            writeTestFile(url, shortPage);
            const std::string got = read(url);
            const bool said = webLoadFailure.cut && webLoadFailure.page == url && messages.texts().isEmpty()
                && webLoadFailure.text() == "ページ " + url + " が途中で切れています";
            const bool noRow = !shortPage.toLower().contains("</tr>") && !shortPage.toLower().contains("<td");
            EXPECT_TRUE(got == whole || (got.empty() && said) || (noRow && got == none))
                << file.toStdString() << " ending " << shortPage.right(60).toStdString() << ": " << got;
            messages.clear();
            ++prefixes;
        }
    }
    EXPECT_GT(prefixes, 3000);
}

// Over the network a cut page, or one that falls short, is asked for again as a failed transfer is:
// three cut answers fail the load naming the page, a whole answer after a cut one is read. A complete page without the end
// tags of its rows and cells comes whole.
TEST_F(CutPages, ACutAnswerIsAskedForAgainThenGivenUp)
{
    using F = PageServer::Fault;
    for (const auto& [cuts, requests, outcome] : {std::tuple {1000, 3, std::string()}, std::tuple {1, 2, joined(int(SeisekiPage::Saved), 1, "大井08032411", 12)}}) {
        const QString target = QStringLiteral("/results%1").arg(cuts);
        server.addFile(target, "seiseki_normal.htm");
        server.setFaultFirstN(target, F::CutBody, cuts);
        EXPECT_EQ(results(url(target)), outcome) << cuts;
        EXPECT_EQ(joined(server.requestCount(target), webLoadFailure.text(), shown()),
                  joined(requests, outcome.empty() ? "ページ " + url(target) + " が途中で切れています" : "", ""));
    }
    // A page that closes properly but stops before its payouts is asked for again the same way.
    const QByteArray normal = samplePage("seiseki_normal.htm");
    server.addPage("/nopay", normal.left(normal.indexOf("<table class=\"pay\"")) + "</body></html>");
    EXPECT_EQ(results(url("/nopay")), "");
    EXPECT_EQ(joined(server.requestCount("/nopay"), webLoadFailure.text()), joined(3, "ページ " + url("/nopay") + " が途中で切れています"));
    server.addFile("/noendtags", "racecard_12_noendtags.htm");
    EXPECT_EQ(card(url("/noendtags")).rfind("大井08032411|12|", 0), 0u);
}

// A script or a style written in capitals hides what it holds and ends at its end tag in capitals:
// the page is whole and reads as with small letters.
TEST_F(CutPages, ScriptsAndStylesInCapitalsAreReadWhole)
{
    const QString page = fromCp932(samplePage("racecard_12.htm"));
    const QString lower = pages.filePath("lower.htm"), upper = pages.filePath("upper.htm");
    const QString script = "<script type=\"text/javascript\">var t = '<table><tr><td>';</script>\r\n";
    writeTestFile(lower, toCp932(QString(page).replace("<body>\r\n", "<body>\r\n" + script)));
    writeTestFile(upper, toCp932(QString(page).replace("<body>\r\n", "<body>\r\n" + script.toUpper().replace("TEXT/JAVASCRIPT", "text/javascript"))
                                     .replace("<style", "<STYLE").replace("</style>", "</STYLE>")));
    const std::string expected = card(lower);
    EXPECT_EQ(expected.rfind("大井08032411|12|", 0), 0u);
    EXPECT_EQ(card(upper), expected);
    EXPECT_EQ(joined(webLoadFailure.text(), shown()), "|");
}

// The page's text decides, not the repaired tree: tables closed, then a body or html end tag; comments
// and scripts must end but hide what they hold.
TEST(WholePage, TablesClosedAndTheEndTagAfterThem)
{
    const std::pair<const char*, bool> cases[] = {
        {"<html><body><table><tr><td>a</table></body></html>", true},
        {"<TABLE><tr><td>a</td></TABLE></BODY>", true},
        {"<body><p>no table</p></html>", true},
        {"<body><table><tr><td>a</td></tr></table>", false},
        {"<body><table><tr><td>a</td></tr></table></body", false},
        {"<body><table><tr><td>a</td></tr></body></html>", false},
        {"<body><table><table></table></body></html>", false},
        {"<body></body></html><table><tr><td>late</td></tr></table>", false},
        {"<body></body></html><table><tr><td>late</td></tr></table></html>", true},
        {"<body><!-- <table> --><script>if (a<b) x = '<table>';</script></body>", true},
        {"<body><!-- </body> --", false},
        {"<body><script>x = '</body>';", false},
        {"<body><tablet></tablet><p>1 < 2</p></body>", true},
        {"<BODY><SCRIPT>x = '<TABLE>';</SCRIPT><STYLE>td:after { content: '<table>' }</STYLE></BODY>", true},
        {"<BODY><SCRIPT>x = '</BODY>';", false},
        {"<body><table class=\"a\"><tr><td>a</td></tr></table class></body>", true},
        {"", false},
    };
    for (const auto& [html, whole] : cases)
        EXPECT_EQ(isWholePage(QString::fromUtf8(html)), whole) << html;
}

}
