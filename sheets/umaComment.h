#pragma once
// The horse sheet's comment grid: its listed runs with the horse's comment and marks per race.
#include "sheets/sheetComments.h"
#include "sheets/sheetData.h"
#include "platform/flexgrid.h"

void drawSheetGridComment(FlexGrid& grid, const std::vector<const SheetRun*>& runs,
                          const std::map<QString, SheetComment>& comments);
