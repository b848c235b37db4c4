#include "platform/webbrowser.h"
#include "tests/support/lhaTool.h"
#include "tests/support/pageServer.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

// Waits as a page reader does, but with a hard limit so a fault cannot hang the test.
static bool waitComplete(WebBrowser& browser)
{
    QEventLoop loop;
    QObject::connect(&browser, &WebBrowser::loadFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    if (browser.ReadyState() != "complete")
        loop.exec();
    return !browser.Busy() && browser.ReadyState() == "complete";
}

// Texts compare as UTF-8 so that a failure prints them readably.
static std::string body(WebBrowser& browser) { return browser.bodyInnerHTML().toStdString(); }
static std::string joined(const std::string& text, bool flag) { return text + "|" + (flag ? "1" : "0"); }

// As a browser writes it: omitted end tags added, its escapes, what follows a stray </body> or </html> kept.
TEST(InnerHtml, BodiesComeBackAsABrowserWritesThem)
{
    const struct { const char* html; const char* expected; } cases[] = {
        {"<table><tr><td>1<td>2<tr><td>3</table>", "<table><tr><td>1</td><td>2</td></tr><tr><td>3</td></tr></table>"},
        {"<p>a<br>b<img src=x.gif>c", "<p>a<br>b<img src=\"x.gif\">c</p>"},
        {"<p>1&nbsp;2\xC2\xA0" "3 &amp; &lt;b&gt; \"q\" 'a'</p>", "<p>1&nbsp;2&nbsp;3 &amp; &lt;b&gt; \"q\" 'a'</p>"},
        {"<a href='x?a=1&amp;b=\"2\"' title=\"a&nbsp;<b>\">t</a>", "<a href=\"x?a=1&amp;b=&quot;2&quot;\" title=\"a&nbsp;<b>\">t</a>"},
        {"<body>a\r\nb<script>if(a<b&&c)x();</script><!-- c --></body>", "a\r\nb<script>if(a<b&&c)x();</script><!-- c -->"},
        {"", ""}, {"<html><head><title>t</title></head></html>", ""},
        {"<table><tr><td>unfinished", "<table><tr><td>unfinished</td></tr></table>"}, {"<p>a</b></i>b</p>", "<p>ab</p>"},
        {"<html><body><table><tr><td>a</td></tr></table></body><!-- c --><p>b</p></html><table><tr><td>late</td></tr></table>",
         "<table><tr><td>a</td></tr></table><p>b</p><table><tr><td>late</td></tr></table>"},
        {"<html><head><title>t</title></head><body><p>a</p></body></html><html><head><title>u</title></head><body><p>b</p></body></html>",
         "<p>a</p><title>u</title><p>b</p>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bodyInnerHtmlOf(QString::fromUtf8(c.html)).toStdString(), c.expected) << c.html;
}

// The header's charset wins over a meta tag; with neither, CP932 (0x81 0x7C is "－").
TEST(PageDecoding, HeaderCharsetWinsThenMetaThenCp932)
{
    const QByteArray sjisMeta = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\"><body>\x81\x7C\x93\xfa</body>";
    const QByteArray utf8Meta = "<html><head><meta charset='utf-8'></head><body>\xE6\x97\xA5</body></html>";
    EXPECT_EQ(metaCharset(sjisMeta) + " " + metaCharset(utf8Meta), "shift_jis utf-8");
    const struct { QByteArray page, header; const char* expected; } cases[] = {
        {sjisMeta, {}, "－日"}, {utf8Meta, {}, "日"}, {"<meta charset=utf-8><body>\x93\xfa</body>", "Shift_JIS", "日"},
        {"<body>\x87\x40</body>", {}, "①"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bodyInnerHtmlOf(decodePage(c.page, c.header)).toStdString(), c.expected);
}

// A new address abandons the load still running; the query reaches the server as written.
TEST(WebBrowser, LoadsOverHttpAbandonsAnEarlierLoadAndKeepsTheEscapedQuery)
{
    PageServer server;
    ASSERT_TRUE(server.start());
    WebBrowser browser;
    const QString target = "/keibaWeb/x.jpf?k_babaCode=20&k_raceNo=11&k_raceDate=2008%2F02%2F15";
    server.addPage(target, "<html><body><table><tr><td>\x93\xfa</td></tr></table></body></html>", "text/html; charset=Shift_JIS");
    server.addPage("/slow", "<body>slow</body>");
    server.setDelayFirstN("/slow", 1, 300);
    EXPECT_EQ(browser.ReadyState(), "uninitialized");
    browser.Navigate2(server.baseUrl() + "/slow");
    browser.Navigate2(server.baseUrl() + target);
    EXPECT_TRUE(browser.Busy() && browser.ReadyState() == "loading");
    ASSERT_TRUE(waitComplete(browser));
    QEventLoop settle;
    QTimer::singleShot(400, &settle, &QEventLoop::quit);
    settle.exec();
    EXPECT_EQ(body(browser), "<table><tr><td>日</td></tr></table>");
    EXPECT_TRUE(server.requestLog().contains(target) && browser.LoadError().isEmpty());
}

// A failed transfer leaves no body and says why; a cut page's address answering whole then loads.
TEST(WebBrowser, AFailedTransferCompletesWithoutABodyAndSaysWhy)
{
    PageServer server, closed;
    ASSERT_TRUE(server.start() && closed.start());
    const QString refused = closed.baseUrl() + "/page";
    closed.stop();
    const QByteArray page = "<html><body><table><tr><td>whole</td></tr></table>" + QByteArray(4000, ' ') + "</body></html>";
    WebBrowser browser;
    QStringList addresses;
    for (const auto& [fault, why] : {std::pair(PageServer::Fault::Reset, "/reset"), {PageServer::Fault::NotFound, "/404"},
                                     {PageServer::Fault::ServerError, "/500"}, {PageServer::Fault::ShortBody, "/short"}}) {
        server.addPage(why, page);
        // Qt asks once more by itself for a connection closed before any answer.
        server.setFaultFirstN(why, fault, 1000);
        addresses << server.baseUrl() + why;
    }
    for (const QString& address : addresses + QStringList({refused, "http://no-such-host.invalid/page"})) {
        browser.Navigate2(address);
        ASSERT_TRUE(waitComplete(browser)) << address.toStdString();
        EXPECT_TRUE(body(browser).empty() && !browser.LoadError().isEmpty()) << address.toStdString();
    }
    server.setFaultFirstN("/short", PageServer::Fault::ShortBody, 0);
    browser.Navigate2(server.baseUrl() + "/short");
    ASSERT_TRUE(waitComplete(browser));
    EXPECT_EQ(joined(body(browser), browser.LoadError().isEmpty()), "<table><tr><td>whole</td></tr></table>" + std::string(4000, ' ') + "|1");
}

// Past a depth of 256 the rest of a page used to vanish; the deepest nesting must not exhaust the stack.
TEST(InnerHtml, DeeplyNestedPagesReadToTheirEnd)
{
    for (const int depth : {300, 200000}) {
        const QString html = "<body><table><tr><td>a</td></tr></table>" + QString("<div>").repeated(depth) + "x"
            + QString("</div>").repeated(depth) + "<table><tr><td>after</td></tr></table></body>";
        const QString inner = bodyInnerHtmlOf(html);
        EXPECT_TRUE(inner.endsWith("</div><table><tr><td>after</td></tr></table>")) << depth;
        EXPECT_EQ(inner.count("<div>"), depth);
    }
}

TEST(WebBrowser, FileAddressesAndPathsLoadAtOnce)
{
    QTemporaryDir dir;
    const QString page = dir.filePath("page.htm");
    writeTestFile(page, "<html><body><p>\x8e\x9f</p></body></html>");
    WebBrowser browser;
    for (const auto& [address, expected] : std::map<QString, std::string>{{page, "<p>次</p>|1"}, {"file://" + page, "<p>次</p>|1"},
                                                                          {dir.filePath("absent.htm"), "|0"}}) {
        browser.Navigate2(address);
        EXPECT_TRUE(!browser.Busy() && browser.ReadyState() == "complete") << address.toStdString();
        EXPECT_EQ(joined(body(browser), browser.LoadError().isEmpty()), expected);
    }
}

