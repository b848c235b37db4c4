// The charts into the image back end of a 9700 x 7000 twip picture box: one runner's history
// chart with 150 runs and every series on (target under 5 ms), and the comparison chart of 18
// runners with 30 runs each (target under 20 ms).
#include "charts/graphDrawGraph.h"
#include "charts/graphDrawHikaku.h"
#include "core/publicDim.h"
#include "platform/flexgrid.h"
#include "platform/picturebox.h"

#include <QPushButton>
#include <benchmark/benchmark.h>

namespace {

struct Surfaces {
    QWidget owner;
    PictureBox* picture1 = new PictureBox(&owner);
    PictureBox* picture2 = new PictureBox(&owner);
    FlexGrid* grid = new FlexGrid(&owner);
    QPushButton* shift = new QPushButton(&owner);
    QPushButton* back = new QPushButton(&owner);

    Surfaces()
    {
        picture1->moveTwips(0, 0, 9700, 7000);
        bindGraphSurfaces({picture1, picture2, grid, shift, back});
    }
    ~Surfaces() { bindGraphSurfaces({}); }
};

// 18 runners, each with 150 past runs every 2.8 days, so that all of them lie in the window.
void fillRace()
{
    initPublic();
    pd.kakoMax = 150;
    redimUma(18, 150);
    pd.raceDate = VbDate::fromYmd(2024, 6, 1);
    pd.raceZyo = "大井";
    pd.tousuu = 18;
    pd.lineSisuu = 62;
    pd.lineRatio = 0.2f;
    pd.graphFlags.fill("true");
    for (int h = 1; h <= 18; ++h) {
        pd.uName(h) = QStringLiteral("馬%1").arg(h);
        pd.uWaku(h, 0) = (h + 1) / 2 > 8 ? 8 : (h + 1) / 2;
        for (int k = 0; k <= 150; ++k) {
            pd.uDate(h, k) = pd.raceDate.addDays(-(k * 14) / 5);
            pd.uSisuu(h, k) = float(40 + (h * 7 + k * 13) % 50);
            pd.uSisuu3f(h, k) = float(35 + (h * 3 + k * 11) % 50);
            pd.uZyo(h, k) = k % 3 == 0 ? "浦和" : "大井";
            pd.uFileFound(h, k) = 1;
            pd.uTaizyu(h, k) = 470 + k % 9;
            pd.uWaku(h, k) = 1 + k % 8;
            pd.uKyori(h, k) = 1200 + 100 * (k % 9);
            pd.uBaba(h, k) = 1 + k % 4;
            pd.uTuka(h, 1, k) = 1 + k % 12;
            pd.uCyaku(h, k) = 1 + k % 12;
        }
    }
}

void historyChart(benchmark::State& state)
{
    fillRace();
    Surfaces s;
    pd.umaIdx = int(state.range(0));
    for (auto _ : state) {
        drawGraph();
        benchmark::DoNotOptimize(s.picture1->image().constBits());
    }
}
// Runner 2: the chart alone; runner 1 also rebuilds the runner list and the legend.
BENCHMARK(historyChart)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond);

void comparisonChart(benchmark::State& state)
{
    fillRace();
    Surfaces s;
    pd.umaIdx = 3;
    for (auto _ : state) {
        drawHikaku();
        benchmark::DoNotOptimize(s.picture1->image().constBits());
    }
}
BENCHMARK(comparisonChart)->Unit(benchmark::kMillisecond);
}  // namespace
