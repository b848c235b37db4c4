// The race database's indexes over the four-million-run file (bench/support/benchRaceFile.h):
// writing a race read's worth of runs (12 horses' histories of 150 runs, in one transaction, by the
// race read's own writers) and a day's results (150 races of 12 runners), with this schema's
// indexes and with those of the schema before the person sheets read by the run's day; and
// upgrading a file of that older schema in the background while the window's event loop runs. Each schema has its file, written the same way (some minutes
// for the older one), so that their sizes compare; they are kept until the schema changes.
#include "bench/support/benchData.h"
#include "bench/support/benchRace.h"
#include "bench/support/benchRaceFile.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "core/raceIndexes.h"
#include "platform/database.h"
#include "platform/flexgrid.h"
#include "platform/vbformat.h"
#include "sheets/sheetOpen.h"
#include "sheets/subjectSheet.h"
#include "tests/support/dataFiles.h"
#include "webimport/ReadWeb.h"
#include "webimport/importGuard.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {
// The person indexes of the schema before: by the person alone.
const char* const kPreviousIndexes[] = {"CREATE INDEX T_Useiseki_U_kisyu ON T_Useiseki (U_kisyu)",
                                        "CREATE INDEX T_Useiseki_U_cyoukyou ON T_Useiseki (U_cyoukyou)",
                                        "CREATE INDEX T_Useiseki_U_chichi ON T_Useiseki (U_chichi)"};
const char* const kPersonColumns[] = {"U_kisyu", "U_cyoukyou", "U_chichi"};

Connection open(const QString& path)
{
    return Connection(path, dbKeyFor(dbPassword));
}

void copyFile(const QString& from, const QString& to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        throw std::runtime_error("cannot copy the bench file");
}

// This schema's file as the sheets' benchmark has it, and one written the same way with the
// person indexes of the schema before.
void makeCopies(const QString& folder)
{
    copyFile(fourMillionRunFolder() + "/NAR_data.dat", folder + "/current.dat");
    const QString previous = createDataFile(DataFileKind::NarData, testSchemaDir(), folder);
    {
        Connection c = open(previous);
        for (const char* column : kPersonColumns)
            c.execute("DROP INDEX " + personRunIndex(column));
        for (const char* create : kPreviousIndexes)
            c.execute(create);
    }
    writeFourMillionRuns(previous);
    if (!QFile::rename(previous, folder + "/previous.dat"))
        throw std::runtime_error("cannot rename the bench file");
    QFile::remove(previous + "-wal");
    QFile::remove(previous + "-shm");
}

QString copies()
{
    static const QString folder = keptBenchFolder("RaceFileSchemas", {"NAR_data.sql"}, makeCopies);
    return folder;
}

void printSizes()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    openDbOrThrow(1, copies() + "/current.dat", dbPassword);
    const double current = usedMegabytes(1);
    openDbOrThrow(1, copies() + "/previous.dat", dbPassword);
    const double previous = usedMegabytes(1);
    closeDb(1);
    std::fprintf(stderr, "the same runs: %.0f MB with this schema, %.0f MB with the one before (%+.1f %%)\n", current,
                 previous, 100.0 * (current / previous - 1.0));
}

// The past runs of runner umaIdx.
void writeHorse()
{
    for (webRow = 1; webRow <= kPastRuns; ++webRow) {
        saveRdataRireki();
        saveUseisekiRireki();
    }
}

// 12 runners' 150 past runs each, on four tracks over six years, under the busiest jockeys.
void writeHistories()
{
    DbTransaction t(1);
    for (pd.umaIdx = 1; pd.umaIdx <= 12; ++pd.umaIdx)
        writeHorse();
    t.commit();
}

// A day's results after the file's last day: 150 races of 12 runners, as the results import writes
// them (each row upserted), the people picked as the file's were.
void writeResults()
{
    QRandomGenerator rng(7);
    const VbDate day = kFirstDay.addDays(kYears * 365 + 1);
    DbTransaction t(1);
    for (int race = 0; race < 150; ++race) {
        const QString zyo = QStringList {"大井", "川崎", "船橋", "浦和", "園田", "姫路", "名古", "笠松", "金沢", "高知",
                                         "佐賀", "盛岡", "水沢"}[race / 12];
        const QString code = zyo + Format(day, "yymmdd") + Format(1 + race % 12, "00");
        upsertRow(1, "T_Rdata", DbRow().set("R_code", code),
                  DbRow().set("R_zyo", zyo).set("R_date", day).set("R_no", 1 + race % 12).set("R_kyori", 1400)
                      .set("R_tousuu", 12).set("R_flag", "Seiseki"));
        for (int h = 1; h <= 12; ++h)
            upsertRow(1, "T_Useiseki", DbRow().set("R_code", code).set("U_name", QStringLiteral("馬%1").arg(rng.bounded(60000))),
                      DbRow().set("U_no", h).set("U_cyaku", h).set("U_time", 90.0).set("U_sisuu", 50.0)
                          .set("U_kisyu", QStringLiteral("騎手%1").arg(rng.bounded(400)))
                          .set("U_cyoukyou", QStringLiteral("調教師%1").arg(rng.bounded(800)))
                          .set("U_chichi", QStringLiteral("種牡馬%1").arg(rng.bounded(1500))));
    }
    t.commit();
}

