#include "core/dataFiles.h"

#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/vberror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString readSchema(const QString& schemaDir, const QString& name)
{
    QFile file(QDir(schemaDir).filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        throw VbError(vbErrFile, QStringLiteral("schema not readable: ") + file.fileName());
    return QString::fromUtf8(file.readAll());
}

[[noreturn]] void throwDataFileError(const QString& fileName, int number, const QString& cause)
{
    throw VbError(number, fileName + QStringLiteral("：") + cause, VbCause::stated);
}

}  // namespace

const std::vector<DataFileEntry>& dataFileEntries()
{
    const auto sql = [](const char* name) { return QString::fromLatin1(name); };
    static const QStringList strevin{sql("trackTables.sql"), sql("Strevin_data.sql"), sql("Strevin_data_defaults.sql")};
    using K = DataFileKind;
    const auto file = [](K kind, const QStringList& scripts, const QString& password) {
        return DataFileEntry {kind, dataFileName(kind), scripts, password};
    };
    static const std::vector<DataFileEntry> entries{
        file(K::NarData, {sql("NAR_data.sql")}, dbPassword),
        file(K::StrevinData, strevin, dbPassword),
        file(K::JraGraph, {sql("trackTables.sql"), sql("jraGraph.sql")}, dbPassword),
        file(K::Comment, {sql("Comment.sql")}, dbPassword),
        file(K::CalSisuu, {sql("CalSisuu.sql"), sql("trackTables.sql")}, QString()),
        file(K::Rana, {sql("Rana.sql")}, QString()),
        file(K::Motofile, strevin, dbPassword),
    };
    return entries;
}

const DataFileEntry& dataFileEntry(DataFileKind kind)
{
    for (const DataFileEntry& entry : dataFileEntries()) {
        if (entry.kind == kind)
            return entry;
    }
    throw VbError(vbErrSubscript, QStringLiteral("unknown data file kind"));
}

// Not taken from the table: names are asked for while constants are made, before the password the
// table holds may exist.
QString dataFileName(DataFileKind kind)
{
    switch (kind) {
    case DataFileKind::NarData: return QStringLiteral("NAR_data.dat");
    case DataFileKind::StrevinData: return QStringLiteral("Strevin_data.dat");
    case DataFileKind::JraGraph: return QStringLiteral("jraGraph.dat");
    case DataFileKind::Comment: return QStringLiteral("Comment.dat");
    case DataFileKind::CalSisuu: return QStringLiteral("CalSisuu.mdb");
    case DataFileKind::Rana: return QStringLiteral("Rana.mdb");
    case DataFileKind::Motofile: return QStringLiteral("motofile.mdb");
    }
    throw VbError(vbErrSubscript, QStringLiteral("unknown data file kind"));
}

QString dataFilePath(DataFileKind kind)
{
    return appPath() + dataFileName(kind);
}

QString createDataFile(DataFileKind kind, const QString& schemaDir, const QString& targetDir)
{
    const DataFileEntry& entry = dataFileEntry(kind);
    QString script;
    for (const QString& name : entry.scripts)
        script += readSchema(schemaDir, name) + QLatin1Char('\n');
    const QString path = QDir(targetDir).filePath(entry.fileName);
    createDbFile(path, entry.password, script);
    return path;
}

void openDb(int slot, DataFileKind kind)
{
    openDb(slot, dataFilePath(kind), dataFileEntry(kind).password);
}

void openDbOrThrow(int slot, DataFileKind kind)
{
    openDbOrThrow(slot, dataFilePath(kind), dataFileEntry(kind).password);
}

void openDataFile(int slot, DataFileKind kind, const QStringList& tables)
{
    const DataFileEntry& entry = dataFileEntry(kind);
    // SQLite opens a zero-byte file as an empty database, so its emptiness is told before the open
    // and its tables after it.
    const QFileInfo info(dataFilePath(kind));
    if (info.isFile() && info.size() == 0)
        throwDataFileError(entry.fileName, vbErrFile, QStringLiteral("ファイルが空です（0バイト）"));
    try {
        openDbOrThrow(slot, kind);
    } catch (const VbError& e) {
        closeDb(slot);
        // The database library's own text is no message for the user, and no cause names the file.
        const QString cause = japaneseCause(e);
        throwDataFileError(entry.fileName, vbErrFile,
                           !cause.isEmpty() ? cause
                                            : QStringLiteral("データファイルとして開けません（このプログラムのデータファイルではないか、壊れています）"));
    }
    if (const QString table = missingTable(slot, tables); !table.isEmpty()) {
        closeDb(slot);
        throwDataFileError(entry.fileName, vbErrFile,
                           QStringLiteral("表 %1 がありません（このプログラムのデータファイルではありません）").arg(table));
    }
}

void setEdition(int slot, const VbDate& edition)
{
    slotConnection(slot).execute(QStringLiteral("DELETE FROM version"));
    insertRow(slot, QStringLiteral("version"), DbRow().set(QStringLiteral("date"), edition));
}
