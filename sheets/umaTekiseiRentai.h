#pragma once
// The aptitude-by-rates grid of the sheets: win rate, top-three rate and count per condition column.
#include "sheets/umaTekisei.h"
#include "platform/flexgrid.h"

void drawSheetGridTekiseiRentai(FlexGrid& grid, const std::vector<TekiseiColumn>& columns);
