#include "platform/webbrowser.h"

#include "platform/textcodec.h"

#include <QFile>
#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <libxml/HTMLparser.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Where a page declares its charset, it does so near the top; browsers look no further.
constexpr int metaScanBytes = 4096;
// Lifts libxml2's limit on nesting depth, past which it drops the rest of the page (libxml2 2.9
// reads the option under its XML name in the HTML parser too).
constexpr int htmlParseHuge = XML_PARSE_HUGE;

// What went wrong with a transfer, in the user's words: Qt's own texts are English.
QString networkErrorText(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("接続を拒否されました");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("接続を途中で切られました");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("サーバーが見つかりません");
    case QNetworkReply::TimeoutError:
        return QStringLiteral("接続が時間切れになりました");
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
        return QStringLiteral("ネットワークにつながっていません");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("暗号化通信を始められませんでした");
    default:
        return QStringLiteral("通信エラー（%1）").arg(int(error));
    }
}

// Why a finished transfer is no whole page: "" when it is one.
QString transferFailure(const QNetworkReply& reply)
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299))
        return QStringLiteral("エラー応答 HTTP %1").arg(status.toInt());
    if (reply.error() != QNetworkReply::NoError)
        return networkErrorText(reply.error());
    // A compressed body is announced by its compressed length; the count would not compare.
    const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
    const bool encoded = !reply.rawHeader("Content-Encoding").isEmpty()
        && reply.rawHeader("Content-Encoding").compare("identity", Qt::CaseInsensitive) != 0;
    if (length.isValid() && !encoded && reply.bytesAvailable() < length.toLongLong())
        return QStringLiteral("%1バイト中%2バイトしか届きませんでした").arg(length.toLongLong()).arg(reply.bytesAvailable());
    return {};
}

QString localPathOf(const QString& url)
{
    if (url.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return QUrl(url).toLocalFile();
    return url;
}

// The value after "charset=" in a header or tag text, without quotes.
QByteArray charsetParameter(const QByteArray& text)
{
    const QByteArray lower = text.toLower();
    const int at = lower.indexOf("charset");
    if (at < 0)
        return {};
    int i = at + 7;
    while (i < lower.size() && (lower[i] == ' ' || lower[i] == '=' || lower[i] == '"' || lower[i] == '\''))
        ++i;
    int end = i;
    while (end < lower.size()
           && (std::isalnum(static_cast<unsigned char>(lower[end])) || std::strchr("-_:.", lower[end])))
        ++end;
    return lower.mid(i, end - i);
}

// Serialises parsed nodes as a browser's innerHTML does, into UTF-8.
class InnerHtmlWriter {
public:
    // The markup comes out about as long as the page went in: one allocation instead of a
    // growth step after step.
    explicit InnerHtmlWriter(size_t expectedSize) { out_.reserve(expectedSize); }

    std::string take() { return std::move(out_); }

    // Walks the tree with a stack of its own: a page may nest elements far deeper than the call
    // stack would bear.
    void children(const xmlNode* parent)
    {
        struct Level {
            const xmlNode* next;
            const xmlNode* element;  // whose end tag closes the level; none for the parent
            bool rawText;
        };
        std::vector<Level> levels {{parent->children, nullptr, isRawTextElement(parent)}};
        while (!levels.empty()) {
            Level& level = levels.back();
            const xmlNode* n = level.next;
            if (!n) {
                if (level.element)
                    endTag(level.element);
                levels.pop_back();
                continue;
            }
            level.next = n->next;
            if (n->type != XML_ELEMENT_NODE)
                leaf(n, level.rawText);
            else if (startTag(n))
                levels.push_back({n->children, n, isRawTextElement(n)});
        }
    }

    // libxml2 leaves what follows a stray "</body>" or "</html>" beside the body or inside a
    // second html element; a browser moves it into the body (comments aside), and the rows
    // there must be cut like the others.
    void trailing(const xmlNode* first)
    {
        for (const xmlNode* n = first; n; n = n->next) {
            if (isWrapper(n))
                trailing(n->children);
            else if (n->type != XML_COMMENT_NODE)
                node(n, false);
        }
    }

private:
    void node(const xmlNode* n, bool rawText)
    {
        if (n->type != XML_ELEMENT_NODE) {
            leaf(n, rawText);
            return;
        }
        if (startTag(n)) {
            children(n);
            endTag(n);
        }
    }

    void leaf(const xmlNode* n, bool rawText)
    {
        switch (n->type) {
        case XML_TEXT_NODE:
            if (rawText)
                out_ += text(n->content);
            else
                escaped(text(n->content), false);
            break;
        case XML_CDATA_SECTION_NODE:
            out_ += text(n->content);
            break;
        case XML_COMMENT_NODE:
            out_ += "<!--";
            out_ += text(n->content);
            out_ += "-->";
            break;
        default:
            break;
        }
    }

    // The start tag; false for a void element, which has no content and no end tag.
    bool startTag(const xmlNode* n)
    {
        const std::string_view name = text(n->name);
        out_ += '<';
        out_ += name;
        for (const xmlAttr* a = n->properties; a; a = a->next) {
            out_ += ' ';
            out_ += text(a->name);
            out_ += "=\"";
            for (const xmlNode* v = a->children; v; v = v->next)
                escaped(text(v->content), true);
            out_ += '"';
        }
        out_ += '>';
        return !isVoidElement(name);
    }

    void endTag(const xmlNode* n)
    {
        out_ += "</";
        out_ += text(n->name);
        out_ += '>';
    }

    void escaped(std::string_view s, bool attribute)
    {
        for (size_t i = 0; i < s.size(); ++i) {
            const char c = s[i];
            if (c == '&')
                out_ += "&amp;";
            else if (c == '"' && attribute)
                out_ += "&quot;";
            else if ((c == '<' || c == '>') && !attribute)
                out_ += c == '<' ? "&lt;" : "&gt;";
            else if (c == '\xC2' && i + 1 < s.size() && s[i + 1] == '\xA0') {  // U+00A0 in UTF-8
                out_ += "&nbsp;";
                ++i;
            } else
                out_ += c;
        }
    }

    static std::string_view text(const xmlChar* s)
    {
        return s ? std::string_view(reinterpret_cast<const char*>(s)) : std::string_view();
    }

    template <size_t N>
    static bool isOneOf(std::string_view name, const std::array<std::string_view, N>& names)
    {
        return std::find(names.begin(), names.end(), name) != names.end();
    }

    template <size_t N>
    static bool isElementOf(const xmlNode* n, const std::array<std::string_view, N>& names)
    {
        return n->type == XML_ELEMENT_NODE && isOneOf(text(n->name), names);
    }

    static bool isVoidElement(std::string_view name)
    {
        static constexpr std::array<std::string_view, 18> names {
            "area", "base", "basefont", "bgsound", "br", "col", "embed", "frame", "hr",
            "img", "input", "keygen", "link", "meta", "param", "source", "track", "wbr"};
        return isOneOf(name, names);
    }

    static bool isWrapper(const xmlNode* n)
    {
        static constexpr std::array<std::string_view, 3> names {"html", "head", "body"};
        return isElementOf(n, names);
    }

    static bool isRawTextElement(const xmlNode* n)
    {
        static constexpr std::array<std::string_view, 8> names {
            "script", "style", "xmp", "iframe", "noembed", "noframes", "plaintext", "noscript"};
        return isElementOf(n, names);
    }

    std::string out_;
};

const xmlNode* childElement(const xmlNode* parent, const char* name)
{
    for (const xmlNode* n = parent ? parent->children : nullptr; n; n = n->next)
        if (n->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(n->name), name) == 0)
            return n;
    return nullptr;
}

