// Results import: one results page cut, parsed and stored; a whole day of 14 tracks x 12 races
// imported from a loopback server through the import window.
#include "tests/webimport/seisekiFixture.h"
#include "webimport/ReadWebSeiseki.h"
#include "webimport/frmWebSeiseki.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <benchmark/benchmark.h>

namespace {

constexpr VbDate kDay(39531);  // 2008-03-24
constexpr int kTracks = 14;
constexpr int kRaces = 12;

// A program folder with the data files, a standard time and a variant for the page's course.
struct Folder {
    Folder()
    {
        dir.createNarData();
        dir.createStrevinData();
        openDb(1, appPath() + "Strevin_data.dat", dbPassword);
        insertRow(1, "T_sisuu", DbRow().set("S_date", kDay).set("S_zyo", "大井").set("S_siba", 0).set("S_sisuu", 0.5));
        insertRow(1, "T_avetime",
                  DbRow().set("A_zyo", "大井").set("A_kyori", 1600).set("A_class", "ave").set("A_sin_kyu", 1)
                      .set("A_siba", 0).set("A_time", 102.0));
        slotConnection(1).execute("DELETE FROM MasterZyo WHERE zyoNo > ?", {kTracks});
        closeDb(1);
    }
    TestAppDir dir;
    MsgBoxRecorder msgs;
};

void BM_ParseAndStoreOnePage(benchmark::State& state)
{
    Folder folder;
    const QByteArray page = seisekiPage("seiseki_normal.htm");
    openDb(1, appPath() + "Strevin_data.dat", dbPassword);
    openDb(2, appPath() + "NAR_data.dat", dbPassword);
    for (auto _ : state) {
        cutPage(page);
        SeisekiRace race;
        parseSeiseki(race);
        benchmark::DoNotOptimize(saveSeiseki(race));
    }
    closeDb(2);
    closeDb(1);
    state.counters["per_page"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate
                                                       | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ParseAndStoreOnePage)->Unit(benchmark::kMillisecond);

void BM_ImportDayOf14TracksFromLoopback(benchmark::State& state)
{
    Folder folder;
    PageServer server;
    server.start();
    iniWrite("System", "webHost", QStringLiteral("127.0.0.1:%1").arg(server.port()));
    QList<std::pair<QString, QString>> tracks;
    openDb(1, appPath() + "Strevin_data.dat", dbPassword);
    for (RecordSet rs(1, "SELECT zyoCode, zyoName FROM MasterZyo ORDER BY zyoNo"); !rs.eof(); rs.moveNext())
        tracks.append({rs["zyoCode"].toString(), rs["zyoName"].toString()});
    closeDb(1);
    for (const auto& [code, name] : tracks)
        for (int r = 1; r <= kRaces; ++r)
            server.addPage(resultsPath(code, kDay, r), raceOn(name, kDay, r));

    FrmWebSeiseki form;
    for (QComboBox* box : {form.cmbStartNen, form.cmbEndNen})
        box->setCurrentText("2008");
    for (QComboBox* box : {form.cmbStartTuki, form.cmbEndTuki})
        box->setCurrentText("03");
    for (QComboBox* box : {form.cmbStartHi, form.cmbEndHi})
        box->setCurrentText("24");
    for (auto _ : state)
        form.cmdWebStart->click();
    const int pages = kTracks * kRaces;
    if (server.totalRequests() != pages * int(state.iterations()))
        state.SkipWithError("the import did not ask for every page once");
    state.counters["pages"] = pages;
    state.counters["per_page"] = benchmark::Counter(pages, benchmark::Counter::kIsIterationInvariantRate
                                                       | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ImportDayOf14TracksFromLoopback)->Unit(benchmark::kMillisecond)->Iterations(3);

}
