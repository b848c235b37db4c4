#include "sheets/umaTekiseiRentai.h"

#include "platform/vbformat.h"
#include "sheets/sheetGrid.h"
#include "sheets/umaTekiseiGrid.h"

void drawSheetGridTekiseiRentai(FlexGrid& grid, const std::vector<TekiseiColumn>& columns)
{
    GridFill fill(grid);
    drawTekiseiGrid(grid, {"勝率", "連対率", "対象数"}, columns, [](const TekiseiColumn& c) {
        if (c.count == 0)
            return QStringList {QString(), QString(), QString()};
        return QStringList {Format(c.winRate, "##0%"), Format(c.placeRate, "##0%"), Format(c.count, "###")};
    });
}
