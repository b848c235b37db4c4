// Filling a race-card sized grid (19 rows x 60 columns, texts and formats) with redraw off,
// then switching redraw on, as every tab fill does.
#include "platform/flexgridredraw.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

void fillRaceCardSized(FlexGrid& grid)
{
    const FlexRedrawOff redraw(grid);
    grid.clear();
    grid.setCols(60);
    grid.setRows(19);
    grid.setFixedRows(1);
    grid.setFixedCols(4);
    grid.setRowHeightMin(300);
    for (int c = 0; c < 60; ++c)
        grid.setColWidth(c, 450);
    for (int r = 0; r < 19; ++r)
        for (int c = 0; c < 60; ++c) {
            grid.setTextMatrix(r, c, QString::number(r * 100 + c));
            grid.setCellBackColor(r, c, 0xC8C8FF);
            grid.setCellFontBold(r, c, c % 3 == 0);
        }
}

void fillGrid(benchmark::State& state)
{
    FlexGrid grid;
    grid.resize(1000, 500);
    grid.show();
    for (auto _ : state) {
        fillRaceCardSized(grid);
        QApplication::processEvents();
    }
}
BENCHMARK(fillGrid)->Unit(benchmark::kMillisecond);
}  // namespace
