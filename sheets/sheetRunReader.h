#pragma once
// How a subject sheet reads its runs. A list of up to 2,000 runs is read whole, as one query (so
// are the horse sheet's, any list whose period has no lower bound, and every list while the race
// database still lacks the person indexes, which a person sheet then has built in the
// background). A longer one is read newest first through the person's index, a year of the race
// code at a time, on threads and connections of the reader's own: the first screen takes every run
// the chosen period and the newest year cover (at least 2,000 listed runs), and the older years go
// on arriving while the window stays usable. The cost follows the subject's runs, not the file's
// races. The track and jockey lists read on past the
// first part only while they are not full (a person of one or two tracks), and the runs read for
// them wait for the next slice; the average weight needs only the newest year, which the first
// screen holds. A year that cannot be read ends the reading: the runs of the years before it are
// handed on, then its failure. Where no thread can be started, the list is read whole.
#include "sheets/sheetData.h"
#include <QByteArray>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

class PersonYears;

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
    // Reads on connection slot 1, which must be open on the race database; a long list's years
    // are read on connections of their own.
    explicit SheetRunReader(const SheetRequest& request);
    // Stops the reading of the years and waits for it (a row's time; a wait for a lock ends at once).
    ~SheetRunReader();
    SheetRunReader(const SheetRunReader&) = delete;
    SheetRunReader& operator=(const SheetRunReader&) = delete;

    // The runs of the first part, newest first: the later ones (on or after the race day) too.
    std::vector<SheetRun> takeRuns() { return std::move(runs_); }
    const SheetInputs& inputs() const { return inputs_; }
    // Every run handed on, up to a year that could not be read.
    bool complete() const;
    // The next listed runs: every year read since, waiting up to budgetMs milliseconds when none
    // is.
    std::vector<SheetRun> nextSlice(int budgetMs);
    // Throws why a year could not be read, once complete: the runs of the years before it have
    // been handed on.
    void rethrowFailure() const;

private:
    // The years of the person's runs, newest first, when the file has the person's index and the
    // list is long; otherwise nothing (the list is read whole).
    std::optional<std::vector<int>> storedYears() const;
    std::unique_ptr<PersonYears> startYears(const std::vector<int>& years) const;
    void readWhole();
    void readFirstPart();

    SheetRequest request_;
    QByteArray key_;
    std::vector<SheetRun> runs_;
    SheetInputs inputs_;
    std::deque<SheetRun> ahead_;  // read for the first screen, not yet handed on
    std::unique_ptr<PersonYears> years_;  // a long list's
};
