// The main window's comment page for 18 runners with 100 listed runs each and a note on every
// fourth run (target under 20 ms), the horse-column fill (under 10 ms) and rendering the whole
// sheet to one picture for printing (under 50 ms). The fills are timed without painting the
// window, which is the grid's own cost and the same for every page.
#include "core/publicComment.h"
#include "core/publicDim.h"
#include "mainwindow/mainComment.h"
#include "mainwindow/mainPrintBacyu.h"
#include "platform/database.h"
#include "platform/flexgrid.h"
#include "platform/vbformat.h"
#include "tests/support/dataFiles.h"

#include <QLineEdit>
#include <benchmark/benchmark.h>

namespace {
const VbDate kRaceDay = VbDate::fromYmd(2024, 6, 1);

void fullRace()
{
    initPublic();
    redimUma(18, 150);
    pd.raceDate = kRaceDay;
    pd.raceCode = "大井24060111";
    pd.tousuu = 18;
    pd.lineSisuu = 50;
    const QString zyo[] = {"大井", "川崎", "船橋", "浦和", "Ｊ東京"};
    for (int h = 1; h <= 18; ++h) {
        pd.uName(h) = QString("ウマ%1").arg(h);
        pd.uWaku(h, 0) = (h + 1) / 2 > 8 ? 8 : (h + 1) / 2;
        pd.uKisyu(h, 0) = "騎手" + QString::number(h);
        for (int j = 0; j <= 100; ++j) {
            pd.uDate(h, j) = kRaceDay.addDays(-j * 14);
            pd.uZyo(h, j) = zyo[j % 5];
            pd.uRaceNo(h, j) = j % 12 + 1;
            pd.uSisuu(h, j) = 40.0f + float((h * 7 + j * 3) % 30);
            pd.uSisuu3f(h, j) = j % 3 ? 45.5f : 0;
            pd.uRname(h, j) = "特別競走";
            pd.uKisyu(h, j) = "騎手" + QString::number(j % 4);
            pd.uTime(h, j) = 95.3f;
            pd.u3f(h, j) = 38.6f;
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
        for (int h = 1; h <= 18; ++h) {
            saveComment(commentKeyUma, pd.uName(h), {"note", "◎", ""});
            for (int j = 0; j <= 100; j += 4)
                saveComment(pd.uZyo(h, j) + Format(pd.uDate(h, j), "yymmdd") + Format(pd.uRaceNo(h, j), "00"),
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
