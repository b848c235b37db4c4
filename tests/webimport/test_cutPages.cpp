#include "tests/support/lhaTool.h"
#include "tests/webimport/seisekiFixture.h"
#include "webimport/ReadWebSeiseki.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <map>

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

// What a page closed properly at `at` holds of a sample page, told from the tables of its kind's parts (the card's
// runner table, the results page's runner and payout tables, the history table): every part (All), the first n
// runner blocks, finishers or history rows (Fewer), too little for a page of its kind (Cut: no runner block or one
// cut inside, no finisher, the payout rows cut inside, rows ending before the breadcrumb), or nothing the reader
// takes (Nothing: no row at all, or a history without its header row; what a page without any row gives).
struct Held {
    enum What { All, Fewer, Cut, Nothing } what;
    qsizetype n = 0;
};

qsizetype rowsIn(const QByteArray& lower, qsizetype from, qsizetype to)
{
    return lower.mid(from, to - from).count("<tr");
}

Held cardHeld(const QByteArray& lower, qsizetype at)
{
    const qsizetype deba = lower.indexOf("<table class=\"deba\""), end = lower.indexOf("</table>", deba);
    if (deba < 0)
        return {rowsIn(lower, 0, at) < 3 ? Held::Cut : Held::All};
    if (end >= 0 && at > end)
        return {Held::All};
    const qsizetype blockRows = at > deba ? rowsIn(lower, deba, at) - 2 : 0;
    return blockRows > 0 && blockRows % 6 == 0 ? Held {Held::Fewer, blockRows / 6} : Held {Held::Cut};
}

Held resultsHeld(const QByteArray& lower, qsizetype at)
{
    const qsizetype mark = lower.indexOf("<table class=\"mark\""), markEnd = lower.indexOf("</table>", mark);
    const qsizetype pay = lower.indexOf("<table class=\"pay\""), payEnd = lower.indexOf("</table>", pay);
    if (mark < 0)
        return {rowsIn(lower, 0, at) < 3 ? Held::Cut : Held::All};
    // Finisher rows begin with a cell of no attributes, the header too; a note row spans the table.
    const qsizetype finishers = at > mark ? lower.mid(mark, std::min(at, markEnd) - mark).count("<tr><td>") - 1 : 0;
    if (finishers <= 0)
        return {Held::Cut};
    const qsizetype payRows = pay < 0 || at <= pay ? 0 : rowsIn(lower, pay, at);
    if (at < markEnd || payRows == 0)
        return {Held::Fewer, finishers};
    return {at > payEnd || payRows == 3 ? Held::All : Held::Cut};
}

Held historyHeld(const QByteArray& lower, qsizetype at)
{
    const qsizetype history = lower.indexOf("<table class=\"history\""), end = lower.indexOf("</table>", history);
    if (history < 0 || at > end)
        return {Held::All};
    const qsizetype runs = at > history ? rowsIn(lower, history, at) - 1 : 0;
    return runs > 0 ? Held {Held::Fewer, runs} : Held {Held::Nothing};
}

Held heldAt(const QString& file, const QByteArray& page, qsizetype at)
{
    const QByteArray lower = page.toLower();
    if (rowsIn(lower, 0, at) == 0)
        return {Held::Nothing};
    if (file.startsWith("racecard"))
        return cardHeld(lower, at);
    return file.startsWith("horse") ? historyHeld(lower, at) : resultsHeld(lower, at);
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

    // What the reader stored (races, their codes, the 三連単 payouts, runs), then removed for the next page.
    static std::string takeStored()
    {
        const std::string races = stored("SELECT COUNT(*), GROUP_CONCAT(R_code), IFNULL(SUM(R_3tan), 0) FROM T_Rdata") + "|"
            + stored("SELECT COUNT(*) FROM T_Useiseki");
        if (races != "0||0|0") {
            execute("NAR_data.dat", "DELETE FROM T_Rdata");
            execute("NAR_data.dat", "DELETE FROM T_Useiseki");
        }
        return races;
    }

    // Race code, runners, their names and history ids joined by ",", what was stored.
    std::string card(const QString& url) const
    {
        clearRace();
        const bool read = readSyuxtubaPage(url);
        if (webLoadFailure.failed())
            return pd.tousuu == 0 && pd.raceTitle.isEmpty() ? "" : "a failed card left runners";
        if (!read)
            return "no card";
        QStringList names;
        for (int k = 1; k <= pd.tousuu; ++k)
            names << pd.uName(k) + pd.uUrl(k).right(10);
        return joined(pd.raceCode, pd.tousuu, names.join(u','), takeStored());
    }

    // Runs taken, what was stored.
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
            return runs == 0 && store == "0||0|0" ? "" : "a failed history left runs";
        return joined(runs, store);
    }

    // The page's outcome, what was stored.
    static std::string results(const QString& url)
    {
        openDb(1, appPath() + "Strevin_data.dat", dbPassword);
        openDb(2, appPath() + "NAR_data.dat", dbPassword);
        const SeisekiPage page = readSeisekiPage(url);
        closeDb(1);
        closeDb(2);
        const std::string store = takeStored();
        if (page == SeisekiPage::LoadFailed)
            return store == "0||0|0" ? "" : "a failed page was stored";
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

    // The load named the page as cut, and nothing else was said.
    bool saidCut(const QString& url) const
    {
        return webLoadFailure.cut && webLoadFailure.page == url && messages.texts().isEmpty()
            && webLoadFailure.text() == "ページ " + url + " が途中で切れています";
    }
};

