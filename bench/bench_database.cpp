// Open/close of a slot (done per procedure, many times per race read), a horse's run
// history by name, and the past-run insert with its own transaction.
#include "platform/database.h"
#include "tests/support/dataFiles.h"

#include <benchmark/benchmark.h>

namespace {

const QString kPassword = QStringLiteral("lumo");

// Argument 0: the race database (write-ahead log); 1: a track file (rollback journal).
void BM_OpenCloseEncrypted(benchmark::State& state)
{
    TestAppDir dir;
    const QString path = state.range(0) == 0 ? dir.createNarData() : dir.createStrevinData();
    dbKeyFor(kPassword);  // derived once per run of the program, not per open
    for (auto _ : state) {
        openDbOrThrow(1, path, kPassword);
        closeDb(1);
    }
}
BENCHMARK(BM_OpenCloseEncrypted)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A race database of 2000 races with 12 runners each; every horse has 24 runs.
QString fillRaceDb(TestAppDir& dir)
{
    const QString path = dir.createNarData();
    openDbOrThrow(1, path, kPassword);
    DbTransaction t(1);
    for (int race = 0; race < 2000; ++race) {
        const QString code = QStringLiteral("大井%1").arg(race, 8, 10, QLatin1Char('0'));
        for (int runner = 0; runner < 12; ++runner) {
            insertRow(1, QStringLiteral("T_Useiseki"),
                      DbRow()
                          .set(QStringLiteral("R_code"), code)
                          .set(QStringLiteral("U_name"), QStringLiteral("馬%1").arg((race % 83) * 12 + runner))
                          .set(QStringLiteral("U_sisuu"), 50.0f + float(runner))
                          .set(QStringLiteral("U_kisyu"), QStringLiteral("騎手%1").arg(runner)));
        }
    }
    t.commit();
    return path;
}

void BM_RunsOfHorse(benchmark::State& state)
{
    TestAppDir dir;
    fillRaceDb(dir);
    int64_t rows = 0;
    for (auto _ : state) {
        RecordSet rs(1, QStringLiteral("SELECT * FROM T_Useiseki WHERE U_name = ? ORDER BY R_code DESC"),
                     {QStringLiteral("馬100")});
        float sum = 0;
        for (; !rs.eof(); rs.moveNext(), ++rows)
            sum += rs[QStringLiteral("U_sisuu")].toFloat() + float(rs[QStringLiteral("U_kisyu")].toString().size());
        benchmark::DoNotOptimize(sum);
    }
    state.counters["rows/s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RunsOfHorse)->Unit(benchmark::kMicrosecond);

void BM_InsertPastRunInTransaction(benchmark::State& state)
{
    TestAppDir dir;
    openDbOrThrow(1, dir.createNarData(), kPassword);
    int n = 0;
    for (auto _ : state) {
        DbTransaction t(1);
        insertRow(1, QStringLiteral("T_Rdata"), DbRow().set(QStringLiteral("R_code"), QString::number(n++)));
        t.commit();
    }
}
BENCHMARK(BM_InsertPastRunInTransaction)->Unit(benchmark::kMicrosecond)->Iterations(200);

}  // namespace
