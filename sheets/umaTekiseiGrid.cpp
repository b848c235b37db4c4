#include "sheets/umaTekiseiGrid.h"

#include "platform/colors.h"
#include "sheets/sheetGrid.h"

void setupTekiseiGrid(FlexGrid& grid, const QStringList& captions, int columnCount)
{
    grid.clear();
    grid.setWordWrap(true);
    grid.setCols(columnCount + 1);
    grid.setRows(5);
    grid.setRowHeightMin(300);
    grid.setRowHeight(1, 650);
    grid.setFixedRows(2);
    grid.setFixedCols(1);
    grid.setMergeCells(true);
    grid.setMergeRow(0, true);
    grid.setGridFont(QStringLiteral("ＭＳゴシック"), 9);
    grid.setForeColor(RGB(1, 1, 1));
    grid.setColWidth(0, 700);
    for (int i = 0; i < captions.size(); ++i)
        grid.setTextMatrix(i + 2, 0, captions[i]);
}

void finishTekiseiGrid(FlexGrid& grid)
{
    centreRow(grid, 0);
    centreRow(grid, 1);
    grid.setHeightTwips((grid.rows() + 1) * grid.rowHeightMin() + 350);
}
