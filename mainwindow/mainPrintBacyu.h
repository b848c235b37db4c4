#pragma once
// The horse-column sheet of the race shown: a fixed 90 x 16 grid, five rows per runner slot,
// the runner's own data on the left and its last five runs in column pairs on the right.
#include <QString>

class FlexGrid;

constexpr int bacyuRows = 90;
constexpr int bacyuCols = 16;

void fillGridPrintBacyu(FlexGrid& grid);

// A Single as text in its shortest form of at most 7 significant digits (92.7 reads "92.7").
QString singleText(float value);
