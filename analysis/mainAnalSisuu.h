#pragma once
// Speed index of the loaded race's past runs, and the local track information file as the
// analysis of a race read uses it.
#include "platform/database.h"

#include <QStringList>
#include <optional>

// Gives runner umaIdx's past runs 1..100 their speed index and last-3F index. Runs without a
// time keep what they hold; central runs get theirs only while jraGraph.dat is present.
void calcUmaSisuu();

// Starts the analysis of a race read: the track file is opened afresh at its first use, and a
// failure to open it is reported again, once. The race read calls it before its first runner.
void beginRaceAnalysis();
// How many race reads have begun: a page filled again for the same count shows the same race.
int raceAnalysisCount();
// Ends it: closes the track file. The prediction calls it when it ends; a read that stops
// before the prediction leaves the file to the next beginRaceAnalysis.
void endRaceAnalysis();

// Strevin_data.dat lent to a connection slot for one procedure and read in one transaction.
// The first loan of a race read opens the file and later loans borrow the same connection: an
// open of the encrypted file costs about as much as all the queries of a runner. A missing or
// unreadable file (or table) is shown once per race read ("dataファイルが開けません") and the
// loan stays closed; in debug mode the failure is thrown instead.
class TrackFileLoan {
public:
    TrackFileLoan(int slot, const QStringList& tables);
    // Takes the connection back out of the slot, which is left closed.
    ~TrackFileLoan();
    TrackFileLoan(const TrackFileLoan&) = delete;
    TrackFileLoan& operator=(const TrackFileLoan&) = delete;

    bool isOpen() const { return snapshot_.has_value(); }

private:
    void takeBack();

    int slot_;
    const Connection* lent_ = nullptr;
    std::optional<DbTransaction> snapshot_;
};
