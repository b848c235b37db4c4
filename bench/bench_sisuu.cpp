// calcUSisuu over a whole field: 18 runners x 150 runs against a track file holding a year
// of variants for every local track.
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "core/publicSisuu.h"
#include "platform/database.h"
#include "tests/support/dataFiles.h"

#include <benchmark/benchmark.h>

namespace {

const char* const kTracks[] = {"大井", "川崎", "船橋", "浦和", "名古", "笠松", "金沢", "園田", "姫路",
                               "高知", "佐賀", "荒尾", "盛岡", "水沢", "門別", "福山", "旭川", "札幌"};
const int kDistances[] = {1000, 1200, 1400, 1500, 1600, 1800, 2000};
const VbDate kFirstDay = VbDate::fromYmd(2008, 1, 1);

void fillTrackFile()
{
    DbTransaction tx(1);
    for (const char* zyo : kTracks) {
        for (int d = 0; d < 365; ++d)
            insertRow(1, "T_sisuu",
                      DbRow().set("S_date", kFirstDay.addDays(d)).set("S_zyo", zyo).set("S_siba", 0)
                          .set("S_sisuu", float(d % 13) / 10.0f - 0.6f));
        for (int k : kDistances)
            insertRow(1, "T_avetime",
                      DbRow().set("A_zyo", zyo).set("A_kyori", k).set("A_class", "ave").set("A_sin_kyu", 1)
                          .set("A_siba", 0).set("A_time", float(k) / 16.5f));
    }
    tx.commit();
}

void fillField()
{
    redimUma(18, 150);
    for (int h = 1; h <= 18; ++h)
        for (int r = 1; r <= 150; ++r) {
            pd.uDate(h, r) = kFirstDay.addDays((h * 7 + r * 2) % 365);
            pd.uZyo(h, r) = kTracks[(h + r) % 18];
            pd.uKyori(h, r) = kDistances[r % 7];
            pd.uTime(h, r) = float(pd.uKyori(h, r)) / 16.4f;
            pd.u3f(h, r) = 38.5f;
            pd.uHutan(h, r) = 55.0f;
        }
}

void BM_calcUSisuuWholeField(benchmark::State& state)
{
    TestAppDir dir;
    openDb(1, dir.createStrevinData(), dbPassword);
    fillTrackFile();
    fillField();
    for (auto _ : state) {
        // One read transaction for the field: SQLite then takes its file lock once, not per query.
        DbTransaction readOnce(1);
        for (int h = 1; h <= 18; ++h)
            for (int r = 1; r <= 150; ++r)
                calcUSisuu(h, r, 1);
    }
    closeDb(1);
    state.counters["runs"] = 18 * 150;
}
BENCHMARK(BM_calcUSisuuWholeField)->Unit(benchmark::kMillisecond);

}
