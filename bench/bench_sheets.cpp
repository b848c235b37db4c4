// Opening the sheets over the race database of about four million runs (bench/support/
// benchRaceFile.h), for the busiest and least busy people and the usual regional careers: one or
// two tracks, retired years ago. "first" is from the opener's call to the window on the screen,
// "whole" on until the last run of its list has arrived; "listed" counts the rows of the run grid
// at that moment. The whole list at the first opening of a process is
// "busiest_jockey_whole_first_opening", run alone: --benchmark_filter=first_opening.
#include "bench/support/benchRaceFile.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/flexgrid.h"
#include "platform/vbformat.h"
#include "sheets/sheetOpen.h"
#include "sheets/subjectSheet.h"
#include "sheets/umaRIreki.h"
#include "tests/support/dataFiles.h"

#include <QApplication>
#include <QFile>
#include <benchmark/benchmark.h>

namespace {
QString dataDir()
{
    return fourMillionRunFolder();
}

// The size of the file in use, printed once.
void printFileSize()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    openDbOrThrow(1, dataDir() + "/NAR_data.dat", dbPassword);
    std::fprintf(stderr, "file in use: %.0f MB\n", usedMegabytes(1));
    closeDb(1);
}

void prepare()
{
    printFileSize();
    setAppPathForTests(dataDir());
    if (!QFile::exists(dataDir() + "/Comment.dat"))
        createDataFile(DataFileKind::Comment, testSchemaDir(), dataDir());
    initPublic();
    // The program derives the files' key when it starts; a sheet never waits for it.
    dbKeyFor(dbPassword);
    redimUma(18, 150);
    pd.kakoMax = 150;
    pd.raceDate = kFirstDay.addDays(kYears * 365 + 10);
    pd.raceZyo = QStringLiteral("大井");
    pd.raceKyori = 1400;
}

SubjectSheet* subjectSheet(SheetKind kind)
{
    return qobject_cast<SubjectSheet*>(loadedSheet(kind));
}

// whole: the runs still arriving are waited for as the window's event loop lets them in.
void BM_OpenSheet(benchmark::State& state, SheetKind kind, QString key, bool whole)
{
    prepare();
    int listed = 0;
    for (auto _ : state) {
        openSheet(kind, key);
        while (whole && subjectSheet(kind) && subjectSheet(kind)->runsArriving())
            QApplication::processEvents();
        state.PauseTiming();
        QWidget* sheet = loadedSheet(kind);
        listed = sheet ? sheet->findChild<FlexGrid*>("gridRireki")->rows() - 1 : 0;
        unloadSheet(kind);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    openDbOrThrow(1, dataDir() + "/NAR_data.dat", dbPassword);
    const QString column = kind == SheetKind::Kextuka ? "R_code" : sheetKeyColumn(kind);
    RecordSet rs(1, "SELECT COUNT(*) FROM T_Useiseki WHERE " + column + " = ?", {key});
    state.counters["stored"] = rs.field(0).toDouble();
    state.counters["listed"] = listed;
    rs.close();
    closeDb(1);
}

// The busiest jockey's list (about 22,000 runs) into a shown run grid, painted.
void BM_FillRunGrid(benchmark::State& state)
{
    prepare();
    openDbOrThrow(1, dataDir() + "/NAR_data.dat", dbPassword);
    const SheetRunList runs = listedRuns(readSubjectRuns(SheetKind::Kisyu, QStringLiteral("騎手0")), pd.raceDate);
    closeDb(1);
    FlexGrid grid;
    grid.resize(1200, 600);
    grid.show();
    for (auto _ : state) {
        drawSheetGridRireki(grid, SheetKind::Kisyu, runs);
        QApplication::processEvents();
    }
    state.counters["rows"] = grid.rows() - 1;
}
}  // namespace

BENCHMARK_CAPTURE(BM_OpenSheet, busiest_jockey_whole_first_opening, SheetKind::Kisyu, QStringLiteral("騎手0"), true)
    ->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_OpenSheet, horse_long_career, SheetKind::Uma, kLongCareer, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenSheet, race_result, SheetKind::Kextuka,
                  "大井" + Format(kFirstDay.addDays(9 * 365 + (100 * 365) / kDaysPerYear + 1), "yymmdd") + "03", false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenSheet, busiest_jockey_first, SheetKind::Kisyu, QStringLiteral("騎手0"), false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenSheet, busiest_jockey_whole, SheetKind::Kisyu, QStringLiteral("騎手0"), true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenSheet, busiest_trainer_first, SheetKind::Cyoukyou, QStringLiteral("調教師0"), false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenSheet, busiest_trainer_whole, SheetKind::Cyoukyou, QStringLiteral("調教師0"), true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenSheet, busiest_sire_first, SheetKind::Syuboba, QStringLiteral("種牡馬0"), false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenSheet, busiest_sire_whole, SheetKind::Syuboba, QStringLiteral("種牡馬0"), true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenSheet, least_busy_jockey_first, SheetKind::Kisyu, QStringLiteral("騎手399"), false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenSheet, one_track_jockey_first, SheetKind::Kisyu, kOneTrack, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenSheet, one_track_jockey_whole, SheetKind::Kisyu, kOneTrack, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenSheet, retired_jockey_first, SheetKind::Kisyu, kRetired, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenSheet, two_track_jockey_first, SheetKind::Kisyu, kTwoTracks, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenSheet, two_track_jockey_whole, SheetKind::Kisyu, kTwoTracks, true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillRunGrid)->Unit(benchmark::kMillisecond);
