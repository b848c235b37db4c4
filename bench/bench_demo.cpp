// The demo server: making the whole world and its pages at start-up (target under 1 s), and
// answering one page over a loopback connection (target under 5 ms), a history, a results page,
// a race card and a page it does not have.
#include "tools/demoSite.h"

#include <QCoreApplication>
#include <QDate>
#include <QTcpSocket>
#include <benchmark/benchmark.h>

namespace {

const VbDate kToday = VbDate::fromYmd(2026, 12, 7);

void BM_DemoWorldStart(benchmark::State& state)
{
    for (auto _ : state) {
        const DemoSite site(kToday);
        benchmark::DoNotOptimize(&site);
    }
}
BENCHMARK(BM_DemoWorldStart)->Unit(benchmark::kMillisecond)->UseRealTime();

// One request on its own connection, as the program's loader makes it, until the server closes.
QByteArray fetch(quint16 port, const QString& target)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    QByteArray answer;
    QObject::connect(&socket, &QTcpSocket::connected, [&] { socket.write("GET " + target.toLatin1() + " HTTP/1.1\r\nHost: x\r\n\r\n"); });
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { answer += socket.readAll(); });
    while (socket.state() != QAbstractSocket::UnconnectedState)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return answer;
}

void BM_DemoServerAnswer(benchmark::State& state)
{
    DemoSite site(kToday);
    if (!site.listen(0)) {
        state.SkipWithError("cannot listen");
        return;
    }
    const DemoWorld& w = site.world();
    const DemoWorldRace& card = w.races().back();
    const DemoWorldRace& past = w.races().front();
    const QString targets[] = {demoHistoryTarget(w.horses()[size_t(card.field[0].horse)]), demoResultsTarget(w, past),
                               demoCardTarget(w, card), demoCardTarget(w, card).replace("k_raceNo=12", "k_raceNo=13")};
    const QString& target = targets[state.range(0)];
    int64_t bytes = 0;
    for (auto _ : state)
        bytes += fetch(site.port(), target).size();
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_DemoServerAnswer)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond)->UseRealTime();

}
