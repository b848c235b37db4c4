#include "analysis/mainSpSisuu.h"

#include "analysis/gridLayout.h"
#include "analysis/mainGrid.h"
#include "analysis/raceCardGrid.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/flexgrid.h"
#include "platform/vbformat.h"

namespace {

constexpr uint32_t grey = 0x808080;

// An index computed without the day's track variant is shown grey.
void writeIndex(FlexGrid& grid, int col, int h, int k, float sisuu)
{
    const int row = raceCardRow(h);
    grid.setTextMatrix(row, col, Format(sisuu, "###"));
    grid.setCellBackColor(row, col, cyakuColor(pd.uCyaku(h, k)));
    if (!pd.uFileFound(h, k))
        grid.setCellForeColor(row, col, grey);
}

void writeRuns(FlexGrid& grid, int h)
{
    const int row = raceCardRow(h);
    const int last = lastShownRun(h);
    // The last group's three columns and two empty ones after it.
    if (last > 0 && grid.cols() <= spSisuuRunCol(last) + 2)
        grid.setCols(spSisuuRunCol(last) + 5);
    for (int k = 1; k <= last; ++k) {
        if (!(pd.uDate(h, k).serial() > 0))
            continue;
        const int col = spSisuuRunCol(k);
        grid.setTextMatrix(row, col, runText(h, k));
        styleRunCell(grid, col, h, k);
        writeIndex(grid, col + 1, h, k, pd.uSisuu(h, k));
        grid.setCellFontSize(row, col + 1, 9);
        grid.setCellFontBold(row, col + 1, true);
        writeIndex(grid, col + 2, h, k, pd.uSisuu3f(h, k));
    }
}

void writeRunHeaders(FlexGrid& grid)
{
    for (int c = firstRunCol; c + 2 < grid.cols(); c += 3) {
        grid.setTextMatrix(0, c, QString::number(spSisuuColRun(c)) + QStringLiteral("走前"));
        grid.setColWidth(c, 1500);
        grid.setTextMatrix(0, c + 1, QStringLiteral("指数"));
        grid.setCellFontSize(0, c + 1, 8);
        grid.setColWidth(c + 1, 450);
        grid.setTextMatrix(0, c + 2, QStringLiteral("3f"));
        grid.setCellFontSize(0, c + 2, 8);
        grid.setColWidth(c + 2, 350);
        for (int i = 0; i < 3; ++i)
            grid.setCellAlignment(0, c + i, flexAlignCenterCenter);
    }
}

}

void drawGridSpSisuu(FlexGrid& gridSpSisuu)
{
    fillRaceCard(gridSpSisuu, QStringLiteral("Error-mainSpSisuu-1"), 23, writeRuns, writeRunHeaders);
}
