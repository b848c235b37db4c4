#pragma once
// The frame both aptitude grids share: two fixed rows (group headers merged, wrapped labels),
// one fixed caption column, the 52 condition columns of 500 twips and the height for five rows.
#include "sheets/umaTekisei.h"
#include "platform/flexgrid.h"
#include <QStringList>

// Writes captions, headers and labels, then each column's three values by valuesOf.
template <class F>
void drawTekiseiGrid(FlexGrid& grid, const QStringList& captions, const std::vector<TekiseiColumn>& columns,
                     F&& valuesOf);
void setupTekiseiGrid(FlexGrid& grid, const QStringList& captions, int columnCount);
void finishTekiseiGrid(FlexGrid& grid);

template <class F>
void drawTekiseiGrid(FlexGrid& grid, const QStringList& captions, const std::vector<TekiseiColumn>& columns,
                     F&& valuesOf)
{
    setupTekiseiGrid(grid, captions, int(columns.size()));
    for (int c = 1; c <= int(columns.size()); ++c) {
        const TekiseiColumn& col = columns[size_t(c - 1)];
        grid.setTextMatrix(0, c, col.header);
        grid.setTextMatrix(1, c, col.label);
        grid.setColWidth(c, 500);
        const QStringList values = valuesOf(col);
        for (int row = 2; row <= 4; ++row)
            grid.setTextMatrix(row, c, values.value(row - 2));
    }
    finishTekiseiGrid(grid);
}
