#include "sheets/umaTekiseiGrid.h"

#include "sheets/sheetGrid.h"

void setupTekiseiGrid(FlexGrid& grid, const QStringList& captions, int columnCount)
{
    setUpGrid(grid, {columnCount + 1, 5, 2, 1, true});
    grid.setWordWrap(true);
    grid.setRowHeight(1, 650);
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