// Whether the tag name at `at` is `name` (any case), as a whole name.
bool isTagName(QStringView html, qsizetype at, QLatin1StringView name)
{
    const qsizetype after = at + name.size();
    // Most tags of a page are cells and rows: their first letter settles it at once.
    return after < html.size() && html[at].toLower() == QLatin1Char(name.front())
        && html.mid(at, name.size()).compare(name, Qt::CaseInsensitive) == 0 && !html[after].isLetterOrNumber();
}

// Where a comment, a script or a style that begins at `at` ends (just past it); -1 when the page
// ends inside it, 0 when none begins there. Their text may hold anything that looks like a tag.
qsizetype endOfOpaque(QStringView html, qsizetype at)
{
    if (html.mid(at, 4) == u"<!--") {
        const qsizetype close = html.indexOf(u"-->", at + 4);
        return close < 0 ? -1 : close + 3;
    }
    for (const QLatin1StringView name : {QLatin1StringView("script"), QLatin1StringView("style")}) {
        if (!isTagName(html, at + 1, name))
            continue;
        const qsizetype close = html.indexOf(QString(QLatin1String("</") + name), at, Qt::CaseInsensitive);
        const qsizetype end = close < 0 ? -1 : html.indexOf(u'>', close);
        return end < 0 ? -1 : end + 1;
    }
    return 0;
}

// One network access for every browser: a browser lives for one page, and a manager of its own
// would set up the transport and a new connection to the server for every page.
QNetworkAccessManager* sharedNetwork()
{
    static QNetworkAccessManager* network = new QNetworkAccessManager(QCoreApplication::instance());
    return network;
}

}

