// Administration tools over a race database of ten years of every local track, built once and
// kept under the build folder: the index recalculation of the south-Kanto region (about a million
// runs), the track-file build with recompute-all and export, and one race page's HTML.
#include "admin/kanriBabaFile.h"
#include "admin/kanriCommon.h"
#include "admin/kanriSisuuHyouka.h"
#include "admin/kanriZyunkai.h"
#include "bench/support/benchData.h"
#include "core/dataFiles.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/textcodec.h"
#include "tests/support/dataFiles.h"
#include "webimport/ReadWeb.h"

#include <QDir>
#include <benchmark/benchmark.h>

namespace {

const QStringList kTracks = QStringLiteral("門別 札幌 旭川 盛岡 水沢 浦和 船橋 大井 川崎 金沢 笠松 名古 園田 姫路 福山 高知 佐賀 荒尾").split(' ');
const QStringList kMinamiKanto {"大井", "川崎", "船橋", "浦和"};
constexpr int kYears = 10;
constexpr int kFirstYear = 2014;
constexpr int kDaysPerYear = 174;  // every other day from 1 January
constexpr int kRacesPerDay = 12;
// Full fields in the recalculated region; two runners elsewhere keep the file small, as only
// the races of the other tracks are read by the build.
constexpr int kRegionRunners = 12;
constexpr int kOtherRunners = 2;
const int kDistances[] = {1000, 1200, 1400, 1600, 1800, 2000};
const char* const kClasses[] = {"A1", "B1", "C1"};

double standardTime(int kyori, int siba)
{
    return kyori / 16.0 - siba * 1.5;
}

void addStandardTimes()
{
    DbTransaction t(2);
    for (const QString& zyo : kTracks)
        for (const int kyori : kDistances)
            for (int siba = 0; siba <= 1; ++siba)
                for (const QString& cls : {QString("ave"), QString(kClasses[0]), QString(kClasses[1]), QString(kClasses[2])})
                    slotConnection(2).execute("INSERT INTO T_avetime (A_zyo, A_kyori, A_class, A_sin_kyu, A_siba, A_time) "
                                              "VALUES (?, ?, ?, 1, ?, ?)",
                                              {zyo, kyori, cls, siba, standardTime(kyori, siba)});
    t.commit();
}

// Deterministic spread of times around the standard.
double noise(quint32 seed)
{
    seed = seed * 1664525u + 1013904223u;
    return double(seed % 4001) / 1000.0 - 2.0;
}

void addRaces()
{
    DbTransaction t(1);
    Connection& c = slotConnection(1);
    quint32 n = 0;
    for (const QString& zyo : kTracks) {
        const int runners = kMinamiKanto.contains(zyo) ? kRegionRunners : kOtherRunners;
        for (int year = kFirstYear; year < kFirstYear + kYears; ++year)
            for (int d = 0; d < kDaysPerYear; ++d) {
                const VbDate day = VbDate::fromYmd(year, 1, 1).addDays(2 * d);
                for (int r = 1; r <= kRacesPerDay; ++r) {
                    const int kyori = kDistances[(r + d) % 6];
                    const int siba = r == 9 ? 1 : 0;
                    const double time = standardTime(kyori, siba) + noise(++n);
                    const QString code = makeRaceCode(zyo, day, r);
                    c.execute("INSERT INTO T_Rdata (R_code, R_zyo, R_zyo02, R_date, R_no, R_kyori, R_siba, R_class, "
                              "R_time, R_baba, R_flag) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 1, 'Seiseki')",
                              {code, zyo, zyoToChiku(zyo), day, r, kyori, siba, kClasses[r % 3], time});
                    for (int h = 1; h <= runners; ++h)
                        c.execute("INSERT INTO T_Useiseki (R_code, U_name, U_no, U_cyaku, U_time, U_3f, U_hutan, "
                                  "U_kisyu) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                                  {code, zyo + "馬" + QString::number((n * 7 + h * 13) % 5000), h, h,
                                   float(time + h * 0.2), float(38.0 + noise(n + h) / 4), float(52 + h % 5), "騎手"});
                }
            }
    }
    t.commit();
}

