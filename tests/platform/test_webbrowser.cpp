#include "platform/textcodec.h"
#include "platform/webbrowser.h"
#include "tests/support/pageServer.h"

#include <QTest>
#include <gtest/gtest.h>

// As a browser writes it: omitted end tags added, its escapes, what follows a stray </body> or </html> kept.
TEST(InnerHtml, BodiesComeBackAsABrowserWritesThemInTheirCharset)
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
    // Past a depth of 256 the rest of a page used to vanish; the deepest nesting must not exhaust the stack.
    for (const int depth : {300, 200000}) {
        const QString inner = bodyInnerHtmlOf("<body><table><tr><td>a</td></tr></table>" + QString("<div>").repeated(depth) + "x"
                                              + QString("</div>").repeated(depth) + "<table><tr><td>after</td></tr></table></body>");
        EXPECT_TRUE(inner.endsWith("</div><table><tr><td>after</td></tr></table>") && inner.count("<div>") == depth) << depth;
    }

    // The header's charset wins over a meta tag; with neither, CP932 (0x81 0x7C is "－").
    const QByteArray sjisMeta = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\"><body>\x81\x7C\x93\xfa</body>";
    const QByteArray utf8Meta = "<html><head><meta charset='utf-8'></head><body>\xE6\x97\xA5</body></html>";
    const struct { QByteArray page, header; const char* expected; } pages[] = {
        {sjisMeta, {}, "－日"}, {utf8Meta, {}, "日"}, {"<meta charset=utf-8><body>\x93\xfa</body>", "Shift_JIS", "日"},
        {"<body>\x87\x40</body>", {}, "①"},
    };
    for (const auto& c : pages)
        EXPECT_EQ(bodyInnerHtmlOf(decodePage(c.page, c.header)).toStdString(), c.expected);
}

// A new address abandons the load still running. (Failed transfers, the query as written: the page loader's tests.)
TEST(WebBrowser, ANewAddressAbandonsTheLoadStillRunning)
{
    PageServer server;
    ASSERT_TRUE(server.start());
    server.addPage("/page", "<html><body><table><tr><td>\xE6\x97\xA5</td></tr></table></body></html>", "text/html; charset=utf-8");
    server.addPage("/slow", "<body>slow</body>");
    server.setDelayFirstN("/slow", 1, 300);
    WebBrowser browser;
    browser.Navigate2(server.baseUrl() + "/slow");
    browser.Navigate2(server.baseUrl() + "/page");
    EXPECT_TRUE(browser.Busy() && browser.ReadyState() == "loading");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !browser.Busy() && browser.ReadyState() == "complete"; }, 5000));
    QTest::qWait(400);
    EXPECT_EQ(browser.bodyInnerHTML().toStdString() + "|" + browser.LoadError().toStdString(), "<table><tr><td>日</td></tr></table>|");
}

// Microsoft's table, with the characters strict Shift_JIS maps elsewhere or lacks; unmappable: "?" or an HTML reference.
TEST(Cp932, EncodesAndDecodesMicrosoftsTable)
{
    const struct { const char* text; QByteArray bytes; } cases[] = {
        {"～", "\x81\x60"}, {"①", "\x87\x40"}, {"－", "\x81\x7C"}, {"髙", "\xFB\xFC"}, {"﨑", "\xFA\xB1"}, {"∥", "\x81\x61"},
        {"大井", "\x91\xE5\x88\xE4"}, {"ｱｲｳﾞ", "\xB1\xB2\xB3\xDE"}, {"A\\~ 1", "A\\~ 1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toCp932(c.text).toHex(' ') + " " + fromCp932(c.bytes).toUtf8(), c.bytes.toHex(' ') + " " + c.text);
    for (const char* name : {"Shift_JIS", "shift-jis", "SJIS", "x-sjis", "windows-31j", "CP932", "", "bogus"})
        EXPECT_EQ(decodeByCharset("\x91\xE5\x88\xE4\x81\x7C", name), "大井－") << name;
    EXPECT_EQ(decodeByCharset("\xC2\xE7\xB0\xE6", "euc-jp") + decodeByCharset("大井～", " UTF-8 "), "大井大井～");
    EXPECT_EQ(toCp932("a😀b¬大") + "|" + toCp932Html("a😀b¬大&"), QByteArray("a?b?\x91\xE5|a&#128512;b&#172;\x91\xE5&"));

    // A cut double-byte character is marked; 0xFA-0xFC lead, but a trail byte in that range does not.
    const QString cut = QString(QChar(QChar::ReplacementCharacter));
    const struct { QByteArray bytes; QString text; } cuts[] = {
        {"\xFB", cut}, {"\xFA", cut}, {"\xFC", cut}, {"A\xFB\xFC\xFA", "A髙" + cut}, {"\xFA\xB1\xFB\xFC", "﨑髙"},
        {"\xFB\xFC\xFB\xFC\xFB", "髙髙" + cut}, {"\xFB\xFC", "髙"}, {"\xB1\xFB\xFC", "ｱ髙"}, {"\x91\xE5\xFA\xB1\x81", "大﨑" + cut},
    };
    for (const auto& c : cuts)
        EXPECT_EQ(fromCp932(c.bytes), c.text) << c.bytes.toHex(' ').toStdString();
    const QString text = fromCp932("\x91\xE5\x85\x40OK\x81");
    EXPECT_TRUE(text.startsWith("大") && text.contains("OK") && text.back() == cut[0]) << text.toStdString();
}
