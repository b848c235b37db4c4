#include "tests/support/pageServer.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

PageServer::PageServer()
{
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool PageServer::addFile(const QString& target, const QString& filePath, const QByteArray& contentType)
{
    QFile file(QDir(QStringLiteral(BRENNOCK_PAGES_DIR)).filePath(filePath));  // absolute paths stay as they are
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "page file not readable: " << file.fileName().toStdString();
        return false;
    }
    addPage(target, file.readAll(), contentType);
    return true;
}

// One request per connection: every answer closes the connection, so a request's head is all
// that needs reading (none of our loaders sends a body).
void PageServer::onReadyRead(QTcpSocket* socket)
{
    const QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    if (socket->property("answered").toBool() || !head.contains("\r\n\r\n"))
        return;
    socket->setProperty("answered", true);
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QString target = requestLine.size() >= 2 ? QString::fromLatin1(requestLine[1]) : QString();
    log_.append(target);
    const Page page = pages_.value(target);
    if (page.neverAnswer)
        return;
    const bool known = !page.contentType.isEmpty();  // settings alone do not make a page
    const QByteArray body = known ? page.body : QByteArray("<html><body>Not Found</body></html>");
    const QByteArray reply = (known ? "HTTP/1.1 200 OK\r\nContent-Type: " + page.contentType
                                    : QByteArray("HTTP/1.1 404 Not Found\r\nContent-Type: text/html"))
        + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    const auto send = [guarded = QPointer<QTcpSocket>(socket), reply] {
        if (guarded) {
            guarded->write(reply);
            guarded->disconnectFromHost();
        }
    };
    if (requestCount(target) <= page.slowFirstN)
        QTimer::singleShot(page.slowMs, this, send);
    else
        send();
}