void generate(const QString& folder)
{
    QDir(folder).mkpath("情報ファイル");
    for (DataFileKind kind : {DataFileKind::NarData, DataFileKind::CalSisuu, DataFileKind::Motofile, DataFileKind::Rana})
        createDataFile(kind, testSchemaDir(), folder);
    openDbOrThrow(1, folder + "/NAR_data.dat", dbPassword);
    openDbOrThrow(2, folder + "/CalSisuu.mdb", QString());
    addStandardTimes();
    addRaces();
    closeDb(1);
    closeDb(2);
}

// The program folder of the benchmarks: the generated ten years, kept for later runs.
void ensureData()
{
    const QStringList schemas {"NAR_data.sql", "CalSisuu.sql", "trackTables.sql", "Strevin_data.sql", "Rana.sql"};
    setAppPathForTests(keptBenchFolder("admin_10y", schemas, generate));
}

int countOf(const QString& sql, const DbParams& params = {})
{
    openDbOrThrow(5, appPath() + "NAR_data.dat", dbPassword);
    const int n = RecordSet(5, sql, params).field(0).toInt();
    closeDb(5);
    return n;
}

void BM_TrackFileBuildRecomputeAll(benchmark::State& state)
{
    ensureData();
    MsgBoxRecorder msgs;
    for (auto _ : state)
        if (!runKanriOperation("馬場情報ファイルの作成", [] { makeBabaFile(QString::number(kFirstYear), true); }))
            state.SkipWithError(qPrintable(msgs.texts().join(' ')));
    state.counters["races"] = countOf("SELECT COUNT(*) FROM T_Rdata");
}
BENCHMARK(BM_TrackFileBuildRecomputeAll)->Unit(benchmark::kSecond)->Iterations(1);

void BM_RecalculateRegion(benchmark::State& state)
{
    ensureData();
    MsgBoxRecorder msgs;
    for (auto _ : state)
        if (!runKanriOperation("指数の再計算", [] { reCalSisuu({"地区間", "南関", "", ""}); }))
            state.SkipWithError(qPrintable(msgs.texts().join(' ')));
    state.counters["runs"] = countOf("SELECT COUNT(*) FROM T_Rdata JOIN T_Useiseki ON T_Rdata.R_code = "
                                     "T_Useiseki.R_code WHERE R_zyo02 = ?", {"南関"});
    state.counters["races"] = countOf("SELECT COUNT(*) FROM T_Rdata WHERE R_zyo02 = ?", {"南関"});
}
BENCHMARK(BM_RecalculateRegion)->Unit(benchmark::kSecond)->Iterations(1);

// 16 runners with five past runs each, as the race read leaves them.
void loadSixteenRunners()
{
    redimUma(18, 150);
    pd.raceZyo = "大井";
    pd.raceDate = VbDate::fromYmd(2023, 3, 24);
    pd.raceNo = 11;
    pd.raceTitle = "第11競走 ダ1600m";
    pd.raceName = "スプリング特別";
    for (int h = 1; h <= 16; ++h) {
        pd.uName(h) = "ホース" + QString::number(h);
        pd.uChichi(h) = "サイアー" + QString::number(h);
        pd.uSeirei(h) = "牡4";
        pd.uKisyu(h, 0) = "騎手" + QString::number(h);
        pd.uHutan(h, 0) = 54.5f;
        pd.uKyakusitu(h, 0) = "先";
        pd.tuka1Ave(h, 0) = 3.4f;
        pd.sirusi(h) = h == 1 ? "◎" : "";
        pd.yosouSisuu(h) = 50.0f + h;
        pd.kisoSisuu(h, 0) = 48.0f + h;
        for (int k = 1; k <= 5; ++k) {
            pd.uDate(h, k) = pd.raceDate.addDays(-30 * k);
            pd.uZyo(h, k) = k == 3 ? "Ｊ中山" : "大井";
            pd.uKyori(h, k) = 1600;
            pd.uSiba(h, k) = k == 2;
            pd.uRaceNo(h, k) = k;
            pd.uSisuu(h, k) = 40.0f + k;
            pd.uSisuu3f(h, k) = 50.0f + k;
            pd.uCyaku(h, k) = k;
            pd.uTousuu(h, k) = 12;
        }
    }
}

void BM_RacePageHtml(benchmark::State& state)
{
    loadSixteenRunners();
    for (auto _ : state)
        benchmark::DoNotOptimize(toCp932Html(raceHtml() + "\r\n"));
    state.counters["runners"] = 16;
    state.counters["runs"] = 16 * 5;
}
BENCHMARK(BM_RacePageHtml)->Unit(benchmark::kMillisecond);

}
