// The main window's comment page for 18 runners with 100 listed runs each and a note on every
// fourth run (target under 20 ms), the horse-column fill (under 10 ms) and rendering the whole
// sheet to one picture for printing (under 50 ms). The fills are timed without painting the
// window, which is the grid's own cost and the same for every page.
#include "bench/support/benchRace.h"
#include "core/publicComment.h"
#include "core/publicDim.h"
#include "mainwindow/mainComment.h"
#include "mainwindow/mainPrintBacyu.h"
#include "platform/database.h"
#include "platform/flexgrid.h"
#include "webimport/ReadWeb.h"
#include "tests/support/dataFiles.h"

#include <QLineEdit>
#include <benchmark/benchmark.h>

namespace {
// The benchmark race with an index on every run and a head-to-head record.
void fullRace()
{
    fillRunTable();
    pd.raceCode = "大井24060111";
    pd.lineSisuu = 50;
    for (int h = 1; h <= kRunners; ++h) {
        for (int k = 1; k <= kPastRuns; ++k) {
            pd.uSisuu(h, k) = 40.0f + float((h * 7 + k * 3) % 30);
            pd.uSisuu3f(h, k) = k % 3 ? 45.5f : 0;
            pd.uRname(h, k) = "特別競走";
        }
        pd.taisenMatrix(h, 0, 0) = float(h % 4);
        pd.taisenMatrix(h, 0, 1) = 2;
    }
}

void commentPage(benchmark::State& state)
{
    TestAppDir dir;
    dir.createComment();
    fullRace();
    openCommentDb();
    {
        DbTransaction tx(commentSlot);
        for (int h = 1; h <= kRunners; ++h) {
            saveComment(commentKeyUma, pd.uName(h), {"note", "◎", ""});
            for (int j = 0; j <= 100; j += 4)
                saveComment(makeRaceCode(pd.uZyo(h, j), pd.uDate(h, j), pd.uRaceNo(h, j)),
                            pd.uName(h), {"run note", "A", "B"});
        }
        tx.commit();
    }
    closeDb(commentSlot);
    FlexGrid grid;
    QLineEdit box;
    for (auto _ : state)
        drawGridComment(grid, box, "全期間対象");
    state.counters["columns"] = grid.cols();
}
BENCHMARK(commentPage)->Unit(benchmark::kMillisecond);

void horseColumnFill(benchmark::State& state)
{
    fullRace();
    FlexGrid grid;
    for (auto _ : state)
        fillGridPrintBacyu(grid);
}
BENCHMARK(horseColumnFill)->Unit(benchmark::kMillisecond);

void sheetPicture(benchmark::State& state)
{
    fullRace();
    FlexGrid grid;
    fillGridPrintBacyu(grid);
    for (auto _ : state) {
        const QImage image = grid.picture().toImage();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(sheetPicture)->Unit(benchmark::kMillisecond);
}  // namespace
