#include "sheets/umaComment.h"

#include "platform/vbformat.h"
#include "sheets/sheetGrid.h"

void drawSheetGridComment(FlexGrid& grid, const std::vector<const SheetRun*>& runs,
                          const QHash<QString, CommentNote>& notes)
{
    GridFill fill(grid);
    static const QStringList headers {"開催日", "場", "R", "レース名", "コメント", "ﾏｰｸ1", "ﾏｰｸ2"};
    static const int widths[] = {850, 600, 500, 2200, 3000, 500, 500};
    setupSheetListGrid(grid, runs.empty() ? 1 : 7);
    if (!runs.empty()) {
        grid.setRows(int(runs.size()) + 1);
        for (int c = 0; c < 7; ++c) {
            grid.setTextMatrix(0, c, headers[c]);
            grid.setColWidth(c, widths[c]);
        }
    }
    for (int r = 1; r <= int(runs.size()); ++r) {
        const SheetRun& run = *runs[size_t(r - 1)];
        const CommentNote row = notes.value(run[fRCode].toString());
        const QString raceNo = run[fRaceNo].isNull() ? QString() : Format(run[fRaceNo].toInt(), "##") + "R";
        const QStringList texts {Format(run.date(), "yy/mm/dd"), run[fZyo].toString(), raceNo, run[fRName].toString(),
                                 row.comment, row.sign01, row.sign02};
        for (int c = 0; c < 7; ++c)
            grid.setTextMatrix(r, c, texts[c]);
        grid.setCellFontSize(r, 3, 8);
        setLinkStyle(grid, r, 3);
    }
    centreRow(grid, 0);
}
