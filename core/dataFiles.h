#pragma once
// The program's data files and how a new one is made from the schemas in resources/schema.
// Only the data-file tool and the tests create files; the program itself never does.

#include <QString>
#include <QStringList>
#include <vector>

class VbDate;

enum class DataFileKind { NarData, StrevinData, JraGraph, Comment, CalSisuu, Rana, Motofile };

struct DataFileEntry {
    DataFileKind kind;
    QString fileName;     // in the program folder
    QStringList scripts;  // schema files run in this order
    QString password;     // "" for a plain file
};

const std::vector<DataFileEntry>& dataFileEntries();
const DataFileEntry& dataFileEntry(DataFileKind kind);
// The file's name, and its path in the program folder.
QString dataFileName(DataFileKind kind);
QString dataFilePath(DataFileKind kind);

// Creates the file of that kind in targetDir from the scripts in schemaDir and returns its path.
// An existing file is never touched: VbError (vbErrFile) then, as for a missing schema.
QString createDataFile(DataFileKind kind, const QString& schemaDir, const QString& targetDir);

// Open the program folder's data file of that kind on a slot with the table's password, as
// openDb (its message on a failure, the slot left closed) and openDbOrThrow (the caller reports)
// do. The journal mode is the file's own, kept in it since it was made: the open only reads it.
void openDb(int slot, DataFileKind kind);
void openDbOrThrow(int slot, DataFileKind kind);

// Opens the program folder's data file of that kind on a slot with its password and checks that
// it holds the tables its reader needs. A file that is missing, empty (0 bytes), unreadable with
// the key or without one of those tables throws a VbError whose text names the file and says
// why; nothing is shown here.
void openDataFile(int slot, DataFileKind kind, const QStringList& tables);

// Gives the track information file open on the slot its edition date: the one row of its table
// version. Only a file with standard times has one.
void setEdition(int slot, const VbDate& edition);
