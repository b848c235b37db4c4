#pragma once
// What the sheets read from the race database, without any window: a subject's runs (one read
// serves the run list, the track and jockey lists and the average weight) and the lists
// themselves. A sheet keeps the runs it lists to itself; the shared run table is the race read's.
#include "platform/database.h"
#include "platform/vbdate.h"
#include <QString>
#include <array>
#include <memory>

struct sqlite3_stmt;
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

// One run row as read: the texts as texts, every other column as a number, and which are Null.
// A Null column stays Null (an empty cell, 0 or "" in the run table).
class SheetRun;
class SheetValue {
public:
    SheetValue(const SheetRun& run, RunField field) : run_(run), field_(field) {}
    bool isNull() const;
    int32_t toInt() const;  // real values round halves to even
    float toFloat() const;
    double toDouble() const;
    bool toBool() const;
    QString toString() const;

private:
    const SheetRun& run_;
    RunField field_;
};

class SheetRun {
public:
    SheetValue operator[](RunField i) const { return {*this, i}; }
    // The race day; a run without a readable day is refused when it is read.
    VbDate date() const { return date_; }
    // One column as read (tests and the race-result reader); a bad race day is a VbError.
    void set(RunField field, const DbValue& value);
    // Fields first..last from the columns 0.. of the statement's current row.
    void readColumns(sqlite3_stmt* stmt, RunField first, RunField last);

    // The texts among the fields, and a bit per field (its Null and real-number flags); checked
    // against RunField where the text fields are named.
    static constexpr int textCount = 8;
    using FieldBits = uint32_t;

private:
    friend class SheetValue;
    static int slotOf(RunField field, bool& text);

    std::array<QString, textCount> texts_;
    std::array<double, runFieldCount - textCount> numbers_ {};
    FieldBits nulls_ = (FieldBits(1) << runFieldCount) - 1;
    FieldBits reals_ = 0;
    VbDate date_;
};

// The "SELECT ... FROM ... JOIN ..." part of the sheets' run queries (named columns; the join
// holds two R_code columns). A race keeps its row without runners (left join); a subject's runs
// are found from its own run rows first, through their index.
QString sheetRaceRunSelect();
// The joined row's columns alone, in RunField order.
QString sheetRunColumns();
QString sheetSubjectRunSelect();
// The fixed order of runs: newest day first, on one day the later race first, then the code and
// the horse (a person may have several runners in one race).
QString sheetRunOrder();

// A list entry joins when it differs from every entry, empty ones included; a Null never joins.
// False once the sixth entry is filled.
bool addDistinct(std::array<QString, 6>& list, int& n, const SheetValue& value);

// Every stored run of the subject (any date), newest first. Reads connection slot 1, which must
// be open on the race database.
std::vector<SheetRun> readSubjectRuns(SheetKind kind, const QString& key);
// The runs strictly before the race date, in the same order.
std::vector<const SheetRun*> runsBefore(const std::vector<SheetRun>& runs, const VbDate& raceDate);
// Runs kept as they were read, shared by the grid that shows them and their readers.
using SheetRunList = std::shared_ptr<const std::vector<SheetRun>>;
// The runs strictly before the race date, moved out of runs.
SheetRunList listedRuns(std::vector<SheetRun> runs, const VbDate& raceDate);
std::vector<const SheetRun*> pointersTo(const std::vector<SheetRun>& runs);

// The inputs of the aptitude tables built from a subject's runs.
struct SheetInputs {
    std::array<QString, 6> trkList;
    std::array<QString, 6> jkList;
    int32_t avgTaizyu = 0;
};
// The track and jockey lists filled from a subject's runs, newest first: trkList(0) = raceZyo,
// jkList(0) = firstJockey (may be empty: then the first run's jockey).
class SheetListFill {
public:
    // subjectIsJockey: every run names the same jockey, so the jockey list is whole after one run.
    SheetListFill(const QString& raceZyo, const QString& firstJockey, bool subjectIsJockey = false);
    void add(const SheetRun& run);
    // No later run can change the lists.
    bool full() const { return tracksFull_ && (jockeysFull_ || (subjectIsJockey_ && added_)); }
    void fillIn(SheetInputs& inputs) const;

private:
    SheetInputs lists_;
    int tracks_ = 1, jockeys_ = 1;
    bool tracksFull_ = false, jockeysFull_ = false, subjectIsJockey_, added_ = false;
};

// The lists from the runs (newest first); avgTaizyu over the runs dated after raceDate - 365
// (later ones included).
SheetInputs buildSheetInputs(const std::vector<SheetRun>& runs, const QString& raceZyo, const QString& firstJockey,
                             const VbDate& raceDate);
// That average alone, over the runs given.
int32_t averageTaizyu(const std::vector<SheetRun>& runs, const VbDate& raceDate);
