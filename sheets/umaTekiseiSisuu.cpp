#include "sheets/umaTekiseiSisuu.h"

#include "platform/vbformat.h"
#include "sheets/sheetGrid.h"
#include "sheets/umaTekiseiGrid.h"

void drawSheetGridTekiseiSisuu(FlexGrid& grid, const std::vector<TekiseiColumn>& columns)
{
    GridFill fill(grid);
    drawTekiseiGrid(grid, {"平均", "最高", "対象数"}, columns, [](const TekiseiColumn& c) {
        return QStringList {Format(c.average, "###"), Format(c.best, "###"), Format(c.count, "###")};
    });
}