// What the reader made of a page that holds only the first n runners, finishers or history rows of the whole page:
// the card's first n runners, the results' first n finishers without payouts, no more runs than the whole page.
bool readsFewer(const QString& file, const std::string& got, const std::string& whole, qsizetype n)
{
    const QStringList part = QString::fromStdString(got).split(u'|'), all = QString::fromStdString(whole).split(u'|');
    if (file.startsWith("racecard"))
        return part.size() == 7 && part[1].toInt() == n && part[2].split(u',').size() == n
            && (whole.empty() || (part[0] == all[0] && all[2].startsWith(part[2]))) && part.mid(3).join(u'|') == "0||0|0";
    if (file.startsWith("horse"))
        return part.size() == 5 && part[0].toInt() <= std::min(n, all[0].toLongLong());
    return got == joined(int(SeisekiPage::Saved), 1, all[2], 0, n);
}

// Every sample page cut at every line end and inside every row, each prefix a whole file: a page whose text does not
// end is no page, the reader takes nothing of it and the load names it as cut, with no other word. Its end tags of rows
// and cells may be missing; those of its tables and its body may not.
TEST_F(CutPages, EveryPrefixOfEverySamplePageThatDoesNotEndIsNamedAsCut)
{
    setVbToday(VbDate::fromYmd(2008, 6, 1));
    const QStringList files = QDir(QStringLiteral(BRENNOCK_PAGES_DIR)).entryList({"*.htm"}, QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 23);
    // The data files stay open between the reads, as in a race read.
    const DbConnectionKeeper connections;
    int prefixes = 0;
    for (const QString& file : files) {
        const QByteArray page = samplePage(file);
        const Reader read = readerOf(file);
        const QString url = pages.filePath(file);
        writeTestFile(url, page);
        const std::string whole = read(url);
        messages.clear();
        // Only the cut sample is no page at all.
        EXPECT_EQ(whole.empty(), file == "racecard_truncated.htm") << file.toStdString();
        for (const qsizetype cut : cutPoints(page)) {
            writeTestFile(url, page.left(cut));
            const std::string got = read(url);
            // A page that stops right after its body's end tag has ended.
            const bool ends = isWholePage(decodePage(page.left(cut), {}));
            EXPECT_TRUE(ends ? got == whole : got.empty() && saidCut(url)) << file.toStdString() << " ending "
                << page.left(cut).right(60).toStdString() << ": " << got;
            messages.clear();
            ++prefixes;
        }
    }
    EXPECT_GT(prefixes, 2000);
}

