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

QString trackFilePath()
{
    return dataFilePath(DataFileKind::StrevinData);
}

// Shows a data file's failure, unless a live memo has seen that file fail already.
void reportOnce(const QString& path, const QString& text)
{
    if (reportedFiles) {
        if (reportedFiles->contains(path))
            return;
        reportedFiles->insert(path);
    }
    msgBox(text, vbOKOnly);
}

void showFailureOnce(const std::exception& error)
{
    if (session.failureShown)
        return;
    session.failureShown = true;
    reportOnce(trackFilePath(), dbOpenFailureText(trackFilePath(), error));
}

}

void beginRaceAnalysis()
{
    session = TrackFileSession();
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
        // A file that opens may still lack a table the procedure reads; without this check every
        // run would report its own failing query.
        if (const QString table = missingTable(slot, tables); !table.isEmpty())
            throw VbError(vbErrDatabase, QStringLiteral("no such table: ") + table, VbCause::notDataFile);
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

void openDbReportedOnce(int slot, DataFileKind kind)
{
    try {
        openDbOrThrow(slot, kind);
    } catch (const std::exception& e) {
        if (debugMode)
            throw;
        reportOnce(dataFilePath(kind), dbOpenFailureText(dataFilePath(kind), e));
    }
}

void reportUnwritableFile(const QString& what, const QString& path, const std::exception& error)
{
    reportOnce(path, what + QLatin1Char('\n') + dbWriteFailureLines(path, error));
}
