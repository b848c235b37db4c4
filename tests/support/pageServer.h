#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests that load pages through the real loading code.
// It runs in the calling thread's event loop: the loader waits by processing events, which
// also serves the requests. Paths are matched exactly as received (no decoding), so a test
// can check that an escaped character reached the server unchanged.
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

class PageServer : public QObject {
    Q_OBJECT
public:
    PageServer();

    // Listens on a free port of 127.0.0.1; false when no port could be had.
    bool start();
    quint16 port() const;
    QString baseUrl() const;  // "http://127.0.0.1:PORT"

    void addPage(const QString& pathAndQuery, const QByteArray& body,
                 const QByteArray& contentType = "text/html");
    // A relative filePath is taken from tests/pages. Fails the current test when unreadable.
    bool addFile(const QString& pathAndQuery, const QString& filePath,
                 const QByteArray& contentType = "text/html; charset=Shift_JIS");

    // Answers that page late (non-blocking).
    void setDelayMs(const QString& pathAndQuery, int ms);
    // Accepts the request and never answers, as a hung server does.
    void setNeverAnswer(const QString& pathAndQuery, bool on);
    // The first n requests for that page are answered after ms, later ones at the usual delay.
    void setDelayFirstN(const QString& pathAndQuery, int n, int ms);

    int requestCount(const QString& pathAndQuery) const;
    int totalRequests() const;
    // Request targets in arrival order, as received.
    QStringList requestLog() const;

private:
    struct Page {
        QByteArray body;
        QByteArray contentType;
        int delayMs = 0;
        bool neverAnswer = false;
        int slowFirstN = 0;
        int slowMs = 0;
    };

    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const QString& target);
    int delayFor(const Page& page, int requestNumber) const;
    static QByteArray response(const QByteArray& status, const QByteArray& contentType,
                               const QByteArray& body);

    QTcpServer server_;
    QHash<QString, Page> pages_;
    QHash<QString, int> counts_;
    QStringList log_;
};
