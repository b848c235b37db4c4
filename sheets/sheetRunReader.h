#pragma once
// How a subject sheet reads its runs. A list of up to 2,000 runs is read whole, as one query (so
// are the horse sheet's and any list whose period has no lower bound). A longer one is read newest
// first, race day by race day, on a connection of the reader's own: the first screen takes every
// run the chosen period and the newest year cover (at least 2,000 listed runs), and the rest of the
// list comes a slice at a time while the window stays usable. The track and jockey lists walk the
// races of their own, stopping as soon as they are full; the average weight needs only the newest
// year, which the first screen holds.
#include "sheets/sheetData.h"
#include <QByteArray>
#include <memory>

class SheetStatement;
class SubjectRaces;
class SubjectRuns;

// What one fill asks for.
struct SheetRequest {
    SheetKind kind;
    QString key;
    QString raceZyo;
    QString firstJockey;  // heads the jockey list when not empty
    VbDate raceDate;
    int32_t periodDays = 0;  // of the aptitude tables; 0: every run counts
};

// The runs a sheet lists at once at least; a list of no more is read whole.
constexpr int sheetFirstListed = 2000;

class SheetRunReader {
public:
    // Counts the subject's runs on connection slot 1, which must be open on the race database, and
    // reads a short list there; a long one is read on a connection of the reader's own, kept for
    // the rest.
    explicit SheetRunReader(const SheetRequest& request);
    ~SheetRunReader();
    SheetRunReader(const SheetRunReader&) = delete;
    SheetRunReader& operator=(const SheetRunReader&) = delete;

    // The runs of the first part, newest first: the later ones (on or after the race day) too.
    std::vector<SheetRun> takeRuns() { return std::move(runs_); }
    const SheetInputs& inputs() const { return inputs_; }
    bool complete() const { return !walk_; }
    // The next listed runs, read for about budgetMs milliseconds (at least one run); the reader
    // is complete after the slice that reaches the end.
    std::vector<SheetRun> nextSlice(int budgetMs);

private:
    void readWhole();
    void readFirstPart();
    void readLists();
    QString subjectRunsOfRace(const QString& columns) const;
    // The subject's runs in the race the walk is on, by horse.
    std::vector<SheetRun> runsOfRace();
    bool takesMore(const SheetRun& run, int listed) const;

    SheetRequest request_;
    QByteArray key_;
    std::vector<SheetRun> runs_;
    SheetInputs inputs_;
    std::unique_ptr<SubjectRuns> runRows_;
    std::unique_ptr<class Connection> connection_;
    std::unique_ptr<SheetStatement> raceRuns_;
    std::unique_ptr<SubjectRaces> walk_;
    std::vector<SheetRun> pending_;  // the first race after the first part
};
