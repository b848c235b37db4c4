#pragma once
// Speed index of the loaded race's past runs, and the local track information file as the
// analysis of a race read uses it.
#include "platform/database.h"

#include <QStringList>
#include <optional>

// Gives runner umaIdx's past runs 1..100 their speed index and last-3F index. Runs without a
// time keep what they hold; central runs get theirs only while jraGraph.dat is present.
// Runner 1 begins a new race read (see endTrackFileSession).
void calcUmaSisuu();

// Strevin_data.dat lent to a connection slot for one procedure, read in one snapshot. The
// first loan of a race read opens the file and later loans borrow the same connection, so the
// runners do not pay for an open each. A missing or unreadable file (or table) is shown once
// per race read ("dataファイルが開けません") and the loan stays closed; in debug mode the
// failure is thrown instead.
class TrackFileLoan {
public:
    TrackFileLoan(int slot, const QStringList& tables);
    // Takes the connection back out of the slot, which is left closed.
    ~TrackFileLoan();
    TrackFileLoan(const TrackFileLoan&) = delete;
    TrackFileLoan& operator=(const TrackFileLoan&) = delete;

    bool isOpen() const { return open_; }

private:
    void takeBack();

    int slot_;
    const Connection* lent_ = nullptr;
    std::optional<DbTransaction> snapshot_;
    bool open_ = false;
};

// Ends the race read's use of the track file: closes it, and a failure is shown again next time.
// The prediction calls it when it ends, and runner 1's speed index when a new read begins.
void endTrackFileSession();
