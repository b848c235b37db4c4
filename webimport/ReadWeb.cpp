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

Array2<QString> webCell(300, 60);
QString webHtml;
int webRow = 0;

namespace {

constexpr int webRows = 300;
constexpr int webCells = 60;
constexpr int csvRows = 80;
constexpr int csvCells = 30;
// Without a setting the pages come from a server on this machine (a mirror or a test server);
// users point [System] webHost of Strevin.ini at the authority's host ("host" or "host:port").
const QString defaultWebHost = QStringLiteral("localhost");
// Longest pause of one pass of the waiting loop: the loop sleeps between passes instead of
// spinning a core, and still answers Cancel at once.
constexpr int waitPassMs = 20;

enum class PageWait { Loaded, TimedOut, Cancelled };

// Lets events run until the page finishes or a short time has passed.
void waitPass(WebBrowser* browser)
{
    QEventLoop loop;
    QTimer pass;
    pass.setSingleShot(true);
    QObject::connect(&pass, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(browser, &WebBrowser::loadFinished, &loop, &QEventLoop::quit);
    QObject::connect(browser, &QObject::destroyed, &loop, &QEventLoop::quit);
    pass.start(waitPassMs);
    loop.exec();
}

// The same pass while busy and while the document is not complete; a time-out wins over a
// Cancel that falls in the same pass. A window unloaded meanwhile counts as a time-out: the
// page is asked for again in the window loaded afresh.
PageWait waitForPage(const QPointer<WebBrowser>& browser)
{
    const auto stillLoading = [&browser] {
        return browser->Busy() || browser->ReadyState() != QLatin1String("complete");
    };
    while (stillLoading()) {
        waitPass(browser);
        if (pd.webTimeOut || !browser)
            return PageWait::TimedOut;
        if (pd.webCancel)
            return PageWait::Cancelled;
    }
    return PageWait::Loaded;
}

// The window stays (or comes) on screen with fresh timers, so Cancel is always at hand while
// the page is asked for again.
void restartAfterTimeOut()
{
    DialogWeb& dialog = dialogWeb();
    dialog.formLoad();
    if (!dialog.isVisible())
        dialog.show();
}

bool loadUntilDone(const QString& url)
{
    for (;;) {
        const QPointer<WebBrowser> browser = dialogWeb().WebBrowser1;
        browser->Navigate2(url);
        switch (waitForPage(browser)) {
        case PageWait::Loaded:
            webHtml = browser->bodyInnerHTML().remove(QLatin1String("\r\n"));
            return true;
        case PageWait::Cancelled:
            msgBox(QStringLiteral("キャンセルしました"), vbOKOnly);
            return false;
        case PageWait::TimedOut:
            restartAfterTimeOut();
            break;
        }
    }
}

// A window that only a time-out brought on screen goes again with the load: the callers that
// show it close it themselves, and the others (the cell dump) never meant it to be seen.
bool loadPage(const QString& url)
{
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

// The characters after each ">" up to the next "<"; a ">" inside the text copies again.
QString stripMarkup(QStringView s)
{
    QString out;
    qsizetype nextOpen = -1;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != u'>')
            continue;
        if (nextOpen <= i) {
            nextOpen = s.indexOf(u'<', i + 1);
            if (nextOpen < 0)
                nextOpen = s.size();
        }
        out += s.mid(i + 1, nextOpen - i - 1);
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
    vbTrapQuiet([&] {
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
    if (!guard.acquired()) {
        showImportBusy();
        return false;
    }
    bool written = false;
    vbTrap(QStringLiteral("Error-ReadWeb-1"), [&] {
        clearWebCell();
        getWebTable(url);
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
    return QStringLiteral("http://") + iniRead(QStringLiteral("System"), QStringLiteral("webHost"), defaultWebHost);
}

QString makeRaceCode(const QString& zyo, const VbDate& date, int raceNo)
{
    return zyo + Format(date, QStringLiteral("yymmdd")) + Format(double(raceNo), QStringLiteral("00"));
}
