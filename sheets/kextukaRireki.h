#pragma once
// The race-result sheet's first tab: the information line and every stored runner of one race
// before the race on screen, finishers first by position, then the runners without one.
#include "sheets/sheetData.h"
#include "platform/flexgrid.h"

struct RaceResult {
    bool found = false;  // a race row before the race date
    QString info;        // the information line
    QString zyo;
    VbDate date;
    int32_t raceNo = 0;
    std::vector<SheetRun> runners;
};

// Reads the race on connection slot 1 (open on the race database).
RaceResult readRaceResult(const QString& code, const VbDate& raceDate);
// The information line of a race row: track, date, " ", number, "R ", name, surface, distance, going.
QString raceInfoLine(const SheetRun& row);
// The runners into the grid (redraw off inside).
void drawGridKextukaRireki(FlexGrid& grid, const RaceResult& race);
