#include "webimport/ReadWeb.h"

#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/msgbox.h"
#include "platform/textcodec.h"
#include "platform/vbformat.h"
#include "platform/webbrowser.h"
#include "webimport/dialogWeb.h"
#include "webimport/importGuard.h"

#include <QElapsedTimer>
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
constexpr int csvRows = 80;
constexpr int csvCells = 30;
// Longest pause of one pass of the waiting loop: the loop sleeps between passes instead of
// spinning a core, and still answers Cancel at once.
constexpr int waitPassMs = 20;

// A page is asked for this many times in all (time-outs and failed transfers alike) before the
// load is given up as a server that does not answer.
constexpr int maxAttempts = 3;
// The pause before a failed transfer is asked for again: a refusing server is given up within
// about two seconds at any time-out setting.
constexpr qint64 retryPauseMs = 1000;

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

// A transfer that failed at once (refused, reset, an error status, a page cut short) is asked for
// again after a short pause, not after the whole time-out: the server has answered, there is
// nothing to wait for. The pause keeps a refusing server from being asked in a tight loop, and
// Cancel stays at hand.
PageWait pauseBeforeRetry(const QPointer<WebBrowser>& browser)
{
    QElapsedTimer paused;
    paused.start();
    while (paused.elapsed() < retryPauseMs)
        if (const auto end = passAndCheck(browser))
            return *end;
    return PageWait::TimedOut;
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

const QString kPageCut = QStringLiteral("ページが途中で切れています");

// Why the page's last attempt brought no page.
QString failureReason(const QPointer<WebBrowser>& browser, PageWait wait, bool fellShort)
{
    if (fellShort)
        return kPageCut;
    if (wait == PageWait::Failed && browser)
        return browser->LoadError();
    return QStringLiteral("%1秒以内に応答がありません").arg(webTimeOutSeconds());
}

// The page of a loaded browser cut into webCell; false, with nothing of it kept, when it falls
// short of what it states about itself.
bool takePage(WebBrowser& browser, PageShortCheck fallsShort)
{
    webHtml = browser.bodyInnerHTML().remove(QLatin1String("\r\n"));
    clearWebCell();
    cutWebTable(webHtml);
    if (!fallsShort || !fallsShort())
        return true;
    clearWebCell();
    webHtml.clear();
    return false;
}

// Every attempt gets the whole time-out: a tick that fell while nobody waited (the window stays
// loaded between the pages of some callers) must not cost an attempt.
bool loadUntilDone(const QString& url, PageShortCheck fallsShort)
{
    for (int attempt = 1;; ++attempt) {
        dialogWeb().formLoad();
        const QPointer<WebBrowser> browser = dialogWeb().WebBrowser1;
        browser->Navigate2(url);
        PageWait wait = waitForPage(browser);
        if (wait == PageWait::Loaded && takePage(*browser, fallsShort))
            return true;
        // A page that came whole but holds less than it states is a page cut short.
        const bool fellShort = wait == PageWait::Loaded;
        if (fellShort)
            wait = PageWait::Failed;
        // A file that cannot be read is no server to wait for: asking again changes nothing.
        const bool lastAttempt = attempt == maxAttempts || (wait == PageWait::Failed && !isHttpAddress(url));
        if ((wait == PageWait::Failed || wait == PageWait::TimedOut) && lastAttempt) {
            const bool cut = fellShort || (wait == PageWait::Failed && browser && browser->PageCut());
            webLoadFailure = {url, hostOf(url), failureReason(browser, wait, fellShort), cut,
                              browser ? browser->HttpStatus() : 0};
            return false;
        }
        if (wait == PageWait::Failed) {
            keepCancelOnScreen();
            wait = pauseBeforeRetry(browser);
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
bool loadPage(const QString& url, PageShortCheck fallsShort)
{
    webLoadFailure = {};
    const bool shownByCaller = isDialogWebLoaded() && dialogWeb().isVisible();
    const bool loaded = loadUntilDone(url, fallsShort);
    if (!shownByCaller && isDialogWebLoaded())
        dialogWeb().hide();
    return loaded;
}

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

bool getWebTable(const QString& url, PageShortCheck fallsShort)
{
    bool built = false;
    vbTrapToLog(QStringLiteral("getWebTable"), [&] {
        if (!loadPage(url, fallsShort))
            return;
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
