#pragma once
// The two lines that head a race card and a results page: the title line (date, track, race
// number, surface, distance, going) and the race-name line (name and breed). Both pages
// follow the same rules, read into a header of their own.
#include "platform/vbdate.h"
#include <QString>
#include <cstdint>

struct RaceTitle {
    VbDate raceDate;
    QString raceZyo;
    QString raceChiku;
    QString raceCode;
    QString raceName;
    int32_t raceNo = 0;
    int32_t raceSiba = 0;
    int32_t raceKyori = 0;
    int32_t raceBaba = 0;
    int32_t raceSyurui = 0;  // unchanged when the name line carries no breed marker
};

// The title row: the first among rows 0..10 of the cell table whose cell 1 begins with "20";
// -1 when there is none.
int raceTitleRow();
// Fills everything but the name and breed; a page error when a marker or number is missing.
void parseRaceTitle(const QString& title, RaceTitle& race);
// Name and breed: the text before the breed marker, or the first 9 characters without one.
void parseRaceNameLine(const QString& line, RaceTitle& race);
