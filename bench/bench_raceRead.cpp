// The whole race read as the user starts it: the race card and 18 histories of 150 runs each from
// the loopback page server, every run indexed, the new ones stored, the prediction and the
// fill-all of the main window. Once with every run new (a fresh race database per pass), once
// with the runs already stored. Wall time is what the user waits for.
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "mainwindow/frmMain.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "tests/support/dataFiles.h"
#include "tests/support/pageServer.h"
#include "tools/demoPages.h"

#include <QFile>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

DemoRace benchRace()
{
    DemoRace race {VbDate::fromYmd(2008, 3, 24)};
    race.runners = 18;
    race.historyRuns = 150;
    race.daysBetweenRuns = 4;
    return race;
}

class RaceReadBench {
public:
    RaceReadBench()
    {
        dir_.createStrevinData();
        dir_.createComment();
        dir_.copyImages();
        writeDemoTrackTables(dir_.filePath("Strevin_data.dat"), "lumo", race_);
        pristine_ = dir_.createNarData() + ".pristine";
        QFile::copy(narPath(), pristine_);
        server_.start();
        const QByteArray type = "text/html; charset=Shift_JIS";
        server_.addPage(demoCardTarget(race_), demoCard(race_), type);
        for (int h = 1; h <= race_.runners; ++h)
            server_.addPage(demoHistoryTarget(h), demoHistory(race_, h), type);
        iniWrite("System", "webHost", QStringLiteral("127.0.0.1:%1").arg(server_.port()));
        setVbToday(race_.date);
        pd.kakoKikan = 730;
        pd.timerInter = 5;
        form_ = std::make_unique<FrmMain>();
        form_->show();
    }
    ~RaceReadBench() { setVbToday(VbDate()); }

    QString narPath() const { return dir_.filePath("NAR_data.dat"); }
    void freshRaceDatabase()
    {
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(narPath() + suffix);
        QFile::copy(pristine_, narPath());
    }
    void read() { form_->starRaceRead(); }
    // The read went through: every runner read, nothing reported, the runs stored with an index.
    bool complete()
    {
        openDbOrThrow(0, narPath(), dbPassword);
        const RecordSet stored(0, "SELECT COUNT(*) FROM T_Useiseki WHERE U_sisuu <> 0");
        const int n = stored.field(0).toInt();
        closeDb(0);
        return pd.tousuu == race_.runners && messages_.texts().isEmpty() && n == race_.runners * 100;
    }

private:
    DemoRace race_ = benchRace();
    TestAppDir dir_;
    PageServer server_;
    MsgBoxRecorder messages_;
    QString pristine_;
    std::unique_ptr<FrmMain> form_;
};

void BM_RaceReadAllRunsNew(benchmark::State& state)
{
    RaceReadBench bench;
    for (auto _ : state) {
        state.PauseTiming();
        bench.freshRaceDatabase();
        state.ResumeTiming();
        bench.read();
    }
    if (!bench.complete())
        state.SkipWithError("the race read did not store every run with its index");
    state.counters["runs_stored"] = 18 * 100;
}
BENCHMARK(BM_RaceReadAllRunsNew)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_RaceReadRunsStored(benchmark::State& state)
{
    RaceReadBench bench;
    bench.read();
    for (auto _ : state)
        bench.read();
    if (!bench.complete())
        state.SkipWithError("the race read did not find every run stored with its index");
}
BENCHMARK(BM_RaceReadRunsStored)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}