// Each round's rows are taken out again after it, unmeasured.
void BM_Write(benchmark::State& state, const char* file, void (*write)())
{
    printSizes();
    fillRunTable();
    openDbOrThrow(1, copies() + "/" + file, dbPassword);
    const double lastRace = RecordSet(1, "SELECT MAX(rowid) FROM T_Rdata").field(0).toDouble();
    const double lastRun = RecordSet(1, "SELECT MAX(rowid) FROM T_Useiseki").field(0).toDouble();
    int written = 0;
    for (auto _ : state) {
        write();
        state.PauseTiming();
        written = RecordSet(1, "SELECT COUNT(*) FROM T_Useiseki WHERE rowid > ?", {lastRun}).field(0).toInt();
        DbTransaction t(1);
        slotConnection(1).execute("DELETE FROM T_Useiseki WHERE rowid > ?", {lastRun});
        slotConnection(1).execute("DELETE FROM T_Rdata WHERE rowid > ?", {lastRace});
        t.commit();
        state.ResumeTiming();
    }
    closeDb(1);
    state.counters["runs"] = written;
}

// One horse's 150 past runs written as the race read writes them (the import token held), in ms.
double writeHorseMs(const QString& file, int horse)
{
    QElapsedTimer write;
    write.start();
    const ImportGuard import;
    openDbOrThrow(1, file, dbPassword);
    pd.umaIdx = horse;
    {
        DbTransaction t(1);
        writeHorse();
        t.commit();
    }
    closeDb(1);
    return double(write.elapsed());
}

// The longest stretch without a timer event of 5 ms, while a copy of the file of the schema before
// gains this schema's indexes. Meanwhile the retired jockey's sheet opens (read the older way) and
// a horse's past runs are written every 6 s (at 6 s the first index is being sorted, which in
// memory is one step of seconds); "write_alone_ms" is one such write into the copy before the
// build starts, "write_max_ms" the slowest during it.
void BM_UpgradeInTheBackground(benchmark::State& state)
{
    const QString folder = copies();
    const QString file = folder + "/upgrade/NAR_data.dat";
    setAppPathForTests(folder + "/upgrade");
    initPublic();
    dbKeyFor(dbPassword);
    fillRunTable();
    pd.raceDate = kFirstDay.addDays(kYears * 365 + 10);
    double longestGap = 0, sheetMs = 0, aloneMs = 0, writeMaxMs = 0, buildMs = 0;
    int writes = 0, listed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QDir(folder).mkpath("upgrade");
        copyFile(folder + "/previous.dat", file);
        if (!QFile::exists(folder + "/upgrade/Comment.dat"))
            createDataFile(DataFileKind::Comment, testSchemaDir(), folder + "/upgrade");
        aloneMs = writeHorseMs(file, kRunners);
        state.ResumeTiming();
        QElapsedTimer clock, sinceTick;
        clock.start();
        sinceTick.start();
        QTimer tick;
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [&] { longestGap = std::max(longestGap, double(sinceTick.restart())); });
        tick.start();
        buildRaceIndexesInBackground(file, dbKeyFor(dbPassword));
        bool opened = false;
        while (raceIndexBuildRunning()) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (writes < kRunners - 1 && clock.elapsed() > 6000 * (writes + 1)) {
                writeMaxMs = std::max(writeMaxMs, writeHorseMs(file, ++writes));
                sinceTick.restart();
            }
            if (!opened && clock.elapsed() > 2000) {
                QElapsedTimer sheet;
                sheet.start();
                openSheet(SheetKind::Kisyu, kRetired);
                sheetMs = double(sheet.elapsed());
                listed = loadedSheet(SheetKind::Kisyu)->findChild<FlexGrid*>("gridRireki")->rows() - 1;
                unloadSheet(SheetKind::Kisyu);
                sinceTick.restart();
                opened = true;
            }
        }
        buildMs = double(clock.elapsed());
        stopRaceIndexBuild();
    }
    state.counters["longest_gap_ms"] = longestGap;
    state.counters["sheet_ms"] = sheetMs;
    state.counters["sheet_listed"] = listed;
    state.counters["write_alone_ms"] = aloneMs;
    state.counters["write_max_ms"] = writeMaxMs;
    state.counters["writes"] = writes;
    state.counters["build_s"] = buildMs / 1000.0;
}
}  // namespace

BENCHMARK_CAPTURE(BM_Write, race_read_this_schema, "current.dat", writeHistories)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_Write, race_read_schema_before, "previous.dat", writeHistories)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_Write, results_this_schema, "current.dat", writeResults)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_Write, results_schema_before, "previous.dat", writeResults)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UpgradeInTheBackground)->Unit(benchmark::kSecond)->Iterations(1);
