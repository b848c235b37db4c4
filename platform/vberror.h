#pragma once
// The run-time error model: a failing platform call throws VbError; a procedure that
// traps its errors catches it at its own boundary with vbTrap() and shows its tag.
#include "platform/traplog.h"

#include <QString>
#include <stdexcept>

// Error numbers follow the classic run-time numbering so messages read familiar.
enum VbErrNo {
    vbErrTypeMismatch = 13,
    vbErrSubscript = 9,
    vbErrOverflow = 6,
    vbErrDivByZero = 11,
    vbErrInvalidUse = 94,     // Null where a value was needed
    vbErrObjectMissing = 91,  // a closed record set or slot
    vbErrFile = 53,
    vbErrDatabase = 3000,
};

// Why a file or database failed, as far as the user can act on it.
enum class VbCause {
    none,
    stated,  // the description itself is the Japanese cause
    folderNotWritable,
    fileReadOnly,
    lockedByOther,
    notDataFile,  // not a data file, or the wrong key
    diskFull,
    missing,
    folderMissing,
    folderInTheWay,  // a folder stands where the file should be
    logReadOnly,     // the database's -wal or -shm beside it
};

class VbError : public std::runtime_error {
public:
    VbError(int number, const QString& description, VbCause cause = VbCause::none);
    int number() const { return number_; }
    // The system's own text; a library's text may be English and is not for the user.
    QString description() const { return description_; }
    VbCause cause() const { return cause_; }

private:
    int number_;
    QString description_;
    VbCause cause_;
};

// The cause of a failure in Japanese, for the line under a message's own text; empty when the
// failure has none to tell.
QString japaneseCause(const std::exception& error);
// The text of a cause; empty for none and for one the description states.
QString japaneseCause(VbCause cause);
// The cause of a failed write of the file, as the file system sees this process now.
VbCause fileWriteCause(const QString& path);
// Under a megabyte left on the disk of the folder: too little for a write to have gone through.
bool diskNearlyFull(const QString& folder);
// What stood in the way of a write the file refused, as the user can act on it: the error's own
// cause, else what the file system tells now, else the two that leave no trace there.
QString writeFailureCause(const std::exception& error, const QString& path);
// Whether this process may write the existing file, as the file system answers for it (a read-only
// file system and an immutable file included). It never opens the file: closing a descriptor of
// a file releases every lock that the database connections of this process hold on it.
bool canWriteFile(const QString& path);

// The marker file `kanri.id` switches it on: then no procedure traps, and errors reach
// the top-level handler of the application.
extern bool debugMode;

// The tag with the error's Japanese cause, when it has one, on the line below; the cause also
// goes to the trap log.
void showTrapTag(const QString& tag, const std::exception& error);

// The four traps. Each catches any exception at the procedure's boundary, leaves the tag and the
// error's own text as one line in the trap log (platform/traplog.h) and returns false; true when
// the body ran through. They differ in two things only:
//                        shows the tag (OK only)    traps in debug mode too
//   vbTrap               yes                        no: exceptions pass through untouched
//   vbTrapAlways         yes                        yes (the parsers that trap also in debug mode)
//   vbTrapToLog          no                         no (the page loader, which fails quietly)
//   vbTrapAlwaysToLog    no                         yes (the writers that roll back quietly)
template <class F>
bool vbTrapAlwaysToLog(const QString& tag, F&& body)
{
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        logTrap(tag, e);
        return false;
    }
}

template <class F>
bool vbTrapAlways(const QString& tag, F&& body)
{
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        showTrapTag(tag, e);
        return false;
    }
}

// The trap of almost every procedure.
template <class F>
bool vbTrap(const QString& tag, F&& body)
{
    if (!debugMode)
        return vbTrapAlways(tag, body);
    body();
    return true;
}

template <class F>
bool vbTrapToLog(const QString& tag, F&& body)
{
    if (!debugMode)
        return vbTrapAlwaysToLog(tag, body);
    body();
    return true;
}
