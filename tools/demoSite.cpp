#include "tools/demoSite.h"

#include <QTcpSocket>

DemoSite::DemoSite(const VbDate& today) : world_(today), pages_(demoWorldPages(world_)), missing_(demoMissingPage())
{
    connect(&server_, &QTcpServer::newConnection, this, &DemoSite::accept);
}

bool DemoSite::listen(quint16 port)
{
    return server_.listen(QHostAddress::LocalHost, port);
}

// A page the world does not have (a race that does not run, a track without racing that day) is
// answered as the authority's server answers it: a whole page without the data, not an error
// status, which the program takes for a server that does not answer and asks again.
QByteArray DemoSite::response(const QByteArray& target) const
{
    const auto page = pages_.constFind(demoPageKey(QString::fromLatin1(target)));
    const QByteArray& body = page != pages_.cend() ? *page : missing_;
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=Shift_JIS\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

void DemoSite::accept()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            requests_.remove(socket);
            socket->deleteLater();
        });
    }
}

void DemoSite::answer(QTcpSocket* socket)
{
    QByteArray& request = requests_[socket];
    request += socket->readAll();
    if (!request.contains("\r\n\r\n"))
        return;
    const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
    socket->write(response(line.size() >= 2 ? line[1] : QByteArray()));
    socket->disconnectFromHost();
}
