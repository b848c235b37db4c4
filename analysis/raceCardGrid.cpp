#include "analysis/raceCardGrid.h"

#include "analysis/gridLayout.h"
#include "analysis/mainGrid.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

namespace {

constexpr int shownRuns = 100;

void writeLink(FlexGrid& grid, int row, int col, const QString& text)
{
    grid.setTextMatrix(row, col, text);
    grid.setCellFontUnderline(row, col, true);
    grid.setCellForeColor(row, col, vbBlue);
}

void setUpRaceCardGrid(FlexGrid& grid, int cols)
{
    setUpGrid(grid, {cols, pd.tousuu + 1, 1, 3, false});
    const char* const headers[] {"", "", "", "馬名", "父", "性齢", "騎手", "負担", "厩舎"};
    const int widths[] {200, 250, 290, 1700, 1600, 500, 700, 400, 700};
    for (int c = 0; c < firstRunCol; ++c) {
        grid.setColWidth(c, widths[c]);
        grid.setTextMatrix(0, c, QString::fromUtf8(headers[c]));
        grid.setCellAlignment(0, c, flexAlignCenterCenter);
    }
}

// Runner h's columns 0..8; horse, sire, jockey and trainer in the link style.
void writeRaceCardRunner(FlexGrid& grid, int h)
{
    const int row = raceCardRow(h);
    writeRunnerCols(grid, row, h, true);
    writeLink(grid, row, colChichi, pd.uChichi(h));
    grid.setTextMatrix(row, colSeirei, pd.uSeirei(h));
    writeLink(grid, row, colKisyu, pd.uKisyu(h, 0));
    grid.setTextMatrix(row, colHutan, Format(pd.uHutan(h, 0), "00.0"));
    writeLink(grid, row, colCyoukyou, pd.uCyoukyou(h, 0));
}

}

void fillRaceCard(FlexGrid& grid, const QString& tag, int cols, void (*writeRuns)(FlexGrid&, int),
                  void (*writeRunHeaders)(FlexGrid&))
{
    vbTrap(tag, [&] {
        const GridFill fill(grid);
        setUpRaceCardGrid(grid, cols);
        const int last = pd.tousuu;
        for (pd.umaIdx = 1; pd.umaIdx <= last; ++pd.umaIdx) {
            writeRaceCardRunner(grid, pd.umaIdx);
            writeRuns(grid, pd.umaIdx);
        }
        writeRunHeaders(grid);
        fitGridHeight(grid);
    });
}

int lastShownRun(int h)
{
    for (int k = shownRuns; k >= 1; --k)
        if (pd.uDate(h, k).serial() > 0)
            return k;
    return 0;
}

QString runText(int h, int k)
{
    const QString surface = pd.uSiba(h, k) != 0 ? QStringLiteral("芝") : QStringLiteral("Ｄ");
    return pd.uZyo(h, k) + Format(pd.uDate(h, k), "mm/dd") + ' ' + surface + QString::number(pd.uKyori(h, k));
}

void styleRunCell(FlexGrid& grid, int col, int h, int k)
{
    const int row = raceCardRow(h);
    grid.setCellFontSize(row, col, 8);
    if (!isCentralTrack(pd.uZyo(h, k))) {  // a central track has no local race sheet
        grid.setCellFontUnderline(row, col, true);
        grid.setCellForeColor(row, col, vbBlue);
    }
    grid.setCellBackColor(row, col, cyakuColor(pd.uCyaku(h, k)));
}
