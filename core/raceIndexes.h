#pragma once
// The indexes the person sheets read a subject's newest runs by. A race database written before
// them gains them in the background: on a thread and a connection of their own, while the sheets
// read the slower way (every run at once). Only indexes change; every row stays.
#include <QByteArray>
#include <QString>

// True when the race database open on the slot holds them all.
bool hasRaceIndexes(int slot);
// Starts adding those missing to the race database at path, and dropping the older ones they
// replace, unless a build has run in this run of the program. A writer that has to wait for the
// file makes the build let go of it and start its index again later. A build that fails (a
// read-only file, a full disk, no thread to run on) is told once and not tried again until the
// program starts again.
void buildRaceIndexesInBackground(const QString& path, const QByteArray& key);
// While an import writes the race database, the build waits: an index under way is rolled back
// (so that no write of the import waits for one of its steps) and begun again once the import ends.
void holdRaceIndexBuild(bool hold);
// True while a build runs.
bool raceIndexBuildRunning();
// Stops a build under way (the index it was adding is rolled back) and waits for its thread; the
// next call of buildRaceIndexesInBackground starts afresh. At the program's end.
void stopRaceIndexBuild();
// The year of a run in the person's index (that of the race code's day), of the race code column
// named: the index gives a person's runs a year at a time, within a year by row number (the order
// they were stored in, not their days).
QString runYearKey(const QString& codeColumn);
// The keys of the years a race code can name ("50" is 1950, "49" is 2049); a code without a
// two-digit year gets another.
constexpr int firstRunYearKey = 50, lastRunYearKey = 149;
// The index of a person's runs, for the run column naming the person ("U_kisyu" ...).
QString personRunIndex(const QString& personColumn);
