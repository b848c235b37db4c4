#pragma once
// The run-history grid of the horse and person sheets: one row per listed run, newest first,
// 25 or 26 columns by the sheet's kind, with links to other sheets.
#include "sheets/sheetData.h"
#include "platform/flexgrid.h"
#include <QStringList>

// Writes the runs into the grid (redraw off inside) and centres the header row.
// The grid keeps the runs and makes each row's texts when the row is first needed.
void drawSheetGridRireki(FlexGrid& grid, SheetKind kind, const SheetRunList& runs);
// Adds the runs as rows below those the grid lists (drawn by drawSheetGridRireki with runs).
void appendSheetGridRireki(FlexGrid& grid, SheetKind kind, const SheetRunList& runs);
