#pragma once
// The horse-column sheet of the race shown: a fixed 90 x 16 grid, five rows per runner slot,
// the runner's own data on the left and its last five runs in column pairs on the right.
class FlexGrid;

constexpr int bacyuRows = 90;
constexpr int bacyuCols = 16;

void fillGridPrintBacyu(FlexGrid& grid);
