#pragma once
// One race of our own pages at the racing authority's paths, shaped as a test wants it (field
// size, number of past runs, days between them): the race card and each runner's run history.
// Tests and benchmarks read races from them; the demo server serves the demo world
// (demoWorldPages.h).
#include "platform/vbdate.h"

#include <QByteArray>
#include <QString>

struct DemoRace {
    VbDate date;
    QString zyo = QStringLiteral("大井");
    int raceNo = 11;
    int runners = 12;
    int historyRuns = 30;  // past runs on each runner's history page
    int daysBetweenRuns = 28;
};

// Path and query of each page as the program asks for them (race number as the selector
// writes it, "11" or "01").
QString demoCardTarget(const DemoRace& race);
QString demoHistoryTarget(int horse);

// The pages as a server sends them, in Shift_JIS.
QByteArray demoCard(const DemoRace& race);
QByteArray demoHistory(const DemoRace& race, int horse);

QString demoHorseName(int horse);

// Writes into a local track information file (path, password) a track variant for every day and
// track of the race's histories and a standard time for every distance they run, so that every
// past run gets a speed index.
void writeDemoTrackTables(const QString& path, const QString& password, const DemoRace& race);

// Points [System] webHost of a settings file at the demo server's host: when it is empty, the
// default "localhost" or an earlier demo's 127.0.0.1 address. A host of the user's own stays
// (false, said on stderr); so does a file that cannot be written.
bool pointWebHostAt(const QString& iniPath, const QString& host);
