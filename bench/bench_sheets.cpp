// Opening the sheets over a race database of about four million runs: ten years of every local
// track, 400 jockeys, 800 trainers, 1,500 sires, 60,000 horses. The file is built once and kept
// under the build folder's test output. "first" is from the opener's call to the window on the
// screen, "whole" on until the last run of its list has arrived; "listed" counts the rows of the
// run grid at that moment. A file kept from before the sheets' indexes gains them on the first run,
// which prints how long that took and how much the file grew; other runs print its size.
#include "bench/support/benchData.h"
#include "core/raceIndexes.h"
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
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {
constexpr int kYears = 10, kDaysPerYear = 155, kRaces = 12, kRunners = 12;
const VbDate kFirstDay = VbDate::fromYmd(2015, 1, 5);
const QStringList kTracks {"門別", "札幌", "旭川", "盛岡", "水沢", "浦和", "船橋", "大井", "川崎",
                           "金沢", "笠松", "名古", "園田", "姫路", "福山", "高知", "佐賀", "荒尾"};
const QString kLongCareer = QStringLiteral("ロングキャリア");


// A skewed pick among n names: the first ones are the busiest (the busiest about 1 in 180).
int skewed(QRandomGenerator& rng, int n)
{
    return std::min(n - 1, int(n * std::pow(rng.generateDouble(), 1.15)));
}

void writeDay(QRandomGenerator& rng, const QString& zyo, VbDate day, int& longCareerGap)
{
    Connection& c = slotConnection(1);
    for (int no = 1; no <= kRaces; ++no) {
        const QString code = zyo + Format(day, "yymmdd") + Format(no, "00");
        c.execute("INSERT INTO T_Rdata (R_code, R_zyo, R_date, R_no, R_name, R_siba, R_kyori, R_baba, R_tousuu) "
                  "VALUES (?, ?, ?, ?, ?, 0, ?, ?, ?)",
                  {code, zyo, day, no, QStringLiteral("第%1競走").arg(no), 1000 + 100 * int(rng.bounded(10)),
                   1 + int(rng.bounded(4)), kRunners});
        for (int h = 1; h <= kRunners; ++h) {
            QString name = QStringLiteral("馬%1").arg(rng.bounded(60000));
            if (h == 1 && --longCareerGap <= 0) {
                name = kLongCareer;
                longCareerGap = 1100;
            }
            c.execute("INSERT OR IGNORE INTO T_Useiseki (R_code, U_name, U_no, U_waku, U_cyaku, U_time, U_taizyu, "
                      "U_zougen, U_cyakusa, U_kisyu, U_hutan, U_3f, U_sisuu, U_sisuu3f, U_file, U_kankaku, U_chichi, "
                      "U_cyoukyou, U_tuka01, U_tuka02, U_tuka03, U_tuka04, U_kyakusitu) "
                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, 0.5, ?, 55, 38.5, ?, ?, 1, ?, ?, ?, 3, 3, 2, ?, '先')",
                      {code, name, h, (h + 1) / 2, h, 60.0 + rng.bounded(60), 420 + int(rng.bounded(80)),
                       int(rng.bounded(13)) - 6, QStringLiteral("騎手%1").arg(skewed(rng, 400)),
                       30.0 + rng.bounded(40), 30.0 + rng.bounded(40), 7 + int(rng.bounded(60)),
                       QStringLiteral("種牡馬%1").arg(skewed(rng, 1500)),
                       QStringLiteral("調教師%1").arg(skewed(rng, 800)), h});
        }
    }
}

void generateRaceDatabase(const QString& folder)
{
    openDbOrThrow(1, createDataFile(DataFileKind::NarData, testSchemaDir(), folder), dbPassword);
    QRandomGenerator rng(20260101);
    int longCareerGap = 0;
    for (int y = 0; y < kYears; ++y) {
        DbTransaction t(1);
        for (int d = 0; d < kDaysPerYear; ++d)
            for (int z = 0; z < kTracks.size(); ++z)
                writeDay(rng, kTracks[z], kFirstDay.addDays(y * 365 + (d * 365) / kDaysPerYear + z % 2), longCareerGap);
        t.commit();
    }
    closeDb(1);
}

QString dataDir()
{
    static const QString folder = keptBenchFolder("NAR_data_4M", {"NAR_data.sql"}, generateRaceDatabase);
    return folder;
}

// The pages of the file that hold rows or indexes (its free pages left out).
double usedMegabytes()
{
    RecordSet pages(1, "PRAGMA page_count");
    RecordSet free(1, "PRAGMA freelist_count");
    RecordSet size(1, "PRAGMA page_size");
    return (pages.field(0).toDouble() - free.field(0).toDouble()) * size.field(0).toDouble() / 1e6;
}

// A file kept from before the sheets' indexes gains them here, not inside a measured run.
void prepareIndexes()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    openDbOrThrow(1, dataDir() + "/NAR_data.dat", dbPassword);
    const double before = usedMegabytes();
    if (!hasRaceIndexes(1)) {
        QElapsedTimer clock;
        clock.start();
        addRaceIndexes(1);
        std::fprintf(stderr, "indexes added in %.1f s: the file in use grew from %.0f MB to %.0f MB\n",
                     double(clock.elapsed()) / 1000.0, before, usedMegabytes());
    } else {
        std::fprintf(stderr, "file in use with its indexes: %.0f MB\n", before);
    }
    closeDb(1);
}

void prepare()
{
    prepareIndexes();
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
BENCHMARK(BM_FillRunGrid)->Unit(benchmark::kMillisecond);
