#include "webimport/ReadWeb.h"

#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/msgbox.h"
#include "platform/textcodec.h"
#include "platform/vbformat.h"
#include "platform/webbrowser.h"
#include "webimport/dialogWeb.h"
#include "webimport/importGuard.h"

#include <QEventLoop>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <optional>

Array2<QString> webCell(300, 60);
QString webHtml;
int webRow = 0;
WebLoadFailure webLoadFailure;

namespace {

constexpr int webRows = 300;
constexpr int webCells = 60;
constexpr int csvRows = 80;
constexpr int csvCells = 30;
// Longest pause of one pass of the waiting loop: the loop sleeps between passes instead of
// spinning a core, and still answers Cancel at once.
constexpr int waitPassMs = 20;

// A page is asked for this many times in all (time-outs and failed transfers alike) before the
// load is given up as a server that does not answer.
constexpr int maxAttempts = 3;

enum class PageWait { Loaded, Failed, TimedOut, Cancelled };

// Lets events run until the page finishes or a short time has passed.
void waitPass(WebBrowser* browser)
{
    QEventLoop loop;
    QTimer pass;
    pass.setSingleShot(true);
    QObject::connect(&pass, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (browser) {
        QObject::connect(browser, &WebBrowser::loadFinished, &loop, &QEventLoop::quit);
        QObject::connect(browser, &QObject::destroyed, &loop, &QEventLoop::quit);
    }
    pass.start(waitPassMs);
    loop.exec();
}

// One pass of waiting and what ends the wait: a time-out wins over a Cancel that falls in the
// same pass. A window unloaded meanwhile counts as a time-out: the page is asked for again in
// the window loaded afresh.
std::optional<PageWait> passAndCheck(const QPointer<WebBrowser>& browser)
{
    waitPass(browser);
    if (pd.webTimeOut || !browser)
        return PageWait::TimedOut;
    if (pd.webCancel)
        return PageWait::Cancelled;
    return std::nullopt;
}

// The same pass while busy and while the document is not complete.
PageWait waitForPage(const QPointer<WebBrowser>& browser)
{
    while (browser->Busy() || browser->ReadyState() != QLatin1String("complete"))
        if (const auto end = passAndCheck(browser))
            return *end;
    return browser->LoadError().isEmpty() ? PageWait::Loaded : PageWait::Failed;
}

// A failed transfer is retried when the time-out comes, as a page that did not come is: a server
// that refuses at once is not asked again and again in a tight loop, and Cancel stays at hand.
PageWait waitOutTimeOut(const QPointer<WebBrowser>& browser)
{
    for (;;)
        if (const auto end = passAndCheck(browser))
            return *end;
}

// The window stays (or comes) on screen, so Cancel is at hand while the page is asked for again.
void keepCancelOnScreen()
{
    dialogWeb().showOnScreen();
}

// The server of an address ("host" or "host:port"); a file address names itself.
QString hostOf(const QString& url)
{
    const QUrl address(url, QUrl::TolerantMode);
    if (address.host().isEmpty())
        return url;
    return address.port() < 0 ? address.host() : address.host() + QLatin1Char(':') + QString::number(address.port());
}

// Why the page's last attempt brought no page.
QString failureReason(const QPointer<WebBrowser>& browser, PageWait wait)
{
    if (wait == PageWait::Failed && browser)
        return browser->LoadError();
    return QStringLiteral("%1秒以内に応答がありません").arg(webTimeOutSeconds());
}

// Every attempt gets the whole time-out: a tick that fell while nobody waited (the window stays
// loaded between the pages of some callers) must not cost an attempt.
bool loadUntilDone(const QString& url)
{
    for (int attempt = 1;; ++attempt) {
        dialogWeb().formLoad();
        const QPointer<WebBrowser> browser = dialogWeb().WebBrowser1;
        browser->Navigate2(url);
        PageWait wait = waitForPage(browser);
        if (wait == PageWait::Loaded) {
            webHtml = browser->bodyInnerHTML().remove(QLatin1String("\r\n"));
            return true;
        }
        // A file that cannot be read is no server to wait for: asking again changes nothing.
        const bool lastAttempt = attempt == maxAttempts || (wait == PageWait::Failed && !isHttpAddress(url));
        if ((wait == PageWait::Failed || wait == PageWait::TimedOut) && lastAttempt) {
            const bool cut = wait == PageWait::Failed && browser && browser->PageCut();
            webLoadFailure = {url, hostOf(url), failureReason(browser, wait), cut};
            return false;
        }
        if (wait == PageWait::Failed) {
            keepCancelOnScreen();
            wait = waitOutTimeOut(browser);
        }
        if (wait == PageWait::Cancelled) {
            msgBox(QStringLiteral("キャンセルしました"), vbOKOnly);
            return false;
        }
        keepCancelOnScreen();
    }
}

// A window that only a time-out brought on screen goes again with the load: the callers that
// show it close it themselves, and the others (the cell dump) never meant it to be seen.
bool loadPage(const QString& url)
{
    webLoadFailure = {};
    const bool shownByCaller = isDialogWebLoaded() && dialogWeb().isVisible();
    const bool loaded = loadUntilDone(url);
    if (!shownByCaller && isDialogWebLoaded())
        dialogWeb().hide();
    return loaded;
}

// First closing tag "</tr>" / "</TR>" (kind 'r') or "</td>" / "</TD>" (kind 'd') at or after
// from; only these two spellings count.
qsizetype findClosingTag(QStringView s, qsizetype from, char16_t kind)
{
    const char16_t upper = kind - u'a' + u'A';
    for (qsizetype p = s.indexOf(u"</", from); p >= 0 && p + 5 <= s.size(); p = s.indexOf(u"</", p + 2)) {
        const char16_t t = s[p + 2].unicode(), k = s[p + 3].unicode();
        if (s[p + 4] == u'>' && ((t == u't' && k == kind) || (t == u'T' && k == upper)))
            return p;
    }
    return -1;
}

// Position just after the tag that begins at from: after its ">", which inside a quoted
// attribute value does not count; the end of s when the tag does not end.
qsizetype endOfTag(QStringView s, qsizetype from)
{
    bool inQuote = false;
    for (qsizetype i = from; i < s.size(); ++i) {
        if (s[i] == u'"')
            inQuote = !inQuote;
        else if (s[i] == u'>' && !inQuote)
            return i + 1;
    }
    return s.size();
}

// The text of a cell's markup in one pass: what stands up to the end of the first tag is
// dropped, then every character outside tags is kept once (a ">" in the text is text).
QString stripMarkup(QStringView s)
{
    QString out;
    for (qsizetype i = endOfTag(s, 0); i < s.size();) {
        qsizetype open = s.indexOf(u'<', i);
        if (open < 0)
            open = s.size();
        out += s.mid(i, open - i);
        i = endOfTag(s, open);
    }
    return out;
}

void cutCells(int r, QStringView row)
{
    qsizetype start = 0;
    for (int c = 1; c <= webCells; ++c) {
        const qsizetype p = findClosingTag(row, start + 1, u'd');
        if (p < 0)
            return;
        webCell(r, c) = stripMarkup(row.mid(start, p - start));
        start = p + 5;
    }
}

}

int webCellCount(int r)
{
    const QStringView row(webCell(r, 0));
    int count = 0;
    for (qsizetype start = 0; count < webCells; ++count) {
        const qsizetype p = findClosingTag(row, start + 1, u'd');
        if (p < 0)
            break;
        start = p + 5;
    }
    return count;
}

QString WebLoadFailure::text() const
{
    if (!failed())
        return {};
    if (cut)
        return QStringLiteral("ページ %1 が途中で切れています").arg(page);
    if (!isHttpAddress(page))
        return QStringLiteral("ファイル %1 を読めません（%2）").arg(page, reason);
    return QStringLiteral("サーバー %1 が応答しません（%2）").arg(host, reason);
}

void clearWebCell()
{
    webCell.clear();
}

// Two closing row tags in a row leave that row empty and cutting goes on behind them.
void cutWebTable(const QString& body)
{
    const QStringView html(body);
    qsizetype start = 0;
    for (int r = 1; r <= webRows; ++r) {
        const qsizetype p = findClosingTag(html, start, u'r');
        if (p < 0)
            break;
        if (p > start) {
            webCell(r, 0) = body.mid(start, p - start);
            cutCells(r, html.mid(start, p - start));
        }
        start = p + 5;
    }
}

bool getWebTable(const QString& url)
{
    bool built = false;
    vbTrapToLog(QStringLiteral("getWebTable"), [&] {
        if (!loadPage(url))
            return;
        cutWebTable(webHtml);
        webRow = webRows + 1;
        built = true;
    });
    return built;
}

// A dump that could not be written is no success: the caller would report one.
bool readWebPageToCsv(const QString& url)
{
    const ImportGuard guard;
    if (!guard.acquiredOrSaid())
        return false;
    bool written = false;
    vbTrap(QStringLiteral("Error-ReadWeb-1"), [&] {
        clearWebCell();
        if (!getWebTable(url) && webLoadFailure.failed())
            msgBox(QStringLiteral("ページを読み込めませんでした\n") + webLoadFailure.text(), vbOKOnly);
        written = writeCsvTable();
    });
    return written;
}

bool writeCsvTable()
{
    return vbTrap(QStringLiteral("Error-ReadWeb-5"), [] {
        QString text;
        for (int r = 1; r <= csvRows; ++r) {
            QStringList cells;
            for (int c = 1; c <= csvCells; ++c)
                cells << webCell(r, c);
            text += cells.join(QLatin1Char(',')) + QLatin1String("\r\n");
        }
        saveCp932File(appPath() + QStringLiteral("CSV.csv"), text);
    });
}

QString webServerUrl()
{
    return QStringLiteral("http://") + iniRead(QStringLiteral("System"), QStringLiteral("webHost"), webHostDefault);
}

// Three times for every past run of a race read: the common case (a date, a race number of
// 0..99) is written directly, as the format patterns "yymmdd" and "00" write it.
QString makeRaceCode(const QString& zyo, const VbDate& date, int raceNo)
{
    if (date.isZero() || raceNo < 0 || raceNo > 99)
        return zyo + Format(date, QStringLiteral("yymmdd")) + Format(double(raceNo), QStringLiteral("00"));
    const QDate d = date.toQDate();
    QString code = zyo;
    code.reserve(zyo.size() + 8);
    for (const int part : {d.year() % 100, d.month(), d.day(), raceNo}) {
        code += QLatin1Char(char('0' + part / 10));
        code += QLatin1Char(char('0' + part % 10));
    }
    return code;
}
