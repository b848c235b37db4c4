#pragma once
// The indexes the sheets read a subject's runs by, race day by race day: a file written before
// they existed gains them the first time a sheet reads it. Only indexes change; every row stays.
#include <QString>

// True when the race database open on the slot holds them all.
bool hasRaceIndexes(int slot);
// Adds those missing (with the progress window counting them: on a file of millions of runs each
// takes seconds) and drops the ones they extend. A file that cannot take them (read only, full
// disk) stays as it was: the sheets read it the slower way.
void addRaceIndexes(int slot);
// The index of a person's runs by race, for the run column naming the person ("U_kisyu" ...).
QString raceRunIndex(const QString& personColumn);
