#include "analysis/mainGrid.h"

#include "analysis/gridLayout.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/flexgrid.h"
#include "platform/vbformat.h"

GridFill::GridFill(FlexGrid& grid)
    : redraw_(grid)
{
    grid.clear();
}

void setUpGrid(FlexGrid& grid, const GridShape& shape)
{
    grid.setCols(shape.cols);
    grid.setRows(shape.rows);
    grid.setRowHeightMin(gridRowHeight);
    grid.setFixedRows(shape.fixedRows);
    grid.setFixedCols(shape.fixedCols);
    grid.setMergeCells(shape.mergeHeader);
    grid.setMergeRow(0, shape.mergeHeader);
    grid.setGridFont(QStringLiteral("ＭＳゴシック"), 9);
    grid.setForeColor(gridTextColor);
}

void centreRow(FlexGrid& grid, int row)
{
    for (int c = 0; c < grid.cols(); ++c)
        grid.setCellAlignment(row, c, flexAlignCenterCenter);
}

void styleSubHeader(FlexGrid& grid, int width)
{
    for (int c = colUmaName; c < grid.cols(); ++c) {
        grid.setCellAlignment(subHeaderRow, c, flexAlignCenterCenter);
        grid.setCellFontUnderline(subHeaderRow, c, true);
        grid.setCellForeColor(subHeaderRow, c, vbBlue);
        grid.setColWidth(c, width);
        grid.setCellBackColor(subHeaderRow, c, vbButtonFace);
    }
    grid.setColWidth(colUmaName, 1700);
}

void setRunnerColWidths(FlexGrid& grid)
{
    const int widths[] {200, 250, 290, 1700};
    for (int c = colWaku; c <= colUmaName; ++c)
        grid.setColWidth(c, widths[c]);
}

void setUpTekiseiGrid(FlexGrid& grid, int cols, const QString& kihonLabel, int width)
{
    setUpGrid(grid, {cols, pd.tousuu + 2, 1, 4, true});
    setRunnerColWidths(grid);
    grid.setTextMatrix(0, colUmaName, QStringLiteral("馬名"));
    grid.setTextMatrix(0, colYosouSisuu, kihonLabel);
    grid.setTextMatrix(0, colKisoSisuu, kihonLabel);
    grid.setTextMatrix(subHeaderRow, colYosouSisuu, QStringLiteral("予想"));
    grid.setTextMatrix(subHeaderRow, colKisoSisuu, QStringLiteral("基礎"));
    grid.setTextMatrix(subHeaderRow, colKisoSisuu + 1, QStringLiteral("対象"));
    centreRow(grid, 0);
    styleSubHeader(grid, width);
}

void fitGridHeight(FlexGrid& grid, int extra)
{
    grid.setHeightTwips((grid.rows() + 1) * grid.rowHeightMin() + extra);
}

void writeRunnerCols(FlexGrid& grid, int row, int h, bool nameAsLink)
{
    const int32_t waku = pd.uWaku(h, 0);
    grid.setCellBackColor(row, colWaku, wakuColor(waku));
    if (waku != pd.uWaku(h - 1, 0)) {
        grid.setTextMatrix(row, colWaku, QString::number(waku));
        if (waku == 2 || waku == 4)
            grid.setCellForeColor(row, colWaku, white);
    }
    grid.setTextMatrix(row, colUmaban, QString::number(h));
    grid.setCellBackColor(row, colUmaban, white);
    grid.setTextMatrix(row, colSirusi, pd.sirusi(h));
    grid.setCellFontBold(row, colSirusi, true);
    grid.setCellBackColor(row, colSirusi, white);
    grid.setTextMatrix(row, colUmaName, pd.uName(h));
    if (nameAsLink) {
        grid.setCellFontUnderline(row, colUmaName, true);
        grid.setCellForeColor(row, colUmaName, vbBlue);
    }
    grid.setCellFontBold(row, colUmaName, true);
    grid.setCellBackColor(row, colUmaName, white);
}

void writeKihonCols(FlexGrid& grid, int row, int h)
{
    grid.setTextMatrix(row, colYosouSisuu, Format(pd.yosouSisuu(h), "###"));
    grid.setTextMatrix(row, colKisoSisuu, Format(pd.kisoSisuu(h, 0), "###"));
}

void writeGroupHeaders(FlexGrid& grid, int col, const QString& label, const QString& header)
{
    grid.setTextMatrix(0, col, label);
    grid.setTextMatrix(subHeaderRow, col, header);
}
