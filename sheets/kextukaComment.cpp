#include "sheets/kextukaComment.h"

#include "core/publicFunction.h"
#include "sheets/sheetGrid.h"

void drawGridKextukaComment(FlexGrid& grid, const RaceResult& race, const QHash<QString, CommentNote>& notes)
{
    GridFill fill(grid);
    static const QStringList headers {"着", "枠", "番", "馬名", "コメント", "ﾏｰｸ1", "ﾏｰｸ2"};
    static const int widths[] = {400, 400, 400, 1700, 3000, 450, 450};
    setupSheetListGrid(grid, 7);
    grid.setRows(int(race.runners.size()) + 1);
    for (int c = 0; c < 7; ++c) {
        grid.setTextMatrix(0, c, headers[c]);
        grid.setColWidth(c, widths[c]);
    }
    for (int r = 1; r <= int(race.runners.size()); ++r) {
        const SheetRun& run = race.runners[size_t(r - 1)];
        const CommentNote row = notes.value(run[fName].toString());
        const QStringList texts {formatField(run[fCyaku], "##"), formatField(run[fWaku], "##"),
                                 formatField(run[fNo], "##"), run[fName].toString(), row.comment, row.sign01, row.sign02};
        for (int c = 0; c < 7; ++c)
            grid.setTextMatrix(r, c, texts[c]);
        setLinkStyle(grid, r, 3);
        if (!run[fCyaku].isNull()) {
            grid.setCellBackColor(r, 0, cyakuColor(run[fCyaku].toInt()));
            grid.setCellBackColor(r, 3, cyakuColor(run[fCyaku].toInt()));
        }
    }
    centreRow(grid, 0);
    grid.setHeightTwips((grid.rows() + 1) * grid.rowHeightMin() + 50);
}
