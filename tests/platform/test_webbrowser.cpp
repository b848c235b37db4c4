#include "platform/webbrowser.h"
#include "tests/support/pageServer.h"

#include <QEventLoop>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Waits as a page reader does, but with a hard limit so a fault cannot hang the test.
bool waitComplete(WebBrowser& browser, int ms = 5000)
{
    QEventLoop loop;
    QObject::connect(&browser, &WebBrowser::loadFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    if (browser.ReadyState() != QLatin1String("complete"))
        loop.exec();
    return !browser.Busy() && browser.ReadyState() == QLatin1String("complete");
}

// Texts compare as UTF-8 so that a failure prints them readably.
std::string body(const char* utf8Html)
{
    return bodyInnerHtmlOf(QString::fromUtf8(utf8Html)).toStdString();
}

std::string text(const QString& s)
{
    return s.toStdString();
}

TEST(InnerHtml, WritesEndTagsTheSourceOmitsAndNoEndTagForVoidElements)
{
    EXPECT_EQ(body("<table><tr><td>1<td>2<tr><td>3</table>"), "<table><tr><td>1</td><td>2</td></tr><tr><td>3</td></tr></table>");
    EXPECT_EQ(body("<p>a<br>b<img src=x.gif>c"), "<p>a<br>b<img src=\"x.gif\">c</p>");
        EXPECT_EQ(body("<TABLE><TR><TD ALIGN=right>x</TD></TR></TABLE>"), "<table><tr><td align=\"right\">x</td></tr></table>");
}

TEST(InnerHtml, EscapesTextAndAttributesAsBrowsersDo)
{
    EXPECT_EQ(body("<p>1&nbsp;2\xC2\xA0" "3 &amp; &lt;b&gt; \"q\" 'a'</p>"), "<p>1&nbsp;2&nbsp;3 &amp; &lt;b&gt; \"q\" 'a'</p>");
    EXPECT_EQ(body("<a href='x?a=1&amp;b=\"2\"' title=\"a&nbsp;<b>\">t</a>"), "<a href=\"x?a=1&amp;b=&quot;2&quot;\" title=\"a&nbsp;<b>\">t</a>");
    // Script and style text stays raw; comments stay; line breaks are kept as they are.
    EXPECT_EQ(body("<body>a\r\nb<script>if(a<b&&c)x();</script><!-- c --></body>"), "a\r\nb<script>if(a<b&&c)x();</script><!-- c -->");
}

TEST(InnerHtml, BrokenOrEmptyInputGivesWhatCanBeRead)
{
    EXPECT_EQ(body(""), "");
    EXPECT_EQ(body("<html><head><title>t</title></head></html>"), "");
    EXPECT_EQ(body("<table><tr><td>unfinished"), "<table><tr><td>unfinished</td></tr></table>");
    EXPECT_EQ(body("<p>a</b></i>b</p>"), "<p>ab</p>");
}

// A browser moves what follows a stray "</body>" or "</html>" into the body; comments there
// belong to the document, not to the body.
TEST(InnerHtml, ContentAfterAStrayBodyOrHtmlEndStaysInTheBody)
{
    EXPECT_EQ(body("<html><body><table><tr><td>a</td></tr></table></body><!-- c --><p>b</p></html>"
                   "<table><tr><td>late</td></tr></table>"),
              "<table><tr><td>a</td></tr></table><p>b</p><table><tr><td>late</td></tr></table>");
    EXPECT_EQ(body("<html><head><title>t</title></head><body><p>a</p></body></html>"
                   "<html><head><title>u</title></head><body><p>b</p></body></html>"),
              "<p>a</p><title>u</title><p>b</p>");
}

TEST(PageDecoding, HeaderCharsetWinsThenMetaThenCp932)
{
    const QByteArray sjisMeta = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"
                                "</head><body>\x81\x7C\x93\xfa</body></html>";
    EXPECT_EQ(metaCharset(sjisMeta), QByteArray("shift_jis"));
    EXPECT_EQ(text(bodyInnerHtmlOf(decodePage(sjisMeta, {}))), "－日");

    const QByteArray utf8Meta = "<html><head><meta charset='utf-8'></head><body>\xE6\x97\xA5</body></html>";
    EXPECT_EQ(metaCharset(utf8Meta), QByteArray("utf-8"));
    EXPECT_EQ(text(bodyInnerHtmlOf(decodePage(utf8Meta, {}))), "日");
    // A header saying Shift_JIS overrides a meta tag saying UTF-8.
    EXPECT_EQ(text(bodyInnerHtmlOf(decodePage("<meta charset=utf-8><body>\x93\xfa</body>", "Shift_JIS"))), "日");
    // Nothing declared: CP932.
    EXPECT_EQ(text(bodyInnerHtmlOf(decodePage("<body>\x87\x40</body>", {}))), "①");
}

struct WebBrowserTest : ::testing::Test {
    PageServer server;
    WebBrowser browser;
    void SetUp() override { ASSERT_TRUE(server.start()); }
};

TEST_F(WebBrowserTest, LoadsOverHttpAndKeepsTheEscapedQueryAsWritten)
{
    const QString target = QStringLiteral("/keibaWeb/x.jpf?k_babaCode=20&k_raceNo=11&k_raceDate=2008%2F02%2F15");
    server.addPage(target, "<html><body><table><tr><td>\x93\xfa</td></tr></table></body></html>",
                   "text/html; charset=Shift_JIS");
    EXPECT_EQ(browser.ReadyState(), QStringLiteral("uninitialized"));
    browser.Navigate2(server.baseUrl() + target);
    EXPECT_TRUE(browser.Busy());
    EXPECT_EQ(browser.ReadyState(), QStringLiteral("loading"));
    ASSERT_TRUE(waitComplete(browser));
    EXPECT_EQ(text(browser.bodyInnerHTML()), "<table><tr><td>日</td></tr></table>");
    EXPECT_EQ(server.requestLog(), QStringList {target});
}

TEST_F(WebBrowserTest, ANewAddressAbandonsTheLoadStillRunning)
{
    server.addPage("/slow", "<body>slow</body>");
    server.setDelayMs("/slow", 300);
    server.addPage("/fast", "<body>fast</body>");
    browser.Navigate2(server.baseUrl() + "/slow");
    browser.Navigate2(server.baseUrl() + "/fast");
    ASSERT_TRUE(waitComplete(browser));
    EXPECT_EQ(text(browser.bodyInnerHTML()), "fast");
    QEventLoop settle;
    QTimer::singleShot(400, &settle, &QEventLoop::quit);
    settle.exec();
    EXPECT_EQ(text(browser.bodyInnerHTML()), "fast");
}

TEST_F(WebBrowserTest, ErrorPagesAndRefusedConnectionsCompleteWithWhatCame)
{
    browser.Navigate2(server.baseUrl() + "/missing");
    ASSERT_TRUE(waitComplete(browser));
    EXPECT_EQ(text(browser.bodyInnerHTML()), "Not Found");

    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 freedPort = probe.serverPort();
    probe.close();
    browser.Navigate2(QStringLiteral("http://127.0.0.1:%1/x").arg(freedPort));
    ASSERT_TRUE(waitComplete(browser));
    EXPECT_EQ(text(browser.bodyInnerHTML()), "");
}

TEST(WebBrowserFiles, FileAddressesAndPathsLoadAtOnce)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("page.htm"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<html><body><p>\x8e\x9f</p></body></html>");
    file.close();
    WebBrowser browser;
    browser.Navigate2(file.fileName());
    EXPECT_FALSE(browser.Busy());
    EXPECT_EQ(browser.ReadyState(), QStringLiteral("complete"));
    EXPECT_EQ(text(browser.bodyInnerHTML()), "<p>次</p>");
    browser.Navigate2(QStringLiteral("file://") + file.fileName());
    EXPECT_EQ(text(browser.bodyInnerHTML()), "<p>次</p>");
    browser.Navigate2(dir.filePath("absent.htm"));
    EXPECT_EQ(browser.ReadyState(), QStringLiteral("complete"));
    EXPECT_EQ(text(browser.bodyInnerHTML()), "");
}

}
