#include "sheets/sheetGrid.h"

#include "platform/colors.h"
#include "platform/vbformat.h"

#include <algorithm>

void setupSheetListGrid(FlexGrid& grid, int cols)
{
    setUpGrid(grid, {cols, 2, 1, 0, true});
}

void setLinkStyle(FlexGrid& grid, int row, int col)
{
    grid.setCellFontUnderline(row, col, true);
    grid.setCellForeColor(row, col, vbBlue);
}

void setLinkStyle(FlexCell& cell)
{
    cell.underline = true;
    cell.foreColor = vbBlue;
}

int tabFitHeight(int rows, int rowHeightMin, int gridTop, int tabTop, int tabHeight)
{
    const int wanted = (rows + 1) * rowHeightMin + 50;
    const int room = tabHeight - (gridTop - tabTop);
    return std::max(0, wanted < room ? wanted : room - 50);
}

QString formatField(const SheetValue& f, const QString& pattern)
{
    if (f.isNull())
        return {};
    // A whole number under a pattern of "#" only is its digits, and nothing for 0: the same text
    // as Format gives, without its general path (a long list formats hundreds of thousands).
    const int32_t v = f.toInt();
    if (!pattern.isEmpty() && pattern.count('#') == pattern.size())
        return v == 0 ? QString() : QString::number(v);
    return Format(v, pattern);
}

QString formatFloatField(const SheetValue& f, const QString& pattern)
{
    return f.isNull() ? QString() : Format(f.toFloat(), pattern);
}
