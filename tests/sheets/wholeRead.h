#pragma once
// What one whole read of a subject's runs (the way a short list is read) shows: the grids a sheet
// must equal, however its runs arrived.
#include "tests/sheets/sheetFixture.h"
#include "sheets/umaRIreki.h"
#include "sheets/umaTekiseiRentai.h"
#include "sheets/umaTekiseiSisuu.h"

// Every text of a grid, row by row.
inline QStringList allTexts(const FlexGrid* grid)
{
    QStringList texts;
    for (int r = 0; r < grid->rows(); ++r)
        texts << lineTexts(grid, r).join('|');
    return texts;
}

// The grids as one read of every run (the way a short list is read) draws them for that period.
struct Expected {
    FlexGrid rireki, sisuu, rentai;
    Expected(SheetKind kind, const QString& key, const QString& period)
    {
        openDb(1, appPath() + "NAR_data.dat", dbPassword);
        std::vector<SheetRun> runs = readSubjectRuns(kind, key);
        closeDb(1);
        const SheetInputs in = buildSheetInputs(runs, pd.raceZyo, {}, pd.raceDate);
        const SheetRunList listed = listedRuns(std::move(runs), pd.raceDate);
        drawSheetGridRireki(rireki, kind, listed);
        const auto columns = tekiseiColumns(tekiseiRunsOf(pointersTo(*listed)), tekiseiContextOfRace(), period, in);
        drawSheetGridTekiseiSisuu(sisuu, columns);
        drawSheetGridTekiseiRentai(rentai, columns);
    }
};

