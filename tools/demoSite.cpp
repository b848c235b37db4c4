#include "tools/demoSite.h"

#include <QTcpSocket>

namespace {

QHash<QByteArray, QByteArray> demoPages(const DemoRace& race)
{
    QHash<QByteArray, QByteArray> pages;
    pages.insert(demoCardTarget(race).toUtf8(), demoCard(race));
    for (int h = 1; h <= race.runners; ++h)
        pages.insert(demoHistoryTarget(h).toUtf8(), demoHistory(race, h));
    pages.insert(demoResultsTarget(race).toUtf8(), demoResults(race));
    return pages;
}

// An unknown page (a race that did not run, a track without racing that day) is answered as the
// authority's server answers it: a whole page without the data, not an error status, which the
// program takes for a server that does not answer and asks again.
QByteArray response(const QHash<QByteArray, QByteArray>& pages, const QByteArray& target)
{
    const auto page = pages.constFind(target);
    const QByteArray body = page != pages.cend()
        ? *page
        : QByteArray("<html><body><table><tr><td>ページが見つかりません</td></tr></table></body></html>");
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=Shift_JIS\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

}

DemoSite::DemoSite(const DemoRace& race) : pages_(demoPages(race))
{
    connect(&server_, &QTcpServer::newConnection, this, &DemoSite::accept);
}

bool DemoSite::listen(quint16 port)
{
    return server_.listen(QHostAddress::LocalHost, port);
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
    socket->write(response(pages_, line.size() >= 2 ? line[1] : QByteArray()));
    socket->disconnectFromHost();
}
