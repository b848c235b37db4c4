#include "analysis/mainSyuxtubaHyo.h"

#include "analysis/gridLayout.h"
#include "analysis/mainGrid.h"
#include "analysis/raceCardGrid.h"
#include "core/publicDim.h"
#include "platform/flexgrid.h"

namespace {

void writeRuns(FlexGrid& grid, int h)
{
    const int last = lastShownRun(h);
    if (last > 0 && grid.cols() <= syuxtusouHyouRunCol(last))
        grid.setCols(syuxtusouHyouRunCol(last) + 1);
    for (int k = 1; k <= last; ++k) {
        if (!(pd.uDate(h, k).serial() > 0))
            continue;
        const int col = syuxtusouHyouRunCol(k);
        grid.setTextMatrix(raceCardRow(h), col,
                           runText(h, k) + ' ' + QString::number(pd.uCyaku(h, k)) + '/'
                               + QString::number(pd.uTousuu(h, k)));
        styleRunCell(grid, col, h, k);
    }
}

void writeRunHeaders(FlexGrid& grid)
{
    for (int c = firstRunCol; c < grid.cols(); ++c) {
        grid.setTextMatrix(0, c, QString::number(syuxtusouHyouColRun(c)) + QStringLiteral("走前"));
        grid.setColWidth(c, 2000);
        grid.setCellAlignment(0, c, flexAlignCenterCenter);
    }
}

}

void drawGridSyuxtusouHyou(FlexGrid& gridSyuxtusouHyou)
{
    fillRaceCard(gridSyuxtusouHyou, QStringLiteral("Error-mainSyustusouHyou-1"), 13, writeRuns, writeRunHeaders);
}
