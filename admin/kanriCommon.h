#pragma once
// What the administration operations share: how they end early, the checks they make before
// anything changes, their writes, and the region table of the index tools.
#include "core/dataFiles.h"
#include "platform/database.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>

// The operator pressed Cancel in the progress dialog; every change is rolled back.
class KanriCancelled : public std::runtime_error {
public:
    KanriCancelled() : std::runtime_error("cancelled") {}
};

// The operation ended early and the user has been told already (the race read's own
// "キャンセルしました", the archiver's message).
class KanriReported : public std::runtime_error {
public:
    KanriReported() : std::runtime_error("reported") {}
};

// Ends the operation with a cause the operation's message names.
[[noreturn]] void kanriFail(const QString& cause);

// Shows the progress dialog, without owner, with its Cancel button: the operation can roll back.
void showProgressWithCancel();
// Throws KanriCancelled when Cancel of the progress dialog was pressed; lets the dialog repaint.
void checkKanriCancel();

// The program folder's subfolder and work files must exist: the program creates none of them.
void requireFolder(const QString& name);
void requireFile(const QString& name);
// Each table or view must exist in the database open on the slot; `file` names it in the cause.
void requireTables(int slot, const QString& file, const QStringList& tables);

// Opens a data file of the program folder on a slot; a missing, locked or wrong-password file
// ends the operation naming the file.
void openKanriDb(int slot, DataFileKind kind);
// The same for a file of that kind at another path (a staged copy), named as the kind's file.
void openKanriDbAt(int slot, const QString& path, DataFileKind kind);

// A write transaction on the file open on the slot. Its begin, the writes given to write() and its
// commit end the operation naming `file` and why, when the database refuses them (a read-only
// file or folder, a lock another program holds, a full disk); an operation writes several files
// and the database's own cause does not say which. Rolled back unless committed.
class KanriTransaction {
public:
    KanriTransaction(int slot, const QString& file);
    void write(const std::function<void()>& work);
    void commit();

private:
    int slot_;
    QString file_;
    std::optional<DbTransaction> transaction_;
};

// The local tracks of a region (金沢, 東海, 南関 ...), at most four; none for any other text.
QStringList regionTracks(const QString& region);

// A whole number of metres as typed ("1400"); ends the operation naming the field otherwise.
int32_t wholeDistance(const QString& text, const QString& field);

// Runs one administration operation and ends it cleanly whatever happens, even in debug mode: the
// connection slots are closed, the progress dialog unloaded and kakoKikan restored, and a failure
// is told in one message naming the operation and the cause. True when the work completed.
bool runKanriOperation(const QString& name, const std::function<void()>& work);
