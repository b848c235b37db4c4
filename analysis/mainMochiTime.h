#pragma once
// The best-times tab "持ち時計": per runner its best time at today's distance and at the two
// nearest shorter and longer distances with a standard time on today's track and surface, under
// thirteen of the aptitude conditions.
#include <QString>
#include <array>
#include <cstdint>

class FlexGrid;

// The distance ladder: positions 1..5 (0 unused) from shorter to longer, today's distance in 3, 0
// where the standard times of today's track and surface have no such distance. Read from
// Strevin_data.dat through the race analysis's track-file loan on slot 1; when the file cannot be
// read the loan says so (once) and only today's distance stands.
using MochiKyori = std::array<int32_t, 6>;
MochiKyori readMochiKyori();

// Reads the ladder, then fills the main window's gridMochiTime (pass it) from the run table;
// kikanText is the text of the period choice cmbTarKikan as it stands. A fill of a newly read race
// reads the ladder as readMochiKyori does; a refill of the race shown (a period pick) takes the
// loan afresh, and when the file cannot be read, the open's message and "Error-mainMochiTime-1"
// are shown and the grid keeps what it shows. Group g, ladder position i in column 5g + i (gridLayout.h).
// Loops on umaIdx and leaves it at tousuu + 1.
void drawGridMochiTime(FlexGrid& gridMochiTime, const QString& kikanText);
// Writes group g (1..13) of a runner into the row: for each ladder position that holds a distance
// the best time (bestTimes[i], empty for 0), the label in row 0 and the distance in row 1.
void setGridMochiTimeCell(FlexGrid& grid, int row, int group, const std::array<float, 6>& bestTimes,
                          const QString& label);