bool isHttpAddress(const QString& url)
{
    return url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

WebBrowser::WebBrowser(QObject* parent)
    : QObject(parent)
    , network_(sharedNetwork())
{
}

WebBrowser::~WebBrowser()
{
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

void WebBrowser::Navigate2(const QString& url)
{
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
    busy_ = true;
    readyState_ = QStringLiteral("loading");
    bodyHtml_.clear();
    loadError_.clear();
    pageCut_ = false;
    httpStatus_ = 0;
    if (!isHttpAddress(url)) {
        loadFile(localPathOf(url));
        return;
    }
    // Tolerant parsing keeps an escaped "%2F" in the query as it is written.
    QNetworkRequest request(QUrl(url, QUrl::TolerantMode));
    reply_ = network_->get(request);
    connect(reply_, &QNetworkReply::finished, this, &WebBrowser::onReplyFinished);
}

void WebBrowser::loadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(file.exists() ? QStringLiteral("ファイルを読めません") : QStringLiteral("ファイルがありません"));
    else
        complete(file.readAll(), {});
}

void WebBrowser::onReplyFinished()
{
    QNetworkReply* reply = reply_;
    if (!reply)
        return;
    reply->deleteLater();
    reply_ = nullptr;
    httpStatus_ = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString why = transferFailure(*reply);
    if (!why.isEmpty()) {
        fail(why);
        return;
    }
    const QByteArray contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    complete(reply->readAll(), charsetParameter(contentType));
}

// The parser would close whatever a cut page leaves open without a word, so the page's own text
// decides whether it is whole.
void WebBrowser::complete(const QByteArray& bytes, const QByteArray& headerCharset)
{
    const QString page = decodePage(bytes, headerCharset);
    if (!isWholePage(page)) {
        pageCut_ = true;
        fail(QStringLiteral("ページが途中で切れています"));
        return;
    }
    bodyHtml_ = bodyInnerHtmlOf(page);
    finish();
}

void WebBrowser::fail(const QString& why)
{
    loadError_ = why;
    finish();
}

void WebBrowser::finish()
{
    busy_ = false;
    readyState_ = QStringLiteral("complete");
    emit loadFinished();
}

QByteArray metaCharset(const QByteArray& page)
{
    const QByteArray head = page.left(metaScanBytes).toLower();
    for (int at = head.indexOf("<meta"); at >= 0; at = head.indexOf("<meta", at + 5)) {
        const int end = head.indexOf('>', at);
        const QByteArray charset = charsetParameter(head.mid(at, end < 0 ? -1 : end - at));
        if (!charset.isEmpty())
            return charset;
    }
    return {};
}

QString decodePage(const QByteArray& bytes, const QByteArray& headerCharset)
{
    const QByteArray charset = headerCharset.isEmpty() ? metaCharset(bytes) : headerCharset;
    return decodeByCharset(bytes, charset);
}

bool isWholePage(QStringView html)
{
    int openTables = 0;
    bool ended = false;
    for (qsizetype i = html.indexOf(u'<'); i >= 0; i = html.indexOf(u'<', i)) {
        const qsizetype opaqueEnd = endOfOpaque(html, i);
        if (opaqueEnd != 0) {
            if (opaqueEnd < 0)
                return false;
            i = opaqueEnd;
            continue;
        }
        const bool closing = i + 1 < html.size() && html[i + 1] == u'/';
        const qsizetype name = i + 1 + (closing ? 1 : 0);
        // A "<" that starts no tag is text.
        if (name >= html.size() || !(html[name].isLetter() || html[name] == u'!' || html[name] == u'?')) {
            ++i;
            continue;
        }
        const qsizetype end = html.indexOf(u'>', name);
        if (end < 0)
            return false;
        if (isTagName(html, name, QLatin1StringView("table"))) {
            openTables = closing ? std::max(openTables - 1, 0) : openTables + 1;
            ended = false;
        } else if (closing && openTables == 0
                   && (isTagName(html, name, QLatin1StringView("body")) || isTagName(html, name, QLatin1StringView("html")))) {
            ended = true;
        }
        i = end + 1;
    }
    return openTables == 0 && ended;
}

QString bodyInnerHtmlOf(const QString& html)
{
    const QByteArray utf8 = html.toUtf8();
    if (utf8.isEmpty())
        return {};
    xmlInitParser();
    // The text is decoded already: a meta tag naming the page's own charset must not make
    // libxml2 decode it a second time.
    htmlDocPtr doc = htmlReadMemory(utf8.constData(), int(utf8.size()), nullptr, "UTF-8",
                                    HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR
                                        | HTML_PARSE_NOWARNING | HTML_PARSE_IGNORE_ENC | HTML_PARSE_COMPACT | htmlParseHuge);
    if (!doc)
        return {};
    InnerHtmlWriter writer(size_t(utf8.size()));
    if (const xmlNode* body = childElement(xmlDocGetRootElement(doc), "body")) {
        writer.children(body);
        writer.trailing(body->next);
    }
    xmlFreeDoc(doc);
    return QString::fromStdString(writer.take());
}
