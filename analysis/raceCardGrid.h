#pragma once
// What the two race card grids share: the fixed columns 0..8 of each runner, the line of text
// that tells a past run and the style of a past run's cells.
#include <QString>

class FlexGrid;

// The fill of a race card under its trap tag: the grid cleared with `cols` columns and tousuu + 1
// rows, the fixed columns 0..8, for umaIdx = 1 to tousuu runner h's fixed columns and then
// writeRuns(grid, h), then writeRunHeaders over the width the grid has grown to, and the height.
// Leaves umaIdx at tousuu + 1.
void fillRaceCard(FlexGrid& grid, const QString& tag, int cols, void (*writeRuns)(FlexGrid&, int),
                  void (*writeRunHeaders)(FlexGrid&));
// The last of runner h's runs 1..100 with a date (runs beyond 100 are never shown); 0 for none.
// The grid is widened once per runner to show it: every change of the column count costs the
// views of the grid a reset.
int lastShownRun(int h);
// Track, "mm/dd", surface ("芝" or "Ｄ") and distance of run k: "大井03/15 Ｄ1200".
QString runText(int h, int k);
// Font size 8, the link style unless the run was at a central track, the finish colour.
void styleRunCell(FlexGrid& grid, int col, int h, int k);
