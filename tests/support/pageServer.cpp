#include "tests/support/pageServer.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/socket.h>

namespace {

// A linger time of zero makes the close send a reset instead of an orderly end.
void resetConnection(QTcpSocket* socket)
{
    const linger immediate {1, 0};
    setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &immediate, sizeof immediate);
    socket->abort();
}

}

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
    const bool faulty = requestCount(target) <= page.faultFirstN;
    if (faulty && page.fault == Fault::Reset) {
        resetConnection(socket);
        return;
    }
    const QByteArray reply = answer(target, faulty ? page : Page {page.body, page.contentType});
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

QByteArray PageServer::answer(const QString& target, const Page& page) const
{
    QByteArray status = "200 OK", body = page.body, contentType = page.contentType;
    if (contentType.isEmpty()) {  // settings alone do not make a page
        body = "<html><body><p>No race: " + target.toLatin1() + "</p></body></html>";
        contentType = "text/html";
    }
    if (page.fault == Fault::NotFound || page.fault == Fault::ServerError) {
        status = page.fault == Fault::NotFound ? "404 Not Found" : "500 Internal Server Error";
        body = "<html><body><table><tr><td>" + status + "</td></tr></table></body></html>";
    }
    if (page.fault == Fault::CutBody)
        body.truncate(body.size() / 2);
    const qsizetype announced = body.size();
    if (page.fault == Fault::ShortBody)
        body.truncate(body.size() / 2);
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + contentType + "\r\nContent-Length: "
        + QByteArray::number(announced) + "\r\nConnection: close\r\n\r\n" + body;
}

QByteArray withoutFoot(const QByteArray& page)
{
    const qsizetype foot = page.indexOf("<table class=\"foot\">");
    const qsizetype end = page.indexOf("</table>", foot);
    if (foot < 0 || end < 0) {
        ADD_FAILURE() << "page without a foot table";
        return page;
    }
    QByteArray bare = page;
    return bare.remove(foot, end + 8 - foot);
}