// Every sample page closed properly at every table and row boundary reads as what it holds: the whole race when every
// part is there, whatever follows (a foot or nothing); a card of fewer runners, results of fewer finishers or without
// payouts, fewer history rows when it stops between them; and a page too short for its kind (no runner block, no
// finisher, a runner block or the payout rows cut inside, rows ending before the breadcrumb) is named as cut.
TEST_F(CutPages, EverySamplePageClosedAtATableOrRowBoundaryReadsAsWhatItHolds)
{
    setVbToday(VbDate::fromYmd(2008, 6, 1));
    const QStringList files = QDir(QStringLiteral(BRENNOCK_PAGES_DIR)).entryList({"*.htm"}, QDir::Files, QDir::Name);
    const DbConnectionKeeper connections;
    std::map<Held::What, int> seen;
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
        for (const qsizetype at : boundaries(page)) {
            writeTestFile(url, closedAt(page, at));
            const std::string got = read(url);
            const Held held = heldAt(file, page, at);
            const bool right = held.what == Held::All ? got == whole
                : held.what == Held::Cut              ? got.empty() && saidCut(url)
                : held.what == Held::Nothing          ? got == none
                                                      : !got.empty() && !webLoadFailure.failed() && readsFewer(file, got, whole, held.n);
            EXPECT_TRUE(right) << file.toStdString() << " closed after " << page.left(at).right(60).toStdString() << " (" << held.what
                               << ", " << held.n << "): " << got;
            messages.clear();
            ++seen[held.what];
        }
    }
    EXPECT_TRUE(seen[Held::All] > 100 && seen[Held::Fewer] > 300 && seen[Held::Cut] > 200 && seen[Held::Nothing] > 20)
        << seen[Held::All] << ' ' << seen[Held::Fewer] << ' ' << seen[Held::Cut] << ' ' << seen[Held::Nothing];
}

// Over the network a cut page, or one that falls short, is asked for again as a failed transfer is:
// three cut answers fail the load naming the page, a whole answer after a cut one is read. A complete page without the end
// tags of its rows and cells comes whole.
TEST_F(CutPages, ACutAnswerIsAskedForAgainThenGivenUp)
{
    using F = PageServer::Fault;
    for (const auto& [cuts, requests, outcome] : {std::tuple {1000, 3, std::string()}, std::tuple {1, 2, joined(int(SeisekiPage::Saved), 1, "大井08032411", 12340, 12)}}) {
        const QString target = QStringLiteral("/results%1").arg(cuts);
        server.addFile(target, "seiseki_normal.htm");
        server.setFaultFirstN(target, F::CutBody, cuts);
        EXPECT_EQ(results(url(target)), outcome) << cuts;
        EXPECT_EQ(joined(server.requestCount(target), webLoadFailure.text(), shown()),
                  joined(requests, outcome.empty() ? "ページ " + url(target) + " が途中で切れています" : "", ""));
    }
    server.addFile("/noendtags", "racecard_12_noendtags.htm");
    EXPECT_EQ(card(url("/noendtags")).rfind("大井08032411|12|", 0), 0u);
}

