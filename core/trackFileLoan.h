#pragma once
// The local track information file as a race read uses it: opened once, lent to the history
// import and the analysis, procedure by procedure, and a failure to open a data file said once.
#include "core/dataFiles.h"
#include "platform/database.h"

#include <QStringList>
#include <exception>
#include <optional>

// Starts the analysis of a race read: the track file is opened afresh at its first use, and a
// failure to open it is reported again, once. The race read calls it before its first runner, and
// the best-times page before it reads the file again for the race shown (a period pick).
void beginRaceAnalysis();
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

// While one lives (a race read holds one), a data file that cannot be opened or written is reported
// the first time only: the history reader opens and writes the race database for every runner.
// It is still tried each time. Nested memos share the outermost one.
class FileFailureMemo {
public:
    FileFailureMemo();
    ~FileFailureMemo();
    FileFailureMemo(const FileFailureMemo&) = delete;
    FileFailureMemo& operator=(const FileFailureMemo&) = delete;

private:
    bool outermost_ = false;
};
// openDb(slot, kind), except that its message for a file that does not open is not shown again
// while a live memo has seen that file fail already. The slot is left closed then; in debug mode
// the failure is thrown instead.
void openDbReportedOnce(int slot, DataFileKind kind);
// The message for a write the file refused (what was not stored, the file and the cause), once per
// file while a live memo lives.
void reportUnwritableFile(const QString& what, const QString& path, const std::exception& error);
