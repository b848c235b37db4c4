#include "tests/support/pageServer.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
// Requests never carry more than a few headers; anything larger is not one of ours.
constexpr int maxRequestHeadBytes = 64 * 1024;
}

PageServer::PageServer()
{
    connect(&server_, &QTcpServer::newConnection, this, &PageServer::onNewConnection);
}

bool PageServer::start()
{
    return server_.isListening() || server_.listen(QHostAddress::LocalHost, 0);
}

quint16 PageServer::port() const
{
    return server_.serverPort();
}

QString PageServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

void PageServer::addPage(const QString& pathAndQuery, const QByteArray& body,
                         const QByteArray& contentType)
{
    Page& page = pages_[pathAndQuery];
    page.body = body;
    page.contentType = contentType;
}

bool PageServer::addFile(const QString& pathAndQuery, const QString& filePath,
                         const QByteArray& contentType)
{
    const QString path = QDir::isRelativePath(filePath)
        ? QDir(QStringLiteral(BRENNOCK_PAGES_DIR)).filePath(filePath) : filePath;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "page file not readable: " << path.toStdString();
        return false;
    }
    addPage(pathAndQuery, file.readAll(), contentType);
    return true;
}

void PageServer::setDelayMs(const QString& pathAndQuery, int ms)
{
    pages_[pathAndQuery].delayMs = ms;
}

void PageServer::setNeverAnswer(const QString& pathAndQuery, bool on)
{
    pages_[pathAndQuery].neverAnswer = on;
}

void PageServer::setDelayFirstN(const QString& pathAndQuery, int n, int ms)
{
    Page& page = pages_[pathAndQuery];
    page.slowFirstN = n;
    page.slowMs = ms;
}

int PageServer::requestCount(const QString& pathAndQuery) const
{
    return counts_.value(pathAndQuery);
}

int PageServer::totalRequests() const
{
    return int(log_.size());
}

QStringList PageServer::requestLog() const
{
    return log_;
}

void PageServer::onNewConnection()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

// One request per connection: every answer closes the connection, so a request's head is all
// that needs reading. A request body (none of our loaders sends one) is ignored.
void PageServer::onReadyRead(QTcpSocket* socket)
{
    if (socket->property("answered").toBool())
        return;
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    if (head.size() > maxRequestHeadBytes) {
        socket->abort();
        return;
    }
    if (!head.contains("\r\n\r\n")) {
        socket->setProperty("head", head);
        return;
    }
    socket->setProperty("answered", true);
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QString target = requestLine.size() >= 2 ? QString::fromLatin1(requestLine[1]) : QString();
    log_.append(target);
    answer(socket, target);
}

void PageServer::answer(QTcpSocket* socket, const QString& target)
{
    const int number = ++counts_[target];
    const Page page = pages_.value(target);
    if (page.neverAnswer)
        return;
    // Settings made for a path that never got a body leave it unknown.
    const QByteArray reply = page.contentType.isEmpty()
        ? response("404 Not Found", "text/html", "<html><body>Not Found</body></html>")
        : response("200 OK", page.contentType, page.body);
    QPointer<QTcpSocket> guarded(socket);
    const auto send = [guarded, reply] {
        if (guarded) {
            guarded->write(reply);
            guarded->disconnectFromHost();
        }
    };
    const int delay = delayFor(page, number);
    if (delay > 0)
        QTimer::singleShot(delay, this, send);
    else
        send();
}

int PageServer::delayFor(const Page& page, int requestNumber) const
{
    return requestNumber <= page.slowFirstN ? page.slowMs : page.delayMs;
}

QByteArray PageServer::response(const QByteArray& status, const QByteArray& contentType,
                                const QByteArray& body)
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + contentType
        + "\r\nContent-Length: " + QByteArray::number(body.size())
        + "\r\nConnection: close\r\n\r\n" + body;
}
