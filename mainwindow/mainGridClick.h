#pragma once
// Clicks in the main window's analysis grids: the race cards open sheets, the analysis grids
// sort their runners by the clicked column, the chart's runner list picks the runner.
#include <functional>

class FlexGrid;

enum class RaceCard { ByFinish, BySisuu };

// The past run a race-card column stands for: c - 8 by finish, Int((c - 9) / 3) + 1 by index
// (the three columns of a run group); 0 below column 9.
int raceCardRun(RaceCard card, int col);
// Opens the sheet of the runner, sire, jockey, trainer or past race under the clicked cell.
void raceCardClick(const FlexGrid& grid, RaceCard card);
// Sorts the runner rows (below the sub-header row 1) descending by the clicked column, except
// the horse-name column 3.
void sortRunnersClick(FlexGrid& grid);
// Best times: columns 4 and 5 sort descending; a time column sorts its runners by increasing
// time, those without one last. Every time is read before anything changes.
void mochiTimeClick(FlexGrid& grid);
// The chart's runner list: the clicked runner becomes current (umaIdx) and its chart is drawn
// by drawGraph; its name is the one not shown as a link. Header rows and rows below the last
// runner do nothing.
void runnerListClick(const FlexGrid& grid, const std::function<void()>& drawGraph);
