#pragma once
// An HTTP/1.1 server on 127.0.0.1 in the calling thread's event loop (which loaders spin while they
// wait). Targets are matched as received, so a test can check that "%2F" reached it unchanged. A
// target without a page gets the small page the authority's server shows for a race that did not
// run; the faults of a real network are there to be switched on per target.
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

class PageServer : public QObject {
    Q_OBJECT
public:
    PageServer();
    bool start() { return server_.isListening() || server_.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return server_.serverPort(); }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(port()); }
    // Stops listening: connections to its port are then refused.
    void stop() { server_.close(); }

    enum class Fault {
        None,
        Reset,       // reads the request, then resets the connection
        ShortBody,   // sends half the body under the whole body's Content-Length
        CutBody,     // sends half the body as a whole answer (its own Content-Length)
        NotFound,    // answers 404
        ServerError, // answers 500
    };

    void addPage(const QString& target, const QByteArray& body, const QByteArray& contentType = "text/html")
    {
        pages_[target].body = body;
        pages_[target].contentType = contentType;
    }
    // A relative filePath is taken from tests/pages. Fails the current test when unreadable.
    bool addFile(const QString& target, const QString& filePath,
                 const QByteArray& contentType = "text/html; charset=Shift_JIS");
    // The first n requests for that page are answered after ms (without blocking).
    void setDelayFirstN(const QString& target, int n, int ms) { pages_[target].slowFirstN = n; pages_[target].slowMs = ms; }
    // Accepts the request and never answers, as a hung server does.
    void setNeverAnswer(const QString& target, bool on) { pages_[target].neverAnswer = on; }
    // The first n requests for that target meet the fault; later ones get the page.
    void setFaultFirstN(const QString& target, Fault fault, int n) { pages_[target].fault = fault; pages_[target].faultFirstN = n; }

    int requestCount(const QString& target) const { return int(log_.count(target)); }
    int totalRequests() const { return int(log_.size()); }
    QStringList requestLog() const { return log_; }  // targets in arrival order

private:
    struct Page {
        QByteArray body, contentType;
        bool neverAnswer = false;
        int slowFirstN = 0, slowMs = 0;
        Fault fault = Fault::None;
        int faultFirstN = 0;
    };
    void onReadyRead(QTcpSocket* socket);
    QByteArray answer(const QString& target, const Page& page) const;

    QTcpServer server_;
    QHash<QString, Page> pages_;
    QStringList log_;
};

// The page without its foot table (the sample and demo pages' last table, class "foot"): it then
// ends right after its last part. Fails the current test when the page has no foot.
QByteArray withoutFoot(const QByteArray& page);
