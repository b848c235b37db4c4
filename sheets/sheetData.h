#pragma once
// What the sheets read from the race database, without any window: a subject's runs (one read
// serves the run list, the track and jockey lists and the average weight), the lists themselves,
// and the store of the listed runs into the scratch slot 0 of the run table.
#include "platform/database.h"
#include "platform/vbdate.h"
#include <QString>
#include <array>
#include <vector>

enum class SheetKind { Uma, Kisyu, Cyoukyou, Syuboba, Kextuka };

// The window name of a sheet ("frmUma" ...) and the run column that names its subject.
QString sheetFormName(SheetKind kind);
QString sheetKeyColumn(SheetKind kind);

// The columns a sheet reads of one joined run row, in the order they are selected.
enum RunField {
    fRCode, fDate, fZyo, fRaceNo, fRName, fSiba, fKyori, fBaba, fTousuu, fName, fSisuu, fSisuu3f, fFile,
    fCyaku, fTime, f3f, fCyakusa, fKisyu, fHutan, fWaku, fNo, fTaizyu, fZougen, fTuka1, fTuka2, fTuka3, fTuka4,
    fCyoukyou, fKankaku, fKyakusitu, runFieldCount
};

// One run row as read; a Null column stays Null (an empty cell, 0 or "" in the run table).
struct SheetRun {
    std::array<DbField, runFieldCount> f;
    const DbField& operator[](RunField i) const { return f[size_t(i)]; }
    VbDate date() const { return f[fDate].toDate(); }
};

// The "SELECT ... FROM ... JOIN ..." part of the sheets' run queries (named columns; the join
// holds two R_code columns). A race keeps its row without runners (left join); a subject's runs
// are found from its own run rows first, through their index.
QString sheetRaceRunSelect();
QString sheetSubjectRunSelect();
// The fixed order of runs: newest day first, on one day the later race first, then the code and
// the horse (a person may have several runners in one race).
QString sheetRunOrder();

// Every stored run of the subject (any date), newest first. Reads connection slot 1, which must
// be open on the race database.
std::vector<SheetRun> readSubjectRuns(SheetKind kind, const QString& key);
// The runs strictly before the race date, in the same order.
std::vector<const SheetRun*> runsBefore(const std::vector<SheetRun>& runs, const VbDate& raceDate);

// The inputs of the aptitude tables built from a subject's runs.
struct SheetInputs {
    std::array<QString, 6> trkList;
    std::array<QString, 6> jkList;
    int32_t avgTaizyu = 0;
};
// trkList(0) = raceZyo, jkList(0) = firstJockey (may be empty); the rest from the runs, newest
// first; avgTaizyu over the runs dated after raceDate - 365 (later ones included).
SheetInputs buildSheetInputs(const std::vector<SheetRun>& runs, const QString& raceZyo, const QString& firstJockey,
                             const VbDate& raceDate);

// Stores the listed runs as runs 1..n of slot 0 of the shared run table, growing the table once
// when it holds fewer runs. uName(0) takes each run's horse except on the horse sheet; the trainer
// is not stored on the trainer sheet, nor from a Null.
void storeRunsInSlot0(const std::vector<const SheetRun*>& runs, SheetKind kind);