// Pages written with only the rows and cells the readers take, ending right after their last part (the history's
// breadcrumb in row 1, its header in row 3), read whole, and so do the sample pages without their foot. A card of a
// runner fewer and results without payouts are pages too. A card without runners, results without finishers, a history
// row or the payout rows short of cells are cut pages: asked for again, named, nothing stored.
TEST_F(CutPages, PagesEndingRightAfterTheirLastPartReadWholeAndTooLittleIsACut)
{
    setVbToday(VbDate::fromYmd(2008, 6, 1));
    const DbConnectionKeeper connections;
    const QByteArray cardPage = samplePage("racecard_bare.htm"), horsePage = samplePage("horse_bare.htm"),
                     resultsPage = samplePage("seiseki_bare.htm");
    const QString file = pages.filePath("page.htm");
    const auto readFile = [&](const Reader& read, const QByteArray& page) { writeTestFile(file, page); return read(file); };
    const Reader readCard = readerOf("racecard"), readHistory = readerOf("horse"), readResults = readerOf("seiseki");

    EXPECT_EQ(readFile(readCard, cardPage), "浦和08040203|9|ハナミズキ2005100001,アオイソラ2005100002,キンノツバサ2005100003,ミドリノカゼ2005100004,"
                                      "ヨゾラノホシ2005100005,ハヤブサ2005100006,ユキアカリ2005100007,トキノコエ2005100008,サザナミ2005100009|0||0|0");
    clearRace();
    ASSERT_TRUE(readSyuxtubaPage(file));
    EXPECT_EQ(joined(pd.raceName, pd.raceKyori, pd.raceBaba, pd.uWaku(8, 0), pd.uWaku(9, 0), pd.uSeirei(9), pd.uChichi(9), pd.uHutan(1, 0),
                     pd.uKisyu(1, 0), pd.uCyoukyou(1, 0), pd.uTaizyu(1, 0), pastRun(1, 1), pastRun(1, 3), pastRun(3, 1)),
              "Ｂ２特別|1400|3|8|8|牡4|父馬09|54|鈴木一|木村|443|3|3|2|3|先|0|0|0|0||5|5|4|5|差");
    const qsizetype lastBlock = cardPage.lastIndexOf("<tr><td rowspan=\"6\">9</td>");
    EXPECT_EQ(readFile(readCard, cardPage.left(lastBlock) + "</table></body></html>").rfind("浦和08040203|8|", 0), 0u);
    // Runners of fewer than five runs may leave their empty past-run cells out.
    EXPECT_EQ(readFile(readCard, pageWith(cardPage, "<td>&nbsp;</td>", "")), readFile(readCard, cardPage));
    messages.clear();
    const QByteArray noRunner = cardPage.left(cardPage.indexOf("<tr><td rowspan=\"6\">1</td>")) + "</table></body></html>";
    EXPECT_EQ(readFile(readCard, noRunner), "");
    EXPECT_TRUE(saidCut(file));

    EXPECT_EQ(readFile(readHistory, horsePage), "7|7|浦和08030908,浦和08021711,船橋08010605,Ｊ中山07112110,大井07100309,川崎07081907,浦和07061004|0|7");
    EXPECT_EQ(joined(pd.uDate(1, 1), pd.uZyo(1, 1), pd.uRaceNo(1, 1), pd.uKyori(1, 4), pd.uSiba(1, 4), pd.uCyaku(1, 1), pd.uTousuu(1, 1),
                     pd.uTime(1, 1), pd.uKisyu(1, 1), shown()),
              "2008-03-09|浦和|8|1800|1|2|12|90|高橋三|");
    // A header with a cell more than the 20 the reader takes does not make its runs short.
    EXPECT_EQ(readFile(readHistory, pageWith(horsePage, "<td>調教師</td></tr>", "<td>調教師</td><td>備考</td></tr>")),
              readFile(readHistory, horsePage));
    const QByteArray shortRow = pageWith(horsePage, "<td>454</td><td>佐藤次郎</td><td>54.0</td><td>松本</td>", "<td>454</td><td>佐藤次郎</td><td>54.0</td>");
    EXPECT_EQ(readFile(readHistory, shortRow), "");
    EXPECT_TRUE(saidCut(file));

    EXPECT_EQ(readFile(readResults, resultsPage), joined(int(SeisekiPage::Saved), 1, "浦和08040203", 9870, 8));
    EXPECT_EQ(readFile(readResults, pageWith(resultsPage, "<td>人気</td></tr>", "<td>人気</td><td>馬主</td></tr>")),
              joined(int(SeisekiPage::Saved), 1, "浦和08040203", 9870, 8));
    const QByteArray noPayouts = resultsPage.left(resultsPage.indexOf("<table class=\"pay\"")) + "</body></html>";
    EXPECT_EQ(readFile(readResults, noPayouts), joined(int(SeisekiPage::Saved), 1, "浦和08040203", 0, 8));
    const QByteArray noFinisher = resultsPage.left(resultsPage.indexOf("<tr><td>1</td>")) + "</table></body></html>";
    EXPECT_EQ(readFile(readResults, noFinisher), "");
    EXPECT_TRUE(saidCut(file));
    // Over the network, the payout rows without the last bet's amount and numbers are asked for three times.
    server.addPage("/short", pageWith(resultsPage, "<td>9,870円</td><td>4-1-7</td>", ""));
    messages.clear();
    EXPECT_EQ(results(url("/short")), "");
    EXPECT_EQ(joined(server.requestCount("/short"), saidCut(url("/short"))), "3|1");

    // The sample pages without their foot read as with it.
    for (const QString& sample : {"racecard_12.htm", "racecard_12_noendtags.htm", "horse_mixed.htm", "horse_none.htm", "seiseki_normal.htm",
                                  "seiseki_nopay.htm", "seiseki_field15.htm"}) {
        const Reader read = readerOf(sample);
        const std::string whole = readFile(read, samplePage(sample));
        EXPECT_EQ(readFile(read, withoutFoot(samplePage(sample))), whole) << sample.toStdString();
        EXPECT_FALSE(whole.empty() || webLoadFailure.failed()) << sample.toStdString();
    }
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
// and scripts must end but hide what they hold; a page cut inside a tag or an attribute's value has not ended.
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
        {"<body><table><tr><td class=\"a", false},
        {"<body><table><tr><td><a href=\"/keibaWeb/", false},
        {"", false},
    };
    for (const auto& [html, whole] : cases)
        EXPECT_EQ(isWholePage(QString::fromUtf8(html)), whole) << html;
}

}
