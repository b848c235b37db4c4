#pragma once
// The aptitude-by-index grid of the sheets: average, best and count per condition column.
#include "sheets/umaTekisei.h"
#include "platform/flexgrid.h"

void drawSheetGridTekiseiSisuu(FlexGrid& grid, const std::vector<TekiseiColumn>& columns);
