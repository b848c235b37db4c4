// The main window's analysis pages. The eight fills other than the course table on a full race
// of 18 runners with 150 past runs each, offscreen, track file present: under 30 ms in all. The
// course table over a race database of a million runs (ten years, every track), encrypted as the
// program's files are: under 200 ms.
#include "analysis/mainAnalSisuu.h"
#include "analysis/mainAnalSisuu02.h"
#include "analysis/mainCorce.h"
#include "analysis/mainCornner.h"
#include "analysis/mainMochiTime.h"
#include "analysis/mainSpSisuu.h"
#include "analysis/mainSyuxtubaHyo.h"
#include "analysis/mainTaisen.h"
#include "analysis/mainTekiseiRentai.h"
#include "analysis/mainTekiseiSisuu.h"
#include "analysis/mainYosou.h"
#include "bench/support/benchData.h"
#include "bench/support/benchRace.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/flexgrid.h"
#include "platform/picturebox.h"
#include "platform/vbformat.h"
#include "tests/support/dataFiles.h"

#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>

#include <array>
#include <functional>

namespace {

const QString kikan = QStringLiteral("1年以内対象");

// The race read's analysis, so that every page has indices, marks and corner averages to show.
void readRace(TestAppDir& dir)
{
    fillRunTable();
    fillTrackFile(dir.createStrevinData());
    beginRaceAnalysis();
    for (pd.umaIdx = 1; pd.umaIdx <= kRunners; ++pd.umaIdx)
        calcUmaSisuu();
    analYosou();
}

struct Pages {
    FlexGrid grid[7];
    PictureBox picCornner;
    Pages()
    {
        picCornner.setWidthTwips(9300);
        picCornner.setHeightTwips(5900);
    }
};

const std::array<std::pair<const char*, std::function<void(Pages&)>>, 8> fillers {{
    {"出走表（着順）", [](Pages& p) { drawGridSyuxtusouHyou(p.grid[0]); }},
    {"出走表（スピード指数）", [](Pages& p) { drawGridSpSisuu(p.grid[1]); }},
    {"適性（スピード指数）", [](Pages& p) { drawGridTekiseiSisuu(p.grid[2], kikan); }},
    {"適性（勝率・連対率）", [](Pages& p) { drawGridTekiseiRentai(p.grid[3], kikan); }},
    {"持ち時計", [](Pages& p) { drawGridMochiTime(p.grid[4], kikan); }},
    {"対戦表", [](Pages& p) { drawGridTaisen(p.grid[5], kikan); }},
    {"予想・適性", [](Pages& p) { drawGridYosou(p.grid[6]); }},
    {"コーナー進入予想図", [](Pages& p) { drawCornner(p.picCornner.canvas()); }},
}};

void BM_EightPages(benchmark::State& state)
{
    TestAppDir dir;
    readRace(dir);
    Pages pages;
    for (auto _ : state)
        for (const auto& [name, fill] : fillers)
            fill(pages);
}
BENCHMARK(BM_EightPages)->Unit(benchmark::kMillisecond);

void BM_OnePage(benchmark::State& state)
{
    TestAppDir dir;
    readRace(dir);
    Pages pages;
    const auto& [name, fill] = fillers[size_t(state.range(0))];
    state.SetLabel(name);
    for (auto _ : state)
        fill(pages);
}
BENCHMARK(BM_OnePage)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

// A race database of about a million runs over ten years: each day two tracks run twelve races
// of twelve runners; a tenth of the races on turf; indices 0 now and then.
void generateRaceDatabase(const QString& folder)
{
    const QString path = createDataFile(DataFileKind::NarData, testSchemaDir(), folder);
    const QStringList tracks {"門別", "札幌", "旭川", "盛岡", "水沢", "浦和", "船橋", "大井", "川崎",
                              "金沢", "笠松", "名古", "園田", "姫路", "福山", "高知", "佐賀", "荒尾"};
    const int distances[] {1200, 1400, 1600, 1800};
    openDbOrThrow(1, path, dbPassword);
    DbTransaction t(1);
    Connection& db = slotConnection(1);
    int n = 0;
    for (int day = 0; day < 3650; ++day) {
        const VbDate date = kRaceDay.addDays(-day);
        for (int track = 0; track < 2; ++track) {
            const QString zyo = tracks[(day * 2 + track) % tracks.size()];
            for (int no = 1; no <= 12; ++no) {
                const QString code = zyo + Format(date, "yymmdd") + Format(no, "00");
                db.execute("INSERT INTO T_Rdata (R_code, R_zyo, R_date, R_no, R_baba, R_kyori, R_siba) VALUES (?, ?, ?, ?, ?, ?, ?)",
                           {code, zyo, date, no, 1 + (day + no) % 4, distances[(no + day) % 4], no % 10 == 0 ? 1 : 0});
                for (int u = 1; u <= 12; ++u, ++n)
                    db.execute("INSERT INTO T_Useiseki (R_code, U_name, U_no, U_waku, U_cyaku, U_sisuu) VALUES (?, ?, ?, ?, ?, ?)",
                               {code, QStringLiteral("馬%1").arg(n % 40000), u, (u + 1) / 2 > 8 ? 8 : (u + 1) / 2,
                                1 + (u * 7 + no + day) % 12, n % 17 == 0 ? 0.0 : 40.0 + (n * 13) % 50});
            }
        }
    }
    t.commit();
    closeDb(1);
}

QString raceDatabaseFolder()
{
    return keptBenchFolder("NAR_data_1M", {"NAR_data.sql"}, generateRaceDatabase);
}

void BM_CourseTable(benchmark::State& state)
{
    const QString folder = raceDatabaseFolder();
    setAppPathForTests(folder);
    fillRunTable();
    const QString period = kikanEntries()[int(state.range(0))];
    state.SetLabel(period.toStdString());
    FlexGrid grid;
    dbKeyFor(dbPassword);
    for (auto _ : state)
        drawGridCorce(grid, period);
    setAppPathForTests(QString());
}
BENCHMARK(BM_CourseTable)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}
