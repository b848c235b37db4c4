#pragma once
// What the runner grids of the main window share: the redraw guard, the set-up, the header
// styling and the runner columns. Every filler reads the shared race state `pd`.
#include "analysis/gridLayout.h"
#include "core/publicDim.h"
#include "platform/colors.h"
#include "platform/flexgridredraw.h"

#include <QString>

constexpr uint32_t gridTextColor = RGB(1, 1, 1);
constexpr uint32_t white = RGB(255, 255, 255);
constexpr int gridRowHeight = 300;

// Clears the grid and keeps its redrawing off while it lives: whatever ends a fill (its last
// step, an error, an exception in debug mode), the grid paints again.
class GridFill {
public:
    explicit GridFill(FlexGrid& grid);

private:
    FlexRedrawOff redraw_;
};

struct GridShape {
    int cols, rows, fixedRows, fixedCols;
    bool mergeHeader;  // free merging, equal neighbouring texts of row 0 show as one cell
};
// Cols, Rows, RowHeightMin 300, FixedRows, FixedCols, merging, font "ＭＳゴシック" 9, ForeColor RGB(1, 1, 1).
void setUpGrid(FlexGrid& grid, const GridShape& shape);
void centreRow(FlexGrid& grid, int row);
// Row 1 from column 3 to the last as the sub-header (centred, underlined, blue on the button
// face), each column that wide; then column 3 back to the horse name's 1700.
void styleSubHeader(FlexGrid& grid, int width);
// Columns 0..3: 200, 250, 290, 1700.
void setRunnerColWidths(FlexGrid& grid);
// The set-up of the aptitude and best-times grids: Rows tousuu + 2, four fixed columns, "馬名",
// the label over the predicted and base index in row 0, "予想", "基礎" and a first "対象" in row 1,
// row 0 centred, the sub-header styled in that width.
void setUpTekiseiGrid(FlexGrid& grid, int cols, const QString& kihonLabel, int width);
// The control's height: (Rows + 1) x RowHeightMin + extra twips.
void fitGridHeight(FlexGrid& grid, int extra = 50);

// Runner h's columns 0..3 in the row: the frame colour, its number on the first runner of a
// frame (white on frames 2 and 4), the runner number, the mark in bold and the name in bold,
// also underlined blue as a link when asked.
void writeRunnerCols(FlexGrid& grid, int row, int h, bool nameAsLink);
// Columns 4 and 5: predicted and base index, "###".
void writeKihonCols(FlexGrid& grid, int row, int h);
// The headers of one value column of a group: the group's label in row 0 (equal labels of a
// group merge) and the value's name in row 1.
void writeGroupHeaders(FlexGrid& grid, int col, const QString& label, const QString& header);

// The runner rows of the grids with predicted and base index: for umaIdx = 1 to tousuu, columns
// 0..5 of runner h in row h + 1, then writeGroups(h). Leaves umaIdx at tousuu + 1.
template <class F>
void writeKihonRunners(FlexGrid& grid, F&& writeGroups)
{
    const int last = pd.tousuu;
    for (pd.umaIdx = 1; pd.umaIdx <= last; ++pd.umaIdx) {
        writeRunnerCols(grid, runnerRow(pd.umaIdx), pd.umaIdx, false);
        writeKihonCols(grid, runnerRow(pd.umaIdx), pd.umaIdx);
        writeGroups(pd.umaIdx);
    }
}
