#pragma once
// The horse sheet's comment grid: its listed runs with the horse's note and marks per race
// (notes by race code).
#include "core/publicComment.h"
#include "sheets/sheetData.h"
#include "platform/flexgrid.h"

void drawSheetGridComment(FlexGrid& grid, const std::vector<const SheetRun*>& runs,
                          const QHash<QString, CommentNote>& notes);
