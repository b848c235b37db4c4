#pragma once
// The 52 condition columns of the sheets' two aptitude tables, computed without any window:
// each column's group header, label, and the statistics of both tables over the runs looked at.
#include "sheets/sheetData.h"
#include "platform/vbdate.h"
#include <QString>
#include <vector>

// The values of one run that the conditions and statistics look at.
struct TekiseiRun {
    VbDate date;
    QString zyo, kisyu, kyakusitu;
    int32_t kyori = 0, baba = 0, waku = 0, taizyu = 0, zougen = 0, kankaku = 0, cyaku = 0, siba = 0;
    float sisuu = 0;
};

// The race on screen.
struct TekiseiContext {
    VbDate raceDate;
    QString raceZyo;
    int32_t raceKyori = 0;
    int32_t raceSiba = 0;
};

struct TekiseiColumn {
    QString header;  // row 0
    QString label;   // row 1
    int32_t count = 0;
    float average = 0;  // of the speed index
    float best = 0;
    float winRate = 0;    // fractions 0..1
    float placeRate = 0;  // finishes 1 to 3
};

constexpr int tekiseiColumnCount = 52;

// Columns 1 to 52 (index 0 is column 1). A run counts when it is dated strictly after the period
// start of periodText (no bound for any other text), has an index above 0, is on the race's
// surface and passes the column's own test.
std::vector<TekiseiColumn> tekiseiColumns(const std::vector<TekiseiRun>& runs, const TekiseiContext& race,
                                          const QString& periodText, const SheetInputs& in);

// Runs 1..kakoMax of a runner slot of the run table.
std::vector<TekiseiRun> tekiseiRunsOfSlot(int slot);
// The runs a run-history grid listed, running style from the stored row.
std::vector<TekiseiRun> tekiseiRunsOf(const std::vector<const SheetRun*>& runs);
// The race on screen as the shared race header holds it.
TekiseiContext tekiseiContextOfRace();
