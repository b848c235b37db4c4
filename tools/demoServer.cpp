// demoServer [--port N] [--date yyyy-mm-dd] [--ini path-of-Strevin.ini] [--track-file path]
// Serves one race day of our own pages on 127.0.0.1 at the racing authority's paths, so that a
// new user can read a race without the authority's server: 大井 race 11 of the given day (today
// when none is given), each runner's history and the results of the runners' last race.
// With --ini it points [System] webHost of that settings file at itself, unless the user has set
// a host of their own there (then it exits with status 3 and serves nothing).
// With --track-file it gives a local track information file that holds no standard time (the
// default one of a new set-up) the variants and standard times of the demo's days, so that the
// demo race gets its speed indices and prediction; a file with standard times is left alone.
// Prints "127.0.0.1:<port>" once it listens; runs until it is stopped.
#include "tools/demoPages.h"


#include <QCoreApplication>
#include <QDate>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdio>

namespace {

QHash<QByteArray, QByteArray> demoSite(const DemoRace& race)
{
    QHash<QByteArray, QByteArray> pages;
    pages.insert(demoCardTarget(race).toUtf8(), demoCard(race));
    for (int h = 1; h <= race.runners; ++h)
        pages.insert(demoHistoryTarget(h).toUtf8(), demoHistory(race, h));
    pages.insert(demoResultsTarget(race).toUtf8(), demoResults(race));
    return pages;
}

// An unknown page is answered as the authority's server answers: a page without the data.
QByteArray response(const QHash<QByteArray, QByteArray>& pages, const QByteArray& target)
{
    const auto page = pages.constFind(target);
    const QByteArray body = page != pages.cend()
        ? *page
        : QByteArray("<html><body><table><tr><td>ページが見つかりません</td></tr></table></body></html>");
    return QByteArray("HTTP/1.1 200 OK\r\n") +
           "Content-Type: text/html; charset=Shift_JIS\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

// Answers each connection once its request head has come in.
class DemoSite : public QObject {
public:
    explicit DemoSite(const DemoRace& race) : pages_(demoSite(race))
    {
        connect(&server_, &QTcpServer::newConnection, this, &DemoSite::accept);
    }
    bool listen(quint16 port) { return server_.listen(QHostAddress::LocalHost, port); }
    quint16 port() const { return server_.serverPort(); }
    QString errorString() const { return server_.errorString(); }

private:
    void accept()
    {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                requests_.remove(socket);
                socket->deleteLater();
            });
        }
    }
    void answer(QTcpSocket* socket)
    {
        QByteArray& request = requests_[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
        socket->write(response(pages_, line.size() >= 2 ? line[1] : QByteArray()));
        socket->disconnectFromHost();
    }

    QHash<QByteArray, QByteArray> pages_;
    QHash<QTcpSocket*, QByteArray> requests_;
    QTcpServer server_;
};

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    DemoRace race;
    race.date = VbDate::fromQDate(QDate::currentDate());
    quint16 port = 0;
    QString ini, trackFile;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--port")
            port = quint16(args[i + 1].toUInt());
        else if (args[i] == "--ini")
            ini = args[i + 1];
        else if (args[i] == "--track-file")
            trackFile = args[i + 1];
        else if (args[i] == "--date")
            race.date = VbDate::fromQDate(QDate::fromString(args[i + 1], Qt::ISODate));
    }
    if (race.date.isZero()) {
        std::fprintf(stderr, "demoServer: the date must be yyyy-mm-dd\n");
        return 2;
    }
    DemoSite site(race);
    if (!site.listen(port)) {
        std::fprintf(stderr, "demoServer: cannot listen: %s\n", qPrintable(site.errorString()));
        return 1;
    }
    const QString host = QStringLiteral("127.0.0.1:%1").arg(site.port());
    if (!ini.isEmpty() && !pointWebHostAt(ini, host))
        return 3;
    if (!trackFile.isEmpty()) {
        try {
            if (fillEmptyTrackFile(trackFile, race))
                std::fprintf(stderr, "demoServer: the demo's track variants and standard times are in %s\n",
                             qPrintable(trackFile));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "demoServer: %s is left as it was: %s\n", qPrintable(trackFile), e.what());
        }
    }
    std::printf("%s\n", qPrintable(host));
    std::fflush(stdout);
    return app.exec();
}
