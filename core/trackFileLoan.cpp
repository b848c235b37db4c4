#include "core/trackFileLoan.h"

#include "core/dataFiles.h"
#include "core/publicFunction.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"

#include <QSet>
#include <memory>

namespace {

// The track file between the loans of one race read.
struct TrackFileSession {
    std::unique_ptr<Connection> connection;
    // The runners and the factors would all find the same broken file: one message says it.
    bool failureShown = false;
};
TrackFileSession session;
// The files the live memo has seen fail; none outside a memo.
QSet<QString>* reportedFiles = nullptr;
int raceReadsBegun = 0;

QString trackFilePath()
{
    return dataFilePath(DataFileKind::StrevinData);
}

// A file that opens may still lack a table the procedure reads; without this check every run
// would report its own failing query.
void checkTables(int slot, const QStringList& tables)
{
    for (const QString& table : tables)
        RecordSet(slot, "SELECT * FROM " + quoteIdent(table) + " LIMIT 1");
}

void showFailureOnce(const std::exception& error)
{
    if (session.failureShown)
        return;
    session.failureShown = true;
    reportUnopenedFile(trackFilePath(), error);
}

}

void beginRaceAnalysis()
{
    session = TrackFileSession();
    ++raceReadsBegun;
}

int raceAnalysisCount()
{
    return raceReadsBegun;
}

void endRaceAnalysis()
{
    session.connection.reset();
}

TrackFileLoan::TrackFileLoan(int slot, const QStringList& tables)
    : slot_(slot)
{
    try {
        if (session.connection)
            cnDB[size_t(slot)] = std::move(session.connection);
        else
            openDbOrThrow(slot, DataFileKind::StrevinData);
        lent_ = cnDB[size_t(slot)].get();
        checkTables(slot, tables);
        snapshot_.emplace(slot);
    } catch (const std::exception& e) {
        takeBack();
        if (debugMode)
            throw;
        showFailureOnce(e);
    }
}

TrackFileLoan::~TrackFileLoan()
{
    snapshot_.reset();
    takeBack();
}

void TrackFileLoan::takeBack()
{
    // A procedure that opened something else on the slot meanwhile keeps it.
    if (lent_ && cnDB[size_t(slot_)].get() == lent_)
        session.connection = std::move(cnDB[size_t(slot_)]);
    lent_ = nullptr;
}

FileFailureMemo::FileFailureMemo()
{
    static QSet<QString> outermostFiles;
    if (reportedFiles)
        return;
    outermost_ = true;
    outermostFiles.clear();
    reportedFiles = &outermostFiles;
}

FileFailureMemo::~FileFailureMemo()
{
    if (outermost_)
        reportedFiles = nullptr;
}

namespace {

void reportOnce(const QString& path, const QString& text)
{
    if (reportedFiles) {
        if (reportedFiles->contains(path))
            return;
        reportedFiles->insert(path);
    }
    msgBox(text, vbOKOnly);
}

}

void reportUnopenedFile(const QString& path, const std::exception& error)
{
    reportOnce(path, dbOpenFailureText(path, error));
}

void reportUnwritableFile(const QString& what, const QString& path, const std::exception& error)
{
    reportOnce(path, what + QLatin1Char('\n') + dbWriteFailureLines(path, error));
}
