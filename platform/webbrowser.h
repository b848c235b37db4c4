#pragma once
// The embedded browser of the loading window: loads one address at a time over HTTP (or a
// local file), decodes it, and offers what the page readers poll: Busy, ReadyState and the
// body's innerHTML. No events are part of the contract; `loadFinished` only wakes a waiting
// loop early. A transfer that fails (no connection, a reset, an error status, a body shorter than
// announced) completes without a body and says why in LoadError, and so does a page that came whole
// over the wire but is cut short in its text (PageCut): half a page is never offered as the page.
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

class WebBrowser : public QObject {
    Q_OBJECT
public:
    explicit WebBrowser(QObject* parent = nullptr);
    ~WebBrowser() override;

    // Starts loading and returns at once; a load still running is abandoned. An address
    // without "http://" or "https://" is a file ("file:" address or a path).
    void Navigate2(const QString& url);
    bool Busy() const { return busy_; }
    // "uninitialized" before the first address, "loading" while it loads, then "complete".
    QString ReadyState() const { return readyState_; }
    // The document body's markup as a browser's innerHTML gives it; "" when there is none.
    QString bodyInnerHTML() const { return bodyHtml_; }
    // Why the last load failed, in Japanese; "" when it completed whole (or is still running).
    QString LoadError() const { return loadError_; }
    // Whether the last load failed because its page ends before its tables and its end tag.
    bool PageCut() const { return pageCut_; }
    // The HTTP status of the last answer; 0 before an answer, for a file, or when none came.
    int HttpStatus() const { return httpStatus_; }

signals:
    void loadFinished();

private:
    void loadFile(const QString& path);
    void onReplyFinished();
    void complete(const QByteArray& bytes, const QByteArray& headerCharset);
    void fail(const QString& why);
    void finish();

    QNetworkAccessManager* network_;
    QPointer<QNetworkReply> reply_;
    bool busy_ = false;
    bool pageCut_ = false;
    int httpStatus_ = 0;
    QString readyState_ = QStringLiteral("uninitialized");
    QString bodyHtml_;
    QString loadError_;
};

// Whether Navigate2 asks a server for the address ("http://", "https://") rather than reads a file.
bool isHttpAddress(const QString& url);
// The charset a page declares in a <meta> tag within its head ("" when none).
QByteArray metaCharset(const QByteArray& page);
// Decodes a page: the HTTP header's charset, else the meta tag's, else CP932.
QString decodePage(const QByteArray& bytes, const QByteArray& headerCharset);
// Whether a page's text runs to its end: every table it opens is closed, and a body or html end tag
// follows the last of them (the page's end tags of rows and cells may be left out). Comments and
// scripts do not count, but must end.
bool isWholePage(QStringView html);
// The body of an HTML text serialised as innerHTML: end tags present (also where the source
// omits them), void elements without one, text escaping & < > and U+00A0 as "&nbsp;". Any depth
// of nesting is read.
QString bodyInnerHtmlOf(const QString& html);
